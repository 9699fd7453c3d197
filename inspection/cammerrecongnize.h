#pragma once
// The inspection engine of one camera: per detection step it keeps what
// judging needs and is costly to build (the valid-area mask, a trained
// matcher per defect or similarity region, the positioning model and its
// search window), aligns each new frame to the step's template and judges
// every region of the step.
//
// It works on the camera's region record in force and on its working set
// (CameraWorkSet, owned by the camera view): training reads the templates,
// ignore points and masks there; ShapeMatch writes imageWork from imageRaw;
// Run and RunTest write the results (cameraOk, roiOk, roiValue, alarmRects,
// defectImage, previewShown). Settings come from gpWPara. What the engine
// tells the rest of the program goes through gInspectionHooks(): the
// operation record line of a region that cannot be judged, and the region
// results of a cycle (g_listParamROI) while a trigger source is set and the
// network link is on.
//
// GUI thread only, except that InspectAll judges several cameras at once.
//
// Calls, for the camera view:
//   construction (after the record, masks, templates and ignore points are
//   loaded) trains every enabled step;
//   after regions, templates, ignore points or settings change:
//   CreateShape(d), then VarTrain(d) (VarTrain alone after ignore points or
//   templates only);
//   each inspection: ShapeMatch(curDetect), then Run(curDetect) - or
//   InspectAll over the views in use for the same effect on all cameras;
//   the parameter sliders: RunTest(editDetect, selectedRoi), repaint when
//   it returns true.

#include "inspection/cameraworkset.h"
#include "inspection/findshape.h"
#include "inspection/graymatch.h"
#include "inspection/paramroi.h"
#include "inspection/surf.h"

#include <QStringList>
#include <opencv2/core/mat.hpp>

#include <vector>

class CammerRecong
{
public:
    // record: the camera's record in force (not owned); view: its working
    // set, allocated (not owned). Trains every step whose detectOn is set.
    CammerRecong(CammerSingleton* record, CameraWorkSet* view);
    Q_DISABLE_COPY(CammerRecong)

    // Rebuilds step d's valid-area mask (ignore points and ignore areas cut
    // out) and the matchers of its defect and similarity regions from the
    // templates in use.
    void VarTrain(int detect);
    // Rebuilds step d's positioning model from template 0 and its search
    // window. Does nothing while positioning is off or in colour mode.
    void CreateShape(int detect);
    // Writes imageRaw, brought into the template position of step d, into
    // imageWork (a plain copy when the step has no model or it is not found).
    void ShapeMatch(int detect);
    // Judges every region of step d on imageWork.
    void Run(int detect);
    // Previews region roi of step d of the edited record on the template on
    // show (the grey conversion in colour mode) into defectImage and
    // roiValue; declares nothing. True when the view should repaint.
    bool RunTest(int detect, int roi);

    // ShapeMatch(detect) and Run(detect) on each engine, the cameras judged
    // in parallel; records and region results are handed on in the order of
    // engines, exactly as the calls one after the other would.
    static void InspectAll(const std::vector<CammerRecong*>& engines, int detect);

    // Outcome of the last ShapeMatch.
    struct Alignment {
        bool searched = false;   // a model was searched for
        bool found = false;
        int dx = 0, dy = 0;      // frame pixels
        double angle = 0;        // degrees, counter-clockwise on screen
        double score = 0;
    };
    const Alignment& LastAlignment() const { return alignment; }

    // Trained state, for the view and for checks.
    const cv::Mat& ValidArea(int detect) const { return validArea[detect]; }
    const GrayMatch& GrayMatcher(int detect, int roi) const { return grayMatchers[detect][roi]; }
    const SURF& SurfMatcher(int detect, int roi) const { return surfMatchers[detect][roi]; }
    const FindShape& PositionModel(int detect) const { return positionModels[detect]; }
    cv::Point ModelCentre(int detect) const { return cv::Point(modelCentreX[detect], modelCentreY[detect]); }
    cv::Rect SearchWindow(int detect) const { return searchWindow[detect]; }

private:
    // What a judging pass hands on to the rest of the program.
    struct Report {
        QStringList records;
        QList<param_roi> results;
    };
    // What judging one region found, kept until the step's results are put together.
    struct RegionOutcome {
        bool judged = false;   // ignore areas and the position region are not
        int code = 0;          // kRegionInFrame, else the region's error code
        int value = 0;
        cv::Rect box;
        cv::Mat out;           // box-sized, non-zero where pixels were found
    };
    enum { kScratchEffective, kScratchBin, kScratchCount };

    // Judging a step comes in three parts, so that InspectAll can judge the
    // regions of all cameras in one parallel loop: beginJudging resets the
    // results and takes the grey image; judgeRegion judges one region (in
    // any order, on any thread: it writes only that region's outcome and
    // alarm boxes); finishJudging puts the outcomes together in region order
    // (the defect picture, the verdicts, what is handed on).
    void judge(int d, Report* report);
    void beginJudging(int d);
    void judgeRegion(int d, int r);
    void finishJudging(int d, Report* report);
    int judgedRegions(int d) const;
    void publish(const Report& report) const;
    // Region r of step d of record cut to the frame: 0, or the region's error code.
    int regionInFrame(const CammerSingleton& record, const RegionMasks& masks, int d, int r, cv::Rect* box,
                      cv::Mat* mask) const;
    // A box-sized 8-bit image over the calling thread's scratch buffer i
    // (continuous, not a view of a larger image). The buffers grow to the
    // largest box judged and stay.
    static cv::Mat scratch(int i, const cv::Size& size);
    // The grey image judged: imageWork, or its conversion in colour mode.
    cv::Mat greyWork();
    void noteGreyCamera();
    // The step's templates in use as grey frames, in slot order.
    std::vector<cv::Mat> trainingTemplates(int d) const;
    void trainMatchers(int d, const std::vector<cv::Mat>& sources);

    CammerSingleton* regionRecord = nullptr;
    CameraWorkSet* view = nullptr;
    cv::Mat validArea[kMaxDetects];
    GrayMatch grayMatchers[kMaxDetects][kMaxRegions];
    SURF surfMatchers[kMaxDetects][kMaxRegions];
    FindShape positionModels[kMaxDetects];
    int modelCentreX[kMaxDetects] = {};
    int modelCentreY[kMaxDetects] = {};
    cv::Rect searchWindow[kMaxDetects];
    Alignment alignment;
    cv::Mat judgedGrey;   // the grey image of the step being judged
    RegionOutcome outcomes[kMaxRegions];
    bool greyCameraNoted = false;   // colour mode on a camera that delivers grey, said once
};
