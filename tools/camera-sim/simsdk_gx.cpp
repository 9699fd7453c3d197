// Family 4 stand-in over the simulated camera source.

#include "camera/sdk/gxsdk.h"
#include "tools/camera-sim/simsession.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstring>

using namespace simcam;

namespace {

constexpr int kFamily = 4;
constexpr int32_t kWidth = 0x100003EE;
constexpr int32_t kHeight = 0x100003EF;
constexpr int32_t kOffsetX = 0x100003EC;
constexpr int32_t kOffsetY = 0x100003ED;
constexpr int32_t kBinningX = 0x100003F0;
constexpr int32_t kBinningY = 0x100003F1;
constexpr int32_t kDecimationX = 0x100003F2;
constexpr int32_t kDecimationY = 0x100003F3;
constexpr int32_t kStart = 0x70000BB9;
constexpr int32_t kStop = 0x70000BBA;

struct Range {
    int32_t feature;
    GxFloatRange range;
};
const Range kRanges[] = {
    {0x20000BC1, {20.0, 1000000.0, 1.0}},   // exposure time, microseconds
    {0x20001393, {0.0, 24.0, 0.1}},         // gain, dB
    {0x2000138B, {0.0, 3.0, 0.1}},          // sharpness
    {0x20001397, {0.1, 4.0, 0.1}},          // gamma
};

SessionTable& table()
{
    static SessionTable t;
    return t;
}

GxHandle toHandle(int h)
{
    return reinterpret_cast<GxHandle>(static_cast<intptr_t>(h));
}

int fromHandle(GxHandle h)
{
    return static_cast<int>(reinterpret_cast<intptr_t>(h));
}

SessionPtr live(GxHandle device)
{
    return table().live(fromHandle(device));
}

std::string key(int32_t feature)
{
    return Hex(static_cast<uint32_t>(feature));
}

void log(const char* function, const SessionPtr& s, const std::string& args)
{
    Rig::instance().log(Call(function, s->cam, args));
}

// The sensor image after binning or decimation.
cv::Mat Sensor(const cv::Mat& frame, int fx, int fy)
{
    if (fx <= 1 && fy <= 1)
        return frame;
    cv::Mat small;
    cv::resize(frame, small, cv::Size(frame.cols / std::max(fx, 1), frame.rows / std::max(fy, 1)), 0, 0,
               cv::INTER_AREA);
    return small;
}

int factor(Session& s, int32_t a, int32_t b)
{
    return static_cast<int>(std::max(s.value(key(a), 1), s.value(key(b), 1)));
}

GxStatus setFeature(GxHandle device, const char* function, int32_t feature, double value, const std::string& shown)
{
    SessionPtr s = live(device);
    if (!s)
        return kGxInvalidHandle;
    s->set(key(feature), value);
    log(function, s, key(feature) + " " + shown);
    return kGxSuccess;
}

GxStatus openCamera(int cam, GxHandle* device)
{
    const int h = table().open(cam);
    if (!h)
        return kGxNotAllowed;
    *device = toHandle(h);
    Rig::instance().log(Call("GXOpenDevice", cam));
    return kGxSuccess;
}

}  // namespace

GxStatus GXInitLib()
{
    return kGxSuccess;
}

GxStatus GXUpdateDeviceList(uint32_t* count, uint32_t /*timeoutMs*/)
{
    if (!count)
        return kGxError;
    *count = static_cast<uint32_t>(Rig::instance().listed(kFamily).size());
    return kGxSuccess;
}

GxStatus GXOpenDeviceByIndex(uint32_t index, GxHandle* device)
{
    const std::vector<int> cams = Rig::instance().listed(kFamily);
    if (!device || index < 1 || index > cams.size())
        return kGxNotFound;
    return openCamera(cams[index - 1], device);
}

GxStatus GXOpenDevice(const GxOpenParam* param, GxHandle* device)
{
    if (!param || !param->content || !device || param->openMode != 0)
        return kGxError;
    for (int cam : Rig::instance().listed(kFamily))
        if (Rig::instance().serial(cam) == param->content)
            return openCamera(cam, device);
    return kGxNotFound;
}

GxStatus GXCloseDevice(GxHandle device)
{
    SessionPtr s = table().find(fromHandle(device));
    if (!s)
        return kGxInvalidHandle;
    log("GXCloseDevice", s, std::string());
    table().close(fromHandle(device));
    return kGxSuccess;
}

GxStatus GXGetInt(GxHandle device, int32_t feature, int64_t* value)
{
    SessionPtr s = live(device);
    if (!s || !value)
        return kGxInvalidHandle;
    const cv::Size sensor = Rig::instance().sensorSize();
    if (feature == kWidth)
        *value = static_cast<int64_t>(s->value(key(kWidth), sensor.width / factor(*s, kBinningX, kDecimationX)));
    else if (feature == kHeight)
        *value = static_cast<int64_t>(s->value(key(kHeight), sensor.height / factor(*s, kBinningY, kDecimationY)));
    else
        *value = static_cast<int64_t>(s->value(key(feature), 0));
    return kGxSuccess;
}

GxStatus GXSetInt(GxHandle device, int32_t feature, int64_t value)
{
    return setFeature(device, "GXSetInt", feature, static_cast<double>(value), std::to_string(value));
}

GxStatus GXSetEnum(GxHandle device, int32_t feature, int64_t value)
{
    return setFeature(device, "GXSetEnum", feature, static_cast<double>(value), std::to_string(value));
}

GxStatus GXSetBool(GxHandle device, int32_t feature, bool value)
{
    return setFeature(device, "GXSetBool", feature, value ? 1 : 0, value ? "true" : "false");
}

GxStatus GXGetFloat(GxHandle device, int32_t feature, double* value)
{
    SessionPtr s = live(device);
    if (!s || !value)
        return kGxInvalidHandle;
    *value = s->value(key(feature), 0);
    return kGxSuccess;
}

GxStatus GXGetFloatRange(GxHandle device, int32_t feature, GxFloatRange* range)
{
    SessionPtr s = live(device);
    if (!s || !range)
        return kGxInvalidHandle;
    for (const Range& r : kRanges)
        if (r.feature == feature) {
            *range = r.range;
            return kGxSuccess;
        }
    return kGxNotAllowed;
}

GxStatus GXSetFloat(GxHandle device, int32_t feature, double value)
{
    return setFeature(device, "GXSetFloat", feature, value, Num(value));
}

GxStatus GXSendCommand(GxHandle device, int32_t feature)
{
    SessionPtr s = live(device);
    if (!s)
        return kGxInvalidHandle;
    if (feature == kStart || feature == kStop) {
        std::lock_guard<std::mutex> lock(s->mutex);
        s->acquiring = feature == kStart;
    }
    log("GXSendCommand", s, key(feature));
    return kGxSuccess;
}

GxStatus GXGetImage(GxHandle device, GxFrame* frame, uint32_t timeoutMs)
{
    SessionPtr s = live(device);
    if (!s || !frame || !frame->imageBuffer)
        return kGxInvalidHandle;
    uint64_t last;
    {
        std::lock_guard<std::mutex> lock(s->mutex);
        if (!s->acquiring)
            return kGxNotAllowed;
        last = s->lastFrame;
    }
    cv::Mat image;
    uint64_t number = 0;
    if (!Rig::instance().nextFrame(s->cam, last, static_cast<int>(timeoutMs), &image, &number))
        return kGxTimeout;
    {
        std::lock_guard<std::mutex> lock(s->mutex);
        s->lastFrame = number;
    }
    int64_t w = 0, h = 0;
    GXGetInt(device, kWidth, &w);
    GXGetInt(device, kHeight, &h);
    const cv::Mat sensor = Grey(Sensor(image, factor(*s, kBinningX, kDecimationX), factor(*s, kBinningY, kDecimationY)));
    const cv::Mat window = Window(sensor, static_cast<int>(s->value(key(kOffsetX), 0)),
                                  static_cast<int>(s->value(key(kOffsetY), 0)), static_cast<int>(w),
                                  static_cast<int>(h));
    frame->frameId = number;
    frame->timestamp = number;
    if (window.empty()) {   // the sensor image does not cover the window set
        frame->status = kGxFrameIncomplete;
        frame->width = sensor.cols;
        frame->height = sensor.rows;
        frame->imageSize = 0;
        return kGxSuccess;
    }
    uint8_t* out = static_cast<uint8_t*>(frame->imageBuffer);
    for (int y = 0; y < window.rows; ++y)
        std::memcpy(out + static_cast<size_t>(y) * window.cols, window.ptr(y), window.cols);
    Stamp(cv::Mat(window.rows, window.cols, CV_8UC1, out), number);
    frame->status = kGxFrameComplete;
    frame->width = window.cols;
    frame->height = window.rows;
    frame->imageSize = window.cols * window.rows;
    return kGxSuccess;
}

GxStatus DxContrast(const uint8_t* in, uint8_t* out, uint32_t length, int32_t factor)
{
    if (!in || !out || factor < -50 || factor > 100)
        return kGxError;
    uint8_t table[256];
    for (int v = 0; v < 256; ++v)
        table[v] = cv::saturate_cast<uint8_t>(128 + (v - 128) * (100 + factor) / 100);
    for (uint32_t i = 0; i < length; ++i)
        out[i] = table[in[i]];
    return kGxSuccess;
}
