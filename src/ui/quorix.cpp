#include "quorix.h"

#include "config_file_commands.h"
#include "device_access.h"
#include "device_press.h"
#include "orvandel.h"
#include "port_settings.h"
#include "quorix_comm.h"
#include "svg_icon.h"
#include "tabform1.h"
#include "tabform2.h"
#include "tabform3.h"
#include "tabform4.h"
#include "transfer.h"
#include "ui_quorix.h"

#include <QCloseEvent>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QTimer>

namespace {

constexpr Qt::WindowFlags mainWindowFlags = Qt::Window | Qt::CustomizeWindowHint
    | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
    | Qt::WindowCloseButtonHint;

constexpr int closeRetryMilliseconds = 20;

QIcon numberedIcon(int number)
{
    return svgIcon(QStringLiteral(":/icons/icon%1.svg").arg(number));
}

}  // namespace

Quorix::Quorix(MessageSink& sink, QWidget* parent)
    : QMainWindow(parent, mainWindowFlags), messages(sink), ui(std::make_unique<Ui::Quorix>())
{
    ui->setupUi(this);
    setWindowIcon(numberedIcon(100));
    statusLine = new QLabel(ui->statusbar);
    statusLine->setObjectName(QStringLiteral("statusLine"));
    ui->statusbar->addWidget(statusLine, 1);

    // The connection exists before the pages: their device controls work on it.
    settings = std::make_unique<PortSettings>();
    comm = std::make_unique<QuorixComm>(settings->GetComNumber() - 1, messages);
    comm->SetNotifyWindow(this);
    device = std::make_unique<DeviceAccess>(*comm, [this] { return page1->GetComIndex(); });

    buildPages();
    about = new Orvandel(this);
    ui->quorix_connect->setIcon(numberedIcon(102));
    sendGuard = new DevicePressGuard(*ui->quorix_connect, *device);
    initActionsConnections();
    setTabOrder(ui->toolb_1, ui->quorix_connect);
    setTabOrder(ui->quorix_connect, ui->tabctrl_1);
    setUp();
    fixGeometry();
}

Quorix::~Quorix()
{
    shutdown();
    // The pages and the send button hold on to the device access: they go first.
    delete takeCentralWidget();
}

void Quorix::buildPages()
{
    page1 = new TabForm1;
    page2 = new TabForm2;
    page3 = new TabForm3(*device);
    page4 = new TabForm4(*device);
    ui->tabctrl_1->addTab(page1, QStringLiteral("Properties"));
    ui->tabctrl_1->addTab(page2, QStringLiteral("Comparators"));
    ui->tabctrl_1->addTab(page3, QStringLiteral("Offset Adjustment"));
    ui->tabctrl_1->addTab(page4, QStringLiteral("Error Handling"));
    ui->tabctrl_1->setCurrentIndex(0);
}

void Quorix::initActionsConnections()
{
    ui->tool_load->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    ui->tool_save->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    ui->tool_quit->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));

    connect(ui->item_open, &QAction::triggered, this, &Quorix::OpenConfigFile);
    connect(ui->item_save, &QAction::triggered, this, &Quorix::SaveConfigFile);
    // A posted close request, as the close box sends one.
    connect(ui->item_quit, &QAction::triggered, this, &QWidget::close, Qt::QueuedConnection);
    connect(ui->item_about, &QAction::triggered, this, &Quorix::showAbout);
    connect(ui->tool_load, &QAction::triggered, ui->item_open, &QAction::trigger);
    connect(ui->tool_save, &QAction::triggered, ui->item_save, &QAction::trigger);
    connect(ui->tool_quit, &QAction::triggered, ui->item_quit, &QAction::trigger);

    connect(sendGuard, &DevicePressGuard::portOpened, this, &Quorix::onPortOpened);
    connect(sendGuard, &DevicePressGuard::clicked, this, &Quorix::onSendClicked);
    connect(sendGuard, &DevicePressGuard::abandoned, this, &Quorix::backToIdle);
}

void Quorix::setUp()
{
    page1->SetComIndex(settings->GetComNumber() - 1);
    page4->SelectCycle(QStringLiteral("-"));
}

// The window takes the size its layout asks for and keeps it.
void Quorix::fixGeometry()
{
    adjustSize();
    setFixedSize(size());
    if (const QScreen* shownOn = screen())
        move(shownOn->availableGeometry().center() - rect().center());
}

void Quorix::OpenConfigFile()
{
    fileCommands().OpenConfigFile();
}

void Quorix::SaveConfigFile()
{
    fileCommands().SaveConfigFile();
}

// Made on first use: building the file dialog would double the window's start-up time.
ConfigFileCommands& Quorix::fileCommands()
{
    if (!files)
        files = std::make_unique<ConfigFileCommands>(*this, *page2, *page3, *page4, messages);
    return *files;
}

QAbstractButton& Quorix::sendButton()
{
    return *ui->quorix_connect;
}

QString Quorix::statusText() const
{
    return statusLine->text();
}

void Quorix::setStatusText(const QString& text)
{
    statusLine->setText(text);
}

void Quorix::showAbout()
{
    about->exec();
}

void Quorix::onPortOpened()
{
    page1->SetComEnabled(false);
    ui->quorix_connect->setIcon(numberedIcon(101));
    setStatusText(QStringLiteral("Connection to Quorix established."));
}

void Quorix::onSendClicked()
{
    sending = true;
    // The chosen port is kept even when the transfer fails.
    storeSelectedPort();
    settings.reset();
    settings = std::make_unique<PortSettings>();
    SendConfiguration();
    backToIdle();
    sending = false;
}

void Quorix::SendConfiguration()
{
    const TransferValues values = takeSnapshot();
    ::SendConfiguration(
        values, [this](const std::string& line) { return comm->SendCommand(line); }, messages,
        [this](const std::string& text) { setStatusText(QString::fromStdString(text)); });
}

TransferValues Quorix::takeSnapshot() const
{
    TransferValues values;
    for (int index = 0; index < 4; ++index)
        values.thresholdText[index] = page2->GetThresholdText(index).toStdString();
    values.errorEnabled = page4->GetErrorEnabled();
    values.errorMemory = page4->GetErrorMemory();
    values.cycleText = page4->GetCycleText().toStdString();
    return values;
}

void Quorix::backToIdle()
{
    ui->quorix_connect->setIcon(numberedIcon(102));
    device->close();
    page1->SetComEnabled(true);
    setStatusText(QString());
}

void Quorix::storeSelectedPort()
{
    settings->SetComNumber(page1->GetComIndex() + 1);
}

void Quorix::customEvent(QEvent* event)
{
    if (event->type() != DataArrivedEvent::eventType()) {
        QMainWindow::customEvent(event);
        return;
    }
    if (comm)
        comm->OnReceive();
}

// The connection must outlive any exchange on it: a close while one runs ends its wait at once
// and is repeated once the exchange has finished.
void Quorix::closeEvent(QCloseEvent* event)
{
    if (comm && (sending || comm->isWaiting())) {
        comm->CancelWait();
        event->ignore();
        QTimer::singleShot(closeRetryMilliseconds, this, &QWidget::close);
        return;
    }
    shutdown();
    event->accept();
}

void Quorix::shutdown()
{
    if (!comm)
        return;
    storeSelectedPort();
    comm.reset();
    settings.reset();
}
