#pragma once
// Camera family 5 (IDS): the SDK calls the camera layer makes, as the camera
// layer declares them. The library behind them is chosen by the build switch
// MOULDMON_SIM_SDKS (camera/CMakeLists.txt): the simulated SDK of
// tools/camera-sim, or on a device the vendor library (through an adapter).
// Status 0 is success throughout.

#include <cstdint>

using IsHandle = uint32_t;

constexpr int kIsSuccess = 0;
constexpr int kIsNoSuccess = -1;
constexpr int kIsInvalidHandle = 1;
constexpr int kIsCantOpen = 3;

// is_InitCamera takes a device id (0 = the first free camera) with this flag.
constexpr IsHandle kIsUseDeviceId = 0x8000;
constexpr int kIsColourMono8 = 6;
constexpr uint32_t kIsAoiSetSize = 5;
constexpr uint32_t kIsExposureSet = 12;
constexpr uint32_t kIsPixelClockSet = 6;
constexpr uint32_t kIsGammaSet = 1;
constexpr int kIsAutoGain = 0x8800;
constexpr int kIsAutoShutter = 0x8802;
constexpr int kIsForceStop = 0x4000;

struct IsSensorInfo {
    char sensorName[32] = {};
    int32_t colourMode = 0;
    uint32_t maxWidth = 0;
    uint32_t maxHeight = 0;
};

struct IsCameraInfo {
    char serial[32] = {};
    char id[32] = {};
    uint32_t deviceId = 0;
};

struct IsSize {
    int32_t width = 0;
    int32_t height = 0;
};

int is_GetNumberOfCameras(int32_t* count);
int is_InitCamera(IsHandle* camera, void* window);
int is_ExitCamera(IsHandle camera);
int is_GetSensorInfo(IsHandle camera, IsSensorInfo* info);
int is_GetCameraInfo(IsHandle camera, IsCameraInfo* info);
int is_GetColorDepth(IsHandle camera, int32_t* bitsPerPixel, int32_t* colourMode);
int is_SetColorMode(IsHandle camera, int32_t mode);
int is_AllocImageMem(IsHandle camera, int32_t width, int32_t height, int32_t bitsPerPixel, char** memory,
                     int32_t* memoryId);
int is_SetImageMem(IsHandle camera, char* memory, int32_t memoryId);
int is_FreeImageMem(IsHandle camera, char* memory, int32_t memoryId);
int is_AOI(IsHandle camera, uint32_t command, void* param, uint32_t size);
int is_SetAutoParameter(IsHandle camera, int32_t param, double* value, double* value2);
int is_SetHardwareGamma(IsHandle camera, int32_t mode);
int is_PixelClock(IsHandle camera, uint32_t command, void* param, uint32_t size);
// Starts continuous capture: the newest image keeps landing in the set memory.
int is_CaptureVideo(IsHandle camera, int32_t wait);
int is_StopLiveVideo(IsHandle camera, int32_t wait);
int is_Exposure(IsHandle camera, uint32_t command, void* param, uint32_t size);
int is_SetHardwareGain(IsHandle camera, int32_t master, int32_t red, int32_t green, int32_t blue);
int is_Gamma(IsHandle camera, uint32_t command, void* param, uint32_t size);
