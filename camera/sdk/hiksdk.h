#pragma once
// Camera family 7 (Hikvision): the SDK calls the camera layer makes, as the camera
// layer declares them. The library behind them is chosen by the build switch
// MOULDMON_SIM_SDKS (camera/CMakeLists.txt): the simulated SDK of
// tools/camera-sim, or on a device the vendor library (through an adapter).
// Status 0 is success throughout. Features are named.

#include <cstdint>

using MvccHandle = void*;

constexpr int kMvccOk = 0;
constexpr int kMvccError = -1;
constexpr int kMvccNoDevice = -2;
constexpr int kMvccBusy = -3;
constexpr int kMvccParameter = -4;

constexpr uint32_t kMvccGigE = 1;
constexpr uint32_t kMvccUsb = 4;
constexpr uint32_t kMvccExclusive = 1;
constexpr uint32_t kMvccMono8 = 0x01080001;
constexpr uint32_t kMvccBayerRG8 = 0x01080009;
constexpr uint32_t kMvccRgb8 = 0x02180014;
constexpr uint32_t kMvccWhiteBalanceOnce = 2;
constexpr int kMvccMaxDevices = 256;

struct MvccGigEInfo {
    uint32_t currentIp = 0;
    uint32_t currentMask = 0;
    uint32_t defaultGateway = 0;
    uint32_t hostIp = 0;          // the host interface the device answers on
    char manufacturer[32] = {};
    char model[32] = {};
    char serial[32] = {};
};

struct MvccUsbInfo {
    char model[64] = {};
    char serial[64] = {};
};

struct MvccDeviceInfo {
    uint32_t transport = 0;       // kMvccGigE or kMvccUsb
    uint32_t macHigh = 0;
    uint32_t macLow = 0;
    MvccGigEInfo gige;
    MvccUsbInfo usb;
    int32_t instance = -1;        // the device the entry names
};

// Entries stay valid for the life of the program (updated on every enumeration).
struct MvccDeviceList {
    uint32_t count = 0;
    MvccDeviceInfo* devices[kMvccMaxDevices] = {};
};

struct MvccFrameInfo {
    uint16_t width = 0;
    uint16_t height = 0;
    uint32_t pixelType = 0;
    uint32_t frameNumber = 0;
    uint32_t frameLength = 0;
};

struct MvccConvertParam {
    uint16_t width = 0;
    uint16_t height = 0;
    uint32_t srcPixelType = 0;
    const uint8_t* srcData = nullptr;
    uint32_t srcLength = 0;
    uint32_t dstPixelType = 0;
    uint8_t* dstBuffer = nullptr;
    uint32_t dstLength = 0;       // bytes written
    uint32_t dstBufferSize = 0;
};

struct MvccIntValue {
    int64_t current = 0;
    int64_t max = 0;
    int64_t min = 0;
    int64_t inc = 1;
};

struct MvccFloatValue {
    float current = 0;
    float max = 0;
    float min = 0;
};

struct MvccStringValue {
    char current[256] = {};
    int64_t maxLength = 256;
};

using MvccImageCallback = void (*)(unsigned char* data, MvccFrameInfo* info, void* user);

int MV_CC_EnumDevices(uint32_t transports, MvccDeviceList* list);
int MV_CC_CreateHandle(MvccHandle* handle, const MvccDeviceInfo* device);
int MV_CC_DestroyHandle(MvccHandle handle);
int MV_CC_OpenDevice(MvccHandle handle, uint32_t access, uint16_t switchoverKey);
int MV_CC_CloseDevice(MvccHandle handle);
bool MV_CC_IsDeviceAccessible(const MvccDeviceInfo* device, uint32_t access);
int MV_GIGE_ForceIpEx(MvccHandle handle, uint32_t ip, uint32_t mask, uint32_t gateway);
int MV_CC_GetIntValue(MvccHandle handle, const char* name, MvccIntValue* value);
int MV_CC_GetStringValue(MvccHandle handle, const char* name, MvccStringValue* value);
int MV_CC_SetIntValue(MvccHandle handle, const char* name, int64_t value);
int MV_CC_SetEnumValue(MvccHandle handle, const char* name, uint32_t value);
int MV_CC_SetBoolValue(MvccHandle handle, const char* name, bool value);
int MV_CC_SetFloatValue(MvccHandle handle, const char* name, float value);
int MV_CC_SetCommandValue(MvccHandle handle, const char* name);
int MV_CC_GetGain(MvccHandle handle, MvccFloatValue* value);
int MV_CC_GetGamma(MvccHandle handle, MvccFloatValue* value);
int MV_CC_GetSharpness(MvccHandle handle, MvccIntValue* value);
int MV_CC_GetExposureTime(MvccHandle handle, MvccFloatValue* value);
int MV_CC_SetBalanceWhiteAuto(MvccHandle handle, uint32_t mode);
// Frames arrive on the SDK's own thread while grabbing.
int MV_CC_RegisterImageCallBack(MvccHandle handle, MvccImageCallback callback, void* user);
int MV_CC_ConvertPixelType(MvccHandle handle, MvccConvertParam* param);
int MV_CC_StartGrabbing(MvccHandle handle);
int MV_CC_StopGrabbing(MvccHandle handle);
