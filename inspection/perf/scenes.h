#pragma once
// Synthetic mould scenes for the vision benchmark: a textured background with
// moulded parts (rectangles, discs, polygons), made from a fixed seed.

#include <opencv2/core/mat.hpp>

// A w x h grey scene, the same for the same seed.
cv::Mat MakeMouldScene(int w, int h, unsigned seed);
// The scene turned by angle (degrees, counter-clockwise on screen) about
// centre and shifted, as the camera would see the moved mould.
cv::Mat MoveScene(const cv::Mat& scene, const cv::Point2d& shift, const cv::Point2d& centre, double angle);
// Adds Gaussian noise of the given sigma and a brightness gain.
cv::Mat Disturb(const cv::Mat& scene, double sigma, double gain, unsigned seed);
