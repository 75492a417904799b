#include "gui_messages.h"

#include <QMessageBox>
#include <QString>

namespace {

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Error:
        break;
    }
    return QMessageBox::Critical;
}

QString boxText(const std::string& text)
{
    QString shown = QString::fromStdString(text);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return shown;
}

}  // namespace

MessageAnswer GuiMessages::show(const UserMessage& message)
{
    const bool yesNo = message.buttons == MessageButtons::YesNo;
    QMessageBox box(boxIcon(message.icon), QString::fromStdString(message.title),
                    boxText(message.text),
                    yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    const int answer = box.exec();
    if (!yesNo)
        return MessageAnswer::Ok;
    return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}
