#pragma once
// Helpers shared by the tests.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <ostream>
#include <memory>

// Makes a fresh temporary directory the working directory for the life of
// the object and restores the previous one afterwards.
class TempWorkDir
{
public:
    TempWorkDir();
    ~TempWorkDir();
    TempWorkDir(const TempWorkDir&) = delete;
    TempWorkDir& operator=(const TempWorkDir&) = delete;

    QString path() const { return dir.path(); }
    QString file(const QString& name) const { return dir.filePath(name); }

private:
    QTemporaryDir dir;
    QString previous;
};

// Collects the machine-level commands a test causes (program and arguments
// as one line) instead of running them; restores the runner afterwards.
class CommandRecorder
{
public:
    CommandRecorder();
    ~CommandRecorder();
    CommandRecorder(const CommandRecorder&) = delete;
    CommandRecorder& operator=(const CommandRecorder&) = delete;

    QStringList lines() const;
    // Canned answer for a program (output and exit code).
    void answer(const QString& program, const QByteArray& output, int exitCode = 0);

private:
    struct State;
    std::shared_ptr<State> state;
};

// The bytes of a file; empty when it cannot be read.
QByteArray ReadBytes(const QString& path);
// Writes a file whole, making its folder first; false when it could not.
bool WriteBytes(const QString& path, const QByteArray& bytes);

// Polls cond while processing events, up to timeoutMs; returns cond().
bool WaitFor(const std::function<bool()>& cond, int timeoutMs = 5000);

// Paths of the build and source trees (set by ctest).
QString BuildDir();
QString SourceDir();

// A working directory laid out as run.sh does: the installation files, and
// PARAM.db, SN.db and RECORD.db from their defaults.
void LayOutWorkDir(const QString& dir);

// Texts in failure messages.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << '[';
    for (int i = 0; i < list.size(); ++i)
        *os << (i ? ", \"" : "\"") << list[i].toStdString() << '"';
    *os << ']';
}
