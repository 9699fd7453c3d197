// Family 6 stand-in over the simulated camera source.

#include "camera/sdk/mvsdk.h"
#include "tools/camera-sim/simsession.h"

#include <opencv2/imgproc.hpp>

#include <cstring>
#include <vector>

using namespace simcam;

namespace {

constexpr int kFamily = 6;
constexpr double kDefaultExposureUs = 20000;
constexpr int kDefaultGain = 32;
constexpr int kGainRange[2] = {16, 128};

// State of one opened camera beyond its settings.
struct Device {
    std::mutex mutex;
    std::vector<CamResolution> presets;
    CamResolution resolution;
    uint32_t format = kCamMono8;
    bool monochrome = false;
    bool mirror[2] = {false, false};
    bool playing = false;
    cv::Mat raw;   // the frame handed out by CameraGetImageBuffer
};

SessionTable& table()
{
    static SessionTable t;
    return t;
}

StateTable<Device>& devices()
{
    static StateTable<Device> d;
    return d;
}

std::shared_ptr<Device> device(CamHandle camera)
{
    return devices().get(camera);
}

SessionPtr live(CamHandle camera)
{
    return table().live(camera);
}

void log(const char* function, const SessionPtr& s, const std::string& args = std::string())
{
    Rig::instance().log(Call(function, s->cam, args));
}

CamResolution Full(cv::Size sensor)
{
    CamResolution r;
    r.fovWidth = r.width = sensor.width;
    r.fovHeight = r.height = sensor.height;
    return r;
}

// Entries 0..9 are centred windows shrinking by 5 % each; entry 10 is the
// whole sensor read out at half size; further entries shrink again.
std::vector<CamResolution> Presets(cv::Size sensor, int count)
{
    std::vector<CamResolution> list;
    for (int i = 0; i < count; ++i) {
        CamResolution r;
        r.index = i;
        std::snprintf(r.description, sizeof r.description, "preset %d", i);
        if (i == 10) {
            r.fovWidth = sensor.width;
            r.fovHeight = sensor.height;
            r.width = sensor.width / 2;
            r.height = sensor.height / 2;
        } else {
            const double scale = 1.0 - 0.05 * (i > 10 ? i - 10 : i);
            r.fovWidth = r.width = static_cast<int>(sensor.width * scale) & ~1;
            r.fovHeight = r.height = static_cast<int>(sensor.height * scale) & ~1;
            r.hOffset = (sensor.width - r.fovWidth) / 2;
            r.vOffset = (sensor.height - r.fovHeight) / 2;
        }
        list.push_back(r);
    }
    return list;
}

std::string text(const CamResolution& r)
{
    return std::to_string(r.index) + " " + std::to_string(r.hOffset) + "," + std::to_string(r.vOffset) + " "
           + std::to_string(r.fovWidth) + "x" + std::to_string(r.fovHeight) + " " + std::to_string(r.width) + "x"
           + std::to_string(r.height);
}

// The frame as the sensor reads it out with the resolution and mirrors set;
// the whole frame when the window does not fit in it.
cv::Mat ReadOut(const cv::Mat& frame, const Device& d)
{
    const CamResolution& r = d.resolution;
    cv::Mat window = Window(frame, r.hOffset, r.vOffset, r.fovWidth, r.fovHeight);
    if (window.empty())
        return frame.clone();
    cv::Mat out;
    if (r.width != r.fovWidth || r.height != r.fovHeight)
        cv::resize(window, out, cv::Size(r.width, r.height), 0, 0, cv::INTER_AREA);
    else
        out = window.clone();
    if (d.mirror[0] && d.mirror[1])
        cv::flip(out, out, -1);
    else if (d.mirror[0] || d.mirror[1])
        cv::flip(out, out, d.mirror[0] ? 1 : 0);
    return out;
}

CamStatus setValue(CamHandle camera, const char* function, const char* name, double v)
{
    SessionPtr s = live(camera);
    if (!s)
        return kCamNoDevice;
    s->set(name, v);
    log(function, s, Num(v));
    return kCamSuccess;
}

template <typename T>
CamStatus getValue(CamHandle camera, const char* name, double fallback, T* out)
{
    SessionPtr s = live(camera);
    if (!s || !out)
        return kCamNoDevice;
    *out = static_cast<T>(s->value(name, fallback));
    return kCamSuccess;
}

// Device calls that only record their arguments.
CamStatus record(CamHandle camera, const char* function, const std::string& args)
{
    SessionPtr s = live(camera);
    if (!s)
        return kCamNoDevice;
    log(function, s, args);
    return kCamSuccess;
}

}  // namespace

CamStatus CameraSdkInit(int32_t /*language*/)
{
    return kCamSuccess;
}

CamStatus CameraUSBDeviceInit()
{
    return kCamSuccess;
}

CamStatus CameraSdkGetVersionString(char* text)
{
    if (!text)
        return kCamParameter;
    std::strcpy(text, "simulated 1.0");
    return kCamSuccess;
}

CamStatus CameraEnumerateDevice(CamDeviceInfo* list, int32_t* count)
{
    if (!list || !count || *count < 1)
        return kCamParameter;
    const std::vector<int> cams = Rig::instance().listed(kFamily);
    int n = 0;
    for (int cam : cams) {
        if (n == *count)
            break;
        CamDeviceInfo& e = list[n++];
        e = CamDeviceInfo();
        std::snprintf(e.productName, sizeof e.productName, "SIM-%s", Rig::instance().colour(cam) ? "C" : "M");
        std::snprintf(e.friendlyName, sizeof e.friendlyName, "cam%d", cam);
        std::strncpy(e.serial, Rig::instance().serial(cam).c_str(), sizeof e.serial - 1);
        e.instance = cam;
    }
    *count = n;
    return n ? kCamSuccess : kCamNoDevice;
}

CamStatus CameraInit(const CamDeviceInfo* info, int32_t /*parameterMode*/, int32_t /*team*/, CamHandle* camera)
{
    if (!info || !camera || !Rig::instance().online(info->instance)
        || Rig::instance().family() != kFamily)
        return kCamNoDevice;
    const int handle = table().open(info->instance);
    if (!handle)
        return kCamBusy;
    auto d = std::make_shared<Device>();
    const cv::Size sensor = Rig::instance().sensorSize();
    d->presets = Presets(sensor, Rig::instance().knobs.presetCount);
    d->resolution = Full(sensor);
    devices().put(handle, d);
    *camera = handle;
    Rig::instance().log(Call("CameraInit", info->instance));
    return kCamSuccess;
}

CamStatus CameraUnInit(CamHandle camera)
{
    SessionPtr s = table().find(camera);
    if (!s)
        return kCamParameter;
    devices().erase(camera);
    log("CameraUnInit", s);
    table().close(camera);
    return kCamSuccess;
}

CamStatus CameraGetCapability(CamHandle camera, CamCapability* capability)
{
    SessionPtr s = live(camera);
    std::shared_ptr<Device> d = device(camera);
    if (!s || !d || !capability)
        return kCamNoDevice;
    const Knobs& k = Rig::instance().knobs;
    const cv::Size sensor = Rig::instance().sensorSize();
    *capability = CamCapability();
    capability->isMono = Rig::instance().colour(s->cam) ? 0 : 1;
    capability->maxWidth = sensor.width;
    capability->maxHeight = sensor.height;
    capability->presetCount = static_cast<int32_t>(d->presets.size());
    capability->presets = d->presets.data();
    capability->gamma = {k.gammaRange[0], k.gammaRange[1]};
    capability->contrast = {k.contrastRange[0], k.contrastRange[1]};
    capability->sharpness = {k.sharpnessRange[0], k.sharpnessRange[1]};
    return kCamSuccess;
}

CamStatus CameraSetImageResolution(CamHandle camera, const CamResolution* resolution)
{
    SessionPtr s = live(camera);
    std::shared_ptr<Device> d = device(camera);
    if (!s || !d || !resolution)
        return kCamNoDevice;
    CamResolution r = *resolution;
    if (r.index != kCamCustomResolution) {
        if (r.index < 0 || r.index >= static_cast<int32_t>(d->presets.size()))
            return kCamParameter;
        r = d->presets[r.index];
    }
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->resolution = r;
    }
    log("CameraSetImageResolution", s, text(r));
    return kCamSuccess;
}

CamStatus CameraSetWbMode(CamHandle camera, bool automatic)
{
    return record(camera, "CameraSetWbMode", automatic ? "1" : "0");
}

CamStatus CameraSetOnceWB(CamHandle camera)
{
    return record(camera, "CameraSetOnceWB", std::string());
}

CamStatus CameraSetMediaType(CamHandle camera, int32_t index)
{
    return record(camera, "CameraSetMediaType", std::to_string(index));
}

CamStatus CameraSetIspOutFormat(CamHandle camera, uint32_t format)
{
    std::shared_ptr<Device> d = device(camera);
    if (!d || (format != kCamRgb8 && format != kCamMono8))
        return kCamParameter;
    const CamStatus status = record(camera, "CameraSetIspOutFormat", Hex(format));
    if (status == kCamSuccess) {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->format = format;
    }
    return status;
}

CamStatus CameraSetMonochrome(CamHandle camera, bool enable)
{
    std::shared_ptr<Device> d = device(camera);
    const CamStatus status = record(camera, "CameraSetMonochrome", enable ? "1" : "0");
    if (status == kCamSuccess && d) {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->monochrome = enable;
    }
    return status;
}

CamStatus CameraSetMirror(CamHandle camera, int32_t direction, bool enable)
{
    std::shared_ptr<Device> d = device(camera);
    if (!d || direction < 0 || direction > 1)
        return kCamParameter;
    const CamStatus status =
        record(camera, "CameraSetMirror", std::to_string(direction) + " " + (enable ? "1" : "0"));
    if (status == kCamSuccess) {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->mirror[direction] = enable;
    }
    return status;
}

CamStatus CameraSetFrameSpeed(CamHandle camera, int32_t speed)
{
    return record(camera, "CameraSetFrameSpeed", std::to_string(speed));
}

CamStatus CameraSetTriggerMode(CamHandle camera, int32_t mode)
{
    return record(camera, "CameraSetTriggerMode", std::to_string(mode));
}

CamStatus CameraPlay(CamHandle camera)
{
    std::shared_ptr<Device> d = device(camera);
    const CamStatus status = record(camera, "CameraPlay", std::string());
    if (status == kCamSuccess && d) {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->playing = true;
    }
    return status;
}

CamStatus CameraStop(CamHandle camera)
{
    std::shared_ptr<Device> d = device(camera);
    const CamStatus status = record(camera, "CameraStop", std::string());
    if (status == kCamSuccess && d) {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->playing = false;
    }
    return status;
}

CamStatus CameraGetImageBuffer(CamHandle camera, CamFrameHead* head, uint8_t** raw, uint32_t timeoutMs)
{
    SessionPtr s = live(camera);
    std::shared_ptr<Device> d = device(camera);
    if (!s || !d || !head || !raw)
        return kCamNoDevice;
    uint64_t last;
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        if (!d->playing)
            return kCamTimeout;
        last = s->lastFrame;
    }
    cv::Mat frame;
    uint64_t number = 0;
    if (!Rig::instance().nextFrame(s->cam, last, static_cast<int>(timeoutMs), &frame, &number))
        return kCamTimeout;
    std::lock_guard<std::mutex> lock(d->mutex);
    s->lastFrame = number;
    d->raw = ReadOut(frame, *d);
    Stamp(d->raw, number);
    head->width = d->raw.cols;
    head->height = d->raw.rows;
    head->mediaType = d->raw.channels() == 1 ? kCamMono8 : kCamRgb8;
    head->bytes = static_cast<uint32_t>(d->raw.total() * d->raw.elemSize());
    head->frameNumber = number;
    *raw = d->raw.data;
    return kCamSuccess;
}

CamStatus CameraImageProcess(CamHandle camera, const uint8_t* raw, uint8_t* out, const CamFrameHead* head)
{
    std::shared_ptr<Device> d = device(camera);
    if (!d || !raw || !out || !head)
        return kCamParameter;
    std::lock_guard<std::mutex> lock(d->mutex);
    if (raw != d->raw.data || head->width != d->raw.cols || head->height != d->raw.rows)
        return kCamParameter;
    const bool rgb = d->format == kCamRgb8;
    cv::Mat result(head->height, head->width, rgb ? CV_8UC3 : CV_8UC1, out);
    const cv::Mat grey = Grey(d->raw);
    if (!rgb)
        grey.copyTo(result);
    else if (d->monochrome || d->raw.channels() == 1)
        cv::cvtColor(grey, result, cv::COLOR_GRAY2RGB);
    else
        cv::cvtColor(d->raw, result, cv::COLOR_BGR2RGB);
    return kCamSuccess;
}

CamStatus CameraReleaseImageBuffer(CamHandle camera, uint8_t* raw)
{
    std::shared_ptr<Device> d = device(camera);
    if (!d || !raw)
        return kCamParameter;
    return kCamSuccess;
}

CamStatus CameraSetAeState(CamHandle camera, bool automatic)
{
    return setValue(camera, "CameraSetAeState", "ae", automatic ? 1 : 0);
}

CamStatus CameraSetAeTarget(CamHandle camera, int32_t target)
{
    return setValue(camera, "CameraSetAeTarget", "aeTarget", target);
}

CamStatus CameraSetAeExposureRange(CamHandle camera, double minUs, double maxUs)
{
    return record(camera, "CameraSetAeExposureRange", Num(minUs) + " " + Num(maxUs));
}

CamStatus CameraSetAntiFlick(CamHandle camera, bool enable)
{
    return record(camera, "CameraSetAntiFlick", enable ? "1" : "0");
}

CamStatus CameraSetExposureTime(CamHandle camera, double microseconds)
{
    return setValue(camera, "CameraSetExposureTime", "exposure", microseconds);
}

CamStatus CameraGetExposureTime(CamHandle camera, double* microseconds)
{
    return getValue(camera, "exposure", kDefaultExposureUs, microseconds);
}

CamStatus CameraCommonCall(CamHandle camera, const char* command, char* result, uint32_t resultSize)
{
    if (!command)
        return kCamParameter;
    if (result && resultSize)
        result[0] = 0;
    return record(camera, "CameraCommonCall", command);
}

CamStatus CameraGetAeAnalogGainRange(CamHandle camera, int32_t* min, int32_t* max)
{
    if (!live(camera) || !min || !max)
        return kCamNoDevice;
    *min = kGainRange[0];
    *max = kGainRange[1];
    return kCamSuccess;
}

CamStatus CameraSetAnalogGain(CamHandle camera, int32_t gain)
{
    return setValue(camera, "CameraSetAnalogGain", "gain", gain);
}

CamStatus CameraGetAnalogGain(CamHandle camera, int32_t* gain)
{
    return getValue(camera, "gain", kDefaultGain, gain);
}

CamStatus CameraSetSharpness(CamHandle camera, int32_t sharpness)
{
    return setValue(camera, "CameraSetSharpness", "sharpness", sharpness);
}

CamStatus CameraGetSharpness(CamHandle camera, int32_t* sharpness)
{
    const Knobs& k = Rig::instance().knobs;
    return getValue(camera, "sharpness", (k.sharpnessRange[0] + k.sharpnessRange[1]) / 2, sharpness);
}

CamStatus CameraSetContrast(CamHandle camera, int32_t contrast)
{
    return setValue(camera, "CameraSetContrast", "contrast", contrast);
}

CamStatus CameraGetContrast(CamHandle camera, int32_t* contrast)
{
    const Knobs& k = Rig::instance().knobs;
    return getValue(camera, "contrast", (k.contrastRange[0] + k.contrastRange[1]) / 2, contrast);
}

CamStatus CameraSetGamma(CamHandle camera, int32_t gamma)
{
    return setValue(camera, "CameraSetGamma", "gamma", gamma);
}

CamStatus CameraGetGamma(CamHandle camera, int32_t* gamma)
{
    const Knobs& k = Rig::instance().knobs;
    return getValue(camera, "gamma", (k.gammaRange[0] + k.gammaRange[1]) / 10, gamma);
}

CamStatus CameraLoadParameter(CamHandle camera, int32_t team)
{
    SessionPtr s = live(camera);
    std::shared_ptr<Device> d = device(camera);
    if (!s || !d)
        return kCamNoDevice;
    if (team == kCamFactoryParameters) {
        std::lock_guard<std::mutex> lock(s->mutex);
        s->values.clear();   // the getters answer the factory values again
    }
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->resolution = Full(Rig::instance().sensorSize());
        d->mirror[0] = d->mirror[1] = false;
    }
    log("CameraLoadParameter", s, std::to_string(team));
    return kCamSuccess;
}

CamStatus CameraReadSN(CamHandle camera, uint8_t* text, int32_t level)
{
    SessionPtr s = live(camera);
    if (!s || !text || level != 0)
        return kCamNoDevice;
    std::strncpy(reinterpret_cast<char*>(text), Rig::instance().serial(s->cam).c_str(), 31);
    return kCamSuccess;
}
