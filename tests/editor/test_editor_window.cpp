// The region editor in the main window built in this process over one
// simulated camera, driven by synthesized mouse events: the region tool
// bar's rectangle button, a drag on the camera view, the parameter panel
// beside the new region and its live preview on the template, moving the
// region, the templates held only while the editor shows them, and a return
// without saving, the live picture and the choice of a view when all are
// shown. With MOULDMON_SHOTS naming a folder, the editor is
// photographed in the three languages.

#include "core/globals.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "inspection/cammerrecongnize.h"
#include "screen/cammerwidget.h"
#include "screen/drawroiwidget.h"
#include "screen/regioption.h"
#include "widgets/boptionbutton.h"
#include "screen/roioperation.h"
#include "screen/roiparapanel.h"
#include "tests/mainwin/windowrig.h"
#include "widgets/colorbutton.h"
#include "widgets/slider.h"

#include <QMouseEvent>
#include <QPushButton>
#include <QtTest/QTest>

using namespace windowrig;

namespace {

const QPoint kFrom(300, 300);
const QPoint kTo(500, 450);

void pressButton(QAbstractButton* button)
{
    QTest::mousePress(button, Qt::LeftButton);
    QTest::mouseRelease(button, Qt::LeftButton);
}

void moveHeld(QWidget* view, const QPoint& at)
{
    QMouseEvent event(QEvent::MouseMove, at, view->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &event);
}

// A press, moves in steps of at most 20 px and a release, as a finger drags.
void drag(QWidget* view, const QPoint& from, const QPoint& to)
{
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, from);
    const QPoint d = to - from;
    const int steps = std::max(std::abs(d.x()), std::abs(d.y())) / 20 + 1;
    for (int i = 1; i <= steps; ++i)
        moveHeld(view, from + d * i / steps);
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, to);
}

void tap(QWidget* view, const QPoint& at)
{
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, at);
}

MainWindow& openEditor(WindowRig& rig)
{
    MainWindow& w = *rig.build();
    w.setUserLevel(UserFactory);
    w.SlotAdjustArea();
    return w;
}

QRect drawRectangle(MainWindow& w)
{
    CammerWidget* view = w.views[0];
    pressButton(view->toolBar->button(roiOperation::Rect));
    drag(view, kFrom, kTo);
    return view->editRecord->rects[w.editDetect][view->editRecord->roiNum[w.editDetect] - 1].rect;
}

// The editor opened on camera 1 and the step it edits.
struct OpenEditor {
    WindowRig rig{1};
    MainWindow& w = openEditor(rig);
    CammerWidget* view = w.views[0];
    const int d = w.editDetect;
    const int before = view->liveRecord->roiNum[d];   // regions in force
};

}  // namespace

TEST(EditorWindowDeathTest, ARectangleDrawnWithTheMouseGetsItsPanelAndPreview)
{
    inOwnProcess([] {
        OpenEditor e;
        auto& [rig, w, view, d, before] = e;
        ASSERT_EQ(gSource, kTemplate);
        ASSERT_TRUE(view->toolBar->isVisible());
        EXPECT_FALSE(view->work->templates[d][0].empty()) << "the shown step's templates are in memory";

        pressButton(view->toolBar->button(roiOperation::Rect));
        EXPECT_EQ(w.tools.drawTool, kRectTool);
        drag(view, kFrom, kTo);
        ASSERT_EQ(view->editRecord->roiNum[d], before + 1);
        const int r = before;
        EXPECT_EQ(view->selectedRoi, r);
        EXPECT_EQ(view->editRecord->rects[d][r].rect, QRect(kFrom, kTo));
        EXPECT_EQ(w.tools.drawTool, kNoTool);

        // The panel stands under the region.
        RoiParaPanel& panel = *view->panel;
        ASSERT_TRUE(panel.sensitivitySlider->isVisible());
        const QRect box = view->editRecord->ImageBox(d, r);
        EXPECT_EQ(panel.sensitivitySlider->geometry().top(), PanelTop(box.top(), box.bottom(), gpWPara->perRoiParams != 0));
        EXPECT_GT(panel.sensitivitySlider->geometry().top(), kTo.y());
        EXPECT_TRUE(panel.moveAllButton->isVisible());

        // A black-area region previews on the template: the slider's value
        // goes to the region and the found pixels are counted.
        view->editRecord->func[d][r] = 4;
        view->ShowHideROIPara();
        panel.sensitivitySlider->setValue(255);
        EXPECT_EQ(view->editRecord->sensitivity[d][r], 255);
        EXPECT_TRUE(view->work->previewShown);
        EXPECT_GT(view->work->roiValue[d][r], 0);

        // A tap outside deselects; a drag from inside moves the region.
        tap(view, QPoint(100, 100));
        EXPECT_EQ(view->selectedRoi, -1);
        EXPECT_FALSE(panel.sensitivitySlider->isVisible());
        drag(view, QPoint(400, 380), QPoint(440, 400));
        EXPECT_EQ(view->editRecord->rects[d][r].rect, QRect(kFrom, kTo).translated(40, 20));
        EXPECT_EQ(view->liveRecord->roiNum[d], before) << "nothing is in force before saving";

        // "End Set" leaves and releases the templates.
        pressButton(w.regiOption->button(RegiOption::EndSetting));
        EXPECT_EQ(gSource, -1);
        EXPECT_TRUE(view->work->templates[d][0].empty());
        EXPECT_EQ(view->heldTemplateStep(), -1);
    });
}

TEST(EditorWindowDeathTest, EditsNotSavedAreDroppedWhenTheEditorOpensAgain)
{
    inOwnProcess([] {
        OpenEditor e;
        auto& [rig, w, view, d, before] = e;
        drawRectangle(w);
        ASSERT_EQ(view->editRecord->roiNum[d], before + 1);
        pressButton(w.regiOption->button(RegiOption::EndSetting));
        w.SlotAdjustArea();
        EXPECT_EQ(view->editRecord->roiNum[d], before);
        for (int r = 0; r < before; ++r)
            EXPECT_EQ(view->work->editMasks[d][r].data, view->work->liveMasks[d][r].data) << r;
    });
}

TEST(EditorWindowDeathTest, CirclesTappedAndFreehandPolygonsWithTheMouse)
{
    inOwnProcess([] {
        OpenEditor e;
        auto& [rig, w, view, d, before] = e;
        const CammerSingleton& rec = *view->editRecord;
        pressButton(view->toolBar->button(roiOperation::Circle));
        drag(view, QPoint(1200, 150), QPoint(1400, 350));
        ASSERT_EQ(rec.roiNum[d], before + 1);
        EXPECT_EQ(rec.roiType[d][before], kRoiCircle);

        pressButton(view->toolBar->button(roiOperation::Polygon));
        for (const QPoint& p : {QPoint(200, 150), QPoint(500, 120), QPoint(600, 300), QPoint(206, 156)})
            tap(view, p);
        ASSERT_EQ(rec.roiNum[d], before + 2);
        EXPECT_EQ(rec.roiType[d][before + 1], kRoiPolygon);
        EXPECT_EQ(rec.polygons[d][before + 1].count(), 3);

        pressButton(view->toolBar->button(roiOperation::Freehand));
        EXPECT_TRUE(w.tools.freehandMode);
        drag(view, QPoint(700, 600), QPoint(900, 800));
        ASSERT_EQ(rec.roiNum[d], before + 3);
        EXPECT_GT(rec.polygons[d][before + 2].count(), 5);
        EXPECT_EQ(w.tools.drawTool, kNoTool);
    });
}

TEST(EditorWindowDeathTest, PanelSlidersFollowTheFunctionAndTheGreySwitch)
{
    inOwnProcess([] {
        OpenEditor e;
        auto& [rig, w, view, d, before] = e;
        drawRectangle(w);
        CammerSingleton& rec = *view->editRecord;
        RoiParaPanel& panel = *view->panel;
        const int r = before;

        // A defect region's stored filter size beyond the slider ends up held in it.
        rec.func[d][r] = 0;
        panel.minWHSlider->setValue(3);   // stored in the region too
        rec.minWH[d][r] = 15;
        view->ShowHideROIPara();
        EXPECT_EQ(panel.minWHSlider->value(), 10);
        EXPECT_EQ(rec.minWH[d][r], 10);

        // A spot region: the first slider edits the low byte, after the grey
        // switch the second byte.
        rec.func[d][r] = 1;
        rec.minWH[d][r] = 0x3200;
        view->ShowHideROIPara();
        EXPECT_EQ(panel.minWHSlider->value(), 0);
        EXPECT_EQ(panel.minWHSlider->objectName(), LanStr(10));
        pressButton(panel.grayButton);
        EXPECT_TRUE(panel.grayHighByte);
        EXPECT_EQ(panel.minWHSlider->value(), 0x32);
        EXPECT_EQ(panel.minWHSlider->objectName(), LanStr(11));
        panel.minWHSlider->setValue(60);
        EXPECT_EQ(rec.minWH[d][r], 60 << 8);

        // The part button steps through the corners; moving all regions hides the sliders.
        pressButton(panel.partButton);
        EXPECT_EQ(view->selectedPart, 1);
        EXPECT_EQ(panel.partButton->text(), LanStr(29));
        pressButton(panel.moveAllButton);
        EXPECT_EQ(view->moveMode, 1);
        EXPECT_FALSE(panel.sensitivitySlider->isVisible());
        EXPECT_TRUE(panel.moveButtons[0]->isVisible());
        const QRect box = rec.rects[d][r].rect;
        pressButton(panel.moveButtons[3]);   // right
        EXPECT_EQ(rec.rects[d][r].rect, box.translated(1, 0));
    });
}

TEST(EditorWindowDeathTest, ToolBarButtonsDoNothingOutsideTheTemplate)
{
    inOwnProcess([] {
        WindowRig rig(1);
        MainWindow& w = openEditor(rig);
        gSource = kLive;
        pressButton(w.views[0]->toolBar->button(roiOperation::Rect));
        EXPECT_EQ(w.tools.drawTool, kNoTool);
        pressButton(w.views[0]->toolBar->button(roiOperation::Copy));
        EXPECT_FALSE(w.tools.copyMode);

        // On the live picture a touch only moves the read-out.
        CammerWidget* view = w.views[0];
        const int regions = view->editRecord->roiNum[w.editDetect];
        w.tools.drawTool = kRectTool;
        drag(view, kFrom, kTo);
        EXPECT_EQ(view->editRecord->roiNum[w.editDetect], regions);
        EXPECT_EQ(w.cursorImagePos, QPoint(kTo.x() * gImageW / gShowW, kTo.y() * gImageH / gShowH));
    });
}

TEST(EditorWindowDeathTest, WithAllViewsShownATouchOnlyChoosesTheView)
{
    inOwnProcess([] {
        WindowRig rig(2);
        MainWindow& w = *rig.build();
        w.selectedView = numCamera;
        w.ChangeCammer();
        ASSERT_TRUE(w.views[1]->isVisible());
        tap(w.views[1], QPoint(50, 50));
        EXPECT_EQ(w.selectedView, 1);
        EXPECT_FALSE(w.views[0]->isVisible());
        EXPECT_EQ(w.views[1]->geometry(), QRect(0, 0, gShowW, gShowH));
    });
}

// Screenshots in each language: the editor bar, the tool bar and the legend
// with a selected rectangle and its panel, then every region outlined.
TEST(EditorWindowDeathTest, Screenshots)
{
    const QString folder = qEnvironmentVariable("MOULDMON_SHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "MOULDMON_SHOTS names no folder";
    for (int lan = 0; lan < 3; ++lan) {
        inOwnProcess([&] {
            WindowRig rig(1);
            gLan = lan;   // after the settings were read
            MainWindow& w = openEditor(rig);
            CammerWidget* view = w.views[0];
            pressButton(view->toolBar->button(roiOperation::Circle));
            drag(view, QPoint(1200, 150), QPoint(1400, 350));
            pressButton(view->toolBar->button(roiOperation::Polygon));
            for (const QPoint& p : {QPoint(200, 150), QPoint(500, 120), QPoint(600, 300), QPoint(250, 320), QPoint(204, 154)})
                tap(view, p);
            drawRectangle(w);
            QDir().mkpath(folder);
            QCoreApplication::processEvents();
            w.grab().save(QString("%1/editor-selected-lan%2.png").arg(folder).arg(lan));
            tap(view, QPoint(900, 700));   // nothing there: every region shows
            QCoreApplication::processEvents();
            w.grab().save(QString("%1/editor-regions-lan%2.png").arg(folder).arg(lan));
        });
    }
}
