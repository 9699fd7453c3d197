#include "screen/viewgrid.h"

namespace {

// Cells of `count` views in rows of `perRow`, at the given column offsets.
ViewGrid rows(int count, const QVector<int>& columns, int columnWidth, int rowHeight)
{
    ViewGrid grid;
    grid.cellSize = QSize(columnWidth, rowHeight);
    const int perRow = columns.size();
    for (int i = 0; i < count; ++i) {
        const QPoint topLeft(columns[i % perRow], (i / perRow) * rowHeight);
        grid.cells << QRect(topLeft, QSize(columnWidth, rowHeight));
    }
    return grid;
}

}  // namespace

ViewGrid CameraGrid(int cameras, int width, int height)
{
    const int w = width / 2;
    const int h = height / 2;
    switch (cameras) {
    case 1:
        return rows(1, {0}, width, height);
    case 2:
        return rows(2, {0, w}, w, height);
    case 3:
    case 4:
        return rows(cameras, {0, w}, w, h);
    case 5:
    case 6: {
        // Three columns one pixel wider than a third: the last one reaches
        // a few pixels past the area, as the screen has always laid them out.
        const int t = width / 3;
        return rows(cameras, {0, t + 1, 2 * t + 2}, t + 1, h);
    }
    case 7:
    case 8: {
        const int q = width / 4;
        return rows(cameras, {0, q, 2 * q, 3 * q}, q, h);
    }
    default:
        return ViewGrid();
    }
}
