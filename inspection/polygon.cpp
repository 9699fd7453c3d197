#include "inspection/polygon.h"

#include "inspection/geometry.h"
#include "inspection/rect.h"

#include "core/globals.h"

#include <QPainter>
#include <algorithm>
#include <vector>

RePolygon::RePolygon(int n, const QPoint* points)
{
    setPoints(n, points);
}

void RePolygon::setPoints(int n, const QPoint* points)
{
    n = std::clamp(n, 0, kMaxPoints);
    pts = QVector<QPoint>(points, points + n);
    ipts = QVector<QPoint>(n);
}

void RePolygon::Draw(QPainter& painter) const
{
    SetShapePen(painter, selected);
    painter.drawPolygon(pts.constData(), pts.size(), Qt::OddEvenFill);
}

bool RePolygon::PtInCtrl(const QPoint& p, int* handle) const
{
    *handle = -1;
    if (!selected)
        return false;
    for (int i = 0; i < pts.size(); ++i) {
        if (PointAround(pts[i], p, kVertexTol)) {
            *handle = i;
            return true;
        }
    }
    return false;
}

bool RePolygon::Contains(const QPoint& p) const
{
    if (rect.right() - rect.left() < kSmallSide || rect.bottom() - rect.top() < kSmallSide)
        return InGrownRect(rect, p, 0);
    const cv::Mat inside = PolygonInteriorMask(pts, p, 1, 1);
    return inside.at<uchar>(0, 0) != 0;
}

void RePolygon::Resize(int index, const QPoint& from, const QPoint& to, float scaleX, float scaleY)
{
    dx = to.x() - from.x();
    dy = to.y() - from.y();
    if (index < 0 || index >= pts.size())
        return;
    const QPoint moved = pts[index] + QPoint(dx, dy);
    if (moved.x() <= 2 || moved.x() >= gShowW - 2 || moved.y() <= 2 || moved.y() >= gShowH - 2)
        return;
    pts[index] = moved;
    if (ipts.size() != pts.size())
        ipts.resize(pts.size());
    ipts[index] = QPoint(RoundToImage(moved.x(), scaleX), RoundToImage(moved.y(), scaleY));
}

void RePolygon::setImageRect()
{
    ipts.resize(pts.size());
    for (int i = 0; i < pts.size(); ++i)
        ipts[i] = QPoint(RoundToImageX(pts[i].x()), RoundToImageY(pts[i].y()));
    BoundingRect();
}

void RePolygon::BoundingRect()
{
    if (pts.size() < 2) {
        const QPoint p0 = pts.isEmpty() ? QPoint() : pts[0];
        const QPoint i0 = ipts.isEmpty() ? QPoint() : ipts[0];
        imageRect.setCoords(i0.x(), i0.y(), i0.x() - 1, i0.y() - 1);
        rect.setCoords(p0.x() - kRectExtend, p0.y() - kRectExtend, p0.x() - 1, p0.y() - 1);
        return;
    }
    auto bounds = [](const QVector<QPoint>& v) {
        QPoint lo = v[0], hi = v[0];
        for (const QPoint& p : v) {
            lo = QPoint(std::min(lo.x(), p.x()), std::min(lo.y(), p.y()));
            hi = QPoint(std::max(hi.x(), p.x()), std::max(hi.y(), p.y()));
        }
        return std::make_pair(lo, hi);
    };
    const auto [ilo, ihi] = bounds(ipts);
    imageRect.setCoords(ilo.x(), ilo.y(), ihi.x() - 1, ihi.y() - 1);
    const auto [lo, hi] = bounds(pts);
    rect.setCoords(lo.x() - kRectExtend, lo.y() - kRectExtend, hi.x() - 1, hi.y() - 1);
}

cv::Mat RePolygon::UpdateMask() const
{
    const int rows = imageRect.bottom() - imageRect.top() + 1;
    const int cols = imageRect.right() - imageRect.left() + 1;
    if (rows <= 0 || cols <= 0)
        return cv::Mat();
    return PolygonInteriorMask(ipts, imageRect.topLeft(), rows, cols);
}

namespace {

// floor(a / b) for b > 0.
long long floorDiv(long long a, long long b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// Where a non-horizontal edge crosses row y: the first pixel column strictly
// right of the crossing and the last strictly left of it, and the exact
// column when the crossing falls on a pixel.
struct Crossing {
    double x;
    long long firstRight;
    long long lastLeft;
};

Crossing crossingAt(const QPoint& a, const QPoint& b, int y, bool* exact, long long* column)
{
    const long long dy = b.y() - a.y();
    const long long num = static_cast<long long>(y - a.y()) * (b.x() - a.x());
    // x = a.x + num / dy, with the sign carried in the numerator
    const long long n = dy > 0 ? num : -num;
    const long long d = dy > 0 ? dy : -dy;
    const long long fl = floorDiv(n, d);
    *exact = fl * d == n;
    *column = a.x() + fl;
    Crossing c;
    c.x = a.x() + static_cast<double>(n) / static_cast<double>(d);
    c.firstRight = a.x() + fl + 1;
    c.lastLeft = *exact ? a.x() + fl - 1 : a.x() + fl;
    return c;
}

}  // namespace

cv::Mat PolygonInteriorMask(const QVector<QPoint>& v, const QPoint& origin, int rows, int cols)
{
    cv::Mat mask = cv::Mat::zeros(rows, cols, CV_8UC1);
    const int n = v.size();
    if (n < 3 || rows <= 0 || cols <= 0)
        return mask;
    std::vector<Crossing> crossings;
    for (int i = 0; i < rows; ++i) {
        const int y = origin.y() + i;
        uchar* row = mask.ptr<uchar>(i);
        auto setSpan = [&](long long from, long long to, uchar value) {
            from = std::max<long long>(from - origin.x(), 0);
            to = std::min<long long>(to - origin.x(), cols - 1);
            for (long long j = from; j <= to; ++j)
                row[j] = value;
        };
        // Interior by crossings of edges whose y range is half-open [ymin, ymax).
        crossings.clear();
        for (int k = 0; k < n; ++k) {
            const QPoint& a = v[k];
            const QPoint& b = v[(k + 1) % n];
            if (a.y() == b.y() || y < std::min(a.y(), b.y()) || y >= std::max(a.y(), b.y()))
                continue;
            bool exact = false;
            long long column = 0;
            crossings.push_back(crossingAt(a, b, y, &exact, &column));
        }
        std::sort(crossings.begin(), crossings.end(),
                  [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
        for (size_t k = 0; k + 1 < crossings.size(); k += 2)
            setSpan(crossings[k].firstRight, crossings[k + 1].lastLeft, 255);
        // Points on the outline are not inside.
        for (int k = 0; k < n; ++k) {
            const QPoint& a = v[k];
            const QPoint& b = v[(k + 1) % n];
            if (y < std::min(a.y(), b.y()) || y > std::max(a.y(), b.y()))
                continue;
            if (a.y() == b.y()) {
                setSpan(std::min(a.x(), b.x()), std::max(a.x(), b.x()), 0);
                continue;
            }
            bool exact = false;
            long long column = 0;
            crossingAt(a, b, y, &exact, &column);
            if (exact)
                setSpan(column, column, 0);
        }
    }
    return mask;
}
