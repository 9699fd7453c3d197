// The positioning model: shifts and turns found on small synthetic frames,
// the window origin, the angle's sense, and the cases where nothing is found.

#include "inspection/findshape.h"
#include "inspection/imagehelpers.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <cmath>
#include <thread>

namespace {

constexpr int kW = 320, kH = 240;
const cv::Rect kModel(100, 75, 120, 90);   // the position region
const cv::Point kCentre(kModel.x + kModel.width / 2, kModel.y + kModel.height / 2);

// A mould-like frame: shaded steel with a few moulded parts.
cv::Mat frame()
{
    cv::Mat m(kH, kW, CV_8UC1);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            m.at<uchar>(y, x) = static_cast<uchar>(90 + x / 8 + y / 6);
    cv::rectangle(m, cv::Rect(115, 90, 40, 25), cv::Scalar(210), cv::FILLED);
    cv::circle(m, cv::Point(185, 105), 18, cv::Scalar(30), cv::FILLED);
    const std::vector<cv::Point> tri{{120, 150}, {170, 128}, {160, 158}};
    cv::fillConvexPoly(m, tri, cv::Scalar(180));
    cv::rectangle(m, cv::Rect(190, 135, 22, 22), cv::Scalar(60), cv::FILLED);
    cv::circle(m, cv::Point(40, 40), 15, cv::Scalar(200), cv::FILLED);
    cv::rectangle(m, cv::Rect(250, 170, 40, 30), cv::Scalar(20), cv::FILLED);
    return m;
}

// The frame as the camera sees the mould moved: template point p appears at
// R(angle)(p - centre) + centre + shift.
cv::Mat moved(const cv::Mat& src, const cv::Point2d& shift, double angle, double noise = 0)
{
    cv::Mat out;
    cv::warpAffine(src, out, cv::Mat(TemplateToFrame(shift, kCentre, angle)), src.size(), cv::INTER_LINEAR,
                   cv::BORDER_REPLICATE);
    if (noise > 0) {
        cv::Mat n(out.size(), CV_16S);
        cv::RNG(5).fill(n, cv::RNG::NORMAL, 0, noise);
        cv::Mat sum;
        out.convertTo(sum, CV_16S);
        sum += n;
        sum.convertTo(out, CV_8U);
    }
    return out;
}

FindShape model(int angleRange, int leastMatch = 10)
{
    FindShape f;
    EXPECT_TRUE(f.CreateShape(frame()(kModel), cv::Mat(), angleRange, kCentre, leastMatch));
    return f;
}

TEST(FindShape, ShiftOnlyModelFindsWholePixelShifts)
{
    const FindShape f = model(0);
    ASSERT_TRUE(f.IsValid());
    const cv::Point shifts[] = {{0, 0}, {7, -4}, {-15, 12}, {30, 20}, {-60, -40}};
    for (const cv::Point& s : shifts) {
        int x = 0, y = 0;
        double score = 0, angle = 1;
        ASSERT_TRUE(f.Find(moved(frame(), s, 0, 2.0), cv::Point(0, 0), &x, &y, &score, &angle)) << s;
        EXPECT_EQ(cv::Point(x, y), s);
        EXPECT_EQ(angle, 0.0);
        EXPECT_GT(score, 80.0);
    }
}

TEST(FindShape, ShiftIsCountedFromTheWindowOrigin)
{
    const FindShape f = model(0);
    const cv::Mat image = moved(frame(), cv::Point2d(9, -6), 0);
    const cv::Rect window(60, 40, 200, 170);
    int x = 0, y = 0;
    double score = 0, angle = 0;
    ASSERT_TRUE(f.Find(image(window).clone(), window.tl(), &x, &y, &score, &angle));
    EXPECT_EQ(x - window.x, 9);
    EXPECT_EQ(y - window.y, -6);
}

TEST(FindShape, TurnedPartsAreFoundWithTheirAngle)
{
    const FindShape f = model(10);
    struct Case {
        cv::Point2d shift;
        double angle;
    } cases[] = {{{0, 0}, 3.0}, {{7, -4}, -7.5}, {{-12.4, 5.6}, 9.5}, {{3.5, 8.25}, 0.0}, {{-20, -10}, -2.2}};
    for (const Case& c : cases) {
        const FindShape::Match m = f.Search(moved(frame(), c.shift, c.angle, 2.0), cv::Point(0, 0));
        ASSERT_TRUE(m.found) << c.shift << " " << c.angle;
        EXPECT_LT(cv::norm(m.shift - c.shift), 0.5) << c.shift << " found " << m.shift;
        EXPECT_NEAR(m.angle, c.angle, 0.3) << c.shift;
    }
}

// Positive angles turn counter-clockwise on the screen; the result brings
// the frame back into the template's position.
TEST(FindShape, FoundPoseBringsTheFrameBack)
{
    const FindShape f = model(5);
    const cv::Mat reference = frame();
    const cv::Mat image = moved(reference, cv::Point2d(6, -3), 3.0);
    int x = 0, y = 0;
    double score = 0, angle = 0;
    ASSERT_TRUE(f.Find(image, cv::Point(0, 0), &x, &y, &score, &angle));
    EXPECT_NEAR(angle, 3.0, 0.3);
    cv::Mat back;
    TransformImage(image, back, cv::Point(x, y), kCentre, angle);
    cv::Mat diff;
    cv::absdiff(back(kModel), reference(kModel), diff);
    EXPECT_LT(cv::mean(diff)[0], 2.0);

    cv::Mat shifted = moved(reference, cv::Point2d(7, -4), 0), aligned;
    const FindShape g = model(0);
    ASSERT_TRUE(g.Find(shifted, cv::Point(0, 0), &x, &y, &score, &angle));
    MoveImage(shifted, aligned, x, y);
    cv::absdiff(aligned(kModel), reference(kModel), diff);
    EXPECT_LT(cv::mean(diff)[0], 2.0);
}

TEST(FindShape, LightingChangesDoNotMatter)
{
    const FindShape f = model(10);
    cv::Mat dim;
    moved(frame(), cv::Point2d(4, 4), -4.0).convertTo(dim, -1, 0.6, 30);
    const FindShape::Match m = f.Search(dim, cv::Point(0, 0));
    ASSERT_TRUE(m.found);
    EXPECT_LT(cv::norm(m.shift - cv::Point2d(4, 4)), 0.5);
    EXPECT_NEAR(m.angle, -4.0, 0.3);
}

TEST(FindShape, MaskLimitsTheModel)
{
    // Only the left half is the model; the right half changes in the frame.
    cv::Mat mask(kModel.size(), CV_8UC1, cv::Scalar(0));
    mask.colRange(0, kModel.width / 2).setTo(255);
    FindShape f;
    ASSERT_TRUE(f.CreateShape(frame()(kModel), mask, 0, kCentre, 10));
    cv::Mat image = moved(frame(), cv::Point2d(-5, 8), 0);
    cv::rectangle(image, cv::Rect(170, 70, 60, 100), cv::Scalar(120), cv::FILLED);
    int x = 0, y = 0;
    double score = 0, angle = 0;
    ASSERT_TRUE(f.Find(image, cv::Point(0, 0), &x, &y, &score, &angle));
    EXPECT_EQ(cv::Point(x, y), cv::Point(-5, 8));
}

TEST(FindShape, NothingFoundOrNothingToFind)
{
    const FindShape f = model(0, 50);
    int x = 0, y = 0;
    double score = 0, angle = 0;
    EXPECT_FALSE(f.Find(cv::Mat(kH, kW, CV_8UC1, cv::Scalar(128)), cv::Point(0, 0), &x, &y, &score, &angle));
    EXPECT_LT(score, 50.0);
    EXPECT_FALSE(f.Find(cv::Mat(), cv::Point(3, 4), &x, &y, &score, &angle));
    EXPECT_EQ(cv::Point(x, y), cv::Point(3, 4));   // no shift
    EXPECT_FALSE(f.Find(cv::Mat(kH, kW, CV_8UC3), cv::Point(0, 0), &x, &y, &score, &angle));

    FindShape blank;
    EXPECT_FALSE(blank.IsValid());
    EXPECT_FALSE(blank.CreateShape(cv::Mat(90, 120, CV_8UC1, cv::Scalar(255)), cv::Mat(), 0, kCentre, 5));
    EXPECT_FALSE(blank.IsValid());
    EXPECT_FALSE(blank.Find(frame(), cv::Point(0, 0), &x, &y, &score, &angle));

    FindShape cleared = model(0);
    cleared.Clear();
    EXPECT_FALSE(cleared.IsValid());
}

TEST(FindShape, FullTurnRangeWrapsTheAngle)
{
    const FindShape f = model(180);
    for (double angle : {150.0, -170.0, 179.5, -90.0}) {
        const FindShape::Match m = f.Search(moved(frame(), cv::Point2d(3, -2), angle, 2.0), cv::Point(0, 0));
        ASSERT_TRUE(m.found) << angle;
        EXPECT_GT(m.angle, -180.0);
        EXPECT_LE(m.angle, 180.0);
        const double off = std::remainder(m.angle - angle, 360.0);
        EXPECT_LT(std::abs(off), 0.3) << angle << " found " << m.angle;
        EXPECT_LT(cv::norm(m.shift - cv::Point2d(3, -2)), 0.5) << angle;
    }
}

TEST(FindShape, TinyWindowsAreHandled)
{
    const FindShape f = model(10);
    const cv::Mat image = frame();
    for (const cv::Rect& r : {cv::Rect(150, 100, 1, 1), cv::Rect(150, 100, 3, 2), cv::Rect(0, 0, 9, 40)}) {
        const FindShape::Match m = f.Search(image(r), r.tl());
        EXPECT_LT(m.score, 50.0) << r;
    }
}

TEST(FindShape, SmallWindowStillSearched)
{
    const FindShape f = model(0);
    const cv::Mat image = moved(frame(), cv::Point2d(2, -1), 0);
    const cv::Rect window(kModel.x - 4, kModel.y - 4, kModel.width + 8, kModel.height + 8);
    int x = 0, y = 0;
    double score = 0, angle = 0;
    ASSERT_TRUE(f.Find(image(window), window.tl(), &x, &y, &score, &angle));
    EXPECT_EQ(cv::Point(x - window.x, y - window.y), cv::Point(2, -1));
}

}  // namespace

// A search keeps its working images from one call to the next: the result
// of a search does not depend on what was searched before it, nor on the
// thread it runs on.
TEST(FindShape, SearchesDoNotDependOnWhatWasSearchedBefore)
{
    const FindShape shifted = model(0), turned = model(20);
    const cv::Mat image = moved(frame(), cv::Point2d(4, -3), 6, 2.0);
    const std::vector<cv::Rect> windows{cv::Rect(0, 0, kW, kH), cv::Rect(60, 40, 220, 170),
                                        cv::Rect(kW - 200, 0, 200, kH), cv::Rect(90, 60, 150, 120)};
    auto searchAll = [&] {
        std::vector<double> seen;
        for (const FindShape* f : {&shifted, &turned}) {
            for (const cv::Rect& w : windows) {
                const FindShape::Match m = f->Search(image(w), w.tl());
                seen.insert(seen.end(), {double(m.found), m.score, m.angle, m.shift.x, m.shift.y});
            }
        }
        return seen;
    };
    const std::vector<double> first = searchAll();
    EXPECT_EQ(searchAll(), first);
    std::vector<double> onAnotherThread;
    std::thread([&] { onAnotherThread = searchAll(); }).join();
    EXPECT_EQ(onAnotherThread, first);
    // One window searched alone gives what it gave among the others.
    const FindShape::Match alone = turned.Search(image(windows[3]), windows[3].tl());
    EXPECT_EQ(alone.score, first[first.size() - 4]);
    EXPECT_EQ(alone.shift.x, first[first.size() - 2]);
}
