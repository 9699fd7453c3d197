#include "tests/common/testsupport.h"

#include "core/commandrunner.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QMutex>
#include <QThread>

TempWorkDir::TempWorkDir()
    : previous(QDir::currentPath())
{
    QDir::setCurrent(dir.path());
}

TempWorkDir::~TempWorkDir()
{
    QDir::setCurrent(previous);
}

struct CommandRecorder::State {
    QMutex mutex;
    QStringList lines;
    QMap<QString, CommandResult> answers;
};

CommandRecorder::CommandRecorder()
    : state(std::make_shared<State>())
{
    std::shared_ptr<State> s = state;
    CommandRunner::setFake([s](const QString& program, const QStringList& args) {
        QMutexLocker lock(&s->mutex);
        s->lines << CommandRunner::commandLine(program, args);
        return s->answers.value(program, CommandResult{});
    });
}

CommandRecorder::~CommandRecorder()
{
    CommandRunner::setFake(nullptr);
}

QStringList CommandRecorder::lines() const
{
    QMutexLocker lock(&state->mutex);
    return state->lines;
}

void CommandRecorder::answer(const QString& program, const QByteArray& output, int exitCode)
{
    QMutexLocker lock(&state->mutex);
    state->answers.insert(program, CommandResult{exitCode, output});
}

QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

bool WaitFor(const std::function<bool()>& cond, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!cond()) {
        if (t.elapsed() > timeoutMs)
            return cond();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

QString BuildDir()
{
    return qEnvironmentVariable("MOULDMON_BUILD_DIR");
}

QString SourceDir()
{
    return qEnvironmentVariable("MOULDMON_SOURCE_DIR");
}

namespace {

void copyTree(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    for (const QFileInfo& fi : QDir(from).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (fi.isDir())
            copyTree(fi.filePath(), to + "/" + fi.fileName());
        else
            QFile::copy(fi.filePath(), to + "/" + fi.fileName());
    }
}

}  // namespace

void LayOutWorkDir(const QString& dir)
{
    copyTree(BuildDir() + "/installfiles", dir);
    QFile::copy(dir + "/paraGroup/default/PARAM.db", dir + "/PARAM.db");
    QFile::copy(dir + "/paraGroup/default/SN.db", dir + "/SN.db");
    QFile::copy(dir + "/RECORDNULL.db", dir + "/RECORD.db");
}
