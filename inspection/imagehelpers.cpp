#include "inspection/imagehelpers.h"

#include <QImage>

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstring>
#include <cmath>

namespace {

cv::Mat rgbaHeader(const int* rgba, int w, int h)
{
    return cv::Mat(h, w, CV_8UC4, const_cast<int*>(rgba));
}

}  // namespace

void RGBA2Gray(uchar* out, const int* rgba, int w, int h)
{
    cv::Mat dst(h, w, CV_8UC1, out);
    cv::cvtColor(rgbaHeader(rgba, w, h), dst, cv::COLOR_BGRA2GRAY);
}

void RGBA2Hue(uchar* out, const int* rgba, int w, int h)
{
    cv::Mat bgr, hsv;
    cv::cvtColor(rgbaHeader(rgba, w, h), bgr, cv::COLOR_BGRA2BGR);
    cv::cvtColor(bgr, hsv, cv::COLOR_BGR2HSV_FULL);
    cv::Mat dst(h, w, CV_8UC1, out);
    cv::extractChannel(hsv, dst, 0);
}

bool RGBAColourless(const int* rgba, int w, int h)
{
    const size_t n = size_t(w) * size_t(h);
    for (size_t i = 0; i < n; ++i) {
        const unsigned p = unsigned(rgba[i]);
        const unsigned b = p & 0xff, g = (p >> 8) & 0xff, r = (p >> 16) & 0xff;
        if (b != g || g != r)
            return false;
    }
    return true;
}

void RGB2RGBA(uchar* rgba, const uchar* rgb, int w, int h)
{
    cv::Mat dst(h, w, CV_8UC4, rgba);
    cv::cvtColor(cv::Mat(h, w, CV_8UC3, const_cast<uchar*>(rgb)), dst, cv::COLOR_RGB2BGRA);
}

void Gray2RGBA(const uchar* grey, int* rgba, int w, int h)
{
    cv::Mat dst(h, w, CV_8UC4, rgba);
    cv::cvtColor(cv::Mat(h, w, CV_8UC1, const_cast<uchar*>(grey)), dst, cv::COLOR_GRAY2BGRA);
}

void MoveImage(const cv::Mat& src, cv::Mat& dst, int dx, int dy)
{
    if (src.empty()) {
        dst.release();
        return;
    }
    const cv::Mat source = src.data == dst.data ? src.clone() : src;
    // Shifts beyond the frame repeat the edge exactly like the largest shift.
    dx = std::clamp(dx, -(source.cols - 1), source.cols - 1);
    dy = std::clamp(dy, -(source.rows - 1), source.rows - 1);
    const cv::Rect part(std::max(dx, 0), std::max(dy, 0), source.cols - std::abs(dx),
                        source.rows - std::abs(dy));
    dst.create(source.size(), source.type());
    cv::copyMakeBorder(source(part), dst, std::max(-dy, 0), std::max(dy, 0), std::max(-dx, 0),
                       std::max(dx, 0), cv::BORDER_REPLICATE | cv::BORDER_ISOLATED);
}

cv::Matx23d TemplateToFrame(const cv::Point2d& shift, const cv::Point2d& centre, double angle)
{
    const double a = angle * CV_PI / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    // R = [c s; -s c] turns counter-clockwise on a y-down screen.
    const cv::Point2d t(centre.x + shift.x - (c * centre.x + s * centre.y),
                        centre.y + shift.y - (-s * centre.x + c * centre.y));
    return cv::Matx23d(c, s, t.x, -s, c, t.y);
}

void TransformImage(const cv::Mat& src, cv::Mat& dst, const cv::Point& shift, const cv::Point& centre,
                    double angle)
{
    if (src.empty()) {
        dst.release();
        return;
    }
    const cv::Mat source = src.data == dst.data ? src.clone() : src;
    dst.create(source.size(), source.type());
    cv::warpAffine(source, dst, cv::Mat(TemplateToFrame(shift, centre, angle)), source.size(),
                   cv::INTER_LINEAR | cv::WARP_INVERSE_MAP, cv::BORDER_REPLICATE);
}

cv::Mat MaskOrWhole(const cv::Mat& mask, const cv::Size& size)
{
    if (!mask.empty() && mask.size() == size && mask.type() == CV_8UC1)
        return mask.clone();
    return cv::Mat(size, CV_8UC1, cv::Scalar(255));
}

void ConvertToRgb32(const cv::Mat& frame, QImage& picture)
{
    if (frame.cols != picture.width() || frame.rows != picture.height() || !frame.isContinuous())
        return;
    if (frame.type() == CV_8UC4)
        std::memcpy(picture.bits(), frame.data, frame.total() * frame.elemSize());
    else
        Gray2RGBA(frame.data, reinterpret_cast<int*>(picture.bits()), frame.cols, frame.rows);
}
