// Family 6: detection with the resolution presets, opening by serial or
// position, the ISP output format, the fetch and the image settings with
// their read-back.

#include "camera/camerabackend.h"
#include "camera/cameradetect.h"
#include "camera/camerafamilies.h"
#include "camera/cameraglobals.h"
#include "camera/camerahooks.h"
#include "camera/cameraloss.h"
#include "camera/cameraunit.h"
#include "camera/framebuffer.h"
#include "camera/imagemapping.h"
#include "core/wizardpara.h"

#include <cmath>
#include <cstring>
#include <vector>

CamDeviceInfo gCList[kCamListCapacity];
CamResolution gImageResolution;

namespace {

constexpr uint32_t kFetchMs = 100;
constexpr int kPresetCut = 10;   // the preset of 2592-wide sensors with reduced presets on

// Colour frames only from a colour sensor with colour processing on.
bool rgbOutput()
{
    return gSensorColor && gisColor;
}

class MvBackend : public CameraBackend
{
public:
    using CameraBackend::CameraBackend;

    bool open(const char* serial) override
    {
        const CamDeviceInfo* entry = nullptr;
        if (std::strlen(serial) <= kSerialByIndex) {
            if (position() < kCamListCapacity)
                entry = &gCList[position()];
        } else {
            for (int i = 0; i < gFindCamera && i < kCamListCapacity; ++i)
                if (std::strncmp(gCList[i].serial, serial, sizeof gCList[i].serial) == 0) {
                    entry = &gCList[i];
                    break;
                }
            if (!entry) {
                CameraRecord(QStringLiteral("Mind Fail = %1").arg(-1));
                return false;
            }
            CameraRecord(QStringLiteral("Mind Open %1 = %2").arg(position() + 1).arg(QString::fromUtf8(serial)));
        }
        const CamStatus status = entry ? CameraInit(entry, -1, -1, &mvCamera) : kCamNoDevice;
        if (status != kCamSuccess) {
            CameraRecord(QStringLiteral("Mind Fail = %1").arg(status));
            mvCamera = 0;
            return false;
        }
        CameraGetCapability(mvCamera, &mvCapability);
        configureOutput();
        CameraSetMirror(mvCamera, 0, false);
        CameraSetMirror(mvCamera, 1, false);
        CameraSetFrameSpeed(mvCamera, 0);
        imageSdk.assign(FramePixels() * 4, 0);
        return true;
    }

    void close() override
    {
        if (mvCamera >= 1)
            CameraUnInit(mvCamera);
    }

    void start() override { CameraPlay(mvCamera); }

    void stop() override
    {
        if (mvCamera >= 1)
            CameraStop(mvCamera);
    }

    bool pass() override
    {
        if (CameraGetImageBuffer(mvCamera, &mvFrameHead, &mvRawBuffer, kFetchMs) != kCamSuccess)
            return true;
        // The processed frame must fit the scratch buffer and the program's geometry.
        if (mvFrameHead.width != gImageW || mvFrameHead.height != gImageH)
            refuseFrame(mvFrameHead.width, mvFrameHead.height);
        else if (mvFrameHead.width == gImageW && mvFrameHead.height == gImageH
            && CameraImageProcess(mvCamera, mvRawBuffer, imageSdk.data(), &mvFrameHead) == kCamSuccess) {
            FrameView view;
            view.data = imageSdk.data();
            view.width = gImageW;
            view.height = gImageH;
            view.layout = rgbOutput() ? PixelLayout::Rgb24 : PixelLayout::Grey8;
            handOver(view);
        }
        CameraReleaseImageBuffer(mvCamera, mvRawBuffer);
        return true;
    }

    void changeTrig(bool, bool external) override { CameraSetTriggerMode(mvCamera, external ? 2 : 0); }

    void setExposure(int v, bool autoExposure, bool autoShading) override
    {
        CameraSetAeState(mvCamera, autoExposure);
        if (!autoExposure)
            CameraSetExposureTime(mvCamera, v * 1000.0);
        char result[64];
        CameraCommonCall(mvCamera, autoShading ? "set_awdr_enable(true)" : "set_awdr_enable(false)", result,
                         sizeof result);
    }

    void setGain(int v) override
    {
        int32_t min = 0, max = 0;
        CameraGetAeAnalogGainRange(mvCamera, &min, &max);
        CameraSetAnalogGain(mvCamera, static_cast<int32_t>(std::trunc(min + (max - min) / 64.0 * v)));
    }

    void setWB() override { CameraSetOnceWB(mvCamera); }

    void setSharp(int v) override
    {
        const CamRange& r = mvCapability.sharpness;
        CameraSetSharpness(mvCamera, MvStepValue(r.min, r.max, 100, v));
    }

    void setContrast(int v) override
    {
        const CamRange& r = mvCapability.contrast;
        CameraSetContrast(mvCamera, MvStepValue(r.min, r.max, 200, v));
    }

    void setGamma(int v) override
    {
        const CamRange& r = mvCapability.gamma;
        CameraSetGamma(mvCamera, MvStepValue(r.min, r.max, 250, v));
    }

    void setSpeed(int captureSpeed) override
    {
        CameraSetFrameSpeed(mvCamera, MvFrameSpeed(captureSpeed, gisColor != 0));
    }

    void restoreDefaults(WizardPara& bak) override
    {
        unit.CameraStop();
        CameraLoadParameter(mvCamera, kCamFactoryParameters);
        configureOutput();
        CameraSetAeState(mvCamera, gpWPara->autoExposure != 0);
        CameraSetMirror(mvCamera, 0, false);
        CameraSetMirror(mvCamera, 1, gOW < 2048 && !gisColor);
        CameraSetFrameSpeed(mvCamera, 0);
        readBack(bak);
        unit.CameraStart();
        CameraSetSpeed();
    }

    std::optional<std::string> serialNumber() override
    {
        uint8_t text[32] = {};
        CameraReadSN(mvCamera, text, 0);
        return std::string(reinterpret_cast<const char*>(text), strnlen(reinterpret_cast<const char*>(text), sizeof text));
    }

private:
    // Resolution and ISP output format, as at opening.
    void configureOutput()
    {
        if (gOW == 2592 && gisCut && gImageResolution.width > 0) {
            CameraSetImageResolution(mvCamera, &gImageResolution);
        } else {
            CamResolution r;
            r.index = kCamCustomResolution;
            r.hOffset = (gOW - gImageW) / 2;
            r.vOffset = (gOH - gImageH) / 2;
            r.fovWidth = r.width = gImageW;
            r.fovHeight = r.height = gImageH;
            CameraSetImageResolution(mvCamera, &r);
        }
        if (!gSensorColor) {
            CameraSetIspOutFormat(mvCamera, kCamMono8);
            CameraSetMonochrome(mvCamera, false);
            return;
        }
        CameraSetWbMode(mvCamera, false);
        const uint32_t format = gisColor ? kCamRgb8 : kCamMono8;
        if (gOW == 2048) {
            CameraSetIspOutFormat(mvCamera, format);
            CameraSetMonochrome(mvCamera, !gisColor);
        } else {
            CameraSetMediaType(mvCamera, gisColor ? 0 : 1);
            CameraSetIspOutFormat(mvCamera, format);
        }
    }

    void readBack(WizardPara& bak) const
    {
        const int p = position();
        double exposure = 0;
        CameraGetExposureTime(mvCamera, &exposure);
        bak.exposeTime[p] = static_cast<int>(std::trunc(exposure / 1000));
        int32_t gain = 0, min = 0, max = 0;
        CameraGetAnalogGain(mvCamera, &gain);
        CameraGetAeAnalogGainRange(mvCamera, &min, &max);
        bak.adjustPlus[p] = ReadBackSetting(gain, min, (max - min) / 64.0);
        bak.sharp[p] = readBackStep(&CameraGetSharpness, mvCapability.sharpness, 100);
        bak.contrast[p] = readBackStep(&CameraGetContrast, mvCapability.contrast, 200);
        bak.gamma[p] = readBackStep(&CameraGetGamma, mvCapability.gamma, 250);
    }

    int readBackStep(CamStatus (*get)(CamHandle, int32_t*), const CamRange& r, int divisor) const
    {
        int32_t value = 0;
        get(mvCamera, &value);
        return ReadBackSetting(value, r.min, (r.max - r.min) / divisor);
    }

    CamHandle mvCamera = 0;
    uint8_t* mvRawBuffer = nullptr;
    CamFrameHead mvFrameHead;
    CamCapability mvCapability;
    std::vector<uint8_t> imageSdk;
};

}  // namespace

int MvCameraCount()
{
    int32_t n = kCamListCapacity;
    return CameraEnumerateDevice(gCList, &n) == kCamSuccess ? n : 0;
}

bool DetectMv()
{
    int32_t n = kCamListCapacity;
    if (CameraEnumerateDevice(gCList, &n) != kCamSuccess || n < 1)
        return false;
    CamHandle h = 0;
    if (CameraInit(&gCList[0], -1, -1, &h) != kCamSuccess)
        return false;
    CamCapability capability;
    CameraGetCapability(h, &capability);
    gSensorColor = capability.isMono ? 0 : 1;
    gOW = capability.maxWidth;
    gOH = capability.maxHeight;
    FrameGeometry g = DetectedGeometry(kCameraMv, gOW, gOH, gisCut != 0);
    gImageResolution = CamResolution();
    if (g.preset) {
        // A camera whose preset list is too short keeps its native geometry.
        if (capability.presets && capability.presetCount > kPresetCut) {
            gImageResolution = capability.presets[kPresetCut];
            g.width = gImageResolution.width;
            g.height = gImageResolution.height;
        } else {
            g.width = gOW;
            g.height = gOH;
        }
    }
    gImageW = g.width;
    gImageH = g.height;
    gCameraID = kCameraMv;
    gFindCamera = n;
    CameraUnInit(h);
    MvCameraCount();
    return true;
}

std::unique_ptr<CameraBackend> MakeMvBackend(CameraUnit& unit)
{
    return std::make_unique<MvBackend>(unit);
}
