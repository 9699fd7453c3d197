// The link with a client socket in the same process: queueing before a
// client, acknowledgement gating, replacement of a connection, replies that
// are not replies, the heartbeat and the restart of a silent client.

#include "core/wizardpara.h"
#include "network/netframe.h"
#include "network/network.h"
#include "tests/common/testsupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QDir>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <sys/sem.h>
#include <QTcpSocket>

#include <memory>

namespace {

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void WriteSwitch(const QString& value)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "netlink-test");
        db.setDatabaseName("PARAM.db");
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec("create table sysparam(name text primary key, value text)"));
        q.prepare("insert into sysparam values('CntNet', ?)");
        q.addBindValue(value);
        ASSERT_TRUE(q.exec());
        db.close();
    }
    QSqlDatabase::removeDatabase("netlink-test");
}

// A client on the link's port that reads whole frames.
class Client
{
public:
    explicit Client(quint16 port)
    {
        socket.connectToHost("127.0.0.1", port);
        connected = socket.waitForConnected(5000);
    }
    // The next frame, or an empty array when none came within the bound.
    QByteArray frame()
    {
        static const QRegularExpression header(QStringLiteral("^(\\d+):(\\d+):\\.\\.!"));
        QByteArray out;
        WaitFor([&] {
            buffer += socket.readAll();
            const auto m = header.match(QString::fromLatin1(buffer.left(32)));
            if (!m.hasMatch() || buffer.size() < m.capturedLength() + m.captured(2).toInt())
                return false;
            const int n = m.capturedLength() + m.captured(2).toInt();
            out = buffer.left(n);
            buffer.remove(0, n);
            return true;
        }, 10000);
        return out;
    }
    void send(const QByteArray& bytes)
    {
        socket.write(bytes);
        socket.flush();
        socket.waitForBytesWritten(1000);
    }
    QTcpSocket socket;
    QByteArray buffer;
    bool connected = false;
};

class NetLink : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qputenv("MOULDMON_NET_PORT", "0");
        para.netLinkOn = 1;
        gpWPara = &para;
        WriteSwitch("1 0 3 0 0 6 1 10000");
    }
    void TearDown() override
    {
        net.reset();
        gpWPara = nullptr;
        qunsetenv("MOULDMON_NET_PORT");
        qunsetenv("MOULDMON_NET_HEART_MS");
    }
    void start()
    {
        net = std::make_unique<CNT_Net>();
        ASSERT_TRUE(net->isSetUp);
        ASSERT_TRUE(net->isListening());
    }
    // Sends "/reline/" until the link no longer counts the client connected.
    bool relined(Client& client)
    {
        return WaitFor([&] {
            client.send("/reline/\r\n\r\n");
            return WaitFor([&] { return !net->isClientConnected; }, 200);
        }, 10000);
    }
    QByteArray record(int i)
    {
        net->CNT_SendRecord(QDateTime::fromMSecsSinceEpoch(1000 + i), "Primary", QString("line %1").arg(i));
        const QList<QByteArray> queued = net->queuedMessages();
        return queued.isEmpty() ? QByteArray() : queued.last();
    }

    TempWorkDir work;
    CommandRecorder recorder;
    WizardPara para;
    std::unique_ptr<CNT_Net> net;
};

}  // namespace

TEST_F(NetLink, MessagesQueuedBeforeAClientGoOutOldestFirstOneAckAtATime)
{
    start();
    QList<QByteArray> sent;
    for (int i = 0; i < 3; ++i)
        sent << record(i);
    net->CNT_SendCancle();
    sent << net->queuedMessages().value(3);
    EXPECT_TRUE(sent[0].startsWith("1:"));
    EXPECT_TRUE(sent[3].startsWith("20:"));

    Client client(net->serverPort());
    ASSERT_TRUE(client.connected);
    for (const QByteArray& expected : sent) {
        EXPECT_EQ(client.frame(), expected);
        // in flight until acknowledged: still the head of the queue
        EXPECT_EQ(net->queuedMessages().value(0), expected);
        client.send("/back/\r\n\r\n");
        ASSERT_TRUE(WaitFor([&] { return !net->queuedMessages().contains(expected); }));
    }
    EXPECT_TRUE(net->queuedMessages().isEmpty());
}

TEST_F(NetLink, SwitchedOffTypesAreNeverQueued)
{
    WriteFile("cnt_net/whichsend.config", "{\"1\": false, \"20\": 0}");
    start();
    record(0);
    net->CNT_SendCancle();
    ASSERT_EQ(net->queuedMessages().size(), 1);
    EXPECT_TRUE(net->queuedMessages()[0].startsWith("20:"));
}

TEST_F(NetLink, WhichSendTurnsOffOnlyWhatIsFalse)
{
    struct Case {
        QByteArray text;
        QList<int> off;
    };
    const Case cases[] = {
        {"{\"9\": false, \"14\": 0}", {9}},
        {"{\"1\": false, \"2\": null, \"3\": \"false\", \"4\": [], \"21\": false, \"x\": false}", {1}},
        {"[false, false]", {}},
        {"not json", {}},
        {"", {}},
        {QByteArray("{\"5\": false}\0{\"6\": false}", 27), {5}},
    };
    for (const Case& c : cases) {
        const QMap<int, bool> switches = CNT_Net::WhichSend(c.text);
        ASSERT_EQ(switches.size(), 21) << c.text.constData();
        for (int t = 0; t < 21; ++t)
            EXPECT_EQ(switches[t], !c.off.contains(t)) << c.text.constData() << " type " << t;
    }
}

TEST_F(NetLink, ANewConnectionReplacesTheOldAndTheOldOnesEndChangesNothing)
{
    start();
    Client first(net->serverPort());
    ASSERT_TRUE(first.connected);
    const QByteArray a = record(0);
    EXPECT_EQ(first.frame(), a);
    Client second(net->serverPort());
    ASSERT_TRUE(second.connected);
    // the head, unacknowledged on the first connection, is written afresh
    EXPECT_EQ(second.frame(), a);
    first.socket.disconnectFromHost();
    WaitFor([&] { return false; }, 200);
    EXPECT_TRUE(net->isClientConnected);
    second.send("/back/\r\n\r\n");
    const QByteArray b = record(1);
    EXPECT_EQ(second.frame(), b);
}

TEST_F(NetLink, RepliesThatAreNotRepliesLeaveTheLinkWorking)
{
    WriteFile("cnt_net/runNetClient.py", "# stand-in\n");
    start();
    Client client(net->serverPort());
    ASSERT_TRUE(client.connected);
    QString product;
    net->setSessionHandler(14, [&](const QString& body) { product = body; });
    const QByteArray garbage[] = {
        QByteArray(200 * 1024, 'x'),
        QByteArray("\0\0\0/heart/", 10),
        "\xff\xfe\xfd\r\n\r\n",
        "SessionId:14\r\n\r\n" + QByteArray(20000, '[') ,
        "/back/\r\n\r\n",   // nothing in flight: ignored
    };
    for (const QByteArray& g : garbage) {
        client.send(g);
        WaitFor([&] { return false; }, 100);
    }
    // the page gets the body (or its first part); its own parser judges it
    EXPECT_FALSE(product.isEmpty());
    EXPECT_EQ(product.count(QLatin1Char('[')), product.size());
    const QByteArray a = record(0);
    EXPECT_EQ(client.frame(), a);
    ASSERT_TRUE(relined(client));
    EXPECT_TRUE(recorder.lines().contains("python3.4 ./cnt_net/runNetClient.py"));
}

TEST_F(NetLink, WithoutTheClientScriptARestartDoesNothing)
{
    start();
    Client client(net->serverPort());
    ASSERT_TRUE(client.connected);
    ASSERT_TRUE(relined(client));
    EXPECT_EQ(recorder.lines(), QStringList());
}

TEST_F(NetLink, HeartbeatAgeDecidesAtTheTick)
{
    const std::tuple<qint64, qint64, bool> cases[] = {
        {0, 60000, true}, {59000, 60000, true}, {59001, 60000, false}, {120000, 60000, false},
        {2000, 3000, true}, {2001, 3000, false}};
    for (const auto& [age, period, fresh] : cases)
        EXPECT_EQ(CNT_Net::HeartbeatFresh(age, period), fresh) << age << " " << period;
}

TEST_F(NetLink, ASilentClientIsRestartedAtTheTickAndAHeartbeatKeepsItConnected)
{
    qputenv("MOULDMON_NET_HEART_MS", "3000");
    WriteFile("cnt_net/runNetClient.py", "# stand-in\n");
    start();
    Client client(net->serverPort());
    ASSERT_TRUE(client.connected);
    ASSERT_TRUE(WaitFor([&] { return !recorder.lines().isEmpty(); }, 10000));
    EXPECT_EQ(recorder.lines().first(), "python3.4 ./cnt_net/runNetClient.py");
    EXPECT_FALSE(net->isClientConnected);
    // a heartbeat counts the client connected again, and so does the next tick
    client.send("/heart/\r\n\r\n");
    ASSERT_TRUE(WaitFor([&] { return bool(net->isClientConnected); }, 5000));
    const int restarts = recorder.lines().size();
    for (int i = 0; i < 12; ++i) {   // heartbeats across the next tick
        client.send("/heart/\r\n\r\n");
        WaitFor([&] { return false; }, 300);
    }
    EXPECT_EQ(recorder.lines().size(), restarts);
}

TEST_F(NetLink, TheLinkIsOffWithoutItsSwitch)
{
    QFile::remove("PARAM.db");
    WriteSwitch("0 1 3");
    net = std::make_unique<CNT_Net>();
    EXPECT_FALSE(net->isSetUp);
    EXPECT_FALSE(net->isListening());
    net->CNT_SendRecord(QDateTime::currentDateTime(), "Primary", "line");
    EXPECT_TRUE(net->queuedMessages().isEmpty());
}

// The statistics report through the link: the file is the body queued; a
// stored camera key outside 0..7 discards the first report and deletes the
// file, the next report goes out.
TEST_F(NetLink, StatisticsFileIsTheReportAndABadCameraKeyDiscardsOneReport)
{
    QDir().mkpath("cnt_net/data");
    WriteFile("cnt_net/data/Statistics",
              "{\"product_name\":\"a\",\"product_serial\":\"1\",\"products_num\":1,\"start_utc\":5,\"real_produce\":0,"
              "\"utc_watch_total\":0,\"total_stop_alarm_timelen\":0,\"watch_count_total\":0,\"ng_count_total\":0,"
              "\"ng_notification_rate\":0,\"watch_circle\":0,\"camera\":{\"ng\":[{\"camera_id\":\"9\","
              "\"disalarm_timeout_time\":1,\"last_monitor_period\":0,\"now_monitor_period\":0,"
              "\"average_monitor_period\":0,\"ng_monitors\":[]}]}}");
    start();
    EXPECT_EQ(net->statisticsSnapshot().start_utc, 5);
    net->CNT_SendStatistics("null");
    EXPECT_TRUE(net->queuedMessages().isEmpty());
    EXPECT_FALSE(QFile::exists("cnt_net/data/Statistics"));
    net->ChkandAddStaticticsItem(0, 1, 2);
    net->CNT_SendStatistics("./a.jpg");
    ASSERT_EQ(net->queuedMessages().size(), 1);
    QFile file("cnt_net/data/Statistics");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray body = file.readAll();
    EXPECT_TRUE(net->queuedMessages()[0].endsWith(body));
    EXPECT_TRUE(body.contains("\"ng_image\":\t\"./a.jpg\""));
    EXPECT_NE(net->statisticsSnapshot().start_utc, 5);
}

TEST_F(NetLink, WithStatisticsSwitchedOffNoFileIsWrittenAndRegionsStillCount)
{
    WriteFile("cnt_net/whichsend.config", "{\"7\": false}");
    start();
    net->ChkandAddStaticticsItem(1, 0, 0);
    net->ChkandAddStaticticsItem(1, 0, 0);
    net->CNT_SendStatistics("null");
    EXPECT_TRUE(net->queuedMessages().isEmpty());
    EXPECT_FALSE(QFile::exists("cnt_net/data/Statistics"));
    EXPECT_EQ(net->statisticsSnapshot().cameras[1].ng_monitors[0].alarm[0].alarm_result, 2);
}

// A stop opened through the link is written to its file and restored open
// by the next start of the link.
TEST_F(NetLink, ManualStopSurvivesARestartOpen)
{
    start();
    net->runState = [] { return 3; };
    net->CNT_SendManualStop();
    ASSERT_EQ(net->queuedMessages().size(), 1);
    EXPECT_TRUE(net->queuedMessages()[0].startsWith("10:"));
    const CNT_Path_ManualStop stop = net->manualStop;
    EXPECT_TRUE(stop.isOpen());
    net.reset();
    start();
    EXPECT_TRUE(net->manualStop.isOpen());
    EXPECT_EQ(net->manualStop.utc, stop.utc);
    EXPECT_EQ(net->manualStop.stop_check_timeslot, stop.stop_check_timeslot);
}

// Reminders through the link: added ones are stored before the message goes
// out; deleting needs the file, and a time not in it still sends message 13.
TEST_F(NetLink, RemindersAreStoredAndRemoved)
{
    start();
    net->CNT_SendDelRemind(1);
    EXPECT_TRUE(net->queuedMessages().isEmpty());   // no reminder file yet
    CNT_Path_Remind first;
    CNT_Path_Remind second;
    second.utc = 1520307723099;
    net->CNT_SendAddRemind(first);
    net->CNT_SendAddRemind(second);
    net->CNT_SendDelRemind(first.utc);
    net->CNT_SendDelRemind(42);
    const QList<QByteArray> queued = net->queuedMessages();
    ASSERT_EQ(queued.size(), 4);
    EXPECT_TRUE(queued[0].startsWith("12:") && queued[2].startsWith("13:") && queued[3].startsWith("13:"));
    QFile file("cnt_net/data/Remind");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_FALSE(text.contains("1520307723012"));
    EXPECT_TRUE(text.contains("1520307723099"));
    EXPECT_TRUE(text.contains("\"description\":\t\"maintenance_cls\""));
}

// A client that vanishes holding a video lock: the lock is given back once
// (to 1, never above), and the next connection gets the memory-info message
// again, after which frames are written again.
TEST_F(NetLink, AVanishedClientsVideoLockIsReleasedOnceAndMemoryInfoIsResent)
{
    QTemporaryDir keys;
    qputenv("MOULDMON_VIDEO_KEYDIR", QFile::encodeName(keys.path()));
    para.videoType = 2;
    start();
    QImage picture(16, 8, QImage::Format_RGB32);
    picture.fill(Qt::green);
    net->CNT_AddUseMemory(0, 16, 8, [&picture] { return &picture; });
    const int semId = net->shares.all()[0].semId;
    auto memoryInfos = [&] {
        int n = 0;
        for (const QByteArray& m : net->queuedMessages())
            n += m.startsWith("9:");
        return n;
    };
    {
        Client client(net->serverPort());
        ASSERT_TRUE(client.connected);
        ASSERT_TRUE(WaitFor([&] { return net->isClientConnected && memoryInfos() == 1; }));
        EXPECT_TRUE(net->CNT_UpdateMemory(0, picture));
        sembuf take{0, -1, IPC_NOWAIT};
        ASSERT_EQ(semop(semId, &take, 1), 0);
        EXPECT_FALSE(net->CNT_UpdateMemory(0, picture));   // skipped, never waited for
        client.socket.abort();
        ASSERT_TRUE(WaitFor([&] { return !net->isClientConnected; }));
    }
    EXPECT_EQ(semctl(semId, 0, GETVAL), 1);
    EXPECT_FALSE(net->isMemoryInfoSent);
    Client again(net->serverPort());
    ASSERT_TRUE(again.connected);
    ASSERT_TRUE(WaitFor([&] { return net->isClientConnected && net->isMemoryInfoSent; }));
    EXPECT_TRUE(net->CNT_UpdateMemory(0, picture));
    EXPECT_EQ(semctl(semId, 0, GETVAL), 1);
    net->CNT_FreeShareMemory();
    qunsetenv("MOULDMON_VIDEO_KEYDIR");
}
