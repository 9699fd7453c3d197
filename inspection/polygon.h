#pragma once
// A polygonal region of at most 8,096 vertices, in display coordinates and in
// frame pixels. A plain value, copied freely; the vertices are held in vectors
// of the polygon's own length, so an unused polygon costs almost nothing.

#include <QPoint>
#include <QRect>
#include <QVector>
#include <opencv2/core/mat.hpp>

class QPainter;

class RePolygon
{
public:
    static constexpr int kMaxPoints = 8096;
    static constexpr int kVertexTol = 20;
    static constexpr int kRectExtend = 20;   // the display rectangle reaches 20 px left and up
    static constexpr int kSmallSide = 79;    // smaller polygons are picked by their rectangle

    RePolygon() = default;
    // Takes the first n display vertices; n is cut to 0..8,096.
    RePolygon(int n, const QPoint* points);

    QVector<QPoint> pts;    // display vertices
    QVector<QPoint> ipts;   // frame vertices (made by setImageRect)
    QRect rect;             // display bounding rectangle, extended 20 px left and up
    QRect imageRect;        // frame bounding rectangle
    bool selected = false;
    int dx = 0;             // change applied by the last vertex move
    int dy = 0;

    int count() const { return pts.size(); }
    // Replaces the display vertices (cut to 8,096); frame vertices follow in setImageRect.
    void setPoints(int n, const QPoint* points);

    void Draw(QPainter& painter) const;
    bool IsSelected() const { return selected; }
    void SetSelected(bool on) { selected = on; }
    // The first vertex within 20 px of p of a selected polygon; -1 otherwise.
    bool PtInCtrl(const QPoint& p, int* handle) const;
    // Small polygons (rect under 79 px wide or high): p in rect; otherwise p
    // strictly inside the display polygon.
    bool Contains(const QPoint& p) const;
    // Moves vertex index by to - from unless it would come within 2 px of the
    // display edge; its frame vertex uses the given scales.
    void Resize(int index, const QPoint& from, const QPoint& to, float scaleX, float scaleY);
    void setImageRect();
    void BoundingRect();
    // The size of imageRect: 255 at points strictly inside the frame polygon
    // (the outline and everything outside are 0).
    cv::Mat UpdateMask() const;
};

// Mask of the points (origin.x + j, origin.y + i) lying strictly inside the
// polygon by the even-odd rule; points on the outline are 0.
cv::Mat PolygonInteriorMask(const QVector<QPoint>& vertices, const QPoint& origin, int rows, int cols);
