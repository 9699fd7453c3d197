#pragma once
// Bookkeeping shared by the SDK stand-ins: opened cameras with their settings,
// and the thread that pushes frames to push-mode SDKs.

#include "tools/camera-sim/simrig.h"

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace simcam {

// One opened simulated camera: its settings (by feature name) and the number
// of the last frame it delivered.
struct Session {
    explicit Session(int camera) : cam(camera) {}
    const int cam;
    std::mutex mutex;
    std::map<std::string, double> values;
    uint64_t lastFrame = 0;
    bool acquiring = false;

    bool alive() const { return Rig::instance().online(cam); }
    double value(const std::string& name, double fallback);
    void set(const std::string& name, double v);
};
using SessionPtr = std::shared_ptr<Session>;

// The open cameras of one stand-in; each camera opens once (exclusive access).
class SessionTable
{
public:
    // A new handle (>= 1) for cam, or 0 when cam is open already.
    int open(int cam);
    SessionPtr find(int handle) const;
    // The session only while its camera is online (calls on an unplugged camera fail).
    SessionPtr live(int handle) const;
    bool close(int handle);
    bool isOpen(int cam) const;

private:
    mutable std::mutex mutex_;
    std::map<int, SessionPtr> sessions_;
    int next_ = 1;
};

// State of a stand-in kept per handle beyond the session; shared, so that a
// call in flight keeps it alive while the handle is closed.
template <typename T>
class StateTable
{
public:
    std::shared_ptr<T> get(int handle) const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto it = states_.find(handle);
        return it == states_.end() ? nullptr : it->second;
    }
    void put(int handle, std::shared_ptr<T> state)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        states_[handle] = std::move(state);
    }
    void erase(int handle)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        states_.erase(handle);
    }

private:
    mutable std::mutex mutex_;
    std::map<int, std::shared_ptr<T>> states_;
};

// Delivers every frame tick of a camera to a callback on its own thread, as a
// camera that streams on its own does. stop() returns after the last call.
class Pusher
{
public:
    using Deliver = std::function<void(const cv::Mat& frame, uint64_t number)>;
    Pusher() = default;
    ~Pusher() { stop(); }
    Pusher(const Pusher&) = delete;
    Pusher& operator=(const Pusher&) = delete;

    void start(int cam, Deliver deliver);
    void stop();
    bool running() const { return thread_.joinable(); }

private:
    std::atomic<bool> run_{false};
    std::thread thread_;
};

// Crops the centred or offset window (x, y, w, h) out of frame; empty when it
// does not fit.
cv::Mat Window(const cv::Mat& frame, int x, int y, int w, int h);
// The host (192.168.77.1) or a listed family 7 camera holds the address.
bool GigeAddressAnswers(uint32_t address);
// The frame as 8-bit grey.
cv::Mat Grey(const cv::Mat& frame);

}  // namespace simcam
