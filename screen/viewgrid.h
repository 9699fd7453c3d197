#pragma once
// Where the camera views sit in the display area: the grid of all views for
// a number of cameras, and the size of one cell that the view scales use.

#include <QRect>
#include <QSize>
#include <QVector>

struct ViewGrid {
    QVector<QRect> cells;   // cell of view i, corners inclusive
    QSize cellSize;         // the view size the image and display scales are taken from
};

// The grid of `cameras` views over a width x height display area: one view
// fills it; two sit side by side; three or four in a 2 x 2 grid; five or six
// in three columns of two rows; seven or eight in four columns of two rows.
// No cells for fewer than one or more than eight cameras.
ViewGrid CameraGrid(int cameras, int width, int height);
