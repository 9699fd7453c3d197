#pragma once
// Per-family parts of detection, device counting and the backends. The SDK
// calls are those declared in camera/sdk.

#include "camera/sdk/hiksdk.h"
#include "camera/sdk/mvsdk.h"

#include "core/globals.h"

#include <cstddef>
#include <memory>

class CameraBackend;
class CameraUnit;

// Stored serials this long or shorter ("0" for none) open by position.
constexpr size_t kSerialByIndex = 8;

// Pixels of every frame of the program.
inline size_t FramePixels()
{
    return static_cast<size_t>(gImageW) * static_cast<size_t>(gImageH);
}

// Detection steps: true when the family answered (globals set).
bool DetectGx();
bool DetectIds();
bool DetectMv();
bool DetectHik();
bool DetectUsb();

// Devices listed now, for the loss and restart checks.
int IdsCameraCount();
int MvCameraCount();    // enumerates into gCList
int HikCameraCount();   // enumerates into gDevList

std::unique_ptr<CameraBackend> MakeGxBackend(CameraUnit& unit);
std::unique_ptr<CameraBackend> MakeIdsBackend(CameraUnit& unit);
std::unique_ptr<CameraBackend> MakeMvBackend(CameraUnit& unit);
std::unique_ptr<CameraBackend> MakeHikBackend(CameraUnit& unit);
std::unique_ptr<CameraBackend> MakeUsbBackend(CameraUnit& unit);

extern CamDeviceInfo gCList[kCamListCapacity];   // family 6 device list
extern CamResolution gImageResolution;           // family 6 preset kept for 2592-wide sensors
extern MvccDeviceList gDevList;                  // family 7 device list
