#pragma once
// The picture of a live camera view, made ready away from the GUI thread.
//
// A view hands over an order: the frame on show (shared, not copied: a
// shared frame buffer is never written in place, see FramePool), the pixels
// to mark in it and how it is shown. The
// picture is what the view's painting used to draw under its texts and
// regions: the scaled frame in 32 bits, or the whole frame in 32 bits with
// its marked pixels, drawn over the view through the zoom. The view paints
// it unscaled.
//
// One thread prepares the pictures of every view. A view waits for at most
// one order: a newer order replaces one not started yet (frames coming
// faster than the view repaints are dropped for display).

#include <QImage>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QTransform>
#include <opencv2/core.hpp>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// Pixels coloured where an 8-bit mask is non-zero; the mask covers box,
// which lies within the frame.
struct PixelMark {
    QRect box;
    cv::Mat mask;
    uint32_t colour = 0;
};

// What the picture depends on besides the frame's pixels and the marks.
struct PictureLook {
    QSize view;
    bool whole = false;    // the whole frame drawn through transform
    bool keepWhole = false;   // drawn scaled, the whole frame in 32 bits comes back too (the live video reads it)
    QTransform transform;
    int source = 0;        // the image source shown
    int step = -1;
    const void* record = nullptr;
    unsigned marks = 0;    // the kinds of marks shown
    quint64 failed = 0;    // the regions whose defects are marked, a bit each
    bool operator==(const PictureLook& o) const
    {
        return view == o.view && whole == o.whole && keepWhole == o.keepWhole && transform == o.transform
            && source == o.source && step == o.step && record == o.record && marks == o.marks && failed == o.failed;
    }
};

struct PictureOrder {
    cv::Mat frame;   // the whole frame (or one already of the view's size); CV_8UC1 or CV_8UC4
    PictureLook look;
    std::vector<PixelMark> marks;
    quint64 serial = 0;   // later orders have larger serials
};

struct PreparedPicture {
    QImage view;     // view-sized: RGB32, or premultiplied ARGB32 where a zoom may leave the view uncovered
    QImage whole;    // the whole frame with its marks (look.whole or look.keepWhole only)
    PictureLook look;
    quint64 serial = 0;
};

// The frame scaled to the view, nearest pixel, into scaled (reused when it fits).
void ScaleToView(const cv::Mat& frame, const QSize& view, cv::Mat& scaled);
// The mark's colour into picture wherever its mask is set.
void MarkPixels(QImage& picture, const PixelMark& mark);
// The mark of the frame-sized mask over box (clipped to the frame), sharing
// the mask's pixels; no mask when its size or type does not fit.
PixelMark MarkOf(const QRect& box, const cv::Mat& frameMask, const QSize& frame, uint32_t colour);
// The view's picture; whole is the 32-bit whole frame. whole and reuse are
// written into when they fit (large buffers are not made anew each frame).
QImage PreparePicture(const PictureOrder& order, QImage& whole, QImage reuse = QImage());

// Repaints of live views: at most one a period for each view, each view at
// its own phase of the period so that the views do not repaint together.
struct RepaintPacer {
    static constexpr qint64 kPeriodMs = 40;
    static constexpr int kPhases = 8;
    // The first time of view's phase at or after now, a whole period after
    // last (< 0: none before).
    static qint64 NextSlot(int view, qint64 now, qint64 last);
    // Milliseconds on the clock the views share.
    static qint64 Now();
};

// A view's pictures in preparation. ready runs in receiver's thread when a
// picture is prepared.
class LivePicture
{
public:
    LivePicture(QObject* receiver, std::function<void()> ready);
    ~LivePicture();
    LivePicture(const LivePicture&) = delete;
    LivePicture& operator=(const LivePicture&) = delete;

    void order(PictureOrder next);
    // An order waits or is prepared, or its picture is not taken yet.
    bool busy() const;
    // The newest prepared picture, once.
    bool take(PreparedPicture& picture);
    // Pictures given back for reuse: the whole frame's and the view's.
    void recycle(QImage whole, QImage view);

    struct Slot;

private:
    std::shared_ptr<Slot> slot;
};
