#pragma once

#include <QMainWindow>

#include <memory>

namespace Ui { class Quorix; }
class ConfigFileCommands;
class DeviceAccess;
class DevicePressGuard;
class MessageSink;
class Orvandel;
class PortSettings;
class QAbstractButton;
class QLabel;
class QuorixComm;
class TabForm1;
class TabForm2;
class TabForm3;
class TabForm4;
struct TransferValues;

// The main window: menu, tool bar, the four pages, the send button and the status line. It owns
// the device connection and the port settings from its creation to its close.
class Quorix : public QMainWindow {
    Q_OBJECT
public:
    explicit Quorix(MessageSink& messages, QWidget* parent = nullptr);
    ~Quorix() override;

    void OpenConfigFile();
    void SaveConfigFile();
    // Checks the thresholds and sends the page values to the device on the open port.
    void SendConfiguration();

    TabForm1& serialPage() { return *page1; }
    TabForm2& comparatorsPage() { return *page2; }
    TabForm3& offsetPage() { return *page3; }
    TabForm4& errorPage() { return *page4; }
    ConfigFileCommands& fileCommands();
    QAbstractButton& sendButton();
    Orvandel& aboutBox() { return *about; }
    QString statusText() const;
    void setStatusText(const QString& text);
    QuorixComm* connection() { return comm.get(); }  // null once the window has closed

protected:
    void closeEvent(QCloseEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    void buildPages();
    void initActionsConnections();
    void setUp();
    void fixGeometry();
    void showAbout();
    void onPortOpened();
    void onSendClicked();
    void backToIdle();
    void storeSelectedPort();
    void shutdown();
    TransferValues takeSnapshot() const;

    MessageSink& messages;
    std::unique_ptr<Ui::Quorix> ui;
    std::unique_ptr<PortSettings> settings;
    std::unique_ptr<QuorixComm> comm;
    std::unique_ptr<DeviceAccess> device;
    std::unique_ptr<ConfigFileCommands> files;
    // Owned by the window's widget tree.
    TabForm1* page1 = nullptr;
    TabForm2* page2 = nullptr;
    TabForm3* page3 = nullptr;
    TabForm4* page4 = nullptr;
    Orvandel* about = nullptr;
    DevicePressGuard* sendGuard = nullptr;  // owned by the send button
    QLabel* statusLine = nullptr;
    bool sending = false;  // the send button's exchange runs
};
