#include "inspection/geometry.h"

#include "core/globals.h"

#include <QPoint>
#include <QRect>
#include <algorithm>
#include <cmath>
#include <cstdlib>

void CheckInRange(int* v, int axis)
{
    const int limit = axis == 1 ? gShowW : gShowH;
    *v = std::clamp(*v, 0, std::max(limit - 1, 0));
}

namespace {

// Moves [lo, hi] into [0, limit - 1] keeping its length where it fits; the
// low edge wins when it is longer than the range, and the rest is cut.
void shiftInto(int* lo, int* hi, int limit)
{
    const int maxV = limit - 1;
    if (*hi > maxV) {
        *lo -= *hi - maxV;
        *hi = maxV;
    }
    if (*lo < 0) {
        *hi = std::min(*hi - *lo, maxV);
        *lo = 0;
    }
}

void clipInto(int* lo, int* hi, int limit)
{
    *lo = std::clamp(*lo, 0, limit - 1);
    *hi = std::clamp(*hi, 0, limit - 1);
}

}  // namespace

void CheckInRange(QRect* r, bool moved)
{
    int x1 = r->left(), x2 = r->right(), y1 = r->top(), y2 = r->bottom();
    if (moved) {
        shiftInto(&x1, &x2, gShowW);
        shiftInto(&y1, &y2, gShowH);
    } else {
        clipInto(&x1, &x2, gShowW);
        clipInto(&y1, &y2, gShowH);
    }
    r->setCoords(x1, y1, x2, y2);
}

bool PointAround(const QPoint& a, const QPoint& b, int tol)
{
    return LineAround(a.x(), b.x(), tol) && LineAround(a.y(), b.y(), tol);
}

bool LineAround(int a, int b, int tol)
{
    return std::abs(static_cast<long long>(a) - b) <= tol;
}

bool LineAround(int edge, int across, int along, int from, int to, int tol)
{
    return LineAround(edge, across, tol) && along >= from && along <= to;
}

int RoundToImage(int display, float scale)
{
    if (scale == 0.0f)
        return 0;
    return static_cast<int>(std::nearbyint(static_cast<float>(display) / scale));
}

int RoundToImageX(int display)
{
    return RoundToImage(display, gShowAW);
}

int RoundToImageY(int display)
{
    return RoundToImage(display, gShowAH);
}
