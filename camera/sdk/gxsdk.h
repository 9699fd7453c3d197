#pragma once
// Camera family 4 (Daheng): the SDK calls the camera layer makes, as the camera
// layer declares them. The library behind them is chosen by the build switch
// MOULDMON_SIM_SDKS (camera/CMakeLists.txt): the simulated SDK of
// tools/camera-sim, or on a device the vendor library (through an adapter).
// Status 0 is success throughout. Features are numeric identifiers.

#include <cstdint>

using GxStatus = int32_t;
using GxHandle = void*;

constexpr GxStatus kGxSuccess = 0;
constexpr GxStatus kGxError = -1;
constexpr GxStatus kGxNotFound = -2;
constexpr GxStatus kGxTimeout = -3;
constexpr GxStatus kGxInvalidHandle = -4;
constexpr GxStatus kGxNotAllowed = -5;

constexpr int32_t kGxFrameComplete = 0;
constexpr int32_t kGxFrameIncomplete = -1;

// Open by serial number (open mode 0), exclusive access (access mode 4).
struct GxOpenParam {
    const char* content = nullptr;
    int32_t openMode = 0;
    int32_t accessMode = 4;
};

// One fetched frame. The caller sets imageBuffer to a buffer of the frame size
// it configured (image width x height features, 8 bits per pixel).
struct GxFrame {
    int32_t status = kGxFrameIncomplete;
    void* imageBuffer = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t imageSize = 0;
    uint64_t frameId = 0;
    uint64_t timestamp = 0;
};

struct GxFloatRange {
    double min = 0;
    double max = 0;
    double inc = 0;
};

GxStatus GXInitLib();
GxStatus GXUpdateDeviceList(uint32_t* count, uint32_t timeoutMs);
GxStatus GXOpenDeviceByIndex(uint32_t index, GxHandle* device);   // index from 1
GxStatus GXOpenDevice(const GxOpenParam* param, GxHandle* device);
GxStatus GXCloseDevice(GxHandle device);
GxStatus GXGetInt(GxHandle device, int32_t feature, int64_t* value);
GxStatus GXSetInt(GxHandle device, int32_t feature, int64_t value);
GxStatus GXSetEnum(GxHandle device, int32_t feature, int64_t value);
GxStatus GXSetBool(GxHandle device, int32_t feature, bool value);
GxStatus GXGetFloat(GxHandle device, int32_t feature, double* value);
GxStatus GXGetFloatRange(GxHandle device, int32_t feature, GxFloatRange* range);
GxStatus GXSetFloat(GxHandle device, int32_t feature, double value);
GxStatus GXSendCommand(GxHandle device, int32_t feature);
GxStatus GXGetImage(GxHandle device, GxFrame* frame, uint32_t timeoutMs);
// Software contrast of 8-bit pixels: factor -50..100, 0 leaves them as they are.
GxStatus DxContrast(const uint8_t* in, uint8_t* out, uint32_t length, int32_t factor);
