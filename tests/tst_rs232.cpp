#include "rs232.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <pty.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <semaphore>
#include <thread>

using namespace std::chrono_literals;

namespace {

// Both ends of a pseudo-terminal; the test plays the device on the master.
struct PtyPair {
    int master = -1;
    int slave = -1;  // held open like a device that stays plugged in
    QByteArray path;

    PtyPair() { open(); }
    ~PtyPair() { close(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;
    // Unplugged for good, then a new device plugged in.
    void replace()
    {
        close();
        open();
    }
    void hangUp()
    {
        if (master >= 0)
            ::close(master);
        master = -1;
    }
    bool send(const QByteArray& bytes) const
    {
        return ::write(master, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }
    // Bytes the port sent, until count have come or 5 s have passed.
    QByteArray receive(int count) const
    {
        QByteArray got;
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
            pollfd pfd{master, POLLIN, 0};
            if (poll(&pfd, 1, 100) <= 0)
                continue;
            char buffer[512];
            ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n <= 0)
                break;
            got.append(buffer, int(n));
        }
        return got;
    }
    int queuedAtPort() const
    {
        int queued = 0;
        return ioctl(slave, FIONREAD, &queued) == 0 ? queued : -1;
    }

private:
    void open()
    {
        char name[64] = {};
        path.clear();
        if (openpty(&master, &slave, name, nullptr, nullptr) == 0)
            path = name;
    }
    void close()
    {
        hangUp();
        if (slave >= 0)
            ::close(slave);
        slave = -1;
    }
};

// Notification by plain callback, as ThreadSanitizer can follow it. Records whether a chunk
// was announced while the one before was still unfetched.
struct Receiver {
    std::counting_semaphore<4096> arrived{0};
    std::atomic<int> announced{0};
    std::atomic<int> fetched{0};
    std::atomic<bool> overlapped{false};

    void attach(Rs232Class& port)
    {
        port.SetNotifyCallback([this] {
            if (announced.load() != fetched.load())
                overlapped = true;
            ++announced;
            arrived.release();
        });
    }
    bool waitAnnounced() { return arrived.try_acquire_for(5s); }
    QByteArray fetch(Rs232Class& port)
    {
        char buffer[Rs232Class::ChunkSize];
        const int count = port.GetReceivedCount();
        ++fetched;
        if (!port.FetchReceived(buffer))
            return {};
        return QByteArray(buffer, count);
    }
    // The next chunk, or empty when none was announced within 5 s.
    QByteArray next(Rs232Class& port) { return waitAnnounced() ? fetch(port) : QByteArray(); }
    QByteArray collect(Rs232Class& port, int total)
    {
        QByteArray all;
        while (all.size() < total) {
            QByteArray chunk = next(port);
            if (chunk.isEmpty())
                break;
            all += chunk;
        }
        return all;
    }
};

int threadCount()
{
    return int(QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

bool threadCountReaches(int expected)
{
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (threadCount() != expected && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(2ms);
    return threadCount() == expected;
}

// Runs f on a helper thread; a hang aborts the test run instead of blocking it.
template <class F>
void mustReturn(F f, const char* what)
{
    std::atomic<bool> done{false};
    std::thread runner([&] {
        f();
        done = true;
    });
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!done && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);
    if (!done)
        qFatal("%s did not return", what);
    runner.join();
}

void mapCom(int number, const QByteArray& path)
{
    qputenv(QByteArray("QUORIX_COM" + QByteArray::number(number)).constData(), path);
}

// A port on COM1 with a pseudo-terminal behind it and a receiver attached; not yet open.
struct PortOnPty {
    PtyPair pty;
    Receiver receiver;  // outlives the port, whose reader calls it
    Rs232Class port;

    PortOnPty()
    {
        mapCom(1, pty.path);
        receiver.attach(port);
    }
    void plugInAgain()
    {
        pty.replace();
        mapCom(1, pty.path);
    }
};

}  // namespace

class TestRs232 : public QObject {
    Q_OBJECT

private slots:
    void baudRate_data();
    void baudRate();
    void frameBits_data();
    void frameBits();
    void portName_data();
    void portName();

    void lineSettingsAtOpen_data();
    void lineSettingsAtOpen();
    void chunks_data();
    void chunks();
    void bytesPassUnchanged();
    void secondOpenRefused();
    void openFails_data();
    void openFails();
    void closeWhileIdleThenReopen();
    void closeWithChunkOwed();
    void hangUp_data();
    void hangUp();
    void writeWhenNotOpen();
};

void TestRs232::baudRate_data()
{
    QTest::addColumn<uint>("rate");
    QTest::addColumn<bool>("accepted");
    for (uint rate : {110u, 300u, 600u, 1200u, 2400u, 4800u, 9600u, 14400u, 19200u, 38400u})
        QTest::addRow("%u accepted", rate) << rate << true;
    for (uint rate : {0u, 57600u, 115200u, 19201u, 14401u})
        QTest::addRow("%u refused", rate) << rate << false;
}

void TestRs232::baudRate()
{
    QFETCH(uint, rate);
    QFETCH(bool, accepted);
    Rs232Class port;
    QVERIFY(port.SetBaudRate(4800));
    QCOMPARE(port.SetBaudRate(rate), accepted);
    QCOMPARE(port.baudRate(), accepted ? rate : 4800u);
}

void TestRs232::frameBits_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<int>("given");
    QTest::addColumn<int>("stored");
    QTest::newRow("data bits 7") << "data" << 7 << 7;
    QTest::newRow("data bits 8") << "data" << 8 << 8;
    QTest::newRow("data bits 5 gives 8") << "data" << 5 << 8;
    QTest::newRow("data bits 9 gives 8") << "data" << 9 << 8;
    QTest::newRow("stop bits 0 gives one") << "stop" << 0 << 1;
    QTest::newRow("stop bits 1 gives one") << "stop" << 1 << 1;
    QTest::newRow("stop bits 2 gives two") << "stop" << 2 << 2;
    QTest::newRow("stop bits 3 gives one") << "stop" << 3 << 1;
}

void TestRs232::frameBits()
{
    QFETCH(QString, setting);
    QFETCH(int, given);
    QFETCH(int, stored);
    const bool data = setting == QLatin1String("data");
    Rs232Class port;
    // Away from the default first, so a fallback cannot pass for a value left alone.
    const auto set = [&](int bits) { data ? port.SetDataBits(bits) : port.SetStopBits(bits); };
    set(data ? 7 : 2);
    set(given);
    QCOMPARE(data ? port.dataBits() : port.stopBits(), stored);
}

void TestRs232::portName_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    QTest::newRow("0") << 0 << "COM1";
    QTest::newRow("7") << 7 << "COM8";
    QTest::newRow("no selection") << -1 << "COM0";
}

void TestRs232::portName()
{
    QFETCH(int, index);
    QFETCH(QString, name);
    Rs232Class port;
    QCOMPARE(port.portName(), std::string("COM1"));
    QVERIFY(port.SetPort(index));
    QCOMPARE(QString::fromStdString(port.portName()), name);
}

void TestRs232::lineSettingsAtOpen_data()
{
    QTest::addColumn<uint>("rate");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("stopBits");
    QTest::addColumn<uint>("speedCode");
    QTest::addColumn<uint>("sizeSeen");  // a pseudo-terminal forces CS8 whatever it is told
    QTest::newRow("19200 8N1") << 19200u << 8 << 1 << uint(B19200) << uint(CS8);
    QTest::newRow("9600 7N2") << 9600u << 7 << 2 << uint(B9600) << uint(CS8);
    QTest::newRow("110 8N1") << 110u << 8 << 1 << uint(B110) << uint(CS8);
    QTest::newRow("14400 without a constant") << 14400u << 8 << 1 << uint(CBAUDEX) << uint(CS8);
}

void TestRs232::lineSettingsAtOpen()
{
    QFETCH(uint, rate);
    QFETCH(int, dataBits);
    QFETCH(int, stopBits);
    QFETCH(uint, speedCode);
    QFETCH(uint, sizeSeen);

    PtyPair pty;
    QVERIFY(!pty.path.isEmpty());
    termios before{};
    QVERIFY(tcgetattr(pty.slave, &before) == 0);
    QVERIFY(before.c_lflag & ICANON);  // a fresh device starts in line mode with echo
    mapCom(3, pty.path);
    Rs232Class port;
    port.SetPort(2);
    QVERIFY(port.SetBaudRate(rate));
    port.SetDataBits(dataBits);
    port.SetStopBits(stopBits);
    QVERIFY(port.Open());

    termios now{};
    QVERIFY(tcgetattr(pty.slave, &now) == 0);
    QCOMPARE(now.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), tcflag_t(0));
    QCOMPARE(now.c_iflag & (ICRNL | INLCR | IGNCR | IXON | IXOFF | ISTRIP), tcflag_t(0));
    QCOMPARE(now.c_oflag & OPOST, tcflag_t(0));
    QCOMPARE(now.c_cflag & (CLOCAL | CREAD), tcflag_t(CLOCAL | CREAD));
    QCOMPARE(now.c_cflag & (PARENB | CRTSCTS), tcflag_t(0));
    QCOMPARE(uint(now.c_cflag & CSIZE), sizeSeen);
    QCOMPARE(bool(now.c_cflag & CSTOPB), stopBits == 2);
    QCOMPARE(uint(now.c_cflag & CBAUD), speedCode);
    port.Close();
}

void TestRs232::chunks_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<QList<int>>("sizes");
    QTest::newRow("200 bytes") << 200 << QList<int>{80, 80, 40};
    QTest::newRow("80 bytes") << 80 << QList<int>{80};
    QTest::newRow("81 bytes") << 81 << QList<int>{80, 1};
    QTest::newRow("1 byte") << 1 << QList<int>{1};
}

void TestRs232::chunks()
{
    QFETCH(int, total);
    QFETCH(QList<int>, sizes);

    PortOnPty rig;
    QVERIFY(rig.port.Open());

    // A first byte stays unfetched, so the whole block is queued before the reader asks.
    QVERIFY(rig.pty.send("#"));
    QVERIFY(rig.receiver.waitAnnounced());
    QByteArray block(total, '\0');
    for (int i = 0; i < total; ++i)
        block[i] = char('a' + i % 26);
    QVERIFY(rig.pty.send(block));
    QTRY_COMPARE_WITH_TIMEOUT(rig.pty.queuedAtPort(), total, 5000);
    QCOMPARE(rig.receiver.fetch(rig.port), QByteArray("#"));

    QByteArray all;
    QList<int> seen;
    while (all.size() < total) {
        QByteArray chunk = rig.receiver.next(rig.port);
        QVERIFY2(!chunk.isEmpty(), "a chunk went missing");
        seen << int(chunk.size());
        all += chunk;
    }
    QCOMPARE(seen, sizes);
    QCOMPARE(all, block);
    QVERIFY(!rig.receiver.overlapped);
    rig.port.Close();
}

void TestRs232::bytesPassUnchanged()
{
    PortOnPty rig;
    QVERIFY(rig.port.Open());

    QByteArray every(256, '\0');
    for (int i = 0; i < 256; ++i)
        every[i] = char(i);
    QVERIFY(rig.port.Write(every.constData(), int(every.size())));
    QCOMPARE(rig.pty.receive(256), every);
    QVERIFY(rig.pty.send(every));
    QCOMPARE(rig.receiver.collect(rig.port, 256), every);
    QVERIFY(!rig.receiver.overlapped);
    rig.port.Close();
}

void TestRs232::secondOpenRefused()
{
    PtyPair pty;
    mapCom(2, pty.path);
    Rs232Class first;
    Rs232Class second;
    Receiver receiver;
    receiver.attach(first);
    first.SetPort(1);
    second.SetPort(1);
    QVERIFY(first.Open());
    QVERIFY(!second.Open());
    QVERIFY(!second.isOpen());
    QVERIFY(!first.Open());  // already open: refused, and the open connection stays
    QVERIFY(first.isOpen());

    QVERIFY(first.Write("ping", 4));
    QCOMPARE(pty.receive(4), QByteArray("ping"));
    QVERIFY(pty.send("pong"));
    QCOMPARE(receiver.collect(first, 4), QByteArray("pong"));

    mustReturn([&] { first.Close(); }, "Close");
    QVERIFY(second.Open());
    second.Close();
}

void TestRs232::openFails_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("mappedTo");  // "$FILE": a plain file
    QTest::newRow("missing device") << 0 << "/nonexistent/ttyQuorix";
    QTest::newRow("COM0") << -1 << "";
    QTest::newRow("not a terminal") << 0 << "$FILE";
    QTest::newRow("nothing mapped or present") << 7 << "";
}

void TestRs232::openFails()
{
    QFETCH(int, index);
    QFETCH(QString, mappedTo);

    QTemporaryDir dir;
    QFile plain(dir.filePath("plain"));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    qputenv("QUORIX_DEV_DIR", dir.path().toLocal8Bit());  // no present devices to number
    mappedTo.replace("$FILE", plain.fileName());
    if (!mappedTo.isEmpty())
        mapCom(index + 1, mappedTo.toLocal8Bit());

    const int threads = threadCount();
    Rs232Class port;
    port.SetPort(index);
    QVERIFY(!port.Open());
    QVERIFY(!port.isOpen());
    QCOMPARE(threadCount(), threads);
    port.Close();
    qunsetenv("QUORIX_DEV_DIR");
    if (!mappedTo.isEmpty())
        qunsetenv(QByteArray("QUORIX_COM" + QByteArray::number(index + 1)).constData());
}

void TestRs232::closeWhileIdleThenReopen()
{
    PortOnPty rig;
    const int threads = threadCount();
    QVERIFY(rig.port.Open());
    QCOMPARE(threadCount(), threads + 1);
    mustReturn([&] { rig.port.Close(); }, "Close");
    QVERIFY(!rig.port.isOpen());
    QCOMPARE(threadCount(), threads);

    QVERIFY(rig.port.Open());
    QVERIFY(rig.pty.send("again"));
    QCOMPARE(rig.receiver.collect(rig.port, 5), QByteArray("again"));
    mustReturn([&] { rig.port.Close(); }, "Close");
}

void TestRs232::closeWithChunkOwed()
{
    PortOnPty rig;
    QVERIFY(rig.port.Open());
    QByteArray lots(300, 'z');
    QVERIFY(rig.pty.send(lots));
    QVERIFY(rig.receiver.waitAnnounced());  // never fetched: the reader waits for the token
    mustReturn([&] { rig.port.Close(); }, "Close with a chunk owed");
    QCOMPARE(rig.port.GetReceivedCount(), 0);

    rig.receiver.fetched = rig.receiver.announced.load();
    QVERIFY(rig.port.Open());
    QVERIFY(rig.pty.send("fresh"));
    QCOMPARE(rig.receiver.collect(rig.port, 5), QByteArray("fresh"));
    rig.port.Close();
}

void TestRs232::hangUp_data()
{
    QTest::addColumn<bool>("chunkOwed");
    QTest::newRow("idle") << false;
    QTest::newRow("chunk owed") << true;
}

void TestRs232::hangUp()
{
    QFETCH(bool, chunkOwed);

    PortOnPty rig;
    const int threads = threadCount();
    QVERIFY(rig.port.Open());
    if (chunkOwed) {
        QVERIFY(rig.pty.send("unfetched"));
        QVERIFY(rig.receiver.waitAnnounced());
    }
    rig.pty.hangUp();
    if (chunkOwed)
        rig.receiver.fetch(rig.port);
    QTRY_VERIFY_WITH_TIMEOUT(rig.port.deviceGone(), 5000);
    QVERIFY(threadCountReaches(threads));  // the reader ended by itself, not spinning
    QVERIFY(rig.port.isOpen());
    QVERIFY(!rig.port.Write("x", 1));
    mustReturn([&] { rig.port.Close(); }, "Close after hang-up");
    QVERIFY(!rig.port.isOpen());

    // Plugged in again: a new device behind the same name.
    rig.plugInAgain();
    QVERIFY(rig.port.Open());
    QVERIFY(!rig.port.deviceGone());
    QVERIFY(rig.pty.send("back"));
    QCOMPARE(rig.receiver.collect(rig.port, 4), QByteArray("back"));
    rig.port.Close();
}

void TestRs232::writeWhenNotOpen()
{
    Rs232Class port;
    QVERIFY(!port.Write("x", 1));
    QCOMPARE(port.GetReceivedCount(), 0);
    char buffer[Rs232Class::ChunkSize];
    QVERIFY(!port.FetchReceived(buffer));
}

QTEST_GUILESS_MAIN(TestRs232)
#include "tst_rs232.moc"
