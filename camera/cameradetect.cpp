#include "camera/cameradetect.h"

#include "camera/camerabackend.h"
#include "camera/camerafamilies.h"
#include "camera/cameraglobals.h"
#include "camera/camerahooks.h"
#include "camera/sdk/standin.h"
#include "core/commandrunner.h"

#include <QFile>
#include <QtDebug>
#include <QSaveFile>
#include <QTextStream>

namespace {

constexpr int kRepairSettleMs = 6000;
const char kDevicesFile[] = "devices";

// Sensor width -> reduced geometry of families 4 and 6.
struct Cut {
    int family;
    int sensorWidth;
    int width;
    int height;
};
const Cut kCuts[] = {
    {kCameraGx, 1280, 1120, 840},  {kCameraGx, 2048, 1600, 1200}, {kCameraMv, 1280, 1120, 840},
    {kCameraMv, 1600, 1300, 1000}, {kCameraMv, 2048, 1600, 1200}, {kCameraMv, 3088, 2592, 1944},
};

// No family answered: four positions without frames.
void detectNone()
{
    gCameraID = kCameraNone;
    gFindCamera = kNoCameraCount;
    gImageW = kNoCameraWidth;
    gImageH = kNoCameraHeight;
}

// The kernel's input-device list as the file "devices" in the working directory.
void copyInputDeviceList()
{
    if (standin::Active()) {
        QSaveFile file(QString::fromLatin1(kDevicesFile));
        if (file.open(QIODevice::WriteOnly)) {
            file.write(QByteArray::fromStdString(standin::InputDeviceList()));
            file.commit();
        }
        return;
    }
    CommandRunner::run(QStringLiteral("cp"), {QStringLiteral("-f"), cameraHooks().inputDeviceList, QStringLiteral(".")});
}

}  // namespace

FrameGeometry DetectedGeometry(int family, int ow, int oh, bool cut)
{
    FrameGeometry g{ow, oh, false};
    if (family == kCameraGx && ow == 2592)
        return FrameGeometry{1296, oh / 2, false};
    if (!cut)
        return g;
    if (family == kCameraMv && ow == 2592)
        return FrameGeometry{ow, oh, true};
    for (const Cut& c : kCuts)
        if (c.family == family && c.sensorWidth == ow)
            return FrameGeometry{c.width, c.height, false};
    return g;
}

QString CameraSdkVersion()
{
    char version[kCamVersionSize] = {};
    if (gCameraID != kCameraMv || CameraSdkGetVersionString(version) != kCamSuccess)
        return QString();
    return QString::fromLatin1(version);
}

int CountUsbCameraLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    int count = 0;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.contains(QLatin1String("camera"), Qt::CaseInsensitive)
            || line.contains(QLatin1String("webcam"), Qt::CaseInsensitive))
            ++count;
    }
    return count;
}

int CheckUSBCameraNum()
{
    copyInputDeviceList();
    return CountUsbCameraLines(QString::fromLatin1(kDevicesFile));
}

namespace {

bool detectFamily()
{
    if (DetectGx())
        return true;
    CameraSdkInit(0);
    CameraUSBDeviceInit();
    return DetectIds() || DetectMv() || DetectHik() || DetectUsb();
}

}  // namespace

void CheckCameraID()
{
    gSensorColor = 0;
    if (cameraHooks().repairGigE && cameraHooks().repairGigE() > 0)
        CameraSleep(kRepairSettleMs);
    if (!detectFamily()) {
        detectNone();
        return;
    }
    // A camera that could not tell its frame size (no readable frame yet):
    // the views start empty at the camera-less size, and frames of any other
    // size are refused until the next start.
    if (gImageW <= 0 || gImageH <= 0) {
        qWarning() << "camera family" << gCameraID << "gave no frame size; views start empty at"
                   << kNoCameraWidth << "x" << kNoCameraHeight;
        gImageW = kNoCameraWidth;
        gImageH = kNoCameraHeight;
    }
}

namespace {

// Family 0: the position counts as open; its thread runs and delivers nothing.
class NoCameraBackend : public CameraBackend
{
public:
    using CameraBackend::CameraBackend;
    bool open(const char*) override { return true; }
};

}  // namespace

std::unique_ptr<CameraBackend> MakeCameraBackend(int family, CameraUnit& unit)
{
    switch (family) {
    case kCameraGx:
        return MakeGxBackend(unit);
    case kCameraIds:
        return MakeIdsBackend(unit);
    case kCameraMv:
        return MakeMvBackend(unit);
    case kCameraHik:
        return MakeHikBackend(unit);
    case kCameraUsb:
        return MakeUsbBackend(unit);
    case kCameraNone:
        return std::make_unique<NoCameraBackend>(unit);
    default:
        return nullptr;
    }
}
