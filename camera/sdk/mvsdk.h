#pragma once
// Camera family 6 (MindVision): the SDK calls the camera layer makes, as the camera
// layer declares them. The library behind them is chosen by the build switch
// MOULDMON_SIM_SDKS (camera/CMakeLists.txt): the simulated SDK of
// tools/camera-sim, or on a device the vendor library (through an adapter).
// Status 0 is success throughout. A camera handle is valid when >= 1.

#include <cstdint>

using CamStatus = int32_t;
using CamHandle = int32_t;

constexpr CamStatus kCamSuccess = 0;
constexpr CamStatus kCamFailed = -1;
constexpr CamStatus kCamNoDevice = -3;
constexpr CamStatus kCamBusy = -5;
constexpr CamStatus kCamTimeout = -12;
constexpr CamStatus kCamParameter = -6;

constexpr uint32_t kCamRgb8 = 0x02180014;
constexpr uint32_t kCamMono8 = 0x01080001;
constexpr int32_t kCamCustomResolution = 0xFF;
constexpr int32_t kCamFactoryParameters = 255;
constexpr int32_t kCamListCapacity = 12;
constexpr int kCamVersionSize = 64;

struct CamDeviceInfo {
    char productName[32] = {};
    char friendlyName[32] = {};
    char serial[32] = {};
    int32_t instance = -1;   // the device the entry names
};

struct CamResolution {
    int32_t index = 0;
    char description[32] = {};
    int32_t mode = 0;
    int32_t hOffset = 0;
    int32_t vOffset = 0;
    int32_t fovWidth = 0;
    int32_t fovHeight = 0;
    int32_t width = 0;
    int32_t height = 0;
};

struct CamRange {
    int32_t min = 0;
    int32_t max = 0;
};

struct CamCapability {
    int32_t isMono = 0;
    int32_t maxWidth = 0;
    int32_t maxHeight = 0;
    int32_t presetCount = 0;
    const CamResolution* presets = nullptr;   // valid while the camera is open
    CamRange gamma;
    CamRange contrast;
    CamRange sharpness;
};

struct CamFrameHead {
    int32_t width = 0;
    int32_t height = 0;
    uint32_t mediaType = 0;
    uint32_t bytes = 0;
    uint64_t frameNumber = 0;
};

CamStatus CameraSdkInit(int32_t language);
CamStatus CameraUSBDeviceInit();
CamStatus CameraSdkGetVersionString(char* text);   // kCamVersionSize bytes
// count: the list's capacity on entry, the number of devices listed on return.
CamStatus CameraEnumerateDevice(CamDeviceInfo* list, int32_t* count);
CamStatus CameraInit(const CamDeviceInfo* device, int32_t parameterMode, int32_t team, CamHandle* camera);
CamStatus CameraUnInit(CamHandle camera);
CamStatus CameraGetCapability(CamHandle camera, CamCapability* capability);
CamStatus CameraSetImageResolution(CamHandle camera, const CamResolution* resolution);
CamStatus CameraSetWbMode(CamHandle camera, bool automatic);
CamStatus CameraSetOnceWB(CamHandle camera);
CamStatus CameraSetMediaType(CamHandle camera, int32_t index);
CamStatus CameraSetIspOutFormat(CamHandle camera, uint32_t format);
CamStatus CameraSetMonochrome(CamHandle camera, bool enable);
CamStatus CameraSetMirror(CamHandle camera, int32_t direction, bool enable);   // 0 horizontal, 1 vertical
CamStatus CameraSetFrameSpeed(CamHandle camera, int32_t speed);
CamStatus CameraSetTriggerMode(CamHandle camera, int32_t mode);   // 0 continuous, 2 hardware trigger
CamStatus CameraPlay(CamHandle camera);
CamStatus CameraStop(CamHandle camera);
CamStatus CameraGetImageBuffer(CamHandle camera, CamFrameHead* head, uint8_t** raw, uint32_t timeoutMs);
// Turns the raw frame into the output format set: head->width x head->height
// pixels of 1 (mono) or 3 (R, G, B) bytes.
CamStatus CameraImageProcess(CamHandle camera, const uint8_t* raw, uint8_t* out, const CamFrameHead* head);
CamStatus CameraReleaseImageBuffer(CamHandle camera, uint8_t* raw);
CamStatus CameraSetAeState(CamHandle camera, bool automatic);
CamStatus CameraSetAeTarget(CamHandle camera, int32_t target);
CamStatus CameraSetAeExposureRange(CamHandle camera, double minUs, double maxUs);
CamStatus CameraSetAntiFlick(CamHandle camera, bool enable);
CamStatus CameraSetExposureTime(CamHandle camera, double microseconds);
CamStatus CameraGetExposureTime(CamHandle camera, double* microseconds);
CamStatus CameraCommonCall(CamHandle camera, const char* command, char* result, uint32_t resultSize);
CamStatus CameraGetAeAnalogGainRange(CamHandle camera, int32_t* min, int32_t* max);
CamStatus CameraSetAnalogGain(CamHandle camera, int32_t gain);
CamStatus CameraGetAnalogGain(CamHandle camera, int32_t* gain);
CamStatus CameraSetSharpness(CamHandle camera, int32_t sharpness);
CamStatus CameraGetSharpness(CamHandle camera, int32_t* sharpness);
CamStatus CameraSetContrast(CamHandle camera, int32_t contrast);
CamStatus CameraGetContrast(CamHandle camera, int32_t* contrast);
CamStatus CameraSetGamma(CamHandle camera, int32_t gamma);
CamStatus CameraGetGamma(CamHandle camera, int32_t* gamma);
CamStatus CameraLoadParameter(CamHandle camera, int32_t team);
CamStatus CameraReadSN(CamHandle camera, uint8_t* text, int32_t level);   // 32-byte buffer
