#pragma once
// The production statistics store: for one statistics day, hourly OK and NG
// counts per camera and detection step, the same per step over all cameras
// (the totals) and the planned output, kept in memory and written through
// at once to "ResStatistics.db" in the working directory. At the day
// roll-over the file becomes the day's archive in the statistics directory
// and the next day starts from the empty copy "ResStatisticsNULL.db".
// Every series the store holds has exactly 24 slots.

#include "statistics/statisticsday.h"

#include <QDate>
#include <QList>
#include <QString>

#include <array>
#include <functional>

class QSqlDatabase;

using Series = QList<int>;

// The screen that shows the store's selection.
class StatisticsView
{
public:
    virtual ~StatisticsView() = default;
    virtual bool isToday() = 0;
    virtual void updateData() = 0;
};

struct StatisticsPorts {
    // Shows a warning to the operator (showWarnBox in the program).
    std::function<void(const QString&)> warn = [](const QString&) {};
    // The statistics day the file holds at start-up.
    std::function<QDate()> statisticsDay = [] { return StatisticsDayOf(QDateTime::currentDateTime()); };
    // The folder of the day archives ("./ResStatistics").
    QString archiveDir = QStringLiteral("ResStatistics");
    // Waits before the reboot that follows building a missing file.
    std::function<void(int ms)> pause;
};

class ResStatisticsParam
{
public:
    static constexpr int kAll = 8;   // selects all eight cameras or steps
    static constexpr int kCount = 8;

    explicit ResStatisticsParam(StatisticsPorts ports = {});
    ~ResStatisticsParam();
    ResStatisticsParam(const ResStatisticsParam&) = delete;
    ResStatisticsParam& operator=(const ResStatisticsParam&) = delete;

    void load(int det, int cam);
    void loadTotal(int det);
    void loadPlan();
    // The writes report whether every selected row was written.
    bool save(int det, int cam);
    bool saveTotal(int det);
    void insert(int det, int cam);
    void insertTotal(int det);
    bool insertPlan();
    bool savePlan();
    void createDatabase();
    void createTable();

    void add(int slot, bool ok, int det, int cam);
    void addTotal(int slot, bool ok, int det);
    void reset(int flags, int det, int cam);
    void resetTotal(int flags, int det);

    void setPlan(int v) { plan = v; }
    void setPlan() { plan = curPlan; }
    int getPlan() const { return plan; }
    bool setCurPlan(int v);

    void setFindResAll(int det);
    void setFindRes(const Series& okList, const Series& ngList);
    void setFindRes(int det, int cam);
    void clcCount();
    Series getRes(int shift, bool ok) const;
    int getCount(int shift, bool ok) const;

    QString getCurDate() const { return curDate; }
    // Closes the day: archives the file under the day it holds and starts
    // newDate from the empty copy. When the archive cannot be made the file
    // and its counts stay as they are and the result is false.
    bool nextDay(const QString& newDate);

    void setView(StatisticsView* view) { screen = view; }

    // Read-only access for the screen and the tests.
    const Series& okSeries(int det, int cam) const { return resOk[cam][det]; }
    const Series& ngSeries(int det, int cam) const { return resNg[cam][det]; }
    const Series& totalOkSeries(int det) const { return totalOk[det]; }
    const Series& totalNgSeries(int det) const { return totalNg[det]; }
    int storedPlan() const { return curPlan; }

    // Series text: counts separated by one blank, slot 0 first.
    static QString SeriesText(const Series& series);
    // Blank-separated integers in their order; a word that is not one counts 0.
    static Series ParseSeries(const QString& text);
    // Exactly 24 slots: padded with zeros or cut.
    static Series DaySeries(const Series& series);

    static const char* const kFile;       // "ResStatistics.db"
    static const char* const kEmptyFile;  // "ResStatisticsNULL.db"
    static const char* const kConnection; // "dbResStatistics"

private:
    using Grid = std::array<std::array<Series, kCount>, kCount>;

    bool open();
    bool readRow(const QString& name, Series* ok, Series* ng);
    bool writeRow(const char* statement, const QString& name, const Series& ok, const Series& ng);
    void loadRow(const QString& name, Series* ok, Series* ng, const std::function<void()>& insertRow);
    // Runs f for the selected cells (cameras outer) or steps; true when every call was.
    static bool forEachCell(int det, int cam, const std::function<bool(int c, int d)>& f);
    static bool forEachStep(int det, const std::function<bool(int d)>& f);
    bool buildFile();
    bool archiveFile(const QString& closedDate);
    void startEmptyFile();
    static bool selects(int index, int wanted) { return wanted == kAll || index == wanted; }
    static bool valid(int index) { return index >= 0 && index < kCount; }
    static bool validSlot(int slot) { return slot >= 0 && slot < kSlotsPerDay; }

    std::array<Series, kCount> totalOk;
    Grid resOk;
    std::array<Series, kCount> totalNg;
    Grid resNg;
    int curPlan = 0;
    Series findOk;
    Series findNg;
    std::array<int, 6> shiftCount = {};
    int plan = 0;
    QString curDate;

    StatisticsPorts ports;
    StatisticsView* screen = nullptr;
};

extern ResStatisticsParam* gpResStatisticsParam;
