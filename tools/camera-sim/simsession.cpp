#include "tools/camera-sim/simsession.h"

#include <opencv2/imgproc.hpp>

namespace simcam {

double Session::value(const std::string& name, double fallback)
{
    std::lock_guard<std::mutex> lock(mutex);
    const auto it = values.find(name);
    return it == values.end() ? fallback : it->second;
}

void Session::set(const std::string& name, double v)
{
    std::lock_guard<std::mutex> lock(mutex);
    values[name] = v;
}

int SessionTable::open(int cam)
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& s : sessions_)
        if (s.second->cam == cam)
            return 0;
    const int handle = next_++;
    sessions_[handle] = std::make_shared<Session>(cam);
    return handle;
}

SessionPtr SessionTable::find(int handle) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = sessions_.find(handle);
    return it == sessions_.end() ? nullptr : it->second;
}

SessionPtr SessionTable::live(int handle) const
{
    SessionPtr s = find(handle);
    return s && s->alive() ? s : nullptr;
}

bool SessionTable::close(int handle)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return sessions_.erase(handle) > 0;
}

bool SessionTable::isOpen(int cam) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& s : sessions_)
        if (s.second->cam == cam)
            return true;
    return false;
}

void Pusher::start(int cam, Deliver deliver)
{
    stop();
    run_ = true;
    thread_ = std::thread([this, cam, deliver] {
        uint64_t last = 0;
        cv::Mat frame;
        uint64_t number = 0;
        while (run_) {
            if (Rig::instance().nextFrame(cam, last, 100, &frame, &number)) {
                last = number;
                deliver(frame, number);
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        }
    });
}

void Pusher::stop()
{
    run_ = false;
    if (thread_.joinable())
        thread_.join();
}

cv::Mat Window(const cv::Mat& frame, int x, int y, int w, int h)
{
    if (x < 0 || y < 0 || w <= 0 || h <= 0 || x + w > frame.cols || y + h > frame.rows)
        return cv::Mat();
    return frame(cv::Rect(x, y, w, h));
}

cv::Mat Grey(const cv::Mat& frame)
{
    if (frame.channels() == 1)
        return frame;
    cv::Mat grey;
    cv::cvtColor(frame, grey, cv::COLOR_BGR2GRAY);
    return grey;
}

}  // namespace simcam
