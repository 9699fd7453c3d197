#include "core/commandrunner.h"

#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QProcess>
#include <QtGlobal>

namespace {

struct RunnerState {
    QMutex mutex;
    CommandRunner::Fake fake;
    QString recordFile;
    bool recordFromEnvRead = false;
    bool forbidReal = false;
};

RunnerState& state()
{
    static RunnerState s;
    return s;
}

// Record file named by MOULDMON_SHELL=record:FILE, read once.
QString recordFileLocked(RunnerState& s)
{
    if (!s.recordFromEnvRead) {
        s.recordFromEnvRead = true;
        const QString mode = qEnvironmentVariable("MOULDMON_SHELL");
        if (s.recordFile.isEmpty() && mode.startsWith(QLatin1String("record:")))
            s.recordFile = mode.mid(7);
    }
    return s.recordFile;
}

void appendRecord(const QString& file, const QString& line)
{
    QFile f(file);
    if (f.open(QIODevice::WriteOnly | QIODevice::Append))
        f.write(line.toUtf8() + '\n');
}

// Decides how one command is carried out. Returns true when it was handled
// without running anything real (fake or record); result then holds the answer.
bool handledWithoutRunning(const QString& program, const QStringList& args, CommandResult* result)
{
    RunnerState& s = state();
    CommandRunner::Fake fake;
    QString record;
    bool forbid = false;
    {
        QMutexLocker lock(&s.mutex);
        fake = s.fake;
        record = recordFileLocked(s);
        forbid = s.forbidReal;
        if (!fake && !record.isEmpty())
            appendRecord(record, CommandRunner::commandLine(program, args));
    }
    if (fake) {
        *result = fake(program, args);
        return true;
    }
    if (!record.isEmpty()) {
        *result = CommandResult{};
        return true;
    }
    if (forbid)
        qFatal("refusing to run a real machine command in a test: %s",
               qPrintable(CommandRunner::commandLine(program, args)));
    return false;
}

}  // namespace

QString CommandRunner::commandLine(const QString& program, const QStringList& args)
{
    QStringList parts{program};
    parts += args;
    return parts.join(QLatin1Char(' '));
}

CommandResult CommandRunner::run(const QString& program, const QStringList& args, int timeoutMs)
{
    CommandResult result;
    if (handledWithoutRunning(program, args, &result))
        return result;

    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(program, args, QIODevice::ReadOnly);
    if (!process.waitForStarted(5000)) {
        result.exitCode = -1;
        return result;
    }
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        result.exitCode = -1;
    } else {
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    result.output = process.readAllStandardOutput();
    return result;
}

bool CommandRunner::startDetached(const QString& program, const QStringList& args)
{
    CommandResult result;
    if (handledWithoutRunning(program, args, &result))
        return result.exitCode == 0;
    return QProcess::startDetached(program, args);
}

void CommandRunner::setFake(Fake fake)
{
    QMutexLocker lock(&state().mutex);
    state().fake = std::move(fake);
}

void CommandRunner::setRecordFile(const QString& path)
{
    QMutexLocker lock(&state().mutex);
    state().recordFile = path;
    state().recordFromEnvRead = true;
}

void CommandRunner::forbidReal(bool forbid)
{
    QMutexLocker lock(&state().mutex);
    state().forbidReal = forbid;
}

bool CommandRunner::isRecording()
{
    RunnerState& s = state();
    QMutexLocker lock(&s.mutex);
    return s.fake || !recordFileLocked(s).isEmpty();
}

bool CommandRunner::recordsToFile()
{
    RunnerState& s = state();
    QMutexLocker lock(&s.mutex);
    return !s.fake && !recordFileLocked(s).isEmpty();
}
