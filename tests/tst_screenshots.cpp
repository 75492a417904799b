#include "orvandel.h"
#include "quorix.h"
#include "test_support.h"

#include <QAbstractButton>
#include <QDir>
#include <QTabWidget>
#include <QTest>

// Writes PNG pictures of every window and page into the build folder, for people to look at.
class TestScreenshots : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void mainWindowPages_data();
    void mainWindowPages();
    void sending();
    void aboutBox();

private:
    bool save(QWidget& widget, const QString& name);

    QDir folder{QStringLiteral(QUORIX_SCREENSHOT_DIR)};
};

void TestScreenshots::initTestCase()
{
    QVERIFY(folder.mkpath(QStringLiteral(".")));
}

bool TestScreenshots::save(QWidget& widget, const QString& name)
{
    const QPixmap picture = widget.grab();
    const QString scale = QString::number(qRound(picture.devicePixelRatio()));
    const QString path = folder.filePath(QStringLiteral("%1@%2x.png").arg(name, scale));
    qInfo("%s", qPrintable(path));
    return !picture.isNull() && picture.save(path);
}

void TestScreenshots::mainWindowPages_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("name");
    QTest::newRow("Properties") << 0 << "quorix-1-properties";
    QTest::newRow("Comparators") << 1 << "quorix-2-comparators";
    QTest::newRow("Offset Adjustment") << 2 << "quorix-3-offsets";
    QTest::newRow("Error Handling") << 3 << "quorix-4-errors";
}

void TestScreenshots::mainWindowPages()
{
    QFETCH(int, tab);
    QFETCH(QString, name);
    SettingsSandbox sandbox;
    RecordingMessages messages;
    Quorix window(messages);
    window.findChild<QTabWidget*>(QStringLiteral("tabctrl_1"))->setCurrentIndex(tab);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(save(window, name));
}

void TestScreenshots::sending()
{
    SettingsSandbox sandbox;
    SimDevice device;
    QVERIFY(device.start());
    ScopedComMapping mapping(2, device.devicePath());
    RecordingMessages messages;
    Quorix window(messages);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mousePress(&window.sendButton(), Qt::LeftButton);
    QVERIFY(save(window, QStringLiteral("quorix-5-connected")));
    QTest::mouseRelease(&window.sendButton(), Qt::LeftButton);
    QCOMPARE(messages.count(), 0);
}

void TestScreenshots::aboutBox()
{
    SettingsSandbox sandbox;
    RecordingMessages messages;
    Quorix window(messages);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    Orvandel& about = window.aboutBox();
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QVERIFY(save(about, QStringLiteral("orvandel")));
    about.close();
}

QTEST_MAIN(TestScreenshots)
#include "tst_screenshots.moc"
