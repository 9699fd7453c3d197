#pragma once
// What a camera view reads of the main window while it paints: the run
// state, the step shown, the layout scales, the zoom of the selected view
// and the touch read-out. The main window gathers it in one place
// (MainWindow::viewReadings), so that the views follow whoever keeps the
// run state.

#include "screen/regionediting.h"
#include "screen/runstate.h"

#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QString>

class TitleBar;

// Values of the countdown phase.
enum CountdownPhaseValue { kPhaseCounting = 1, kPhaseJudged = 2, kPhaseShown = 3 };

struct ViewReadings {
    int runState = RunState::Detecting;
    int displayState = DisplayState::Normal;
    int countdownPhase = kPhaseShown;
    int curDetect = 0;      // step of the running or last inspection
    int editDetect = 0;     // step shown and edited in the region editor
    // Seconds left on the first step whose countdown runs; 0 when none runs.
    float countdown = 0;
    int selectedView = 0;
    int drawTool = 0;
    float imageScaleX = 1;     // frame pixels -> view pixels
    float imageScaleY = 1;
    float displayScaleX = 1;   // display coordinates -> view pixels
    float displayScaleY = 1;
    QPointF zoomOffset;
    double zoomFactor = 1;
    int zoomTool = 0;       // 2: a drag pans the zoomed view
    QPoint cursorImagePos;
    int cursorValue = 0;
};

// A stored result picture browsed on the editor option bar (image sources 3
// and 4).
struct BrowsedPicture {
    QImage picture;
    QString name;    // file name without ".jpg"
    int index = 0;   // from 0
    int count = 0;   // pictures found
    int camera = 0;  // camera they belong to, from 0
};

// The main window as the camera views see it.
class ViewHost
{
public:
    virtual ~ViewHost() = default;
    virtual ViewReadings viewReadings() const = 0;
    // Frames counted for camera i in the last second.
    virtual int frameRate(int camera) const = 0;
    virtual TitleBar* statusBar() const = 0;
    // The stored picture being browsed, or null.
    virtual const BrowsedPicture* browsedPicture() const = 0;

    // Touches on the views. The editor tool bar's choices (null: none kept).
    virtual EditTools* editTools() { return nullptr; }
    // With all views shown, a touched view becomes the one shown alone.
    virtual void SelectTouchedView(int) {}
    // The title bar's read-out: the frame point under the touch and its value.
    virtual void SetCursorReading(const QPoint&, int) {}
    // Moves the zoomed selected view by delta view pixels.
    virtual void PanSelectedView(const QPointF&) {}
};

// Image source of the views: -1 live frames outside the editor (at start),
// 0 the template of the edited step, 1 live frames, 2 the recent NG frames,
// 3 stored OK pictures, 4 stored NG pictures. Set by the editor bars.
extern int gSource;
enum ImageSource { kTemplate = 0, kLive = 1, kRecentNg = 2, kOkRecords = 3, kNgRecords = 4 };

// Pages of the main window's side stack.
enum SidePage { kOptionBarPage = 0, kEditorBarPage = 1, kAlarmBarPage = 2 };
