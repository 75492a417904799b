#pragma once

#include "line_assembler.h"
#include "rs232.h"

#include <memory>
#include <string>

class MessageSink;
class QEventLoop;

// The connection to the device: 19200 8N1, answer lines, send-and-wait.
class QuorixComm : public Rs232Class {
public:
    static constexpr int WaitSteps = 200;
    static constexpr int StepMilliseconds = 5;

    QuorixComm(int portIndex, MessageSink& messages);
    ~QuorixComm() override;

    void OnReceive();  // fetch the announced chunk and assemble lines (UI thread)
    // Writes the line and waits for the answer line; empty after a time-out (with its message).
    std::string SendCommand(const std::string& command);
    void ShowOpenError(int index);

    // Ends a running wait at once, without the time-out message (window closing, quit).
    void CancelWait();
    bool isWaiting() const { return waiting; }
    const std::string& lastLine() const { return lastLine_; }
    bool lineReceived() const { return lineReceived_; }

private:
    enum class WaitEnd { Line, TimedOut, Cancelled, Deleted };
    WaitEnd waitForLine();

    MessageSink& messages;
    std::string lastLine_;
    bool lineReceived_ = false;
    LineAssembler assembler;
    bool waiting = false;
    bool cancelRequested = false;
    QEventLoop* activeLoop = nullptr;
    // Cleared by the destructor: a wait that outlives its connection checks it before touching
    // anything of it.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
};
