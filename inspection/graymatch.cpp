#include "inspection/graymatch.h"

#include "inspection/imagehelpers.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

void GrayMatch::Clear()
{
    *this = GrayMatch();
}

void GrayMatch::Create(int w, int h, const cv::Mat& m)
{
    Clear();
    size = cv::Size(std::max(w, 0), std::max(h, 0));
    mask = MaskOrWhole(m, size);
    minT = cv::Mat(size, CV_8UC1, cv::Scalar(255));
    maxT = cv::Mat(size, CV_8UC1, cv::Scalar(0));
    sum = cv::Mat::zeros(size, CV_32FC1);
    sumSq = cv::Mat::zeros(size, CV_32FC1);
    created = true;
}

bool GrayMatch::AddTemp(const cv::Mat& crop)
{
    if (!created || trained || crop.size() != size || crop.type() != CV_8UC1)
        return false;
    cv::min(minT, crop, minT);
    cv::max(maxT, crop, maxT);
    cv::accumulate(crop, sum);
    cv::accumulateSquare(crop, sumSq);
    ++templateCount;
    return true;
}

void GrayMatch::Train(int tol, int multiplier, int edgePercent, int maxTol)
{
    if (!created)
        return;
    if (templateCount == 0) {
        lo = cv::Mat(size, CV_8UC1, cv::Scalar(0));
        hi = cv::Mat(size, CV_8UC1, cv::Scalar(255));
    } else {
        const double n = templateCount;
        cv::Mat mean = sum / n;
        cv::Mat var = sumSq / n - mean.mul(mean);
        cv::max(var, 0.0, var);
        cv::Mat sigma;
        cv::sqrt(var, sigma);
        cv::Mat band = sigma * std::max(multiplier, 0) + std::max(tol, 0);
        cv::min(band, std::max(maxTol, 0), band);
        // Grey spread of the mean template within +/-1 px: where a template
        // edge moves by a pixel the band still holds it. Taken on the mean,
        // so that the templates' noise does not widen it further.
        const cv::Mat kernel = cv::getStructuringElement(cv::MORPH_RECT, cv::Size(3, 3));
        cv::Mat lowNear, highNear;
        cv::erode(mean, lowNear, kernel, cv::Point(-1, -1), 1, cv::BORDER_REPLICATE);
        cv::dilate(mean, highNear, kernel, cv::Point(-1, -1), 1, cv::BORDER_REPLICATE);
        const double share = std::clamp(edgePercent, 0, 100) / 100.0;
        cv::Mat minF, maxF;
        minT.convertTo(minF, CV_32F);
        maxT.convertTo(maxF, CV_32F);
        cv::Mat low = minF - (mean - lowNear) * share - band;
        cv::Mat high = maxF + (highNear - mean) * share + band;
        low.convertTo(lo, CV_8U);    // saturating
        high.convertTo(hi, CV_8U);
        lo.setTo(0, mask == 0);
        hi.setTo(255, mask == 0);
    }
    mask.release();   // in the band now
    minT.release();
    maxT.release();
    sum.release();
    sumSq.release();
    trained = true;
}

bool GrayMatch::Match(const cv::Mat& roi, cv::Mat& out) const
{
    out.create(roi.size(), CV_8UC1);
    if (!trained || roi.size() != size || roi.type() != CV_8UC1) {
        out.setTo(0);
        return false;
    }
    cv::inRange(roi, lo, hi, out);
    cv::bitwise_not(out, out);
    return true;
}
