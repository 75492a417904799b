#include "receive_forwarder.h"

#include "quorix_comm.h"

ReceiveForwarder::ReceiveForwarder(QuorixComm& connection, QObject* parent)
    : QObject(parent), comm(connection)
{
}

void ReceiveForwarder::customEvent(QEvent* event)
{
    if (event->type() == DataArrivedEvent::eventType())
        comm.OnReceive();
}
