#include "gui_messages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

class TestGuiMessages : public QObject {
    Q_OBJECT
private slots:
    void showsBoxAsAsked_data();
    void showsBoxAsAsked();
};

Q_DECLARE_METATYPE(MessageIcon)
Q_DECLARE_METATYPE(MessageButtons)
Q_DECLARE_METATYPE(MessageAnswer)

void TestGuiMessages::showsBoxAsAsked_data()
{
    QTest::addColumn<MessageIcon>("icon");
    QTest::addColumn<MessageButtons>("buttons");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("press");  // a QMessageBox::StandardButton, or 0 for Escape
    QTest::addColumn<QMessageBox::Icon>("shownIcon");
    QTest::addColumn<QString>("shownText");
    QTest::addColumn<MessageAnswer>("answer");

    QTest::newRow("error, line breaks") << MessageIcon::Error << MessageButtons::Ok
        << "Couldn't open COM3.\r\n\r\nCheck the cable." << int(QMessageBox::Ok)
        << QMessageBox::Critical << "Couldn't open COM3.\n\nCheck the cable."
        << MessageAnswer::Ok;
    QTest::newRow("warning") << MessageIcon::Warning << MessageButtons::Ok
        << "Reading failed" << int(QMessageBox::Ok) << QMessageBox::Warning << "Reading failed"
        << MessageAnswer::Ok;
    QTest::newRow("question answered yes") << MessageIcon::Information
        << MessageButtons::YesNo << "Overwrite?" << int(QMessageBox::Yes)
        << QMessageBox::Information << "Overwrite?" << MessageAnswer::Yes;
    QTest::newRow("question answered no") << MessageIcon::Information << MessageButtons::YesNo
        << "Overwrite?" << int(QMessageBox::No) << QMessageBox::Information << "Overwrite?"
        << MessageAnswer::No;
    QTest::newRow("question escaped") << MessageIcon::Information << MessageButtons::YesNo
        << "Overwrite?" << 0 << QMessageBox::Information << "Overwrite?" << MessageAnswer::No;
    QTest::newRow("ok box escaped") << MessageIcon::Error << MessageButtons::Ok << "Timeout"
        << 0 << QMessageBox::Critical << "Timeout" << MessageAnswer::Ok;
}

void TestGuiMessages::showsBoxAsAsked()
{
    QFETCH(MessageIcon, icon);
    QFETCH(MessageButtons, buttons);
    QFETCH(QString, text);
    QFETCH(int, press);
    QFETCH(QMessageBox::Icon, shownIcon);
    QFETCH(QString, shownText);
    QFETCH(MessageAnswer, answer);

    struct Seen {
        bool found = false;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString title, text;
        QMessageBox::StandardButtons buttons;
        bool noOwner = false;
        Qt::WindowModality modality = Qt::NonModal;
    } seen;
    QObject scope;
    QTimer::singleShot(0, &scope, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen = {true, box->icon(), box->windowTitle(), box->text(), box->standardButtons(),
                box->parentWidget() == nullptr, box->windowModality()};
        if (press)
            box->button(QMessageBox::StandardButton(press))->click();
        else
            QTest::keyClick(box, Qt::Key_Escape);
    });
    QTimer::singleShot(5000, &scope, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });

    GuiMessages messages;
    const MessageAnswer given =
        messages.show({icon, buttons, "Quorix Error", text.toStdString()});
    QVERIFY(seen.found);
    QCOMPARE(seen.icon, shownIcon);
    QCOMPARE(seen.title, QStringLiteral("Quorix Error"));
    QCOMPARE(seen.text, shownText);
    const QMessageBox::StandardButtons expectedButtons = buttons == MessageButtons::YesNo
        ? QMessageBox::Yes | QMessageBox::No : QMessageBox::StandardButtons(QMessageBox::Ok);
    QCOMPARE(seen.buttons, expectedButtons);
    QVERIFY(seen.noOwner);
    QCOMPARE(seen.modality, Qt::ApplicationModal);
    QCOMPARE(given, answer);
}

QTEST_MAIN(TestGuiMessages)
#include "tst_gui_messages.moc"
