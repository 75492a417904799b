// The scoped helpers of the test support library.
#include "test_support.h"

#include <QSettings>
#include <QTest>

class TestSupport : public QObject {
    Q_OBJECT

private slots:
    void recordsMessages();
    void mapsComPortForScope();
    void sandboxesSettings();
};

void TestSupport::recordsMessages()
{
    RecordingMessages messages(MessageAnswer::No);
    QCOMPARE(messages.count(), 0);
    QVERIFY(messages.last().title.empty());
    int seenWhileShown = 0;
    messages.setWhileShown([&](const UserMessage&) { seenWhileShown = messages.count(); });
    MessageSink& sink = messages;
    QCOMPARE(sink.show({MessageIcon::Information, MessageButtons::YesNo, "Info", "a"}),
             MessageAnswer::No);
    messages.setAnswer(MessageAnswer::Ok);
    QCOMPARE(sink.show({MessageIcon::Error, MessageButtons::Ok, "Quorix Error", "b"}),
             MessageAnswer::Ok);
    QCOMPARE(messages.count(), 2);
    QCOMPARE(seenWhileShown, 2);
    QCOMPARE(messages.last().text, std::string("b"));
    QCOMPARE(messages.titles(), (std::vector<std::string>{"Info", "Quorix Error"}));
    messages.clear();
    QCOMPARE(messages.count(), 0);
}

void TestSupport::mapsComPortForScope()
{
    qputenv("QUORIX_COM3", "/dev/before");
    qunsetenv("QUORIX_COM4");
    {
        ScopedComMapping three(3, "/dev/pts/9");
        ScopedComMapping four(4, "/tmp/link");
        QCOMPARE(qgetenv("QUORIX_COM3"), QByteArray("/dev/pts/9"));
        QCOMPARE(qgetenv("QUORIX_COM4"), QByteArray("/tmp/link"));
    }
    QCOMPARE(qgetenv("QUORIX_COM3"), QByteArray("/dev/before"));
    QVERIFY(!qEnvironmentVariableIsSet("QUORIX_COM4"));
    qunsetenv("QUORIX_COM3");
}

void TestSupport::sandboxesSettings()
{
    const QByteArray before = qgetenv("XDG_CONFIG_HOME");
    QString firstFile;
    for (int round = 0; round < 2; ++round) {
        SettingsSandbox sandbox;
        QVERIFY(sandbox.isValid());
        QCOMPARE(qgetenv("XDG_CONFIG_HOME"), QFile::encodeName(sandbox.configHome()));
        QVERIFY(sandbox.settingsFile().endsWith("/Hallestad/Morvalo.ini"));
        QVERIFY(sandbox.settingsFile() != firstFile);  // a fresh folder every time
        firstFile = sandbox.settingsFile();
        {
            QSettings settings(QSettings::IniFormat, QSettings::UserScope, "Hallestad", "Morvalo");
            QCOMPARE(settings.fileName(), sandbox.settingsFile());
            QVERIFY(!settings.contains("COM"));
            settings.setValue("COM", 2);
        }
        QVERIFY(sandbox.readSettingsFile().contains("COM=2"));
    }
    QCOMPARE(qgetenv("XDG_CONFIG_HOME"), before);
}

QTEST_GUILESS_MAIN(TestSupport)
#include "tst_support.moc"
