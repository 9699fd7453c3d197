#pragma once
// All-zero frames whose memory becomes resident only where something is
// written into them: the pages come fresh from the kernel, and reading an
// untouched page costs no memory. For frames that mostly stay zero, like the
// ignore points of a step (a frame per camera and step).
//
// The frame is an ordinary cv::Mat (shared, assigned and released as any);
// only its pixels come from their own pages.

#include <opencv2/core/mat.hpp>

cv::Mat ZeroFrame(const cv::Size& size, int type);
