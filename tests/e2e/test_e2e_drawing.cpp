// The region editor of the real program on an X screen of its own (:68),
// with real pointer events: the option bar's region setting opens it on the
// mould step's template, the tool bar's rectangle button and a drag on the
// camera view draw a rectangle, which shows selected; "End Set" and YES
// save it. The region is stored, its change-log line is in the record, and
// the next cycles judge it: a black mould passes, a part inside it fails.

#include "tests/e2e/operatorscreen.h"

#include "inspection/cammersingleton.h"

#include <QImage>

using namespace e2e;

namespace {

// The region tool bar under the camera view, and the editor bar's last button.
const QPoint kRectangleTool(979, 1047);
const QPoint kEndSet(1822, 1013);
constexpr int kViewTop = 98;   // the camera view starts under the title bar
constexpr QRgb kSelectedOutline = 0xff00ff;
constexpr int kMouldStep = 1;

class Editor : public OperatorScreen
{
protected:
    Editor()
        : OperatorScreen(xscreen())
    {
        para.productDetectOn = 0;   // the editor opens on the mould step
        para.isPswUsed = 0;
    }

    static XScreen& xscreen()
    {
        static XScreen shared(68);
        return shared;
    }

    // The mould step starts without a region.
    void beforeProgram() override
    {
        ASSERT_TRUE(EditRegions(file("PARAM.db"), 0, [](CammerSingleton* r) { r->roiNum[kMouldStep] = 0; }));
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

    // The operator's drag over the mould step's usual region, in screen points.
    static QRect dragArea() { return DisplayRect(kRegion[kMouldStep]).translated(0, kViewTop); }
};

TEST_F(Editor, ARectangleDrawnSavedAndJudged)
{
    startShown(1);
    press(kArea);
    QThread::msleep(1500);   // the editor bar and the template
    shoot("opened");
    ASSERT_TRUE(screen.click(kRectangleTool.x(), kRectangleTool.y()));
    const QRect area = dragArea();
    ASSERT_TRUE(screen.drag(area.topLeft(), area.bottomRight()));
    const int midY = area.center().y();
    EXPECT_TRUE(WaitFor([&] { return outlineOnRow(midY, area.left() - 3, area.left() + 3); }, 5000))
        << "no selected rectangle on the screen";
    shoot("rectangle");
    ASSERT_TRUE(screen.click(kEndSet.x(), kEndSet.y()));
    answer(true);   // "Whether to save parameter?"
    EXPECT_TRUE(WaitFor([&] { return !outlineOnRow(midY, area.left() - 3, area.left() + 3); }, 5000))
        << "still editing";

    // Stored: one region in the mould step, a rectangle with the first
    // values of the white-area function (the only function switched on).
    ASSERT_TRUE(WaitFor([&] { return regionRow(0, "detect1").startsWith("1 "); }, kWaitMs))
        << regionRow(0, "detect1").toStdString();
    const QStringList stored = regionRow(0, "ROI1-0").split(' ', Qt::SkipEmptyParts);
    ASSERT_GE(stored.size(), 5);
    EXPECT_EQ(stored.mid(1, 4), (QStringList{"200", "100", "5", "1"})) << stored.join(' ').toStdString();
    EXPECT_TRUE(WaitFor(
        [&] {
            for (const QString& line : records())
                if (line.startsWith("Detection Mold of camera 1 Added rectangular"))
                    return true;
            return false;
        },
        kWaitMs))
        << records().join(" | ").toStdString();

    // Back on the live picture: a black mould passes, the part in the region fails.
    mouldRegionJudged();
}

}  // namespace
