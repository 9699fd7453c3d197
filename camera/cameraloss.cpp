#include "camera/cameraloss.h"

#include "camera/camerabackend.h"
#include "camera/camerafamilies.h"
#include "camera/cameraglobals.h"
#include "camera/camerahooks.h"
#include "camera/cameradetect.h"
#include "camera/cameraunit.h"
#include "core/commandrunner.h"
#include "core/texttable.h"
#include "core/wizardpara.h"

#include <QFile>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QStringList>

#include <algorithm>
#include <cstring>

namespace {

constexpr int kTextCameraLost = 332;     // "The %1th Camera Lost, %2"
constexpr int kTextCameraWarning = 39;   // "Warning: The camera is unavailable, ..."
constexpr int kRunStopped = 3;
constexpr int kInterfaceResetMs = 1000;

template <typename Fn>
void forEachView(Fn fn)
{
    for (int i = 0; i < numCamera && i < kMaxCameras; ++i)
        if (CameraUnit* unit = CameraUnitAt(i))
            fn(i, *unit);
}

// Family 6 cameras come back only after the host's network interfaces are
// reset (every interface but the loopback-like ones).
void resetNetworkInterfaces()
{
    QFile file(cameraHooks().netDevList);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QStringList names = NetInterfaceNames(QString::fromLocal8Bit(file.readAll()));
    for (const QString& name : names) {
        if (name.contains(QLatin1String("lo")))
            continue;
        CommandRunner::run(QStringLiteral("ip"), {QStringLiteral("addr"), QStringLiteral("flush"), QStringLiteral("dev"), name});
        CameraSleep(kInterfaceResetMs);
        CommandRunner::run(QStringLiteral("ifdown"), {name});
        CommandRunner::run(QStringLiteral("ifup"), {name});
        CameraSleep(kInterfaceResetMs);
    }
}

// Whether the devices are listed again in full number (families with a count).
bool devicesBack()
{
    switch (gCameraID) {
    case kCameraIds:
        return IdsCameraCount() == numCamera;
    case kCameraMv:
        resetNetworkInterfaces();
        return MvCameraCount() == numCamera;
    case kCameraHik:
        if (cameraHooks().ensureDeviceReach)
            cameraHooks().ensureDeviceReach();
        return HikCameraCount() == numCamera;
    case kCameraUsb:
        return CheckUSBCameraNum() == numCamera;
    default:
        return false;
    }
}

bool hasDeviceCount()
{
    return gCameraID != kCameraGx && gCameraID != kCameraNone;
}

void reopenAll()
{
    if (cameraHooks().hideStartupBox)
        cameraHooks().hideStartupBox();
    forEachView([](int, CameraUnit& unit) {
        unit.CameraOpen();
        unit.CameraStart();
    });
    CameraRecord(QStringLiteral("Camera Restart"));
}

void setSerial(int position, const std::string& serial)
{
    char* field = gSerialNB[std::clamp(position, 0, kMaxCameras - 1)];
    const size_t n = std::min(serial.size(), static_cast<size_t>(kTextLen - 1));
    std::memcpy(field, serial.data(), n);
    field[n] = 0;
}

}  // namespace

QStringList NetInterfaceNames(const QString& listing)
{
    static const QRegularExpression name(QStringLiteral("\\s+(\\S+):"));
    QStringList names;
    auto it = name.globalMatch(listing);
    while (it.hasNext())
        names << it.next().captured(1);
    return names;
}

void CameraCheck(int camera)
{
    if (gisLost)
        return;
    if (gCameraID == kCameraNone)
        return;
    // These cameras may pause their stream: only a shorter device list is a loss.
    if (gCameraID == kCameraHik && HikCameraCount() == numCamera)
        return;
    gisLost = 1;
    ++gLost;
    CameraRecord(LanStr(kTextCameraLost).arg(gLost).arg(camera + 1));
    const CameraHooks& h = cameraHooks();
    if (!(h.runState && h.runState() == kRunStopped) && h.clampInhibit)
        h.clampInhibit();
    forEachView([&h](int i, CameraUnit& unit) {
        if (h.cameraNg)
            h.cameraNg(i);
        unit.CameraStop();
        unit.CameraClose();
    });
    if (h.warn)
        h.warn(LanStr(kTextCameraWarning));
}

void CameraRestart()
{
    if (hasDeviceCount()) {
        if (!devicesBack())
            return;
        gisLost = 0;
        reopenAll();
    } else if (!gisLost) {
        reopenAll();
    }
    int closed = -1;
    forEachView([&closed](int i, CameraUnit& unit) {
        if (cameraHooks().frameWatchReset)
            cameraHooks().frameWatchReset(i);
        if (!unit.cameraOpen())
            closed = i;
    });
    if (closed < 0)
        CameraSetSpeed();
    else
        CameraCheck(closed);
}

void CameraSetSpeed()
{
    forEachView([](int, CameraUnit& unit) {
        unit.CameraStop();
        if (unit.cameraOpen())
            unit.backend()->setSpeed(gpWPara->captureSpeed);
        unit.CameraStart();
    });
}

void SaveSN(int clear)
{
    for (int i = 0; i < kMaxCameras; ++i)
        setSerial(i, "0");
    if (!clear)
        forEachView([](int i, CameraUnit& unit) {
            if (const std::optional<std::string> serial = unit.serialNumber())
                setSerial(gCamNO[i], *serial);
        });
    QSqlDatabase db = cameraHooks().snDatabase ? cameraHooks().snDatabase() : QSqlDatabase();
    QSqlQuery query(db);
    const bool writable = db.isOpen() && query.prepare(QStringLiteral("update sysparam set value=? where name=?"));
    for (int i = 0; i < kMaxCameras; ++i) {
        const QString serial = QString::fromUtf8(gSerialNB[i]);
        if (writable) {
            query.addBindValue(serial);
            query.addBindValue(QStringLiteral("serialNB%1").arg(i));
            query.exec();
        }
        if (i < numCamera)
            CameraRecord(QStringLiteral("Save SN %1: %2").arg(i + 1).arg(serial));
    }
}
