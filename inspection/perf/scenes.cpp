#include "scenes.h"

#include "inspection/imagehelpers.h"

#include <opencv2/imgproc.hpp>

cv::Mat MakeMouldScene(int w, int h, unsigned seed)
{
    cv::RNG rng(seed);
    // Low-frequency texture of the steel.
    cv::Mat coarse(h / 32 + 2, w / 32 + 2, CV_8UC1);
    rng.fill(coarse, cv::RNG::UNIFORM, 70, 130);
    cv::Mat scene;
    cv::resize(coarse, scene, cv::Size(w, h), 0, 0, cv::INTER_CUBIC);
    cv::GaussianBlur(scene, scene, cv::Size(0, 0), 4.0);
    const int parts = 10 + (w * h) / 60000;
    for (int i = 0; i < parts; ++i) {
        const cv::Point c(rng.uniform(0, w), rng.uniform(0, h));
        const int size = rng.uniform(std::min(w, h) / 40, std::min(w, h) / 8);
        const cv::Scalar grey(rng.uniform(0, 2) ? rng.uniform(170, 240) : rng.uniform(10, 60));
        switch (i % 3) {
        case 0:
            cv::rectangle(scene, cv::Rect(c.x, c.y, size, size * 2 / 3), grey, cv::FILLED, cv::LINE_AA);
            break;
        case 1:
            cv::circle(scene, c, size / 2, grey, cv::FILLED, cv::LINE_AA);
            break;
        default: {
            std::vector<cv::Point> poly;
            for (int k = 0; k < 5; ++k)
                poly.emplace_back(c.x + rng.uniform(-size, size), c.y + rng.uniform(-size, size));
            cv::fillPoly(scene, std::vector<std::vector<cv::Point>>{poly}, grey, cv::LINE_AA);
        }
        }
    }
    return scene;
}

cv::Mat MoveScene(const cv::Mat& scene, const cv::Point2d& shift, const cv::Point2d& centre, double angle)
{
    // TemplateToFrame maps a template point to where the moved part appears.
    cv::Mat moved;
    cv::warpAffine(scene, moved, cv::Mat(TemplateToFrame(shift, centre, angle)), scene.size(), cv::INTER_LINEAR,
                   cv::BORDER_REFLECT);
    return moved;
}

cv::Mat Disturb(const cv::Mat& scene, double sigma, double gain, unsigned seed)
{
    cv::RNG rng(seed);
    cv::Mat noise(scene.size(), CV_32F);
    rng.fill(noise, cv::RNG::NORMAL, 0.0, sigma);
    cv::Mat f;
    scene.convertTo(f, CV_32F, gain);
    f += noise;
    cv::Mat out;
    f.convertTo(out, CV_8U);
    return out;
}
