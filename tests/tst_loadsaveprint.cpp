#include "load_save_print.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(ConfigRecord)

namespace {

QString dataFile(const QString& name)
{
    return QStringLiteral(QUORIX_TEST_DATA "/") + name;
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

ConfigRecord record(std::array<double, 4> threshold, bool enabled, bool memory, int cycle,
                    int receiver, int transmitter)
{
    return {threshold, enabled, memory, cycle, receiver, transmitter};
}

// Readable in a failure message and exact for the values the tests use.
QByteArray describe(const ConfigRecord& r)
{
    QByteArray text;
    for (double value : r.threshold)
        text += QByteArray::number(value, 'g', 17) + ' ';
    text += QByteArray::number(r.errorEnabled) + ' ' + QByteArray::number(r.errorMemory) + ' ';
    text += QByteArray::number(r.cycle) + ' ' + QByteArray::number(r.receiverOffset) + ' ';
    return text + QByteArray::number(r.transmitterOffset);
}

const ConfigRecord startPages = record({100, 0, 100, 0}, true, true, 0, 0, 0);

}  // namespace

class TestLoadSavePrint : public QObject {
    Q_OBJECT

private slots:
    void init();
    void programRecordStartsZero();
    void saveStartConfiguration();
    void saveOverForeignSections();
    void load_data();
    void load();
    void entryForms_data();
    void entryForms();
    void roundTrip_data();
    void roundTrip();
    void emptyFileName();
    void failedSaveKeepsOldFile();

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString path;
};

void TestLoadSavePrint::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    path = dir->filePath("config.qxc");
}

void TestLoadSavePrint::programRecordStartsZero()
{
    QCOMPARE(describe(TheConfigRecord()), describe(ConfigRecord{}));
    QCOMPARE(describe(TheConfigRecord()), QByteArray("0 0 0 0 0 0 0 0 0"));
    QVERIFY(LoadSavePrint::Save(path.toStdString()));
    QVERIFY(readBytes(path).contains("[Error]\r\nEnabled=0\r\nMemory=0\r\nCycle=0\r\n"));
}

void TestLoadSavePrint::saveStartConfiguration()
{
    QVERIFY(LoadSavePrint::Save(path.toStdString(), startPages));
    QCOMPARE(readBytes(path), readBytes(dataFile("start.qxc")));
    QCOMPARE(readBytes(path).count("\r\n"), 15);
}

void TestLoadSavePrint::saveOverForeignSections()
{
    QVERIFY(QFile::copy(dataFile("foreign_sections.qxc"), path));
    QVERIFY(LoadSavePrint::Save(path.toStdString(), startPages));
    QCOMPARE(readBytes(path), readBytes(dataFile("foreign_sections_saved.qxc")));
}

void TestLoadSavePrint::load_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<ConfigRecord>("before");
    QTest::addColumn<ConfigRecord>("after");
    const ConfigRecord zero{};
    const ConfigRecord full = record({80.5, 10, 60, -20.25}, true, false, 30, -12, 7);
    const ConfigRecord other = record({1, 2, 3, 4}, true, false, 55, 9, 8);
    QTest::newRow("start configuration") << "start.qxc" << zero << startPages;
    QTest::newRow("CR LF") << "full_crlf.qxc" << zero << full;
    QTest::newRow("LF only") << "full_lf.qxc" << zero << full;
    QTest::newRow("byte order mark") << "full_bom.qxc" << zero << full;
    QTest::newRow("names in other case and blanks") << "full_mixed_case.qxc" << zero << full;
    QTest::newRow("error section") << "error_15.qxc" << other
                                   << record({1, 2, 3, 4}, false, true, 15, 9, 8);
    QTest::newRow("only receiver after start") << "calibration_only.qxc" << zero
                                               << record({0, 0, 0, 0}, false, false, 0, 5, 0);
    QTest::newRow("only receiver keeps others") << "calibration_only.qxc" << other
                                                << record({1, 2, 3, 4}, true, false, 55, 5, 8);
    QTest::newRow("cycle zero") << "cycle_zero.qxc" << other
                                << record({1, 2, 3, 4}, true, false, 0, 9, 8);
    QTest::newRow("threshold 250 unchecked") << "threshold_250.qxc" << zero
                                             << record({250, 0, 0, 0}, false, false, 0, 0, 0);
    QTest::newRow("values out of range unchecked")
        << "out_of_range.qxc" << zero
        << record({0, 0, 0, -250.5}, false, false, 7, 500, 2147483647);
    QTest::newRow("repeated section, later wins") << "duplicate_section.qxc" << zero
                                                  << record({0, 0, 0, 0}, false, false, 5, 3, 0);
    QTest::newRow("repeated key, later wins") << "duplicate_key.qxc" << zero
                                              << record({0, 0, 0, 0}, false, false, 0, 7, 2);
    QTest::newRow("entry forms") << "entry_forms.qxc" << other
                                 << record({12.5, -3.5, 45, 2.5}, false, true, 15, 7, 8);
    QTest::newRow("comments and plain lines") << "comments.qxc" << other
                                              << record({1, 2, 3, 4}, true, false, 20, 9, 8);
    QTest::newRow("no configuration inside") << "not_a_config.qxc" << other << other;
    QTest::newRow("file missing") << "no_such_file.qxc" << other << other;
}

void TestLoadSavePrint::load()
{
    QFETCH(QString, file);
    QFETCH(ConfigRecord, before);
    QFETCH(ConfigRecord, after);
    ConfigRecord loaded = before;
    LoadSavePrint::Load(dataFile(file).toStdString(), loaded);
    QCOMPARE(describe(loaded), describe(after));
}

void TestLoadSavePrint::entryForms_data()
{
    QTest::addColumn<QByteArray>("entry");
    QTest::addColumn<double>("threshold");
    QTest::newRow("plain") << QByteArray("Percent=12.5") << 12.5;
    QTest::newRow("double quoted") << QByteArray("Percent=\"12.5\"") << 12.5;
    QTest::newRow("single quoted") << QByteArray("Percent='12.5'") << 12.5;
    QTest::newRow("key with trailing digit") << QByteArray("Percent1=12.5") << 12.5;
    QTest::newRow("third part ignored") << QByteArray("Percent=12.5=xyz") << 12.5;
    QTest::newRow("blank after =") << QByteArray("Percent= 12.5") << 12.5;
    QTest::newRow("comma separates") << QByteArray("Percent=12,5") << 12.0;
    QTest::newRow("not a number") << QByteArray("Percent=abc") << 0.0;
    QTest::newRow("key in lower case") << QByteArray("percent=12.5") << 99.0;
    QTest::newRow("digit inside key") << QByteArray("Per1cent=12.5") << 99.0;
    QTest::newRow("blank before =") << QByteArray("Percent =12.5") << 99.0;
    QTest::newRow("value missing") << QByteArray("Percent=") << 99.0;
    QTest::newRow("key missing") << QByteArray("=12.5") << 99.0;
}

void TestLoadSavePrint::entryForms()
{
    QFETCH(QByteArray, entry);
    QFETCH(double, threshold);
    QVERIFY(writeBytes(path, "[Threshold 1 Upper]\r\n" + entry + "\r\n"));
    ConfigRecord loaded = record({99, 1, 2, 3}, false, false, 0, 0, 0);
    LoadSavePrint::Load(path.toStdString(), loaded);
    QCOMPARE(loaded.threshold[Comparator1Upper], threshold);
    QCOMPARE(loaded.threshold[Comparator1Lower], 1.0);
}

void TestLoadSavePrint::roundTrip_data()
{
    QTest::addColumn<ConfigRecord>("saved");
    QTest::addColumn<ConfigRecord>("loaded");
    QTest::newRow("start") << startPages << startPages;
    QTest::newRow("rounded to two decimals")
        << record({12.3456, -12.5, 0.004, -99.999}, false, true, 90, -127, 127)
        << record({12.35, -12.5, 0, -100}, false, true, 90, -127, 127);
    QTest::newRow("out of range values")
        << record({250, -1000, 1e6, 0}, true, false, 7, 500, -2147483647 - 1)
        << record({250, -1000, 1e6, 0}, true, false, 7, 500, -2147483647 - 1);
}

void TestLoadSavePrint::roundTrip()
{
    QFETCH(ConfigRecord, saved);
    QFETCH(ConfigRecord, loaded);
    QVERIFY(LoadSavePrint::Save(path.toStdString(), saved));
    ConfigRecord result = record({5, 5, 5, 5}, !saved.errorEnabled, !saved.errorMemory, 5, 5, 5);
    LoadSavePrint::Load(path.toStdString(), result);
    QCOMPARE(describe(result), describe(loaded));
    // A second save over the file changes nothing.
    const QByteArray first = QFile::exists(path) ? readBytes(path) : QByteArray();
    QVERIFY(LoadSavePrint::Save(path.toStdString(), saved));
    QCOMPARE(readBytes(path), first);
}

void TestLoadSavePrint::emptyFileName()
{
    QVERIFY(LoadSavePrint::Save("", startPages));
    ConfigRecord loaded = startPages;
    LoadSavePrint::Load("", loaded);
    QCOMPARE(describe(loaded), describe(startPages));
    QVERIFY(QDir(dir->path()).isEmpty());
}

void TestLoadSavePrint::failedSaveKeepsOldFile()
{
    QVERIFY(QDir(dir->path()).mkdir("folder.qxc"));
    QVERIFY(!LoadSavePrint::Save(dir->filePath("folder.qxc").toStdString(), startPages));
    QVERIFY(QFile::copy(dataFile("error_15.qxc"), path));
    QVERIFY(!LoadSavePrint::Save((path + "/inner.qxc").toStdString(), startPages));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
    QVERIFY(!LoadSavePrint::Save(path.toStdString(), startPages));
    QCOMPARE(readBytes(path), readBytes(dataFile("error_15.qxc")));
}

QTEST_GUILESS_MAIN(TestLoadSavePrint)
#include "tst_loadsaveprint.moc"
