#pragma once

#include <QString>

class QFileDialog;
class QWidget;
class MessageSink;
class TabForm2;
class TabForm3;
class TabForm4;

// The main window's "Open/Save Quorix configuration file" commands on its one file dialog.
class ConfigFileCommands {
public:
    ConfigFileCommands(QWidget& window, TabForm2& comparators, TabForm3& offsets,
                       TabForm4& errors, MessageSink& messages);

    void OpenConfigFile();
    void SaveConfigFile();

    // The steps after the dialog, for a chosen name (".qxc" added when it has no extension).
    void openFile(const QString& chosenName);
    bool saveFile(const QString& chosenName);

    QFileDialog& fileDialog() { return *dialog; }

private:
    QWidget& window;
    TabForm2& comparators;
    TabForm3& offsets;
    TabForm4& errors;
    MessageSink& messages;
    QFileDialog* dialog;  // owned by the window
};
