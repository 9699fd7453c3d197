// Family 5: detection, opening by serial or position, the capture into image
// memory (a changed image counts as a new frame) and the image settings.

#include "camera/camerabackend.h"
#include "camera/camerafamilies.h"
#include "camera/cameraglobals.h"
#include "camera/camerahooks.h"
#include "camera/framebuffer.h"
#include "camera/sdk/idssdk.h"

#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 1024;
constexpr int kSettleMs = 3000;
constexpr size_t kSerialMin = 9;
constexpr size_t kSerialMax = 19;
constexpr uint32_t kStartPixelClock = 5;

std::string serialOf(IsHandle camera)
{
    IsCameraInfo info;
    return is_GetCameraInfo(camera, &info) == kIsSuccess ? std::string(info.serial) : std::string();
}

class IdsBackend : public CameraBackend
{
public:
    using CameraBackend::CameraBackend;

    bool open(const char* serial) override
    {
        const size_t length = std::strlen(serial);
        if (length >= kSerialMin && length <= kSerialMax) {
            if (!openBySerial(serial))
                return false;
        } else {
            idsCamera = static_cast<IsHandle>(position() + 1) | kIsUseDeviceId;
            if (is_InitCamera(&idsCamera, nullptr) != kIsSuccess)
                return false;
        }
        is_GetColorDepth(idsCamera, &idsBitsPerPixel, &idsColorMode);
        idsColorMode = kIsColourMono8;
        idsBitsPerPixel = 8;
        is_SetColorMode(idsCamera, idsColorMode);
        is_AllocImageMem(idsCamera, gImageW, gImageH, idsBitsPerPixel, &idsImageMemory, &idsMemoryId);
        is_SetImageMem(idsCamera, idsImageMemory, idsMemoryId);
        IsSize size;
        size.width = gImageW;
        size.height = gImageH;
        is_AOI(idsCamera, kIsAoiSetSize, &size, sizeof size);
        double off = 0;
        is_SetAutoParameter(idsCamera, kIsAutoGain, &off, nullptr);
        is_SetAutoParameter(idsCamera, kIsAutoShutter, &off, nullptr);
        is_SetHardwareGamma(idsCamera, 1);
        uint32_t clock = kStartPixelClock;
        is_PixelClock(idsCamera, kIsPixelClockSet, &clock, sizeof clock);
        lastImage.assign(FramePixels(), 0);
        return true;
    }

    void close() override
    {
        is_FreeImageMem(idsCamera, idsImageMemory, idsMemoryId);
        idsImageMemory = nullptr;
        is_ExitCamera(idsCamera);
    }

    void start() override { is_CaptureVideo(idsCamera, 1); }
    void stop() override { is_StopLiveVideo(idsCamera, kIsForceStop); }

    // The SDK keeps writing the newest image into the memory: a copy that
    // differs from the last one handed over is a new frame.
    bool pass() override
    {
        if (!idsImageMemory || std::memcmp(idsImageMemory, lastImage.data(), lastImage.size()) == 0)
            return true;
        std::memcpy(lastImage.data(), idsImageMemory, lastImage.size());
        FrameView view;
        view.data = lastImage.data();
        view.width = gImageW;
        view.height = gImageH;
        handOver(view);
        return true;
    }

    void setExposure(int v, bool, bool) override
    {
        double ms = v;
        is_Exposure(idsCamera, kIsExposureSet, &ms, sizeof ms);
    }

    void setGain(int v) override { is_SetHardwareGain(idsCamera, v, v, v, v); }

    void setGamma(int v) override
    {
        int32_t gamma = v;
        is_Gamma(idsCamera, kIsGammaSet, &gamma, sizeof gamma);
    }

    void setSpeed(int captureSpeed) override
    {
        uint32_t clock = static_cast<uint32_t>(captureSpeed);
        is_PixelClock(idsCamera, kIsPixelClockSet, &clock, sizeof clock);
    }

    std::optional<std::string> serialNumber() override { return serialOf(idsCamera); }

private:
    bool openBySerial(const char* serial)
    {
        const int count = IdsCameraCount();
        for (int i = 1; i <= count; ++i) {
            IsHandle h = static_cast<IsHandle>(i) | kIsUseDeviceId;
            if (is_InitCamera(&h, nullptr) != kIsSuccess)
                continue;
            if (serialOf(h) == serial) {
                idsCamera = h;
                return true;
            }
            is_ExitCamera(h);
        }
        return false;
    }

    IsHandle idsCamera = 0;
    char* idsImageMemory = nullptr;
    int32_t idsMemoryId = 0;
    int32_t idsColorMode = 0;
    int32_t idsBitsPerPixel = 0;
    std::vector<uint8_t> lastImage;   // the image last handed over
};

}  // namespace

int IdsCameraCount()
{
    int32_t n = 0;
    return is_GetNumberOfCameras(&n) == kIsSuccess ? n : 0;
}

bool DetectIds()
{
    int32_t n = 0;
    if (is_GetNumberOfCameras(&n) != kIsSuccess || n <= 0)
        return false;
    IsHandle camera = kIsUseDeviceId;
    if (is_InitCamera(&camera, nullptr) != kIsSuccess)
        return false;
    IsSensorInfo sensor;
    if (is_GetSensorInfo(camera, &sensor) != kIsSuccess) {
        is_ExitCamera(camera);
        return false;
    }
    gImageW = kWidth;
    gImageH = kHeight;
    gCameraID = kCameraIds;
    CameraSleep(kSettleMs);
    gFindCamera = IdsCameraCount();
    is_ExitCamera(camera);
    return true;
}

std::unique_ptr<CameraBackend> MakeIdsBackend(CameraUnit& unit)
{
    return std::make_unique<IdsBackend>(unit);
}
