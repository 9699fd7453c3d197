#pragma once
// One camera view as the run controller drives it: the controller takes
// over frames, inspects steps, reads the verdict and the failed regions,
// and hands result pictures on. CammerWidget implements it. The per-cycle
// marks noDetect and relearn live in the controller (RunControlState).

#include <QString>
#include <QVector>

// A region that failed the last inspection of a step, with its NG output
// number (0..3 drive the region NG outputs 4..7).
struct FailedRegion {
    int region = 0;
    int output = 0;
};

class RunView
{
public:
    virtual ~RunView() = default;

    // Polling pass.
    // Takes over the newest frame when one arrived (imageIn -> imageRaw under
    // the camera's pMutex, brightness); true when there was one.
    virtual bool TakeFrame() = 0;
    // imageRaw -> imageShow and repaint, when the live picture is shown.
    virtual void ShowLiveFrame() = 0;
    virtual void SetWB() = 0;
    // Camera-less operation: a picture of exactly the frame size becomes
    // imageRaw; anything else leaves imageRaw unchanged.
    virtual void LoadTestPicture(const QString& file) = 0;
    // Why the camera's latest frame cannot be judged (a frame of another size
    // was refused, or no frame has come since start); empty when it can.
    virtual QString frameFault() const = 0;

    // Inspection of one step.
    // imageRaw as a BMP: 8-bit grey with the grey table, or 32-bit RGB.
    virtual void SaveOriginal(const QString& file) = 0;
    // Aligns imageRaw into imageWork, copies imageRaw to imageShow and judges
    // the step: sets cameraOk and the region results.
    virtual void Inspect(int step) = 0;
    virtual bool cameraOk() const = 0;
    virtual void setCameraOk(bool ok) = 0;
    virtual QVector<FailedRegion> FailedRegions(int step) const = 0;
    // imageWork into the ring of the last three NG frames of the step.
    virtual void PushNgRing(int step) = 0;
    // Repaint when the live picture is shown.
    virtual void UpdateLive() = 0;
    // Stores the current frame as template 0 of the step (trained later).
    virtual void SaveReTrainImage(int step) = 0;

    // Decision.
    virtual void StartBlink() = 0;   // blink the defects, 1000 ms
    // Annotates imageWork as the pending picture kind (0 NG, 1 OK) of the
    // step; doorCycle captions it as a safety-door cycle. This and the
    // caption below may serve the GUI thread's events while they draw (see
    // RunController).
    virtual void SaveFailImage(int step, int kind, bool doorCycle) = 0;
    // Captions pending picture kind by the result-image state it is in; the
    // controller then moves the state on (RunController::CaptionedState).
    virtual void UpdateFailImage(int step, int kind, int imageState) = 0;
    // Hands pending pictures to the writer (gisSaveFail under pMutexSaveFail).
    virtual void HandOff(int step, bool ng, bool ok) = 0;
    // cameraOk set; for steps below `steps` every region OK with value 0.
    virtual void ResetResults(int steps) = 0;
    // CreateShape and VarTrain of the step on the view's engine.
    virtual void Retrain(int step) = 0;
    // Clears the step's ignore-point image and stores it.
    virtual void ClearIgnorePoints(int step) = 0;
};
