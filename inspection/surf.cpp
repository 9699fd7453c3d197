#include "inspection/surf.h"

#include "inspection/imagehelpers.h"

#include <opencv2/core/hal/intrin.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>

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
    // Templates alike in the region share their pixels.
    for (const Entry& kept : templates) {
        if (cv::norm(kept.image, e.image, cv::NORM_INF) == 0) {
            e.image = kept.image;
            break;
        }
    }
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

namespace {

// Sum of a(p) * b(p) over two 8-bit images of one size, exactly (as
// cv::Mat::dot gives it), a row at a time without per-row overhead.
double DotProduct(const cv::Mat& a, const cv::Mat& b)
{
    uint64_t total = 0;
    for (int y = 0; y < a.rows; ++y) {
        const uchar* p = a.ptr<uchar>(y);
        const uchar* q = b.ptr<uchar>(y);
        uint32_t row = 0;   // below 2^32 for rows narrower than 66,000 px
        int x = 0;
#if CV_SIMD
        cv::v_uint32 acc = cv::vx_setzero_u32();
        for (; x <= a.cols - cv::v_uint8::nlanes; x += cv::v_uint8::nlanes)
            acc = cv::v_dotprod_expand_fast(cv::vx_load(p + x), cv::vx_load(q + x), acc);
        row = cv::v_reduce_sum(acc);
        cv::vx_cleanup();
#endif
        for (; x < a.cols; ++x)
            row += uint32_t(p[x]) * q[x];
        total += row;
    }
    return static_cast<double>(total);
}

// Prefix sums of the values and of their squares along each row of an 8-bit
// image: entry (y, x) holds the sums over columns [0, x) of row y.
struct RowPrefix {
    int stride = 0;
    std::vector<uint32_t> sum, sumSq;

    explicit RowPrefix(const cv::Mat& img)
        : stride(img.cols + 1)
        , sum(size_t(img.rows) * stride)
        , sumSq(size_t(img.rows) * stride)
    {
        for (int y = 0; y < img.rows; ++y) {
            const uchar* row = img.ptr<uchar>(y);
            uint32_t* s = &sum[size_t(y) * stride];
            uint32_t* s2 = &sumSq[size_t(y) * stride];
            s[0] = s2[0] = 0;
            for (int x = 0; x < img.cols; ++x) {
                s[x + 1] = s[x] + row[x];
                s2[x + 1] = s2[x] + uint32_t(row[x]) * row[x];
            }
        }
    }
};

}  // namespace

// Pearson correlation of the template with the roi window at a shift, inside
// the mask; flat images compare their means instead.
double SURF::correlate(const Entry& e, const cv::Mat& roi, const cv::Point& shift, const WindowSums& w) const
{
    const double mean = innerCount > 0 ? w.sum / innerCount : 0.0;
    const double norm = std::sqrt(std::max(w.sumSq - w.sum * mean, 0.0));
    const bool flatRoi = innerCount <= 0 || norm / std::sqrt(innerCount) < kFlatSigma;
    if (e.flat || flatRoi)
        return std::abs(e.mean - mean) <= kFlatMeanTol ? 1.0 : 0.0;
    // The template is 0 outside the mask, so the plain dot product is the masked one.
    const double dot = DotProduct(e.image(inner), roi(inner + shift));
    return (dot - innerCount * e.mean * mean) / (e.norm * norm);
}

// Masked sums of the window at every shift (index = shift + margin), row run
// by row run. Sums of 8-bit values are whole numbers: exact in any order.
std::vector<SURF::WindowSums> SURF::windowSums(const cv::Mat& roi) const
{
    const int span = 2 * margin + 1;
    const RowPrefix prefix(roi);
    std::vector<WindowSums> sums(size_t(span) * span);
    for (int y = 0; y < span; ++y) {
        for (int x = 0; x < span; ++x) {
            uint64_t s = 0, s2 = 0;
            for (const Run& run : runs) {
                const size_t row = size_t(run.y + y) * prefix.stride;
                s += prefix.sum[row + run.x1 + x] - prefix.sum[row + run.x0 + x];
                s2 += prefix.sumSq[row + run.x1 + x] - prefix.sumSq[row + run.x0 + x];
            }
            sums[size_t(y) * span + x] = WindowSums{static_cast<double>(s), static_cast<double>(s2)};
        }
    }
    return sums;
}

float SURF::Match(const cv::Mat& roi, cv::Mat& out) const
{
    out.create(roi.size(), CV_8UC1);
    out.setTo(0);
    if (!trained || templates.empty() || roi.size() != size || roi.type() != CV_8UC1)
        return 0.0f;
    if (innerCount <= 0)
        return 100.0f;   // nothing of the region is inspected
    const int span = 2 * margin + 1;
    const std::vector<WindowSums> sums = windowSums(roi);
    auto sumsAt = [&](const cv::Point& shift) -> const WindowSums& {
        return sums[size_t(shift.y + margin) * span + shift.x + margin];
    };
    // Every template unshifted; the closest few at every shift.
    std::vector<std::pair<double, int>> unshifted;
    for (int i = 0; i < static_cast<int>(templates.size()); ++i)
        unshifted.emplace_back(correlate(templates[i], roi, cv::Point(), sumsAt(cv::Point())), i);
    const int keep = std::min<int>(kShiftedCandidates, static_cast<int>(unshifted.size()));
    std::partial_sort(unshifted.begin(), unshifted.begin() + keep, unshifted.end(),
                      [](const auto& a, const auto& b) { return a.first > b.first; });
    Best best;
    for (int k = 0; k < keep; ++k) {
        const Entry& e = templates[unshifted[k].second];
        for (int y = -margin; y <= margin; ++y) {
            for (int x = -margin; x <= margin; ++x) {
                const cv::Point shift(x, y);
                // Unshifted, the score is the one already taken.
                const double r = shift == cv::Point() ? unshifted[k].first : correlate(e, roi, shift, sumsAt(shift));
                if (r > best.score)
                    best = Best{r, unshifted[k].second, shift};
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
