#include "scenes.h"

#include "inspection/cammersingleton.h"
#include "inspection/imagehelpers.h"
#include "inspection/regionjudge.h"

#include <QVector>

#include <opencv2/imgproc.hpp>

#include <chrono>

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

void LayOutRegions(CammerSingleton* record, int d, int w, int h, double sx, double sy)
{
    static const int kFunctionMix[] = {kFuncDefect, kFuncDefect, kFuncSpot, kFuncBlackArea,
                                       kFuncWhiteArea, kFuncSimilarity, kFuncWhiteCount, kFuncDirection};
    CammerSingleton& rec = *record;
    auto at = [&](int x, int y) { return QPoint(int(x * sx), int(y * sy)); };
    rec.roiNum[d] = kMaxRegions;
    rec.func[d][0] = kFuncPosition;
    rec.roiType[d][0] = kRoiRect;
    rec.minWH[d][0] = 10;
    rec.rects[d][0].rect = QRect(at(w / 2 - 200, h / 2 - 150), at(w / 2 + 199, h / 2 + 149));
    for (int r = 1; r < kMaxRegions; ++r) {
        const int i = r - 1;
        const int cx = 90 + (i % 7) * 180, cy = 80 + (i / 7) * 140;
        const int size = 90 + (i * 37) % 61;
        const int func = kFunctionMix[i % 8];
        rec.func[d][r] = func;
        rec.minWH[d][r] = func == kFuncSpot ? 0x3C00 : func == kFuncDirection ? 1 : 3;
        rec.sensitivity[d][r] = func == kFuncDefect ? 25 : func == kFuncBlackArea ? 50 : func == kFuncSimilarity ? 60
            : func == kFuncDirection ? 2000 : func == kFuncSpot ? 20 : 200;
        rec.area[d][r] = func == kFuncDirection ? 6000 : func == kFuncWhiteCount ? 20 : 400;
        switch (i % 3) {
        case 0:
            rec.roiType[d][r] = kRoiRect;
            rec.rects[d][r].rect = QRect(at(cx - size / 2, cy - size / 2), at(cx - size / 2 + size - 1, cy - size / 2 + size * 3 / 4 - 1));
            break;
        case 1: {
            rec.roiType[d][r] = kRoiCircle;
            Circle& c = rec.circles[d][r];
            c.cx = int(cx * sx);
            c.cy = int(cy * sy);
            c.r = int(size / 2 * sx);
            c.rIn = int((i % 2 ? size / 6 : 0) * sx);
            c.UpdateRect();
            break;
        }
        default: {
            rec.roiType[d][r] = kRoiPolygon;
            const QVector<QPoint> pts{at(cx - size / 2, cy - size / 3), at(cx + size / 2, cy - size / 2),
                                      at(cx + size / 3, cy + size / 2), at(cx - size / 2, cy + size / 3)};
            rec.polygons[d][r].setPoints(pts.size(), pts.constData());
        }
        }
    }
}

SleepJitter::SleepJitter()
    : thread([this] {
        using Clock = std::chrono::steady_clock;
        while (!stop) {
            const auto start = Clock::now();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            late.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count() - 1.0);
        }
    })
{
}

SleepJitter::~SleepJitter()
{
    Finish();
}

const std::vector<double>& SleepJitter::Finish()
{
    stop = true;
    if (thread.joinable())
        thread.join();
    return late;
}
