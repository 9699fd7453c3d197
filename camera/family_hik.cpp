// Family 7: detection, opening by GigE serial or position, frames through the
// SDK's callback (size-checked), and the image settings by feature name.

#include "camera/camerabackend.h"
#include "camera/camerafamilies.h"
#include "camera/cameraglobals.h"
#include "camera/camerahooks.h"
#include "camera/cameraunit.h"
#include "camera/framebuffer.h"
#include "camera/imagemapping.h"
#include "core/wizardpara.h"

#include <cmath>
#include <cstring>
#include <vector>

MvccDeviceList gDevList;

namespace {

constexpr uint32_t kTransports = kMvccGigE | kMvccUsb;

uint32_t pixelFormat()
{
    return gSensorColor && gisColor ? kMvccBayerRG8 : kMvccMono8;
}

class HikBackend : public CameraBackend
{
public:
    using CameraBackend::CameraBackend;

    bool open(const char* serial) override
    {
        const MvccDeviceInfo* entry = find(serial);
        if (!entry)
            return false;
        hikDeviceInfo = *entry;   // a copy: a later enumeration may change the list
        if (MV_CC_CreateHandle(&hikDevice, &hikDeviceInfo) != kMvccOk)
            return false;
        if (MV_CC_OpenDevice(hikDevice, kMvccExclusive, 0) != kMvccOk) {
            MV_CC_DestroyHandle(hikDevice);
            hikDevice = nullptr;
            return false;
        }
        MV_CC_SetEnumValue(hikDevice, "UserSetSelector", 0);
        MV_CC_SetCommandValue(hikDevice, "UserSetLoad");
        MV_CC_SetBoolValue(hikDevice, "SharpnessEnable", true);
        MV_CC_SetBoolValue(hikDevice, "GammaEnable", true);
        hikConvert = MvccConvertParam();
        hikConvert.width = static_cast<uint16_t>(gImageW);
        hikConvert.height = static_cast<uint16_t>(gImageH);
        hikConvert.srcLength = static_cast<uint32_t>(FramePixels());
        hikConvert.dstPixelType = kMvccRgb8;
        MV_CC_RegisterImageCallBack(hikDevice, &HikBackend::ImageCallBack, this);
        MV_CC_SetEnumValue(hikDevice, "PixelFormat", pixelFormat());
        return true;
    }

    void close() override
    {
        MV_CC_CloseDevice(hikDevice);
        MV_CC_DestroyHandle(hikDevice);
        hikDevice = nullptr;
    }

    void start() override { MV_CC_StartGrabbing(hikDevice); }
    void stop() override { MV_CC_StopGrabbing(hikDevice); }
    bool pass() override { return true; }   // frames come through ImageCallBack

    // Runs on the SDK's thread for every frame. A frame of another size than
    // the program's is refused.
    static void ImageCallBack(unsigned char* data, MvccFrameInfo* info, void* user)
    {
        if (!info || !data || !user)
            return;
        HikBackend* self = static_cast<HikBackend*>(user);
        if (info->width != gImageW || info->height != gImageH || info->frameLength < FramePixels()) {
            self->refuseFrame(info->width, info->height);
            return;
        }
        FrameView view;
        view.width = gImageW;
        view.height = gImageH;
        if (gSensorColor && gisColor) {
            MvccConvertParam convert = self->hikConvert;
            convert.dstBuffer = self->colourBuffer();
            convert.dstBufferSize = static_cast<uint32_t>(self->imageRgb.size());
            convert.srcPixelType = info->pixelType;
            convert.srcData = data;
            convert.srcLength = info->frameLength;
            if (MV_CC_ConvertPixelType(self->hikDevice, &convert) != kMvccOk)
                return;
            view.data = convert.dstBuffer;
            view.layout = PixelLayout::Rgb24;
        } else {
            view.data = data;
        }
        self->handOver(view);
    }

    void changeTrig(bool, bool external) override
    {
        MV_CC_SetEnumValue(hikDevice, "TriggerMode", external ? 1 : 0);
        if (external)
            MV_CC_SetEnumValue(hikDevice, "TriggerSource", 0);
    }

    void setExposure(int v, bool, bool) override
    {
        MV_CC_SetEnumValue(hikDevice, "ExposureMode", 0);
        MV_CC_SetEnumValue(hikDevice, "ExposureAuto", 0);
        MV_CC_SetFloatValue(hikDevice, "ExposureTime", v * 1000.0f);
    }

    void setGain(int v) override
    {
        MvccFloatValue gain;
        MV_CC_GetGain(hikDevice, &gain);
        MV_CC_SetEnumValue(hikDevice, "GainAuto", 0);
        MV_CC_SetFloatValue(hikDevice, "Gain", v * ((gain.max - gain.min) / 64) + gain.min);
    }

    void setWB() override { MV_CC_SetBalanceWhiteAuto(hikDevice, kMvccWhiteBalanceOnce); }

    void setSharp(int v) override
    {
        MvccIntValue sharp;
        MV_CC_GetSharpness(hikDevice, &sharp);
        const float value = static_cast<float>(sharp.min) + v * static_cast<float>(sharp.max - sharp.min) / 100;
        MV_CC_SetIntValue(hikDevice, "Sharpness", static_cast<int64_t>(std::trunc(value)));
    }

    void setGamma(int v) override
    {
        MvccFloatValue gamma;
        MV_CC_GetGamma(hikDevice, &gamma);
        MV_CC_SetFloatValue(hikDevice, "Gamma", gamma.min + v * (gamma.max - gamma.min) / 250);
    }

    void setSpeed(int captureSpeed) override
    {
        MV_CC_SetBoolValue(hikDevice, "AcquisitionFrameRateEnable", true);
        MV_CC_SetFloatValue(hikDevice, "AcquisitionFrameRate", HikFrameRate(captureSpeed));
    }

    void restoreDefaults(WizardPara& bak) override
    {
        unit.CameraStop();
        MV_CC_SetEnumValue(hikDevice, "UserSetSelector", 0);
        MV_CC_SetCommandValue(hikDevice, "UserSetLoad");
        MV_CC_SetEnumValue(hikDevice, "PixelFormat", pixelFormat());
        unit.CameraStart();
        const int p = position();
        MvccFloatValue f;
        MV_CC_GetExposureTime(hikDevice, &f);
        bak.exposeTime[p] = static_cast<int>(std::trunc(f.current / 1000));
        MV_CC_GetGain(hikDevice, &f);
        bak.adjustPlus[p] = ReadBackSetting(f.current, f.min, (f.max - f.min) / 64);
        MvccIntValue sharp;
        MV_CC_GetSharpness(hikDevice, &sharp);
        bak.sharp[p] = ReadBackSetting(static_cast<double>(sharp.current), static_cast<double>(sharp.min),
                                       static_cast<double>((sharp.max - sharp.min) / 100));
        MV_CC_GetGamma(hikDevice, &f);
        bak.gamma[p] = ReadBackSetting(f.current, f.min, (f.max - f.min) / 250);
    }

    std::optional<std::string> serialNumber() override
    {
        if (hikDeviceInfo.transport != kMvccGigE)
            return std::string();
        return std::string(hikDeviceInfo.gige.serial, strnlen(hikDeviceInfo.gige.serial, 31));
    }

private:
    const MvccDeviceInfo* find(const char* serial) const
    {
        const uint32_t count = gDevList.count;
        if (std::strlen(serial) <= kSerialByIndex)
            return static_cast<uint32_t>(position()) < count ? gDevList.devices[position()] : nullptr;
        for (uint32_t i = 0; i < count && static_cast<int>(i) < gFindCamera; ++i) {
            const MvccGigEInfo& gige = gDevList.devices[i]->gige;
            if (std::strncmp(gige.serial, serial, sizeof gige.serial) == 0)
                return gDevList.devices[i];
        }
        return nullptr;
    }

    MvccHandle hikDevice = nullptr;
    MvccDeviceInfo hikDeviceInfo;
    MvccConvertParam hikConvert;
    // The converted colour frame: made by the first colour frame (grey
    // cameras never need it).
    uint8_t* colourBuffer()
    {
        if (imageRgb.size() != FramePixels() * 3)
            imageRgb.assign(FramePixels() * 3, 0);
        return imageRgb.data();
    }
    std::vector<uint8_t> imageRgb;
};

}  // namespace

int HikCameraCount()
{
    return MV_CC_EnumDevices(kTransports, &gDevList) == kMvccOk ? static_cast<int>(gDevList.count) : 0;
}

bool DetectHik()
{
    if (cameraHooks().ensureDeviceReach)
        cameraHooks().ensureDeviceReach();
    if (HikCameraCount() <= 0)
        return false;
    MvccHandle h = nullptr;
    if (MV_CC_CreateHandle(&h, gDevList.devices[0]) != kMvccOk)
        return false;
    if (MV_CC_OpenDevice(h, kMvccExclusive, 0) != kMvccOk) {
        MV_CC_DestroyHandle(h);
        return false;
    }
    MvccStringValue model;
    MV_CC_GetStringValue(h, "DeviceModelName", &model);
    const size_t length = strnlen(model.current, sizeof model.current);
    gSensorColor = length > 0 && model.current[length - 1] != 'M' ? 1 : 0;
    MvccIntValue v;
    MV_CC_GetIntValue(h, "WidthMax", &v);
    gOW = static_cast<int>(v.current);
    MV_CC_GetIntValue(h, "HeightMax", &v);
    gOH = static_cast<int>(v.current);
    MV_CC_GetIntValue(h, "Width", &v);
    gImageW = static_cast<int>(v.current);
    MV_CC_GetIntValue(h, "Height", &v);
    gImageH = static_cast<int>(v.current);
    MV_CC_CloseDevice(h);
    MV_CC_DestroyHandle(h);
    gCameraID = kCameraHik;
    gFindCamera = static_cast<int>(gDevList.count);
    return true;
}

std::unique_ptr<CameraBackend> MakeHikBackend(CameraUnit& unit)
{
    return std::make_unique<HikBackend>(unit);
}
