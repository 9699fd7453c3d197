#pragma once
// The measuring steps of the detection functions, on one region's box: the
// grey-range pixel tests, the opening and blob count that most functions end
// with, the direction test, and the verdict of a measured value.
//
// Detection functions: 0 defect (grey template difference), 1 spot (grey
// range A's two bytes, area between B and C), 2 ignore area, 3 position,
// 4 black area (0..B), 5 white area (B..255), 6 similarity score, 7 white
// blob count, 8 direction of blobs.

#include "inspection/cameraworkset.h"

#include <opencv2/core/mat.hpp>

#include <vector>

class WizardPara;

enum DetectFunction {
    kFuncDefect = 0,
    kFuncSpot = 1,
    kFuncIgnoreArea = 2,
    kFuncPosition = 3,
    kFuncBlackArea = 4,
    kFuncWhiteArea = 5,
    kFuncSimilarity = 6,
    kFuncWhiteCount = 7,
    kFuncDirection = 8,
};

// Boxes recorded per region (entry 0 of its AlarmRect list holds the count).
constexpr int kMaxBoxes = kMaxAlarmRects - 1;

// The grey range lo..hi (both included) that functions 1, 4, 5 and 7 select;
// false for the other functions.
bool GreyRangeOf(int func, int a, int b, int* lo, int* hi);

// Side of the opening's elliptical element for a function (at least 1).
int OpeningKernel(int func, int a, const WizardPara& settings);

// bin = 255 where region lies in lo..hi and mask is non-zero, else 0.
void SelectGreyRange(const cv::Mat& region, int lo, int hi, const cv::Mat& mask, cv::Mat& bin);
// Morphological opening (closing) with an elliptical k x k element; pixels
// beyond the image's edge have no effect.
void OpenImage(const cv::Mat& src, cv::Mat& dst, int k);
void CloseImage(const cv::Mat& src, cv::Mat& dst, int k);

// Blobs of a 0/255 image: the sum of their areas (polygon area of each
// external contour, the sum cut to an integer after each addition), how many
// there are, and the bounding boxes of the first 99 moved by origin into
// boxes[1..] with boxes[0].x1 = their number. boxes may be null.
struct BlobCount {
    int area = 0;
    int count = 0;
};
BlobCount CountBlobs(const cv::Mat& bin, const cv::Point& origin, AlarmRect* boxes);

// Direction test (function 8) on a region image: blobs of its Otsu
// threshold whose area lies strictly between min(b, c) and max(b, c);
// a blob is flagged when the background inside its bounding box lies to
// the right of the box's middle and side is 0, or to the left and side is 1.
// Flagged blobs are drawn filled into out (zeros of the region's size);
// with preview, every kept blob is drawn filled and each flagged one gets
// its box outline. Boxes of the first 99 flagged blobs go to boxes as in
// CountBlobs (boxes may be null). Returns the number flagged.
int DirectionTest(const cv::Mat& region, int side, int b, int c, bool preview, cv::Mat& out,
                  const cv::Point& origin, AlarmRect* boxes);

// A region's verdict on its measured value, and the bounds it reports.
struct Verdict {
    bool ng = false;
    int lower = 0;
    int upper = 0;
};
Verdict JudgeValue(int func, int value, int b, int c, const WizardPara& settings);
