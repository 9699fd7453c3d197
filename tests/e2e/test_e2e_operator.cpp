// The operator at the touch screen during an alarm and at the option bar:
// the real program on an X screen of its own, pressed with real pointer
// events where the operator would press, then the effect on the wire, in
// RECORD.db, count.txt, the template files and the result pictures.
// Line words: 0x0F0 nothing on, +1 clamp inhibit, +2 ejector inhibit, +4 alarm.
// Screenshots go to $MOULDMON_SHOTS when it names a folder.

#include "tests/e2e/e2efixture.h"
#include "tests/e2e/xscreen.h"

#include <QDir>
#include <QFile>
#include <QThread>

using namespace e2e;

namespace {

// Places on the 1920x1080 screen: the side bar column (175 px wide, 10 px
// from the right edge, under the 98 px title bar), 112 px buttons 10 px apart.
constexpr int kBarX = 1920 - 10 - 175 / 2;
int barY(int row)
{
    return 98 + 10 + row * 122 + 56;
}
// Rows of the option bar and of the alarm bar.
enum OptionRow { kMultiScreen = 0, kStopStart = 1, kSettings = 2, kResample = 3, kArea = 4 };
enum AlarmRow { kLiveTemp = 0, kSource = 1, kCamera = 2, kDontDetect = 3, kAddTemp = 4, kReDetect = 5 };
constexpr int kDialogMs = 10000;

class Operator : public EndToEnd
{
protected:
    Operator() { display = xscreen().display(); }

    void SetUp() override { ASSERT_TRUE(screen.up()) << "no X screen (Xvfb) on " << display.toStdString(); }

    // One X screen for the whole binary, made once the application exists.
    static XScreen& xscreen()
    {
        static XScreen shared(61);
        return shared;
    }

    void press(int row) { ASSERT_TRUE(screen.click(kBarX, barY(row))); }

    // Answers the question box that the last press opened: YES (left) or NO.
    void answer(bool yes)
    {
        const QRect box = screen.waitDialog(program->process.processId(), kDialogMs);
        ASSERT_TRUE(box.isValid()) << "no question box";
        shoot("question");
        // YES and NO sit side by side in the lower part of the box.
        const QPoint button = box.topLeft() + QPoint(box.width() * (yes ? 44 : 78) / 100, box.height() * 72 / 100);
        ASSERT_TRUE(screen.click(button.x(), button.y()));
        ASSERT_TRUE(screen.waitNoDialog(program->process.processId(), kDialogMs));
    }

    void shoot(const QString& name)
    {
        const QString folder = qEnvironmentVariable("MOULDMON_SHOTS");
        if (folder.isEmpty())
            return;
        QDir().mkpath(folder);
        const QString test = QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name());
        screen.shot(QStringLiteral("%1/%2-%3.png").arg(folder, test, name));
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

    XScreen& screen = xscreen();
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
