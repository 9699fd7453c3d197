#pragma once
// The simulated camera source behind every camera-SDK stand-in of this
// folder. It follows the folder named by MOULDMON_SIM_CAMERAS:
//   family          the camera family the SDKs report (4, 5, 6, 7 or 9; 6 when missing)
//   camN/serial     serial number text of camera N (N = 0..7)
//   camN/frame.png  (or frame.bmp) the frame it delivers, read again when the file changes
//   camN/offline    while present the camera delivers nothing, its calls fail and
//                   enumeration does not list it
// Frames tick at kFrameRate. Like a real sensor, no two frames are equal:
// every frame carries sensor noise (AddNoise: one pixel in kNoiseSpacing moved
// by one grey level, up or down, at places drawn from a generator seeded with
// the camera and the frame number, so a run repeats exactly), unless
// MOULDMON_SIM_NOISE=0 asks for the file's exact pixels. The stand-ins also
// mark the top-left corner of every frame they deliver with its frame number
// (Stamp), which survives windows and scaling. Every
// configuration call of a stand-in is appended to the call log (in memory and
// to "calls.log" in the folder).

#include <opencv2/core.hpp>

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace simcam {

constexpr int kMaxCameras = 8;
constexpr int kFrameRate = 20;
constexpr int kCallLogCap = 20000;

// Values of the stand-ins that tests may change to reach unusual devices.
struct Knobs {
    int presetCount = 11;           // family 6: entries of the preset resolution list
    int sharpnessRange[2] = {0, 100};
    int contrastRange[2] = {0, 200};
    int gammaRange[2] = {0, 1000};
    // Family 7: camera N's current address (0: 192.168.77.10 + N, the host's
    // subnet); a force-IP changes it.
    uint32_t gigeIp[kMaxCameras] = {};
};

class Rig
{
public:
    static Rig& instance();

    // Reads MOULDMON_SIM_CAMERAS again (tests switch folders), clears the call
    // log and puts the knobs back to their defaults.
    void reload();

    bool active() const { return !root_.empty(); }
    bool noise() const { return noise_; }
    const std::string& root() const { return root_; }
    int family() const { return family_; }
    // Camera folders cam0.. that exist (a gap ends the list).
    int cameraCount() const { return count_; }

    bool online(int cam) const;
    // Online cameras in folder order when the rig serves the family, else none.
    std::vector<int> listed(int family) const;
    std::string serial(int cam) const;
    // Frame size of the first camera: the sensor size of every camera.
    cv::Size sensorSize();
    bool colour(int cam);
    // Size of the camera's own frame (empty when it has none).
    cv::Size frameSize(int cam);

    // Waits (at most timeoutMs) for a frame tick later than `after` and gives
    // that frame (CV_8UC1 or CV_8UC3 BGR, a copy) with its number. False when
    // the camera is offline, has no readable frame or no tick came in time.
    bool nextFrame(int cam, uint64_t after, int timeoutMs, cv::Mat* frame, uint64_t* number);

    void log(const std::string& line);
    std::vector<std::string> calls() const;
    void clearCalls();

    Knobs knobs;

private:
    Rig();
    struct Camera;
    bool exists(int cam, const char* name) const;
    cv::Mat base(int cam);   // the camera's frame file, re-read when it changed

    std::string root_;
    bool noise_ = true;
    int family_ = 0;
    int count_ = 0;
    std::chrono::steady_clock::time_point epoch_;
    std::vector<std::unique_ptr<Camera>> cameras_;
    mutable std::mutex logMutex_;
    std::vector<std::string> calls_;
};

// Sensor noise of frame `number` of camera cam (8-bit, 1 or 3 channels; every
// channel of a chosen pixel moves the same way, and never past 0 or 255).
constexpr int kNoiseSpacing = 256;
void AddNoise(cv::Mat& frame, int cam, uint64_t number);

// Formats one call-log line: "<function> cam<N> <args>".
std::string Call(const char* function, int cam, const std::string& args = std::string());
std::string Hex(uint64_t v);
std::string Num(double v);
// Fills the top-left corner (up to kStampSize square) of a delivered frame
// with the low byte of its number.
constexpr int kStampSize = 16;
void Stamp(cv::Mat frame, uint64_t number);   // shortest form, up to 10 significant digits

}  // namespace simcam
