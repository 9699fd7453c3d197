#pragma once
// The settings screen of the real program as the operator sees it: the tab
// column, the exit button, opening under the password "2468".

#include "tests/e2e/operatorscreen.h"

#include <QFile>
#include <QImage>

namespace e2e {

// The settings screen fills the content area left of the side bar: the tab
// column on its left, the exit button at its top right.
constexpr int kSettingsMargin = 11;
constexpr int kTabX = kSettingsMargin + 150;
constexpr int kTabEdgeX = kSettingsMargin + 5;   // left of the tab's icon and text
inline int tabY(int tab)
{
    return 98 + kSettingsMargin + tab * 62 + 30;
}
constexpr int kExitX = 1725 - kSettingsMargin - 100;
constexpr int kExitY = 98 + kSettingsMargin + 35;
constexpr QRgb kPressedTab = 0x1f3f8d;
const int kGroupTabs[] = {0, 3, 5, 7, 9, 11, 13};

class SettingsScreen : public OperatorScreen
{
protected:
    explicit SettingsScreen(XScreen& shared)
        : OperatorScreen(shared)
    {
        para.isPswUsed = 1;
        qstrncpy(para.password, "2468", sizeof para.password);
    }

    QByteArray paramDb() const
    {
        QFile f(file("PARAM.db"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QImage screenImage()
    {
        const QString shotFile = file("settings.png");
        return screen.shot(shotFile) ? QImage(shotFile) : QImage();
    }
    // The colour of one point of the screen.
    QRgb pixel(int x, int y)
    {
        const QImage image = screenImage();
        return image.isNull() ? 0 : image.pixel(x, y) & 0xFFFFFF;
    }

    // The pressed tab shows its colour at that place (within 5 s).
    bool tabPressed(int tab)
    {
        return WaitFor([&] { return pixel(kTabEdgeX, tabY(tab)) == kPressedTab; }, 5000);
    }

    // Presses a tab until it shows pressed (a press the busy screen lost is
    // pressed again, at most three times).
    bool pressTab(int tab)
    {
        for (int i = 0; i < 3; ++i) {
            if (screen.click(kTabX, tabY(tab)) && tabPressed(tab))
                return true;
        }
        return false;
    }

    // The program shows detection running (blue title bar) and takes presses.
    void ready() { ASSERT_TRUE(WaitFor([&] { return pixel(900, 90) == kPressedTab; }, 10000)); }

    void open()
    {
        ready();
        pressForDialog(kSettings);
        const QRect box = screen.waitDialog(program->process.processId(), kDialogMs);
        ASSERT_TRUE(box.isValid()) << "no password box";
        enterPassword(box, "2468");
        ASSERT_TRUE(tabPressed(0)) << "the settings screen did not open";
    }

    // Opens the settings again while the operator is still logged in: no
    // password, and the tab pressed last is still pressed.
    void reopen(int tab)
    {
        press(kSettings);
        const bool opened = tabPressed(tab);
        shoot("reopened");
        ASSERT_TRUE(opened) << "the settings screen did not open again";
    }

    // Acknowledges the warning box that the last press opened (its one button).
    void acknowledge()
    {
        const QRect box = screen.waitDialog(program->process.processId(), kDialogMs);
        ASSERT_TRUE(box.isValid()) << "no warning box";
        shoot("warning");
        ASSERT_TRUE(screen.click(box.left() + box.width() * 60 / 100, box.top() + box.height() * 83 / 100));
        ASSERT_TRUE(screen.waitNoDialog(program->process.processId(), kDialogMs));
    }
};

}  // namespace e2e
