// Frame buffers that are shared are never written in place: a writer first
// detaches its frame, getting a buffer nobody else holds, and the pool's
// buffers are reused once released, so that memory stays flat.

#include "inspection/framepool.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include <set>

namespace {

constexpr int kW = 32;
constexpr int kH = 24;

TEST(FramePool, AFrameNobodyElseHoldsKeepsItsBufferAndPixels)
{
    FramePool pool;
    cv::Mat frame(kH, kW, CV_8UC1, cv::Scalar(5));
    const uchar* before = frame.data;
    pool.Detach(frame);
    EXPECT_EQ(frame.data, before);
    EXPECT_EQ(frame.at<uchar>(3, 3), 5);
    EXPECT_FALSE(pool.Shared(frame));

    cv::Mat empty;
    pool.Detach(empty);
    EXPECT_TRUE(empty.empty());
}

// Another holder's pixels stay as they were whatever the writer writes, in
// grey and in colour.
TEST(FramePool, ASharedFrameGetsABufferOfItsOwnOfTheSameSizeAndType)
{
    for (int type : {CV_8UC1, CV_8UC4}) {
        FramePool pool;
        cv::Mat frame(kH, kW, type, cv::Scalar::all(5));
        const cv::Mat held = frame;   // the frame on show, a picture in preparation
        EXPECT_TRUE(pool.Shared(frame));
        pool.Detach(frame);
        EXPECT_NE(frame.data, held.data);
        EXPECT_EQ(frame.size(), held.size());
        EXPECT_EQ(frame.type(), type);
        EXPECT_FALSE(pool.Shared(frame));
        frame.setTo(cv::Scalar::all(200));
        EXPECT_EQ(cv::countNonZero(held.reshape(1) != 5), 0) << "type " << type;
    }
}

// The newest frame goes on show shared and the next is written while the
// frame on show, and maybe a picture in preparation, still hold the one
// before: the pool's buffers take turns.
TEST(FramePool, BuffersAreReusedOnceReleasedSoMemoryStaysFlat)
{
    struct Case {
        bool pictureHolds;   // a picture in preparation holds the frame shown before
        size_t buffers;      // at most, besides the first frame's own
    };
    for (const Case& c : {Case{false, 2}, Case{true, FramePool::kBuffers}}) {
        FramePool pool;
        cv::Mat raw(kH, kW, CV_8UC1, cv::Scalar(0));
        const uchar* first = raw.data;
        cv::Mat shown = raw, picture;
        std::set<const uchar*> buffers;
        for (int frame = 1; frame <= 20; ++frame) {
            if (c.pictureHolds)
                picture = shown;
            pool.Detach(raw);
            raw.setTo(frame);
            EXPECT_EQ(shown.at<uchar>(0, 0), frame - 1);
            if (raw.data != first)
                buffers.insert(raw.data);
            shown = raw;
        }
        EXPECT_LE(buffers.size(), c.buffers) << "picture holds " << c.pictureHolds;
    }
}

// With every pool buffer held elsewhere the writer still gets a buffer of
// its own.
TEST(FramePool, EveryBufferHeldStillGivesAnUnsharedOne)
{
    FramePool pool;
    cv::Mat frame(kH, kW, CV_8UC1, cv::Scalar(1));
    std::vector<std::pair<cv::Mat, int>> holders;
    for (int value = 1; value <= int(FramePool::kBuffers) + 2; ++value) {
        holders.emplace_back(frame, value);
        pool.Detach(frame);
        EXPECT_FALSE(pool.Shared(frame));
        frame.setTo(value + 1);
    }
    for (const auto& [held, value] : holders)
        EXPECT_EQ(held.at<uchar>(0, 0), value);
}

}  // namespace
