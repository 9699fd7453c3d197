// The region editor of the real program on an X screen of its own (:68),
// with real pointer events: the option bar's region setting opens it on the
// template, the tool bar's rectangle button and a drag on the camera view
// draw a rectangle, which shows selected; "End Set" leaves the editor.

#include "tests/e2e/operatorscreen.h"

#include <QImage>

using namespace e2e;

namespace {

// The region tool bar under the camera view, and the editor bar's last button.
const QPoint kRectangleTool(979, 1047);
const QPoint kEndSet(1822, 1013);
constexpr int kViewTop = 98;   // the camera view starts under the title bar
constexpr QRgb kSelectedOutline = 0xff00ff;

class Editor : public OperatorScreen
{
protected:
    Editor()
        : OperatorScreen(xscreen())
    {
    }

    static XScreen& xscreen()
    {
        static XScreen shared(68);
        return shared;
    }

    // A selected outline crosses the row y between x0 and x1.
    bool outlineOnRow(int y, int x0, int x1)
    {
        const QString shotFile = file("editor.png");
        if (!screen.shot(shotFile))
            return false;
        const QImage shot(shotFile);
        for (int x = x0; x <= x1; ++x)
            if ((shot.pixel(x, y) & 0xFFFFFF) == kSelectedOutline)
                return true;
        return false;
    }
};

TEST_F(Editor, ARectangleDrawnWithRealPointerEvents)
{
    startShown(1);
    press(kArea);
    QThread::msleep(1500);   // the editor bar and the template
    shoot("opened");
    ASSERT_TRUE(screen.click(kRectangleTool.x(), kRectangleTool.y()));
    const QPoint from(300, kViewTop + 300), to(500, kViewTop + 450);
    ASSERT_TRUE(screen.drag(from, to));
    EXPECT_TRUE(WaitFor([&] { return outlineOnRow(kViewTop + 375, from.x() - 3, from.x() + 3); }, 5000))
        << "no selected rectangle on the screen";
    shoot("rectangle");
    ASSERT_TRUE(screen.click(kEndSet.x(), kEndSet.y()));
    EXPECT_TRUE(WaitFor([&] { return !outlineOnRow(kViewTop + 375, from.x() - 3, from.x() + 3); }, 5000))
        << "still editing";
}

}  // namespace
