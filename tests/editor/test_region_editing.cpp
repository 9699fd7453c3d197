// The touch-editing rules of a camera view without a screen: a display of
// 400 x 300 whose points are frame pixels, an edited record and its masks.

#include "core/globals.h"
#include "core/wizardpara.h"
#include "screen/regionediting.h"

#include <gtest/gtest.h>

namespace {

constexpr int kStep = 1;
const QSize kView(400, 300);

class EditingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        saved = gpWPara;
        gpWPara = &para;
        para.defectOn = 1;
        gShowW = kView.width();
        gShowH = kView.height();
        gShowAW = gShowAH = 1;
        gDNum = 2;
        work.editRecord = &record;
        ed.BindEditSet(&work);
    }
    void TearDown() override { gpWPara = saved; }

    Touch at(const QPoint& p)
    {
        clock += 100;
        return Touch{p, kStep, kView, clock};
    }
    EditOutcome press(const QPoint& p) { return ed.TouchPress(at(p), tools); }
    EditOutcome move(const QPoint& p) { return ed.TouchMove(at(p), tools); }
    EditOutcome release(const QPoint& p) { return ed.TouchRelease(at(p), tools); }
    EditOutcome drag(const QPoint& from, const QPoint& to)
    {
        press(from);
        move((from + to) / 2);
        move(to);
        return release(to);
    }
    EditOutcome tapPolygon(const QVector<QPoint>& points)
    {
        EditOutcome last;
        for (const QPoint& p : points) {
            press(p);
            last = release(p);
        }
        return last;
    }
    void addRect(const QRect& r)
    {
        tools.drawTool = kRectTool;
        drag(r.topLeft(), r.bottomRight());
    }
    int regions() const { return record.roiNum[kStep]; }
    QRect rectOf(int r) const { return record.rects[kStep][r].rect; }

    WizardPara para;
    WizardPara* saved = nullptr;
    CammerSingleton record{0};
    CameraWorkSet work;
    RegionEditing ed;
    EditTools tools;
    qint64 clock = 1000;
};

// --- drawing rectangles and circles -----------------------------------------

struct ShapeCase {
    const char* name;
    int tool;
    QPoint from, to;
    int regions;   // made
    QRect box;     // the new shape's display rectangle
};

class ShapeDrawing : public EditingTest, public ::testing::WithParamInterface<ShapeCase>
{
};

TEST_P(ShapeDrawing, DrawsOneShapeOrNothingAndClearsTheTool)
{
    const ShapeCase& c = GetParam();
    tools.drawTool = c.tool;
    EXPECT_EQ(ed.TouchPress(at(c.from), tools).cursor, Qt::CrossCursor);
    EXPECT_EQ(ed.editState, RegionEditing::kPressed);
    if (c.to != c.from) {   // the first move is taken as it is, the later ones held in the display
        move((c.from + c.to) / 2);
        move(c.to);
    }
    const EditOutcome out = release(c.to);
    EXPECT_EQ(out.warning, 0);
    EXPECT_TRUE(out.rebuildPanel);
    EXPECT_EQ(regions(), c.regions);
    EXPECT_EQ(tools.drawTool, kNoTool);
    EXPECT_EQ(ed.editState, RegionEditing::kIdle);
    EXPECT_FALSE(ed.pendingShape);
    if (c.regions == 0)
        return;
    EXPECT_EQ(ed.selectedRoi, 0);
    const QRect drawn = c.tool == kCircleTool ? record.circles[kStep][0].rect : rectOf(0);
    EXPECT_EQ(drawn, c.box);
    EXPECT_EQ(record.roiType[kStep][0], c.tool == kCircleTool ? kRoiCircle : kRoiRect);
    EXPECT_FALSE(work.editMasks[kStep][0].empty());
    EXPECT_EQ(record.func[kStep][0], 0);
    EXPECT_EQ(record.sensitivity[kStep][0], 25);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShapeDrawing,
    ::testing::Values(
        ShapeCase{"rectangle", kRectTool, {100, 100}, {200, 180}, 1, QRect(QPoint(100, 100), QPoint(200, 180))},
        ShapeCase{"rectangle held in the display", kRectTool, {300, 200}, {480, 350}, 1,
                  QRect(QPoint(300, 200), QPoint(399, 299))},
        ShapeCase{"up and left", kRectTool, {200, 180}, {100, 100}, 0, {}},
        ShapeCase{"a tap", kRectTool, {100, 100}, {100, 100}, 0, {}},
        ShapeCase{"nine pixels right", kRectTool, {100, 100}, {109, 180}, 0, {}},
        ShapeCase{"ten pixels each way", kRectTool, {100, 100}, {110, 110}, 1, QRect(QPoint(100, 100), QPoint(110, 110))},
        ShapeCase{"circle", kCircleTool, {100, 100}, {160, 140}, 1, QRect(QPoint(100, 100), QPoint(139, 139))}),
    [](const ::testing::TestParamInfo<ShapeCase>& info) {
        std::string n = info.param.name;
        for (char& ch : n)
            if (!isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return n;
    });

TEST_F(EditingTest, TheFiftyFirstRegionIsRefusedAndTheToolStays)
{
    for (int i = 0; i < kMaxRegions; ++i)
        addRect(QRect(10 + i * 5, 10, 20, 20));
    ASSERT_EQ(regions(), kMaxRegions);
    tools.drawTool = kRectTool;
    const EditOutcome out = drag({100, 100}, {200, 200});
    EXPECT_EQ(out.warning, RegionEditing::kTextRegionsFull);
    EXPECT_EQ(regions(), kMaxRegions);
    EXPECT_EQ(tools.drawTool, kRectTool);
    EXPECT_FALSE(ed.pendingShape);
}

TEST_F(EditingTest, NewRegionsTakeTheParametersOfTheRegionBefore)
{
    addRect(QRect(10, 10, 40, 40));
    record.func[kStep][0] = 5;
    record.minWH[kStep][0] = 7;
    record.sensitivity[kStep][0] = 99;
    record.area[kStep][0] = 1234;
    addRect(QRect(100, 100, 40, 40));
    ASSERT_EQ(regions(), 2);
    EXPECT_EQ(record.func[kStep][1], 5);
    EXPECT_EQ(record.minWH[kStep][1], 7);
    EXPECT_EQ(record.sensitivity[kStep][1], 99);
    EXPECT_EQ(record.area[kStep][1], 1234);
    EXPECT_EQ(ed.selectedRoi, 1);
}

struct FirstCase {
    const char* name;
    int WizardPara::*switchOn;
    int shape;
    int func, minWH, sensitivity, area;   // -1: kept from the record
};

class FirstRegion : public EditingTest, public ::testing::WithParamInterface<FirstCase>
{
};

TEST_P(FirstRegion, TheFirstEnabledFunctionGivesTheFirstParameters)
{
    const FirstCase& c = GetParam();
    para.defectOn = 0;
    para.*c.switchOn = 1;
    record.minWH[kStep][0] = 11;
    record.sensitivity[kStep][0] = 22;
    record.area[kStep][0] = 33;
    RegionEditing::NewRegionParameters(record, kStep, 0, c.shape);
    EXPECT_EQ(record.func[kStep][0], c.func);
    EXPECT_EQ(record.minWH[kStep][0], c.minWH < 0 ? 11 : c.minWH);
    EXPECT_EQ(record.sensitivity[kStep][0], c.sensitivity < 0 ? 22 : c.sensitivity);
    EXPECT_EQ(record.area[kStep][0], c.area < 0 ? 33 : c.area);
}

INSTANTIATE_TEST_SUITE_P(Cases, FirstRegion,
                         ::testing::Values(FirstCase{"spot", &WizardPara::spotOn, kRoiRect, 1, 0x3200, 80, 500},
                                           FirstCase{"black", &WizardPara::blackAreaOn, kRoiRect, 4, -1, 50, 100},
                                           FirstCase{"white", &WizardPara::whiteAreaOn, kRoiRect, 5, -1, 200, 100},
                                           FirstCase{"similar", &WizardPara::similarityOn, kRoiRect, 6, -1, 80, -1},
                                           FirstCase{"count", &WizardPara::whiteNumberOn, kRoiRect, 7, 5, 128, 1},
                                           FirstCase{"direction", &WizardPara::directionOn, kRoiCircle, 8, 1, 5000, 10000},
                                           FirstCase{"directionPolygon", &WizardPara::directionOn, kRoiPolygon, 0, 5, 25, 100},
                                           FirstCase{"defect", &WizardPara::defectOn, kRoiRect, 0, 5, 25, 100}),
                         [](const ::testing::TestParamInfo<FirstCase>& info) { return std::string(info.param.name); });

// --- polygons ----------------------------------------------------------------

TEST_F(EditingTest, ATappedPolygonClosesWithinNinePixelsOfItsFirstPoint)
{
    tools.drawTool = kPolygonTool;
    tapPolygon({{100, 100}, {200, 100}, {200, 200}});
    EXPECT_EQ(regions(), 0);
    EXPECT_EQ(ed.polyPoints.size(), 3);
    tapPolygon({{109, 91}});   // 9 px on both axes: closes
    ASSERT_EQ(regions(), 1);
    EXPECT_EQ(record.roiType[kStep][0], kRoiPolygon);
    EXPECT_EQ(record.polygons[kStep][0].count(), 3);
    EXPECT_TRUE(record.polygons[kStep][0].IsSelected());
    EXPECT_EQ(tools.drawTool, kNoTool);
    EXPECT_TRUE(ed.polyPoints.isEmpty());
    EXPECT_FALSE(ed.polyActive);
}

TEST_F(EditingTest, ATapTenPixelsAwayAddsAPointAndTwoPointsStayOpen)
{
    tools.drawTool = kPolygonTool;
    tapPolygon({{100, 100}, {200, 100}, {105, 104}});   // closing tap with 2 points: nothing
    EXPECT_EQ(ed.polyPoints.size(), 2);
    tapPolygon({{110, 100}});   // 10 px away: a point
    EXPECT_EQ(ed.polyPoints.size(), 3);
    EXPECT_EQ(regions(), 0);
    EXPECT_EQ(tools.drawTool, kPolygonTool);
}

TEST_F(EditingTest, ThePolygonButtonFinishesATappedPolygon)
{
    tools.drawTool = kPolygonTool;
    tapPolygon({{100, 100}, {200, 100}, {200, 200}, {100, 200}});
    ed.SavePolygon(kStep, tools);
    ASSERT_EQ(regions(), 1);
    EXPECT_EQ(record.polygons[kStep][0].count(), 4);
}

TEST_F(EditingTest, AFullPolygonDropsItsLastPointAndWarns)
{
    tools.drawTool = kPolygonTool;
    press({50, 50});
    ed.polyPoints.resize(RePolygon::kMaxPoints);
    const EditOutcome out = press({300, 50});
    EXPECT_EQ(out.warning, RegionEditing::kTextPolygonFull);
    EXPECT_EQ(ed.polyPoints.size(), RePolygon::kMaxPoints - 1);
}

TEST_F(EditingTest, AFreehandStrokeOfFivePointsIsDroppedALongerOneIsARegion)
{
    tools.drawTool = kPolygonTool;
    tools.freehandMode = true;
    press({100, 100});
    for (int i = 1; i <= 5; ++i)
        move({100 + 10 * i, 100 + 5 * i});
    release({150, 125});
    EXPECT_EQ(regions(), 0);
    EXPECT_EQ(tools.drawTool, kNoTool);
    EXPECT_TRUE(ed.polyPoints.isEmpty());

    tools.drawTool = kPolygonTool;
    press({100, 100});
    const QPoint stroke[] = {{150, 100}, {200, 120}, {200, 180}, {150, 200}, {110, 180}, {100, 150}};
    for (const QPoint& p : stroke)
        move(p);
    release({100, 150});
    ASSERT_EQ(regions(), 1);
    EXPECT_EQ(record.polygons[kStep][0].count(), 6);
    EXPECT_EQ(tools.drawTool, kNoTool);
}

// --- selecting, moving, resizing ---------------------------------------------

TEST_F(EditingTest, APressInsideSelectsAndMovesOnlyFromThreeFramePixels)
{
    addRect(QRect(QPoint(100, 100), QPoint(200, 180)));
    tools.drawTool = kNoTool;
    ed.DeselectROI(kStep, tools);
    EXPECT_EQ(press({150, 140}).cursor, Qt::SizeAllCursor);
    EXPECT_EQ(ed.selectedRoi, 0);
    EXPECT_EQ(ed.editState, RegionEditing::kMoving);
    move({152, 142});   // two pixels: ignored
    EXPECT_EQ(rectOf(0).topLeft(), QPoint(100, 100));
    move({160, 140});
    EXPECT_EQ(rectOf(0).topLeft(), QPoint(110, 100));
    release({160, 140});
    EXPECT_EQ(ed.editState, RegionEditing::kIdle);
    EXPECT_EQ(record.rects[kStep][0].imageRect, rectOf(0));
    EXPECT_EQ(work.editMasks[kStep][0].cols, rectOf(0).width());
}

TEST_F(EditingTest, ARectangleMovedAgainstTheEdgeKeepsItsSize)
{
    addRect(QRect(QPoint(300, 100), QPoint(380, 150)));
    press({340, 120});
    move({400, 120});
    release({400, 120});
    EXPECT_EQ(rectOf(0), QRect(QPoint(319, 100), QPoint(399, 150)));
}

TEST_F(EditingTest, TheBottomRightHandleResizes)
{
    addRect(QRect(QPoint(100, 100), QPoint(200, 180)));   // stays selected
    press({200, 180});
    EXPECT_EQ(ed.editState, RegionEditing::kResizing);
    EXPECT_EQ(ed.dragHandle, 7);
    move({230, 200});
    release({230, 200});
    EXPECT_EQ(rectOf(0), QRect(QPoint(100, 100), QPoint(230, 200)));
    EXPECT_EQ(work.editMasks[kStep][0].cols, 131);
}

TEST_F(EditingTest, ATapOutsideTheSelectionOnlyDeselectsEvenOnAnotherRegion)
{
    addRect(QRect(QPoint(20, 20), QPoint(80, 80)));
    addRect(QRect(QPoint(200, 150), QPoint(300, 250)));   // region 1 selected
    ed.DeselectROI(kStep, tools);
    press({50, 50});
    release({50, 50});
    ASSERT_EQ(ed.selectedRoi, 0);
    press({250, 200});
    release({250, 200});
    EXPECT_EQ(ed.selectedRoi, -1);
    EXPECT_EQ(ed.lastSelectedRoi, 0);
    EXPECT_FALSE(record.rects[kStep][0].IsSelected());
    press({250, 200});
    release({250, 200});
    EXPECT_EQ(ed.selectedRoi, 1);
}

TEST_F(EditingTest, WholePolygonsMoveAtMostEveryThirtyMillisecondsAndNeverNearTheEdge)
{
    tools.drawTool = kPolygonTool;
    tapPolygon({{100, 100}, {200, 100}, {150, 200}, {100, 100}});
    ASSERT_EQ(regions(), 1);
    const RePolygon& poly = record.polygons[kStep][0];
    ed.TouchPress(Touch{{150, 130}, kStep, kView, 5000}, tools);
    ASSERT_EQ(ed.editState, RegionEditing::kMoving);
    ASSERT_TRUE(ed.polyActive);
    ed.TouchMove(Touch{{160, 130}, kStep, kView, 5040}, tools);
    EXPECT_EQ(poly.pts[0], QPoint(110, 100));
    ed.TouchMove(Touch{{170, 130}, kStep, kView, 5050}, tools);   // 10 ms later: not yet
    EXPECT_EQ(poly.pts[0], QPoint(110, 100));
    ed.TouchMove(Touch{{170, 130}, kStep, kView, 5080}, tools);
    EXPECT_EQ(poly.pts[0], QPoint(120, 100));
    ed.TouchMove(Touch{{170, 40}, kStep, kView, 5200}, tools);   // a vertex would reach y 10 - ok
    EXPECT_EQ(poly.pts[0], QPoint(120, 10));
    ed.TouchMove(Touch{{170, 32}, kStep, kView, 5300}, tools);   // y 2: nothing moves
    EXPECT_EQ(poly.pts[0], QPoint(120, 10));
    ed.TouchRelease(Touch{{170, 32}, kStep, kView, 5400}, tools);
    EXPECT_EQ(poly.imageRect.top(), 10);
}

TEST_F(EditingTest, APolygonVertexIsDraggedByItsHandle)
{
    tools.drawTool = kPolygonTool;
    tapPolygon({{100, 100}, {200, 100}, {150, 200}, {100, 100}});
    press({200, 100});
    EXPECT_EQ(ed.editState, RegionEditing::kResizing);
    EXPECT_EQ(ed.dragHandle, 1);
    move({220, 90});
    release({220, 90});
    EXPECT_EQ(record.polygons[kStep][0].pts[1], QPoint(220, 90));
}

// --- cancel -------------------------------------------------------------------

TEST_F(EditingTest, DeselectingDropsTheToolThePolygonAndTheSelection)
{
    addRect(QRect(QPoint(20, 20), QPoint(80, 80)));
    tools.drawTool = kPolygonTool;
    tapPolygon({{100, 100}, {200, 100}});
    ed.DeselectROI(kStep, tools);
    EXPECT_EQ(tools.drawTool, kNoTool);
    EXPECT_EQ(ed.editState, RegionEditing::kIdle);
    EXPECT_TRUE(ed.polyPoints.isEmpty());
    EXPECT_FALSE(ed.polyActive);
    EXPECT_EQ(ed.selectedRoi, -1);
    EXPECT_FALSE(record.rects[kStep][0].IsSelected());
}

TEST_F(EditingTest, CopyModeAsksForACopyAtThePressPoint)
{
    addRect(QRect(QPoint(20, 20), QPoint(80, 60)));
    tools.copyMode = true;
    EXPECT_TRUE(press({200, 150}).copyAt);
    EXPECT_FALSE(tools.copyMode);
    EXPECT_EQ(ed.CopyArea(kStep, {200, 150}), 0);
    ASSERT_EQ(regions(), 2);
    EXPECT_EQ(rectOf(1), QRect(QPoint(170, 130), QPoint(230, 170)));
    EXPECT_EQ(ed.selectedRoi, 1);
    EXPECT_FALSE(record.rects[kStep][0].IsSelected());
}

// --- parameter panel rules ------------------------------------------------------

TEST_F(EditingTest, FunctionsCycleThroughThoseSwitchedOnWithTheirFirstValues)
{
    para.similarityOn = 1;
    addRect(QRect(QPoint(20, 20), QPoint(80, 60)));
    record.func[kStep][0] = 0;
    record.sensitivity[kStep][0] = 3;
    const int expected[] = {6, 0, 6};
    const int sensitivity[] = {80, 25, 80};
    for (int i = 0; i < 3; ++i) {
        ed.ChangeFunc(kStep);
        EXPECT_EQ(record.func[kStep][0], expected[i]);
        EXPECT_EQ(record.sensitivity[kStep][0], sensitivity[i]);
    }
}

TEST_F(EditingTest, FineAdjustmentMovesTheChosenCorner)
{
    addRect(QRect(QPoint(20, 20), QPoint(80, 60)));
    ed.selectedPart = 1;
    ed.Size(kStep, 3);   // x + 1
    ed.Size(kStep, 2);   // y + 1
    EXPECT_EQ(rectOf(0), QRect(QPoint(20, 20), QPoint(81, 61)));
    EXPECT_EQ(work.editMasks[kStep][0].cols, 62);
}

TEST_F(EditingTest, MovingAllRegionsStopsAtAPolygonNearTheEdge)
{
    addRect(QRect(QPoint(20, 20), QPoint(80, 60)));
    tools.drawTool = kPolygonTool;
    tapPolygon({{100, 3}, {200, 50}, {150, 80}, {100, 3}});
    addRect(QRect(QPoint(200, 200), QPoint(250, 250)));
    ed.moveMode = 2;
    EXPECT_FALSE(ed.MoveRegions(kStep, 0, -1, kView));
    EXPECT_EQ(rectOf(0).top(), 19);     // moved before the polygon
    EXPECT_EQ(rectOf(2).top(), 200);    // not reached
}

TEST_F(EditingTest, RestoringMasksLeavesTheCopiedMouldStep)
{
    para.machineType = 0;
    para.mouldAsProduct = 1;
    para.detectOn[0] = 1;
    const cv::Mat edited(4, 4, CV_8UC1, cv::Scalar(255));
    const cv::Mat live(2, 2, CV_8UC1, cv::Scalar(255));
    work.editMasks[0][0] = edited;
    work.editMasks[1][0] = edited;
    work.liveMasks[1][0] = live;
    ed.RestorMask();
    EXPECT_EQ(work.liveMasks[0][0].data, edited.data);
    EXPECT_EQ(work.liveMasks[1][0].data, live.data);
    ed.BackMask();
    EXPECT_EQ(work.editMasks[1][0].data, live.data);
}

}  // namespace
