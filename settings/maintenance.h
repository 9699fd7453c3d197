// The machine-level actions of the settings screen: counter reset, password
// change, shut-down, data export, program update, factory reset, clock,
// touch-screen calibration, exit, language and record clearing. Every
// machine command goes through the command runner; files of the program are
// copied with Qt calls; everything else goes through the ports.
#pragma once

#include <QDateTime>
#include <QString>

class WizardPara;

class MaintenancePorts
{
public:
    virtual ~MaintenancePorts() = default;
    virtual bool ask(const QString&) { return false; }
    virtual void warn(const QString&) {}
    virtual void record(const QString&) {}
    virtual void confirmSettings() {}           // the hub's confirmation of the edited settings
    virtual void saveSettings() {}              // the record in force into PARAM.db
    virtual void stopWatchdog() {}
    virtual void flush() {}                     // closes the databases
    virtual void pause(int) {}                  // milliseconds
    virtual QString findUsbDisk() { return {}; }   // mount point, or empty
    virtual QString chooseUpdateFile(const QString&) { return {}; }
    virtual QDateTime askDateTime() { return {}; }  // invalid when cancelled
    virtual void writeCounts() {}
    virtual void hidePad() {}
    virtual bool checkRoot() { return false; }
    virtual void clearRecord() {}
    virtual void exitProgram(int) {}
};

class Maintenance
{
public:
    explicit Maintenance(MaintenancePorts& ports)
        : ports(ports)
    {
    }

    void ResetTotal();
    // The two texts typed; on success the editing copy holds the new password.
    bool ChangePwd(const QString& first, const QString& second, WizardPara& edited);
    void SlotShutDown();
    void SlotExportData(int cameras, int steps);
    void SlotUpdateApp();
    void SlotRestoreFactorySet();
    void SlotModifyTime();
    void SlotCalibration();
    void SlotExit();
    void SlotChangeLan(int lan);
    void SlotClearRecord();

    // Where the export copies from: the program folder (the working directory).
    QString programDir = QStringLiteral(".");

    // The pending-update name for a chosen file, or empty when it is none of
    // the three packages.
    static QString UpdateTarget(const QString& fileName);

private:
    QString usbDisk();
    void reboot();

    MaintenancePorts& ports;
};
