// The operator at the touch screen during an alarm and at the option bar:
// the real program on an X screen of its own, pressed with real pointer
// events where the operator would press, then the effect on the wire, in
// RECORD.db, count.txt, the template files and the result pictures.
// Line words: 0x0F0 nothing on, +1 clamp inhibit, +2 ejector inhibit, +4 alarm.
// Screenshots go to $MOULDMON_SHOTS when it names a folder.

#include "tests/e2e/e2efixture.h"
#include "tests/e2e/operatorscreen.h"

#include "core/texttable.h"
#include "inspection/cammersingleton.h"
#include "inspection/regionjudge.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>

using namespace e2e;

namespace {

class Operator : public OperatorScreen
{
protected:
    Operator()
        : OperatorScreen(xscreen())
    {
    }

    // One X screen for the whole binary, made once the application exists.
    static XScreen& xscreen()
    {
        static XScreen shared(61);
        return shared;
    }

    // Picks item `item` of the choice in row `row` of the side bar.
    void choose(int row, int item, int items)
    {
        press(row);
        const QRect popup = screen.waitPopup(program->process.processId(), kDialogMs);
        ASSERT_TRUE(popup.isValid()) << "no list of the choice";
        shoot("choice");
        const int itemHeight = popup.height() / items;
        ASSERT_TRUE(screen.click(popup.center().x(), popup.top() + item * itemHeight + itemHeight / 2));
        QThread::msleep(500);
    }

    // The mould of camera c (from 0) fails: the alarm is raised and held.
    void mouldAlarm(int camera)
    {
        firstFrame[camera] = kMouldPatch;
        startShown(2);
        board("set 0");
        const QList<int> words = wordsUntil(0x0F5);
        ASSERT_EQ(words.last(), 0x0F5) << Words(words);
        ASSERT_TRUE(WaitFor([&] { return records().size() == 2; }, kWaitMs));
        board("clear 0");
        // The alarm bar is up: its source choice (grey) where the option bar has a green button.
        ASSERT_TRUE(colourBecomes(kBarX + 70, barY(kSource), 0xd3d3d3, kWaitMs));
        QThread::msleep(300);
        shoot("alarm");
    }
};


}  // namespace

// "Re-detected" on a mould NG: still NG keeps the alarm; once the part is
// gone it ends the alarm and detection goes on.
TEST_F(Operator, MouldNgClearedByReDetect)
{
    mouldAlarm(1);
    press(kReDetect);
    EXPECT_EQ(wordsWithin(1500), QList<int>()) << "still NG: the interlock stays";
    EXPECT_EQ(records().size(), 2);
    setFrame(1, kNoPatch);
    QList<int> words;
    for (int i = 0; i < 3 && words.value(words.size() - 1) != 0x0F0; ++i) {
        press(kReDetect);   // again when the busy screen lost the press
        words = wordsUntil(0x0F0, 1, 5000);
    }
    EXPECT_EQ(words.last(), 0x0F0) << Words(words);
    shoot("cleared");
    EXPECT_TRUE(countsBecome("1 0 1 1 0 0 0 0 0 0 0 0 0 0 0 0 "));
    EXPECT_TRUE(waitPictures(1, 1, true, 2));
    EXPECT_EQ(records().size(), 2);
}

// "Don't Detect" with every view shown: the question, then this mould is
// skipped on all cameras, the alarm ends and the line is recorded.
TEST_F(Operator, DontDetectForAllCameras)
{
    mouldAlarm(1);
    pressForDialog(kDontDetect);
    answer(true);
    const QList<int> words = wordsUntil(0x0F0);
    EXPECT_EQ(words.last(), 0x0F0) << Words(words);
    EXPECT_TRUE(WaitFor([&] { return records().size() == 3; }, kWaitMs));
    EXPECT_EQ(records().value(2), "All cameras do not detect this mold");
    EXPECT_TRUE(waitPictures(1, 1, true, 1));
    EXPECT_TRUE(PicturesNamed(pictures(1, 1, true), "1_"));
}

// A mould region judged against the templates (camera 2): the black frame is
// its template, the patch a difference. "Add As Temp" on camera 2 stores the
// live picture as a template and ends the alarm; the next cycle with the
// same picture is good.
class AddAsTemplate : public Operator
{
protected:
    AddAsTemplate() { para.perRoiParams = 1; }

    void beforeProgram() override
    {
        ASSERT_TRUE(EditRegions(file("PARAM.db"), 1, [](CammerSingleton* record) {
            record->func[1][0] = kFuncDefect;
            record->minWH[1][0] = 0;
            record->sensitivity[1][0] = 60;
            record->area[1][0] = 200;
        }));
        QDir().mkpath(file("cammer22"));
        ASSERT_TRUE(Frame(kNoPatch).save(file("cammer22/template0.bmp")));
    }
};

TEST_F(AddAsTemplate, GoodPictureStopsAlarming)
{
    mouldAlarm(1);
    choose(kCamera, 1, 3);   // "Camera 2" alone
    shoot("camera-2");
    pressForDialog(kAddTemp);
    answer(true);
    const QList<int> words = wordsUntil(0x0F0);
    EXPECT_EQ(words.last(), 0x0F0) << Words(words);
    EXPECT_TRUE(QFile::exists(file("cammer22/template1.bmp")));
    EXPECT_TRUE(WaitFor([&] { return records().size() == 3; }, kWaitMs));
    EXPECT_EQ(records().value(2), "Camerar 2 added a template");

    board("set 0");   // the next cycle, the same picture
    const QList<int> next = wordsUntil(0x0F0);
    EXPECT_EQ(next.last(), 0x0F0) << Words(next);
    EXPECT_FALSE(next.contains(0x0F5)) << Words(next);
    EXPECT_EQ(records().size(), 3);
    // Camera 2 is left out of the first cycle once its picture became a template.
    EXPECT_TRUE(countsBecome("2 0 2 1 0 0 0 0 0 0 0 0 0 0 0 0 "));
}

// Stop Detection under the password and the question: red title bar, the
// clamp held while stopped, no inspection; Start Detection without a
// question: blue title bar, the clamp free, cycles judged again.
class StopStart : public Operator
{
protected:
    StopStart()
    {
        para.isPswUsed = 1;
        qstrncpy(para.password, "2468", sizeof para.password);
        para.noClampWhenStopped = 1;
    }

};

TEST_F(StopStart, UnderThePassword)
{
    startShown(1);
    press(kStopStart);
    const QRect box = screen.waitDialog(program->process.processId(), kDialogMs);
    ASSERT_TRUE(box.isValid()) << "no password box";
    enterPassword(box, "2468");
    answer(true);   // "Be sure to stop the detection?"
    QList<int> words = wordsUntil(0x0F1);
    EXPECT_EQ(words.last(), 0x0F1) << Words(words);
    EXPECT_TRUE(WaitFor([&] { return records().size() == 2; }, kWaitMs));
    EXPECT_EQ(records().value(1), "Stop the detection manually ");
    EXPECT_TRUE(titleBecomes(0xee2329));
    shoot("stopped");
    board("set 0");   // the mould opens: nothing is judged while stopped
    EXPECT_EQ(wordsWithin(2000), QList<int>());
    board("clear 0");

    press(kStopStart);   // now "Start Detection", no question
    words = wordsUntil(0x0F0);
    EXPECT_EQ(words.last(), 0x0F0) << Words(words);
    EXPECT_TRUE(WaitFor([&] { return records().size() == 3; }, kWaitMs));
    EXPECT_EQ(records().value(2), "Start the detection manually ");
    EXPECT_TRUE(titleBecomes(0x1f3f8d));
    shoot("started");
}

// With the network link on and its client connected, Stop Detection and
// Start Detection are reported: a stop message that opens the stop
// ("hh:mm---:--", state 1) and one that closes it ("hh:mm-hh:mm", state 0),
// each followed by the statistics report. The total of 25 minutes kept from
// an earlier stop is carried, grows by the whole minutes of this short stop
// (none), and shortens the monitoring time of the reports.
class StopStartReported : public StopStart
{
protected:
    StopStartReported()
    {
        para.netLinkOn = 1;
        qputenv("MOULDMON_NET_PORT", "18892");
        qputenv("MOULDMON_VIDEO_KEYDIR", QFile::encodeName(work.file(".")));
    }
    ~StopStartReported() override
    {
        client.terminate();
        client.waitForFinished(3000);
        qunsetenv("MOULDMON_NET_PORT");
        qunsetenv("MOULDMON_VIDEO_KEYDIR");
    }
    void beforeProgram() override
    {
        QDir().mkpath(file("cnt_net/data"));
        writeFile("cnt_net/data/ManualStop",
                  "{\"device_id\":\"h\",\"state\":0,\"utc\":1700000000000,\"stop_check_timeslot\":\"07:00-07:25\","
                  "\"stop_check_timelen\":25,\"timeout_time\":0,\"operator_id\":\"li\","
                  "\"disalarm_operator_id\":\"li\",\"stop_check_reason\":\"--\"}");
        client.setProcessChannelMode(QProcess::ForwardedChannels);
        client.start("python3", {SourceDir() + "/tools/netclient-fake/netclient_fake.py", "--port", "18892", "--log",
                                 file("netclient.log"), "--connect-wait", "30"});
    }
    // The bodies of the messages of a type the client got, in order.
    QList<QJsonObject> received(int type) const
    {
        QList<QJsonObject> out;
        for (const QByteArray& line : ReadText(file("netclient.log")).toUtf8().split('\n')) {
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            if (o["type"].toInt() == type)
                out << o["json"].toObject();
        }
        return out;
    }
    QProcess client;
};

TEST_F(StopStartReported, StopAndStartReachTheClientWithTheirMinutes)
{
    start(1);
    ASSERT_TRUE(titleBecomes(0x1f3f8d));
    press(kStopStart);
    const QRect box = screen.waitDialog(program->process.processId(), kDialogMs);
    ASSERT_TRUE(box.isValid()) << "no password box";
    enterPassword(box, "2468");
    answer(true);
    ASSERT_TRUE(WaitFor([&] { return received(10).size() == 1 && received(7).size() >= 1; }, kWaitMs));
    const QJsonObject stop = received(10).first();
    EXPECT_EQ(stop["state"].toInt(), 1);
    EXPECT_TRUE(QRegExp("\\d\\d:\\d\\d---:--").exactMatch(stop["stop_check_timeslot"].toString()))
        << stop["stop_check_timeslot"].toString().toStdString();
    EXPECT_EQ(stop["stop_check_timelen"].toInt(), 25);
    const QJsonObject report = received(7).last();
    EXPECT_EQ(report["state"].toInt(), 1);
    EXPECT_EQ(report["utc_watch_total"].toDouble(),
              report["utc"].toDouble() - report["start_utc"].toDouble() - 25 * 60000.0);

    press(kStopStart);
    ASSERT_TRUE(WaitFor([&] { return received(10).size() == 2; }, kWaitMs));
    const QJsonObject started = received(10).last();
    EXPECT_EQ(started["state"].toInt(), 0);
    const QString slot = started["stop_check_timeslot"].toString();
    EXPECT_TRUE(QRegExp("\\d\\d:\\d\\d-\\d\\d:\\d\\d").exactMatch(slot)) << slot.toStdString();
    EXPECT_EQ(slot.left(5), stop["stop_check_timeslot"].toString().left(5));
    EXPECT_EQ(started["stop_check_timelen"].toInt(), 25);
    EXPECT_EQ(started["utc"].toDouble(), stop["utc"].toDouble());
    ASSERT_TRUE(WaitFor([&] { return received(7).size() >= 2 && received(7).last()["state"].toInt() == 0; },
                        kWaitMs));
    EXPECT_TRUE(ReadText(file("cnt_net/data/ManualStop")).contains("\"stop_check_timelen\":\t25"));
}

// Screenshots for the eye, in each language, when $MOULDMON_SHOTS names a
// folder: the option bar and the button column with both snapshot buttons,
// the alarm bar with the views in the alarm, one view zoomed with the pad.
class Screens : public Operator, public ::testing::WithParamInterface<int>
{
protected:
    Screens()
    {
        para.showSnapshot = 1;
        para.productDetectOn = 1;
    }
};

TEST_P(Screens, ForTheEye)
{
    if (qEnvironmentVariable("MOULDMON_SHOTS").isEmpty())
        GTEST_SKIP() << "screenshots only when MOULDMON_SHOTS names a folder";
    gLan = GetParam();
    firstFrame[1] = kMouldPatch;
    startShown(2);
    shoot("option-bar");
    board("set 0");
    ASSERT_EQ(wordsUntil(0x0F5).last(), 0x0F5);
    board("clear 0");
    QThread::msleep(700);
    shoot("alarm");
    choose(kCamera, 1, 3);
    // The zoom-in button of the view shown alone: the first press shows the
    // pad and zoom-out, the next ones zoom.
    const QPoint zoomIn(1725 - 60 + 27, 98 + 982 - 140 + 27);
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(screen.click(zoomIn.x(), zoomIn.y()));
        QThread::msleep(300);
        shoot(QStringLiteral("zoom%1").arg(i));
    }
    QThread::msleep(500);
    shoot("zoomed");
}

INSTANTIATE_TEST_SUITE_P(Languages, Screens, ::testing::Values(0, 1, 2));

namespace {
// Pixels of the camera area (left of the pad, under the view's corner box)
// that differ strongly between two screenshots.
int changedPixels(const QImage& a, const QImage& b)
{
    int changed = 0;
    for (int y = 140; y < std::min(a.height(), b.height()); ++y) {
        for (int x = 0; x < 1400; ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > 64 || std::abs(qGreen(p) - qGreen(q)) > 64
                || std::abs(qBlue(p) - qBlue(q)) > 64)
                ++changed;
        }
    }
    return changed;
}
}  // namespace

// One camera: the first press of the zoom-in button shows the pad, the next
// zooms the view; the pad's fit button brings it back.
TEST_F(Operator, ZoomAndFitTheView)
{
    para.realTimeRoiDisplay = 1;   // the regions drawn on the live picture
    startShown(1);
    const QString before = file("before.png"), zoomed = file("zoomed.png"), fitted = file("fitted.png");
    ASSERT_TRUE(screen.shot(before));
    const QPoint zoomIn(1725 - 60 + 27, 98 + 982 - 140 + 27);
    const QPoint fit(1725 - 165 + 82, 98 + 982 - 300 + 82);
    ASSERT_TRUE(screen.click(zoomIn.x(), zoomIn.y()));
    QThread::msleep(300);
    ASSERT_TRUE(screen.click(zoomIn.x(), zoomIn.y()));
    QThread::msleep(500);
    ASSERT_TRUE(screen.shot(zoomed));
    shoot("zoomed");
    EXPECT_GT(changedPixels(QImage(before), QImage(zoomed)), 300) << "the view is zoomed";
    ASSERT_TRUE(screen.click(fit.x(), fit.y()));
    QThread::msleep(500);
    ASSERT_TRUE(screen.shot(fitted));
    EXPECT_LT(changedPixels(QImage(before), QImage(fitted)), 100) << "fitted back";
}
