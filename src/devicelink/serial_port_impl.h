#pragma once

#include "unique_fd.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <semaphore>
#include <string>
#include <thread>

class QObject;
class Rs232Class;

// Whether a /dev/ttyS* node has a real UART behind it.
bool hasUart(const std::string& path);

// Line settings applied at Open.
struct LineSettings {
    std::uint32_t baudRate = 9600;
    int dataBits = 8;
    int stopBits = 1;
};

// The open port and its reader thread (POSIX: termios, poll, eventfd).
class SerialPortImpl {
public:
    static constexpr int ChunkSize = 80;

    explicit SerialPortImpl(Rs232Class& self) : owner(self) {}
    ~SerialPortImpl() { close(); }
    SerialPortImpl(const SerialPortImpl&) = delete;
    SerialPortImpl& operator=(const SerialPortImpl&) = delete;

    bool open(const std::string& path, const LineSettings& settings);
    void close();
    bool write(const char* data, int length);
    int receivedCount() const;
    bool fetch(char* destination);

    bool isOpen() const { return port.valid(); }
    bool deviceGone() const { return gone.load(); }

    std::string portName = "COM1";
    LineSettings settings;
    std::string lastPath;
    QObject* notifyWindow = nullptr;
    std::function<void()> notifyCallback;

private:
    void readerLoop();
    bool readChunks();  // false when the reader must end
    void settleToken();

    Rs232Class& owner;
    UniqueFd port;
    UniqueFd wake;
    std::thread reader;
    std::binary_semaphore token{1};  // stands for an empty receive buffer
    std::atomic<bool> stopping{false};
    std::atomic<bool> owed{false};   // a chunk waits to be fetched
    std::atomic<bool> gone{false};
    char buffer[ChunkSize] = {};
    int count = 0;
};
