// The simulated Quorix, driven through its pseudo-terminal by a plain POSIX client.
#include "sim_device.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

namespace {

// The tool's side of the line: opened, set raw and read like the tool does it.
class PtyClient {
public:
    explicit PtyClient(const std::string& path)
        : fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC))
    {
        termios settings{};
        if (fd >= 0 && ::tcgetattr(fd, &settings) == 0) {
            ::cfmakeraw(&settings);
            ::tcsetattr(fd, TCSANOW, &settings);
        }
    }
    ~PtyClient()
    {
        if (fd >= 0)
            ::close(fd);
    }
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    bool isOpen() const { return fd >= 0; }
    bool write(const std::string& bytes) const
    {
        return ::write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size());
    }
    // Each read() result separately, until `wanted` bytes came or timeoutMs passed.
    std::vector<std::string> readPieces(std::size_t wanted, int timeoutMs)
    {
        std::vector<std::string> pieces;
        std::size_t total = 0;
        QElapsedTimer timer;
        timer.start();
        while (total < wanted && !gone) {
            const int left = timeoutMs - int(timer.elapsed());
            pollfd p{fd, POLLIN, 0};
            if (left <= 0 || ::poll(&p, 1, left) <= 0)
                break;
            char buffer[512];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0) {
                pieces.emplace_back(buffer, std::size_t(n));
                total += std::size_t(n);
            } else if (n == 0 || errno == EIO) {
                gone = true;
            }
        }
        return pieces;
    }
    std::string read(std::size_t wanted, int timeoutMs)
    {
        std::string all;
        for (const std::string& piece : readPieces(wanted, timeoutMs))
            all += piece;
        return all;
    }
    std::string exchange(const std::string& line, std::size_t answerSize, int timeoutMs = 2000)
    {
        return write(line) ? read(answerSize, timeoutMs) : std::string("<write failed>");
    }
    bool sawHangUp() const { return gone; }

private:
    int fd = -1;
    bool gone = false;
};

const std::string ok = "OK\r\n";

}  // namespace

class TestSim : public QObject {
    Q_OBJECT

private slots:
    void judgesLines_data();
    void judgesLines();
    void acceptedLinesChangeState();
    void recordsExactLineEnds_data();
    void recordsExactLineEnds();
    void shapesAnswerBytes_data();
    void shapesAnswerBytes();
    void splitsAnswersIntoChunks_data();
    void splitsAnswersIntoChunks();
    void staysSilent();
    void silentFromLine();
    void keepsAnswerForNextOpen();
    void sendsRawBytes();
    void hangUpClosesMaster();
    void hangsUpAfterLines();
    void pacesAtBaudRate();
    void delaysAnswer();
    void linksPath();
    void destroysWithAnswersPending();
    void programAnswersAndStops();
    void programRefusesBadOption();
};

void TestSim::judgesLines_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("answer");
    const QByteArray bad = "ERR bad argument";
    const QByteArray unknown = "ERR unknown command";
    QTest::newRow("threshold") << QByteArray("st 1 0.0") << QByteArray("OK");
    QTest::newRow("threshold lowest") << QByteArray("st 4 -100") << QByteArray("OK");
    QTest::newRow("threshold exponent") << QByteArray("st 2 1e1") << QByteArray("OK");
    QTest::newRow("threshold extra blanks") << QByteArray("st 1  12.5") << QByteArray("OK");
    QTest::newRow("threshold above range") << QByteArray("st 2 100.01") << bad;
    QTest::newRow("threshold number 5") << QByteArray("st 5 1") << bad;
    QTest::newRow("threshold text") << QByteArray("st 1 abc") << bad;
    QTest::newRow("threshold trailing blank") << QByteArray("st 1 50 ") << bad;
    QTest::newRow("threshold hex") << QByteArray("st 1 0x10") << bad;
    QTest::newRow("threshold missing") << QByteArray("st 1") << bad;
    QTest::newRow("error handling on") << QByteArray("ee 1") << QByteArray("OK");
    QTest::newRow("error handling 2") << QByteArray("ee 2") << bad;
    QTest::newRow("error handling two blanks") << QByteArray("ee  1") << bad;
    QTest::newRow("error memory off") << QByteArray("em 0") << QByteArray("OK");
    QTest::newRow("cycle none") << QByteArray("cf 0") << QByteArray("OK");
    QTest::newRow("cycle 90") << QByteArray("cf 90") << QByteArray("OK");
    QTest::newRow("cycle 7") << QByteArray("cf 7") << bad;
    QTest::newRow("cycle leading zero") << QByteArray("cf 05") << bad;
    QTest::newRow("offset negative") << QByteArray("sc 1 -127") << QByteArray("OK");
    QTest::newRow("offset beyond int") << QByteArray("sc 2 2147483648") << bad;
    QTest::newRow("offset plus sign") << QByteArray("sc 2 +1") << bad;
    QTest::newRow("offset channel 3") << QByteArray("sc 3 1") << bad;
    QTest::newRow("remove errors") << QByteArray("rf") << QByteArray("OK");
    QTest::newRow("remove errors argument") << QByteArray("rf 1") << bad;
    QTest::newRow("unknown word") << QByteArray("xx 1") << unknown;
    QTest::newRow("upper case") << QByteArray("EE 1") << unknown;
    QTest::newRow("empty line") << QByteArray("") << unknown;
}

void TestSim::judgesLines()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, answer);
    SimDevice sim;
    QVERIFY(sim.start());
    PtyClient client(sim.devicePath());
    QVERIFY(client.isOpen());
    const std::string expected = answer.toStdString() + "\r\n";
    QCOMPARE(client.exchange(line.toStdString() + "\r\n", expected.size()), expected);
}

void TestSim::acceptedLinesChangeState()
{
    SimDevice sim;
    QVERIFY(sim.start());
    PtyClient client(sim.devicePath());
    const char* lines[] = {"st 1 0.0", "st 2 100.0", "st 3  12.5", "st 4 -7", "ee 1", "em 1",
                           "em 0", "cf 15", "sc 1 -5", "sc 2 127", "rf", "rf", "st 1 500"};
    for (const char* line : lines)
        QVERIFY(!client.exchange(std::string(line) + "\r\n", 4).empty());
    const SimState state = sim.state();
    QCOMPARE(state.threshold[1], 0.0);
    QCOMPARE(state.threshold[2], 100.0);
    QCOMPARE(state.threshold[3], 12.5);
    QCOMPARE(state.threshold[4], -7.0);
    QCOMPARE(state.errorEnabled, 1);
    QCOMPARE(state.errorMemory, 0);
    QCOMPARE(state.cycle, 15);
    QCOMPARE(state.receiverOffset, -5);
    QCOMPARE(state.transmitterOffset, 127);
    QCOMPARE(state.removeCount, 2);
}

void TestSim::recordsExactLineEnds_data()
{
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QByteArrayList>("lines");
    QTest::newRow("CR LF") << QByteArray("ee 1\r\n") << QByteArrayList{"ee 1\r\n"};
    QTest::newRow("lone LF") << QByteArray("ee 1\n") << QByteArrayList{"ee 1\n"};
    QTest::newRow("lone CR") << QByteArray("ee 1\r") << QByteArrayList{"ee 1\r"};
    QTest::newRow("two lines in one write")
        << QByteArray("ee 1\r\nem 0\n") << QByteArrayList{"ee 1\r\n", "em 0\n"};
    QTest::newRow("CR then line") << QByteArray("ee 1\rem 0\r\n")
                                  << QByteArrayList{"ee 1\r", "em 0\r\n"};
    QTest::newRow("high byte kept") << QByteArray("e\xff" "e 1\r\n")
                                    << QByteArrayList{"e\xff" "e 1\r\n"};
}

void TestSim::recordsExactLineEnds()
{
    QFETCH(QByteArray, written);
    QFETCH(QByteArrayList, lines);
    SimDevice sim;
    QVERIFY(sim.start());
    PtyClient client(sim.devicePath());
    QVERIFY(client.write(written.toStdString()));
    QVERIFY(sim.waitForLines(std::size_t(lines.size()), 2000));
    std::vector<std::string> expected;
    for (const QByteArray& line : lines)
        expected.push_back(line.toStdString());
    QCOMPARE(sim.receivedLines(), expected);
    QCOMPARE(sim.receivedBytes(), written.toStdString());
    // Every line gets its own answer line.
    const std::string answers = client.read(std::size_t(lines.size()) * 4 + 16, 500);
    QCOMPARE(qsizetype(std::count(answers.begin(), answers.end(), '\n')), lines.size());
}

void TestSim::shapesAnswerBytes_data()
{
    QTest::addColumn<QByteArray>("noise");
    QTest::addColumn<bool>("highBytes");
    QTest::addColumn<QByteArray>("fixedAnswer");
    QTest::addColumn<bool>("emptyAnswer");
    QTest::addColumn<QByteArray>("lineEnd");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray crlf = "\r\n";
    QTest::newRow("plain") << QByteArray() << false << QByteArray() << false << crlf
                           << QByteArray("OK\r\n");
    QTest::newRow("high byte") << QByteArray() << true << QByteArray() << false << crlf
                               << QByteArray("O\xffK\r\n");
    QTest::newRow("text noise") << QByteArray("xx") << false << QByteArray() << false << crlf
                                << QByteArray("xxOK\r\n");
    QTest::newRow("high noise") << QByteArray("\x80\xff") << false << QByteArray() << false
                                << crlf << QByteArray("\x80\xffOK\r\n");
    QTest::newRow("fixed answer") << QByteArray() << false << QByteArray("ERR") << false << crlf
                                  << QByteArray("ERR\r\n");
    QTest::newRow("two lines at once") << QByteArray() << false << QByteArray("A\r\nB") << false
                                       << crlf << QByteArray("A\r\nB\r\n");
    QTest::newRow("empty answer") << QByteArray() << false << QByteArray() << true << crlf
                                  << QByteArray("\r\n");
    QTest::newRow("LF CR end") << QByteArray() << false << QByteArray() << false
                               << QByteArray("\n\r") << QByteArray("OK\n\r");
}

void TestSim::shapesAnswerBytes()
{
    QFETCH(QByteArray, noise);
    QFETCH(bool, highBytes);
    QFETCH(QByteArray, fixedAnswer);
    QFETCH(bool, emptyAnswer);
    QFETCH(QByteArray, lineEnd);
    QFETCH(QByteArray, expected);
    SimOptions options;
    options.noise = noise.toStdString();
    options.highBytes = highBytes;
    options.fixedAnswer = fixedAnswer.toStdString();
    options.emptyAnswer = emptyAnswer;
    options.lineEnd = lineEnd.toStdString();
    SimDevice sim(options);
    QVERIFY(sim.start());
    PtyClient client(sim.devicePath());
    QCOMPARE(client.exchange("ee 1\r\n", std::size_t(expected.size())), expected.toStdString());
    QCOMPARE(sim.state().errorEnabled, fixedAnswer.isEmpty() ? 1 : 0);
}

void TestSim::splitsAnswersIntoChunks_data()
{
    QTest::addColumn<int>("chunkSize");
    QTest::addColumn<QByteArrayList>("pieces");
    QTest::newRow("byte by byte") << 1 << QByteArrayList{"O", "K", "\r", "\n"};
    QTest::newRow("pairs") << 2 << QByteArrayList{"OK", "\r\n"};
    QTest::newRow("three and rest") << 3 << QByteArrayList{"OK\r", "\n"};
}

void TestSim::splitsAnswersIntoChunks()
{
    QFETCH(int, chunkSize);
    QFETCH(QByteArrayList, pieces);
    SimOptions options;
    options.chunkSize = chunkSize;
    options.chunkGapMs = 150;  // wide enough that the client reads every piece on its own
    SimDevice sim(options);
    QVERIFY(sim.start());
    PtyClient client(sim.devicePath());
    QVERIFY(client.write("ee 1\r\n"));
    std::vector<std::string> expected;
    for (const QByteArray& piece : pieces)
        expected.push_back(piece.toStdString());
    QCOMPARE(client.readPieces(4, 3000), expected);
}

void TestSim::staysSilent()
{
    SimOptions options;
    options.silent = true;
    SimDevice sim(options);
    QVERIFY(sim.start());
    PtyClient client(sim.devicePath());
    QCOMPARE(client.exchange("ee 1\r\n", 1, 300), std::string());
    QCOMPARE(sim.receivedLines(), std::vector<std::string>{"ee 1\r\n"});
    QCOMPARE(sim.state().errorEnabled, 0);
}

void TestSim::silentFromLine()
{
    SimOptions options;
    options.silentFromLine = 3;
    SimDevice sim(options);
    QVERIFY(sim.start());
    PtyClient client(sim.devicePath());
    QCOMPARE(client.exchange("st 1 0.0\r\n", 4), ok);
    QCOMPARE(client.exchange("st 2 100.0\r\n", 4), ok);
    QCOMPARE(client.exchange("st 3 0.0\r\n", 1, 300), std::string());
    QVERIFY(sim.waitForLines(3, 1000));
    // Numbering starts again after clearReceived().
    sim.clearReceived();
    QCOMPARE(client.exchange("ee 1\r\n", 4), ok);
    QCOMPARE(sim.receivedLines(), std::vector<std::string>{"ee 1\r\n"});
}

void TestSim::keepsAnswerForNextOpen()
{
    SimDevice sim;
    QVERIFY(sim.start());
    {
        PtyClient first(sim.devicePath());
        QVERIFY(first.write("ee 1\r\n"));
        QVERIFY(sim.waitForLines(1, 2000));
    }
    // The tool closed its side before reading: the device is still there with its answer.
    PtyClient second(sim.devicePath());
    QVERIFY(second.isOpen());
    QCOMPARE(second.read(4, 2000), ok);
    QCOMPARE(second.exchange("em 1\r\n", 4), ok);
    QVERIFY(!sim.isHungUp());
}

void TestSim::sendsRawBytes()
{
    SimDevice sim;
    QVERIFY(sim.start());
    PtyClient client(sim.devicePath());
    sim.send("abc\xff\r");
    QCOMPARE(client.read(5, 2000), std::string("abc\xff\r"));
}

void TestSim::hangUpClosesMaster()
{
    SimDevice sim;
    QVERIFY(sim.start());
    PtyClient client(sim.devicePath());
    QCOMPARE(client.exchange("ee 1\r\n", 4), ok);
    sim.hangUp();
    QVERIFY(sim.isHungUp());
    QCOMPARE(client.read(1, 2000), std::string());
    QVERIFY(client.sawHangUp());
    sim.send("late");  // nothing to write to any more; must not block or crash
    sim.hangUp();
}

void TestSim::hangsUpAfterLines()
{
    SimOptions options;
    options.hangUpAfterLines = 2;
    SimDevice sim(options);
    QVERIFY(sim.start());
    PtyClient client(sim.devicePath());
    QCOMPARE(client.exchange("ee 1\r\n", 4), ok);
    QCOMPARE(client.exchange("em 1\r\n", 1, 2000), std::string());
    QVERIFY(client.sawHangUp());
    QVERIFY(sim.isHungUp());
    QCOMPARE(sim.receivedLines().size(), std::size_t(2));
    QCOMPARE(sim.state().errorMemory, 0);
}

void TestSim::pacesAtBaudRate()
{
    SimOptions options;
    options.baud = 19200;
    options.fixedAnswer = std::string(198, 'A');
    SimDevice sim(options);
    QVERIFY(sim.start());
    PtyClient client(sim.devicePath());
    const std::string line = "st 1 " + std::string(193, ' ') + "1\r\n";
    const std::size_t answerSize = options.fixedAnswer.size() + 2;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(client.exchange(line, answerSize, 5000).size(), answerSize);
    const qint64 elapsedUs = timer.nsecsElapsed() / 1000;
    const qint64 wireUs = qint64(line.size() + answerSize) * 10 * 1000000 / options.baud;
    qInfo("%zu bytes each way at 19200 baud: %lld us measured, %lld us wire time",
          line.size(), elapsedUs, wireUs);
    QVERIFY2(elapsedUs >= wireUs * 8 / 10, "answered faster than the line could carry it");
}

void TestSim::delaysAnswer()
{
    SimOptions options;
    options.answerDelayMs = 100;
    SimDevice sim(options);
    QVERIFY(sim.start());
    PtyClient client(sim.devicePath());
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(client.exchange("rf\r\n", 4), ok);
    qInfo("answer with a 100 ms delay came after %lld ms", timer.elapsed());
    QCOMPARE(sim.state().removeCount, 1);
}

void TestSim::linksPath()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string link = dir.filePath("COM2").toStdString();
    const std::string file = dir.filePath("plain").toStdString();
    QVERIFY(QFile(QString::fromStdString(file)).open(QIODevice::WriteOnly));
    {
        SimDevice unplugged;
        QVERIFY(unplugged.start());
        QVERIFY(unplugged.linkTo(link));
        SimDevice replugged;
        QVERIFY(replugged.start());
        QVERIFY(!replugged.linkTo(file));
        QVERIFY(replugged.linkTo(link));  // replaces the old link
        unplugged.hangUp();
        {
            PtyClient client(link);
            QCOMPARE(client.exchange("ee 0\r\n", 4), ok);
        }
        QCOMPARE(replugged.receivedLines().size(), std::size_t(1));
        QVERIFY(unplugged.receivedLines().empty());
    }
    struct stat info {};
    QCOMPARE(::lstat(link.c_str(), &info), -1);  // removed by the device it pointed to
    QCOMPARE(::lstat(file.c_str(), &info), 0);
}

void TestSim::destroysWithAnswersPending()
{
    SimOptions options;
    options.answerDelayMs = 60000;
    auto sim = std::make_unique<SimDevice>(options);
    QVERIFY(sim->start());
    PtyClient client(sim->devicePath());
    QVERIFY(client.write("ee 1\r\n"));
    QVERIFY(sim->waitForLines(1, 2000));
    sim.reset();  // must return without waiting for the answer
    QCOMPARE(client.read(1, 1000), std::string());
    QVERIFY(client.sawHangUp());
}

void TestSim::programAnswersAndStops()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath("quorix");
    QProcess program;
    program.start(QStringLiteral(QUORIX_SIM_PATH), {"--link", link, "--high-bytes"});
    QVERIFY(program.waitForStarted(5000));
    QVERIFY(program.waitForReadyRead(5000));
    const QByteArray path = program.readLine().trimmed();
    QVERIFY(path.startsWith("/dev/pts/"));
    QCOMPARE(QFile::symLinkTarget(link), QString::fromLatin1(path));
    {
        PtyClient client(link.toStdString());
        QCOMPARE(client.exchange("sc 1 -3\r\n", 5), std::string("O\xffK\r\n"));
    }
    program.terminate();
    QVERIFY(program.waitForFinished(5000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    const QByteArray log = program.readAllStandardError();
    QVERIFY2(log.contains("<- sc 1 -3\\r\\n"), log.constData());
    QVERIFY2(log.contains("-> O\\xffK\\r\\n"), log.constData());
    QVERIFY2(log.contains("sc1=-3"), log.constData());
    QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());
}

void TestSim::programRefusesBadOption()
{
    QProcess program;
    program.start(QStringLiteral(QUORIX_SIM_PATH), {"--baud", "fast"});
    QVERIFY(program.waitForFinished(5000));
    QCOMPARE(program.exitCode(), 2);
    QVERIFY(program.readAllStandardError().contains("bad value for --baud"));
}

QTEST_GUILESS_MAIN(TestSim)
#include "tst_sim.moc"
