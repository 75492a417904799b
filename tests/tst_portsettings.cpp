#include "port_settings.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The settings file lives in a fresh temporary folder for every test.
class TestPortSettings : public QObject {
    Q_OBJECT

private slots:
    void init();
    void readsAndRewrites_data();
    void readsAndRewrites();
    void setComNumberStoredOnlyAtDestruction();
    void portsGroupKept();
    void unwritableFolderGivesDefaults();

private:
    QString iniPath() const { return dir->filePath("Hallestad/Morvalo.ini"); }
    void writeIni(const QByteArray& contents);
    QByteArray readIni() const;

    std::unique_ptr<QTemporaryDir> dir;
};

void TestPortSettings::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    qputenv("XDG_CONFIG_HOME", dir->path().toLocal8Bit());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir->path());
}

void TestPortSettings::writeIni(const QByteArray& contents)
{
    QVERIFY(QDir(dir->path()).mkpath("Hallestad"));
    QFile file(iniPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(contents);
}

QByteArray TestPortSettings::readIni() const
{
    QFile file(iniPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestPortSettings::readsAndRewrites_data()
{
    QTest::addColumn<QByteArray>("stored");  // null: no file at all
    QTest::addColumn<int>("comNumber");
    QTest::addColumn<bool>("flag");
    QTest::addColumn<QByteArray>("flagWritten");

    QTest::newRow("first run") << QByteArray() << 2 << false << QByteArray("FALSE");
    QTest::newRow("COM 5") << QByteArray("[General]\nCOM=5\n") << 5 << false
                           << QByteArray("FALSE");
    QTest::newRow("COM 0 unchanged") << QByteArray("[General]\nCOM=0\n") << 0 << false
                                     << QByteArray("FALSE");
    QTest::newRow("COM 12 unchanged") << QByteArray("[General]\nCOM=12\n") << 12 << false
                                      << QByteArray("FALSE");
    QTest::newRow("COM text") << QByteArray("[General]\nCOM=abc\n") << 2 << false
                              << QByteArray("FALSE");
    QTest::newRow("COM number with tail") << QByteArray("[General]\nCOM=5x\n") << 2 << false
                                          << QByteArray("FALSE");
    QTest::newRow("COM empty") << QByteArray("[General]\nCOM=\n") << 2 << false
                               << QByteArray("FALSE");
    QTest::newRow("COM list") << QByteArray("[General]\nCOM=1, 2\n") << 2 << false
                              << QByteArray("FALSE");
    QTest::newRow("COM beyond 32 bits") << QByteArray("[General]\nCOM=99999999999\n") << 2
                                        << false << QByteArray("FALSE");
    QTest::newRow("MVRActive TRUE kept") << QByteArray("[General]\nCOM=3\nMVRActive=TRUE\n") << 3
                                         << true << QByteArray("TRUE");
    QTest::newRow("MVRActive lower case") << QByteArray("[General]\nMVRActive=true\n") << 2
                                          << false << QByteArray("FALSE");
    QTest::newRow("MVRActive with blank") << QByteArray("[General]\nMVRActive=\" TRUE\"\n") << 2
                                          << false << QByteArray("FALSE");
}

void TestPortSettings::readsAndRewrites()
{
    QFETCH(QByteArray, stored);
    QFETCH(int, comNumber);
    QFETCH(bool, flag);
    QFETCH(QByteArray, flagWritten);

    if (!stored.isNull())
        writeIni(stored);
    {
        PortSettings settings;
        QCOMPARE(settings.GetComNumber(), comNumber);
        QCOMPARE(settings.mvrActive(), flag);
    }
    const QByteArray written = readIni();
    QVERIFY2(written.contains("COM=" + QByteArray::number(comNumber) + "\n"), written);
    QVERIFY2(written.contains("MVRActive=" + flagWritten + "\n"), written);
    PortSettings again;
    QCOMPARE(again.GetComNumber(), comNumber);
    QCOMPARE(again.mvrActive(), flag);
}

void TestPortSettings::setComNumberStoredOnlyAtDestruction()
{
    auto settings = std::make_unique<PortSettings>();
    settings->SetComNumber(4);
    QVERIFY(!QFile::exists(iniPath()));
    settings.reset();
    QVERIFY(readIni().contains("COM=4\n"));
    QCOMPARE(PortSettings().GetComNumber(), 4);
}

void TestPortSettings::portsGroupKept()
{
    writeIni("[General]\nCOM=1\n\n[Ports]\nCOM1=/dev/ttyUSB0\n");
    {
        PortSettings settings;
        settings.SetComNumber(6);
    }
    QSettings check(iniPath(), QSettings::IniFormat);
    QCOMPARE(check.value("Ports/COM1").toString(), QString("/dev/ttyUSB0"));
    QCOMPARE(check.value("COM").toString(), QString("6"));
}

void TestPortSettings::unwritableFolderGivesDefaults()
{
    // A plain file where the folder should be: not writable even for root.
    QFile blocker(dir->filePath("Hallestad"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.write("not a folder");
    blocker.close();
    {
        PortSettings settings;
        QCOMPARE(settings.GetComNumber(), 2);
        QCOMPARE(settings.mvrActive(), false);
        settings.SetComNumber(5);
    }
    QVERIFY(QFileInfo(dir->filePath("Hallestad")).isFile());
    QCOMPARE(PortSettings().GetComNumber(), 2);
}

QTEST_GUILESS_MAIN(TestPortSettings)
#include "tst_portsettings.moc"
