#pragma once
// Hands the main window the makers of the statistics screen and the
// account check of the settings (see screen/statisticshooks.h).

void InstallStatisticsScreens();
