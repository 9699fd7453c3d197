#pragma once
// A rectangular region: its display rectangle (where the operator draws) and
// the same rectangle in frame pixels. A plain value, copied freely.

#include <QPoint>
#include <QRect>
#include <opencv2/core/mat.hpp>

class QPainter;

class ClustomRect
{
public:
    QRect rect;        // display coordinates, corners inclusive
    QRect imageRect;   // frame pixels, corners inclusive
    bool selected = false;
    int dx = 0;        // change applied by the last resize step
    int dy = 0;

    // Handle numbers: 0 top-left, 1 top, 2 top-right, 3 left, 4 right,
    // 5 bottom-left, 6 bottom, 7 bottom-right.
    static constexpr int kCornerTol = 20;

    void Draw(QPainter& painter) const;
    bool IsSelected() const { return selected; }
    void SetSelected(bool on) { selected = on; }
    // The handle under p of a selected rectangle; -1 and false otherwise.
    bool PtInCtrl(const QPoint& p, int* handle) const;
    // p lies in the rectangle grown by 20 px on every side.
    bool Contains(const QPoint& p) const;
    // Moves the edges of the handle by the touch movement from -> to.
    void Resize(int handle, const QPoint& from, const QPoint& to);
    // Frame rectangle from the display rectangle.
    void setImageRect();
    // 255 everywhere, the size of the frame rectangle (empty when it is).
    cv::Mat UpdateMask() const;
};

// Applies the shape pen (width 3, magenta when selected) on the painter.
void SetShapePen(QPainter& painter, bool selected);
// p lies in r grown by margin on every side, edges included.
bool InGrownRect(const QRect& r, const QPoint& p, int margin);
// A mask of 255 the size of a frame rectangle, empty when the rectangle is.
cv::Mat FullMask(const QRect& imageRect);
