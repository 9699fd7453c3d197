// The settings screen of the real program on an X screen of its own (:62):
// opened from the option bar under the password, every tab group pressed,
// left with the exit button. Screenshots of every tab group in each language
// go to $MOULDMON_SHOTS when it names a folder.

#include "tests/e2e/settingsscreen.h"

#include "core/texttable.h"

#include <QFile>
#include <QImage>

using namespace e2e;

namespace {

class Settings : public SettingsScreen
{
protected:
    Settings()
        : SettingsScreen(xscreen())
    {
    }
    static XScreen& xscreen()
    {
        static XScreen shared(62);
        return shared;
    }
};

TEST_F(Settings, OpenUnderThePasswordPressEveryGroupAndLeave)
{
    start(1);
    const QStringList before = records();
    const QByteArray stored = paramDb();
    open();
    for (int tab : kGroupTabs) {
        EXPECT_TRUE(pressTab(tab)) << "tab " << tab;
        QThread::msleep(300);
        shoot(QStringLiteral("tab%1").arg(tab));
    }
    ASSERT_TRUE(screen.click(kExitX, kExitY));
    EXPECT_TRUE(WaitFor([&] { return pixel(kTabEdgeX, tabY(13)) != kPressedTab; }, 5000)) << "still on the settings";
    // Nothing was changed: no question, no record line, nothing saved.
    EXPECT_TRUE(screen.waitDialog(program->process.processId(), 1000).isNull());
    EXPECT_EQ(records(), before);
    EXPECT_EQ(paramDb(), stored);
}

TEST_F(Settings, WrongPasswordKeepsTheViews)
{
    start(1);
    ready();
    pressForDialog(kSettings);
    const QRect box = screen.waitDialog(program->process.processId(), kDialogMs);
    ASSERT_TRUE(box.isValid()) << "no password box";
    enterPassword(box, "1111");
    QThread::msleep(1000);
    EXPECT_NE(pixel(kTabEdgeX, tabY(0)), kPressedTab);
}

// Every tab group for the eye, in each language.
class SettingsScreens : public Settings, public ::testing::WithParamInterface<int>
{
};

TEST_P(SettingsScreens, ForTheEye)
{
    if (qEnvironmentVariable("MOULDMON_SHOTS").isEmpty())
        GTEST_SKIP() << "screenshots only when MOULDMON_SHOTS names a folder";
    gLan = GetParam();
    start(1);
    open();
    for (int tab : kGroupTabs) {
        ASSERT_TRUE(pressTab(tab)) << "tab " << tab;
        QThread::msleep(300);
        shoot(QStringLiteral("group%1").arg(tab));
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, SettingsScreens, ::testing::Values(0, 1, 2));

}  // namespace
