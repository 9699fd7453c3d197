#include "inspection/autoregion.h"

#include "inspection/cameraworkset.h"
#include "inspection/geometry.h"
#include "inspection/regionjudge.h"
#include "inspection/templatestore.h"

#include <QPoint>
#include <QVector>
#include <opencv2/imgproc.hpp>

#include <cmath>

namespace {

constexpr double kTruncateAt = 50;      // differences above this count as this
constexpr double kHullAccuracy = 10;    // pixels
constexpr double kSensitivityShare = 0.2;
const cv::Size kSmallKernel(3, 3);
const cv::Size kCloseOpenKernel(30, 30);
const cv::Size kGrowKernel(50, 50);

cv::Mat grey(const cv::Mat& frame)
{
    if (frame.empty() || frame.type() == CV_8UC1)
        return frame;
    cv::Mat out;
    cv::cvtColor(frame, out, cv::COLOR_BGRA2GRAY);
    return out;
}

// The cleaned-up difference: small specks gone, nearby parts joined, and
// the result grown by the large ellipse.
cv::Mat changedArea(const cv::Mat& difference)
{
    cv::Mat t;
    cv::threshold(difference, t, kTruncateAt, 255, cv::THRESH_TRUNC);
    const cv::Mat small = cv::getStructuringElement(cv::MORPH_RECT, kSmallKernel);
    const cv::Mat middle = cv::getStructuringElement(cv::MORPH_ELLIPSE, kCloseOpenKernel);
    const cv::Mat large = cv::getStructuringElement(cv::MORPH_ELLIPSE, kGrowKernel);
    cv::morphologyEx(t, t, cv::MORPH_OPEN, small);
    cv::morphologyEx(t, t, cv::MORPH_CLOSE, middle);
    cv::morphologyEx(t, t, cv::MORPH_OPEN, middle);
    cv::morphologyEx(t, t, cv::MORPH_DILATE, large);
    return t;
}

// The mean of the non-zero differences inside box, times the share.
int sensitivityIn(const cv::Mat& difference, const cv::Rect& box)
{
    const cv::Mat part = difference(box & cv::Rect(cv::Point(), difference.size()));
    const int changed = cv::countNonZero(part);
    if (changed == 0)
        return 0;
    const double sum = cv::sum(part)[0];
    return static_cast<int>(static_cast<int>(sum / changed) * kSensitivityShare);
}

int toDisplay(int v, float scale, int axis)
{
    int d = static_cast<int>(std::lround(v * static_cast<double>(scale)));
    CheckInRange(&d, axis);
    return d;
}

}  // namespace

RegionProposal ProposeRegion(const cv::Mat& productTemplate, const cv::Mat& mouldTemplate)
{
    RegionProposal out;
    if (productTemplate.empty() || productTemplate.size() != mouldTemplate.size()
        || productTemplate.type() != CV_8UC1 || mouldTemplate.type() != CV_8UC1)
        return out;
    cv::Mat difference;
    cv::absdiff(productTemplate, mouldTemplate, difference);
    std::vector<std::vector<cv::Point>> contours;
    std::vector<cv::Vec4i> hierarchy;
    cv::findContours(changedArea(difference), contours, hierarchy, cv::RETR_TREE, cv::CHAIN_APPROX_SIMPLE);
    std::vector<cv::Point> points;
    for (const std::vector<cv::Point>& c : contours)
        points.insert(points.end(), c.begin(), c.end());
    if (points.empty())
        return out;
    std::vector<cv::Point> hull;
    cv::convexHull(points, hull, false, true);
    cv::approxPolyDP(hull, out.polygon, kHullAccuracy, true);
    out.sensitivity = sensitivityIn(difference, cv::boundingRect(out.polygon));
    return out;
}

bool AutogenerationRegion(CameraWorkSet& view, int step, int filterSize, int alarmArea)
{
    if (!view.editRecord || step < 0 || step >= kMaxDetects || view.editRecord->roiNum[step] != 0)
        return false;
    const RegionProposal proposal = ProposeRegion(grey(TemplateStore::ReferenceTemplate(view, 0)),
                                                  grey(TemplateStore::ReferenceTemplate(view, 1)));
    if (proposal.polygon.empty())
        return false;
    // The outline is in frame pixels; the record keeps display coordinates.
    QVector<QPoint> points;
    for (const cv::Point& p : proposal.polygon)
        points << QPoint(toDisplay(p.x, gShowAW, 1), toDisplay(p.y, gShowAH, 0));
    CammerSingleton& record = *view.editRecord;
    const int r = 0;
    record.polygons[step][r].setPoints(points.size(), points.constData());
    record.roiType[step][r] = kRoiPolygon;
    record.SetImageRect(step, r);
    view.editMasks[step][r] = record.MakeMask(step, r);
    record.polygons[step][r].SetSelected(true);
    record.func[step][r] = kFuncDefect;
    record.minWH[step][r] = filterSize;
    record.sensitivity[step][r] = proposal.sensitivity;
    record.area[step][r] = alarmArea;
    record.roiNum[step] = 1;
    return true;
}
