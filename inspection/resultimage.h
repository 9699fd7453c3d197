#pragma once
// Annotated result pictures of a camera's detection step: the verdict, the
// region outlines, the alarm boxes and each region's limit and value drawn
// on the aligned frame. A picture waits in gpFailImage until the OK/NG
// decision hands it to the writer thread (gisSaveFail), which saves it as a
// JPEG file in the step's NG or OK folder (see SaveFialImageThread).
//
// gpFailImage, gisSaveFail and gFailIndex are guarded by pMutexSaveFail.

#include "core/globals.h"
#include "inspection/pendingpicture.h"

#include <QImage>
#include <QString>

class CameraWorkSet;
class CammerSingleton;

constexpr int kPictureNg = 0;   // picture kinds
constexpr int kPictureOk = 1;

// Pending pictures (frame size; null until first made).
extern PendingPicture gpFailImage[kMaxCameras][kMaxDetects][2];
// Picture handed over to the writer and not yet saved.
extern bool gisSaveFail[kMaxCameras][kMaxDetects][2];
// Number (from 1) of the first failed region of the pending NG picture; 0 none.
extern int gFailIndex[kMaxCameras][kMaxDetects];

class ResultImage
{
public:
    // "./alarmimage//camera<camera + 1>//detect<step + 1>//NG" (or "OK").
    static QString AlarmDir(int camera, int step, int kind);
    // The label of region r of step d showing value: "<r + 1>: <limit> / <value> "
    // while the step has at most 10 regions, else "<r + 1>: <value>".
    static QString RegionLabel(const CammerSingleton& record, int d, int r, int value);

    // Annotates the view's aligned frame for step d with the results of its
    // record in force and stores it as pending picture kind (kPictureNg or
    // kPictureOk) of the view's camera. doorCycle: the cycle was started by
    // the safety door (captioned so).
    static void SaveFailImage(CameraWorkSet& view, int d, int kind, bool doorCycle);
    // Writes how the alarm was cleared onto pending picture kind of step d,
    // by imageState (the camera's and step's ResultImageState), and advances
    // imageState: 4, 5, 6 -> 9, 7 -> 8, 8 -> 10.
    static void UpdateFailImage(int camera, int d, int kind, int* imageState);
};
