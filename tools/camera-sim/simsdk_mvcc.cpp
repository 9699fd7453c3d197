// Family 7 stand-in over the simulated camera source.

#include "camera/sdk/hiksdk.h"
#include "tools/camera-sim/simsession.h"

#include <opencv2/imgproc.hpp>

#include <cstring>
#include <vector>

using namespace simcam;

namespace {

constexpr int kFamily = 7;
constexpr uint32_t kHostIp = 0xC0A84D01;   // 192.168.77.1
constexpr uint32_t kMask = 0xFFFFFF00;

struct Float {
    const char* name;
    MvccFloatValue value;
};
const Float kFloats[] = {
    {"ExposureTime", {10000.0f, 1000000.0f, 20.0f}},
    {"Gain", {0.0f, 17.0f, 0.0f}},
    {"Gamma", {1.0f, 4.0f, 0.0f}},
};
constexpr MvccIntValue kSharpness{50, 100, 0, 1};

// A handle: the device it was made for and, once opened, its session.
struct Handle {
    MvccDeviceInfo device;
    int session = 0;
    MvccImageCallback callback = nullptr;
    void* user = nullptr;
    Pusher pusher;
    std::vector<uint8_t> frame;   // the frame passed to the callback
};

SessionTable& table()
{
    static SessionTable t;
    return t;
}

MvccDeviceInfo* entries()
{
    static MvccDeviceInfo e[kMaxCameras];
    return e;
}

Handle* handle(MvccHandle h)
{
    return static_cast<Handle*>(h);
}

SessionPtr live(MvccHandle h)
{
    return h ? table().live(handle(h)->session) : nullptr;
}

void log(const char* function, const SessionPtr& s, const std::string& args = std::string())
{
    Rig::instance().log(Call(function, s->cam, args));
}

void fill(MvccDeviceInfo* e, int cam)
{
    *e = MvccDeviceInfo();
    e->transport = kMvccGigE;
    e->macHigh = 0x0000A0B1;
    e->macLow = 0xC2D30000u + static_cast<uint32_t>(cam);
    const uint32_t ip = Rig::instance().knobs.gigeIp[cam];
    e->gige.currentIp = ip ? ip : (kHostIp & kMask) | static_cast<uint32_t>(10 + cam);
    e->gige.currentMask = kMask;
    e->gige.hostIp = kHostIp;
    std::strcpy(e->gige.manufacturer, "SIM");
    std::snprintf(e->gige.model, sizeof e->gige.model, "SIM-G%s", Rig::instance().colour(cam) ? "C" : "M");
    std::strncpy(e->gige.serial, Rig::instance().serial(cam).c_str(), sizeof e->gige.serial - 1);
    e->instance = cam;
}

// The frame in the pixel format set: Mono8, or an RGGB mosaic for BayerRG8.
void encode(const cv::Mat& frame, uint32_t format, std::vector<uint8_t>* out)
{
    const cv::Mat grey = Grey(frame);
    out->resize(grey.total());
    if (format != kMvccBayerRG8 || frame.channels() == 1) {
        std::memcpy(out->data(), grey.data, grey.total());
        return;
    }
    for (int y = 0; y < frame.rows; ++y) {
        const cv::Vec3b* in = frame.ptr<cv::Vec3b>(y);
        uint8_t* row = out->data() + static_cast<size_t>(y) * frame.cols;
        for (int x = 0; x < frame.cols; ++x) {
            const int channel = (y & 1) == 0 ? ((x & 1) == 0 ? 2 : 1) : ((x & 1) == 0 ? 1 : 0);
            row[x] = in[x][channel];
        }
    }
}

void deliver(Handle* h, const SessionPtr& s, const cv::Mat& frame, uint64_t number)
{
    const uint32_t format = static_cast<uint32_t>(s->value("PixelFormat", kMvccMono8));
    encode(frame, format, &h->frame);
    Stamp(cv::Mat(frame.rows, frame.cols, CV_8UC1, h->frame.data()), number);
    MvccFrameInfo info;
    info.width = static_cast<uint16_t>(frame.cols);
    info.height = static_cast<uint16_t>(frame.rows);
    info.pixelType = format;
    info.frameNumber = static_cast<uint32_t>(number);
    info.frameLength = static_cast<uint32_t>(h->frame.size());
    if (h->callback)
        h->callback(h->frame.data(), &info, h->user);
}

int setValue(MvccHandle h, const char* function, const char* name, double v, const std::string& shown)
{
    SessionPtr s = live(h);
    if (!s || !name)
        return kMvccNoDevice;
    s->set(name, v);
    log(function, s, std::string(name) + " " + shown);
    return kMvccOk;
}

int getFloat(MvccHandle h, const char* name, MvccFloatValue* value)
{
    SessionPtr s = live(h);
    if (!s || !value)
        return kMvccNoDevice;
    for (const Float& f : kFloats)
        if (std::strcmp(f.name, name) == 0) {
            *value = f.value;
            value->current = static_cast<float>(s->value(name, f.value.current));
            return kMvccOk;
        }
    return kMvccParameter;
}

}  // namespace

namespace simcam {

bool GigeAddressAnswers(uint32_t address)
{
    if (address == kHostIp)
        return true;
    MvccDeviceList list;
    MV_CC_EnumDevices(kMvccGigE, &list);
    for (uint32_t i = 0; i < list.count; ++i)
        if (list.devices[i]->gige.currentIp == address)
            return true;
    return false;
}

}  // namespace simcam

int MV_CC_EnumDevices(uint32_t transports, MvccDeviceList* list)
{
    if (!list)
        return kMvccParameter;
    *list = MvccDeviceList();
    if (!(transports & kMvccGigE))
        return kMvccOk;   // the simulated cameras are all GigE devices
    for (int cam : Rig::instance().listed(kFamily)) {
        fill(&entries()[cam], cam);
        list->devices[list->count++] = &entries()[cam];
    }
    return kMvccOk;
}

int MV_CC_CreateHandle(MvccHandle* h, const MvccDeviceInfo* device)
{
    if (!h || !device || device->instance < 0 || device->instance >= kMaxCameras)
        return kMvccParameter;
    Handle* made = new Handle;
    made->device = *device;
    *h = made;
    return kMvccOk;
}

int MV_CC_DestroyHandle(MvccHandle h)
{
    if (!h)
        return kMvccParameter;
    MV_CC_CloseDevice(h);
    delete handle(h);
    return kMvccOk;
}

int MV_CC_OpenDevice(MvccHandle h, uint32_t /*access*/, uint16_t /*switchoverKey*/)
{
    if (!h)
        return kMvccParameter;
    Handle* hd = handle(h);
    const int cam = hd->device.instance;
    if (hd->session || !Rig::instance().online(cam) || Rig::instance().family() != kFamily)
        return kMvccNoDevice;
    hd->session = table().open(cam);
    if (!hd->session)
        return kMvccBusy;
    Rig::instance().log(Call("MV_CC_OpenDevice", cam));
    return kMvccOk;
}

int MV_CC_CloseDevice(MvccHandle h)
{
    Handle* hd = handle(h);
    SessionPtr s = hd ? table().find(hd->session) : nullptr;
    if (!s)
        return kMvccNoDevice;
    hd->pusher.stop();
    log("MV_CC_CloseDevice", s);
    table().close(hd->session);
    hd->session = 0;
    return kMvccOk;
}

bool MV_CC_IsDeviceAccessible(const MvccDeviceInfo* device, uint32_t /*access*/)
{
    return device && Rig::instance().online(device->instance) && !table().isOpen(device->instance);
}

int MV_GIGE_ForceIpEx(MvccHandle h, uint32_t ip, uint32_t mask, uint32_t gateway)
{
    Handle* hd = handle(h);
    if (!hd || !Rig::instance().online(hd->device.instance))
        return kMvccNoDevice;
    MvccDeviceInfo& e = entries()[hd->device.instance];
    Rig::instance().knobs.gigeIp[hd->device.instance] = ip;
    e.gige.currentIp = ip;
    e.gige.currentMask = mask;
    e.gige.defaultGateway = gateway;
    Rig::instance().log(Call("MV_GIGE_ForceIpEx", hd->device.instance, Hex(ip) + " " + Hex(mask) + " " + Hex(gateway)));
    return kMvccOk;
}

int MV_CC_GetIntValue(MvccHandle h, const char* name, MvccIntValue* value)
{
    SessionPtr s = live(h);
    if (!s || !name || !value)
        return kMvccNoDevice;
    const cv::Size sensor = Rig::instance().sensorSize();
    const cv::Size own = Rig::instance().frameSize(s->cam);
    *value = MvccIntValue();
    if (std::strcmp(name, "WidthMax") == 0)
        value->current = sensor.width;
    else if (std::strcmp(name, "HeightMax") == 0)
        value->current = sensor.height;
    else if (std::strcmp(name, "Width") == 0)
        value->current = own.width;
    else if (std::strcmp(name, "Height") == 0)
        value->current = own.height;
    else
        value->current = static_cast<int64_t>(s->value(name, 0));
    value->max = value->current;
    return kMvccOk;
}

int MV_CC_GetStringValue(MvccHandle h, const char* name, MvccStringValue* value)
{
    SessionPtr s = live(h);
    if (!s || !name || !value || std::strcmp(name, "DeviceModelName") != 0)
        return kMvccParameter;
    *value = MvccStringValue();
    std::strncpy(value->current, handle(h)->device.gige.model, sizeof value->current - 1);
    return kMvccOk;
}

int MV_CC_SetIntValue(MvccHandle h, const char* name, int64_t value)
{
    return setValue(h, "MV_CC_SetIntValue", name, static_cast<double>(value), std::to_string(value));
}

int MV_CC_SetEnumValue(MvccHandle h, const char* name, uint32_t value)
{
    return setValue(h, "MV_CC_SetEnumValue", name, value,
                    value > 0xFFFF ? Hex(value) : std::to_string(value));
}

int MV_CC_SetBoolValue(MvccHandle h, const char* name, bool value)
{
    return setValue(h, "MV_CC_SetBoolValue", name, value ? 1 : 0, value ? "true" : "false");
}

int MV_CC_SetFloatValue(MvccHandle h, const char* name, float value)
{
    return setValue(h, "MV_CC_SetFloatValue", name, value, Num(value));
}

int MV_CC_SetCommandValue(MvccHandle h, const char* name)
{
    SessionPtr s = live(h);
    if (!s || !name)
        return kMvccNoDevice;
    if (std::strcmp(name, "UserSetLoad") == 0) {
        std::lock_guard<std::mutex> lock(s->mutex);
        s->values.clear();   // the default user set: every value back to its default
    }
    log("MV_CC_SetCommandValue", s, name);
    return kMvccOk;
}

int MV_CC_GetGain(MvccHandle h, MvccFloatValue* value)
{
    return getFloat(h, "Gain", value);
}

int MV_CC_GetGamma(MvccHandle h, MvccFloatValue* value)
{
    return getFloat(h, "Gamma", value);
}

int MV_CC_GetExposureTime(MvccHandle h, MvccFloatValue* value)
{
    return getFloat(h, "ExposureTime", value);
}

int MV_CC_GetSharpness(MvccHandle h, MvccIntValue* value)
{
    SessionPtr s = live(h);
    if (!s || !value)
        return kMvccNoDevice;
    *value = kSharpness;
    value->current = static_cast<int64_t>(s->value("Sharpness", static_cast<double>(kSharpness.current)));
    return kMvccOk;
}

int MV_CC_SetBalanceWhiteAuto(MvccHandle h, uint32_t mode)
{
    return setValue(h, "MV_CC_SetBalanceWhiteAuto", "BalanceWhiteAuto", mode, std::to_string(mode));
}

int MV_CC_RegisterImageCallBack(MvccHandle h, MvccImageCallback callback, void* user)
{
    SessionPtr s = live(h);
    if (!s)
        return kMvccNoDevice;
    handle(h)->callback = callback;
    handle(h)->user = user;
    log("MV_CC_RegisterImageCallBack", s);
    return kMvccOk;
}

int MV_CC_ConvertPixelType(MvccHandle h, MvccConvertParam* p)
{
    if (!live(h) || !p || !p->srcData || !p->dstBuffer || p->dstPixelType != kMvccRgb8)
        return kMvccParameter;
    const size_t pixels = static_cast<size_t>(p->width) * p->height;
    if (p->srcLength < pixels || p->dstBufferSize < pixels * 3)
        return kMvccParameter;
    const cv::Mat src(p->height, p->width, CV_8UC1, const_cast<uint8_t*>(p->srcData));
    cv::Mat dst(p->height, p->width, CV_8UC3, p->dstBuffer);
    if (p->srcPixelType == kMvccBayerRG8)
        cv::cvtColor(src, dst, cv::COLOR_BayerBG2RGB);   // OpenCV names the RGGB layout by its second row
    else if (p->srcPixelType == kMvccMono8)
        cv::cvtColor(src, dst, cv::COLOR_GRAY2RGB);
    else
        return kMvccParameter;
    p->dstLength = static_cast<uint32_t>(pixels * 3);
    return kMvccOk;
}

int MV_CC_StartGrabbing(MvccHandle h)
{
    SessionPtr s = live(h);
    if (!s)
        return kMvccNoDevice;
    Handle* hd = handle(h);
    hd->pusher.start(s->cam, [hd, s](const cv::Mat& frame, uint64_t number) { deliver(hd, s, frame, number); });
    log("MV_CC_StartGrabbing", s);
    return kMvccOk;
}

int MV_CC_StopGrabbing(MvccHandle h)
{
    Handle* hd = handle(h);
    SessionPtr s = hd ? table().find(hd->session) : nullptr;
    if (!s)
        return kMvccNoDevice;
    hd->pusher.stop();
    log("MV_CC_StopGrabbing", s);
    return kMvccOk;
}
