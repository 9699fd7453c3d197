#include "inspection/regionbox.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

cv::Rect RegionBox(const QRect& r)
{
    return cv::Rect(r.left(), r.top(), r.right() - r.left() + 1, r.bottom() - r.top() + 1);
}

RegionClip ClipRegionToFrame(const cv::Rect& box, const cv::Mat& mask, const cv::Size& frame,
                             cv::Rect* clippedBox, cv::Mat* clippedMask)
{
    if (mask.empty() || mask.cols != box.width || mask.rows != box.height)
        return kRegionMaskError;
    const cv::Rect inFrame = box & cv::Rect(cv::Point(0, 0), frame);
    if (box.width < 1 || box.height < 1 || inFrame.empty())
        return kRegionBoxEmpty;
    *clippedBox = inFrame;
    *clippedMask = mask(cv::Rect(inFrame.tl() - box.tl(), inFrame.size()));
    return kRegionInFrame;
}

cv::Rect DefaultPositionRect(int frameW, int frameH)
{
    return cv::Rect(frameW / 4, frameH / 4, frameW / 2, frameH / 2);
}

cv::Mat EllipseKernel(int k)
{
    k = std::max(k, 1);
    return cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(k, k));
}
