#pragma once
// A region's box and mask as the engine uses them on a frame: boxes that
// reach past the frame edge are cut together with their masks, so that no
// region ever reads or writes outside the frame.

#include <QRect>
#include <opencv2/core/mat.hpp>
#include <opencv2/core/types.hpp>

// Outcome of clipping a region to the frame (the engine's region error codes).
enum RegionClip {
    kRegionInFrame = 0,
    kRegionMaskError = -1,   // mask empty, or not the size of the box
    kRegionBoxEmpty = -3,    // box empty, or wholly outside the frame
};

// The frame box of a region's inclusive image rectangle (x, y, width, height).
cv::Rect RegionBox(const QRect& imageRect);

// Cuts the box to the frame and the mask by the same offsets. box and mask
// are the region's; on kRegionInFrame, clippedBox lies in the frame and
// clippedMask is the matching part of mask (a view, not a copy).
RegionClip ClipRegionToFrame(const cv::Rect& box, const cv::Mat& mask, const cv::Size& frame,
                             cv::Rect* clippedBox, cv::Mat* clippedMask);

// The positioning rectangle of a step without a usable position region: the
// centred half-size rectangle (W/4, H/4, W/2, H/2).
cv::Rect DefaultPositionRect(int frameW, int frameH);

// Elliptical k x k structuring element, k at least 1.
cv::Mat EllipseKernel(int k);
