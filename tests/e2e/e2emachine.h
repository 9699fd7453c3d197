#pragma once
// The machine the end-to-end tests and the run benchmark set up for the
// real program (no test framework here): every settings row written from a
// WizardPara, one white-area region per detection step and camera (a black
// frame passes, a white patch inside the region fails), and simulated grey
// cameras whose frames are replaced by renaming a new file over frame.png.

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>

class CammerSingleton;
class WizardPara;

namespace e2e {

// Frame size of the simulated cameras, unless given, and the place of each
// step's region (frame pixels); a patch is a white square inside a region.
constexpr int kFrameW = 640;
constexpr int kFrameH = 480;
const QSize kFrameSize(kFrameW, kFrameH);
extern const QRect kRegion[2];   // product step, mould step
extern const QRect kPatch[2];
// The display area that region coordinates are given in.
extern const int kShowW;
extern const int kShowH;
// Camera family of the simulated cameras: its frame size is the frames'.
constexpr int kCameraFamily = 7;

// Where a camera's frame has a white patch (bits).
enum Patch { kNoPatch = 0, kProductPatch = 1, kMouldPatch = 2 };

// Settings of the baseline machine: standard type, product and mould step
// (0.3 s and 0.3 + 0.5 s after the mould opened), every option off, English.
void BaselineSettings(WizardPara* para);
// Every row of PARAM.db (the installation's defaults) into para, then the baseline.
bool LoadBaseline(const QString& paramDb, WizardPara* para);
// A rectangle of frame pixels in display coordinates.
QRect DisplayRect(const QRect& frameRect, const QSize& frame = kFrameSize);
// One white-area region per step (the only regions of the camera), region 0
// with the NG output regionOutput.
void SetRegions(CammerSingleton* record, int regionOutput, const QSize& frame = kFrameSize);
// Writes every settings row and the regions of cameras 0..cameras-1.
bool WriteSettings(const QString& paramDb, WizardPara& para, int cameras, int regionOutput,
                   const QSize& frame = kFrameSize);
// Changes the regions of one camera in PARAM.db.
bool EditRegions(const QString& paramDb, int camera, const std::function<void(CammerSingleton*)>& edit);
// A black frame with the given patches.
QImage Frame(int patches, const QSize& frame = kFrameSize);
// The simulated cameras under root: the family and each camera's first frame.
bool WriteCameras(const QString& root, int cameras, const int* patches, const QSize& frame = kFrameSize,
                  int family = kCameraFamily);
// Replaces the frame of the camera in folder camDir (renamed over frame.png).
bool ReplaceFrame(const QString& camDir, int patches, const QSize& frame = kFrameSize);

}  // namespace e2e
