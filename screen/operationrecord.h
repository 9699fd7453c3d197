#pragma once
// The operation record (RECORD.db, one file per day, archived daily under
// ./RECORD), the per-camera counters in count.txt, and the file-list helpers
// that prune folders by age. GUI thread only.

#include <QFileInfo>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <functional>

class RunClock;
class RunNet;

// Text entry "%1 cannot be written: check the disk".
constexpr int kTextCannotWrite = 596;

class OperationRecord
{
public:
    // connection: the open record database ("dbRecord" on RECORD.db).
    OperationRecord(const QString& connection, RunClock& clock);
    Q_DISABLE_COPY(OperationRecord)

    // The access level at the time of a line (0, 1 or 2).
    void setUserLevel(std::function<int()> level) { userLevel = std::move(level); }
    void setNet(RunNet* link) { net = link; }
    // Shows a warning to the operator (a day file that cannot be written).
    void setWarning(std::function<void(const QString&)> show) { warn = std::move(show); }

    // Appends one row (time of day, access level text, s); a database that
    // cannot be opened drops the line.
    void InsertRecord(const QString& s);
    void ClearRecord();

    // The day of RECORD.db from time.txt; a missing or unreadable day starts
    // a new one from today.
    void ReadRecordDay();
    // Daily roll-over: once the day changed, RECORD.db goes to
    // ./RECORD/<day>.db and a fresh one is made from RECORDNULL.db. A move
    // that fails leaves the record where it is and is tried again.
    void SlotCheckDate();
    QString recordDay() const { return day; }

    // count.txt <-> gAllNum / gFailNum.
    static void CountRead();
    // Writes the whole file anew through a temporary file; false on failure.
    static bool CountWrite();

private:
    bool archiveRecord(const QString& archiveDay);
    void makeFreshRecord();
    void writeDay(const QString& today);

    QString connection;
    RunClock& clock;
    RunNet* net = nullptr;
    std::function<int()> userLevel;
    QString day;
    qint64 lostLines = 0;   // record lines that could not be written
    std::function<void(const QString&)> warn;
    bool dayWriteFailed = false;   // said; said again after a good write
};

// Appends every file below path, at any depth.
void FoundAllFile(QList<QFileInfo>& list, const QString& path);
// Oldest first by modification time; equal times keep their order.
void SortFileByTime(QList<QFileInfo>& list);

// The day format of time.txt and the archive names.
extern const char* const kRecordDayFormat;   // "yyyy-MM-dd"
// The folder of the archived days.
extern const char* const kRecordArchiveDir;  // "./RECORD"
