#include "inspection/cameraworkset.h"

#include <algorithm>

CameraWorkSet::CameraWorkSet()
{
    for (auto& step : roiOk)
        std::fill(std::begin(step), std::end(step), true);
}

void CameraWorkSet::Allocate(int w, int h, bool colour, int templateSlots)
{
    const int type = colour ? CV_8UC4 : CV_8UC1;
    imageRaw = cv::Mat::zeros(h, w, type);
    imageWork = cv::Mat::zeros(h, w, type);
    imageShow = cv::Mat::zeros(h, w, type);
    imageGray = colour ? cv::Mat::zeros(h, w, CV_8UC1) : cv::Mat();
    defectImage = cv::Mat::zeros(h, w, CV_8UC1);
    imageRgb32 = QImage();
    for (int d = 0; d < kMaxDetects; ++d) {
        templates[d].assign(std::max(templateSlots, 0), cv::Mat());
        templateFlags[d].assign(std::max(templateSlots, 0), 0);
        templateTotal[d] = 0;
    }
}

cv::Mat CameraWorkSet::NewFrame() const
{
    return cv::Mat(imageWork.size(), imageWork.type());
}

void CameraWorkSet::SetTemplate(int d, int t, const cv::Mat& frame)
{
    if (d < 0 || d >= kMaxDetects || t < 0 || t >= static_cast<int>(templates[d].size()))
        return;
    frame.copyTo(templates[d][t]);
    if (!templateFlags[d][t]) {
        templateFlags[d][t] = 1;
        ++templateTotal[d];
    }
}

void CameraWorkSet::ClearTemplate(int d, int t)
{
    if (d < 0 || d >= kMaxDetects || t < 0 || t >= static_cast<int>(templates[d].size()))
        return;
    templates[d][t].release();
    if (templateFlags[d][t]) {
        templateFlags[d][t] = 0;
        --templateTotal[d];
    }
}
