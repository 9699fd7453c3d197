#include "inspection/rect.h"

#include "inspection/geometry.h"

#include <QPainter>
#include <QPen>

void SetShapePen(QPainter& painter, bool selected)
{
    QPen pen = painter.pen();
    pen.setWidth(3);
    if (selected)
        pen.setColor(Qt::magenta);
    painter.setPen(pen);
}

bool InGrownRect(const QRect& r, const QPoint& p, int margin)
{
    return p.x() >= r.left() - margin && p.x() <= r.right() + margin && p.y() >= r.top() - margin
        && p.y() <= r.bottom() + margin;
}

cv::Mat FullMask(const QRect& imageRect)
{
    const int rows = imageRect.bottom() - imageRect.top() + 1;
    const int cols = imageRect.right() - imageRect.left() + 1;
    if (rows <= 0 || cols <= 0)
        return cv::Mat();
    return cv::Mat(rows, cols, CV_8UC1, cv::Scalar(255));
}

void ClustomRect::Draw(QPainter& painter) const
{
    SetShapePen(painter, selected);
    painter.drawRect(rect);
}

bool ClustomRect::PtInCtrl(const QPoint& p, int* handle) const
{
    *handle = -1;
    if (!selected)
        return false;
    const int x1 = rect.left(), y1 = rect.top(), x2 = rect.right(), y2 = rect.bottom();
    const struct {
        QPoint corner;
        int handle;
    } corners[] = {{{x1, y1}, 0}, {{x2, y1}, 2}, {{x1, y2}, 5}, {{x2, y2}, 7}};
    for (const auto& c : corners) {
        if (PointAround(c.corner, p, kCornerTol)) {
            *handle = c.handle;
            return true;
        }
    }
    const int tx = (x2 - x1 + 1) / 4;
    const int ty = (y2 - y1 + 1) / 4;
    if (LineAround(x1, p.x(), p.y(), y1, y2, tx))
        *handle = 3;
    else if (LineAround(x2, p.x(), p.y(), y1, y2, tx))
        *handle = 4;
    else if (LineAround(y1, p.y(), p.x(), x1, x2, ty))
        *handle = 1;
    else if (LineAround(y2, p.y(), p.x(), x1, x2, ty))
        *handle = 6;
    return *handle >= 0;
}

bool ClustomRect::Contains(const QPoint& p) const
{
    return InGrownRect(rect, p, kCornerTol);
}

void ClustomRect::Resize(int handle, const QPoint& from, const QPoint& to)
{
    if (handle < 0 || handle > 7)
        return;
    const int mx = to.x() - from.x();
    const int my = to.y() - from.y();
    // Which edges each handle moves: left, top, right, bottom.
    static const bool kMoves[8][4] = {
        {true, true, false, false}, {false, true, false, false}, {false, true, true, false},
        {true, false, false, false}, {false, false, true, false}, {true, false, false, true},
        {false, false, false, true}, {false, false, true, true},
    };
    const bool* m = kMoves[handle];
    if (m[0])
        rect.setLeft(rect.left() + mx);
    if (m[1])
        rect.setTop(rect.top() + my);
    if (m[2])
        rect.setRight(rect.right() + mx);
    if (m[3])
        rect.setBottom(rect.bottom() + my);
    if (m[0] || m[2])
        dx = mx;
    if (m[1] || m[3])
        dy = my;
}

void ClustomRect::setImageRect()
{
    const int ix1 = RoundToImageX(rect.left());
    const int iy1 = RoundToImageY(rect.top());
    const int ix2 = ix1 + RoundToImageX(rect.right() - rect.left() + 1) - 1;
    const int iy2 = iy1 + RoundToImageY(rect.bottom() - rect.top() + 1) - 1;
    imageRect.setCoords(ix1, iy1, ix2, iy2);
}

cv::Mat ClustomRect::UpdateMask() const
{
    return FullMask(imageRect);
}
