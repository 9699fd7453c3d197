// Lays out a simulated cameras folder: camN/serial and camN/frame.png, grey
// 1280x1024 pictures of an open mould with moulded parts in its cavities.
// Usage: mksimcams FOLDER [COUNT [FAMILY]]

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 1024;

void drawMould(cv::Mat& img, int cam)
{
    cv::RNG rng(0x5EED + cam);
    // Mould plate: brushed steel, lit from the top left.
    for (int y = 0; y < img.rows; ++y)
        for (int x = 0; x < img.cols; ++x)
            img.at<uchar>(y, x) = cv::saturate_cast<uchar>(70 + 40 * (1.0 - (x + y) / double(kWidth + kHeight)));
    cv::Mat grain(img.size(), CV_8UC1);
    rng.fill(grain, cv::RNG::NORMAL, 0, 4);
    img += grain;
    // Guide pillars in the corners.
    const cv::Point corners[] = {{60, 60}, {kWidth - 60, 60}, {60, kHeight - 60}, {kWidth - 60, kHeight - 60}};
    for (const cv::Point& c : corners) {
        cv::circle(img, c, 45, cv::Scalar(35), cv::FILLED, cv::LINE_AA);
        cv::circle(img, c, 33, cv::Scalar(160), cv::FILLED, cv::LINE_AA);
        cv::circle(img, c, 33, cv::Scalar(200), 3, cv::LINE_AA);
    }
    // Runner from the sprue to the cavities.
    const cv::Point sprue(kWidth / 2, kHeight / 2);
    cv::circle(img, sprue, 28, cv::Scalar(215), cv::FILLED, cv::LINE_AA);
    // Cavities in a 3 x 2 grid, each holding a part (cup, lid or bracket).
    const int cols = 3, rows = 2;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            const cv::Point centre(kWidth / 2 + 380 * (c - 1), kHeight / 2 + 222 * (2 * r - 1));
            cv::line(img, sprue, centre, cv::Scalar(200), 10, cv::LINE_AA);
            const cv::Rect cavity(centre.x - 150, centre.y - 170, 300, 340);
            cv::rectangle(img, cavity, cv::Scalar(30), cv::FILLED, cv::LINE_AA);
            cv::rectangle(img, cavity, cv::Scalar(120), 4, cv::LINE_AA);
            const int kind = (r * cols + c + cam) % 3;
            const cv::Scalar part(185 + rng.uniform(0, 40));
            if (kind == 0) {
                cv::circle(img, centre, 110, part, cv::FILLED, cv::LINE_AA);
                cv::circle(img, centre, 80, cv::Scalar(part[0] - 50), 6, cv::LINE_AA);
            } else if (kind == 1) {
                cv::ellipse(img, centre, cv::Size(120, 145), 0, 0, 360, part, cv::FILLED, cv::LINE_AA);
                cv::rectangle(img, cv::Rect(centre.x - 30, centre.y - 100, 60, 200), cv::Scalar(part[0] - 40),
                              cv::FILLED, cv::LINE_AA);
            } else {
                const cv::Point bracket[] = {{centre.x - 110, centre.y - 140}, {centre.x + 110, centre.y - 140},
                                             {centre.x + 110, centre.y - 60}, {centre.x - 20, centre.y - 60},
                                             {centre.x - 20, centre.y + 140}, {centre.x - 110, centre.y + 140}};
                cv::fillConvexPoly(img, bracket, 4, part, cv::LINE_AA);
                cv::fillConvexPoly(img, bracket + 2, 4, part, cv::LINE_AA);
                cv::rectangle(img, cv::Rect(centre.x - 110, centre.y - 60, 90, 200), part, cv::FILLED);
            }
            // Ejector pins.
            for (int k = 0; k < 4; ++k)
                cv::circle(img, centre + cv::Point(k % 2 ? 120 : -120, k / 2 ? 150 : -150), 9, cv::Scalar(140),
                           cv::FILLED, cv::LINE_AA);
        }
    cv::GaussianBlur(img, img, cv::Size(3, 3), 0);
}

bool writeText(const std::string& path, const std::string& text)
{
    std::ofstream out(path);
    out << text << '\n';
    return bool(out);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [COUNT [FAMILY]]\n", argv[0]);
        return 2;
    }
    const std::string root = argv[1];
    const int count = argc > 2 ? std::atoi(argv[2]) : 4;
    if (count < 1 || count > 8) {
        std::fprintf(stderr, "mksimcams: COUNT must be 1 to 8\n");
        return 2;
    }
    ::mkdir(root.c_str(), 0755);
    if (argc > 3 && !writeText(root + "/family", argv[3]))
        return 1;
    for (int cam = 0; cam < count; ++cam) {
        const std::string dir = root + "/cam" + std::to_string(cam);
        ::mkdir(dir.c_str(), 0755);
        cv::Mat img(kHeight, kWidth, CV_8UC1);
        drawMould(img, cam);
        char serial[32];
        std::snprintf(serial, sizeof serial, "MMSIM%07d", 1001 + cam);
        if (!cv::imwrite(dir + "/frame.png", img) || !writeText(dir + "/serial", serial)) {
            std::fprintf(stderr, "mksimcams: cannot write %s\n", dir.c_str());
            return 1;
        }
    }
    std::printf("mksimcams: %d simulated cameras in %s\n", count, root.c_str());
    return 0;
}
