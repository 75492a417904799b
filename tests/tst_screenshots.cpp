#include "orvandel.h"
#include "quorix.h"
#include "test_support.h"

#include <QAbstractButton>
#include <QDir>
#include <QPainter>
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
    void iconSheet();

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

// The window and send button icons side by side at the sizes they are used at.
void TestScreenshots::iconSheet()
{
    const QList<int> sizes = {16, 24, 32, 48, 96};
    const QStringList icons = {":/icons/icon100.svg", ":/icons/icon101.svg",
                               ":/icons/icon102.svg"};
    const qreal ratio = qApp->devicePixelRatio();
    const int columns = static_cast<int>(icons.size());
    const int rows = static_cast<int>(sizes.size());
    QPixmap sheet(QSize(10 + 106 * columns, 10 + 106 * rows) * ratio);
    sheet.setDevicePixelRatio(ratio);
    sheet.fill(QColor(0xf0, 0xf0, 0xf0));
    QPainter painter(&sheet);
    for (int column = 0; column < columns; ++column) {
        for (int row = 0; row < rows; ++row) {
            const QIcon icon(icons[column]);
            const QPoint at(10 + 106 * column, 10 + 106 * row);
            painter.drawPixmap(at, icon.pixmap(QSize(sizes[row], sizes[row]), ratio));
        }
    }
    painter.end();
    const QString path = folder.filePath(
        QStringLiteral("icons@%1x.png").arg(qRound(ratio)));
    QVERIFY(sheet.save(path));
}

QTEST_MAIN(TestScreenshots)
#include "tst_screenshots.moc"
