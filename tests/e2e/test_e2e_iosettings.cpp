// The IO pages of the settings screen on an X screen of their own (:64),
// used with real pointer presses: a machine type and an IO timing changed
// and confirmed drive the next cycles on the IO board; a three-station
// multi-detection assignment set in the IO assignment dialog runs after the
// restart that puts the type in force. Screenshots of the pages and dialogs
// in each language go to $MOULDMON_SHOTS when it names a folder.

#include "tests/e2e/operatorscreen.h"

#include "core/texttable.h"

#include <QImage>

using namespace e2e;

namespace {

// Places on the screen (the settings screen fills the content area).
constexpr int kMargin = 11;
constexpr int kTabX = kMargin + 150;
int tabY(int tab)
{
    return 98 + kMargin + tab * 62 + 30;
}
constexpr int kIoParamsTab = 9;
constexpr int kIoFunctionsTab = 10;
constexpr int kHelpTab = 14;
constexpr int kExitX = 1725 - kMargin - 100;
constexpr int kExitY = 98 + kMargin + 35;
constexpr QRgb kBlue = 0x1f3f8d;


class IoSettings : public OperatorScreen
{
protected:
    // The network link, should it listen, on this test's own port.
    IoSettings()
        : OperatorScreen(xscreen())
    {
        qputenv("MOULDMON_NET_PORT", "18922");
    }
    ~IoSettings() override { qunsetenv("MOULDMON_NET_PORT"); }

    static XScreen& xscreen()
    {
        static XScreen shared(64);
        return shared;
    }

    void click(const QPoint& p) { ASSERT_TRUE(screen.click(p.x(), p.y())); }

    void openSettings()
    {
        ASSERT_TRUE(titleBecomes(kBlue, 10000));
        press(kSettings);
        ASSERT_TRUE(colourBecomes(kMargin + 5, tabY(0), kBlue, 10000)) << "the settings screen did not open";
    }

    // Types digits on the keypad that a value label opened and confirms them.
    void typeOnKeypad(const QString& digits)
    {
        const qint64 pid = program->process.processId();
        const QRect pad = keypad();
        ASSERT_TRUE(pad.isValid()) << "no keypad";
        // Keys 1 2 3 in the third row, 0 in the fourth, Confirm at the right.
        for (QChar c : digits) {
            const int d = c.digitValue();
            const QPoint key = d == 0 ? QPoint(38, 82) : QPoint(15 + ((d - 1) % 3) * 23, 66 - ((d - 1) / 3) * 16);
            ASSERT_TRUE(screen.click(pad.left() + pad.width() * key.x() / 100, pad.top() + pad.height() * key.y() / 100));
        }
        shoot("keypad");
        ASSERT_TRUE(screen.click(pad.left() + pad.width() * 85 / 100, pad.top() + pad.height() * 74 / 100));
        ASSERT_TRUE(screen.waitNoDialog(pid, kDialogMs));
    }

    // The IO assignment dialog is on the screen.
    bool assignmentShown() const
    {
        for (const QRect& w : screen.windows(program->process.processId()))
            if (w.size() == QSize(1725, 982))
                return true;
        return false;
    }

    // Opens the choice at `box` and presses item `item` of its list.
    void chooseItem(const QPoint& box, int itemHeight, int item)
    {
        const qint64 pid = program->process.processId();
        click(box);
        QRect list;
        ASSERT_TRUE(WaitFor(
            [&] {
                for (const QRect& w : screen.windows(pid))
                    if (w.width() < 600 && w.height() >= itemHeight && w.height() < 982)
                        list = w;
                return list.isValid();
            },
            kDialogMs))
            << "no list";
        ASSERT_TRUE(screen.click(list.left() + list.width() / 2, list.top() + itemHeight * item + itemHeight / 2));
        QThread::msleep(300);
    }

    // Says yes to saving the settings, then closes the note that follows.
    void saveAndNote()
    {
        const QRect box = screen.waitDialog(program->process.processId(), kDialogMs);
        ASSERT_TRUE(box.isValid()) << "no question box";
        shoot("question");
        ASSERT_TRUE(screen.click(box.left() + box.width() * 44 / 100, box.top() + box.height() * 72 / 100));
        QThread::msleep(1000);
        dismissWarning();
    }

    // Closes the warning box that is open (its one button in the lower middle);
    // with `alone`, no other window of the kind is left open.
    void dismissWarning(bool alone = true)
    {
        const QRect box = screen.waitDialog(program->process.processId(), kDialogMs);
        ASSERT_TRUE(box.isValid()) << "no warning box";
        shoot("warning");
        ASSERT_TRUE(screen.click(box.left() + box.width() / 2, box.top() + box.height() * 72 / 100));
        if (alone)
            ASSERT_TRUE(screen.waitNoDialog(program->process.processId(), kDialogMs));
    }

    void openTab(int tab)
    {
        ASSERT_TRUE(screen.click(kTabX, tabY(tab)));
        ASSERT_TRUE(colourBecomes(kMargin + 5, tabY(tab), kBlue, 5000)) << "tab " << tab;
        QThread::msleep(300);
    }
};

// Places of the IO parameters page and the IO assignment dialog.
// The machine-type choices: 182 px wide, 16 px apart, after a 206 px caption.
QPoint machineType(int type)
{
    return QPoint(682 + 198 * type, 257);
}
const QPoint kTwoColour = machineType(1);
const QPoint kMultiDetect = machineType(4);
const QPoint kNoInputTime(1305, 451);
const QPoint kCustomIo(655, 357);
const QPoint kCountBox(140, 148);
const QPoint kIoName(945, 357);
const QPoint kAssignConfirm(1605, 990);
QPoint triggerBox(int row)
{
    return QPoint(130, 223 + 70 * row);
}
QPoint stepBox(int row, int step)
{
    return QPoint(268 + 156 * step, 223 + 70 * row);
}

// The machine type in force changes at once to two-colour (left mould: the
// mould step on input 2) and the no-input timeout to 5 s, set on the keypad.
TEST_F(IoSettings, TwoColourAndNoInputTimeoutDriveTheNextCycles)
{
    start(1);
    board("set 0");
    QList<int> words = wordsUntil(idle());
    ASSERT_EQ(words, (QList<int>{0x0F3, 0x0F1, 0x0F0})) << Words(words);   // standard
    board("clear 0");
    ASSERT_TRUE(countsBecome("1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 "));

    openSettings();
    openTab(kIoParamsTab);
    click(kTwoColour);
    click(kNoInputTime);
    typeOnKeypad("5");
    shoot("changed");
    click(QPoint(kExitX, kExitY));
    saveAndNote();   // the machine type changed
    ASSERT_TRUE(titleBecomes(kBlue, 10000));

    // Input 0 now starts only the product step; input 2 the mould step.
    board("pulse 0 300");
    words = wordsWithin(1200);
    EXPECT_EQ(words, (QList<int>{0x0F3, 0x0F1})) << Words(words);   // the product step released the ejector
    EXPECT_EQ(counts(), "1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 ");
    board("pulse 2 300");
    words = wordsUntil(idle());
    EXPECT_EQ(words, QList<int>{0x0F0}) << Words(words);   // the mould step released the clamp
    EXPECT_TRUE(countsBecome("2 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 "));
    // No new cycle within 5 s of its start: the clamp is inhibited and the warning recorded.
    words = wordsUntil(0x0F1);
    EXPECT_EQ(words, QList<int>{0x0F1}) << Words(words);
    EXPECT_TRUE(WaitFor([&] { return records().contains("Warnning: No Input Signal"); }, kWaitMs));
}

// Three stations set in the IO assignment dialog: rows 0, 1 and 2 own
// steps 0, 1 and 2 and take trigger inputs 0, 3 and 4 (board inputs 0, 2
// and 3). The multi-detection type is in force after the restart.
TEST_F(IoSettings, ThreeStationAssignmentRunsAfterTheRestart)
{
    start(1);
    openSettings();
    openTab(kIoParamsTab);
    click(kMultiDetect);
    click(kCustomIo);
    ASSERT_TRUE(WaitFor([&] { return assignmentShown(); }, kDialogMs)) << "no IO assignment";
    chooseItem(kCountBox, 40, 1);   // "3 times"
    click(stepBox(0, 1));           // row 0 gives step 1 up
    click(stepBox(1, 1));
    click(stepBox(2, 2));
    chooseItem(triggerBox(1), 50, 1);   // indexes 0..2 listed: index 1
    chooseItem(triggerBox(2), 50, 1);   // indexes 1..2 listed: index 2
    shoot("assignment");
    click(kAssignConfirm);
    ASSERT_TRUE(WaitFor([&] { return !assignmentShown(); }, kDialogMs)) << "the assignment was not taken";
    click(QPoint(kExitX, kExitY));
    saveAndNote();   // the machine type changes at the next start

    const int lines = records().size();
    ASSERT_TRUE(program->terminate());
    program = std::make_unique<Program>(work.path(), file("simcams"), io.device(), QStringList(), QString(), display);
    ASSERT_TRUE(WaitFor([&] { return records().size() > lines; }, kWaitMs)) << "no restart";
    ASSERT_TRUE(titleBecomes(kBlue, kWaitMs));
    QThread::msleep(kFrameInUseMs);
    wordsWithin(500);

    // Input 0 inhibits the outputs of all three stations (lines 1, 3 and 0);
    // each good station releases its own. The input of station 2 out of turn
    // does nothing.
    board("pulse 0 300");
    QList<int> words = wordsUntil(0x0F9);
    EXPECT_EQ(words, (QList<int>{0x0FB, 0x0F9})) << Words(words);
    board("pulse 3 300");
    EXPECT_EQ(wordsWithin(1000), QList<int>());
    board("pulse 2 300");
    words = wordsUntil(0x0F1);
    EXPECT_EQ(words, QList<int>{0x0F1}) << Words(words);
    board("pulse 3 300");
    words = wordsUntil(idle());
    EXPECT_EQ(words, QList<int>{0x0F0}) << Words(words);
    EXPECT_TRUE(countsBecome("1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 "));
}

// The IO pages and the dialogs they open, for the eye, in each language.
class IoScreens : public IoSettings, public ::testing::WithParamInterface<int>
{
};

TEST_P(IoScreens, ForTheEye)
{
    if (qEnvironmentVariable("MOULDMON_SHOTS").isEmpty())
        GTEST_SKIP() << "screenshots only when MOULDMON_SHOTS names a folder";
    gLan = GetParam();
    para.showFactoryParams = 1;
    start(1);
    openSettings();
    openTab(kIoFunctionsTab);
    shoot("functions");
    openTab(kHelpTab);
    shoot("help");
    openTab(kIoParamsTab);
    shoot("params");
    click(kTwoColour);
    QThread::msleep(300);
    shoot("params-twocolour");
    click(kMultiDetect);
    QThread::msleep(300);
    shoot("params-multi");
    click(kCustomIo);
    ASSERT_TRUE(WaitFor([&] { return assignmentShown(); }, kDialogMs)) << "no IO assignment";
    QThread::msleep(300);
    shoot("assignment");
    chooseItem(kCountBox, 40, 6);   // "8 times"
    shoot("assignment-eight");
    // The last step has no owner: a warning, and the assignment stays open.
    click(kAssignConfirm);
    dismissWarning(false);
    ASSERT_TRUE(WaitFor([&] { return assignmentShown(); }, kDialogMs)) << "the assignment closed";
    // A touch outside closes it without storing.
    click(QPoint(kBarX, barY(kSettings)));
    ASSERT_TRUE(WaitFor([&] { return !assignmentShown(); }, kDialogMs));
    click(kIoName);
    ASSERT_TRUE(screen.waitDialog(program->process.processId(), kDialogMs).isValid()) << "no IO names";
    QThread::msleep(300);
    shoot("names");
}

INSTANTIATE_TEST_SUITE_P(Languages, IoScreens, ::testing::Values(0, 1, 2));

}  // namespace
