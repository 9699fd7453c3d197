// Family 4: detection, opening by serial or index, the fetch with software
// contrast, and the image settings by numeric feature.

#include "camera/camerabackend.h"
#include "camera/cameradetect.h"
#include "camera/camerafamilies.h"
#include "camera/cameraglobals.h"
#include "camera/framebuffer.h"
#include "camera/imagemapping.h"
#include "camera/sdk/gxsdk.h"

#include <QDebug>
#include <QMutex>
#include <QMutexLocker>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr int32_t kImageWidth = 0x100003EE;
constexpr int32_t kImageHeight = 0x100003EF;
constexpr int32_t kOffsetX = 0x100003EC;
constexpr int32_t kOffsetY = 0x100003ED;
constexpr int32_t kBinDecimation[] = {0x100003F0, 0x100003F1, 0x100003F2, 0x100003F3};
constexpr int32_t kPixelSetup = 0x10000BBB;
constexpr int32_t kPixelEnum = 0x3000178A;
constexpr int32_t kBoolSetup = 0x40001395;
constexpr int32_t kAcquisitionMode = 0x30000BB8;
constexpr int32_t kTriggerMode = 0x30000BBD;
constexpr int32_t kStart = 0x70000BB9;
constexpr int32_t kStop = 0x70000BBA;
constexpr int32_t kExposureAuto = 0x30000BC2;
constexpr int32_t kShading = 0x300036B0;
constexpr int32_t kExposure = 0x20000BC1;
constexpr int32_t kGain = 0x20001393;
constexpr int32_t kSharpness = 0x2000138B;
constexpr int32_t kGamma = 0x20001397;
constexpr uint32_t kFetchMs = 100;

class GxBackend : public CameraBackend
{
public:
    using CameraBackend::CameraBackend;

    bool open(const char* serial) override
    {
        GxStatus status;
        if (std::strlen(serial) > kSerialByIndex) {
            GxOpenParam param;
            param.content = serial;
            status = GXOpenDevice(&param, &gxDevice);
        } else {
            status = GXOpenDeviceByIndex(static_cast<uint32_t>(position() + 1), &gxDevice);
        }
        if (status != kGxSuccess)
            return false;
        GXSetInt(gxDevice, kPixelSetup, 0);
        if (gImageW * 2 == gOW) {   // half-size read-out of 2592-wide sensors
            for (int32_t feature : kBinDecimation)
                GXSetInt(gxDevice, feature, 2);
            GXSetInt(gxDevice, kOffsetX, 0);
            GXSetInt(gxDevice, kOffsetY, 0);
        } else {
            GXSetInt(gxDevice, kOffsetX, (gOW - gImageW) / 2);
            GXSetInt(gxDevice, kOffsetY, (gOH - gImageH) / 2);
        }
        GXSetInt(gxDevice, kImageWidth, gImageW);
        GXSetInt(gxDevice, kImageHeight, gImageH);
        GXSetEnum(gxDevice, kPixelEnum, 1);
        GXSetBool(gxDevice, kBoolSetup, true);
        frameBuffer.assign(FramePixels(), 0);
        imageSdk.assign(frameBuffer.size(), 0);
        gxFrame.imageBuffer = frameBuffer.data();
        return true;
    }

    void close() override { GXCloseDevice(gxDevice); }
    void start() override { GXSendCommand(gxDevice, kStart); }
    void stop() override { GXSendCommand(gxDevice, kStop); }

    bool pass() override
    {
        if (GXGetImage(gxDevice, &gxFrame, kFetchMs) != kGxSuccess || gxFrame.status != kGxFrameComplete)
            return true;
        if (gxFrame.width != gImageW || gxFrame.height != gImageH) {
            refuseFrame(gxFrame.width, gxFrame.height);
            return true;
        }
        int contrast;
        {
            QMutexLocker lock(pMutex[position()]);
            contrast = gContrast[position()];
        }
        DxContrast(frameBuffer.data(), imageSdk.data(), static_cast<uint32_t>(imageSdk.size()), contrast);
        FrameView view;
        view.data = imageSdk.data();
        view.width = gImageW;
        view.height = gImageH;
        handOver(view);
        return true;
    }

    // These cameras always run free, whatever the external-trigger setting says.
    void changeTrig(bool restart, bool /*external*/) override
    {
        if (restart)
            GXSendCommand(gxDevice, kStop);
        GXSetEnum(gxDevice, kAcquisitionMode, 2);
        GXSetEnum(gxDevice, kTriggerMode, 0);
        if (restart)
            GXSendCommand(gxDevice, kStart);
    }

    void setExposure(int v, bool autoExposure, bool autoShading) override
    {
        if (autoExposure) {
            GXSetEnum(gxDevice, kExposureAuto, 1);
        } else {
            GXSetEnum(gxDevice, kExposureAuto, 0);
            GxFloatRange r;
            const double value = GXGetFloatRange(gxDevice, kExposure, &r) == kGxSuccess
                                     ? std::trunc(r.min + (r.max - r.min) / 100 * v)
                                     : v;
            GXSetFloat(gxDevice, kExposure, value);
        }
        GXSetEnum(gxDevice, kShading, autoShading ? 1 : 0);
    }

    void setGain(int v) override
    {
        GxFloatRange r;
        if (GXGetFloatRange(gxDevice, kGain, &r) == kGxSuccess)
            GXSetFloat(gxDevice, kGain, r.min + (r.max - r.min) / 64 * v);
    }

    void setSharp(int v) override
    {
        GxFloatRange r;
        if (GXGetFloatRange(gxDevice, kSharpness, &r) == kGxSuccess)
            GXSetFloat(gxDevice, kSharpness, std::trunc(r.min + (r.max - r.min) / 100 * v));
    }

    void setContrast(int v) override
    {
        QMutexLocker lock(pMutex[position()]);
        gContrast[position()] = GxContrastFactor(v);
    }

    void setGamma(int v) override
    {
        GxFloatRange r;
        if (GXGetFloatRange(gxDevice, kGamma, &r) == kGxSuccess)
            GXSetFloat(gxDevice, kGamma, r.min + v * (r.max - r.min) / 250);
    }

private:
    GxHandle gxDevice = nullptr;
    GxFrame gxFrame;
    std::vector<uint8_t> frameBuffer;   // the frame record's image buffer
    std::vector<uint8_t> imageSdk;      // the frame after software contrast
};

}  // namespace

bool DetectGx()
{
    GXInitLib();
    uint32_t n = 0;
    const GxStatus status = GXUpdateDeviceList(&n, 20);
    if (status != kGxSuccess) {
        qInfo() << "GX_STATUS_SUCCESS:" << status;
        return false;
    }
    if (n == 0) {
        qInfo() << "find 0 MerCamera ";
        return false;
    }
    GxHandle device = nullptr;
    GxStatus open = GXOpenDeviceByIndex(1, &device);
    if (open != kGxSuccess) {
        qInfo() << "Open MerCamera Error : " << open;
        return false;
    }
    int64_t w = 0, h = 0;
    GxStatus got = GXGetInt(device, kImageWidth, &w);
    if (got != kGxSuccess) {
        qInfo() << "Get MerCamera width Error : " << got;
        GXCloseDevice(device);
        return false;
    }
    got = GXGetInt(device, kImageHeight, &h);
    if (got != kGxSuccess) {
        qInfo() << "Get MerCamera height Error : " << got;
        GXCloseDevice(device);
        return false;
    }
    gOW = static_cast<int>(w);
    gOH = static_cast<int>(h);
    const FrameGeometry g = DetectedGeometry(kCameraGx, gOW, gOH, gisCut != 0);
    gImageW = g.width;
    gImageH = g.height;
    qInfo() << "find MerCamera count : " << n;
    gCameraID = kCameraGx;
    gFindCamera = static_cast<int>(n);
    GXCloseDevice(device);
    return true;
}

std::unique_ptr<CameraBackend> MakeGxBackend(CameraUnit& unit)
{
    return std::make_unique<GxBackend>(unit);
}
