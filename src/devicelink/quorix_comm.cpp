#include "quorix_comm.h"

#include "message_sink.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <thread>

namespace {

// Notices a quit request sent to the application while a wait runs.
class QuitWatcher : public QObject {
public:
    QuitWatcher()
    {
        if (auto* app = QCoreApplication::instance())
            app->installEventFilter(this);
    }
    bool quitSeen = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Quit)
            quitSeen = true;
        return QObject::eventFilter(watched, event);
    }
};

// One step: pending events are handled, then at most StepMilliseconds go by unless the loop is
// quit early. Returns false when the event loop refuses to run (the application is quitting).
bool runStep(QEventLoop& loop)
{
    if (!QCoreApplication::instance()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(QuorixComm::StepMilliseconds));
        return true;
    }
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(QuorixComm::StepMilliseconds);
    return loop.exec() == 0;
}

}  // namespace

QuorixComm::QuorixComm(int portIndex, MessageSink& sink) : messages(sink)
{
    SetPort(portIndex);
    SetBaudRate(19200);
    SetDataBits(8);
    SetStopBits(1);
}

QuorixComm::~QuorixComm()
{
    *alive = false;
    if (activeLoop)
        activeLoop->quit();
    Close();  // before this part is gone: the reader calls DataArrived on it
}

void QuorixComm::OnReceive()
{
    char chunk[ChunkSize];
    const int count = GetReceivedCount();
    if (!FetchReceived(chunk))
        return;
    if (assembler.feed(chunk, count) == 0)
        return;
    lastLine_ = assembler.completedLine();
    lineReceived_ = true;
    if (activeLoop)
        activeLoop->quit();
}

std::string QuorixComm::SendCommand(const std::string& command)
{
    if (command.empty())
        return lastLine_;
    lineReceived_ = false;
    lastLine_.clear();
    Write(command.data(), static_cast<int>(command.size()));

    auto stillAlive = alive;
    const WaitEnd end = waitForLine();
    if (end == WaitEnd::Deleted || end == WaitEnd::Cancelled)
        return {};
    if (end == WaitEnd::TimedOut) {
        messages.show({MessageIcon::Error, MessageButtons::Ok, "Quorix Timeout",
                       "Timeout!\r\n\r\nQuorix doesn't respond upon configuration data.\r\n"});
        if (!*stillAlive)
            return {};
        lastLine_.clear();
    }
    return lastLine_;
}

QuorixComm::WaitEnd QuorixComm::waitForLine()
{
    auto stillAlive = alive;
    QuitWatcher quit;
    const bool outermost = !waiting;
    QEventLoop* const outerLoop = activeLoop;
    if (outermost)
        cancelRequested = false;
    waiting = true;
    WaitEnd end = WaitEnd::TimedOut;
    for (int step = 0; step < WaitSteps && !lineReceived_; ++step) {
        QEventLoop loop;
        activeLoop = &loop;
        const bool ran = runStep(loop);
        if (!*stillAlive)
            return WaitEnd::Deleted;
        activeLoop = nullptr;
        if (lineReceived_)
            break;
        if (!ran || quit.quitSeen || cancelRequested || QCoreApplication::closingDown()) {
            end = WaitEnd::Cancelled;
            break;
        }
        if (deviceGone())
            break;  // no answer can come any more: a time-out, without the wait
    }
    if (lineReceived_ && end != WaitEnd::Cancelled)
        end = WaitEnd::Line;
    activeLoop = outerLoop;
    waiting = !outermost;
    if (outermost)
        cancelRequested = false;
    return end;
}

void QuorixComm::ShowOpenError(int index)
{
    messages.show({MessageIcon::Error, MessageButtons::Ok, "Quorix Error",
                   "Couldn't open COM" + std::to_string(index + 1)
                       + ".\r\n\r\nEither the serial interface is not available or\r\n"
                         "it is used by another Windows application.\r\n"});
}

void QuorixComm::CancelWait()
{
    if (!waiting)
        return;
    cancelRequested = true;
    if (activeLoop)
        activeLoop->quit();
}
