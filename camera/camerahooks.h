#pragma once
// What the camera layer needs from the screens above it, set by them at
// start-up: the operation record, the warning box, the interlock output, the
// views' state, the settings screen's visibility and the SN.db connection.
// Each hook may stay unset; the layer then does without it.

#include <QSqlDatabase>
#include <QString>
#include <functional>

class WizardPara;

struct CameraHooks {
    std::function<void(const QString&)> record;      // one line of the operation record
    std::function<void(const QString&)> warn;        // modal warning box
    std::function<int()> runState;                   // 3: the machine is stopped
    std::function<void()> clampInhibit;              // output 0 on, outputs published
    std::function<void(int view)> cameraNg;          // the view's camera counts as NG
    std::function<void(int view)> frameWatchReset;   // the view's no-frame seconds back to 0
    std::function<void()> hideStartupBox;            // before the cameras are reopened
    std::function<bool()> settingsShown;             // the settings screen is visible
    std::function<bool()> cameraPanelShown;          // its camera panel is visible (exposure)
    std::function<QSqlDatabase()> snDatabase;        // SN.db
    std::function<int()> repairGigE;                 // before detection: devices readdressed
    std::function<void()> ensureDeviceReach;         // family 7, before enumerating
    std::function<void(int ms)> sleep;               // waits of detection and recovery

    QString inputDeviceList = QStringLiteral("/proc/bus/input/devices");
    QString netDevList = QStringLiteral("/proc/net/dev");
};

CameraHooks& cameraHooks();

// Helpers over the hooks.
void CameraRecord(const QString& text);
void CameraSleep(int ms);
// The settings record the image setters follow: the edited copy while the
// settings screen shows (for the exposure also while its camera panel shows),
// else the record in force.
const WizardPara& ImageSettingsRecord(bool exposure);
