#pragma once
// The region the editor proposes for a step that has none: where the
// product step's reference template differs from the mould step's is where
// the part sits. The difference is cleaned up morphologically and all its
// outlines become one convex polygon.

#include <opencv2/core/mat.hpp>
#include <opencv2/core/types.hpp>

#include <vector>

class CameraWorkSet;

struct RegionProposal {
    std::vector<cv::Point> polygon;   // frame pixels; empty: the templates differ nowhere
    int sensitivity = 0;              // one fifth of the mean difference of the changed pixels
};

// Two 8-bit grey frames of the same size.
RegionProposal ProposeRegion(const cv::Mat& productTemplate, const cv::Mat& mouldTemplate);

// Makes the proposal of the view's templates (template 0 of steps 0 and 1)
// region 0 of step `step` of the edited record: a selected polygon with
// detection function 0, parameter A filterSize, B the proposal's
// sensitivity and C alarmArea, its mask in editMasks. Does nothing (false)
// when the step has a region already, a template is missing or the
// templates differ nowhere.
bool AutogenerationRegion(CameraWorkSet& view, int step, int filterSize, int alarmArea);
