#pragma once
// The touch editing of regions on a camera view, without widgets: drawing
// rectangles, circles and polygons (tapped or freehand), selecting, moving
// and resizing by handles, the limits, and the rules of the parameter panel
// (function cycling, fine adjustment, moving, next region, copying). It works
// on the edited record and masks of a camera's working set in display
// coordinates; the camera view feeds it touches and shows what it asks for.

#include "inspection/cameraworkset.h"
#include "inspection/circle.h"
#include "inspection/rect.h"

#include <QPoint>
#include <QSize>
#include <QVector>
#include <Qt>

// The editor tool bar's choices, kept by the main window.
struct EditTools {
    int drawTool = 0;           // 0 none, 1 rectangle, 2 polygon, 4 circle
    bool copyMode = false;      // the next press places a copy of a region
    bool freehandMode = false;  // polygons are drawn by one stroke
};
enum DrawTool { kNoTool = 0, kRectTool = 1, kPolygonTool = 2, kCircleTool = 4 };

// One touch in display coordinates on a view of `view` display pixels, at a
// monotonic time in milliseconds.
struct Touch {
    QPoint p;
    int step = 0;
    QSize view;
    qint64 ms = 0;
};

// What the view does after a touch.
struct EditOutcome {
    int warning = 0;             // text number of a warning to show; 0 none
    bool rebuildPanel = false;
    bool copyAt = false;         // place a copy of a region at the press point (asks first)
    Qt::CursorShape cursor = Qt::ArrowCursor;
};

class RegionEditing
{
public:
    enum State { kIdle = 0, kDrawing = 1, kMoving = 2, kResizing = 3, kPressed = 5 };
    static constexpr int kMaxPolygonPoints = 8095;
    static constexpr int kCloseDistance = 9;     // display px: closing tap, smallest shape side
    static constexpr int kMoveFramePixels = 3;
    static constexpr int kPolygonMoveMs = 30;
    static constexpr int kShortStroke = 5;       // freehand strokes this short are dropped
    static constexpr int kTextPolygonFull = 35;
    static constexpr int kTextRegionsFull = 36;

    // The working set whose edited record and masks are edited (not owned).
    void BindEditSet(CameraWorkSet* set) { editSet = set; }

    EditOutcome TouchPress(const Touch& t, EditTools& tools);
    EditOutcome TouchMove(const Touch& t, EditTools& tools);
    EditOutcome TouchRelease(const Touch& t, EditTools& tools);
    // Makes the polygon being drawn a region of step d.
    EditOutcome SavePolygon(int d, EditTools& tools);
    void DeselectROI(int d, EditTools& tools);

    bool GetSelectedRect(int d);
    bool PtInRegion(int d, const QPoint& p) const;
    bool PtInRect(int d, const QPoint& p);
    bool PtInRectMove(int d, const QPoint& p) const;

    // Edited masks from the masks in force, and back (the steps copied from
    // the product step are left to the step copy).
    void BackMask();
    void RestorMask();

    // The parameter panel's rules, on the selected region of step d.
    void ChangeFunc(int d);
    void ChangeObject(int d);
    void Size(int d, int k);
    // False when a polygon near the edge stopped the move.
    bool MoveRegions(int d, int dx, int dy, const QSize& view);
    bool NextROI(int d);
    // Places a copy of the selected (or last selected, or last) region with
    // its centre, or a polygon's first vertex, at p. Returns a warning text or 0.
    int CopyArea(int d, const QPoint& p);
    int PartCount(int d) const;

    // The first parameters of new region n of step d drawn as shape type.
    static void NewRegionParameters(CammerSingleton& record, int d, int n, int shapeType);
    // The region's function becomes the next one switched on, with its first values.
    static void NextFunction(CammerSingleton& record, int d, int r);

    int selectedRoi = -1;
    int lastSelectedRoi = -1;
    int selectedPart = 0;      // rectangle corner, circle radius or centre, polygon vertex
    int moveMode = 0;          // 0 parameters shown, 1 hidden, 2 all regions move
    int editState = kIdle;
    int dragHandle = -1;
    bool pendingShape = false;
    bool polyActive = false;
    bool touchDown = false;
    QVector<QPoint> polyPoints;
    ClustomRect pendingRect;
    Circle pendingCircle;
    QPoint lastPoint;
    QPoint hitPoint;

protected:
    CameraWorkSet* editSet = nullptr;

private:
    CammerSingleton& record() const { return *editSet->editRecord; }
    bool selectionValid(int d) const;
    void setSelectedFlag(int d, int r, bool on);
    bool handleAt(int d, int r, const QPoint& p, int* handle) const;
    bool containsOrHandle(int d, int r, const QPoint& p) const;
    void pressWithoutTool(int d, const QPoint& p, EditOutcome& out);
    void pressWithTool(const Touch& t, EditTools& tools, EditOutcome& out);
    void dragShape(const Touch& t);
    void dragPolygon(const Touch& t, const EditTools& tools);
    Qt::CursorShape hoverCursor(int d, const QPoint& p);
    void releaseShape(const Touch& t, EditTools& tools, EditOutcome& out);
    bool reachedMoveThreshold(const QPoint& p) const;
    void setPendingEnd(const QPoint& p);
    // Stores the shape in region n, its geometry, mask and first parameters.
    void addRegion(int d, int n, int shapeType);
    void refreshRegion(int d, int r);
    bool moveRegion(int d, int r, int dx, int dy, const QSize& view);

    QPoint pendingStart;
    QPoint pendingEnd;
};
