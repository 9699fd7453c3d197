#pragma once
// Synthetic mould scenes for the vision, engine and run benchmarks: a
// textured background with moulded parts (rectangles, discs, polygons), made
// from a fixed seed; the 50 regions of a benchmark step; and a sleeping
// thread that shows how busy the machine is.

#include <opencv2/core/mat.hpp>

#include <atomic>
#include <thread>
#include <vector>

class CammerSingleton;

// A w x h grey scene, the same for the same seed.
cv::Mat MakeMouldScene(int w, int h, unsigned seed);
// The scene turned by angle (degrees, counter-clockwise on screen) about
// centre and shifted, as the camera would see the moved mould.
cv::Mat MoveScene(const cv::Mat& scene, const cv::Point2d& shift, const cv::Point2d& centre, double angle);
// Adds Gaussian noise of the given sigma and a brightness gain.
cv::Mat Disturb(const cv::Mat& scene, double sigma, double gain, unsigned seed);

// 50 regions in step d of record for w x h frames: the position region in
// the middle, then a 7 x 7 grid of regions 90..150 px across with the
// functions 0, 0, 1, 4, 5, 6, 7, 8 in turn (rectangles, circles and polygons
// in turn). Coordinates are frame pixels times (sx, sy), the display scale.
void LayOutRegions(CammerSingleton* record, int d, int w, int h, double sx, double sy);

// A bare thread sleeping 1 ms at a time while timings run: how late it wakes
// (ms past the 1 ms) is the scheduler's share of the figures beside it.
class SleepJitter
{
public:
    SleepJitter();
    ~SleepJitter();
    // Stops the thread; its lateness samples.
    const std::vector<double>& Finish();

private:
    std::atomic<bool> stop{false};
    std::vector<double> late;
    std::thread thread;
};
