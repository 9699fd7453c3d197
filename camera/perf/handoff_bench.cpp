// Frame hand-off cost per frame at 1280 x 1024, grey and colour:
//  1. one producer copying into its view's buffer, and the run controller's
//     take-over, on their own;
//  2. eight producers handing over 50 frames/s each (faster than the cameras)
//     while one consumer takes the newest frame of every camera every 3 ms,
//     lock waits included;
//  3. eight simulated cameras (family 7, frames through the SDK callback)
//     delivering at their frame rate for a few seconds, with the consumer
//     polling every 3 ms as the run controller does: frames per second and
//     process CPU time per delivered frame (simulated source included).

#include "camera/cameradetect.h"
#include "camera/cameraglobals.h"
#include "camera/camerahooks.h"
#include "camera/cameraunit.h"
#include "camera/framebuffer.h"
#include "core/wizardpara.h"
#include "tools/camera-sim/simrig.h"

#include <QCoreApplication>
#include <QDir>
#include <QMutex>
#include <QTemporaryDir>
#include <opencv2/imgcodecs.hpp>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kW = 1280;
constexpr int kH = 1024;
constexpr int kCameras = 8;

double seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

double cpuSeconds()
{
    rusage u;
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct Source {
    const char* name;
    bool colourBuffer;
    PixelLayout layout;
};
const Source kSources[] = {
    {"grey -> grey", false, PixelLayout::Grey8},
    {"grey -> colour (expanded)", true, PixelLayout::Grey8},
    {"RGB24 -> colour", true, PixelLayout::Rgb24},
};

std::vector<uint8_t> pattern(PixelLayout layout)
{
    std::vector<uint8_t> v(static_cast<size_t>(kW) * kH * (layout == PixelLayout::Rgb24 ? 3 : 1));
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = static_cast<uint8_t>(i * 31 + (i >> 11));
    return v;
}

FrameView view(const std::vector<uint8_t>& data, PixelLayout layout)
{
    FrameView f;
    f.data = data.data();
    f.width = kW;
    f.height = kH;
    f.layout = layout;
    return f;
}

void singleThread()
{
    std::printf("1. one producer, one consumer, same thread (us per frame)\n");
    constexpr int kFrames = 300;
    for (const Source& s : kSources) {
        CameraFrameBuffer buffer;
        buffer.allocate(kW, kH, s.colourBuffer);
        const std::vector<uint8_t> data = pattern(s.layout);
        std::vector<uint8_t> raw(buffer.size());
        HandOverFrame(0, buffer, view(data, s.layout));   // warm up
        Clock::duration handOver{}, take{};
        for (int i = 0; i < kFrames; ++i) {
            const auto t0 = Clock::now();
            HandOverFrame(0, buffer, view(data, s.layout));
            const auto t1 = Clock::now();
            TakeNewestFrame(0, buffer, raw.data(), raw.size());
            take += Clock::now() - t1;
            handOver += t1 - t0;
        }
        std::printf("   %-28s hand-over %7.1f   take-over %7.1f   (%zu bytes in the buffer)\n", s.name,
                    seconds(handOver) / kFrames * 1e6, seconds(take) / kFrames * 1e6, buffer.size());
    }
}

void contended()
{
    std::printf("2. %d producers at 50 frames/s each, one consumer polling all every 3 ms (us per frame)\n", kCameras);
    constexpr auto kRun = std::chrono::seconds(2);
    for (const Source& s : kSources) {
        std::vector<std::unique_ptr<CameraFrameBuffer>> buffers;
        for (int i = 0; i < kCameras; ++i) {
            buffers.push_back(std::make_unique<CameraFrameBuffer>());
            buffers.back()->allocate(kW, kH, s.colourBuffer);
        }
        const std::vector<uint8_t> data = pattern(s.layout);
        std::atomic<bool> run{true};
        std::atomic<long> produced{0};
        std::atomic<long> busyNs{0};
        std::vector<std::thread> producers;
        for (int i = 0; i < kCameras; ++i)
            producers.emplace_back([&, i] {
                long n = 0;
                Clock::duration busy{};
                auto next = Clock::now();
                while (run) {
                    const auto t0 = Clock::now();
                    HandOverFrame(i, *buffers[i], view(data, s.layout));
                    busy += Clock::now() - t0;
                    ++n;
                    next += std::chrono::milliseconds(20);
                    std::this_thread::sleep_until(next);
                }
                produced += n;
                busyNs += std::chrono::duration_cast<std::chrono::nanoseconds>(busy).count();
            });
        long taken = 0;
        Clock::duration takeTime{};
        std::vector<uint8_t> raw(buffers[0]->size());
        const auto end = Clock::now() + kRun;
        while (Clock::now() < end) {
            for (int i = 0; i < kCameras; ++i) {
                const auto t0 = Clock::now();
                if (TakeNewestFrame(i, *buffers[i], raw.data(), raw.size())) {
                    takeTime += Clock::now() - t0;
                    ++taken;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
        }
        run = false;
        for (std::thread& t : producers)
            t.join();
        const double secs = seconds(kRun);
        std::printf("   %-28s hand-over %7.1f (%4.0f frames/s in all)   take-over %7.1f (%4.0f frames/s)\n",
                    s.name, busyNs / 1e3 / std::max(1L, produced.load()), produced / secs,
                    seconds(takeTime) / std::max(1L, taken) * 1e6, taken / secs);
    }
}

void simulated(bool colour)
{
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    std::ofstream(root + "/family") << 7 << '\n';
    cv::RNG rng(7);
    for (int cam = 0; cam < kCameras; ++cam) {
        const std::string c = root + "/cam" + std::to_string(cam);
        QDir().mkpath(QString::fromStdString(c));
        std::ofstream(c + "/serial") << "BENCH" << cam << "0000\n";
        cv::Mat frame(kH, kW, colour ? CV_8UC3 : CV_8UC1);
        rng.fill(frame, cv::RNG::UNIFORM, 0, 255);
        cv::imwrite(c + "/frame.bmp", frame);
    }
    qputenv("MOULDMON_SIM_CAMERAS", dir.path().toLocal8Bit());
    simcam::Rig::instance().reload();
    gisColor = colour;
    CheckCameraID();
    std::vector<std::unique_ptr<CameraFrameBuffer>> buffers;
    std::vector<std::unique_ptr<CameraUnit>> units;
    numCamera = 0;
    for (int i = 0; i < kCameras; ++i) {
        buffers.push_back(std::make_unique<CameraFrameBuffer>());
        buffers.back()->allocate(gImageW, gImageH, colour);
        units.push_back(std::make_unique<CameraUnit>(i, buffers.back().get()));
        units.back()->CameraOpen();
        numCamera += units.back()->cameraOpen();
    }
    for (auto& u : units)
        u->CameraStart();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));   // settle
    std::vector<uint8_t> raw(buffers[0]->size());
    long taken = 0;
    const double cpu0 = cpuSeconds();
    const auto t0 = Clock::now();
    while (Clock::now() - t0 < std::chrono::seconds(3)) {
        for (int i = 0; i < kCameras; ++i)
            taken += TakeNewestFrame(i, *buffers[i], raw.data(), raw.size());
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
    const double wall = seconds(Clock::now() - t0);
    const double cpu = cpuSeconds() - cpu0;
    std::printf("   %-6s %d of %d cameras open, %dx%d: %5.1f frames/s per camera taken over; "
                "process CPU %.1f ms per frame (%.0f %% of one core)\n",
                colour ? "colour" : "grey", numCamera, kCameras, gImageW, gImageH, taken / wall / kCameras,
                cpu / std::max(1L, taken) * 1e3, cpu / wall * 100);
    units.clear();
    qunsetenv("MOULDMON_SIM_CAMERAS");
    simcam::Rig::instance().reload();
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    for (int i = 0; i < kMaxCameras; ++i)
        pMutex[i] = new QMutex;
    gpWPara = new WizardPara;
    gpWParaBak = new WizardPara;
    cameraHooks().record = [](const QString&) {};
    std::printf("frame hand-off at %dx%d, %u hardware threads\n", kW, kH, std::thread::hardware_concurrency());
    singleThread();
    contended();
    std::printf("3. %d simulated cameras at %d frames/s through the camera layer (3 s)\n", kCameras,
                simcam::kFrameRate);
    simulated(false);
    simulated(true);
    return 0;
}
