// Region shapes: masks, touch handles, hit tests, resizing and drawing.

#include "framescale.h"

#include "inspection/circle.h"
#include "inspection/polygon.h"
#include "inspection/rect.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <vector>

namespace {

QRect corners(int x1, int y1, int x2, int y2)
{
    QRect r;
    r.setCoords(x1, y1, x2, y2);
    return r;
}

struct HandleCase {
    QPoint p;
    int handle;
};

template <class Shape>
void expectHandles(const Shape& shape, const std::vector<HandleCase>& cases)
{
    for (const HandleCase& c : cases) {
        int handle = 99;
        EXPECT_EQ(shape.PtInCtrl(c.p, &handle), c.handle >= 0) << c.p.x() << "," << c.p.y();
        EXPECT_EQ(handle, c.handle) << c.p.x() << "," << c.p.y();
    }
}

// ---------------------------------------------------------------- rectangle

ClustomRect selectedRect()
{
    ClustomRect r;
    r.rect = corners(100, 100, 300, 200);
    r.SetSelected(true);
    return r;
}

TEST(ClustomRect, HandlesCornersFirstThenEdges)
{
    // Edge tolerance: a quarter of the width (50) for the sides, of the height (25) for top and bottom.
    expectHandles(selectedRect(), {
        {{105, 95}, 0}, {{295, 105}, 2}, {{100, 200}, 5}, {{320, 220}, 7},
        {{150, 150}, 3}, {{340, 150}, 4}, {{200, 80}, 1}, {{200, 220}, 6},
        {{200, 150}, -1}, {{200, 74}, -1}, {{351, 150}, -1}, {{100, 260}, -1},
    });
    ClustomRect unselected = selectedRect();
    unselected.SetSelected(false);
    expectHandles(unselected, {{{100, 100}, -1}});
}

TEST(ClustomRect, ContainsTheRectangleGrownBy20)
{
    const ClustomRect r = selectedRect();
    EXPECT_TRUE(r.Contains(QPoint(80, 80)));
    EXPECT_TRUE(r.Contains(QPoint(320, 220)));
    EXPECT_TRUE(r.Contains(QPoint(200, 150)));
    EXPECT_FALSE(r.Contains(QPoint(79, 150)));
    EXPECT_FALSE(r.Contains(QPoint(200, 221)));
}

TEST(ClustomRect, ResizeMovesTheEdgesOfTheHandle)
{
    struct Case {
        int handle;
        QRect out;
        int dx, dy;   // 7 = left as it was
    } cases[] = {
        {0, corners(105, 97, 300, 200), 5, -3}, {1, corners(100, 97, 300, 200), 7, -3},
        {2, corners(100, 97, 305, 200), 5, -3}, {3, corners(105, 100, 300, 200), 5, 7},
        {4, corners(100, 100, 305, 200), 5, 7}, {5, corners(105, 100, 300, 197), 5, -3},
        {6, corners(100, 100, 300, 197), 7, -3}, {7, corners(100, 100, 305, 197), 5, -3},
        {8, corners(100, 100, 300, 200), 7, 7}, {-1, corners(100, 100, 300, 200), 7, 7},
    };
    for (const Case& c : cases) {
        ClustomRect r = selectedRect();
        r.dx = r.dy = 7;
        r.Resize(c.handle, QPoint(10, 10), QPoint(15, 7));
        EXPECT_EQ(r.rect, c.out) << "handle " << c.handle;
        EXPECT_EQ(r.dx, c.dx) << "handle " << c.handle;
        EXPECT_EQ(r.dy, c.dy) << "handle " << c.handle;
    }
}

TEST(ClustomRect, EmptyFrameRectangleGivesAnEmptyMask)
{
    ClustomRect r;
    r.imageRect = corners(10, 10, 9, 30);
    EXPECT_TRUE(r.UpdateMask().empty());
}

// ---------------------------------------------------------------- circle

Circle circleAt(int cx, int cy, int r, int rIn)
{
    Circle c;
    c.cx = cx;
    c.cy = cy;
    c.r = r;
    c.rIn = rIn;
    c.UpdateRect();
    return c;
}

TEST(Circle, MaskIsTheRingBetweenInnerAndOuterRadius)
{
    struct Case {
        int ir, irIn;
        int row, col;
        int value;
    } cases[] = {
        {10, 0, 10, 10, 255}, {10, 0, 10, 1, 255}, {10, 0, 10, 0, 0},   // d^2 = 100 is outside
        {10, 0, 0, 0, 0}, {10, 0, 3, 3, 255},                          // d^2 = 98
        {10, 5, 10, 10, 0}, {10, 5, 10, 15, 255}, {10, 5, 10, 14, 0},  // inner radius included
        {10, 10, 10, 1, 0},
    };
    for (const Case& c : cases) {
        Circle circle;
        circle.ir = c.ir;
        circle.irIn = c.irIn;
        const cv::Mat mask = circle.UpdateMask();
        ASSERT_EQ(mask.rows, 2 * c.ir);
        ASSERT_EQ(mask.cols, 2 * c.ir);
        EXPECT_EQ(mask.at<uchar>(c.row, c.col), c.value) << c.ir << "/" << c.irIn << " at " << c.row << "," << c.col;
    }
    Circle ring;
    ring.ir = ring.irIn = 10;
    EXPECT_EQ(cv::countNonZero(ring.UpdateMask()), 0);
    Circle none;
    EXPECT_TRUE(none.UpdateMask().empty());
}

TEST(Circle, HandlesOnTheRingBandMirroredFromTheRectangle)
{
    Circle c = circleAt(500, 400, 100, 0);
    c.SetSelected(true);
    expectHandles(c, {
        {{500, 505}, 1}, {{510, 295}, 6}, {{400, 400}, 3}, {{600, 410}, 4},
        {{430, 470}, 0}, {{570, 470}, 2}, {{430, 330}, 5}, {{570, 330}, 7},
        {{500, 400}, -1}, {{500, 579}, -1}, {{500, 520}, 1}, {{500, 521}, -1},
    });
    c.SetSelected(false);
    expectHandles(c, {{{500, 505}, -1}});
}

TEST(Circle, GeometryFollowsCentreRadiusAndBoundingSquare)
{
    Circle c = circleAt(500, 400, 100, 150);
    EXPECT_EQ(c.rect, corners(400, 300, 599, 499));
    EXPECT_EQ(c.rIn, 100);   // held at the outer radius
    c.rIn = -4;
    c.UpdateRect();
    EXPECT_EQ(c.rIn, 0);
    EXPECT_TRUE(c.Contains(QPoint(380, 519)));
    EXPECT_FALSE(c.Contains(QPoint(379, 400)));

    c.Resize(3, QPoint(0, 0), QPoint(560, 480));   // distance 100 from the centre
    EXPECT_EQ(c.r, 100);
    c.Resize(3, QPoint(0, 0), QPoint(571, 471));   // 100.4: truncated
    EXPECT_EQ(c.r, 100);

    c.rect = corners(100, 100, 299, 249);
    c.UpdateAll();
    EXPECT_EQ(c.r, 75);
    EXPECT_EQ(c.cx, 175);
    EXPECT_EQ(c.cy, 175);
    EXPECT_EQ(c.rect, corners(100, 100, 249, 249));
}

// ---------------------------------------------------------------- polygon

QVector<QPoint> poly(std::initializer_list<QPoint> pts)
{
    return QVector<QPoint>(pts);
}

TEST(RePolygon, VertexCountIsCutTo8096)
{
    std::vector<QPoint> many(9000, QPoint(5, 5));
    EXPECT_EQ(RePolygon(9000, many.data()).count(), RePolygon::kMaxPoints);
    EXPECT_EQ(RePolygon(8096, many.data()).count(), 8096);
    EXPECT_EQ(RePolygon(-3, many.data()).count(), 0);
    RePolygon p;
    p.setPoints(8097, many.data());
    EXPECT_EQ(p.count(), 8096);
    EXPECT_EQ(p.ipts.size(), 8096);
}

TEST(RePolygon, MaskHoldsOnlyPointsStrictlyInside)
{
    FrameScale scale(1725, 982);   // display = frame
    const QVector<QPoint> square = poly({{10, 10}, {20, 10}, {20, 20}, {10, 20}});
    RePolygon p(square.size(), square.constData());
    p.setImageRect();
    EXPECT_EQ(p.imageRect, corners(10, 10, 19, 19));
    const cv::Mat mask = p.UpdateMask();
    ASSERT_EQ(mask.rows, 10);
    ASSERT_EQ(mask.cols, 10);
    EXPECT_EQ(cv::countNonZero(mask), 81);
    EXPECT_EQ(cv::countNonZero(mask.row(0)), 0);   // y = 10 is on the outline
    EXPECT_EQ(cv::countNonZero(mask.col(0)), 0);
    EXPECT_EQ(mask.at<uchar>(9, 9), 255);

    const QPoint one[] = {{30, 40}};
    RePolygon single(1, one);
    single.setImageRect();
    EXPECT_EQ(single.imageRect, corners(30, 40, 29, 39));
    EXPECT_EQ(single.rect, corners(10, 20, 29, 39));
    EXPECT_TRUE(single.UpdateMask().empty());
}

// The interior mask agrees with OpenCV's point-in-polygon test (> 0) on
// convex, concave, self-crossing and degenerate outlines.
TEST(RePolygon, InteriorMaskAgreesWithPointPolygonTest)
{
    std::vector<QVector<QPoint>> shapes = {
        poly({{0, 0}, {17, 3}, {5, 14}}),
        poly({{2, 2}, {30, 2}, {30, 30}, {16, 12}, {2, 30}}),                  // concave arrow
        poly({{0, 0}, {20, 20}, {20, 0}, {0, 20}}),                            // bow tie
        poly({{3, 3}, {3, 3}, {25, 4}, {25, 4}, {12, 27}}),                    // repeated vertices
        poly({{0, 10}, {10, 0}, {20, 10}, {10, 20}}),                          // diamond
        poly({{0, 0}, {30, 0}, {30, 10}, {10, 10}, {10, 20}, {30, 20}, {30, 30}, {0, 30}}),
        poly({{5, 5}, {25, 25}}),                                              // a segment
    };
    cv::RNG rng(11);
    for (int k = 0; k < 20; ++k) {
        QVector<QPoint> random;
        for (int i = 0; i < 12; ++i)
            random.push_back(QPoint(rng.uniform(0, 40), rng.uniform(0, 40)));
        shapes.push_back(random);
    }
    for (size_t s = 0; s < shapes.size(); ++s) {
        std::vector<cv::Point> contour;
        for (const QPoint& q : shapes[s])
            contour.emplace_back(q.x(), q.y());
        const QPoint origin(-3, -2);
        const cv::Mat mask = PolygonInteriorMask(shapes[s], origin, 46, 47);
        int differ = 0;
        for (int i = 0; i < mask.rows; ++i) {
            for (int j = 0; j < mask.cols; ++j) {
                const cv::Point2f p(origin.x() + j, origin.y() + i);
                const bool inside = cv::pointPolygonTest(contour, p, false) > 0;
                differ += inside != (mask.at<uchar>(i, j) != 0);
            }
        }
        EXPECT_EQ(differ, 0) << "shape " << s;
    }
}

TEST(RePolygon, HandlesAndHitTests)
{
    const QVector<QPoint> small = poly({{100, 100}, {150, 100}, {150, 150}});
    RePolygon p(small.size(), small.constData());
    p.setImageRect();
    EXPECT_EQ(p.rect, corners(80, 80, 149, 149));
    p.SetSelected(true);
    expectHandles(p, {{{110, 90}, 0}, {{160, 115}, 1}, {{140, 160}, 2}, {{125, 125}, -1}});
    // Under 79 px: picked by the extended rectangle, even outside the outline.
    EXPECT_TRUE(p.Contains(QPoint(85, 145)));
    EXPECT_FALSE(p.Contains(QPoint(79, 100)));

    const QVector<QPoint> big = poly({{100, 100}, {300, 100}, {300, 300}, {100, 300}});
    RePolygon q(big.size(), big.constData());
    q.setImageRect();
    EXPECT_TRUE(q.Contains(QPoint(200, 200)));
    EXPECT_FALSE(q.Contains(QPoint(90, 90)));
    EXPECT_FALSE(q.Contains(QPoint(100, 200)));   // on the outline
}

TEST(RePolygon, VertexMoveStopsTwoPixelsFromTheDisplayEdge)
{
    struct Case {
        QPoint start, move;
        QPoint end;
    } cases[] = {
        {{10, 10}, {-7, 0}, {3, 10}}, {{10, 10}, {-8, 0}, {10, 10}},
        {{10, 10}, {0, -8}, {10, 10}}, {{1700, 900}, {22, 0}, {1722, 900}},
        {{1700, 900}, {23, 0}, {1700, 900}}, {{1700, 900}, {0, 80}, {1700, 900}},
    };
    for (const Case& c : cases) {
        const QPoint pts[] = {c.start, {500, 500}};
        RePolygon p(2, pts);
        p.Resize(0, QPoint(0, 0), c.move, 2.0f, 0.5f);
        EXPECT_EQ(p.pts[0], c.end) << c.start.x() << "," << c.start.y() << " by " << c.move.x() << "," << c.move.y();
        EXPECT_EQ(p.dx, c.move.x());
        if (p.pts[0] != c.start) {
            EXPECT_EQ(p.ipts[0], QPoint(qRound(c.end.x() / 2.0), c.end.y() * 2));
        }
    }
    const QPoint pts[] = {{10, 10}};
    RePolygon p(1, pts);
    p.Resize(5, QPoint(0, 0), QPoint(3, 3), 1.0f, 1.0f);   // no such vertex
    EXPECT_EQ(p.pts[0], QPoint(10, 10));
}

// ---------------------------------------------------------------- drawing

QColor pixel(const QImage& img, int x, int y)
{
    return img.pixelColor(x, y);
}

TEST(ShapeDrawing, PenWidthThreeMagentaWhenSelectedYellowInnerRing)
{
    QImage img(400, 300, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter painter(&img);
    painter.setPen(QPen(Qt::black));
    ClustomRect r;
    r.rect = corners(20, 20, 100, 80);
    r.Draw(painter);
    EXPECT_EQ(painter.pen().width(), 3);
    EXPECT_EQ(pixel(img, 20, 50), QColor(Qt::black));
    EXPECT_EQ(pixel(img, 21, 50), QColor(Qt::black));   // 3 px wide

    r.rect = corners(150, 20, 250, 80);
    r.SetSelected(true);
    r.Draw(painter);
    EXPECT_EQ(pixel(img, 150, 50), QColor(Qt::magenta));

    Circle c = circleAt(300, 200, 60, 20);
    c.Draw(painter);   // outer ring in the painter's pen (magenta left from above), inner yellow
    painter.end();
    EXPECT_EQ(pixel(img, 300, 141), QColor(Qt::magenta));
    EXPECT_EQ(pixel(img, 300, 181), QColor(Qt::yellow));
    EXPECT_EQ(pixel(img, 300, 200), QColor(Qt::white));
}

TEST(ShapeDrawing, PolygonOutline)
{
    QImage img(200, 200, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter painter(&img);
    const QVector<QPoint> tri = poly({{20, 20}, {180, 20}, {100, 180}});
    RePolygon p(tri.size(), tri.constData());
    p.SetSelected(true);
    p.Draw(painter);
    painter.end();
    EXPECT_EQ(pixel(img, 100, 20), QColor(Qt::magenta));
    EXPECT_EQ(pixel(img, 100, 100), QColor(Qt::white));
}

}  // namespace
