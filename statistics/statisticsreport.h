#pragma once
// What the statistics screen shows and exports, without the screen: the
// texts of the NG rate and the cycle, the list of days, reading an archived
// day and the export file.

#include <QList>
#include <QString>
#include <QStringList>

// "6.25%"; "0%" while the day has no results.
QString RateText(int ok, int ng);
// "周期 %1": the cycle in seconds with one decimal, at least four characters.
QString CycleText(qint64 tenths);

// The current day first, then the archives of the folder, newest first.
QStringList DayList(const QString& currentDay, const QString& archiveDir);

struct ArchivedDay {
    bool opened = false;
    QList<int> ok;   // as stored (the chart pads short series)
    QList<int> ng;
    int plan = 0;
};
// Step 1's totals and the plan of an archived day.
ArchivedDay ReadArchivedDay(const QString& archiveDir, const QString& day);

struct ExportedDay {
    QString day;
    QList<int> ok;   // by slot, from 08:00
    QList<int> ng;
    int plan = 0;
};
// The export file: tab-separated lines, one per hour, then the shift sums.
QByteArray ExportText(const ExportedDay& day);
// Writes the file named after the time stamp (ending .xls) into the top
// folder of the disk; true only when it is there whole.
bool WriteExport(const QString& diskRoot, const QString& stamp, const QByteArray& content);
