#pragma once
// Annotated result pictures of a camera's detection step: the verdict, the
// region outlines, the alarm boxes and each region's limit and value drawn
// on the aligned frame. A picture waits in gpFailImage until the OK/NG
// decision hands it to the writer thread (gisSaveFail), which saves it as a
// JPEG file in the step's NG or OK folder (see SaveFialImageThread).
//
// gpFailImage, gisSaveFail and gFailIndex are guarded by pMutexSaveFail.

#include "core/globals.h"
#include "inspection/circle.h"
#include "inspection/pendingpicture.h"

#include <QImage>
#include <QRect>
#include <QString>
#include <QVector>
#include <opencv2/core/mat.hpp>

#include <vector>

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

// What a result picture shows, taken from a view when a decision keeps the
// picture; drawn later, on any thread (the view goes on to its next frames).
struct ResultPictureOrder {
    struct Region {
        int type = 0;             // kRoiRect, kRoiCircle or a polygon
        QRect rect;               // rectangle in frame pixels
        Circle circle;
        QVector<QPoint> points;   // polygon in frame pixels
        bool failed = false;
        std::vector<QRect> boxes; // alarm boxes of a failed region
        QString label;
    };
    int camera = 0;
    int d = 0;
    int kind = 0;
    bool doorCycle = false;
    cv::Mat frame;                 // the aligned frame, sharing the view's buffer
    qreal circleScaleX = 1;        // display to frame pixels, for circles
    qreal circleScaleY = 1;
    std::vector<Region> regions;
};

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
    // The same in two halves: what to draw, taken from the view (false when
    // there is nothing to draw), and the drawing, into canvas (reused when it
    // has the size), stored as the pending picture.
    static bool Order(const CameraWorkSet& view, int d, int kind, bool doorCycle, ResultPictureOrder* order);
    static void Draw(const ResultPictureOrder& order, QImage& canvas);
    // Writes how the alarm was cleared onto pending picture kind of step d,
    // by imageState (the camera's and step's ResultImageState), and advances
    // imageState: 4, 5, 6 -> 9, 7 -> 8, 8 -> 10.
    static void UpdateFailImage(int camera, int d, int kind, int* imageState);
    // The same in two halves: the caption of imageState, which it advances,
    // and the caption written onto the pending picture.
    static QString ClearCaption(int* imageState);
    static void DrawClearCaption(int camera, int d, int kind, const QString& caption);
};
