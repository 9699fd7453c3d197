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
        start(2);
        board("set 0");
        const QList<int> words = wordsUntil(0x0F5);
        ASSERT_EQ(words.last(), 0x0F5) << Words(words);
        ASSERT_TRUE(WaitFor([&] { return records().size() == 2; }, kWaitMs));
        board("clear 0");
        QThread::msleep(500);   // the alarm bar is up
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
    press(kReDetect);
    const QList<int> words = wordsUntil(0x0F0);
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
    press(kDontDetect);
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
    press(kAddTemp);
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

    // The title bar becomes this colour on the screen (within 5 s).
    ::testing::AssertionResult titleBecomes(QRgb colour)
    {
        QRgb seen = 0;
        const bool ok = WaitFor(
            [&] {
                const QString shotFile = file("title.png");
                seen = screen.shot(shotFile) ? QImage(shotFile).pixel(900, 90) & 0xFFFFFF : 0;
                return seen == colour;
            },
            5000);
        if (ok)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "title bar " << std::hex << seen;
    }

};

TEST_F(StopStart, UnderThePassword)
{
    start(1);
    EXPECT_TRUE(titleBecomes(0x1f3f8d));
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
    start(2);
    QThread::msleep(3000);   // the start-up picture has gone
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
