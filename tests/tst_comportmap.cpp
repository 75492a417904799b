#include "com_port_map.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using Mapping = QMap<int, QString>;  // COM number -> path; "$DIR" stands for the device folder

// COM names resolved against a device folder of plain files and links, a fresh settings file
// and the environment.
class TestComPortMap : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void presentDevicesInOrder();
    void resolves_data();
    void resolves();

private:
    QString expand(QString text) const { return text.replace("$DIR", devices->path()); }
    std::unique_ptr<QTemporaryDir> devices;
    std::unique_ptr<QTemporaryDir> config;
};

void TestComPortMap::init()
{
    devices = std::make_unique<QTemporaryDir>();
    config = std::make_unique<QTemporaryDir>();
    QVERIFY(devices->isValid() && config->isValid());
    // ttyS0 is a plain file: no UART behind it, so it does not count.
    for (const char* name : {"ttyUSB10", "ttyUSB0", "ttyACM0", "ttyUSB2", "ttyS0", "ttyUSBx"}) {
        QFile node(devices->filePath(name));
        QVERIFY(node.open(QIODevice::WriteOnly));
    }
    QVERIFY(QFile::link(devices->filePath("ttyUSB2"), devices->filePath("link")));
    qputenv("QUORIX_DEV_DIR", devices->path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", config->path().toLocal8Bit());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config->path());
}

void TestComPortMap::cleanup()
{
    for (int n = 1; n <= 8; ++n)
        qunsetenv(QByteArray("QUORIX_COM" + QByteArray::number(n)).constData());
    qunsetenv("QUORIX_DEV_DIR");
}

void TestComPortMap::presentDevicesInOrder()
{
    const std::vector<std::string> expected{
        expand("$DIR/ttyUSB0").toStdString(), expand("$DIR/ttyUSB2").toStdString(),
        expand("$DIR/ttyUSB10").toStdString(), expand("$DIR/ttyACM0").toStdString()};
    QCOMPARE(PresentSerialDevices(), expected);
}

void TestComPortMap::resolves_data()
{
    QTest::addColumn<Mapping>("environment");
    QTest::addColumn<Mapping>("portsGroup");
    QTest::addColumn<int>("comNumber");
    QTest::addColumn<QString>("expected");

    QTest::newRow("COM1 first device") << Mapping{} << Mapping{} << 1 << "$DIR/ttyUSB0";
    QTest::newRow("numeric order") << Mapping{} << Mapping{} << 3 << "$DIR/ttyUSB10";
    QTest::newRow("ACM after USB") << Mapping{} << Mapping{} << 4 << "$DIR/ttyACM0";
    QTest::newRow("beyond the devices") << Mapping{} << Mapping{} << 5 << "";
    QTest::newRow("COM0 never") << Mapping{{0, "/x/zero"}} << Mapping{} << 0 << "";
    QTest::newRow("environment beats Ports") << Mapping{{1, "/x/env"}} << Mapping{{1, "/x/ports"}}
                                             << 1 << "/x/env";
    QTest::newRow("Ports beats numbering") << Mapping{} << Mapping{{2, "/x/ports"}} << 2
                                           << "/x/ports";
    QTest::newRow("high COM number mapped") << Mapping{{12, "/x/twelve"}} << Mapping{} << 12
                                            << "/x/twelve";
    QTest::newRow("claimed device skipped") << Mapping{} << Mapping{{1, "$DIR/ttyUSB0"}} << 2
                                            << "$DIR/ttyUSB2";
    QTest::newRow("claim through a link") << Mapping{{3, "$DIR/link"}} << Mapping{} << 2
                                          << "$DIR/ttyUSB10";
    QTest::newRow("mapping elsewhere keeps numbering")
        << Mapping{{1, "/x/env"}} << Mapping{} << 2 << "$DIR/ttyUSB0";
}

void TestComPortMap::resolves()
{
    QFETCH(Mapping, environment);
    QFETCH(Mapping, portsGroup);
    QFETCH(int, comNumber);
    QFETCH(QString, expected);

    for (auto it = environment.cbegin(); it != environment.cend(); ++it)
        qputenv(QByteArray("QUORIX_COM" + QByteArray::number(it.key())).constData(),
                expand(it.value()).toLocal8Bit());
    {
        QSettings store(QSettings::IniFormat, QSettings::UserScope, "Hallestad", "Morvalo");
        for (auto it = portsGroup.cbegin(); it != portsGroup.cend(); ++it)
            store.setValue(QString("Ports/COM%1").arg(it.key()), expand(it.value()));
    }
    QCOMPARE(QString::fromStdString(ResolveComDevice(comNumber)), expand(expected));
}

QTEST_GUILESS_MAIN(TestComPortMap)
#include "tst_comportmap.moc"
