#include "config_file_commands.h"

#include "config_record.h"
#include "load_save_print.h"
#include "message_sink.h"
#include "tabform2.h"
#include "tabform3.h"
#include "tabform4.h"
#include "value_text.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstddef>

namespace {

const QString ConfigFilter = QStringLiteral("Quorix configuration (*.qxc)");
const QString AllFilesFilter = QStringLiteral("All files (*)");
const QString AllFilesLabel = QStringLiteral("All files (*.*)");

// Both commands start here, whatever was chosen before.
QString startFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

// The name as the user means it: ".qxc" when it has no extension, made absolute.
QString fullName(const QString& chosenName)
{
    QString name = chosenName;
    if (!QFileInfo(name).fileName().contains(u'.'))
        name += QStringLiteral(".qxc");
    return QDir::toNativeSeparators(QFileInfo(name).absoluteFilePath());
}

// "*" filters like the customary "*.*", which on this system would hide names without a dot;
// the list still reads as users know it.
void labelAllFilesFilter(QFileDialog& dialog)
{
    auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    const int index = combo ? combo->findText(AllFilesFilter) : -1;
    if (index >= 0)
        combo->setItemText(index, AllFilesLabel);
}

QString chooseFile(QFileDialog& dialog, QFileDialog::AcceptMode mode)
{
    dialog.setAcceptMode(mode);
    dialog.setWindowTitle(mode == QFileDialog::AcceptOpen ? QStringLiteral("Open")
                                                          : QStringLiteral("Save As"));
    dialog.setDirectory(startFolder());
    dialog.selectFile(QStringLiteral("*.qxc"));
    for (;;) {
        if (dialog.exec() != QDialog::Accepted)
            return {};
        const QStringList files = dialog.selectedFiles();
        if (files.isEmpty())
            return {};
        const QFileInfo chosen(files.first());
        const QString name = chosen.fileName();
        if (!name.contains(u'*') && !name.contains(u'?'))
            return files.first();
        // A pattern left in the name field names no file: ask again rather than create "*.qxc".
        dialog.setDirectory(chosen.absolutePath());
        dialog.selectFile(name);
    }
}

// What stopped a write, as far as the file system tells.
QString writeFailureReason(const QString& name)
{
    const QFileInfo file(name);
    const QFileInfo folder(file.absolutePath());
    if (file.isDir())
        return QStringLiteral("A folder has this name.");
    if (!folder.isDir())
        return QStringLiteral("The folder does not exist.");
    if (file.exists() && !file.isWritable())
        return QStringLiteral("The file is write-protected.");
    if (!folder.isWritable())
        return QStringLiteral("The folder is write-protected.");
    return {};
}

QString integerText(std::int32_t value)
{
    return QString::fromStdString(FormatInteger(value));
}

}  // namespace

ConfigFileCommands::ConfigFileCommands(QWidget& owner, TabForm2& comparatorsPage,
                                       TabForm3& offsetsPage, TabForm4& errorsPage,
                                       MessageSink& messageSink)
    : window(owner), comparators(comparatorsPage), offsets(offsetsPage), errors(errorsPage),
      messages(messageSink), dialog(new QFileDialog(&owner))
{
    // Qt's own dialog, so that it looks the same everywhere and tests can drive it.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    dialog->setFileMode(QFileDialog::AnyFile);  // Open checks existence itself
    dialog->setNameFilters({ConfigFilter, AllFilesFilter});
    labelAllFilesFilter(*dialog);
}

void ConfigFileCommands::OpenConfigFile()
{
    const QString name = chooseFile(*dialog, QFileDialog::AcceptOpen);
    if (!name.isEmpty())
        openFile(name);
}

void ConfigFileCommands::SaveConfigFile()
{
    const QString name = chooseFile(*dialog, QFileDialog::AcceptSave);
    if (!name.isEmpty())
        saveFile(name);
}

void ConfigFileCommands::openFile(const QString& chosenName)
{
    if (chosenName.isEmpty())
        return;
    const QString name = fullName(chosenName);
    const QFileInfo info(name);
    // A folder, a pipe or a device is no configuration file either (reading a pipe would hang).
    if (!info.isFile() || !info.isReadable()) {
        UserMessage message;
        message.icon = MessageIcon::Information;
        message.buttons = MessageButtons::YesNo;
        message.title = "Info";
        message.text = "Can't open \"" + name.toStdString() + "\"!";
        messages.show(message);
        return;
    }

    ConfigRecord& record = TheConfigRecord();
    LoadSavePrint::Load(name.toStdString(), record);

    // Every member is shown, also those the file did not hold.
    for (int i = Comparator1Upper; i <= Comparator2Lower; ++i)
        comparators.SetThreshold(i, record.threshold[static_cast<std::size_t>(i)]);
    offsets.SetOffsets(integerText(record.receiverOffset), integerText(record.transmitterOffset));
    errors.SetErrorEnabled(record.errorEnabled);
    errors.SetErrorMemory(record.errorMemory);
    errors.SelectCycle(record.cycle == 0 ? QStringLiteral("-") : integerText(record.cycle));
}

bool ConfigFileCommands::saveFile(const QString& chosenName)
{
    if (chosenName.isEmpty())
        return false;
    const QString name = fullName(chosenName);

    ConfigRecord& record = TheConfigRecord();
    for (int i = Comparator1Upper; i <= Comparator2Lower; ++i) {
        const std::string text = comparators.GetThresholdText(i).toStdString();
        record.threshold[static_cast<std::size_t>(i)] = ReadNumber(text);
    }
    record.errorEnabled = errors.GetErrorEnabled();
    record.errorMemory = errors.GetErrorMemory();
    record.cycle = ReadInteger(errors.GetCycleText().toStdString());
    record.receiverOffset = offsets.GetOffset(1);
    record.transmitterOffset = offsets.GetOffset(2);

    if (LoadSavePrint::Save(name.toStdString(), record))
        return true;

    // Saying nothing here would let the user believe the configuration is kept.
    std::string text = "Couldn't write \"" + name.toStdString() + "\".";
    const QString reason = writeFailureReason(name);
    if (!reason.isEmpty())
        text += "\r\n\r\n" + reason.toStdString();
    UserMessage message;
    message.icon = MessageIcon::Error;
    message.buttons = MessageButtons::Ok;
    message.title = "Quorix Error";
    message.text = text;
    messages.show(message);
    return false;
}
