#pragma once
// The statistics screen and the user accounts are built above the main
// window; they hand it their makers once at program start (statistics/:
// InstallStatisticsScreens). Without them the statistics command shows
// nothing and the settings need no account right.

#include <functional>

class QWidget;

struct StatisticsHooks {
    // StatisticsWidget with its store, made the first time it is shown.
    std::function<QWidget*(QWidget* parent)> makeStatistics;
    // Whether the current user may change the settings (refusing shows why).
    std::function<bool()> canChangeSettings;
};

StatisticsHooks& statisticsHooks();
