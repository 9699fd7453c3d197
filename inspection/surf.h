#pragma once
// Similarity matcher of a region: scores how much a region image looks like
// the closest of its good templates, 0..100 (100 = alike). The score is the
// normalised correlation inside the mask, taken at the best shift of up to
// 2 px, so that lighting (gain and offset) and slight misalignment do not
// lower it. Pixels that differ by more than 50 grey levels from the closest
// template are marked, so that the NG picture can box them.
//
// Use: Create(w, h, mask), AddTemp(crop) per template, Train(), then
// Match(roi, out) per frame. The name is historical; nothing of the SURF
// feature detector is involved.

#include <opencv2/core/mat.hpp>

#include <vector>

class SURF
{
public:
    SURF() = default;

    static constexpr int kMaxShift = 2;         // pixels searched each way
    static constexpr int kMarkLevel = 50;       // grey difference marked in out
    static constexpr double kFlatSigma = 1.0;   // below: a flat image, compared by its mean
    static constexpr double kFlatMeanTol = 10.0;
    static constexpr int kShiftedCandidates = 3;

    void Create(int w, int h, const cv::Mat& mask);
    // Adds one good w x h 8-bit region image; false when it does not fit.
    bool AddTemp(const cv::Mat& crop);
    void Train();
    bool IsValid() const { return trained; }
    void Clear();
    // Score 0..100 of roi against the templates (0 without templates or when
    // roi does not fit). out = an 8-bit image of roi's size, 255 where roi
    // differs from the closest template by more than 50 grey levels.
    float Match(const cv::Mat& roi, cv::Mat& out) const;

    int Templates() const { return static_cast<int>(templates.size()); }

private:
    // A template is kept as its 8-bit image only (0 outside the mask), so
    // that 100 templates of a large region stay affordable.
    struct Entry {
        cv::Mat image;
        double mean = 0;     // over the inner mask
        double norm = 0;     // square root of the sum of squared deviations there
        bool flat = false;
    };
    struct Best {
        double score = -2;
        int entry = -1;
        cv::Point shift;
    };
    // Sum and sum of squares of a roi window inside the inner mask.
    struct WindowSums {
        double sum = 0, sumSq = 0;
    };
    std::vector<WindowSums> windowSums(const cv::Mat& roi) const;
    double correlate(const Entry& e, const cv::Mat& roi, const cv::Point& shift, const WindowSums& w) const;
    void markDifferences(const cv::Mat& roi, const Best& best, cv::Mat& out) const;

    cv::Size size;
    cv::Mat mask;        // w x h
    cv::Rect inner;      // the part compared, kMaxShift px inside the edge (or all of it when small)
    int margin = 0;
    cv::Mat innerMask;   // mask(inner), 0/255
    double innerCount = 0;
    // The inner mask as runs of columns [x0, x1) per row y (inner
    // coordinates), so that masked sums of a shifted window come from row
    // prefix sums in two lookups a run.
    struct Run {
        int y, x0, x1;
    };
    std::vector<Run> runs;
    std::vector<Entry> templates;
    bool created = false;
    bool trained = false;
};
