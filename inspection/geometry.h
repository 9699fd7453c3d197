#pragma once
// Small geometry helpers of the region editor and the region shapes: holding
// display coordinates inside the camera display area (gShowW x gShowH), the
// "near" tests of the touch handles, and display-to-frame conversion
// (frame = display / gShowAW, gShowAH).

class QPoint;
class QRect;

// Clamps one display coordinate into the display area: axis 1 x (0..gShowW-1),
// axis 0 y (0..gShowH-1).
void CheckInRange(int* v, int axis);
// Pulls a display rectangle back into the display area: after a move (true)
// the rectangle is translated and keeps its size where it fits; after a resize
// (false) its edges are clipped.
void CheckInRange(QRect* r, bool moved);

// b lies within tol of a in both coordinates.
bool PointAround(const QPoint& a, const QPoint& b, int tol);
// b lies within tol of a.
bool LineAround(int a, int b, int tol);
// A point lies on a rectangle edge: across within tol of edge and along in
// from..to (inclusive).
bool LineAround(int edge, int across, int along, int from, int to, int tol);

// A display coordinate or length in frame pixels, rounded to nearest (ties to
// even), with the single-precision scales gShowAW (x) and gShowAH (y).
int RoundToImageX(int display);
int RoundToImageY(int display);
// The same with a given scale (display / frame).
int RoundToImage(int display, float scale);
