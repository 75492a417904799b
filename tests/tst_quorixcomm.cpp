#include "quorix_comm.h"
#include "receive_forwarder.h"
#include "test_support.h"

#include <QCoreApplication>
#include <QTest>
#include <QTimer>

#include <memory>

Q_DECLARE_METATYPE(SimOptions)

namespace {

const std::string TimeoutText =
    "Timeout!\r\n\r\nQuorix doesn't respond upon configuration data.\r\n";

SimOptions answering(const std::string& answer)
{
    SimOptions options;
    options.fixedAnswer = answer;
    return options;
}

SimOptions silentDevice()
{
    SimOptions options;
    options.silent = true;
    return options;
}

// A simulated device on COM1 and the connection to it, notified through Qt events.
struct Rig {
    explicit Rig(const SimOptions& options) : sim(options)
    {
        started = sim.start();
        mapping = std::make_unique<ScopedComMapping>(1, sim.devicePath());
        comm.SetNotifyWindow(&forwarder);
    }

    SimDevice sim;
    bool started = false;
    std::unique_ptr<ScopedComMapping> mapping;
    RecordingMessages messages;
    QuorixComm comm{0, messages};
    ReceiveForwarder forwarder{comm};
};

}  // namespace

class TestQuorixComm : public QObject {
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
    void emptyCommandSendsNothing();
    void timeout_data();
    void timeout();
    void answerWhileTimeoutShown();
    void hangUpDuringWait();
    void cancelWait();
    void quitDuringWait();
    void deletedDuringWait();
    void bytesBeforeCommandStartTheAnswer();
    void openRefusedWhileHeld();
    void openError_data();
    void openError();
};

void TestQuorixComm::answers_data()
{
    QTest::addColumn<SimOptions>("options");
    QTest::addColumn<QByteArray>("expected");

    SimOptions split = answering("OK");
    split.chunkSize = 1;
    split.chunkGapMs = 10;
    SimOptions empty;
    empty.emptyAnswer = true;
    SimOptions noise = answering("OK");
    noise.noise = "xx";
    SimOptions high = answering("OK");
    high.highBytes = true;
    SimOptions lfCr = answering("OK");
    lfCr.lineEnd = "\n\r";
    SimOptions late = answering("OK");
    late.answerDelayMs = 200;

    QTest::newRow("one chunk") << answering("OK") << QByteArray("OK");
    QTest::newRow("split into single bytes") << split << QByteArray("OK");
    QTest::newRow("empty line, no message") << empty << QByteArray();
    QTest::newRow("two lines in one chunk, second") << answering("A1\r\nB2") << QByteArray("B2");
    QTest::newRow("noise before the answer") << noise << QByteArray("xxOK");
    QTest::newRow("300 characters cut") << answering(std::string(300, 'a'))
                                        << QByteArray(255, 'a');
    QTest::newRow("byte 255 left out") << high << QByteArray("OK");
    QTest::newRow("NUL ends the text") << answering(std::string("AB\0CD", 5)) << QByteArray("AB");
    QTest::newRow("LF CR") << lfCr << QByteArray("OK");
    QTest::newRow("late answer") << late << QByteArray("OK");
}

void TestQuorixComm::answers()
{
    QFETCH(SimOptions, options);
    QFETCH(QByteArray, expected);

    Rig rig(options);
    QVERIFY(rig.started);
    QVERIFY(rig.comm.Open());
    const std::string answer = rig.comm.SendCommand("rf\r\n");
    QCOMPARE(QByteArray::fromStdString(answer), expected);
    QCOMPARE(rig.messages.count(), 0);
    QVERIFY(rig.comm.lineReceived());
    QCOMPARE(rig.sim.receivedLines(), std::vector<std::string>{"rf\r\n"});
    QVERIFY(!rig.comm.isWaiting());
    rig.comm.Close();
}

void TestQuorixComm::emptyCommandSendsNothing()
{
    Rig rig(answering("OK"));
    QVERIFY(rig.started);
    QVERIFY(rig.comm.Open());
    QCOMPARE(rig.comm.SendCommand("ee 1\r\n"), std::string("OK"));
    rig.sim.clearReceived();
    QCOMPARE(rig.comm.SendCommand(""), std::string("OK"));
    QCOMPARE(rig.comm.lastLine(), std::string("OK"));
    QCOMPARE(rig.comm.SendCommand("em 0\r\n"), std::string("OK"));
    QCOMPARE(rig.sim.receivedLines(), std::vector<std::string>{"em 0\r\n"});
    QCOMPARE(rig.messages.count(), 0);
    rig.comm.Close();
}

void TestQuorixComm::timeout_data()
{
    QTest::addColumn<bool>("open");
    QTest::newRow("silent device") << true;
    QTest::newRow("port not open") << false;
}

void TestQuorixComm::timeout()
{
    QFETCH(bool, open);

    Rig rig(silentDevice());
    QVERIFY(rig.started);
    if (open)
        QVERIFY(rig.comm.Open());
    QCOMPARE(rig.comm.SendCommand("cf 3\r\n"), std::string());
    QCOMPARE(rig.messages.count(), 1);
    const UserMessage& shown = rig.messages.last();
    QCOMPARE(shown.title, std::string("Quorix Timeout"));
    QCOMPARE(shown.text, TimeoutText);
    QVERIFY(shown.icon == MessageIcon::Error);
    QVERIFY(shown.buttons == MessageButtons::Ok);
    QVERIFY(!rig.comm.lineReceived());
    QCOMPARE(rig.comm.lastLine(), std::string());
    rig.comm.Close();
}

void TestQuorixComm::answerWhileTimeoutShown()
{
    Rig rig(silentDevice());
    QVERIFY(rig.started);
    QVERIFY(rig.comm.Open());
    bool assembled = false;
    rig.messages.setWhileShown([&](const UserMessage&) {
        rig.sim.send("LATE\r\n");
        assembled = QTest::qWaitFor([&] { return rig.comm.lineReceived(); }, 5000);
    });
    QCOMPARE(rig.comm.SendCommand("rf\r\n"), std::string());
    QVERIFY(assembled);
    QVERIFY(rig.comm.lineReceived());
    QCOMPARE(rig.comm.lastLine(), std::string());
    rig.comm.Close();
}

void TestQuorixComm::hangUpDuringWait()
{
    SimOptions options;
    options.hangUpAfterLines = 1;
    Rig rig(options);
    QVERIFY(rig.started);
    QVERIFY(rig.comm.Open());
    QCOMPARE(rig.comm.SendCommand("st 1 12.50\r\n"), std::string());
    QCOMPARE(rig.messages.count(), 1);
    QCOMPARE(rig.messages.last().title, std::string("Quorix Timeout"));
    QVERIFY(rig.comm.deviceGone());
    rig.comm.Close();
    QVERIFY(!rig.comm.isOpen());
}

void TestQuorixComm::cancelWait()
{
    Rig rig(silentDevice());
    QVERIFY(rig.started);
    QVERIFY(rig.comm.Open());
    bool wasWaiting = false;
    QTimer::singleShot(30, [&] {
        wasWaiting = rig.comm.isWaiting();
        rig.comm.CancelWait();
    });
    QCOMPARE(rig.comm.SendCommand("rf\r\n"), std::string());
    QVERIFY(wasWaiting);
    QVERIFY(!rig.comm.isWaiting());
    QCOMPARE(rig.messages.count(), 0);
    // The next exchange waits again as usual.
    rig.sim.setOptions(answering("OK"));
    QCOMPARE(rig.comm.SendCommand("rf\r\n"), std::string("OK"));
    rig.comm.Close();
}

void TestQuorixComm::quitDuringWait()
{
    Rig rig(silentDevice());
    QVERIFY(rig.started);
    QVERIFY(rig.comm.Open());
    std::string answer = "unset";
    bool returned = false;
    QTimer::singleShot(0, [&] {
        answer = rig.comm.SendCommand("rf\r\n");
        returned = true;
    });
    QTimer::singleShot(30, QCoreApplication::instance(), &QCoreApplication::quit);
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(returned);
    QCOMPARE(answer, std::string());
    QCOMPARE(rig.messages.count(), 0);
    rig.comm.Close();
}

void TestQuorixComm::deletedDuringWait()
{
    SimDevice sim(silentDevice());
    QVERIFY(sim.start());
    ScopedComMapping mapping(1, sim.devicePath());
    RecordingMessages messages;
    auto* comm = new QuorixComm(0, messages);
    ReceiveForwarder forwarder(*comm);
    comm->SetNotifyWindow(&forwarder);
    QVERIFY(comm->Open());
    QTimer::singleShot(30, [&] {
        delete comm;
        comm = nullptr;
    });
    QCOMPARE(comm->SendCommand("rf\r\n"), std::string());
    QVERIFY(comm == nullptr);
    QCOMPARE(messages.count(), 0);
}

void TestQuorixComm::bytesBeforeCommandStartTheAnswer()
{
    Rig rig(answering("OK"));
    QVERIFY(rig.started);
    QVERIFY(rig.comm.Open());
    rig.sim.send("OLD\r\nrest");  // an earlier answer, then an unfinished line
    QVERIFY(QTest::qWaitFor([&] { return rig.comm.lastLine() == "OLD"; }, 5000));
    QCOMPARE(rig.comm.SendCommand("rf\r\n"), std::string("restOK"));
    rig.comm.Close();
}

void TestQuorixComm::openRefusedWhileHeld()
{
    Rig rig(answering("OK"));
    QVERIFY(rig.started);
    Rs232Class other;
    QVERIFY(other.Open());  // COM1 as well
    QVERIFY(!rig.comm.Open());
    other.Close();
    QVERIFY(rig.comm.Open());
    QVERIFY(!rig.comm.Open());  // a press without its click: the open connection stays
    QCOMPARE(rig.comm.SendCommand("rf\r\n"), std::string("OK"));
    rig.comm.Close();
}

void TestQuorixComm::openError_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("portText");
    QTest::newRow("first port") << 0 << QByteArray("COM1");
    QTest::newRow("last port") << 7 << QByteArray("COM8");
    QTest::newRow("no selection") << -1 << QByteArray("COM0");
}

void TestQuorixComm::openError()
{
    QFETCH(int, index);
    QFETCH(QByteArray, portText);
    RecordingMessages messages;
    QuorixComm comm(index, messages);
    comm.ShowOpenError(index);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, std::string("Quorix Error"));
    QCOMPARE(messages.last().text,
             "Couldn't open " + portText.toStdString()
                 + ".\r\n\r\nEither the serial interface is not available or\r\n"
                   "it is used by another Windows application.\r\n");
    QVERIFY(messages.last().icon == MessageIcon::Error);
    QVERIFY(messages.last().buttons == MessageButtons::Ok);
}

QTEST_GUILESS_MAIN(TestQuorixComm)
#include "tst_quorixcomm.moc"
