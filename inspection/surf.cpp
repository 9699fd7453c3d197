#include "inspection/surf.h"

#include "inspection/imagehelpers.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

void SURF::Clear()
{
    *this = SURF();
}

void SURF::Create(int w, int h, const cv::Mat& m)
{
    Clear();
    size = cv::Size(std::max(w, 0), std::max(h, 0));
    mask = MaskOrWhole(m, size);
    const bool roomToShift = size.width > 4 * kMaxShift && size.height > 4 * kMaxShift;
    margin = roomToShift ? kMaxShift : 0;
    inner = cv::Rect(margin, margin, size.width - 2 * margin, size.height - 2 * margin);
    innerMask = mask(inner);
    innerCount = cv::countNonZero(innerMask);
    for (int y = 0; y < innerMask.rows; ++y) {
        const uchar* row = innerMask.ptr<uchar>(y);
        for (int x = 0; x < innerMask.cols;) {
            if (!row[x]) {
                ++x;
                continue;
            }
            const int x0 = x;
            while (x < innerMask.cols && row[x])
                ++x;
            runs.push_back({y, x0, x});
        }
    }
    created = true;
}

bool SURF::AddTemp(const cv::Mat& crop)
{
    if (!created || trained || crop.size() != size || crop.type() != CV_8UC1)
        return false;
    Entry e;
    e.image = crop.clone();
    e.image.setTo(0, mask == 0);
    templates.push_back(std::move(e));
    return true;
}

void SURF::Train()
{
    if (!created)
        return;
    for (Entry& e : templates) {
        const cv::Mat t = e.image(inner);
        const double sum = cv::sum(t)[0];
        e.mean = innerCount > 0 ? sum / innerCount : 0.0;
        e.norm = std::sqrt(std::max(t.dot(t) - sum * e.mean, 0.0));
        e.flat = innerCount <= 0 || e.norm / std::sqrt(std::max(innerCount, 1.0)) < kFlatSigma;
    }
    trained = true;
}

// Pearson correlation of the template with the roi window at a shift, inside
// the mask; flat images compare their means instead.
double SURF::correlate(const Entry& e, const cv::Mat& roi, const cv::Point& shift, const cv::Mat& roiSum,
                       const cv::Mat& roiSumSq) const
{
    const cv::Point at(shift.x + margin, shift.y + margin);
    const double s = roiSum.at<double>(at);
    const double s2 = roiSumSq.at<double>(at);
    const double mean = innerCount > 0 ? s / innerCount : 0.0;
    const double norm = std::sqrt(std::max(s2 - s * mean, 0.0));
    const bool flatRoi = innerCount <= 0 || norm / std::sqrt(innerCount) < kFlatSigma;
    if (e.flat || flatRoi)
        return std::abs(e.mean - mean) <= kFlatMeanTol ? 1.0 : 0.0;
    // The template is 0 outside the mask, so the plain dot product is the masked one.
    const double dot = e.image(inner).dot(roi(inner + shift));
    return (dot - innerCount * e.mean * mean) / (e.norm * norm);
}

float SURF::Match(const cv::Mat& roi, cv::Mat& out) const
{
    out.create(roi.size(), CV_8UC1);
    out.setTo(0);
    if (!trained || templates.empty() || roi.size() != size || roi.type() != CV_8UC1)
        return 0.0f;
    if (innerCount <= 0)
        return 100.0f;   // nothing of the region is inspected
    // Masked sums of the window at every shift (index = shift + margin).
    const int span = 2 * margin + 1;
    // Masked sums of the window at every shift, row run by row run.
    cv::Mat sum, sumSq;
    cv::integral(roi, sum, sumSq, CV_64F, CV_64F);
    cv::Mat roiSum(span, span, CV_64F), roiSumSq(span, span, CV_64F);
    for (int y = 0; y < span; ++y) {
        for (int x = 0; x < span; ++x) {
            double s = 0, s2 = 0;
            for (const Run& run : runs) {
                const int top = run.y + y, left = run.x0 + x, right = run.x1 + x;
                const double* above = sum.ptr<double>(top);
                const double* below = sum.ptr<double>(top + 1);
                const double* aboveSq = sumSq.ptr<double>(top);
                const double* belowSq = sumSq.ptr<double>(top + 1);
                s += below[right] - below[left] - above[right] + above[left];
                s2 += belowSq[right] - belowSq[left] - aboveSq[right] + aboveSq[left];
            }
            roiSum.at<double>(y, x) = s;
            roiSumSq.at<double>(y, x) = s2;
        }
    }
    // Every template unshifted; the closest few at every shift.
    std::vector<std::pair<double, int>> unshifted;
    for (int i = 0; i < static_cast<int>(templates.size()); ++i)
        unshifted.emplace_back(correlate(templates[i], roi, cv::Point(), roiSum, roiSumSq), i);
    const int keep = std::min<int>(kShiftedCandidates, static_cast<int>(unshifted.size()));
    std::partial_sort(unshifted.begin(), unshifted.begin() + keep, unshifted.end(),
                      [](const auto& a, const auto& b) { return a.first > b.first; });
    Best best;
    for (int k = 0; k < keep; ++k) {
        const Entry& e = templates[unshifted[k].second];
        for (int y = -margin; y <= margin; ++y) {
            for (int x = -margin; x <= margin; ++x) {
                const double r = correlate(e, roi, cv::Point(x, y), roiSum, roiSumSq);
                if (r > best.score)
                    best = Best{r, unshifted[k].second, cv::Point(x, y)};
            }
        }
    }
    markDifferences(roi, best, out);
    // To a thousandth, so that an identical region scores exactly 100.
    const double score = std::round(best.score * 100000.0) / 1000.0;
    return static_cast<float>(std::clamp(score, 0.0, 100.0));
}

void SURF::markDifferences(const cv::Mat& roi, const Best& best, cv::Mat& out) const
{
    if (best.entry < 0)
        return;
    const cv::Mat& t = templates[best.entry].image;
    const cv::Rect at = inner + best.shift;
    cv::Mat diff;
    cv::absdiff(roi(at), t(inner), diff);
    cv::Mat marked = out(at);
    cv::compare(diff, kMarkLevel, marked, cv::CMP_GT);
    marked.setTo(0, innerMask == 0);
}
