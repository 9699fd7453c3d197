// The change log of the region editor's save: one line per changed, added
// or deleted region, by field and detection function, with the step and
// camera head, in the language in force.

#include "screen/regionchangelog.h"

#include "core/texttable.h"
#include "inspection/cammersingleton.h"
#include "inspection/regionjudge.h"

#include "tests/common/testsupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Edit = std::function<void(CammerSingleton&)>;

// Step 0: a defect rectangle, a spot rectangle (grey 20..200), a position
// rectangle and an ignore-area circle; step 1: a defect polygon.
CammerSingleton baseRecord()
{
    CammerSingleton r(0);
    const auto rect = [&](int i, int func, int a, int b, int c) {
        r.roiType[0][i] = kRoiRect;
        r.rects[0][i].rect = QRect(QPoint(10 + 100 * i, 10), QPoint(60 + 100 * i, 60));
        r.func[0][i] = func;
        r.minWH[0][i] = a;
        r.sensitivity[0][i] = b;
        r.area[0][i] = c;
    };
    rect(0, kFuncDefect, 3, 25, 100);
    rect(1, kFuncSpot, (200 << 8) | 20, 5, 500);
    rect(2, kFuncPosition, 60, 4, 70);
    r.roiType[0][3] = kRoiCircle;
    r.circles[0][3].cx = 500;
    r.circles[0][3].cy = 300;
    r.circles[0][3].r = 40;
    r.func[0][3] = kFuncIgnoreArea;
    r.roiNum[0] = 4;
    const QPoint points[] = {{100, 100}, {300, 120}, {200, 300}};
    r.polygons[1][0].setPoints(3, points);
    r.roiType[1][0] = kRoiPolygon;
    r.func[1][0] = kFuncDefect;
    r.minWH[1][0] = 3;
    r.sensitivity[1][0] = 25;
    r.area[1][0] = 100;
    r.roiNum[1] = 1;
    return r;
}

// Region 4 of step 0 added with the given function and parameters.
Edit added(int type, int func, int a, int b, int c)
{
    return [=](CammerSingleton& r) {
        r.roiType[0][4] = type;
        r.rects[0][4].rect = QRect(600, 400, 50, 50);
        const QPoint points[] = {{600, 400}, {700, 400}, {650, 480}};
        r.polygons[0][4].setPoints(3, points);
        r.func[0][4] = func;
        r.minWH[0][4] = a;
        r.sensitivity[0][4] = b;
        r.area[0][4] = c;
        r.roiNum[0] = 5;
    };
}

struct Case {
    const char* name;
    Edit edit;
    QStringList lines;
};

const QString kProd = QStringLiteral("Detection Prod of camera 1 ");

class ChangeLog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Data_Init();
        keepLan = gLan;
        gLan = 1;
    }
    void TearDown() override { gLan = keepLan; }

    QStringList linesAfter(const Edit& edit, int camera = 0, int steps = 2, int machineType = 0)
    {
        const CammerSingleton live = baseRecord();
        CammerSingleton changed = live;
        edit(changed);
        return RegionChangeLog(live, changed, camera, steps, machineType).lines;
    }
    int keepLan = 1;
};

TEST_F(ChangeLog, OneLinePerChangedFieldByFunction)
{
    const Case cases[] = {
        {"nothing changed", [](CammerSingleton&) {}, {}},
        {"defect sensitivity", [](CammerSingleton& r) { r.sensitivity[0][0] = 30; },
         {kProd + "Changed the rectangular  area 1, The function is Defect detection, Changing the sensitivity  from 25 to 30"}},
        {"defect area and filter size",
         [](CammerSingleton& r) {
             r.area[0][0] = 120;
             r.minWH[0][0] = 4;
         },
         {kProd + "Changed the rectangular  area 1, The function is Defect detection, Changing the area  from 100 to 120"
                  ", Changing the minimun size from 3 to 4"}},
        {"rectangle moved", [](CammerSingleton& r) { r.rects[0][0].rect.translate(5, 0); },
         {kProd + "Changed the rectangular  area 1, The function is Defect detection,Detection position has been modified"}},
        {"rectangle moved and sensitivity",
         [](CammerSingleton& r) {
             r.rects[0][0].rect.setRight(70);
             r.sensitivity[0][0] = 20;
         },
         {kProd + "Changed the rectangular  area 1, The function is Defect detection, Changing the sensitivity  from 25 to 20"
                  ",Detection position has been modified"}},
        {"rectangle became a circle", [](CammerSingleton& r) { r.roiType[0][0] = kRoiCircle; },
         {kProd + "Changed the circle area 1, The function is Defect detection,Detection position has been modified"}},
        {"spot minimum grey (low byte)", [](CammerSingleton& r) { r.minWH[0][1] = (200 << 8) | 30; },
         {kProd + "Changed the rectangular  area 2, The function is Spot detection , Changing the minimum gradation from 20 to 30"}},
        {"spot maximum grey (second byte)", [](CammerSingleton& r) { r.minWH[0][1] = (180 << 8) | 20; },
         {kProd + "Changed the rectangular  area 2, The function is Spot detection ，Changing the maximum gradation from 200 to 180"}},
        {"spot areas",
         [](CammerSingleton& r) {
             r.sensitivity[0][1] = 6;
             r.area[0][1] = 400;
         },
         {kProd + "Changed the rectangular  area 2, The function is Spot detection ，Changing the minimum area from 5 to 6"
                  ", Changing the maximum area from 500 to 400"}},
        {"position accuracy, least match, speed",
         [](CammerSingleton& r) {
             r.sensitivity[0][2] = 6;
             r.area[0][2] = 80;
             r.minWH[0][2] = 50;
         },
         {kProd + "Changed the rectangular  area 3, The function is Target positioning , Changing the positioning accuracy "
                  "from 4 to 6, Changing the least match from 70 to 80, Changing the search speed from 60 to 50"}},
        {"ignore-area parameters alone", [](CammerSingleton& r) { r.sensitivity[0][3] = 9; }, {}},
        {"ignore-area circle grown", [](CammerSingleton& r) { r.circles[0][3].r = 50; },
         {kProd + "Changed the circle area 4, The function is Ignore Area,Detection position has been modified"}},
        {"function alone", [](CammerSingleton& r) { r.func[0][0] = kFuncSpot; }, {}},
        {"function and a value",
         [](CammerSingleton& r) {
             r.func[0][0] = kFuncSpot;
             r.sensitivity[0][0] = 30;
         },
         {kProd + "Changed the rectangular  area 1, Changing the function from Defectto Spot detection ，Changing the minimum "
                  "area from 25 to 30"}},
        {"NG output alone", [](CammerSingleton& r) { r.outN[0] = 2; }, {}},
        {"defect added", added(kRoiRect, kFuncDefect, 3, 25, 100),
         {kProd + "Added rectangular  area 5, function is Defect Detection,the sensitivity is 25,, the filter size is 3, the "
                  "alarm area is 100"}},
        {"spot added", added(kRoiRect, kFuncSpot, (200 << 8) | 20, 5, 500),
         {kProd + "Added rectangular  area 5, function is Spot Detection, the minimum gradation is 20,the maximum gradation "
                  "is 200, the minimum area is 5,the maximum area is 500"}},
        {"position added", added(kRoiRect, kFuncPosition, 60, 4, 70),
         {kProd + "Added rectangular  area 5, function is Target Position,the search speed is 60, the positioning accuracy "
                  "is 4, the least match is 70"}},
        {"ignore polygon added", added(kRoiPolygon, kFuncIgnoreArea, 1, 2, 3),
         {kProd + "Added Polygon area 5, function is Ignore Area"}},
        {"last two deleted", [](CammerSingleton& r) { r.roiNum[0] = 2; },
         {kProd + "Deleted rectangular  area 3, function is Position",
          kProd + "Deleted circle area 4, function is Ignore Area"}},
        {"mould step polygon vertex moved", [](CammerSingleton& r) { r.polygons[1][0].pts[2] = QPoint(210, 300); },
         {"Detection Mold of camera 1 Changed the Polygon area 1, The function is Defect detection,Detection position "
          "has been modified"}},
        {"both steps",
         [](CammerSingleton& r) {
             r.roiNum[1] = 0;
             r.area[0][0] = 99;
         },
         {kProd + "Changed the rectangular  area 1, The function is Defect detection, Changing the area  from 100 to 99",
          "Detection Mold of camera 1 Deleted Polygon area 1, function is Defect"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(linesAfter(c.edit), c.lines) << c.name;
}

TEST_F(ChangeLog, HeadNamesTheCameraAndTheStepByMachineType)
{
    const Edit mouldStep = [](CammerSingleton& r) { r.area[1][0] = 7; };
    const QString text = "Changed the Polygon area 1, The function is Defect detection, Changing the area  from 100 to 7";
    EXPECT_EQ(linesAfter(mouldStep, 2), QStringList("Detection Mold of camera 3 " + text));
    EXPECT_EQ(linesAfter(mouldStep, 0, 2, 1), QStringList("Detection Left mold of camera 1 " + text));
    EXPECT_EQ(linesAfter(mouldStep, 0, 2, 4), QStringList("Detection 2nd of camera 1 " + text));
    // Steps beyond those in use are not written.
    EXPECT_TRUE(linesAfter(mouldStep, 0, 1).isEmpty());
}

TEST_F(ChangeLog, LinesInTheLanguageInForce)
{
    const Edit sensitivity = [](CammerSingleton& r) { r.sensitivity[0][0] = 30; };
    const Edit deleted = [](CammerSingleton& r) { r.roiNum[1] = 0; };
    gLan = 0;
    EXPECT_EQ(linesAfter(sensitivity), QStringList("相机1产品检测：修改矩形区域1，功能为缺陷检测，灵敏度由25改为30"));
    EXPECT_EQ(linesAfter(deleted), QStringList("相机1模具检测：删除多边形区域1，功能为缺陷检测"));
    gLan = 2;
    EXPECT_EQ(linesAfter(sensitivity), QStringList("相機1產品檢測：修改矩形區域1，功能為缺陷檢測，靈敏度由25改為30"));
    EXPECT_EQ(linesAfter(deleted), QStringList("相機1模具檢測：刪除多邊形區域1，功能為缺陷檢測"));
}

TEST_F(ChangeLog, APositionRegionComparedAddedOrDeletedAsksForANewModel)
{
    const auto touched = [](const CammerSingleton& live, const Edit& edit) {
        CammerSingleton changed = live;
        edit(changed);
        return RegionChangeLog(live, changed, 0, 2, 0).positionTouched;
    };
    CammerSingleton withoutPosition = baseRecord();
    withoutPosition.func[0][2] = kFuncDefect;
    EXPECT_FALSE(touched(withoutPosition, [](CammerSingleton& r) { r.area[0][0] = 1; }));
    EXPECT_TRUE(touched(withoutPosition, [](CammerSingleton& r) { r.func[0][2] = kFuncPosition; }));
    EXPECT_TRUE(touched(withoutPosition, added(kRoiRect, kFuncPosition, 1, 1, 1)));
    // Present in both and unchanged: renewed all the same.
    EXPECT_TRUE(touched(baseRecord(), [](CammerSingleton& r) { r.area[0][0] = 1; }));
    EXPECT_TRUE(touched(baseRecord(), [](CammerSingleton& r) { r.roiNum[0] = 2; }));
}

TEST(RecordsDiffer, WhateverIsStoredCounts)
{
    const CammerSingleton live = baseRecord();
    const std::pair<const char*, Edit> cases[] = {
        {"parameter", [](CammerSingleton& r) { r.minWH[0][1] += 1; }},
        {"function alone", [](CammerSingleton& r) { r.func[0][0] = kFuncSpot; }},
        {"NG output", [](CammerSingleton& r) { r.outN[3] = 1; }},
        {"step flag", [](CammerSingleton& r) { r.detectFlag[1][7] = 1; }},
        {"region count", [](CammerSingleton& r) { r.roiNum[5] = 1; }},
        {"polygon vertex", [](CammerSingleton& r) { r.polygons[1][0].pts[0] += QPoint(1, 0); }},
    };
    for (const auto& c : cases) {
        CammerSingleton changed = live;
        c.second(changed);
        EXPECT_TRUE(RecordsDiffer(live, changed)) << c.first;
    }
    CammerSingleton same = live;
    same.rects[0][0].SetSelected(true);   // a selection is not stored
    same.minWH[0][20] = 99;               // nor a region beyond the count
    EXPECT_FALSE(RecordsDiffer(live, same));
}

}  // namespace
