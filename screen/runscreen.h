#pragma once
// What the run controller asks of the main window and its widgets. The main
// window implements every hook; tests use a recording fake.

#include <QVector>

class QString;
class RunView;

class RunScreen
{
public:
    virtual ~RunScreen() = default;

    // Camera layer: a loss was declared (gisLost), and one restart attempt.
    virtual bool cameraLost() const = 0;
    virtual void CameraRestart() = 0;

    // Alarm raised: all views shown (selectedView = numCamera), settings
    // screen hidden, content page 0, ChangeCammer, button column hidden,
    // DrawROIWidget::Reset(false) (shows the alarm bar).
    virtual void ShowAlarm() = 0;
    // Alarm ended: DrawROIWidget::Restart() and side page 0.
    virtual void EndAlarm() = 0;
    // The re-check input during an alarm: DrawROIWidget::SlotReCheck, which
    // ends in RunController::ReCheckStep.
    virtual void AlarmReCheck() = 0;

    // Area check after re-learning: hide the settings screen; the access
    // check (0 = refused); then hide the button column and Reset(false).
    virtual void HideSettings() = 0;
    virtual int CheckPassword() = 0;
    virtual void EnterAreaCheck() = 0;

    // Re-sample: DrawROIWidget::SlotTempDeleteAll, SaveSN(0).
    virtual void DeleteAllTemplates() = 0;
    virtual void SaveSerials() = 0;

    // Judges `step` on every view of the list at once, each exactly as its
    // RunView::Inspect(step) would (the cameras in parallel); false when the
    // views are to be inspected one by one. It may serve the GUI thread's
    // events meanwhile (never user input): the run controller then holds its
    // own timers' work, and its passes end at once.
    virtual bool InspectAll(const QVector<RunView*>& /*views*/, int /*step*/) { return false; }

    // Display.
    virtual void CountdownTick() = 0;  // repaint the countdown label of every view
    virtual void Repaint() = 0;        // show the run state anew (the camera views)
    virtual void PassEnded() = 0;      // repaint the IO status strip and the title bar
    virtual int selectedView() const = 0;
    virtual void SetLed(int n, int value) = 0;  // LEDOnOff
    // When the LCD is off: switch it on and restart the screen-off timer.
    virtual void WakeLcd() = 0;
    // Modal warning box; returns once the operator closed it.
    virtual void ShowWarning(const QString& text) = 0;
    // Hides the shared warning box gpWarnBox.
    virtual void HideWarning() = 0;
};
