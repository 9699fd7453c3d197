#pragma once
// Positioning model of a detection step: finds a trained part of the template
// in a new frame, shifted and (optionally) turned, and says how to bring the
// frame back into the template's position.
//
// Shape-based matching: the model is a sparse set of edge points with their
// gradient directions on every level of an image pyramid. The search scores,
// at each position and angle, how well the frame's gradient directions agree
// with the model's (mean cosine, so lighting and contrast do not matter),
// exhaustively on the coarsest level and then refining the best candidates
// level by level down to sub-pixel and sub-step precision.
//
// Angles are in degrees; positive means turned counter-clockwise as seen on
// the screen (see TransformImage).

#include <opencv2/core/mat.hpp>
#include <opencv2/core/types.hpp>

#include <vector>

class FindShape
{
public:
    FindShape() = default;

    // Result of a search in frame pixels: the part found at
    // R(angle) (p - centre) + centre + shift for each template point p.
    struct Match {
        bool found = false;   // score reached the least match
        double score = 0;     // 0..100
        cv::Point2d shift;
        double angle = 0;
    };

    // Trains on crop (the position region cut out of the template), with its
    // mask (empty = all of it). centre: the crop's centre in frame pixels,
    // (crop x + width / 2, crop y + height / 2). angleRange: 0 shift only,
    // 1..180 also turned up to +/- that many degrees. leastMatch 1..100: the
    // score a search must reach. False (and not valid) when the crop has too
    // little structure to be found again.
    bool CreateShape(const cv::Mat& crop, const cv::Mat& mask, int angleRange, const cv::Point& centre,
                     int leastMatch);
    bool IsValid() const { return !levels.empty(); }
    void Clear();

    // Searches window, the part of the frame whose top-left lies at origin.
    // True when found: (x - origin.x, y - origin.y) is the shift (rounded to
    // whole pixels), score 0..100 and angle as in Match.
    bool Find(const cv::Mat& window, const cv::Point& origin, int* x, int* y, double* score,
              double* angle) const;
    // The same with the exact result.
    Match Search(const cv::Mat& window, const cv::Point& origin) const;

    int Levels() const { return static_cast<int>(levels.size()); }
    int AngleRange() const { return angleRange; }

    // One edge point of the model: offset from the model's reference point
    // (the crop centre) in pixels of its level, and unit gradient direction.
    struct Feature {
        float x, y;
        float gx, gy;
    };
    struct Level {
        std::vector<Feature> features;
        double angleStep = 0;   // degrees: moves the farthest point by about a pixel
    };

private:
    std::vector<Level> levels;   // 0 = full resolution
    cv::Point2d centre;          // reference point in frame pixels
    int angleRange = 0;
    int leastMatch = 0;
};
