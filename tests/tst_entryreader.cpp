#include "entry_reader.h"

#include <QTest>

using Parts = QList<QByteArray>;

class TestEntryReader : public QObject {
    Q_OBJECT

private slots:
    void splitEntry_data();
    void splitEntry();
    void keyName_data();
    void keyName();
};

void TestEntryReader::splitEntry_data()
{
    QTest::addColumn<QByteArray>("entry");
    QTest::addColumn<Parts>("parts");
    QTest::newRow("plain") << QByteArray("Percent=12.5") << Parts{"Percent", "12.5"};
    QTest::newRow("double quoted") << QByteArray("Percent=\"12.5\"") << Parts{"Percent", "12.5"};
    QTest::newRow("single quoted") << QByteArray("Percent='12.5'") << Parts{"Percent", "12.5"};
    QTest::newRow("separators quoted") << QByteArray("k=\"1,5=2\"") << Parts{"k", "1,5=2"};
    QTest::newRow("comma separates") << QByteArray("Percent=12,5") << Parts{"Percent", "12", "5"};
    QTest::newRow("third part") << QByteArray("Percent=12.5=xyz")
                                << Parts{"Percent", "12.5", "xyz"};
    QTest::newRow("separators in a row and at the ends") << QByteArray("==a,,b==,")
                                                         << Parts{"a", "b"};
    QTest::newRow("value missing") << QByteArray("Percent=") << Parts{"Percent"};
    QTest::newRow("key missing") << QByteArray("=12.5") << Parts{"12.5"};
    QTest::newRow("no separator") << QByteArray("abc") << Parts{"abc"};
    QTest::newRow("empty") << QByteArray("") << Parts{};
    QTest::newRow("blanks are ordinary") << QByteArray("Per cent = 12.5")
                                         << Parts{"Per cent ", " 12.5"};
    QTest::newRow("escaped double quote inside")
        << QByteArray(R"(k="a\"b")") << Parts{"k", "a\"b"};
    QTest::newRow("escaped single quote inside") << QByteArray(R"(k='a\'b')") << Parts{"k", "a'b"};
    QTest::newRow("other quote escaped inside") << QByteArray(R"(k="a\'b")") << Parts{"k", "a'b"};
    QTest::newRow("escaped backslash inside") << QByteArray(R"(k="a\\b")") << Parts{"k", "a\\b"};
    QTest::newRow("other backslash inside stays") << QByteArray(R"(k="a\nb")")
                                                  << Parts{"k", "a\\nb"};
    QTest::newRow("other quote inside is ordinary") << QByteArray(R"(k="it's")")
                                                    << Parts{"k", "it's"};
    QTest::newRow("unclosed quote runs to the end") << QByteArray("k=\"12.5")
                                                    << Parts{"k", "12.5"};
    QTest::newRow("unclosed quote keeps separators") << QByteArray("k='a=b,c")
                                                     << Parts{"k", "a=b,c"};
    QTest::newRow("backslash quote outside stays")
        << QByteArray(R"(k=\"12.5)") << Parts{"k", "\\\"12.5"};
    QTest::newRow("backslash outside stays") << QByteArray(R"(k=a\b)") << Parts{"k", "a\\b"};
    QTest::newRow("trailing backslash inside") << QByteArray(R"(k="a\)") << Parts{"k", "a\\"};
    QTest::newRow("empty quotes give no part") << QByteArray("k=\"\"") << Parts{"k"};
    QTest::newRow("quotes within a part") << QByteArray("k=ab\"c=d\"e") << Parts{"k", "abc=de"};
    QTest::newRow("two quoted stretches") << QByteArray("k=\"a\"'b'") << Parts{"k", "ab"};
    QTest::newRow("quoted key") << QByteArray("\"Per=cent\"=1") << Parts{"Per=cent", "1"};
    QTest::newRow("NUL byte is ordinary") << QByteArray("k=a\0b", 5)
                                          << Parts{"k", QByteArray("a\0b", 3)};
}

void TestEntryReader::splitEntry()
{
    QFETCH(QByteArray, entry);
    QFETCH(Parts, parts);
    Parts actual;
    for (const std::string& part : SplitEntry(std::string_view(entry.data(), entry.size())))
        actual << QByteArray::fromStdString(part);
    QCOMPARE(actual, parts);
}

void TestEntryReader::keyName_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("no digits") << QByteArray("Percent") << QByteArray("Percent");
    QTest::newRow("trailing digit") << QByteArray("Percent1") << QByteArray("Percent");
    QTest::newRow("trailing digits") << QByteArray("Percent12") << QByteArray("Percent");
    QTest::newRow("inner digit kept") << QByteArray("Per1cent") << QByteArray("Per1cent");
    QTest::newRow("case kept") << QByteArray("percent") << QByteArray("percent");
    QTest::newRow("digits only") << QByteArray("123") << QByteArray("");
    QTest::newRow("empty") << QByteArray("") << QByteArray("");
}

void TestEntryReader::keyName()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, name);
    const std::string text = key.toStdString();
    QCOMPARE(QByteArray::fromStdString(std::string(KeyName(text))), name);
}

QTEST_GUILESS_MAIN(TestEntryReader)
#include "tst_entryreader.moc"
