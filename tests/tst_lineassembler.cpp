#include "line_assembler.h"

#include <QTest>

// Raw received chunks -> lines ended among them and the line ended last.
class TestLineAssembler : public QObject {
    Q_OBJECT

private slots:
    void assembles_data();
    void assembles();
    void unfinishedLineContinues();
};

void TestLineAssembler::assembles_data()
{
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<int>("linesEnded");
    QTest::addColumn<QByteArray>("lastLine");

    const QByteArray longLine(300, 'a');
    QTest::newRow("CR LF") << QByteArrayList{"OK\r\n"} << 1 << QByteArray("OK");
    QTest::newRow("LF CR") << QByteArrayList{"OK\n\r"} << 1 << QByteArray("OK");
    QTest::newRow("lone CR") << QByteArrayList{"OK\r"} << 1 << QByteArray("OK");
    QTest::newRow("lone LF") << QByteArrayList{"OK\n"} << 1 << QByteArray("OK");
    QTest::newRow("line end alone") << QByteArrayList{"\r\n"} << 1 << QByteArray();
    QTest::newRow("third line end is an empty line")
        << QByteArrayList{"OK\r\n\r"} << 2 << QByteArray();
    QTest::newRow("CR CR ends two lines") << QByteArrayList{"A\r\rB\r"} << 2 << QByteArray("B");
    QTest::newRow("two lines, second kept") << QByteArrayList{"A1\r\nB2\r\n"} << 2
                                             << QByteArray("B2");
    QTest::newRow("300 characters cut at 255")
        << QByteArrayList{longLine + "\r\n"} << 1 << longLine.left(255);
    QTest::newRow("byte 255 dropped") << QByteArrayList{"O\xffK\r"} << 1 << QByteArray("OK");
    QTest::newRow("byte 128 keeps the skip mark")
        << QByteArrayList{"A\r\x80\nB\n"} << 2 << QByteArray("B");
    QTest::newRow("NUL ends the text") << QByteArrayList{QByteArray("AB\0CD\r\n", 7)} << 1
                                        << QByteArray("AB");
    QTest::newRow("pair split over chunks") << QByteArrayList{"OK\r", "\n"} << 1
                                             << QByteArray("OK");
    QTest::newRow("line split over chunks") << QByteArrayList{"O", "K\r\n"} << 1
                                             << QByteArray("OK");
    QTest::newRow("no line end") << QByteArrayList{"OK"} << 0 << QByteArray();
}

void TestLineAssembler::assembles()
{
    QFETCH(QByteArrayList, chunks);
    QFETCH(int, linesEnded);
    QFETCH(QByteArray, lastLine);

    LineAssembler assembler;
    int ended = 0;
    for (const QByteArray& chunk : chunks)
        ended += assembler.feed(chunk.constData(), int(chunk.size()));
    QCOMPARE(ended, linesEnded);
    QCOMPARE(QByteArray::fromStdString(assembler.completedLine()), lastLine);
}

void TestLineAssembler::unfinishedLineContinues()
{
    LineAssembler assembler;
    assembler.feed("OLD\r\nxx", 7);
    QCOMPARE(assembler.completedLine(), std::string("OLD"));
    QCOMPARE(assembler.feed("OK\r\n", 4), 1);
    QCOMPARE(assembler.completedLine(), std::string("xxOK"));
}

QTEST_GUILESS_MAIN(TestLineAssembler)
#include "tst_lineassembler.moc"
