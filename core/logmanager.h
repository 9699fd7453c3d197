#pragma once
// Application log: warnings, errors, fatal errors and information messages go
// as dated lines into "log.txt" under "<app dir>/cnt_net/cnt_log_app/" while the
// log setting is on; debug messages go to standard error only. A crash
// (SIGSEGV, SIGABRT) writes a demangled back-trace and ends in a fatal
// message, which renames the file to "logFatal<time>.txt".

#include <QObject>
#include <QString>

class LogManager : public QObject
{
    Q_OBJECT
public:
    explicit LogManager(QObject* parent = nullptr);
    Q_DISABLE_COPY(LogManager)

    static LogManager* __instance;
    static QString __CurTaskPath;

    static void outputMessage(QtMsgType type, const QMessageLogContext& context, const QString& msg);
    static void sigcrash(int sig);

    // The log line for a message, without the trailing line feed.
    static QString formatLine(QtMsgType type, const QMessageLogContext& context, const QString& msg);
    // Deletes the oldest regular file of the directory when more than 99 exist.
    static void pruneDirectory(const QString& dir);
    // Whether messages reach the file; by default the log setting in force.
    static void setEnabledOverride(int enabled);  // -1 follows the setting
};
