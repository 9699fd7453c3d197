#include "tools/camera-sim/simrig.h"

#include <opencv2/imgcodecs.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <thread>

namespace simcam {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPeriod = std::chrono::microseconds(1000000 / kFrameRate);
constexpr auto kRecheck = std::chrono::milliseconds(100);
constexpr int kDefaultFamily = 6;

std::string readText(const std::string& path)
{
    std::ifstream in(path);
    std::string text;
    std::getline(in, text);
    while (!text.empty() && (text.back() == '\r' || text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
    return text;
}

bool statFile(const std::string& path, struct stat* st)
{
    return ::stat(path.c_str(), st) == 0 && S_ISREG(st->st_mode);
}

}  // namespace

struct Rig::Camera {
    std::mutex mutex;
    std::string file;          // frame file in use
    ino_t inode = 0;
    off_t size = -1;
    timespec mtime{};
    Clock::time_point checked{};
    cv::Mat image;
};

Rig& Rig::instance()
{
    static Rig rig;
    return rig;
}

Rig::Rig()
{
    reload();
}

void Rig::reload()
{
    const char* dir = std::getenv("MOULDMON_SIM_CAMERAS");
    root_ = dir ? dir : "";
    const char* noise = std::getenv("MOULDMON_SIM_NOISE");
    noise_ = !noise || std::strcmp(noise, "0") != 0;
    while (root_.size() > 1 && root_.back() == '/')
        root_.pop_back();
    family_ = 0;
    count_ = 0;
    cameras_.clear();
    for (int i = 0; i < kMaxCameras; ++i)
        cameras_.push_back(std::make_unique<Camera>());
    knobs = Knobs();
    clearCalls();
    epoch_ = Clock::now();
    if (root_.empty())
        return;
    const std::string family = readText(root_ + "/family");
    family_ = family.empty() ? kDefaultFamily : std::atoi(family.c_str());
    struct stat st;
    while (count_ < kMaxCameras
           && ::stat((root_ + "/cam" + std::to_string(count_)).c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        ++count_;
}

bool Rig::exists(int cam, const char* name) const
{
    struct stat st;
    return ::stat((root_ + "/cam" + std::to_string(cam) + "/" + name).c_str(), &st) == 0;
}

bool Rig::online(int cam) const
{
    return active() && cam >= 0 && cam < count_ && !exists(cam, "offline");
}

std::vector<int> Rig::listed(int family) const
{
    std::vector<int> cams;
    if (family != family_)
        return cams;
    for (int i = 0; i < count_; ++i)
        if (online(i))
            cams.push_back(i);
    return cams;
}

std::string Rig::serial(int cam) const
{
    if (cam < 0 || cam >= count_)
        return std::string();
    const std::string text = readText(root_ + "/cam" + std::to_string(cam) + "/serial");
    if (!text.empty())
        return text;
    char fallback[24];
    std::snprintf(fallback, sizeof fallback, "SIMCAM%06d", cam);
    return fallback;
}

cv::Mat Rig::base(int cam)
{
    if (cam < 0 || cam >= count_)
        return cv::Mat();
    Camera& c = *cameras_[cam];
    std::lock_guard<std::mutex> lock(c.mutex);
    const Clock::time_point now = Clock::now();
    if (!c.image.empty() && now - c.checked < kRecheck)
        return c.image;
    c.checked = now;
    const std::string dir = root_ + "/cam" + std::to_string(cam) + "/";
    struct stat st;
    std::string file = dir + "frame.png";
    if (!statFile(file, &st)) {
        file = dir + "frame.bmp";
        if (!statFile(file, &st))
            return c.image;
    }
    const bool changed = file != c.file || st.st_ino != c.inode || st.st_size != c.size
                         || st.st_mtim.tv_sec != c.mtime.tv_sec || st.st_mtim.tv_nsec != c.mtime.tv_nsec;
    if (!changed)
        return c.image;
    cv::Mat image = cv::imread(file, cv::IMREAD_UNCHANGED);
    if (image.depth() != CV_8U || (image.channels() != 1 && image.channels() != 3))
        return c.image;   // unreadable or half-written: keep the frame in use
    c.file = file;
    c.inode = st.st_ino;
    c.size = st.st_size;
    c.mtime = st.st_mtim;
    c.image = image;
    return c.image;
}

cv::Size Rig::sensorSize()
{
    return base(0).size();
}

cv::Size Rig::frameSize(int cam)
{
    return base(cam).size();
}

bool Rig::colour(int cam)
{
    return base(cam).channels() == 3;
}

bool Rig::nextFrame(int cam, uint64_t after, int timeoutMs, cv::Mat* frame, uint64_t* number)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (!online(cam))
            return false;
        const Clock::time_point now = Clock::now();
        const uint64_t tick = static_cast<uint64_t>((now - epoch_) / kPeriod) + 1;
        if (tick > after) {
            cv::Mat image = base(cam);
            if (image.empty())
                return false;
            image.copyTo(*frame);
            if (noise_)
                AddNoise(*frame, cam, tick);
            *number = tick;
            return true;
        }
        const Clock::time_point next = epoch_ + kPeriod * static_cast<int64_t>(tick);
        if (next > deadline)
            return false;
        std::this_thread::sleep_until(next);
    }
}

void Rig::log(const std::string& line)
{
    std::lock_guard<std::mutex> lock(logMutex_);
    if (static_cast<int>(calls_.size()) < kCallLogCap)
        calls_.push_back(line);
    if (!root_.empty()) {
        std::ofstream out(root_ + "/calls.log", std::ios::app);
        out << line << '\n';
    }
}

std::vector<std::string> Rig::calls() const
{
    std::lock_guard<std::mutex> lock(logMutex_);
    return calls_;
}

void Rig::clearCalls()
{
    std::lock_guard<std::mutex> lock(logMutex_);
    calls_.clear();
}

std::string Call(const char* function, int cam, const std::string& args)
{
    std::string line = std::string(function) + " cam" + std::to_string(cam);
    if (!args.empty())
        line += " " + args;
    return line;
}

std::string Hex(uint64_t v)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(v));
    return text;
}

void Stamp(cv::Mat frame, uint64_t number)
{
    const cv::Rect corner(0, 0, std::min(kStampSize, frame.cols), std::min(kStampSize, frame.rows));
    frame(corner).setTo(cv::Scalar::all(static_cast<double>(number & 0xFF)));
}

void AddNoise(cv::Mat& frame, int cam, uint64_t number)
{
    if (frame.empty() || frame.depth() != CV_8U || !frame.isContinuous())
        return;
    std::mt19937_64 draw(number * kMaxCameras + static_cast<uint64_t>(cam));
    const size_t pixels = frame.total();
    const size_t count = std::max<size_t>(1, pixels / kNoiseSpacing);
    const int channels = frame.channels();
    for (size_t i = 0; i < count; ++i) {
        const uint64_t r = draw();
        uint8_t* pixel = frame.data + (r % pixels) * static_cast<size_t>(channels);
        const bool up = (r >> 63) != 0;
        for (int c = 0; c < channels; ++c) {
            uint8_t& v = pixel[c];
            v = (up && v < 255) || v == 0 ? static_cast<uint8_t>(v + 1) : static_cast<uint8_t>(v - 1);
        }
    }
}

std::string Num(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", v);
    return text;
}

}  // namespace simcam
