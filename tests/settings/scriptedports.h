#pragma once
// The maintenance ports of the settings tests: every effect as one line,
// the questions answered by a script.

#include "settings/maintenance.h"

#include <QDateTime>
#include <QList>
#include <QStringList>

// Every effect as one line: commands as "$ program args", port calls by name.
class ScriptedPorts : public MaintenancePorts
{
public:
    QStringList log;
    QList<bool> answers;      // answers to the questions, in order; no when used up
    QStringList disks;        // results of the disk search, in order; none when used up
    QString chosenFile;
    QDateTime dateTime;
    bool root = true;

    bool ask(const QString& t) override
    {
        const bool yes = !answers.isEmpty() && answers.takeFirst();
        log << QString("ask %1 %2").arg(t, yes ? "yes" : "no");
        return yes;
    }
    void warn(const QString& t) override { log << "warn " + t; }
    void record(const QString& t) override { log << "record " + t; }
    void confirmSettings() override { log << "confirm"; }
    void saveSettings() override { log << "save"; }
    void stopWatchdog() override { log << "stopWatchdog"; }
    void flush() override { log << "flush"; }
    void pause(int ms) override { log << QString("pause %1").arg(ms); }
    QString findUsbDisk() override { return disks.isEmpty() ? QString() : disks.takeFirst(); }
    QString chooseUpdateFile(const QString&) override { return chosenFile; }
    QDateTime askDateTime() override { return dateTime; }
    void writeCounts() override { log << "writeCounts"; }
    void hidePad() override {}
    bool checkRoot() override { log << "checkRoot"; return root; }
    void clearRecord() override { log << "clearRecord"; }
    void exitProgram(int code) override { log << QString("exit %1").arg(code); }
};
