#include "inspection/cammerrecongnize.h"

#include "inspection/imagehelpers.h"
#include "inspection/inspectionhooks.h"
#include "inspection/regionbox.h"
#include "inspection/regionjudge.h"
#include "inspection/stepwork.h"

#include "core/texttable.h"
#include "core/wizardpara.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QtDebug>

#include <opencv2/core.hpp>

#include <algorithm>

QList<param_roi> g_listParamROI;

namespace {

const char* const kRegionErrorRecord = "REG RUN ERROR = %1, %2, %3";
constexpr int kValidAreaMissing = -2;   // the step was never trained
constexpr int kDefaultLeastMatch = 5;
constexpr int kMaxRotation = 180;
constexpr int kGreyTolerancePercent = 100;   // edge widening of the grey band
constexpr int kGreyMaxTolerance = 150;

const WizardPara& Settings()
{
    static const WizardPara defaults;
    return gpWPara ? *gpWPara : defaults;
}

bool StepInRange(int d)
{
    return d >= 0 && d < kMaxDetects;
}

int RegionCount(const CammerSingleton& record, int d)
{
    return std::clamp(record.roiNum[d], 0, kMaxRegions);
}

// Turning is corrected when the settings give a range of 1..180 degrees.
bool RotationOn(const WizardPara& w)
{
    return w.rotationCorrection >= 1 && w.rotationCorrection <= kMaxRotation;
}

bool IsFrame(const cv::Mat& m, const cv::Size& frame, int type)
{
    return !m.empty() && m.size() == frame && m.type() == type;
}

// The grey picture a colour frame is judged on: its luma with the grey channel
// chosen, else its hue; a frame without colour (a grey camera in colour mode)
// has no hue to speak of and is judged on its luma. True when it had none.
bool ToGrey(const cv::Mat& frame, uchar* out)
{
    const int* rgba = reinterpret_cast<const int*>(frame.data);
    const bool colourless = gisGrayHue != 1 && RGBAColourless(rgba, frame.cols, frame.rows);
    if (gisGrayHue == 1 || colourless)
        RGBA2Gray(out, rgba, frame.cols, frame.rows);
    else
        RGBA2Hue(out, rgba, frame.cols, frame.rows);
    return colourless;
}

// A template as a grey frame: itself in grey mode, else as ToGrey makes it.
cv::Mat GreyOf(const cv::Mat& frame)
{
    if (frame.type() == CV_8UC1)
        return frame;
    cv::Mat grey(frame.size(), CV_8UC1);
    ToGrey(frame, grey.data);
    return grey;
}

// The valid area of a step where nothing is ignored: one frame of 255 for
// every such step of every camera (8 steps of 8 cameras would otherwise hold
// 80 MB of it at 1280 x 1024). Only read: VarTrain makes a step's own anew.
const cv::Mat& WholeFrame(const cv::Size& frame)
{
    static cv::Mat whole;
    if (whole.size() != frame)
        whole = cv::Mat(frame, CV_8UC1, cv::Scalar(255));
    return whole;
}

}  // namespace

CammerRecong::CammerRecong(CammerSingleton* record, CameraWorkSet* workSet)
    : regionRecord(record), view(workSet)
{
    for (int d = 0; d < kMaxDetects; ++d) {
        if (Settings().detectOn[d]) {
            CreateShape(d);
            VarTrain(d);
        }
    }
}

cv::Mat CammerRecong::scratch(int i, const cv::Size& size)
{
    thread_local std::vector<uchar> buffers[kScratchCount];
    std::vector<uchar>& buffer = buffers[i];
    if (buffer.size() < static_cast<size_t>(size.area()))   // grows to the largest box once, then stays
        buffer.resize(size.area());
    return cv::Mat(size, CV_8UC1, buffer.data());
}

int CammerRecong::regionInFrame(const CammerSingleton& record, const RegionMasks& masks, int d, int r,
                                cv::Rect* box, cv::Mat* mask) const
{
    const cv::Mat& full = masks[d][r];
    if (full.empty())
        return kRegionMaskError;
    if (validArea[d].empty())
        return kValidAreaMissing;
    return ClipRegionToFrame(RegionBox(record.ImageBox(d, r)), full, view->imageWork.size(), box, mask);
}

std::vector<cv::Mat> CammerRecong::trainingTemplates(int d) const
{
    std::vector<cv::Mat> sources;
    const std::vector<cv::Mat>& slotImages = view->templates[d];
    const std::vector<int>& flags = view->templateFlags[d];
    const int usable = std::min({gTempNum, static_cast<int>(slotImages.size()), static_cast<int>(flags.size())});
    for (int t = 0; t < usable; ++t) {
        if (!flags[t] || !IsFrame(slotImages[t], view->imageWork.size(), view->imageWork.type()))
            continue;
        sources.push_back(GreyOf(slotImages[t]));
        if (static_cast<int>(sources.size()) >= view->templateTotal[d])
            break;
    }
    return sources;
}

void CammerRecong::VarTrain(int d)
{
    if (!StepInRange(d))
        return;
    for (int r = 0; r < kMaxRegions; ++r) {
        grayMatchers[d][r].Clear();
        surfMatchers[d][r].Clear();
    }
    const CammerSingleton& record = *regionRecord;
    const cv::Size frame = view->imageWork.size();
    // Ignored: every non-zero ignore point, and the shapes of ignore areas
    // (added to the ignore points of their boxes). Then 255 = inspected.
    cv::Mat& valid = validArea[d];
    valid.release();   // made anew: it may be the shared whole frame
    if (IsFrame(view->ignoreImage[d], frame, CV_8UC1))
        cv::compare(view->ignoreImage[d], 0, valid, cv::CMP_NE);
    else
        valid = cv::Mat::zeros(frame, CV_8UC1);
    for (int r = 0; r < RegionCount(record, d); ++r) {
        cv::Rect box;
        cv::Mat mask;
        if (record.func[d][r] == kFuncIgnoreArea
            && regionInFrame(record, view->liveMasks, d, r, &box, &mask) == kRegionInFrame) {
            cv::Mat part = valid(box);
            cv::bitwise_or(part, mask, part);
        }
    }
    cv::bitwise_not(valid, valid);
    if (cv::countNonZero(valid) == frame.area())
        valid = WholeFrame(frame);
    trainMatchers(d, trainingTemplates(d));
}

void CammerRecong::trainMatchers(int d, const std::vector<cv::Mat>& sources)
{
    const CammerSingleton& record = *regionRecord;
    for (int r = 0; r < RegionCount(record, d); ++r) {
        const int func = record.func[d][r];
        cv::Rect box;
        cv::Mat mask;
        if ((func != kFuncDefect && func != kFuncSimilarity)
            || regionInFrame(record, view->liveMasks, d, r, &box, &mask) != kRegionInFrame)
            continue;
        cv::Mat effective;
        cv::bitwise_and(validArea[d](box), mask, effective);
        if (func == kFuncSimilarity) {
            SURF& matcher = surfMatchers[d][r];
            matcher.Create(box.width, box.height, effective);
            for (const cv::Mat& source : sources)
                matcher.AddTemp(source(box));
            matcher.Train();
        } else {
            GrayMatch& matcher = grayMatchers[d][r];
            matcher.Create(box.width, box.height, effective);
            for (const cv::Mat& source : sources)
                matcher.AddTemp(source(box));
            matcher.Train(record.sensitivity[d][r], Settings().diffMultiplier, kGreyTolerancePercent,
                          kGreyMaxTolerance);
        }
    }
}

void CammerRecong::CreateShape(int d)
{
    const WizardPara& w = Settings();
    if (!StepInRange(d) || w.motionCorrection == -1 || view->IsColour())
        return;
    const CammerSingleton& record = *regionRecord;
    const cv::Size frame = view->imageWork.size();
    cv::Rect rect = DefaultPositionRect(frame.width, frame.height);
    cv::Mat mask;   // empty: all of the rectangle
    int leastMatch = kDefaultLeastMatch;
    for (int r = 0; r < RegionCount(record, d); ++r) {
        if (record.func[d][r] != kFuncPosition)
            continue;
        cv::Rect box;
        cv::Mat shapeMask;
        if (ClipRegionToFrame(RegionBox(record.ImageBox(d, r)), view->liveMasks[d][r], frame, &box, &shapeMask)
            == kRegionInFrame) {
            rect = box;
            mask = shapeMask;
            leastMatch = record.minWH[d][r];
        }
        break;   // only the first position region counts
    }
    modelCentreX[d] = rect.x + rect.width / 2;
    modelCentreY[d] = rect.y + rect.height / 2;
    const int angleRange = RotationOn(w) ? w.rotationCorrection : w.motionCorrection;
    const std::vector<cv::Mat>& slotImages = view->templates[d];
    if (!slotImages.empty() && IsFrame(slotImages[0], frame, CV_8UC1))
        positionModels[d].CreateShape(slotImages[0](rect), mask, angleRange, ModelCentre(d), leastMatch);
    else
        positionModels[d].Clear();
    const int m = w.maxLocationOffset;
    const int x0 = std::max(rect.x - m, 0), y0 = std::max(rect.y - m, 0);
    const int x1 = std::min(rect.x + rect.width + m, frame.width);
    const int y1 = std::min(rect.y + rect.height + m, frame.height);
    searchWindow[d] = (x1 - x0 < 1 || y1 - y0 < 1) ? cv::Rect() : cv::Rect(x0, y0, x1 - x0, y1 - y0);
}

void CammerRecong::ShapeMatch(int d)
{
    const WizardPara& w = Settings();
    alignment = Alignment();
    view->frames.Detach(view->imageWork);   // a result picture may still read the last one
    const cv::Mat& raw = view->imageRaw;
    const bool positioned = StepInRange(d) && w.motionCorrection != -1 && !view->IsColour()
        && positionModels[d].IsValid();
    const cv::Rect window = positioned ? searchWindow[d] & cv::Rect(cv::Point(), raw.size()) : cv::Rect();
    if (!window.empty()) {
        int x = 0, y = 0;
        alignment.searched = true;
        alignment.found =
            positionModels[d].Find(raw(window), window.tl(), &x, &y, &alignment.score, &alignment.angle);
        alignment.dx = x - window.x;
        alignment.dy = y - window.y;
    }
    if (!alignment.found) {
        raw.copyTo(view->imageWork);
        return;
    }
    if (RotationOn(w))
        TransformImage(raw, view->imageWork, cv::Point(alignment.dx, alignment.dy), ModelCentre(d),
                       alignment.angle);
    else
        MoveImage(raw, view->imageWork, alignment.dx, alignment.dy);
}

cv::Mat CammerRecong::greyWork()
{
    if (!view->IsColour())
        return view->imageWork;
    if (ToGrey(view->imageWork, view->imageGray.data))
        noteGreyCamera();
    return view->imageGray;
}

// Said once per camera, in the log and (from the GUI thread) in the record.
void CammerRecong::noteGreyCamera()
{
    if (greyCameraNoted)
        return;
    greyCameraNoted = true;
    const QString line = LanStr(595).arg(view->cameraIndex + 1);
    qWarning().noquote() << "camera" << view->cameraIndex + 1 << "delivers grey pictures in colour mode: judged on their grey";
    const auto insert = gInspectionHooks().insertRecord;
    if (insert && QCoreApplication::instance())
        QMetaObject::invokeMethod(QCoreApplication::instance(), [insert, line] { insert(line); }, Qt::QueuedConnection);
}

void CammerRecong::Run(int d)
{
    Report report;
    judge(d, &report);
    publish(report);
}

void CammerRecong::judge(int d, Report* report)
{
    beginJudging(d);
    for (int r = 0; r < judgedRegions(d); ++r)
        judgeRegion(d, r);
    finishJudging(d, report);
}

int CammerRecong::judgedRegions(int d) const
{
    return StepInRange(d) ? RegionCount(*regionRecord, d) : 0;
}

void CammerRecong::beginJudging(int d)
{
    if (!StepInRange(d))
        return;
    CameraWorkSet& v = *view;
    v.cameraOk = true;
    std::fill(v.roiOk[d], v.roiOk[d] + judgedRegions(d), true);
    judgedGrey = greyWork();
    v.defectImage.setTo(0);
}

void CammerRecong::judgeRegion(int d, int r)
{
    const CammerSingleton& record = *regionRecord;
    CameraWorkSet& v = *view;
    RegionOutcome& o = outcomes[r];
    const int func = record.func[d][r];
    o.judged = func != kFuncIgnoreArea && func != kFuncPosition;
    if (!o.judged)
        return;
    cv::Mat mask;
    o.code = regionInFrame(record, v.liveMasks, d, r, &o.box, &mask);
    if (o.code != kRegionInFrame)
        return;
    const cv::Rect box = o.box;
    AlarmRect* boxes = v.alarmRects[d][r];
    const int a = record.minWH[d][r], b = record.sensitivity[d][r], c = record.area[d][r];
    const cv::Mat region = judgedGrey(box);
    o.out.create(box.size(), CV_8UC1);
    if (func == kFuncDirection) {
        o.out.setTo(0);
        o.value = DirectionTest(region, a, b, c, false, o.out, box.tl(), boxes);
        return;
    }
    cv::Mat bin = scratch(kScratchBin, box.size());
    bin.setTo(0);
    int lo = 0, hi = 0, score = 0;
    if (func == kFuncDefect && grayMatchers[d][r].IsValid()) {
        grayMatchers[d][r].Match(region, bin);
    } else if (func == kFuncSimilarity && surfMatchers[d][r].IsValid()) {
        score = static_cast<int>(surfMatchers[d][r].Match(region, bin));
    } else if (GreyRangeOf(func, a, b, &lo, &hi)) {
        cv::Mat effective = scratch(kScratchEffective, box.size());
        cv::bitwise_and(validArea[d](box), mask, effective);
        SelectGreyRange(region, lo, hi, effective, bin);
        if (func == kFuncWhiteCount)
            CloseImage(bin, bin, std::max(a, 1));
    }
    OpenImage(bin, o.out, OpeningKernel(func, a, Settings()));
    const BlobCount blobs = CountBlobs(o.out, box.tl(), boxes);
    o.value = func == kFuncSimilarity ? score : func == kFuncWhiteCount ? blobs.count : blobs.area;
}

void CammerRecong::finishJudging(int d, Report* report)
{
    if (!StepInRange(d))
        return;
    const WizardPara& w = Settings();
    const CammerSingleton& record = *regionRecord;
    CameraWorkSet& v = *view;
    for (int r = 0; r < judgedRegions(d); ++r) {
        const RegionOutcome& o = outcomes[r];
        const int func = record.func[d][r];
        if (!o.judged) {
            v.roiValue[d][r] = 0;
            v.alarmRects[d][r][0].x1 = 0;
            continue;
        }
        if (o.code != kRegionInFrame) {
            v.cameraOk = false;
            report->records << QString::fromLatin1(kRegionErrorRecord).arg(v.cameraIndex).arg(d).arg(o.code);
            continue;
        }
        o.out.copyTo(v.defectImage(o.box));
        v.roiValue[d][r] = o.value;
        const Verdict verdict = JudgeValue(func, o.value, record.sensitivity[d][r], record.area[d][r], w);
        if (verdict.ng) {
            v.cameraOk = false;
            v.roiOk[d][r] = false;
        }
        report->results.append(param_roi{v.cameraIndex, d, r, func, o.value, verdict.lower, verdict.upper,
                                         verdict.ng ? 0 : int(v.cameraOk)});
    }
}

void CammerRecong::publish(const Report& report) const
{
    const InspectionHooks& hooks = gInspectionHooks();
    if (hooks.insertRecord) {
        for (const QString& line : report.records)
            hooks.insertRecord(line);
    }
    const bool cycleReported = hooks.trigSource && hooks.trigSource() != 0;
    if (cycleReported && Settings().netLinkOn)
        g_listParamROI.append(report.results);
}

// One parallel loop over the work of the step: each camera's frame is
// aligned, then its regions are judged, the regions of all cameras mixed so
// that cores do not wait for the slowest camera. The position search's own
// parallel loops run inline there (OpenCV runs a loop inside another as a
// plain loop).
void CammerRecong::InspectAll(const std::vector<CammerRecong*>& engines, int detect)
{
    const int n = static_cast<int>(engines.size());
    std::vector<Report> reports(n);
    StepWork work;
    work.prepare = [&](int i) {
        engines[i]->ShapeMatch(detect);
        engines[i]->beginJudging(detect);
        return engines[i]->judgedRegions(detect);
    };
    work.part = [&](int i, int r) { engines[i]->judgeRegion(detect, r); };
    work.finish = [&](int i) { engines[i]->finishJudging(detect, &reports[i]); };
    RunStepWork(n, work);
    for (int i = 0; i < n; ++i)
        engines[i]->publish(reports[i]);
}

bool CammerRecong::RunTest(int d, int r)
{
    if (!StepInRange(d) || r < 0 || r >= kMaxRegions)
        return false;
    CameraWorkSet& v = *view;
    const CammerSingleton* record = v.editRecord;
    v.defectImage.setTo(0);
    v.roiValue[d][r] = 0;
    v.alarmRects[d][r][0].x1 = 0;
    if (!record || r >= RegionCount(*record, d))
        return false;
    const int func = record->func[d][r];
    if (func == kFuncDefect || func == kFuncIgnoreArea || func == kFuncPosition || func == kFuncSimilarity)
        return true;
    const cv::Size frame = v.imageWork.size();
    const std::vector<cv::Mat>& slotImages = v.templates[d];
    const bool shownInRange = v.shownTemplate >= 0 && v.shownTemplate < static_cast<int>(slotImages.size());
    const cv::Mat source = v.IsColour() ? v.imageGray : shownInRange ? slotImages[v.shownTemplate] : cv::Mat();
    cv::Rect box;
    cv::Mat mask;
    if (!IsFrame(source, frame, CV_8UC1)
        || ClipRegionToFrame(RegionBox(record->ImageBox(d, r)), v.editMasks[d][r], frame, &box, &mask)
            != kRegionInFrame)
        return false;
    const int a = record->minWH[d][r], b = record->sensitivity[d][r], c = record->area[d][r];
    const cv::Mat region = source(box);
    cv::Mat out(box.size(), CV_8UC1, cv::Scalar(0));
    int lo = 0, hi = 0;
    if (func == kFuncDirection) {
        v.roiValue[d][r] = DirectionTest(region, a, b, c, true, out, cv::Point(), nullptr);
    } else if (GreyRangeOf(func, a, b, &lo, &hi)) {
        // A step never trained has no valid-area mask: the region's own mask is used.
        cv::Mat effective = scratch(kScratchEffective, box.size());
        if (validArea[d].empty())
            mask.copyTo(effective);
        else
            cv::bitwise_and(validArea[d](box), mask, effective);
        cv::Mat bin = scratch(kScratchBin, box.size());
        SelectGreyRange(region, lo, hi, effective, bin);
        if (func == kFuncWhiteCount)
            CloseImage(bin, bin, std::max(a, 1));
        OpenImage(bin, out, OpeningKernel(func, a, Settings()));
    }
    out.copyTo(v.defectImage(box));
    if (func != kFuncDirection) {
        const BlobCount blobs = CountBlobs(out, cv::Point(), nullptr);
        v.roiValue[d][r] = func == kFuncWhiteCount ? blobs.count : blobs.area;
    }
    v.previewShown = true;
    return true;
}
