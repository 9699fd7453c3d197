#pragma once
// The one way the program runs a machine-level command (reboot, init 0,
// date, hwclock, mount, umount, blkid, ifup, ifdown, ip, ping, copies of
// system files, outside programs). Commands are argument lists: no text of
// the operator ever reaches a shell.
//
// MOULDMON_SHELL=record:FILE appends each command to FILE as one line
// (program and arguments separated by blanks) instead of running it, and
// reports success with empty output. Tests install a fake or a recorder.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

struct CommandResult {
    int exitCode = 0;     // 0 on success; -1 when the program could not start
    QByteArray output;    // standard output
};

class CommandRunner
{
public:
    using Fake = std::function<CommandResult(const QString& program, const QStringList& args)>;

    // Runs the command and waits for it (at most timeoutMs, -1 for no limit).
    static CommandResult run(const QString& program, const QStringList& args = {},
                             int timeoutMs = 30000);
    // Starts the command in the background and returns at once.
    static bool startDetached(const QString& program, const QStringList& args = {});

    // The text a command is recorded as.
    static QString commandLine(const QString& program, const QStringList& args);

    // Test seams. setFake replaces every execution (nullptr restores the
    // environment's mode); forbidReal makes any real execution fatal.
    static void setFake(Fake fake);
    static void setRecordFile(const QString& path);
    static void forbidReal(bool forbid);
    static bool isRecording();
    // Whether commands go to the record file (MOULDMON_SHELL=record:FILE)
    // rather than to a fake or to the machine.
    static bool recordsToFile();
};
