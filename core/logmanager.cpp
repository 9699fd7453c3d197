#include "core/logmanager.h"

#include "core/globals.h"
#include "core/wizardpara.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRecursiveMutex>
#include <QRegularExpression>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cxxabi.h>
#include <execinfo.h>

LogManager* LogManager::__instance = nullptr;
QString LogManager::__CurTaskPath;

namespace {

const int kMaxLogFiles = 99;
int gEnabledOverride = -1;

// Recursive, so that a crash inside a write on the same thread still reaches the file.
QRecursiveMutex& logMutex()
{
    static QRecursiveMutex m;
    return m;
}

QFile*& logFile()
{
    static QFile* f = nullptr;
    return f;
}

bool logEnabled()
{
    if (gEnabledOverride >= 0)
        return gEnabledOverride != 0;
    return gpWPara && gpWPara->useLog;
}

QString timeStamp()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd-HH:mm:ss.zzz"));
}

// Opens log.txt for appending; a new file begins with the version line.
bool openLogFile(QFile* f)
{
    if (!f->exists()) {
        if (f->isOpen())
            f->close();
        if (!f->open(QIODevice::WriteOnly | QIODevice::Append))
            return false;
        f->write(QStringLiteral("create newlog version %1 %2\n")
                     .arg(QLatin1String(kVersion), timeStamp()).toUtf8());
        return true;
    }
    if (!f->isOpen())
        return f->open(QIODevice::WriteOnly | QIODevice::Append);
    return true;
}

// Renames log.txt so that it survives the next start; never overwrites.
void keepFatalLog(QFile* f)
{
    f->close();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss-zzz"));
    QString target = LogManager::__CurTaskPath + QStringLiteral("logFatal%1.txt").arg(stamp);
    for (int n = 1; QFileInfo::exists(target); ++n)
        target = LogManager::__CurTaskPath + QStringLiteral("logFatal%1-%2.txt").arg(stamp).arg(n);
    QFile::rename(f->fileName(), target);
}

}  // namespace

LogManager::LogManager(QObject* parent)
    : QObject(parent)
{
    __instance = this;
    __CurTaskPath = AppDir() + QStringLiteral("/cnt_net/cnt_log_app/");
    QDir().mkpath(__CurTaskPath);
    qInstallMessageHandler(outputMessage);
    std::signal(SIGSEGV, sigcrash);
    std::signal(SIGABRT, sigcrash);
    pruneDirectory(__CurTaskPath);
}

void LogManager::setEnabledOverride(int enabled)
{
    gEnabledOverride = enabled;
}

void LogManager::pruneDirectory(const QString& dir)
{
    const QFileInfoList files =
        QDir(dir).entryInfoList({QStringLiteral("*")}, QDir::Files | QDir::Hidden, QDir::Time | QDir::Reversed);
    if (files.size() > kMaxLogFiles)
        QFile::remove(files.first().absoluteFilePath());
}

QString LogManager::formatLine(QtMsgType type, const QMessageLogContext& context, const QString& msg)
{
    char level = 'I';
    switch (type) {
    case QtWarningMsg: level = 'W'; break;
    case QtCriticalMsg: level = 'E'; break;
    case QtFatalMsg: level = 'F'; break;
    default: level = 'I'; break;
    }
    const QString file = context.file ? QString::fromUtf8(context.file).section(QLatin1Char('/'), -1) : QString();
    return QStringLiteral("[%1 %2 %3:%4] %5")
        .arg(QLatin1Char(level)).arg(timeStamp(), file).arg(context.line).arg(msg);
}

void LogManager::outputMessage(QtMsgType type, const QMessageLogContext& context, const QString& msg)
{
    if (type == QtDebugMsg) {
        const QByteArray text = msg.toUtf8() + '\n';
        fwrite(text.constData(), 1, size_t(text.size()), stderr);
        return;
    }
    if (!logEnabled())
        return;
    const QByteArray line = formatLine(type, context, msg).toUtf8() + '\n';

    QMutexLocker lock(&logMutex());
    QFile*& f = logFile();
    const QString path = __CurTaskPath + QStringLiteral("log.txt");
    if (f && f->fileName() != path) {
        delete f;
        f = nullptr;
    }
    if (!f)
        f = new QFile(path);
    if (!openLogFile(f))
        return;
    f->write(line);
    f->flush();
    if (type == QtFatalMsg)
        keepFatalLog(f);
}

void LogManager::sigcrash(int sig)
{
    std::signal(sig, SIG_DFL);
    qCritical("\n");
    qCritical("%s", QByteArray(105, '*').constData());
    qCritical("crashed!!!");

    void* frames[1024];
    const int count = backtrace(frames, 1024);
    char** symbols = backtrace_symbols(frames, count);
    static const QRegularExpression pattern(QStringLiteral("\\S+\\(((\\S+)\\+\\S+)\\)\\s\\S+"));
    for (int i = 0; symbols && i < count; ++i) {
        const QRegularExpressionMatch m = pattern.match(QString::fromUtf8(symbols[i]));
        if (!m.hasMatch())
            continue;
        int status = -1;
        char* name = abi::__cxa_demangle(m.captured(2).toUtf8().constData(), nullptr, nullptr, &status);
        if (status == 0 && name)
            qCritical("%d %s", i, name);
        free(name);
    }
    free(symbols);
    qFatal("%s", QByteArray(105, '*').constData());
}
