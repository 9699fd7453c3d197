#pragma once
// A circular region: a ring between an inner and an outer radius, or a disc
// when the inner radius is 0. Kept in display coordinates and in frame pixels.
// A plain value, copied freely.

#include <QPoint>
#include <QRect>
#include <opencv2/core/mat.hpp>

class QPainter;

class Circle
{
public:
    QRect rect;        // display bounding square (cx - r, cy - r)-(cx + r - 1, cy + r - 1)
    QRect imageRect;   // frame bounding square (icx - ir, icy - ir)-(icx + ir - 1, icy + ir - 1)
    int cx = 0, cy = 0, r = 0, rIn = 0;       // display
    int icx = 0, icy = 0, ir = 0, irIn = 0;   // frame pixels
    bool selected = false;

    static constexpr int kRingTol = 20;

    void Draw(QPainter& painter) const;
    bool IsSelected() const { return selected; }
    void SetSelected(bool on) { selected = on; }
    // The handle under p of a selected circle (p must lie on the ring band
    // r +/- 20). Handles 0, 1, 2 lie below the centre and 5, 6, 7 above it.
    bool PtInCtrl(const QPoint& p, int* handle) const;
    // p lies in the bounding square grown by 20 px on every side.
    bool Contains(const QPoint& p) const;
    // New outer radius: the distance from the centre to `to`.
    void Resize(int handle, const QPoint& from, const QPoint& to);
    // Bounding square from centre and radius; the inner radius kept in 0..r.
    void UpdateRect();
    // Centre and radius from the bounding square, then UpdateRect().
    void UpdateAll();
    void setImageRect();
    // 2ir x 2ir: 255 where irIn^2 <= d^2 < ir^2 from the centre (ir, ir).
    cv::Mat UpdateMask() const;
};
