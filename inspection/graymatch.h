#pragma once
// Grey template matcher of a defect region: learns, pixel by pixel, the band
// of grey levels that the good templates show, widened by a tolerance, and
// marks every pixel of a new region image that leaves the band.
//
// Use: Create(w, h, mask), AddTemp(crop) per template, Train(B, multiplier),
// then Match(roi, out) per frame. Templates are not kept: memory is a few
// bytes per pixel of the region whatever the number of templates, and a match
// costs the same with 1 or 100 templates.

#include <opencv2/core/mat.hpp>

class GrayMatch
{
public:
    GrayMatch() = default;

    // Starts a matcher for w x h region images; pixels where mask is 0 never
    // differ (an empty mask means the whole region).
    void Create(int w, int h, const cv::Mat& mask);
    // Adds one good w x h 8-bit region image; false when it does not fit.
    bool AddTemp(const cv::Mat& crop);
    // Builds the band: tolerance = tol + multiplier x (the templates' standard
    // deviation), capped at maxTol; edges of the templates widen the band by
    // edgePercent of the grey spread within +/-1 px, which absorbs residual
    // misalignment. Without templates nothing ever differs.
    void Train(int tol, int multiplier, int edgePercent = 100, int maxTol = 150);
    // Created and trained.
    bool IsValid() const { return trained; }
    void Clear();
    // out = an 8-bit image of roi's size, 255 where roi leaves the band.
    // False (out all 0) when roi is not a w x h 8-bit image or untrained.
    bool Match(const cv::Mat& roi, cv::Mat& out) const;

    int Templates() const { return templateCount; }
    const cv::Mat& Low() const { return lo; }
    const cv::Mat& High() const { return hi; }

private:
    cv::Size size;
    cv::Mat mask, minT, maxT, sum, sumSq;   // until Train
    int templateCount = 0;
    cv::Mat lo, hi;                   // the band: good where lo <= roi <= hi
    bool created = false;
    bool trained = false;
};
