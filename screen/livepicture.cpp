#include "screen/livepicture.h"

#include "inspection/imagehelpers.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QPainter>
#include <opencv2/imgproc.hpp>

#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

void ScaleToView(const cv::Mat& frame, const QSize& view, cv::Mat& scaled)
{
    if (!frame.empty() && view.width() > 0 && view.height() > 0)
        cv::resize(frame, scaled, cv::Size(view.width(), view.height()), 0, 0, cv::INTER_NEAREST);
    else
        scaled.release();
}

void MarkPixels(QImage& picture, const PixelMark& mark)
{
    const QRect& box = mark.box;
    if (mark.mask.type() != CV_8UC1 || mark.mask.cols != box.width() || mark.mask.rows != box.height()
        || !picture.rect().contains(box))
        return;
    for (int y = 0; y < box.height(); ++y) {
        const uint8_t* m = mark.mask.ptr(y);
        auto* p = reinterpret_cast<uint32_t*>(picture.scanLine(box.top() + y)) + box.left();
        for (int x = 0; x < box.width(); ++x)
            if (m[x])
                p[x] = mark.colour;
    }
}

PixelMark MarkOf(const QRect& box, const cv::Mat& frameMask, const QSize& frame, uint32_t colour)
{
    PixelMark mark;
    mark.colour = colour;
    mark.box = box.intersected(QRect(QPoint(0, 0), frame));
    if (frameMask.type() != CV_8UC1 || frameMask.cols != frame.width() || frameMask.rows != frame.height()
        || mark.box.isEmpty()) {
        mark.box = QRect();
        return mark;
    }
    mark.mask = frameMask(cv::Rect(mark.box.x(), mark.box.y(), mark.box.width(), mark.box.height()));
    return mark;
}

namespace {

QImage pictureOf(const QSize& size, QImage::Format format, QImage reuse)
{
    if (reuse.size() == size && reuse.format() == format)
        return reuse;
    return QImage(size, format);
}

// The frame scaled down to the view before its conversion to 32 bits.
QImage scaledPicture(const PictureOrder& order, QImage reuse)
{
    thread_local cv::Mat scaled;
    const QSize view = order.look.view;
    const bool viewSized = order.frame.cols == view.width() && order.frame.rows == view.height();
    if (!viewSized)
        ScaleToView(order.frame, view, scaled);
    const cv::Mat& frame = viewSized ? order.frame : scaled;
    if (frame.empty())
        return QImage();
    QImage picture = pictureOf(view, QImage::Format_RGB32, std::move(reuse));
    ConvertToRgb32(frame, picture);
    return picture;
}

// The whole frame in 32 bits with its marks, into whole.
void convertWhole(const PictureOrder& order, QImage& whole)
{
    const QSize frame(order.frame.cols, order.frame.rows);
    if (!order.frame.empty() && (whole.size() != frame || whole.format() != QImage::Format_RGB32))
        whole = QImage(frame, QImage::Format_RGB32);
    ConvertToRgb32(order.frame, whole);
    for (const PixelMark& mark : order.marks)
        MarkPixels(whole, mark);
}

QImage wholePicture(const PictureOrder& order, QImage& whole, QImage reuse)
{
    convertWhole(order, whole);
    // A zoom may leave part of the view uncovered: what lies behind the
    // view shows there.
    const bool covered = order.look.transform.isIdentity();
    QImage picture = pictureOf(order.look.view, covered ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied,
                               std::move(reuse));
    if (!covered)
        picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setTransform(order.look.transform);
    painter.drawImage(QRect(QPoint(0, 0), order.look.view), whole);
    return picture;
}

}  // namespace

QImage PreparePicture(const PictureOrder& order, QImage& whole, QImage reuse)
{
    if (order.look.view.isEmpty())
        return QImage();
    if (order.look.whole)
        return wholePicture(order, whole, std::move(reuse));
    if (order.look.keepWhole)
        convertWhole(order, whole);
    return scaledPicture(order, std::move(reuse));
}

qint64 RepaintPacer::NextSlot(int view, qint64 now, qint64 last)
{
    const qint64 phase = qint64(((view % kPhases) + kPhases) % kPhases) * kPeriodMs / kPhases;
    const qint64 earliest = last < 0 ? now : std::max(now, last + kPeriodMs);
    // The first time >= earliest that lies phase after a multiple of the period.
    qint64 k = (earliest - phase) / kPeriodMs;
    if (k * kPeriodMs + phase < earliest)
        ++k;
    while (k * kPeriodMs + phase >= earliest + kPeriodMs)   // negative times round towards zero
        --k;
    return k * kPeriodMs + phase;
}

qint64 RepaintPacer::Now()
{
    static const QElapsedTimer clock = [] {
        QElapsedTimer c;
        c.start();
        return c;
    }();
    return clock.elapsed();
}

struct LivePicture::Slot {
    std::mutex mutex;
    std::optional<PictureOrder> waiting;
    bool preparing = false;
    std::optional<PreparedPicture> done;
    // Buffers to reuse.
    QImage spareWhole, spareView;
    QObject* receiver = nullptr;
    std::function<void()> ready;
};

namespace {

// The thread preparing every view's pictures, in the order they were asked.
class PictureThread
{
public:
    static PictureThread& instance()
    {
        static PictureThread thread;
        return thread;
    }

    void post(std::shared_ptr<LivePicture::Slot> slot)
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            queue.push_back(std::move(slot));
        }
        wake.notify_one();
    }

private:
    PictureThread() : thread([this] { run(); }) {}
    ~PictureThread()
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stopping = true;
        }
        wake.notify_one();
        thread.join();
    }

    void run()
    {
        for (;;) {
            std::shared_ptr<LivePicture::Slot> slot;
            {
                std::unique_lock<std::mutex> lock(mutex);
                wake.wait(lock, [this] { return stopping || !queue.empty(); });
                if (stopping)
                    return;
                slot = std::move(queue.front());
                queue.pop_front();
            }
            prepare(*slot);
        }
    }

    static void prepare(LivePicture::Slot& slot)
    {
        PictureOrder order;
        QImage whole, view;
        {
            std::lock_guard<std::mutex> lock(slot.mutex);
            if (!slot.waiting)
                return;
            order = std::move(*slot.waiting);
            slot.waiting.reset();
            slot.preparing = true;
            whole.swap(slot.spareWhole);
            view.swap(slot.spareView);
        }
        PreparedPicture picture;
        picture.view = PreparePicture(order, whole, std::move(view));
        if (order.look.whole || order.look.keepWhole)
            picture.whole = std::move(whole);
        picture.look = order.look;
        picture.serial = order.serial;
        order = PictureOrder();   // the frame is the view's again before it hears of the picture
        std::lock_guard<std::mutex> lock(slot.mutex);
        slot.preparing = false;
        slot.done = std::move(picture);
        if (slot.receiver)
            QMetaObject::invokeMethod(slot.receiver, slot.ready, Qt::QueuedConnection);
    }

    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::shared_ptr<LivePicture::Slot>> queue;
    bool stopping = false;
    std::thread thread;
};

}  // namespace

LivePicture::LivePicture(QObject* receiver, std::function<void()> ready)
    : slot(std::make_shared<Slot>())
{
    slot->receiver = receiver;
    slot->ready = std::move(ready);
}

LivePicture::~LivePicture()
{
    std::lock_guard<std::mutex> lock(slot->mutex);
    slot->receiver = nullptr;
    slot->waiting.reset();
}

void LivePicture::order(PictureOrder next)
{
    bool queued;
    {
        std::lock_guard<std::mutex> lock(slot->mutex);
        queued = slot->waiting.has_value();
        slot->waiting = std::move(next);
    }
    if (!queued)
        PictureThread::instance().post(slot);
}

bool LivePicture::busy() const
{
    std::lock_guard<std::mutex> lock(slot->mutex);
    return slot->waiting || slot->preparing || slot->done;
}

bool LivePicture::take(PreparedPicture& picture)
{
    std::lock_guard<std::mutex> lock(slot->mutex);
    if (!slot->done)
        return false;
    picture = std::move(*slot->done);
    slot->done.reset();
    return true;
}

void LivePicture::recycle(QImage whole, QImage view)
{
    std::lock_guard<std::mutex> lock(slot->mutex);
    if (!whole.isNull())
        slot->spareWhole = std::move(whole);
    if (!view.isNull())
        slot->spareView = std::move(view);
}
