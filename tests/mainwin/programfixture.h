#pragma once
// The real program started headless in a temporary working directory laid
// out as run.sh lays it out, with simulated cameras and (optionally) the
// IO-board simulator on a pseudo-terminal. Every wait is bounded.

#include "tests/common/testsupport.h"

#include <QProcess>
#include <QString>
#include <QStringList>

// Sets number `position` (from 0) of a sysparam row of PARAM.db.
void SetParamNumber(const QString& paramDb, const QString& row, int position, int value);
// A folder of `count` simulated cameras drawn by the camera simulator's mksimcams.
bool MakeSimulatedCameras(const QString& folder, int count);
QString ReadText(const QString& path);
// Lines of table RECORD (third column) of a record database.
QStringList RecordLines(const QString& recordDb);

class Program
{
public:
    // Starts mouldmonitor in dir with the offscreen platform, recording shell,
    // the simulated cameras of simCameras and the IO board on ioDevice; with
    // a wrapper, as its last argument; with errorFile, standard error there;
    // with an X display, on that display in place of the offscreen platform.
    Program(const QString& dir, const QString& simCameras, const QString& ioDevice,
            const QStringList& wrapper = {}, const QString& errorFile = {}, const QString& display = {});
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // SIGTERM; true when it ended normally with code 0.
    bool terminate();
    QStringList shellLines() const;

    QProcess process;

private:
    QString shellLog;
};
