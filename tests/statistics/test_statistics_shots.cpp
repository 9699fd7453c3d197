// Screenshots of the statistics screen, its temperature tab and the message
// dialog in the three languages, written when MOULDMON_SHOTS names a folder.

#include "core/controlport.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "statistics/messagedialog.h"
#include "statistics/statisticswidget.h"
#include "tests/common/testsupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QTabWidget>

namespace {

// The program's own rule for labels without a style of their own.
const char* const kLabelRule = "QLabel{font-size:18px;color:white;}";

// A day of counts as the screen's selection.
void fill(ResStatisticsParam& store)
{
    const int ok[24] = {30, 42, 45, 41, 12, 38, 44, 40, 39, 43, 41, 20, 35, 36, 33, 30, 28, 25, 31, 33, 34, 30, 29, 18};
    const int ng[24] = {1, 0, 2, 0, 0, 1, 3, 0, 0, 1, 0, 0, 0, 2, 0, 1, 0, 0, 4, 0, 0, 1, 0, 0};
    Series okSeries(ok, ok + 24);
    Series ngSeries(ng, ng + 24);
    store.setFindRes(okSeries, ngSeries);
}

TEST(StatisticsShots, ThreeLanguages)
{
    const QString shots = qEnvironmentVariable("MOULDMON_SHOTS");
    if (shots.isEmpty())
        GTEST_SKIP() << "MOULDMON_SHOTS names no folder";
    QDir().mkpath(shots);
    Data_Init();
    TempWorkDir dir;
    WizardPara record;
    for (int k = 0; k < 8; ++k) {
        record.tempLow[k] = 150;
        record.tempHigh[k] = 350;
        gFTemp[k] = 20.0f + 1.7f * k;
    }
    gpWPara = &record;
    qApp->setStyleSheet(QLatin1String(kLabelRule));
    QDir().mkpath(QStringLiteral("ResStatistics"));
    QFile(QStringLiteral("ResStatistics/2026-12-09.db")).open(QIODevice::WriteOnly);
    QFile(QStringLiteral("ResStatistics/2026-12-08.db")).open(QIODevice::WriteOnly);
    StatisticsPorts ports;
    ports.statisticsDay = [] { return QDate(2026, 12, 10); };
    ports.pause = [](int) {};
    { ResStatisticsParam first(ports); }
    ResStatisticsParam store(ports);
    gpResStatisticsParam = &store;
    fill(store);
    store.setCurPlan(900);

    const char* const names[] = {"zh", "en", "tw"};
    for (int lan = 0; lan < kLanCount; ++lan) {
        gLan = lan;
        StatisticsScreenPorts screenPorts;
        screenPorts.temperatureAlarm = [](bool) {};
        screenPorts.cycleTenths = [] { return qint64(123); };
        StatisticsWidget screen(nullptr, screenPorts);
        screen.show();
        screen.days()->setCurrentRow(0);
        fill(store);   // the selection as counted, plan shown
        screen.updateData();
        QApplication::processEvents();
        EXPECT_TRUE(screen.grab().save(QStringLiteral("%1/statistics_%2.png").arg(shots, QLatin1String(names[lan]))));
        screen.tabs()->setCurrentIndex(1);
        QApplication::processEvents();
        EXPECT_TRUE(screen.grab().save(QStringLiteral("%1/temperature_%2.png").arg(shots, QLatin1String(names[lan]))));
        screen.hide();

        MessageDialog dialog(QStringLiteral("warning"), QStringLiteral("No permission !"),
                             MessageDialog::Ok | MessageDialog::No | MessageDialog::Yes);
        dialog.show();
        QApplication::processEvents();
        EXPECT_TRUE(dialog.grab().save(QStringLiteral("%1/message_%2.png").arg(shots, QLatin1String(names[lan]))));
    }
    gLan = 0;
    qApp->setStyleSheet(QString());
    gpResStatisticsParam = nullptr;
    gpWPara = nullptr;
    for (int k = 0; k < kTempCount; ++k)
        gFTemp[k] = 0;
}

}  // namespace
