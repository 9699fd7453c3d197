#include "inspection/regionjudge.h"

#include "inspection/regionbox.h"

#include "core/wizardpara.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <climits>

namespace {

// An element this large reaches every pixel of the image from every pixel:
// erosion and dilation then give the image's minimum and maximum everywhere,
// whatever larger element is asked for.
bool KernelCoversImage(const cv::Mat& img, int k)
{
    return k > 2 * (img.cols + img.rows) + 1;
}

// Elements of the sizes the sliders offer, made once (judging runs them for
// every region of every frame, on several cameras at once).
constexpr int kCachedKernels = 101;

const cv::Mat& Kernel(int k)
{
    static const std::vector<cv::Mat> kernels = [] {
        std::vector<cv::Mat> made(kCachedKernels);
        for (int i = 1; i < kCachedKernels; ++i)
            made[i] = EllipseKernel(i);
        return made;
    }();
    thread_local cv::Mat larger;
    if (k < kCachedKernels)
        return kernels[k];
    larger = EllipseKernel(k);
    return larger;
}

void Morphology(const cv::Mat& src, cv::Mat& dst, int op, int k)
{
    if (src.empty() || k <= 1) {   // a 1 x 1 element changes nothing
        if (src.data != dst.data)
            src.copyTo(dst);
        return;
    }
    if (KernelCoversImage(src, k)) {
        double lo = 0, hi = 0;
        cv::minMaxLoc(src, &lo, &hi);
        dst.create(src.size(), src.type());
        dst.setTo(op == cv::MORPH_OPEN ? lo : hi);
        return;
    }
    cv::morphologyEx(src, dst, op, Kernel(k), cv::Point(-1, -1), 1, cv::BORDER_CONSTANT,
                     cv::morphologyDefaultBorderValue());
}

void RecordBox(AlarmRect* boxes, int n, const cv::Rect& bb, const cv::Point& origin)
{
    AlarmRect& box = boxes[n];
    box.x1 = origin.x + bb.x;
    box.y1 = origin.y + bb.y;
    box.x2 = box.x1 + bb.width;
    box.y2 = box.y1 + bb.height;
}

// Where the background lies inside a blob's bounding box: the x of its
// centroid (rounded), or -1 when the blob fills the whole box.
int BackgroundCentreX(const std::vector<cv::Point>& contour, const cv::Rect& bb)
{
    cv::Mat blob = cv::Mat::zeros(bb.size(), CV_8UC1);
    cv::drawContours(blob, std::vector<std::vector<cv::Point>>{contour}, 0, cv::Scalar(255), cv::FILLED,
                     cv::LINE_8, cv::noArray(), INT_MAX, -bb.tl());
    cv::bitwise_not(blob, blob);
    const cv::Moments m = cv::moments(blob, false);
    if (m.m00 == 0)
        return -1;
    return cvRound(m.m10 / m.m00);
}

}  // namespace

bool GreyRangeOf(int func, int a, int b, int* lo, int* hi)
{
    switch (func) {
    case kFuncSpot: {
        const int first = a & 0xFF, second = (a >> 8) & 0xFF;
        *lo = std::min(first, second);
        *hi = std::max(first, second);
        return true;
    }
    case kFuncBlackArea:
        *lo = 0;
        *hi = b & 0xFF;
        return true;
    case kFuncWhiteArea:
    case kFuncWhiteCount:
        *lo = b & 0xFF;
        *hi = 255;
        return true;
    default:
        return false;
    }
}

int OpeningKernel(int func, int a, const WizardPara& settings)
{
    int k = 1;
    switch (func) {
    case kFuncDefect:
        k = settings.perRoiParams ? a : settings.filterSize;
        break;
    case kFuncSpot:
    case kFuncBlackArea:
    case kFuncWhiteArea:
        k = settings.minSpot;
        break;
    case kFuncWhiteCount:
        k = a;
        break;
    default:
        break;
    }
    return std::max(k, 1);
}

void SelectGreyRange(const cv::Mat& region, int lo, int hi, const cv::Mat& mask, cv::Mat& bin)
{
    cv::inRange(region, cv::Scalar(lo), cv::Scalar(hi), bin);
    cv::bitwise_and(bin, mask, bin);
}

void OpenImage(const cv::Mat& src, cv::Mat& dst, int k)
{
    Morphology(src, dst, cv::MORPH_OPEN, k);
}

void CloseImage(const cv::Mat& src, cv::Mat& dst, int k)
{
    Morphology(src, dst, cv::MORPH_CLOSE, k);
}

BlobCount CountBlobs(const cv::Mat& bin, const cv::Point& origin, AlarmRect* boxes)
{
    BlobCount result;
    std::vector<std::vector<cv::Point>> contours;
    cv::findContours(bin, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_NONE);
    double area = 0;
    for (const auto& contour : contours) {
        area = static_cast<int>(area + cv::contourArea(contour));
        if (boxes && result.count < kMaxBoxes)
            RecordBox(boxes, result.count + 1, cv::boundingRect(contour), origin);
        ++result.count;
    }
    result.area = static_cast<int>(area);
    if (boxes)
        boxes[0].x1 = std::min(result.count, kMaxBoxes);
    return result;
}

int DirectionTest(const cv::Mat& region, int side, int b, int c, bool preview, cv::Mat& out,
                  const cv::Point& origin, AlarmRect* boxes)
{
    const double lo = std::min(b, c), hi = std::max(b, c);
    cv::Mat bin;
    cv::threshold(region, bin, 0, 255, cv::THRESH_BINARY | cv::THRESH_OTSU);
    std::vector<std::vector<cv::Point>> contours;
    cv::findContours(bin, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_SIMPLE);
    int flagged = 0;
    for (int i = 0; i < static_cast<int>(contours.size()); ++i) {
        const double area = cv::contourArea(contours[i]);
        if (!(area > lo && area < hi))
            continue;
        const cv::Rect bb = cv::boundingRect(contours[i]);
        const int cx = BackgroundCentreX(contours[i], bb);
        const int half = bb.width / 2;
        const bool flag = cx >= 0 && ((cx > half && side == 0) || (cx < half && side == 1));
        if (flag || preview)
            cv::drawContours(out, contours, i, cv::Scalar(255), cv::FILLED);
        if (!flag)
            continue;
        if (preview)
            cv::rectangle(out, bb, cv::Scalar(255), 1);
        if (boxes && flagged < kMaxBoxes)
            RecordBox(boxes, flagged + 1, bb, origin);
        ++flagged;
    }
    if (boxes)
        boxes[0].x1 = std::min(flagged, kMaxBoxes);
    return flagged;
}

Verdict JudgeValue(int func, int value, int b, int c, const WizardPara& settings)
{
    Verdict v;
    switch (func) {
    case kFuncDefect: {
        const int limit = settings.perRoiParams ? c : settings.alarmArea;
        v.ng = settings.templateIsNgImage ? value < limit : value > limit;
        v.upper = c;
        break;
    }
    case kFuncSpot:
        v.ng = value < b || value > c;
        v.lower = b;
        v.upper = c;
        break;
    case kFuncSimilarity:
        v.ng = value < b;
        v.lower = b;
        v.upper = -1;
        break;
    case kFuncDirection:
        v.ng = value > 0;
        break;
    default:   // 4, 5, 7
        v.ng = value > c;
        v.upper = c;
        break;
    }
    return v;
}
