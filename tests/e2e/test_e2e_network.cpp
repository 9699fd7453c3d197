// The network link end to end: the real program with the link switched on
// and the stand-in network client (tools/netclient-fake) on loopback, on a
// test port. The client records every frame it gets; the tests read that
// record. Every wait is bounded.

#include "tests/e2e/e2efixture.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QThread>

using namespace e2e;

namespace {

const char* const kPort = "18890";
const char* const kReady1 = "The system is ready, there is 1 cameras";

struct Received {
    int type = -1;
    QString body;
    int copy = 0;   // how many times the client got this very frame so far
};

// The stand-in client, started with extra options; its record is read back.
class FakeClient
{
public:
    FakeClient(const QString& log, const QStringList& options) : log(log)
    {
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start("python3", QStringList{SourceDir() + "/tools/netclient-fake/netclient_fake.py", "--port",
                                             kPort, "--log", log, "--connect-wait", "30"} + options);
        process.waitForStarted(5000);
    }
    ~FakeClient()
    {
        process.terminate();
        if (!process.waitForFinished(3000)) {
            process.kill();
            process.waitForFinished(3000);
        }
    }
    QList<Received> frames() const
    {
        QList<Received> out;
        for (const QByteArray& line : ReadText(log).toUtf8().split('\n')) {
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            if (o.contains("type"))
                out.append(Received{o["type"].toInt(), o["body"].toString(), o["copy"].toInt()});
        }
        return out;
    }
    QStringList events() const
    {
        QStringList out;
        for (const QByteArray& line : ReadText(log).toUtf8().split('\n')) {
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            if (o.contains("event"))
                out << o["event"].toString();
        }
        return out;
    }
    QList<Received> ofType(int type) const
    {
        QList<Received> out;
        for (const Received& f : frames()) {
            if (f.type == type)
                out << f;
        }
        return out;
    }
    // Waits until the client got n frames of the type.
    bool waitType(int type, int n, int ms = kWaitMs) const
    {
        return WaitFor([&] { return ofType(type).size() >= n; }, ms);
    }

    QString log;
    QProcess process;
};

// Form fields of a body, in order (the last value keeps any "&").
QStringList FormKeys(const QString& body)
{
    QStringList keys;
    for (const QString& pair : body.split('&'))
        keys << pair.section('=', 0, 0);
    return keys;
}

QString FormValue(const QString& body, const QString& key)
{
    for (const QString& pair : body.split('&')) {
        if (pair.section('=', 0, 0) == key)
            return pair.section('=', 1);
    }
    return QString();
}

class Network : public EndToEnd
{
protected:
    Network()
    {
        qputenv("MOULDMON_NET_PORT", kPort);
        qputenv("MOULDMON_VIDEO_KEYDIR", QFile::encodeName(work.file(".")));
        para.netLinkOn = 1;
    }
    ~Network() override
    {
        qunsetenv("MOULDMON_NET_PORT");
        qunsetenv("MOULDMON_NET_HEART_MS");
        qunsetenv("MOULDMON_VIDEO_KEYDIR");
    }
    std::unique_ptr<FakeClient> client(const QStringList& options = {})
    {
        return std::make_unique<FakeClient>(file("netclient.log"), options);
    }
    // Descriptions of the record messages the client got, in order.
    static QStringList Descriptions(const QList<Received>& records)
    {
        QStringList out;
        for (const Received& f : records)
            out << FormValue(f.body, "description");
        return out;
    }
    // An NG of the mould step raised, then released by a good re-check when
    // the safety door closes.
    void alarmRaisedAndReleased()
    {
        setFrame(0, kMouldPatch);
        board("set 0");
        wordsUntil(0x0F5);
        ASSERT_TRUE(WaitFor([&] { return records().size() == 2; }, kWaitMs));
        board("clear 0");
        board("clear 1");   // door opened
        wordsUntil(0x0F1);
        setFrame(0, kNoPatch);
        board("set 1");
        wordsUntil(0x0F0);
    }
    // One mould cycle: an NG one raises the alarm, which a good re-check
    // releases when the safety door closes.
    void cycle(bool ng)
    {
        if (!ng) {
            board("set 0");
            wordsUntil(idle());
            board("clear 0");
            WaitFor([] { return false; }, 500);   // the closed mould is seen
            return;
        }
        setFrame(0, kMouldPatch);
        board("set 0");
        wordsUntil(0x0F5);
        board("clear 0");
        board("clear 1");
        wordsUntil(0x0F1);
        setFrame(0, kNoPatch);
        board("set 1");
        wordsUntil(0x0F0);
    }
};

QJsonObject Json(const Received& f)
{
    return QJsonDocument::fromJson(f.body.toUtf8()).object();
}

// The NG regions of a per-cycle result: "camera/step/region".
QStringList FailedRegions(const QJsonObject& result)
{
    QStringList out;
    for (const QJsonValue& cam : result["array"].toArray())
        for (const QJsonValue& step : cam.toObject()["detect_array"].toArray())
            for (const QJsonValue& roi : step.toObject()["roi_array"].toArray())
                if (roi.toObject()["is_alarm"].toInt() == 0)
                    out << QStringLiteral("%1/%2/%3").arg(cam.toObject()["camera_id"].toInt())
                               .arg(step.toObject()["detect_id"].toInt()).arg(roi.toObject()["roi_id"].toInt());
    return out;
}

// "camera/step/region" -> alarm_result of a statistics report.
QMap<QString, int> RegionCounts(const QJsonObject& report)
{
    QMap<QString, int> out;
    for (const QJsonValue& cam : report["camera"].toObject()["ng"].toArray())
        for (const QJsonValue& step : cam.toObject()["ng_monitors"].toArray())
            for (const QJsonValue& a : step.toObject()["alarm"].toArray())
                out.insert(QStringLiteral("%1/%2/%3").arg(cam.toObject()["camera_id"].toString())
                               .arg(step.toObject()["time"].toInt()).arg(a.toObject()["alarm_area_num"].toInt()),
                           a.toObject()["alarm_result"].toInt());
    return out;
}

}  // namespace

// The client connects before or after the program is up: the ready line
// queued at start reaches it as message 1 with the host name, the user
// level and the time; no message of the types never sent.
TEST_F(Network, HelloFlowTheReadyLineReachesTheClient)
{
    auto fake = client();
    start();
    ASSERT_TRUE(fake->waitType(1, 1));
    const Received ready = fake->ofType(1).first();
    EXPECT_EQ(FormKeys(ready.body), (QStringList{"device_id", "operater", "utc", "description"}));
    EXPECT_EQ(FormValue(ready.body, "device_id"), QSysInfo::machineHostName());
    EXPECT_EQ(FormValue(ready.body, "description"), kReady1);
    bool ok = false;
    EXPECT_GT(FormValue(ready.body, "utc").toLongLong(&ok), 1600000000000LL);
    EXPECT_TRUE(ok);
    for (const Received& f : fake->frames())
        EXPECT_FALSE(f.type == 0 || f.type == 3 || f.type == 4) << f.type;
}

// A good cycle reports its result picture (message 5, a path that exists);
// an alarm and its release report the record line and message 20 after it,
// record lines in the order of the operation record, each once.
TEST_F(Network, ACyclesResultAndRecordMessagesInOrder)
{
    auto fake = client();
    start();
    ASSERT_TRUE(fake->waitType(1, 1));
    board("set 0");
    wordsUntil(idle());
    board("clear 0");
    ASSERT_TRUE(fake->waitType(5, 1));
    const QString picture = fake->ofType(5).first().body;
    EXPECT_TRUE(picture.startsWith('/') && picture.endsWith(".jpg")) << picture.toStdString();
    EXPECT_TRUE(QFile::exists(picture)) << picture.toStdString();

    alarmRaisedAndReleased();

    ASSERT_TRUE(fake->waitType(20, 1));
    ASSERT_TRUE(fake->waitType(1, 2));
    EXPECT_EQ(Descriptions(fake->ofType(1)), records());
    QList<int> order;
    for (const Received& f : fake->frames()) {
        if (f.type == 1 || f.type == 20)
            order << f.type;
        EXPECT_EQ(f.copy, 1) << "type " << f.type << ": " << f.body.toStdString();
    }
    EXPECT_EQ(order, (QList<int>{1, 1, 20}));
    const QJsonObject release = QJsonDocument::fromJson(fake->ofType(20).first().body.toUtf8()).object();
    EXPECT_EQ(release.keys().size(), 5);
    EXPECT_EQ(release["device_id"].toString(), QSysInfo::machineHostName());
    EXPECT_TRUE(release["bind_utc"].isDouble());
    EXPECT_TRUE(release["method"].isString());
}

// The client withholds its acknowledgement of the first frame: that frame
// comes exactly once more, after the ack wait, and then the rest once each.
TEST_F(Network, ADroppedAckCausesExactlyOneResend)
{
    auto fake = client({"--withhold", "1"});
    start();
    ASSERT_TRUE(WaitFor([&] { return fake->frames().size() >= 2; }, kWaitMs));
    board("set 0");
    wordsUntil(idle());
    ASSERT_TRUE(fake->waitType(5, 1));
    WaitFor([] { return false; }, 1000);
    const QList<Received> frames = fake->frames();
    int again = 0;
    for (const Received& f : frames) {
        EXPECT_LE(f.copy, 2) << f.body.toStdString();
        if (f.copy == 2) {
            ++again;
            EXPECT_EQ(f.type, frames[0].type);
            EXPECT_EQ(f.body, frames[0].body);
        }
    }
    EXPECT_EQ(again, 1);
}

// A client that never sends a heartbeat is restarted at the heart tick
// (recorded, never run), and again at every tick while it stays silent.
TEST_F(Network, ASilentClientIsRestartedAfterTheHeartbeatLimit)
{
    qputenv("MOULDMON_NET_HEART_MS", "3000");
    QDir().mkpath(file("cnt_net"));
    writeFile("cnt_net/runNetClient.py", "# the network client\n");
    auto fake = client({"--heart", "0"});
    start();
    const QString restart = "python3.4 ./cnt_net/runNetClient.py";
    // once at start, then at the ticks
    ASSERT_TRUE(WaitFor([&] { return program->shellLines().size() >= 3; }, kWaitMs));
    QStringList lines = program->shellLines();
    lines.removeDuplicates();
    EXPECT_EQ(lines, QStringList{restart});
    EXPECT_TRUE(program->terminate());
    program.reset();
}

// The client leaves while records are made; they wait in the queue and
// reach it after it comes back, oldest first, each once.
TEST_F(Network, MessagesQueuedWhileTheClientIsAwayArriveOnceAfterItReturns)
{
    const QString back = file("client-may-return");
    auto fake = client({"--reconnect-after", "1", "--return-when", back});
    start();
    ASSERT_TRUE(WaitFor([&] { return fake->events().contains("leaving"); }, kWaitMs));
    alarmRaisedAndReleased();
    writeFile("client-may-return", "");
    ASSERT_TRUE(fake->waitType(20, 1));
    ASSERT_TRUE(fake->waitType(1, 2));
    EXPECT_EQ(Descriptions(fake->ofType(1)), (QStringList{kReady1, "Camera 1Alarm"}));
    EXPECT_EQ(fake->events().count("connected"), 2);
    for (const Received& f : fake->frames())
        EXPECT_EQ(f.copy, 1) << "type " << f.type;
    // the picture of the NG was made while no client was connected: not sent
    EXPECT_TRUE(fake->ofType(5).isEmpty());
}

// Replies that are not replies (200 KB without a blank line, NUL bytes,
// invalid UTF-8, two replies in one write, a deeply nested or broken body)
// change nothing: the link goes on and the program ends cleanly.
TEST_F(Network, MalformedRepliesLeaveTheLinkAlive)
{
    auto fake = client({"--garbage", "big,nul,utf8,double,nested,notjson"});
    start();
    ASSERT_TRUE(fake->waitType(1, 1));
    board("set 0");
    wordsUntil(idle());
    ASSERT_TRUE(fake->waitType(5, 1));
    EXPECT_EQ(fake->events().count("connected"), 1);
}

// Ten mould cycles, the 4th and the 8th NG in region 1 of the mould step
// (step 2): each cycle sends one per-cycle result (from its first decision,
// the product step) with the camera's counters so far; the statistics
// report after the last cycle counts that region twice, ten cycles and two
// NG. After a restart the record is kept: the next report has the same
// start, alarm time and region count.
TEST_F(Network, TenCyclesReportResultsAndStatisticsThatSurviveARestart)
{
    auto fake = client();
    start();
    ASSERT_TRUE(fake->waitType(1, 1));
    for (int i = 0; i < 10; ++i) {
        const int before = fake->ofType(18).size();
        cycle(i == 3 || i == 7);
        ASSERT_TRUE(fake->waitType(18, before + 1)) << "cycle " << i;
    }
    const QMap<QString, int> expected{{"1/2/1", 2}};
    ASSERT_TRUE(WaitFor(
        [&] {
            const QJsonObject last = Json(fake->ofType(7).last());
            return last["watch_count_total"].toInt() == 10 && RegionCounts(last) == expected;
        },
        kWaitMs));
    const QList<Received> results = fake->ofType(18);
    ASSERT_EQ(results.size(), 10);
    for (int i = 0; i < 10; ++i) {
        const QJsonObject r = Json(results[i]);
        EXPECT_EQ(r["detect_method"].toString(), QString::fromUtf8("开模到位"));
        const QJsonObject cam = r["array"].toArray().first().toObject();
        EXPECT_EQ(cam["camera_id"].toInt(), 1);
        EXPECT_EQ(cam["device_all"].toInt(), i + 1);
        EXPECT_EQ(cam["device_ng"].toInt(), i < 4 ? 0 : i < 8 ? 1 : 2);
        EXPECT_EQ(FailedRegions(r), QStringList());
    }
    const QJsonObject last = Json(fake->ofType(7).last());
    EXPECT_EQ(last["ng_count_total"].toInt(), 2);
    EXPECT_EQ(last["ng_notification_rate"].toInt(), 2000);
    EXPECT_GT(last["total_stop_alarm_timelen"].toDouble(), 0);
    EXPECT_TRUE(QFile::exists(file("cnt_net/data/Statistics")));

    EXPECT_TRUE(program->terminate());
    program.reset();
    fake.reset();
    FakeClient again(file("netclient-again.log"), {});
    const int lines = records().size();
    program = std::make_unique<Program>(work.path(), file("simcams"), io.device(), QStringList(), QString(), display);
    wordsUntil(idle());   // the opening of the board
    ASSERT_TRUE(WaitFor([&] { return records().size() > lines; }, kWaitMs));
    ASSERT_TRUE(again.waitType(1, 1));
    QThread::msleep(kFrameInUseMs);
    cycle(false);
    ASSERT_TRUE(again.waitType(7, 1));
    const QJsonObject restored = Json(again.ofType(7).first());
    EXPECT_EQ(restored["start_utc"].toDouble(), last["start_utc"].toDouble());
    EXPECT_EQ(RegionCounts(restored), expected);
    EXPECT_EQ(restored["total_stop_alarm_timelen"].toDouble(), last["total_stop_alarm_timelen"].toDouble());
}

// Live video of the camera: the client gets the memory-info message, reads
// the share under its lock and finds a whole I420 frame of the camera's
// size carrying the green time stamp in its bottom rows; the frames change.
TEST_F(Network, TheClientReadsLiveVideoOfTheCamera)
{
    para.videoType = 2;
    para.videoFps = 3;
    WizardPara::SetText(para.useName, QStringLiteral("lo"));
    auto fake = client({"--video", "5", "--video-gap", "0.3"});
    start();
    ASSERT_TRUE(fake->waitType(9, 1));
    const QJsonArray shares = Json(fake->ofType(9).first())["memoryinfo"].toArray();
    ASSERT_EQ(shares.size(), 1);
    const QJsonObject share = shares.first().toObject();
    EXPECT_EQ(share["cameraid"].toInt(), 0);
    EXPECT_EQ(share["width"].toInt(), frameSize.width());
    EXPECT_EQ(share["height"].toInt(), frameSize.height());
    EXPECT_EQ(share["size"].toInt(), frameSize.width() * frameSize.height() * 3 / 2);
    EXPECT_EQ(share["fps"].toInt(), 20);
    QList<QJsonObject> reads;
    ASSERT_TRUE(WaitFor(
        [&] {
            reads.clear();
            for (const QByteArray& line : ReadText(file("netclient.log")).toUtf8().split('\n')) {
                const QJsonObject o = QJsonDocument::fromJson(line).object();
                if (o["event"].toString() == "video")
                    reads << o;
            }
            return reads.size() >= 5;
        },
        kWaitMs));
    QSet<qint64> digests;
    for (const QJsonObject& r : reads) {
        EXPECT_FALSE(r.contains("problem")) << r["problem"].toString().toStdString();
        EXPECT_TRUE(r["size_ok"].toBool());
        EXPECT_TRUE(r["layout_ok"].toBool());
        digests << qint64(r["digest"].toDouble());
    }
    EXPECT_GT(reads.last()["stamp_green"].toInt(), 0);
    EXPECT_GT(digests.size(), 1);
}

// Every camera's share shows its own frame, not only the selected view's: a
// white patch put in each camera's frame shows in each share (a share left
// black reads 16 at most).
TEST_F(Network, EveryCamerasLiveVideoShowsItsFrame)
{
    para.videoType = 2;
    para.videoFps = 3;
    WizardPara::SetText(para.useName, QStringLiteral("lo"));
    auto fake = client({"--video", "12", "--video-gap", "0.4"});
    start(2);
    ASSERT_TRUE(fake->waitType(9, 1));
    ASSERT_EQ(Json(fake->ofType(9).first())["memoryinfo"].toArray().size(), 2);
    setFrame(0, kProductPatch);
    setFrame(1, kProductPatch);
    const int before = ReadText(file("netclient.log")).count(QStringLiteral("\"video\""));
    QMap<int, int> brightest;   // camera -> brightest luma of its last read
    ASSERT_TRUE(WaitFor(
        [&] {
            const QList<QByteArray> lines = ReadText(file("netclient.log")).toUtf8().split('\n');
            int count = 0;
            for (const QByteArray& line : lines) {
                const QJsonObject o = QJsonDocument::fromJson(line).object();
                if (o["event"].toString() != "video" || o.contains("problem"))
                    continue;
                if (++count > before + 1)   // read once the patches were surely in use
                    brightest[o["camera"].toInt()] = o["luma_max_top"].toInt();
            }
            return brightest.size() == 2;
        },
        kWaitMs));
    EXPECT_GT(brightest[0], 200);
    EXPECT_GT(brightest[1], 200);
}
