#include "camera/cameraunit.h"

#include "camera/camerabackend.h"
#include "camera/cameraglobals.h"
#include "camera/camerahooks.h"
#include "camera/camerathread.h"
#include "camera/framebuffer.h"
#include "core/wizardpara.h"

namespace {

CameraUnit* gUnits[kMaxCameras] = {};

bool validIndex(int i)
{
    return i >= 0 && i < kMaxCameras;
}

}  // namespace

CameraUnit* CameraUnitAt(int view)
{
    return validIndex(view) ? gUnits[view] : nullptr;
}

int CameraBackend::position() const
{
    return unit.cameraIndex;
}

bool CameraBackend::handOver(const FrameView& f)
{
    return unit.frame && HandOverFrame(unit.cameraIndex, *unit.frame, f);
}

void CameraBackend::refuseFrame(int width, int height)
{
    FrameView view;
    view.width = width;
    view.height = height;
    handOver(view);
}

CameraUnit::CameraUnit(int index, CameraFrameBuffer* imageIn) : cameraIndex(index), frame(imageIn)
{
    if (gpWPara && validIndex(index))
        filters.setAll(gpWPara->contrast[index], gpWPara->gamma[index], gpWPara->sharp[index]);
    if (validIndex(index))
        gUnits[index] = this;
}

CameraUnit::~CameraUnit()
{
    CameraStop();
    CameraClose();
    if (validIndex(cameraIndex) && gUnits[cameraIndex] == this)
        gUnits[cameraIndex] = nullptr;
}

void CameraUnit::CameraOpen()
{
    if (open) {   // never two devices or producers for one position
        CameraStop();
        CameraClose();
    }
    open = false;
    if (!validIndex(cameraIndex) || cameraIndex >= gFindCamera)
        return;
    device = MakeCameraBackend(gCameraID, *this);
    if (!device || !device->open(gSerialNB[cameraIndex])) {
        device.reset();
        return;
    }
    open = true;
    cameraThread = new CameraThread(this);
    CameraChangeTrig(true);
    SetAdjustPlus();
    SetExposeTime();
    SetContrast();
    SetSharp();
    SetGamma();
}

bool CameraUnit::CameraStart()
{
    if (!open)
        return false;
    device->start();
    if (cameraThread->isRunning())   // a stop just before: let that pass end first
        cameraThread->wait();
    cameraThread->keepRunning = true;
    cameraThread->start();
    return true;
}

void CameraUnit::CameraStop()
{
    if (!open)
        return;
    device->stop();
    cameraThread->keepRunning = false;
}

void CameraUnit::CameraClose()
{
    if (!open)
        return;
    open = false;
    cameraThread->keepRunning = false;
    cameraThread->wait();
    delete cameraThread;
    cameraThread = nullptr;
    device->close();
    device.reset();
}

void CameraUnit::CameraChangeTrig(bool restart)
{
    if (open)
        device->changeTrig(restart, gpWPara->externalTrigger != 0);
}

void CameraUnit::SetExposeTime()
{
    if (!open)
        return;
    const WizardPara& w = ImageSettingsRecord(true);
    device->setExposure(w.exposeTime[cameraIndex], w.autoExposure != 0, w.autoShading != 0);
    SetWB();
}

void CameraUnit::SetAdjustPlus()
{
    if (!open)
        return;
    device->setGain(ImageSettingsRecord(false).adjustPlus[cameraIndex]);
    SetWB();
}

void CameraUnit::SetSharp()
{
    if (open)
        device->setSharp(ImageSettingsRecord(false).sharp[cameraIndex]);
}

void CameraUnit::SetContrast()
{
    if (open)
        device->setContrast(ImageSettingsRecord(false).contrast[cameraIndex]);
}

void CameraUnit::SetGamma()
{
    if (open)
        device->setGamma(ImageSettingsRecord(false).gamma[cameraIndex]);
}

void CameraUnit::SetWB()
{
    if (open && gisColor)
        device->setWB();
}

void CameraUnit::RestoreDefaultSettings()
{
    if (open && gpWParaBak)
        device->restoreDefaults(*gpWParaBak);
}

void CameraUnit::AutoChangeExposeTime(int brightness)
{
    if (!open)
        return;
    if (brightness > 130)
        --gpWPara->exposeTime[cameraIndex];
    else if (brightness <= 125)
        ++gpWPara->exposeTime[cameraIndex];
    SetExposeTime();
}

std::optional<std::string> CameraUnit::serialNumber()
{
    return open ? device->serialNumber() : std::nullopt;
}
