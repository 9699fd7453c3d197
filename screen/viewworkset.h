#pragma once
// What one camera position keeps for inspection: its frame buffers, region
// records and masks, templates and ignore points, and the results of the
// last inspection. The camera view owns it and paints from it; the
// inspection engine reads and writes it.
//
// Frames are gImageH x gImageW: 8-bit grey, or 4 bytes per pixel
// (B, G, R, 255: 0xffRRGGBB) in colour mode.

#include "inspection/cammersingleton.h"

#include "core/globals.h"

#include <QImage>
#include <opencv2/core/mat.hpp>

#include <vector>

constexpr int kMaxAlarmRects = 100;   // entry 0 holds the count, then up to 99 boxes

// A defect box in frame pixels, x2 and y2 exclusive. In entry 0 of a
// region, x1 is the number of boxes that follow.
struct AlarmRect {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

class ViewWorkSet
{
public:
    ViewWorkSet();
    Q_DISABLE_COPY(ViewWorkSet)

    // Allocates the frame buffers (zeroed) for w x h frames, grey or colour,
    // and gives every step templateSlots empty template slots.
    void Allocate(int w, int h, bool colour, int templateSlots);
    bool IsColour() const { return imageWork.type() == CV_8UC4; }
    // An empty frame of this set's size and kind.
    cv::Mat NewFrame() const;
    // Puts frame into template slot t of step d and marks the slot in use.
    void SetTemplate(int d, int t, const cv::Mat& frame);

    int cameraIndex = 0;
    CammerSingleton* liveRecord = nullptr;   // record in force (judged)
    CammerSingleton* editRecord = nullptr;   // record being edited
    RegionMasks liveMasks;
    RegionMasks editMasks;

    cv::Mat imageRaw;      // newest frame taken over
    cv::Mat imageWork;     // that frame aligned to the template (judged)
    cv::Mat imageShow;     // frame on show
    cv::Mat imageGray;     // grey or hue conversion (colour only)
    cv::Mat defectImage;   // 8-bit: non-zero where the last inspection or preview found pixels
    QImage imageRgb32;     // 32-bit picture of the frame

    std::vector<cv::Mat> templates[kMaxDetects];
    std::vector<int> templateFlags[kMaxDetects];
    int templateTotal[kMaxDetects] = {};
    int shownTemplate = 0;

    cv::Mat ignoreImage[kMaxDetects];   // 8-bit, non-zero = not inspected

    bool cameraOk = true;
    bool roiOk[kMaxDetects][kMaxRegions] = {};
    int roiValue[kMaxDetects][kMaxRegions] = {};
    AlarmRect alarmRects[kMaxDetects][kMaxRegions][kMaxAlarmRects] = {};
    bool previewShown = false;
};
