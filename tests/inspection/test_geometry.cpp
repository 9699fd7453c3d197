// Display-area clamps, the "near" tests of the touch handles and the
// display-to-frame conversion of the three shapes.

#include "framescale.h"

#include "inspection/circle.h"
#include "inspection/geometry.h"
#include "inspection/polygon.h"
#include "inspection/rect.h"

#include <QRect>
#include <gtest/gtest.h>
#include <opencv2/core.hpp>

namespace {

QRect corners(int x1, int y1, int x2, int y2)
{
    QRect r;
    r.setCoords(x1, y1, x2, y2);
    return r;
}

TEST(CheckInRange, ClampsOneCoordinateIntoTheDisplay)
{
    struct Case {
        int axis, in, out;
    } cases[] = {
        {1, -5, 0}, {1, 0, 0}, {1, 1724, 1724}, {1, 1725, 1724}, {1, 99999, 1724},
        {0, -1, 0}, {0, 500, 500}, {0, 981, 981}, {0, 982, 981},
    };
    for (const Case& c : cases) {
        int v = c.in;
        CheckInRange(&v, c.axis);
        EXPECT_EQ(v, c.out) << "axis " << c.axis << " value " << c.in;
    }
}

TEST(CheckInRange, MovedRectangleKeepsItsSizeResizedOneIsClipped)
{
    struct Case {
        QRect in;
        bool moved;
        QRect out;
    } cases[] = {
        {corners(1700, 10, 1800, 60), true, corners(1624, 10, 1724, 60)},
        {corners(-10, -20, 40, 30), true, corners(0, 0, 50, 50)},
        {corners(100, 950, 200, 1000), true, corners(100, 931, 200, 981)},
        {corners(-10, 0, 1800, 10), true, corners(0, 0, 1724, 10)},   // wider than the display
        {corners(1700, 10, 1800, 60), false, corners(1700, 10, 1724, 60)},
        {corners(-10, -20, 40, 30), false, corners(0, 0, 40, 30)},
        {corners(10, 20, 40, 30), false, corners(10, 20, 40, 30)},
    };
    for (const Case& c : cases) {
        QRect r = c.in;
        CheckInRange(&r, c.moved);
        EXPECT_EQ(r, c.out) << c.in.left() << "," << c.in.top() << " moved " << c.moved;
    }
}

TEST(NearTests, PointAndLineWithinTolerance)
{
    EXPECT_TRUE(PointAround(QPoint(100, 100), QPoint(120, 80), 20));
    EXPECT_FALSE(PointAround(QPoint(100, 100), QPoint(121, 100), 20));
    EXPECT_FALSE(PointAround(QPoint(100, 100), QPoint(100, 79), 20));
    EXPECT_TRUE(LineAround(50, 70, 20));
    EXPECT_TRUE(LineAround(50, 30, 20));
    EXPECT_FALSE(LineAround(50, 71, 20));
    // Edge test: across within tol of the edge, along inside from..to.
    EXPECT_TRUE(LineAround(100, 110, 40, 40, 60, 10));
    EXPECT_TRUE(LineAround(100, 90, 60, 40, 60, 10));
    EXPECT_FALSE(LineAround(100, 111, 50, 40, 60, 10));
    EXPECT_FALSE(LineAround(100, 100, 61, 40, 60, 10));
}

TEST(DisplayToFrame, RoundsToNearestWithTiesToEven)
{
    struct Case {
        int display;
        float scale;
        int image;
    } cases[] = {
        {50, 1.34765625f, 37}, {51, 1.34765625f, 38}, {5, 2.0f, 2}, {7, 2.0f, 4},
        {-5, 2.0f, -2}, {491, 0.958984375f, 512}, {100, 0.0f, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RoundToImage(c.display, c.scale), c.image) << c.display << " / " << c.scale;
}

// The default region (50,50)-(100,100) on the frame sizes of the cameras.
TEST(DisplayToFrame, RectanglePositionAndSizeRoundedSeparately)
{
    struct Case {
        int w, h;
        QRect image;
        int maskRows, maskCols;
    } cases[] = {
        {1280, 1024, corners(37, 52, 74, 104), 53, 38},
        {1920, 1080, corners(56, 55, 112, 110), 56, 57},
        {960, 540, corners(28, 27, 55, 54), 28, 28},
        {1725, 982, corners(50, 50, 100, 100), 51, 51},
    };
    for (const Case& c : cases) {
        FrameScale scale(c.w, c.h);
        ClustomRect r;
        r.rect = corners(50, 50, 100, 100);
        r.setImageRect();
        EXPECT_EQ(r.imageRect, c.image) << c.w << "x" << c.h;
        const cv::Mat mask = r.UpdateMask();
        EXPECT_EQ(mask.rows, c.maskRows);
        EXPECT_EQ(mask.cols, c.maskCols);
        EXPECT_EQ(cv::countNonZero(mask), mask.total());
    }
}

TEST(DisplayToFrame, CircleCentreTruncatedRadiusAveraged)
{
    FrameScale scale(1280, 1024);
    Circle c;
    c.cx = 1425;
    c.cy = 491;
    c.r = 300;
    c.rIn = 100;
    c.UpdateRect();
    c.setImageRect();
    EXPECT_EQ(c.icx, 1057);   // 1057.39
    EXPECT_EQ(c.icy, 512);    // exactly 512
    EXPECT_EQ(c.ir, 268);     // (222.6 + 312.8) / 2 = 267.7
    EXPECT_EQ(c.irIn, 89);    // (74.2 + 104.3) / 2 = 89.2
    // The frame box reaches past column 1279: users of the box clip it.
    EXPECT_EQ(c.imageRect, corners(789, 244, 1324, 779));
}

TEST(DisplayToFrame, PolygonVerticesRounded)
{
    FrameScale scale(1280, 1024);
    const QPoint pts[] = {{100, 200}, {300, 200}, {300, 400}};
    RePolygon p(3, pts);
    p.setImageRect();
    ASSERT_EQ(p.ipts.size(), 3);
    EXPECT_EQ(p.ipts[0], QPoint(74, 209));
    EXPECT_EQ(p.ipts[1], QPoint(223, 209));
    EXPECT_EQ(p.ipts[2], QPoint(223, 417));
    EXPECT_EQ(p.imageRect, corners(74, 209, 222, 416));
}

}  // namespace
