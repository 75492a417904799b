#include "orvandel.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <functional>

class TestOrvandel : public QObject {
    Q_OBJECT
private slots:
    void texts();
    void frameHasNoSystemMenu();
    void onlyOkTakesFocus();
    void logoIsDrawn();
    void resizableByBorder();
    void closesWithResultZero_data();
    void closesWithResultZero();
    void shownTwice();
    void centredOverMainWindow();
    void keptInsideScreen();
};

namespace {

// Acts on the modal window once the dialog runs; a dialog still open after the bound is closed,
// so a failing test ends instead of hanging.
void whenModal(QObject& scope, const std::function<void(QWidget*)>& action)
{
    QTimer::singleShot(0, &scope, [action] { action(QApplication::activeModalWidget()); });
    QTimer::singleShot(5000, &scope, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
}

template <typename T>
T* child(QWidget& dialog, const char* name)
{
    return dialog.findChild<T*>(QLatin1String(name));
}

}  // namespace

void TestOrvandel::texts()
{
    Orvandel about;
    QCOMPARE(about.windowTitle(), QStringLiteral("Orvandel GmbH"));
    QCOMPARE(child<QLabel>(about, "label_2")->text(),
             QStringLiteral("Quorix Configuration Program Version 2.0 a"));
    QVERIFY(child<QLabel>(about, "label_1")->text().contains(QStringLiteral("Orvandel")));
    QVERIFY(!child<QLabel>(about, "label_1")->wordWrap());
    QCOMPARE(child<QPushButton>(about, "cb_1")->text(), QStringLiteral("&Ok"));
    QVERIFY(child<QPushButton>(about, "cb_1")->isDefault());
    QVERIFY(child<QLabel>(about, "pictb_1"));
}

void TestOrvandel::frameHasNoSystemMenu()
{
    Orvandel about;
    const Qt::WindowFlags flags = about.windowFlags();
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
    QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(!flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(!flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
}

void TestOrvandel::onlyOkTakesFocus()
{
    Orvandel about;
    QList<QWidget*> focusable;
    for (QWidget* widget : about.findChildren<QWidget*>()) {
        if (widget->focusPolicy() & Qt::TabFocus)
            focusable << widget;
    }
    QCOMPARE(focusable, QList<QWidget*>({child<QPushButton>(about, "cb_1")}));
}

void TestOrvandel::logoIsDrawn()
{
    Orvandel about;
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    const QPixmap logo = child<QLabel>(about, "pictb_1")->pixmap();
    QVERIFY(!logo.isNull());
    QCOMPARE(logo.deviceIndependentSize().toSize(), QSize(230, 60));
    const QImage image = logo.toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3) {
        for (int x = 0; x < image.width(); x += 3) {
            if (qAlpha(image.pixel(x, y)) == 255)
                colours.insert(image.pixel(x, y));
        }
    }
    QVERIFY2(colours.size() > 3, "the logo resource did not render");
}

void TestOrvandel::resizableByBorder()
{
    Orvandel about;
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    const QSize before = about.size();
    QVERIFY(about.maximumSize().width() > before.width());
    about.resize(before + QSize(60, 40));
    QCOMPARE(about.size(), before + QSize(60, 40));
}

void TestOrvandel::closesWithResultZero_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Return") << "return";
    QTest::newRow("keypad Enter") << "enter";
    QTest::newRow("click on Ok") << "click";
}

void TestOrvandel::closesWithResultZero()
{
    QFETCH(QString, how);
    QWidget owner;
    owner.show();
    Orvandel about(&owner);
    QObject scope;
    QWidget* seen = nullptr;
    whenModal(scope, [&](QWidget* modal) {
        seen = modal;
        if (how == QLatin1String("click"))
            QTest::mouseClick(child<QPushButton>(about, "cb_1"), Qt::LeftButton);
        else
            QTest::keyClick(modal, how == QLatin1String("enter") ? Qt::Key_Enter : Qt::Key_Return);
    });
    const int result = about.exec();
    QCOMPARE(seen, &about);
    QCOMPARE(result, 0);
    QVERIFY(!about.isVisible());
}

void TestOrvandel::shownTwice()
{
    QWidget owner;
    owner.show();
    Orvandel about(&owner);
    for (int showing = 1; showing <= 2; ++showing) {
        QObject scope;
        bool logoShown = false;
        whenModal(scope, [&](QWidget* modal) {
            logoShown = modal == &about && !child<QLabel>(about, "pictb_1")->pixmap().isNull();
            QTest::keyClick(modal, Qt::Key_Return);
        });
        QCOMPARE(about.exec(), 0);
        QVERIFY2(logoShown, qPrintable(QStringLiteral("showing %1").arg(showing)));
    }
}

void TestOrvandel::centredOverMainWindow()
{
    QWidget owner;
    owner.setGeometry(120, 140, 500, 400);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    Orvandel about(&owner);
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    const QPoint offset = about.frameGeometry().center() - owner.frameGeometry().center();
    QVERIFY2(offset.manhattanLength() <= 2, qPrintable(QStringLiteral("off by %1,%2")
                                                           .arg(offset.x()).arg(offset.y())));
}

void TestOrvandel::keptInsideScreen()
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget owner;
    owner.setGeometry(area.right() - 60, area.bottom() - 40, 100, 80);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    Orvandel about(&owner);
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QVERIFY(area.contains(about.frameGeometry()));
}

QTEST_MAIN(TestOrvandel)
#include "tst_orvandel.moc"
