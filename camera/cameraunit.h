#pragma once
// The camera of one view position: opening by serial number or position,
// start, stop and close, trigger mode and image settings. The view owns one
// and gives it the incoming frame buffer that the producer fills.

#include "camera/imagemapping.h"

#include <QtGlobal>

#include <memory>
#include <optional>
#include <string>

class CameraBackend;
class CameraThread;
struct CameraFrameBuffer;

class CameraUnit
{
public:
    CameraUnit(int index, CameraFrameBuffer* imageIn);
    ~CameraUnit();
    Q_DISABLE_COPY(CameraUnit)

    const int cameraIndex;
    CameraFrameBuffer* const frame;
    UsbFilterText filters;   // the USB filter text, from the settings in force

    bool cameraOpen() const { return open; }

    void CameraOpen();
    bool CameraStart();
    void CameraStop();
    void CameraClose();
    void CameraChangeTrig(bool restart);

    void SetExposeTime();
    void SetAdjustPlus();
    void SetSharp();
    void SetContrast();
    void SetGamma();
    void SetWB();
    void RestoreDefaultSettings();
    // Brightness-driven exposure step (nothing calls it).
    void AutoChangeExposeTime(int brightness);

    std::optional<std::string> serialNumber();
    CameraBackend* backend() const { return device.get(); }

private:
    std::unique_ptr<CameraBackend> device;
    CameraThread* cameraThread = nullptr;
    bool open = false;
};

// The unit of view i (registered by its constructor), or null.
CameraUnit* CameraUnitAt(int view);
