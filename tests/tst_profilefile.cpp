#include "file_size_limit.h"
#include "profile_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using Entries = QList<QByteArray>;
using SectionList = QList<QPair<QByteArray, Entries>>;

namespace {

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

Entries toEntries(const std::vector<std::string>& entries)
{
    Entries result;
    for (const std::string& entry : entries)
        result << QByteArray::fromStdString(entry);
    return result;
}

std::vector<profile::Section> toSections(const SectionList& list)
{
    std::vector<profile::Section> sections;
    for (const auto& [name, entries] : list) {
        std::vector<std::string> texts;
        for (const QByteArray& entry : entries)
            texts.push_back(entry.toStdString());
        sections.emplace_back(name.toStdString(), std::move(texts));
    }
    return sections;
}

long peakMemoryKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

template <std::size_t N>
QByteArray bytes(const char (&text)[N])
{
    return QByteArray(text, N - 1);  // NUL bytes included
}

const SectionList errorSection{{"Error", {"Enabled=1", "Memory=0"}}};

}  // namespace

class TestProfileFile : public QObject {
    Q_OBJECT

private slots:
    void init();
    void readSection_data();
    void readSection();
    void readMissingOrNoFile();
    void writeSections_data();
    void writeSections();
    void writeReadsBack();
    void refusedWrite_data();
    void refusedWrite();
    void failedWriteLeavesOldFile_data();
    void failedWriteLeavesOldFile();
    void shortWriteLeavesOldFile();
    void largeFile();
    void fileBeyondLimit();

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString path;
};

void TestProfileFile::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    path = dir->filePath("test.qxc");
}

void TestProfileFile::readSection_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<Entries>("entries");
    const Entries both{"Enabled=1", "Memory=0"};
    const QByteArray error = "Error";
    auto row = [&](const char* name, const QByteArray& content, const Entries& entries) {
        QTest::newRow(name) << content << error << entries;
    };
    row("CR LF", "[Error]\r\nEnabled=1\r\nMemory=0\r\n", both);
    row("LF", "[Error]\nEnabled=1\nMemory=0\n", both);
    row("lone CR", "[Error]\rEnabled=1\rMemory=0\r", both);
    row("byte order mark", "\xEF\xBB\xBF[Error]\r\nEnabled=1\r\nMemory=0\r\n", both);
    row("no line end at the end", "[Error]\nEnabled=1\nMemory=0", both);
    row("name in other case", "[ERROR]\nEnabled=1\nMemory=0\n", both);
    row("blanks around the name", "  [ eRRor ]  ; note\nEnabled=1\nMemory=0\n", both);
    row("comments, blank and plain lines skipped",
        "[Error]\n; Enabled=0\n\n  \nnoise\nEnabled=1\n  ;x=1\nMemory=0\n", both);
    row("entries trimmed, inner blanks kept", "[Error]\n\t Enabled=1 \nPercent= 12.5\n",
        {"Enabled=1", "Percent= 12.5"});
    row("other sections and leading lines not taken",
        "Enabled=7\n[Other]\nEnabled=8\n[Error]\nEnabled=1\nMemory=0\n[Next]\nx=1\n", both);
    row("repeated section read as one", "[Error]\nEnabled=0\n[Other]\nx=1\n[error]\nEnabled=1\n",
        {"Enabled=0", "Enabled=1"});
    row("bracket not closed is no header", "[Error]\nEnabled=1\n[Other\nMemory=0\n", both);
    row("missing section", "[Other]\nx=1\n", {});
    row("empty file", "", {});
    row("NUL bytes are ordinary", bytes("[Error]\nEn\0abled=1\n\0\n"), {bytes("En\0abled=1")});
    row("binary noise around a section",
        bytes("\x01\xff\xfe[\x80]\x00=\x02\n[Error]\nEnabled=1\n\x9b\x1b=\r\n"),
        {"Enabled=1", "\x9b\x1b="});
    QTest::newRow("name asked in other case") << QByteArray("[Error]\nEnabled=1\nMemory=0\n")
                                              << QByteArray("ERROR") << both;
}

void TestProfileFile::readSection()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, section);
    QFETCH(Entries, entries);
    QVERIFY(writeBytes(path, content));
    QCOMPARE(toEntries(profile::ReadSection(path.toStdString(), section.toStdString())), entries);
}

void TestProfileFile::readMissingOrNoFile()
{
    QVERIFY(profile::ReadSection(path.toStdString(), "Error").empty());
    QVERIFY(profile::ReadSection(dir->path().toStdString(), "Error").empty());
    const auto both = profile::ReadSections(path.toStdString(), {"Error", "Calibration"});
    QCOMPARE(both.size(), std::size_t(2));
}

void TestProfileFile::writeSections_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<SectionList>("sections");
    QTest::addColumn<QByteArray>("after");
    const QByteArray foreign =
        "; tool settings\r\n[Window]\r\nx=10\r\n\r\n[Paths] \r\nlast=C:\\a\r\n";
    QTest::newRow("new file") << false << QByteArray() << errorSection
                              << QByteArray("[Error]\r\nEnabled=1\r\nMemory=0\r\n");
    QTest::newRow("section without entries")
        << false << QByteArray() << SectionList{{"Empty", {}}, {"Error", {"Enabled=1"}}}
        << QByteArray("[Empty]\r\n[Error]\r\nEnabled=1\r\n");
    QTest::newRow("foreign sections kept byte for byte")
        << true << foreign << errorSection << foreign + "[Error]\r\nEnabled=1\r\nMemory=0\r\n";
    QTest::newRow("entries replaced in place")
        << true << QByteArray("[A]\r\na=1\r\n[error]\r\nEnabled=0\r\nCycle=5\r\nOld=1\r\n[B]\r\n")
        << errorSection << QByteArray("[A]\r\na=1\r\n[error]\r\nEnabled=1\r\nMemory=0\r\n[B]\r\n");
    QTest::newRow("comments and blank lines of the section kept")
        << true << QByteArray("[Error]\r\n; set 2019\r\nEnabled=0\r\n; end\r\n\r\n[B]\r\n")
        << errorSection
        << QByteArray("[Error]\r\n; set 2019\r\nEnabled=1\r\nMemory=0\r\n; end\r\n\r\n[B]\r\n");
    QTest::newRow("section without entries gets them after its header")
        << true << QByteArray("[Error]\r\n; none\r\n\r\n[B]\r\n") << errorSection
        << QByteArray("[Error]\r\nEnabled=1\r\nMemory=0\r\n; none\r\n\r\n[B]\r\n");
    QTest::newRow("repetition removed")
        << true
        << QByteArray("[Error]\r\nEnabled=0\r\n[B]\r\nb=1\r\n[ERROR]\r\nMemory=1\r\n; c\r\n")
        << errorSection << QByteArray("[Error]\r\nEnabled=1\r\nMemory=0\r\n[B]\r\nb=1\r\n");
    QTest::newRow("LF file stays LF") << true << QByteArray("[B]\nb=1\n") << errorSection
                                      << QByteArray("[B]\nb=1\n[Error]\nEnabled=1\nMemory=0\n");
    QTest::newRow("lone CR file: blank line after the entries kept")
        << true << QByteArray("; a\r[Error]\rEnabled=0\n\n[B]\r") << errorSection
        << QByteArray("; a\r[Error]\rEnabled=1\r\nMemory=0\r\n\n[B]\r");
    QTest::newRow("byte order mark kept")
        << true << QByteArray("\xEF\xBB\xBF[B]\r\n") << errorSection
        << QByteArray("\xEF\xBB\xBF[B]\r\n[Error]\r\nEnabled=1\r\nMemory=0\r\n");
    QTest::newRow("last line without line end")
        << true << QByteArray("[B]\nb=1") << errorSection
        << QByteArray("[B]\nb=1\n[Error]\nEnabled=1\nMemory=0\n");
    QTest::newRow("header is the last line")
        << true << QByteArray("[B]\r\n[Error]") << errorSection
        << QByteArray("[B]\r\n[Error]\r\nEnabled=1\r\nMemory=0\r\n");
    QTest::newRow("empty existing file") << true << QByteArray() << errorSection
                                         << QByteArray("[Error]\r\nEnabled=1\r\nMemory=0\r\n");
    QTest::newRow("missing sections appended in the given order")
        << true << QByteArray("[B]\r\n[Second]\r\nold=1\r\n")
        << SectionList{{"First", {"a=1"}}, {"Second", {"b=2"}}, {"Third", {"c=3"}}}
        << QByteArray("[B]\r\n[Second]\r\nb=2\r\n[First]\r\na=1\r\n[Third]\r\nc=3\r\n");
}

void TestProfileFile::writeSections()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, before);
    QFETCH(SectionList, sections);
    QFETCH(QByteArray, after);
    if (exists)
        QVERIFY(writeBytes(path, before));
    QVERIFY(profile::WriteSections(path.toStdString(), toSections(sections)));
    QCOMPARE(readBytes(path), after);
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{"test.qxc"});
}

void TestProfileFile::writeReadsBack()
{
    QVERIFY(writeBytes(path, "[A]\nx=1\n[Error]\nEnabled=0\n[Error]\nMemory=1\n"));
    QVERIFY(profile::WriteSections(path.toStdString(), toSections(errorSection)));
    QCOMPARE(toEntries(profile::ReadSection(path.toStdString(), "ERROR")),
             (Entries{"Enabled=1", "Memory=0"}));
    QCOMPARE(toEntries(profile::ReadSection(path.toStdString(), "A")), Entries{"x=1"});
}

void TestProfileFile::refusedWrite_data()
{
    QTest::addColumn<SectionList>("sections");
    QTest::newRow("line break in an entry") << SectionList{{"Error", {"Enabled=1\r\n[X]"}}};
    QTest::newRow("entry without =") << SectionList{{"Error", {"Enabled"}}};
    QTest::newRow("entry like a comment") << SectionList{{"Error", {";Enabled=1"}}};
    QTest::newRow("entry like a header") << SectionList{{"Error", {"[X]=1"}}};
    QTest::newRow("entry with edge blank") << SectionList{{"Error", {"Enabled=1 "}}};
    QTest::newRow("empty name") << SectionList{{"", {"a=1"}}};
    QTest::newRow("bracket in name") << SectionList{{"Er]ror", {"a=1"}}};
    QTest::newRow("line break in name") << SectionList{{"Error\n", {"a=1"}}};
    QTest::newRow("name twice") << SectionList{{"Error", {"a=1"}}, {"ERROR", {"b=1"}}};
}

void TestProfileFile::refusedWrite()
{
    QFETCH(SectionList, sections);
    const QByteArray before = "[Error]\r\nEnabled=0\r\n";
    QVERIFY(writeBytes(path, before));
    QVERIFY(!profile::WriteSections(path.toStdString(), toSections(sections)));
    QCOMPARE(readBytes(path), before);
}

void TestProfileFile::failedWriteLeavesOldFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("directory as path") << "directory";
    QTest::newRow("parent is a regular file") << "file parent";
    QTest::newRow("read-only file") << "read-only";
}

// Tests run as root, so missing write permission on a folder stops nothing: the failures here
// are ones that stop root too.
void TestProfileFile::failedWriteLeavesOldFile()
{
    QFETCH(QString, kind);
    const QByteArray before = "[Error]\r\nEnabled=0\r\n";
    QString target = path;
    QString kept = path;
    QVERIFY(writeBytes(path, before));
    if (kind == "directory") {
        target = dir->filePath("folder.qxc");
        QVERIFY(QDir(dir->path()).mkdir("folder.qxc"));
    } else if (kind == "file parent") {
        target = path + "/inner.qxc";
    } else {
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
    }
    QVERIFY(!profile::WriteSections(target.toStdString(), toSections(errorSection)));
    QCOMPARE(readBytes(kept), before);
    QVERIFY(QFileInfo(dir->filePath("folder.qxc")).isDir() || kind != "directory");
    const QStringList files = QDir(dir->path()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(files, QStringList{"test.qxc"});
}

// The disk fills up midway (here: the file size limit, which binds root too): the write
// fails and the old file stays whole.
void TestProfileFile::shortWriteLeavesOldFile()
{
    const QByteArray before = "[Other]\r\nkey=value\r\n";
    QVERIFY(writeBytes(path, before));
    bool written = true;
    {
        FileSizeLimit limit(40);
        QVERIFY(limit.isActive());
        written = profile::WriteSections(path.toStdString(), toSections(errorSection));
    }
    QVERIFY(!written);
    QCOMPARE(readBytes(path), before);
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"test.qxc"});
}

// A file of about 30 MB with a line of 1 MB: read and rewritten whole, memory stays bounded.
void TestProfileFile::largeFile()
{
    QByteArray content = "[Big]\r\n";
    content += "long=" + QByteArray(1024 * 1024, 'x') + "\r\n";
    const QByteArray line = "key=0123456789012345678901234567890123456789\r\n";
    while (content.size() < 30 * 1024 * 1024)
        content += line;
    content += "[Error]\r\nEnabled=0\r\n";
    QVERIFY(writeBytes(path, content));
    const long memoryBefore = peakMemoryKiB();

    const auto entries = profile::ReadSections(path.toStdString(), {"Error", "Big"});
    QCOMPARE(toEntries(entries[0]), Entries{"Enabled=0"});
    QCOMPARE(entries[1][0].size(), std::size_t(1024 * 1024 + 5));
    QVERIFY(profile::WriteSections(path.toStdString(), toSections(errorSection)));
    const QByteArray after = readBytes(path);
    QCOMPARE(after.size(), content.size() + 10);
    QVERIFY(after.startsWith(content.left(content.size() - 11)));
    QVERIFY(after.endsWith("[Error]\r\nEnabled=1\r\nMemory=0\r\n"));
    // The entries and two copies of the text, with room to spare; far below the file times ten.
    QVERIFY2(peakMemoryKiB() - memoryBefore < 300 * 1024, "peak memory grew beyond 300 MiB");
}

// A file beyond the size limit is neither read nor rewritten (a sparse file: no disk needed).
void TestProfileFile::fileBeyondLimit()
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write("[Error]\r\nEnabled=1\r\n") > 0);
    QVERIFY(file.resize(profile::MaxFileSize + 1));
    file.close();
    QVERIFY(profile::ReadSection(path.toStdString(), "Error").empty());
    QVERIFY(!profile::WriteSections(path.toStdString(), toSections(errorSection)));
    QCOMPARE(QFileInfo(path).size(), profile::MaxFileSize + 1);
}

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profilefile.moc"
