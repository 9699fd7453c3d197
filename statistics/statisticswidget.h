#pragma once
// The production statistics screen: for one statistics day the OK and NG
// counts of detection step 1 per shift, as numbers and as two hourly bar
// charts, the planned output (editable for the current day), the day's
// total and NG rate, the time and the last cycle; the temperatures on a
// second tab. The list at the left offers the current day and every
// archived day. It refreshes itself every second, shown or hidden.

#include "statistics/resstatisticsparam.h"

#include <QWidget>

#include <functional>

class Edit;
class Histogram;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTabWidget;
class QTimer;
class TemperatureStatisticsWidget;

struct StatisticsScreenPorts {
    std::function<bool(const QString&)> ask;     // yes/no question (showChooseBox)
    std::function<void(const QString&)> warn;    // warning (showWarnBox)
    std::function<QString()> findDisk;           // mounts a USB disk; its mount point or empty (FindAU)
    std::function<qint64()> cycleTenths;         // the last cycle length
    std::function<void(bool)> temperatureAlarm;  // publishes the temperature verdict
    QString archiveDir = QStringLiteral("ResStatistics");
};

class StatisticsWidget : public QWidget, public StatisticsView
{
    Q_OBJECT
public:
    explicit StatisticsWidget(QWidget* parent, StatisticsScreenPorts ports = {});

    bool isToday() override;
    void updateData() override;
    void updateList();

    Histogram* morningChart() const { return morning; }
    Histogram* nightChart() const { return night; }
    QListWidget* days() const { return dayList; }
    Edit* planField() const { return planEdit; }
    TemperatureStatisticsWidget* temperatures() const { return temperature; }
    QTabWidget* tabs() const { return tabWidget; }
    // The count labels: morning OK, morning NG, night OK, night NG, total, total NG, rate.
    QLabel* countLabel(int k) const { return counts[k]; }
    QLabel* cycleLabel() const { return cycle; }

public slots:
    void updateRecord(QListWidgetItem* item);
    void slotTimeout();
    void slotPlanChange(const QString& text);
    void SlotExportData();
    void slotConfirm();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildShiftPage();
    QWidget* shiftBlock(int caption, QLabel* okCount, QLabel* ngCount);
    void showCounts();

    Histogram* morning = nullptr;
    Histogram* night = nullptr;
    Edit* planEdit = nullptr;
    QLabel* counts[7] = {};
    QLabel* dateTime = nullptr;
    QLabel* cycle = nullptr;
    QTimer* timer = nullptr;
    QListWidget* dayList = nullptr;
    TemperatureStatisticsWidget* temperature = nullptr;
    QTabWidget* tabWidget = nullptr;
    StatisticsScreenPorts ports;
};
