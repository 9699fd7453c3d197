#include "inspection/circle.h"

#include "inspection/geometry.h"
#include "inspection/rect.h"

#include "core/globals.h"

#include <QPainter>
#include <cmath>

namespace {

QRect squareAround(int x, int y, int radius)
{
    QRect square;
    square.setCoords(x - radius, y - radius, x + radius - 1, y + radius - 1);
    return square;
}

}  // namespace

void Circle::Draw(QPainter& painter) const
{
    SetShapePen(painter, selected);
    painter.drawEllipse(rect);
    QPen pen = painter.pen();
    pen.setColor(Qt::yellow);
    painter.setPen(pen);
    painter.drawEllipse(squareAround(cx, cy, rIn));
}

bool Circle::PtInCtrl(const QPoint& p, int* handle) const
{
    *handle = -1;
    if (!selected)
        return false;
    const long long ddx = p.x() - cx, ddy = p.y() - cy;
    const long long d2 = ddx * ddx + ddy * ddy;
    const long long inner = r - kRingTol, outer = r + kRingTol;
    if (d2 < inner * inner || d2 > outer * outer)
        return false;
    if (LineAround(cx, p.x(), kRingTol))
        *handle = p.y() > cy ? 1 : 6;
    else if (LineAround(cy, p.y(), kRingTol))
        *handle = p.x() < cx ? 3 : 4;
    else if (p.x() < cx && p.y() != cy)
        *handle = p.y() > cy ? 0 : 5;
    else if (p.x() > cx && p.y() != cy)
        *handle = p.y() > cy ? 2 : 7;
    return *handle >= 0;
}

bool Circle::Contains(const QPoint& p) const
{
    return InGrownRect(rect, p, kRingTol);
}

void Circle::Resize(int, const QPoint&, const QPoint& to)
{
    const float ddx = static_cast<float>(to.x() - cx);
    const float ddy = static_cast<float>(to.y() - cy);
    r = static_cast<int>(std::sqrt(ddx * ddx + ddy * ddy));
    UpdateRect();
}

void Circle::UpdateRect()
{
    rect = squareAround(cx, cy, r);
    if (rIn > r)
        rIn = r;
    if (rIn < 0)
        rIn = 0;
}

void Circle::UpdateAll()
{
    r = std::min((rect.bottom() - rect.top() + 1) / 2, (rect.right() - rect.left() + 1) / 2);
    cx = rect.left() + r;
    cy = rect.top() + r;
    UpdateRect();
}

namespace {

int imageRadius(int radius)
{
    const float v = (static_cast<float>(radius) / gShowAW + static_cast<float>(radius) / gShowAH) * 0.5f;
    return static_cast<int>(std::nearbyint(v));
}

}  // namespace

void Circle::setImageRect()
{
    ir = imageRadius(r);
    irIn = imageRadius(rIn);
    icx = static_cast<int>(static_cast<float>(cx) / gShowAW);
    icy = static_cast<int>(static_cast<float>(cy) / gShowAH);
    imageRect = squareAround(icx, icy, ir);
}

cv::Mat Circle::UpdateMask() const
{
    if (ir <= 0)
        return cv::Mat();
    cv::Mat mask(2 * ir, 2 * ir, CV_8UC1);
    const long long outer2 = static_cast<long long>(ir) * ir;
    const long long inner2 = static_cast<long long>(irIn) * irIn;
    for (int i = 0; i < mask.rows; ++i) {
        uchar* row = mask.ptr<uchar>(i);
        const long long di = i - ir;
        for (int j = 0; j < mask.cols; ++j) {
            const long long dj = j - ir;
            const long long d2 = di * di + dj * dj;
            row[j] = (d2 >= inner2 && d2 < outer2) ? 255 : 0;
        }
    }
    return mask;
}
