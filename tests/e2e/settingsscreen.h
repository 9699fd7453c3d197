#pragma once
// The operator on the settings screen of the real program: where its tabs
// and exit button are, opening it under the password, pressing a tab.

#include "tests/e2e/operatorscreen.h"

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

class SettingsScreen : public OperatorScreen
{
protected:
    // The password "2468" guards the settings.
    explicit SettingsScreen(XScreen& shared)
        : OperatorScreen(shared)
    {
        para.isPswUsed = 1;
        qstrncpy(para.password, "2468", sizeof para.password);
    }

    QImage screenImage()
    {
        const QString shotFile = file("settings.png");
        return screen.shot(shotFile) ? QImage(shotFile) : QImage();
    }
    // The colour of one point of the screen.
    QRgb pixel(int x, int y) { return screenImage().pixel(x, y) & 0xFFFFFF; }

    // The pressed tab shows its colour at that place (within 5 s).
    bool tabPressed(int tab)
    {
        return WaitFor([&] { return pixel(kTabEdgeX, tabY(tab)) == kPressedTab; }, 5000);
    }

    // The program shows detection running (blue title bar) and takes presses.
    void ready() { ASSERT_TRUE(WaitFor([&] { return pixel(900, 90) == kPressedTab; }, 10000)); }

    void open()
    {
        ready();
        press(kSettings);
        const QRect box = screen.waitDialog(program->process.processId(), kDialogMs);
        ASSERT_TRUE(box.isValid()) << "no password box";
        enterPassword(box, "2468");
        ASSERT_TRUE(tabPressed(0)) << "the settings screen did not open";
    }
};

}  // namespace e2e
