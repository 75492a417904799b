#include "application_class.h"
#include "config_file_commands.h"
#include "orvandel.h"
#include "quorix.h"
#include "quorix_comm.h"
#include "simulated_ports.h"
#include "svg_icon.h"
#include "tabform1.h"
#include "tabform2.h"
#include "tabform4.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <functional>
#include <mutex>
#include <new>
#include <optional>

using Lines = std::vector<std::string>;

class TestQuorix : public QObject {
    Q_OBJECT
private slots:
    void startState();
    void windowFrame();
    void storedPortSelected_data();
    void storedPortSelected();
    void iconsLoad_data();
    void iconsLoad();
    void missingIconIsNull();
    void tabOrder();
    void pressThenClickSendsConfiguration_data();
    void pressThenClickSendsConfiguration();
    void openFailureSwallowsPress_data();
    void openFailureSwallowsPress();
    void refusedThresholdsSendNothing_data();
    void refusedThresholdsSendNothing();
    void silentDeviceTimesOutOnce();
    void portStoredBeforeTransfer();
    void portStoredOnClose_data();
    void portStoredOnClose();
    void releaseOutsideReturnsToIdle();
    void keyboardSend_data();
    void keyboardSend();
    void closeDuringTransfer_data();
    void closeDuringTransfer();
    void closeDuringPageExchange();
    void fileCommandsFromMenuAndToolBar_data();
    void fileCommandsFromMenuAndToolBar();
    void aboutShownTwice();
    void programEnds_data();
    void programEnds();
};

namespace {

const Lines startConfiguration = {"st 1 0.0\r\n", "st 2 100.0\r\n", "st 3 0.0\r\n",
                                  "st 4 100.0\r\n", "ee 1\r\n", "em 1\r\n", "cf 0\r\n"};
const QString connectedText = QStringLiteral("Connection to Quorix established.");

template <typename T>
T* child(QWidget& window, const char* name)
{
    T* found = window.findChild<T*>(QLatin1String(name));
    if (!found)
        qWarning("no child named %s", name);
    return found;
}

QComboBox& portList(Quorix& window)
{
    return *child<QComboBox>(window, "combo_com");
}

QAction& action(Quorix& window, const char* name)
{
    return *child<QAction>(window, name);
}

QImage iconImage(const QIcon& icon)
{
    return icon.pixmap(QSize(48, 48), 1.0).toImage();
}

bool showsIcon(Quorix& window, int number)
{
    const QIcon expected = svgIcon(QStringLiteral(":/icons/icon%1.svg").arg(number));
    return iconImage(window.sendButton().icon()) == iconImage(expected);
}

// The stored COM number as written in the settings file; -1 when there is none.
int storedComNumber(const SettingsSandbox& sandbox)
{
    static const QRegularExpression entry(QStringLiteral("(?:^|\\n)COM=(-?\\d+)"));
    const auto match = entry.match(QString::fromUtf8(sandbox.readSettingsFile()));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

void press(Quorix& window)
{
    QTest::mousePress(&window.sendButton(), Qt::LeftButton);
}

void release(Quorix& window)
{
    QTest::mouseRelease(&window.sendButton(), Qt::LeftButton);
}

bool isIdle(Quorix& window)
{
    return portList(window).isEnabled() && window.statusText().isEmpty()
        && showsIcon(window, 102) && !window.sendButton().isDown()
        && (!window.connection() || !window.connection()->isOpen());
}

// Acts on the modal window once one runs; one still open after the bound is closed, so a
// failing test ends instead of hanging.
void whenModal(QObject& scope, const std::function<void(QWidget*)>& act)
{
    QTimer::singleShot(0, &scope, [act] { act(QApplication::activeModalWidget()); });
    QTimer::singleShot(5000, &scope, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
}

void showActive(QWidget& window)
{
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

// The main window, shown, with a simulated device behind COM2 and the settings sandboxed.
struct WindowOnDevice {
    explicit WindowOnDevice(SimOptions options = {}) : port(2, std::move(options)) {}
    SettingsSandbox sandbox;
    DeviceOnPort port;
    RecordingMessages messages;
    Quorix window{messages};

    // Whether the device came up and the window is on the screen.
    bool shown()
    {
        window.show();
        return port.started && QTest::qWaitForWindowExposed(&window);
    }
};

}  // namespace

void TestQuorix::startState()
{
    SettingsSandbox sandbox;
    RecordingMessages messages;
    Quorix window(messages);

    QCOMPARE(window.windowTitle(), QStringLiteral("Quorix"));
    QStringList menus;
    for (QAction* menu : window.menuBar()->actions())
        menus << menu->text();
    QCOMPARE(menus, QStringList({"&File", "&?"}));
    QStringList fileItems;
    for (QAction* item : child<QMenu>(window, "menu_file")->actions())
        fileItems << (item->isSeparator() ? QStringLiteral("-") : item->text());
    QCOMPARE(fileItems, QStringList({"&Open Quorix configuration file",
                                     "&Save Quorix configuration file", "-", "&Quit"}));
    QCOMPARE(child<QMenu>(window, "menu_help")->actions().value(0)->text(),
             QStringLiteral("&About"));

    auto* toolBar = child<QToolBar>(window, "toolb_1");
    QVERIFY(!toolBar->isMovable());
    QStringList tips;
    for (QAction* button : toolBar->actions()) {
        tips << (button->isSeparator() ? QStringLiteral("-") : button->toolTip());
        QVERIFY(button->isSeparator() || !button->icon().isNull());
    }
    QCOMPARE(tips, QStringList({"Load thresholds", "Save thresholds", "-", "Quit"}));

    auto* tabs = child<QTabWidget>(window, "tabctrl_1");
    QStringList tabTexts;
    for (int index = 0; index < tabs->count(); ++index)
        tabTexts << tabs->tabText(index);
    QCOMPARE(tabTexts, QStringList({"Properties", "Comparators", "Offset Adjustment",
                                    "Error Handling"}));
    QCOMPARE(tabs->currentIndex(), 0);
    QCOMPARE(tabs->widget(0), &window.serialPage());
    QCOMPARE(tabs->widget(1), &window.comparatorsPage());

    QCOMPARE(window.sendButton().text(), QStringLiteral("     &Send Configuration to Quorix"));
    QCOMPARE(window.sendButton().objectName(), QStringLiteral("quorix_connect"));
    QVERIFY(showsIcon(window, 102));
    QVERIFY(!window.statusBar()->isSizeGripEnabled());
    QCOMPARE(window.statusText(), QString());
    QCOMPARE(portList(window).currentText(), QStringLiteral("COM2"));  // first run
    QCOMPARE(window.errorPage().GetCycleText(), QStringLiteral("-"));
    QCOMPARE(child<QLineEdit>(window, "textb_threshold1_upper")->text(),
             QStringLiteral("100.0"));
    QVERIFY(window.connection() && !window.connection()->isOpen());
}

void TestQuorix::windowFrame()
{
    SettingsSandbox sandbox;
    RecordingMessages messages;
    Quorix window(messages);
    const Qt::WindowFlags flags = window.windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!window.windowIcon().isNull());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.minimumSize(), window.size());
    QCOMPARE(window.maximumSize(), window.size());
    QVERIFY(window.size().isValid() && window.width() > 300);
    const QRect area = window.screen()->availableGeometry();
    const QPoint offset = window.frameGeometry().center() - area.center();
    // Centred before the first show, when the frame's width is not yet known.
    const QString where = QStringLiteral("%1,%2 in %3x%4")
        .arg(offset.x()).arg(offset.y()).arg(area.width()).arg(area.height());
    QVERIFY2(qAbs(offset.x()) <= 4 && qAbs(offset.y()) <= 4, qPrintable(where));
}

void TestQuorix::storedPortSelected_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("index");
    QTest::newRow("COM1") << QByteArray("COM=1") << 0;
    QTest::newRow("COM5") << QByteArray("COM=5") << 4;
    QTest::newRow("COM8") << QByteArray("COM=8") << 7;
    QTest::newRow("zero") << QByteArray("COM=0") << -1;
    QTest::newRow("nine") << QByteArray("COM=9") << -1;
}

void TestQuorix::storedPortSelected()
{
    QFETCH(QByteArray, stored);
    QFETCH(int, index);
    SettingsSandbox sandbox;
    QVERIFY(sandbox.writeSettingsFile("[General]\n" + stored + "\n"));
    RecordingMessages messages;
    Quorix window(messages);
    QCOMPARE(window.serialPage().GetComIndex(), index);
}

void TestQuorix::iconsLoad_data()
{
    QTest::addColumn<QString>("resource");
    QTest::newRow("window icon") << ":/icons/icon100.svg";
    QTest::newRow("plugged in") << ":/icons/icon101.svg";
    QTest::newRow("pulled out") << ":/icons/icon102.svg";
    QTest::newRow("logo") << ":/logo.svg";
}

void TestQuorix::iconsLoad()
{
    QFETCH(QString, resource);
    QVERIFY(QFile::exists(resource));
    const QIcon icon = svgIcon(resource);
    QVERIFY(!icon.isNull());
    for (const qreal scale : {1.0, 2.0}) {
        const QPixmap picture = icon.pixmap(QSize(24, 24), scale);
        QCOMPARE(picture.size(), QSize(24, 24) * scale);
    }
    for (const int size : {16, 32, 48, 96}) {
        const QImage image = icon.pixmap(QSize(size, size), 1.0).toImage();
        QVERIFY2(!image.isNull(), qPrintable(QStringLiteral("size %1").arg(size)));
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                opaque += qAlpha(image.pixel(x, y)) > 0;
        }
        QVERIFY2(opaque > 0, qPrintable(QStringLiteral("size %1 is empty").arg(size)));
    }
}

void TestQuorix::missingIconIsNull()
{
    const QIcon icon = svgIcon(QStringLiteral(":/icons/none.svg"));
    QVERIFY(icon.isNull());
    QVERIFY(icon.pixmap(QSize(16, 16)).isNull());
}

void TestQuorix::tabOrder()
{
    SettingsSandbox sandbox;
    RecordingMessages messages;
    Quorix window(messages);
    showActive(window);
    QWidget* toolBar = child<QWidget>(window, "toolb_1");
    QWidget* tabs = child<QWidget>(window, "tabctrl_1");
    QList<QWidget*> chain;
    for (QWidget* widget = toolBar->nextInFocusChain(); widget != toolBar && chain.size() < 500;
         widget = widget->nextInFocusChain()) {
        chain << widget;
    }
    const auto sendAt = chain.indexOf(&window.sendButton());
    QVERIFY(sendAt >= 0);
    QVERIFY(chain.indexOf(tabs) > sendAt);

    window.sendButton().setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), &window.sendButton());
    QTest::keyClick(&window.sendButton(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), tabs->focusProxy() ? tabs->focusProxy() : tabs);
}

void TestQuorix::pressThenClickSendsConfiguration_data()
{
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("delayMs");
    QTest::newRow("unpaced device") << 0 << 0;
    QTest::newRow("paced like the real one") << 19200 << 20;
}

void TestQuorix::pressThenClickSendsConfiguration()
{
    QFETCH(int, baud);
    QFETCH(int, delayMs);
    SimOptions options;
    options.baud = baud;
    options.answerDelayMs = delayMs;
    WindowOnDevice rig(options);
    QVERIFY(rig.shown());

    press(rig.window);
    QVERIFY(rig.window.connection()->isOpen());
    QVERIFY(!portList(rig.window).isEnabled());
    QCOMPARE(portList(rig.window).currentIndex(), 1);
    QCOMPARE(rig.window.statusText(), connectedText);
    QVERIFY(showsIcon(rig.window, 101));
    QVERIFY(rig.window.sendButton().isDown());

    release(rig.window);
    QCOMPARE(rig.port.device.receivedLines(), startConfiguration);
    QCOMPARE(rig.messages.count(), 0);
    QVERIFY(isIdle(rig.window));
    QTest::qWait(0);  // the guard looks at the release once more from the event loop
    QVERIFY(isIdle(rig.window));
}

void TestQuorix::openFailureSwallowsPress_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QString>("named");
    QTest::newRow("device missing") << QByteArray("COM=3") << "missing" << "COM3";
    QTest::newRow("port busy") << QByteArray("COM=3") << "busy" << "COM3";
    QTest::newRow("no port selected") << QByteArray("COM=0") << "none" << "COM0";
}

void TestQuorix::openFailureSwallowsPress()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, cause);
    QFETCH(QString, named);
    SettingsSandbox sandbox;
    QVERIFY(sandbox.writeSettingsFile("[General]\n" + stored + "\n"));
    QTemporaryDir folder;
    ScopedComMapping missing(3, folder.filePath(QStringLiteral("gone")).toStdString());
    std::optional<DeviceOnPort> port;
    Rs232Class holder;
    if (cause == QLatin1String("busy")) {
        port.emplace(3);
        QVERIFY(port->started);
        holder.SetPort(2);
        QVERIFY(holder.Open());
    }
    RecordingMessages messages;
    Quorix window(messages);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.setStatusText(QStringLiteral("before"));

    press(window);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, std::string("Quorix Error"));
    QVERIFY2(QString::fromStdString(messages.last().text)
                 .startsWith(QStringLiteral("Couldn't open %1").arg(named)),
             messages.last().text.c_str());
    QVERIFY(!window.sendButton().isDown());
    QVERIFY(portList(window).isEnabled());
    QCOMPARE(window.statusText(), QStringLiteral("before"));
    QVERIFY(showsIcon(window, 102));

    release(window);
    QTest::qWait(0);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(window.statusText(), QStringLiteral("before"));
    if (port)
        QCOMPARE(port->device.receivedBytes(), std::string());
}

void TestQuorix::refusedThresholdsSendNothing_data()
{
    QTest::addColumn<QString>("upper2");
    QTest::addColumn<QString>("lower2");
    QTest::addColumn<QString>("message");
    QTest::newRow("not a number") << "abc" << "0.0"
        << "The upper threshold of comparator 2. has to be between -100.0 and 100.0.";
    QTest::newRow("upper below lower") << "5" << "7"
        << "The upper threshold must be greater than the lower threshold (Comparator 2).";
}

void TestQuorix::refusedThresholdsSendNothing()
{
    QFETCH(QString, upper2);
    QFETCH(QString, lower2);
    QFETCH(QString, message);
    WindowOnDevice rig;
    QVERIFY(rig.shown());
    child<QLineEdit>(rig.window, "textb_threshold2_upper")->setText(upper2);
    child<QLineEdit>(rig.window, "textb_threshold2_lower")->setText(lower2);

    press(rig.window);
    release(rig.window);
    QCOMPARE(rig.messages.count(), 1);
    QCOMPARE(rig.messages.last().title, std::string("Quorix Error"));
    QCOMPARE(QString::fromStdString(rig.messages.last().text), message + "\r\n\r\n");
    QCOMPARE(rig.port.device.receivedBytes(), std::string());
    QVERIFY(isIdle(rig.window));
}

void TestQuorix::silentDeviceTimesOutOnce()
{
    SimOptions options;
    options.silentFromLine = 3;
    WindowOnDevice rig(options);
    QVERIFY(rig.shown());

    press(rig.window);
    release(rig.window);
    QCOMPARE(rig.messages.titles(), std::vector<std::string>{"Quorix Timeout"});
    QCOMPARE(rig.port.device.receivedLines(),
             Lines(startConfiguration.begin(), startConfiguration.begin() + 3));
    QVERIFY(isIdle(rig.window));
}

void TestQuorix::portStoredBeforeTransfer()
{
    SettingsSandbox sandbox;
    std::mutex lock;
    QByteArray storedAtFirstLine;
    SimDevice device;
    device.setObserver([&](const SimExchange&) {
        const std::lock_guard<std::mutex> guard(lock);
        if (storedAtFirstLine.isEmpty())
            storedAtFirstLine = sandbox.readSettingsFile() + " ";
    });
    QVERIFY(device.start());
    ScopedComMapping mapping(3, device.devicePath());
    RecordingMessages messages;
    Quorix window(messages);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.serialPage().SetComIndex(2);

    press(window);
    release(window);
    QCOMPARE(device.receivedLines(), startConfiguration);
    const std::lock_guard<std::mutex> guard(lock);
    QVERIFY2(storedAtFirstLine.contains("COM=3"), storedAtFirstLine.constData());
    QCOMPARE(storedComNumber(sandbox), 3);
}

void TestQuorix::portStoredOnClose_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("stored");
    QTest::newRow("COM5") << 4 << 5;
    QTest::newRow("COM1") << 0 << 1;
    QTest::newRow("no selection") << -1 << 0;
}

void TestQuorix::portStoredOnClose()
{
    QFETCH(int, index);
    QFETCH(int, stored);
    SettingsSandbox sandbox;
    RecordingMessages messages;
    Quorix window(messages);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.serialPage().SetComIndex(index);
    QVERIFY(window.close());
    QCOMPARE(storedComNumber(sandbox), stored);
    QCOMPARE(window.connection(), nullptr);
    // A chunk announced just before the close finds no connection and is dropped.
    QCoreApplication::postEvent(&window, new DataArrivedEvent);
    QCoreApplication::sendPostedEvents(&window);
}

void TestQuorix::releaseOutsideReturnsToIdle()
{
    WindowOnDevice rig;
    QVERIFY(rig.shown());

    press(rig.window);
    QCOMPARE(rig.window.statusText(), connectedText);
    QTest::mouseRelease(&rig.window.sendButton(), Qt::LeftButton, {}, QPoint(-20, -20));
    QTRY_VERIFY(isIdle(rig.window));
    QCOMPARE(rig.port.device.receivedBytes(), std::string());
    QCOMPARE(rig.messages.count(), 0);

    press(rig.window);  // the next press finds the port closed and works as usual
    release(rig.window);
    QCOMPARE(rig.port.device.receivedLines(), startConfiguration);
    QCOMPARE(rig.messages.count(), 0);
    QVERIFY(isIdle(rig.window));
}

void TestQuorix::keyboardSend_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("space on the button") << int(Qt::Key_Space) << int(Qt::NoModifier);
    QTest::newRow("Alt+S") << int(Qt::Key_S) << int(Qt::AltModifier);
}

void TestQuorix::keyboardSend()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    WindowOnDevice rig;
    QVERIFY(rig.port.started);
    showActive(rig.window);
    QWidget* target = &rig.window;
    if (key == Qt::Key_Space) {
        rig.window.sendButton().setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), &rig.window.sendButton());
        target = &rig.window.sendButton();
    }
    QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    // A shortcut clicks the button a moment later, as a visible press.
    QTRY_COMPARE(rig.port.device.receivedLines(), startConfiguration);
    QCOMPARE(rig.messages.count(), 0);
    QVERIFY(isIdle(rig.window));
}

void TestQuorix::closeDuringTransfer_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("close box") << "close";
    QTest::newRow("menu Quit") << "item_quit";
    QTest::newRow("tool bar Quit") << "tool_quit";
}

// The close arrives while the second line waits for its answer.
void TestQuorix::closeDuringTransfer()
{
    QFETCH(QString, how);
    SettingsSandbox sandbox;
    SimOptions options;
    options.silentFromLine = 2;
    SimDevice device(options);
    RecordingMessages messages;
    std::optional<Quorix> window;
    window.emplace(messages);
    QObject* target = how == QLatin1String("close")
        ? static_cast<QObject*>(&*window) : child<QAction>(*window, qPrintable(how));
    const char* method = how == QLatin1String("close") ? "close" : "trigger";
    device.setObserver([&](const SimExchange& exchange) {
        if (exchange.line.rfind("st 2", 0) == 0)
            QMetaObject::invokeMethod(target, method, Qt::QueuedConnection);
    });
    QVERIFY(device.start());
    ScopedComMapping mapping(2, device.devicePath());
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(&*window));
    window->serialPage().SetComIndex(1);

    press(*window);
    release(*window);
    QTRY_VERIFY(!window->isVisible());
    QCOMPARE(window->connection(), nullptr);
    QCOMPARE(device.receivedLines().size(), std::size_t(2));
    QCOMPARE(messages.count(), 0);  // the wait was ended, not timed out
    QCOMPARE(storedComNumber(sandbox), 2);
    window.reset();
}

// A page's own exchange holds the connection in the same way as the send button's.
void TestQuorix::closeDuringPageExchange()
{
    SettingsSandbox sandbox;
    SimOptions options;
    options.silent = true;
    SimDevice device(options);
    RecordingMessages messages;
    std::optional<Quorix> window;
    window.emplace(messages);
    Quorix* target = &*window;
    device.setObserver([target](const SimExchange&) {
        QMetaObject::invokeMethod(target, "close", Qt::QueuedConnection);
    });
    QVERIFY(device.start());
    ScopedComMapping mapping(2, device.devicePath());
    child<QTabWidget>(*window, "tabctrl_1")->setCurrentIndex(2);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(&*window));
    auto* enable = child<QAbstractButton>(*window, "checkbox_rcv");
    QVERIFY(enable);

    QTest::mousePress(enable, Qt::LeftButton);
    QTest::mouseRelease(enable, Qt::LeftButton);
    QTRY_VERIFY(!window->isVisible());
    QCOMPARE(window->connection(), nullptr);
    QCOMPARE(device.receivedLines().size(), std::size_t(1));
    QCOMPARE(messages.count(), 0);
    QCOMPARE(storedComNumber(sandbox), 2);
    window.reset();
}

void TestQuorix::fileCommandsFromMenuAndToolBar_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QString>("item");
    QTest::newRow("menu Open") << "item_open" << "item_open";
    QTest::newRow("tool bar Load") << "tool_load" << "item_open";
    QTest::newRow("menu Save") << "item_save" << "item_save";
    QTest::newRow("tool bar Save") << "tool_save" << "item_save";
}

void TestQuorix::fileCommandsFromMenuAndToolBar()
{
    QFETCH(QString, trigger);
    QFETCH(QString, item);
    SettingsSandbox sandbox;
    RecordingMessages messages;
    Quorix window(messages);
    showActive(window);
    QSignalSpy itemSpy(&action(window, qPrintable(item)), &QAction::triggered);
    QObject scope;
    QWidget* seen = nullptr;
    whenModal(scope, [&](QWidget* modal) {
        seen = modal;
        if (modal)
            modal->close();
    });
    action(window, qPrintable(trigger)).trigger();
    QCOMPARE(itemSpy.count(), 1);
    QCOMPARE(seen, &window.fileCommands().fileDialog());
    QCOMPARE(messages.count(), 0);
}

void TestQuorix::aboutShownTwice()
{
    SettingsSandbox sandbox;
    RecordingMessages messages;
    Quorix window(messages);
    showActive(window);
    for (int showing = 1; showing <= 2; ++showing) {
        QObject scope;
        QWidget* seen = nullptr;
        whenModal(scope, [&](QWidget* modal) {
            seen = modal;
            if (modal)
                QTest::keyClick(modal, Qt::Key_Return);
        });
        action(window, "item_about").trigger();
        QCOMPARE(seen, &window.aboutBox());
        QCOMPARE(window.aboutBox().parentWidget(), &window);
        QVERIFY(!window.aboutBox().isVisible());
    }
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void TestQuorix::programEnds_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<int>("stored");
    QTest::newRow("close box") << "close" << 0 << 5;
    QTest::newRow("menu Quit") << "item_quit" << 0 << 5;
    QTest::newRow("tool bar Quit") << "tool_quit" << 0 << 5;
    QTest::newRow("window cannot be made") << "throw" << -1 << -1;
    QTest::newRow("no window") << "none" << -1 << -1;
}

void TestQuorix::programEnds()
{
    QFETCH(QString, how);
    QFETCH(int, exitCode);
    QFETCH(int, stored);
    SettingsSandbox sandbox;
    RecordingMessages messages;
    QObject scope;
    ApplicationClass program([&]() -> std::unique_ptr<QWidget> {
        if (how == QLatin1String("throw"))
            throw std::bad_alloc();
        if (how == QLatin1String("none"))
            return nullptr;
        auto window = std::make_unique<Quorix>(messages);
        window->serialPage().SetComIndex(4);
        Quorix* shown = window.get();
        QTimer::singleShot(0, &scope, [shown, how] {
            if (how == QLatin1String("close"))
                shown->close();
            else
                child<QAction>(*shown, qPrintable(how))->trigger();
        });
        return window;
    });
    QTimer::singleShot(5000, &scope, [] { QCoreApplication::exit(99); });
    QCOMPARE(program.run(), exitCode);
    QCOMPARE(storedComNumber(sandbox), stored);
    for (QWidget* widget : QApplication::topLevelWidgets())
        QVERIFY(!widget->isVisible());
}

QTEST_MAIN(TestQuorix)
#include "tst_quorix.moc"
