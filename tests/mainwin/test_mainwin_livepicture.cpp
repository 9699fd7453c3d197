// The live picture of a camera view made ready off the GUI thread: the
// same pixels the view's painting drew before (the frame scaled to the view
// nearest pixel, or the whole frame with its marks drawn through the zoom),
// and the repaint slots that bound and spread the views' repaints.

#include "screen/livepicture.h"

#include "inspection/framepool.h"

#include <QPainter>
#include <QThread>
#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include <map>
#include <vector>

namespace {

constexpr int kW = 64;
constexpr int kH = 48;

// A frame whose every pixel differs from its neighbours.
cv::Mat frameOf(bool colour)
{
    cv::Mat frame(kH, kW, colour ? CV_8UC4 : CV_8UC1);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            if (colour)
                frame.at<cv::Vec4b>(y, x) = cv::Vec4b(uchar(x * 4), uchar(y * 5), uchar(x + y), 255);
            else
                frame.at<uchar>(y, x) = uchar(x * 3 + y * 2);
        }
    return frame;
}

QRgb rgbOf(const cv::Mat& frame, int x, int y)
{
    if (frame.type() == CV_8UC1) {
        const int g = frame.at<uchar>(y, x);
        return qRgb(g, g, g);
    }
    const cv::Vec4b p = frame.at<cv::Vec4b>(y, x);
    return qRgb(p[2], p[1], p[0]);
}

// The view's former painting, pixel by pixel: the frame scaled to the view
// by taking the nearest frame pixel (sizes here divide exactly).
QImage formerScaled(const cv::Mat& frame, const QSize& view)
{
    QImage out(view, QImage::Format_RGB32);
    for (int y = 0; y < view.height(); ++y)
        for (int x = 0; x < view.width(); ++x)
            out.setPixel(x, y, rgbOf(frame, x * frame.cols / view.width(), y * frame.rows / view.height()));
    return out;
}

// The whole frame in 32 bits with the masks' pixels coloured inside their
// boxes, drawn by a painter with the zoom over a view that shows what lies
// behind it where the frame does not reach.
QImage formerWhole(const cv::Mat& frame, const QSize& view, const QTransform& zoom,
                   const std::vector<PixelMark>& marks, QImage* whole)
{
    QImage full(frame.cols, frame.rows, QImage::Format_RGB32);
    for (int y = 0; y < frame.rows; ++y)
        for (int x = 0; x < frame.cols; ++x)
            full.setPixel(x, y, rgbOf(frame, x, y));
    for (const PixelMark& m : marks)
        for (int y = 0; y < m.box.height(); ++y)
            for (int x = 0; x < m.box.width(); ++x)
                if (m.mask.at<uchar>(y, x))
                    full.setPixel(m.box.x() + x, m.box.y() + y, m.colour);
    *whole = full;
    QImage out(view, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter painter(&out);
    painter.setTransform(zoom);
    painter.drawImage(QRect(QPoint(0, 0), view), full);
    return out;
}

struct Case {
    const char* name;
    bool colour;
    QSize view;
    bool whole;
    QTransform zoom;
    bool marked;
};

}  // namespace

TEST(LivePicture, PreparedPictureHasThePixelsTheViewPaintedBefore)
{
    const Case cases[] = {
        {"grey scaled by 2", false, QSize(32, 24), false, QTransform(), false},
        {"colour scaled by 4", true, QSize(16, 12), false, QTransform(), false},
        {"grey at frame size", false, QSize(kW, kH), false, QTransform(), false},
        {"grey marked", false, QSize(32, 24), true, QTransform(), true},
        {"colour marked", true, QSize(32, 24), true, QTransform(), true},
        {"grey zoomed", false, QSize(32, 24), true, QTransform().translate(-7, -3).scale(2.5, 2.5), false},
        {"colour zoomed and marked", true, QSize(32, 24), true, QTransform().translate(-20, -9).scale(3, 3), true},
        {"zoomed out of the view's corner", false, QSize(32, 24), true, QTransform().translate(5, 4).scale(1.5, 1.5),
         true},
    };
    cv::Mat defects = cv::Mat::zeros(kH, kW, CV_8UC1);
    for (int k = 0; k < 40; ++k)
        defects.at<uchar>((k * 7) % kH, (k * 11) % kW) = 255;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const cv::Mat frame = frameOf(c.colour);
        PictureOrder order;
        order.look.view = c.view;
        order.look.whole = c.whole;
        order.look.transform = c.zoom;
        order.frame = frame;
        if (c.marked) {
            order.marks.push_back(MarkOf(QRect(QPoint(10, 10), QPoint(40, 30)), defects, QSize(kW, kH), 0xFFFF0000));
            // A box beyond the frame's corner is cut at its edge.
            order.marks.push_back(MarkOf(QRect(QPoint(50, 40), QPoint(80, 60)), defects, QSize(kW, kH), 0xFF00FFFF));
        }
        QImage whole;
        const QImage prepared = PreparePicture(order, whole);
        QImage formerFull;
        const QImage former = c.whole ? formerWhole(frame, c.view, c.zoom, order.marks, &formerFull)
                                      : formerScaled(frame, c.view);
        ASSERT_EQ(prepared.size(), c.view);
        const QImage a = prepared.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const QImage b = former.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        EXPECT_EQ(a, b);
        if (c.whole) {
            EXPECT_EQ(whole, formerFull);
        } else {
            // Kept for the live video: the same picture, and the whole frame too.
            order.look.keepWhole = true;
            QImage kept;
            EXPECT_EQ(PreparePicture(order, kept).convertToFormat(QImage::Format_ARGB32_Premultiplied), b);
            formerWhole(frame, c.view, QTransform(), {}, &formerFull);
            EXPECT_EQ(kept, formerFull);
        }
    }
}

// The order shares the frame, not a copy of it: the next frame, written
// while the picture may still be in preparation, goes into a buffer of its
// own and the picture is that of the frame ordered.
TEST(LivePicture, AFrameWrittenAfterItsOrderLeavesThePictureAsOrdered)
{
    for (bool whole : {false, true}) {
        SCOPED_TRACE(whole ? "whole" : "scaled");
        FramePool pool;
        cv::Mat raw = frameOf(true);
        const cv::Mat ordered = raw.clone();
        PictureOrder order;
        order.look.view = QSize(32, 24);
        order.look.whole = whole;
        order.frame = ordered;
        QImage expectedWhole;
        const QImage expected = PreparePicture(order, expectedWhole);

        QObject receiver;
        LivePicture live(&receiver, [] {});
        order.frame = raw;
        live.order(order);
        order.frame.release();
        pool.Detach(raw);
        raw.setTo(cv::Scalar::all(0));
        PreparedPicture picture;
        for (int i = 0; i < 5000 && !live.take(picture); ++i)
            QThread::usleep(200);
        ASSERT_FALSE(picture.view.isNull());
        EXPECT_EQ(picture.view, expected);
        EXPECT_EQ(picture.whole, whole ? expectedWhole : QImage());
    }
}

TEST(LivePicture, MarksKeepToTheFrameAndRefuseAMaskOfAnotherSize)
{
    const cv::Mat mask = cv::Mat::ones(kH, kW, CV_8UC1);
    EXPECT_EQ(MarkOf(QRect(60, 40, 10, 10), mask, QSize(kW, kH), 1).box, QRect(60, 40, 4, 8));
    EXPECT_TRUE(MarkOf(QRect(70, 50, 5, 5), mask, QSize(kW, kH), 1).box.isEmpty());
    EXPECT_TRUE(MarkOf(QRect(0, 0, 5, 5), cv::Mat::ones(10, 10, CV_8UC1), QSize(kW, kH), 1).mask.empty());
    EXPECT_TRUE(MarkOf(QRect(0, 0, 5, 5), cv::Mat(), QSize(kW, kH), 1).mask.empty());
}

TEST(LivePicture, NoPictureForAnEmptyViewOrFrame)
{
    PictureOrder order;
    QImage whole;
    order.frame = frameOf(false);
    EXPECT_TRUE(PreparePicture(order, whole).isNull());   // no view size
    order.look.view = QSize(32, 24);
    order.frame.release();
    EXPECT_TRUE(PreparePicture(order, whole).isNull());   // no frame
    cv::Mat scaled = frameOf(false);
    ScaleToView(cv::Mat(), QSize(32, 24), scaled);
    EXPECT_TRUE(scaled.empty());
}

TEST(RepaintPacer, SlotsFollowEachViewsPhaseAPeriodApart)
{
    const struct {
        int view;
        qint64 now, last, slot;
    } cases[] = {
        {0, 0, -1, 0},       // on its phase: at once
        {0, 1, -1, 40},
        {3, 0, -1, 15},      // 3/8 of the period
        {3, 16, -1, 55},
        {3, 16, 15, 55},
        {3, 20, 55, 95},     // a period after the last slot at the earliest
        {7, 1000, -1, 1035},
        {9, 0, -1, 5},       // views past eight share phases
    };
    for (const auto& c : cases)
        EXPECT_EQ(RepaintPacer::NextSlot(c.view, c.now, c.last), c.slot)
            << "view " << c.view << " now " << c.now << " last " << c.last;
}

// Eight views asked for a repaint at every 3 ms pass for a second: each
// repaints at most once in each 40 ms, and no two views at the same time.
TEST(RepaintPacer, EightViewsAskingAtEveryPassRepaintAtMostTwentyFiveTimesASecondApart)
{
    constexpr int kViews = 8;
    qint64 last[kViews], next[kViews];
    std::fill(std::begin(last), std::end(last), -1);
    std::fill(std::begin(next), std::end(next), -1);
    std::map<qint64, int> viewsAt;
    int repaints[kViews] = {};
    for (qint64 now = 0; now < 1000; ++now) {
        for (int v = 0; v < kViews; ++v) {
            if (now % 3 == 0 && next[v] < 0)
                next[v] = RepaintPacer::NextSlot(v, now, last[v]);
            if (next[v] == now) {   // the slot came: the view repaints
                last[v] = now;
                next[v] = -1;
                ++repaints[v];
                ++viewsAt[now];
            }
        }
    }
    for (int v = 0; v < kViews; ++v)
        EXPECT_EQ(repaints[v], 25) << "view " << v;
    for (const auto& [at, views] : viewsAt)
        EXPECT_EQ(views, 1) << "at " << at;
}
