#pragma once
// The production record the link reports to the network client: a tree
// camera -> detection step -> region with counters and times, kept in
// ./cnt_net/data/Statistics (the body of the last statistics report) and
// restored from it at start. Rates are in units of 1/10000, truncated, and
// computed in 64 bits.

#include "inspection/paramroi.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QVector>

struct CNT_Path_Statistics_Alarm {
    int alarm_area_num = 0;
    QByteArray alarm_algorithm_type = "----";
    int alarm_result = 0;
};

struct CNT_Path_Statistics_Detect {
    int time = 0;
    int ng_sum = 0;
    int produce = 0;
    int monitor_times = 0;
    int ok_num = 0;
    int ok_rate = 0;
    int not_ok_num = 0;
    int not_ok_rate = 0;
    QMap<int, CNT_Path_Statistics_Alarm> alarm;
};

struct CNT_Path_Statistics_Camera {
    QByteArray camera_id = "1";
    int disalarm_timeout_time = 0;
    int last_monitor_period = 0;
    int now_monitor_period = 0;
    int average_monitor_period = 0;
    QMap<int, CNT_Path_Statistics_Detect> ng_monitors;
};

struct CNT_Path_Statistics {
    static const char* const kFile;   // ./cnt_net/data/Statistics

    bool isRestored = true;
    QByteArray product_name = "no set";
    QByteArray product_serial = "1";
    int products_num = 10000;
    qint64 start_utc = 0;
    qint64 real_produce = 0;
    qint64 utc_watch_total = 0;
    qint64 total_stop_alarm_timelen = 0;
    int watch_count_total = 0;
    int ng_count_total = 0;
    int ng_notification_rate = 0;
    qint64 watch_circle = 0;
    QMap<int, CNT_Path_Statistics_Camera> cameras;

    // Back to the reset values; real_produce and watch_circle stay.
    void Reset(qint64 nowMs);
    // Takes the values of a stored report. False when a top-level key is
    // missing (the file is then deleted by the caller); the values taken
    // before it stay. Text that does not parse changes nothing and is true.
    bool Restore(const QByteArray& text);
    // Writes the statistics file whole; false when it cannot be written.
    static bool SaveToFile(const char* data, int len, const QString& path = QLatin1String(kFile));
};

// Everything a statistics report takes from outside the record.
struct StatisticsReportInputs {
    QString host;
    int state = 0;            // 1 stopped, 0 detecting, 2 otherwise
    qint64 nowMs = 0;
    QString ngImage = QStringLiteral("null");
    int camerasInUse = 0;
    QVector<int> allNum;      // per camera in use
    QVector<int> failNum;
    int stoppedMinutes = 0;   // total manually stopped time
    int cavities = 0;
    qint64 cycleTenths = 0;   // length of the last cycle
    QByteArray productName;
    int productBatch = 0;
    int plannedQuantity = 0;
};

// One cycle's results as the per-cycle report takes them.
struct CycleReportInputs {
    QString host;
    qint64 utc = 0;
    int runState = 0;         // RunState: 1 detecting, 2 relearning, 3 stopped
    int trigSource = 0;
    QByteArray productName;
    int productBatch = 0;
    int plannedQuantity = 0;
    int cavities = 0;
    QByteArray operatorName;
    bool isNg = false;
    int camerasInUse = 0;
    QVector<int> allNum;
    QVector<int> failNum;
};

// The record with the latest alarm durations. Not locked: the link
// serialises every call.
class NetStatistics
{
public:
    static constexpr int kKeptDurations = 100;
    static constexpr int kMaxKey = 7;   // camera and step keys 0..7

    CNT_Path_Statistics statistics;
    QVector<int> alarmDurations;   // ms, oldest first

    // Resets the record and restores it from the file at path.
    void InitStatistics(qint64 nowMs, const QString& path = QLatin1String(CNT_Path_Statistics::kFile));
    void ChkandAddStaticticsItem(int camera, int detect, int roi);
    void CNT_AddNgTimes(int ms);
    int CNT_AddCycle();
    // Updates the record and returns the report body; empty when the record
    // held a camera or step key outside 0..7 (the caller then deletes the
    // file and re-initialises).
    QByteArray Report(const StatisticsReportInputs& in);

    // The body of the per-cycle report.
    static QByteArray CycleReport(const CycleReportInputs& in, const QList<param_roi>& results);
    static const char* RunStateText(int runState);
    static const char* DetectMethodText(int trigSource);
    // part * 10000 / whole in 64 bits, 0 when whole is 0.
    static int Rate(qint64 part, qint64 whole);
};
