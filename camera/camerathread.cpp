#include "camera/camerathread.h"

#include "camera/camerabackend.h"
#include "camera/cameraunit.h"

namespace {
constexpr unsigned long kSettleMs = 300;
constexpr unsigned long kPassMs = 10;
}  // namespace

CameraThread::CameraThread(CameraUnit* unit) : owner(unit)
{
}

void CameraThread::run()
{
    msleep(kSettleMs);
    while (keepRunning) {
        if (owner->backend()->pass())
            msleep(kPassMs);
    }
}
