// Colour conversions, moving and turning frames back into the template's
// position, and the region box helpers of the engine.

#include "inspection/imagehelpers.h"
#include "inspection/regionbox.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

struct ColourCase {
    uint32_t rgba;
    int grey;
    int hue;
};

// 0xffRRGGBB; BT.601 luma; full-range hue (0..255 for 0..360 degrees).
const ColourCase kColours[] = {
    {0xffffffffu, 255, 0}, {0xff000000u, 0, 0}, {0xffff0000u, 76, 0}, {0xff00ff00u, 150, 85},
    {0xff0000ffu, 29, 171}, {0xffffff00u, 226, 43}, {0xff808080u, 128, 0}, {0xff336699u, 93, 149},
};

TEST(ColourHelpers, GreyAndHueOfRgbaPixels)
{
    std::vector<int> rgba;
    for (const ColourCase& c : kColours)
        rgba.push_back(static_cast<int>(c.rgba));
    const int n = static_cast<int>(rgba.size());
    std::vector<uchar> grey(n), hue(n);
    RGBA2Gray(grey.data(), rgba.data(), n, 1);
    RGBA2Hue(hue.data(), rgba.data(), n, 1);
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(grey[i], kColours[i].grey) << std::hex << kColours[i].rgba;
        EXPECT_EQ(hue[i], kColours[i].hue) << std::hex << kColours[i].rgba;
    }
}

TEST(ColourHelpers, PackedRgbAndGreyBecomeRgba)
{
    const uchar rgb[] = {0x12, 0x34, 0x56, 0xff, 0x00, 0x80};
    int rgba[2] = {};
    RGB2RGBA(reinterpret_cast<uchar*>(rgba), rgb, 2, 1);
    EXPECT_EQ(static_cast<uint32_t>(rgba[0]), 0xff123456u);
    EXPECT_EQ(static_cast<uint32_t>(rgba[1]), 0xffff0080u);

    std::vector<uchar> grey(256);
    for (int g = 0; g < 256; ++g)
        grey[g] = static_cast<uchar>(g);
    std::vector<int> out(256);
    Gray2RGBA(grey.data(), out.data(), 16, 16);
    EXPECT_EQ(static_cast<uint32_t>(out[0x7f]), 0xff7f7f7fu);
    EXPECT_EQ(static_cast<uint32_t>(out[0]), 0xff000000u);
    std::vector<uchar> back(256);
    RGBA2Gray(back.data(), out.data(), 16, 16);
    EXPECT_EQ(back, grey);
}

cv::Mat ramp(int w, int h)
{
    cv::Mat m(h, w, CV_8UC1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            m.at<uchar>(y, x) = static_cast<uchar>(10 * y + x);
    return m;
}

TEST(MoveImage, TakesEachPixelFromItsShiftedPlaceRepeatingTheEdge)
{
    const cv::Mat src = ramp(6, 5);
    const cv::Point shifts[] = {{0, 0}, {2, 0}, {-1, 2}, {5, -4}, {100, -100}, {-7, 9}};
    for (const cv::Point& d : shifts) {
        cv::Mat dst(src.size(), CV_8UC1, cv::Scalar(0));
        const uchar* buffer = dst.data;
        MoveImage(src, dst, d.x, d.y);
        EXPECT_EQ(dst.data, buffer) << "written in place";
        for (int y = 0; y < src.rows; ++y) {
            for (int x = 0; x < src.cols; ++x) {
                const int sx = std::clamp(x + d.x, 0, src.cols - 1);
                const int sy = std::clamp(y + d.y, 0, src.rows - 1);
                ASSERT_EQ(dst.at<uchar>(y, x), src.at<uchar>(sy, sx)) << d << " at " << x << "," << y;
            }
        }
    }
    cv::Mat same = src.clone();
    MoveImage(same, same, 1, 1);
    EXPECT_EQ(same.at<uchar>(0, 0), src.at<uchar>(1, 1));
}

TEST(TransformImage, ShiftAloneEqualsMoveImage)
{
    const cv::Mat src = ramp(9, 7);
    cv::Mat moved, turned;
    MoveImage(src, moved, 2, -1);
    TransformImage(src, turned, cv::Point(2, -1), cv::Point(4, 3), 0.0);
    EXPECT_EQ(cv::norm(moved, turned, cv::NORM_INF), 0.0);
}

TEST(TransformImage, QuarterTurnMapsPixelsExactly)
{
    const cv::Mat src = ramp(5, 5);
    cv::Mat dst;
    TransformImage(src, dst, cv::Point(0, 0), cv::Point(2, 2), 90.0);
    // dst(x, y) = src(R (p - c) + c) with R = [0 1; -1 0]: src(y, 4 - x).
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(dst.at<uchar>(y, x), src.at<uchar>(4 - x, y)) << x << "," << y;
}

// Positive angles turn counter-clockwise on the screen, like
// cv::getRotationMatrix2D: a frame turned that way is brought back.
TEST(TransformImage, BringsBackAFrameTurnedAndShifted)
{
    cv::Mat scene(120, 160, CV_8UC1, cv::Scalar(60));
    cv::rectangle(scene, cv::Rect(50, 30, 60, 50), cv::Scalar(200), cv::FILLED);
    cv::circle(scene, cv::Point(70, 50), 8, cv::Scalar(20), cv::FILLED);
    const cv::Point2f centre(80, 55);
    cv::Mat rot = cv::getRotationMatrix2D(centre, 6.0, 1.0);
    rot.at<double>(0, 2) += 5;
    rot.at<double>(1, 2) -= 3;
    cv::Mat turned, back;
    cv::warpAffine(scene, turned, rot, scene.size(), cv::INTER_LINEAR, cv::BORDER_REPLICATE);
    TransformImage(turned, back, cv::Point(5, -3), cv::Point(80, 55), 6.0);
    const cv::Rect inner(30, 20, 100, 80);
    cv::Mat diff;
    cv::absdiff(back(inner), scene(inner), diff);
    EXPECT_LT(cv::mean(diff)[0], 2.0);
    TransformImage(turned, back, cv::Point(5, -3), cv::Point(80, 55), -6.0);
    cv::absdiff(back(inner), scene(inner), diff);
    EXPECT_GT(cv::mean(diff)[0], 5.0);
}

TEST(RegionBox, BoxesAreCutToTheFrameWithTheirMasks)
{
    cv::Mat mask(4, 6, CV_8UC1);
    for (int i = 0; i < 24; ++i)
        mask.data[i] = static_cast<uchar>(i + 1);
    const cv::Size frame(20, 10);
    struct Case {
        cv::Rect box;
        cv::Size maskSize;
        RegionClip result;
        cv::Rect clipped;
    } cases[] = {
        {{2, 3, 6, 4}, {6, 4}, kRegionInFrame, {2, 3, 6, 4}},
        {{17, 1, 6, 4}, {6, 4}, kRegionInFrame, {17, 1, 3, 4}},
        {{-2, -1, 6, 4}, {6, 4}, kRegionInFrame, {0, 0, 4, 3}},
        {{16, 8, 6, 4}, {6, 4}, kRegionInFrame, {16, 8, 4, 2}},
        {{20, 3, 6, 4}, {6, 4}, kRegionBoxEmpty, {}},
        {{-6, 3, 6, 4}, {6, 4}, kRegionBoxEmpty, {}},
        {{2, 3, 5, 4}, {6, 4}, kRegionMaskError, {}},
        {{2, 3, 0, 4}, {0, 0}, kRegionMaskError, {}},
    };
    for (const Case& c : cases) {
        const cv::Mat m = c.maskSize == mask.size() ? mask : cv::Mat();
        cv::Rect clipped;
        cv::Mat part;
        ASSERT_EQ(ClipRegionToFrame(c.box, m, frame, &clipped, &part), c.result) << c.box;
        if (c.result != kRegionInFrame)
            continue;
        EXPECT_EQ(clipped, c.clipped);
        ASSERT_EQ(part.size(), clipped.size());
        const cv::Point offset = clipped.tl() - c.box.tl();
        EXPECT_EQ(part.at<uchar>(0, 0), mask.at<uchar>(offset.y, offset.x));
    }
    EXPECT_EQ(RegionBox(QRect(QPoint(37, 52), QPoint(74, 104))), cv::Rect(37, 52, 38, 53));
}

TEST(RegionBox, DefaultPositionRectangleIsCentredHalfSize)
{
    EXPECT_EQ(DefaultPositionRect(1280, 1024), cv::Rect(320, 256, 640, 512));
    EXPECT_EQ(DefaultPositionRect(2592, 1944), cv::Rect(648, 486, 1296, 972));
    EXPECT_EQ(DefaultPositionRect(1725, 982), cv::Rect(431, 245, 862, 491));
}

TEST(RegionBox, KernelsAreAtLeastOnePixel)
{
    const struct {
        int k, side;
    } cases[] = {{-3, 1}, {0, 1}, {1, 1}, {5, 5}};
    for (const auto& c : cases)
        EXPECT_EQ(EllipseKernel(c.k).size(), cv::Size(c.side, c.side)) << c.k;
}

}  // namespace
