#pragma once

#include <QObject>

class QuorixComm;

// Notification target that hands each DataArrivedEvent to QuorixComm::OnReceive: for front ends
// other than the main window (command line, tests).
class ReceiveForwarder : public QObject {
public:
    explicit ReceiveForwarder(QuorixComm& comm, QObject* parent = nullptr);

protected:
    void customEvent(QEvent* event) override;

private:
    QuorixComm& comm;
};
