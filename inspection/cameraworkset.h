#pragma once
// What one camera position keeps for inspection: its frame buffers, region
// records and masks, templates and ignore points, and the results of the last
// inspection. The camera view owns it (and paints from it); the inspection
// engine, the result images and the template files read and write it, so
// that all of them run without a screen.
//
// Frames are gImageH x gImageW: 8-bit grey, or 4 bytes per pixel
// (B, G, R, 255: 0xffRRGGBB) when the cameras deliver colour.

#include "inspection/cammersingleton.h"

#include "core/globals.h"
#include "inspection/framepool.h"

#include <QImage>
#include <opencv2/core/mat.hpp>

#include <vector>

constexpr int kMaxAlarmRects = 100;   // entry 0 holds the count, then up to 99 boxes

// A defect box in frame pixels, x2 and y2 exclusive (x2 = x1 + width).
// In entry 0 of a region, x1 is the number of boxes that follow.
struct AlarmRect {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

class CameraWorkSet
{
public:
    CameraWorkSet();
    Q_DISABLE_COPY(CameraWorkSet)

    // Allocates the frame buffers (zeroed) for w x h frames, grey or colour,
    // and gives every step templateSlots empty template slots.
    void Allocate(int w, int h, bool colour, int templateSlots);
    bool IsColour() const { return imageWork.type() == CV_8UC4; }
    // An empty frame of this set's size and kind (grey or colour).
    cv::Mat NewFrame() const;
    // Puts frame (of this set's size and kind) into template slot t of step
    // d and marks the slot in use; templateTotal follows.
    void SetTemplate(int d, int t, const cv::Mat& frame);
    // Empties template slot t of step d.
    void ClearTemplate(int d, int t);

    int cameraIndex = 0;
    CammerSingleton* liveRecord = nullptr;   // record in force (judged)
    CammerSingleton* editRecord = nullptr;   // record being edited (previewed)
    RegionMasks liveMasks;
    RegionMasks editMasks;

    cv::Mat imageRaw;      // newest frame taken over by the run controller
    cv::Mat imageWork;     // that frame aligned to the template (judged)
    cv::Mat imageShow;     // frame on show (may share imageRaw's buffer)
    cv::Mat imageGray;     // grey or hue conversion of a colour frame (colour only)
    cv::Mat defectImage;   // 8-bit: non-zero where the last inspection or preview found pixels
    QImage imageRgb32;     // 32-bit picture of the whole frame on show; made when first needed
    // Buffers for imageRaw, imageShow and imageWork: each is detached
    // through it before it is written in place.
    FramePool frames;

    // Per step: template slots (an empty Mat for a slot not in use), their
    // use flags (1 in use) and how many are in use. Slot 0 is the reference.
    std::vector<cv::Mat> templates[kMaxDetects];
    std::vector<int> templateFlags[kMaxDetects];
    int templateTotal[kMaxDetects] = {};
    int shownTemplate = 0;

    // Per step: 8-bit frame of ignore points (non-zero = not inspected).
    cv::Mat ignoreImage[kMaxDetects];

    // Results of the last inspection of each step.
    bool cameraOk = true;
    bool roiOk[kMaxDetects][kMaxRegions] = {};
    int roiValue[kMaxDetects][kMaxRegions] = {};
    AlarmRect alarmRects[kMaxDetects][kMaxRegions][kMaxAlarmRects] = {};
    bool previewShown = false;
};
