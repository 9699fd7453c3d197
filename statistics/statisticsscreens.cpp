#include "statistics/statisticsscreens.h"

#include "screen/mainwindow.h"
#include "screen/statisticshooks.h"
#include "statistics/resstatisticsparam.h"
#include "statistics/statisticswidget.h"
#include "statistics/usermanager.h"
#include "widgets/bmessagebox.h"

void InstallStatisticsScreens()
{
    statisticsHooks().makeStatistics = [](QWidget* parent) -> QWidget* {
        if (!gpResStatisticsParam) {
            StatisticsPorts ports;
            ports.warn = showWarnBox;
            if (gpWin)
                ports.archiveDir = gpWin->statisticsDir.absolutePath();
            gpResStatisticsParam = new ResStatisticsParam(ports);
        }
        StatisticsScreenPorts screenPorts;
        screenPorts.archiveDir = gpWin ? gpWin->statisticsDir.absolutePath() : QStringLiteral("ResStatistics");
        auto* screen = new StatisticsWidget(parent, screenPorts);
        gpResStatisticsParam->setView(screen);
        return screen;
    };
    statisticsHooks().canChangeSettings = [] {
        if (!UserManager::instance)
            UserManager::instance = new UserManager;
        return UserManager::instance->canChangeSetting();
    };
}
