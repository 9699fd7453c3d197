#pragma once
// The operator at the touch screen of the real program: an X screen of the
// test's own, presses on the option bar, question boxes answered, the
// password entered on the keypad, screenshots to $MOULDMON_SHOTS.

#include "tests/e2e/e2efixture.h"
#include "tests/e2e/xscreen.h"

#include <QDir>
#include <QImage>
#include <QThread>

namespace e2e {

// Places on the 1920x1080 screen: the side bar column (175 px wide, 10 px
// from the right edge, under the 98 px title bar), 112 px buttons 10 px apart.
constexpr int kBarX = 1920 - 10 - 175 / 2;
inline int barY(int row)
{
    return 98 + 10 + row * 122 + 56;
}
// Rows of the option bar and of the alarm bar.
enum OptionRow { kMultiScreen = 0, kStopStart = 1, kSettings = 2, kResample = 3, kArea = 4 };
enum AlarmRow { kLiveTemp = 0, kSource = 1, kCamera = 2, kDontDetect = 3, kAddTemp = 4, kReDetect = 5 };
constexpr int kDialogMs = 10000;

class OperatorScreen : public EndToEnd
{
protected:
    explicit OperatorScreen(XScreen& shared)
        : screen(shared)
    {
        display = screen.display();
    }

    void SetUp() override { ASSERT_TRUE(screen.up()) << "no X screen (Xvfb) on " << display.toStdString(); }

    void press(int row) { ASSERT_TRUE(screen.click(kBarX, barY(row))); }

    // Presses until a dialog box opens (a press the busy screen lost is
    // pressed again, at most three times).
    void pressForDialog(int row)
    {
        for (int i = 0; i < 3; ++i) {
            press(row);
            if (screen.waitDialog(program->process.processId(), 4000).isValid())
                return;
        }
        FAIL() << "no dialog box after three presses";
    }

    // The screen shows this colour at (x, y) within ms.
    ::testing::AssertionResult colourBecomes(int x, int y, QRgb colour, int ms)
    {
        QRgb seen = 0;
        const bool ok = WaitFor(
            [&] {
                const QString shotFile = file("probe.png");
                seen = screen.shot(shotFile) ? QImage(shotFile).pixel(x, y) & 0xFFFFFF : 0;
                return seen == colour;
            },
            ms);
        if (ok)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "colour at " << x << "," << y << ": " << std::hex << seen;
    }

    // The title bar becomes this colour on the screen within ms.
    ::testing::AssertionResult titleBecomes(QRgb colour, int ms = 5000) { return colourBecomes(900, 90, colour, ms); }

    // Starts the program and waits until its main screen is up (the
    // start-up picture gone, the title bar blue).
    void startShown(int cameras)
    {
        start(cameras);
        ASSERT_TRUE(titleBecomes(0x1f3f8d, kWaitMs));
    }

    // Answers the question box that the last press opened: YES (left) or NO.
    // thenNoDialog: no further box follows the answer.
    void answer(bool yes, bool thenNoDialog = true)
    {
        const QRect box = screen.waitDialog(program->process.processId(), kDialogMs);
        ASSERT_TRUE(box.isValid()) << "no question box";
        shoot("question");
        // YES and NO sit side by side in the lower part of the box.
        const QPoint button = box.topLeft() + QPoint(box.width() * (yes ? 44 : 78) / 100, box.height() * 72 / 100);
        ASSERT_TRUE(screen.click(button.x(), button.y()));
        if (thenNoDialog)
            ASSERT_TRUE(screen.waitNoDialog(program->process.processId(), kDialogMs));
    }

    void shoot(const QString& name)
    {
        const QString folder = qEnvironmentVariable("MOULDMON_SHOTS");
        if (folder.isEmpty())
            return;
        QDir().mkpath(folder);
        const QString test =
            QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name()).replace('/', '-');
        screen.shot(QStringLiteral("%1/%2-%3.png").arg(folder, test, name));
    }

    // The on-screen keypad (taller than wide) once it is open; invalid when
    // none opened within kDialogMs.
    QRect keypad()
    {
        QRect pad;
        WaitFor(
            [&] {
                for (const QRect& w : screen.windows(program->process.processId()))
                    if (w.height() > w.width() && w.height() < 1080)
                        pad = w;
                return pad.isValid();
            },
            kDialogMs);
        return pad;
    }

    // The operator enters the password on the keypad that the field opens.
    void enterPassword(const QRect& box, const QString& digits)
    {
        const qint64 pid = program->process.processId();
        ASSERT_TRUE(screen.click(box.left() + box.width() * 65 / 100, box.top() + box.height() * 20 / 100));
        const QRect pad = keypad();
        ASSERT_TRUE(pad.isValid()) << "no keypad";
        ASSERT_TRUE(screen.type(digits));
        shoot("password");
        // Confirm (the keypad's lower right), then YES of the password box.
        ASSERT_TRUE(screen.click(pad.left() + pad.width() * 85 / 100, pad.top() + pad.height() * 74 / 100));
        QThread::msleep(300);
        ASSERT_TRUE(screen.click(box.left() + box.width() * 44 / 100, box.top() + box.height() * 67 / 100));
    }

    // Back on the live picture after a region of the mould step was saved:
    // a black mould passes, camera 1's mould patch inside the region fails.
    void mouldRegionJudged()
    {
        ASSERT_TRUE(titleBecomes(0x1f3f8d));
        board("set 0");
        QList<int> words = wordsUntil(0x0F0);
        EXPECT_EQ(words.value(words.size() - 1), 0x0F0) << Words(words);
        board("clear 0");
        EXPECT_FALSE(records().contains("Camera 1Alarm"));
        setFrame(0, kMouldPatch);
        board("set 0");
        words = wordsUntil(0x0F5);
        EXPECT_EQ(words.value(words.size() - 1), 0x0F5) << Words(words);
        EXPECT_TRUE(WaitFor([&] { return records().contains("Camera 1Alarm"); }, kWaitMs));
        shoot("judged");
    }

    XScreen& screen;
};

}  // namespace e2e
