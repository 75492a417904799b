#pragma once

#include <QEvent>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QObject;
class SerialPortImpl;

// Posted to the notification target for every received chunk; its handler calls OnReceive.
class DataArrivedEvent : public QEvent {
public:
    DataArrivedEvent();
    static QEvent::Type eventType();
};

// One RS-232 port named "COM1".."COM8". While open, a reader thread takes received bytes in
// chunks of at most 80 and hands each over through a one-token semaphore.
class Rs232Class {
public:
    static constexpr int ChunkSize = 80;

    Rs232Class();
    virtual ~Rs232Class();
    Rs232Class(const Rs232Class&) = delete;
    Rs232Class& operator=(const Rs232Class&) = delete;

    bool SetPort(int index);               // always true; -1 gives "COM0"
    bool SetBaudRate(std::uint32_t rate);  // false and unchanged for a rate not supported
    void SetDataBits(int bits);            // 7 or 8; anything else gives 8
    void SetStopBits(int count);           // 2 gives two stop bits; anything else one
    void SetNotifyWindow(QObject* window); // receives a DataArrivedEvent per chunk; may be null
    // Called on the reader thread instead of posting an event (for non-Qt callers and TSan tests).
    void SetNotifyCallback(std::function<void()> callback);

    bool Open();   // false when the port is missing, busy or refuses the settings
    void Close();  // stops and joins the reader; does nothing when not open
    bool Write(const char* data, int length);  // false when not open or the write failed
    int GetReceivedCount() const;
    // Copies the announced chunk (destination holds ChunkSize bytes) and releases the buffer;
    // false when no chunk is announced.
    bool FetchReceived(char* destination);

    // Reader thread: a chunk lies in the receive buffer. A class that overrides it closes the
    // port in its own destructor, so the reader never calls into a part already destroyed.
    virtual void DataArrived(Rs232Class* port);

    std::string portName() const;
    std::uint32_t baudRate() const;
    int dataBits() const;
    int stopBits() const;  // 1 or 2
    bool isOpen() const;
    bool deviceGone() const;  // the device hung up since the last Open
    std::string devicePath() const;  // the device opened last

private:
    std::unique_ptr<SerialPortImpl> impl;
};
