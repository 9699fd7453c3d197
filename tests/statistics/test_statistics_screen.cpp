// The statistics screen: the chart's geometry and texts, the list of days
// and choosing an archived day, the plan field, the NG rate and cycle
// texts, the export to the USB disk, and the temperature widget.

#include "core/controlport.h"
#include "core/texttable.h"
#include "core/usbdisk.h"
#include "core/wizardpara.h"
#include "statistics/chartgeometry.h"
#include "screen/statisticshooks.h"
#include "statistics/histogram.h"
#include "statistics/statisticsreport.h"
#include "statistics/statisticsscreens.h"
#include "statistics/statisticswidget.h"
#include "statistics/temperaturestatisticswidget.h"
#include "statistics/usermanager.h"
#include "tests/common/testsupport.h"
#include "widgets/edit.h"
#include "widgets/edittempbox.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace {

// ---- Chart ---------------------------------------------------------------

TEST(ChartGeometry, TwelveBarsOnA1600PixelChart)
{
    const QList<int> ok{10, 0, 5};
    const ChartLayout chart = LayOutChart({1600, 420}, ok, {20}, 12);
    EXPECT_EQ(chart.step, 120);
    EXPECT_EQ(chart.barWidth, 60);
    ASSERT_EQ(chart.bars.size(), 12);
    const ChartBar& first = chart.bars[0];
    EXPECT_EQ(first.okBar.left(), 80);
    EXPECT_EQ(first.okBar.left() + first.okBar.width(), 140);   // the pair is centred on x = 140
    EXPECT_EQ(first.ngBar.left(), 140);
    EXPECT_EQ(first.ngBar.height(), 360) << "the largest value reaches 60 px below the top";
    EXPECT_EQ(first.ngBar.top(), 40);
    EXPECT_EQ(first.okBar.height(), 180);
    EXPECT_EQ(first.hourRect, QRect(80, 400, 120, 20));
    EXPECT_EQ(first.tick, QLine(140, 390, 140, 400));
    EXPECT_EQ(chart.xAxis, QLine(0, 400, 1600, 400));
    EXPECT_EQ(chart.yAxis, QLine(20, 40, 20, 420));
    EXPECT_EQ(chart.okLegendText, QRect(1460, 5, 100, 30));
    EXPECT_EQ(chart.okSwatch, QRect(1395, 5, 60, 30));
    EXPECT_EQ(chart.ngLegendText, QRect(1355, 5, 100, 30));
    EXPECT_EQ(chart.ngSwatch, QRect(1290, 5, 60, 30));
}

TEST(ChartGeometry, ValueTextsNeverSitBelowTheLine40PixelsAboveTheBottom)
{
    struct Case {
        QList<int> ok;
        int textTop;
    };
    const Case cases[] = {
        {{0, 0}, 380},        // all zero: height 0, text 20 px above the axis
        {{1, 1000}, 380},     // a short bar keeps its text at H - 40
        {{1000, 1}, 40},      // the tallest bar has its text on its top
    };
    for (const Case& c : cases) {
        const ChartLayout chart = LayOutChart({1600, 420}, c.ok, {}, 2);
        EXPECT_EQ(chart.bars[0].okText.top(), c.textTop) << c.ok[0];
        EXPECT_EQ(chart.bars[1].ngText.top(), 380);
        EXPECT_GE(chart.bars[0].okBar.height(), 0);
    }
}

TEST(HistogramTest, SeriesArePaddedToTheBarCount)
{
    Histogram chart(nullptr, {8, 9, 10}, {4}, {1, 2, 3, 7});
    EXPECT_EQ(chart.barCount(), 3);
    EXPECT_EQ(chart.okValues(), (QList<int>{4, 0, 0}));
    EXPECT_EQ(chart.ngValues(), (QList<int>{1, 2, 3, 7})) << "values beyond the bars are kept, not drawn";
    EXPECT_EQ(chart.maximum(), 7);
    chart.modifyDataAxisY1({9});
    EXPECT_EQ(chart.maximum(), 9);
    chart.modifyDataAxisY2({});
    EXPECT_EQ(chart.ngValues(), (QList<int>{0, 0, 0}));
    chart.modifydata({});
    EXPECT_EQ(chart.barCount(), 0);
    EXPECT_EQ(Histogram(nullptr).maximum(), 0);
}

// ---- Texts ---------------------------------------------------------------

TEST(StatisticsTexts, RateAndCycle)
{
    struct Rate {
        int ok;
        int ng;
        const char* text;
    };
    for (const Rate& r : {Rate{0, 0, "0%"}, Rate{15, 1, "6.25%"}, Rate{2, 1, "33.3333%"}, Rate{0, 4, "100%"}})
        EXPECT_EQ(RateText(r.ok, r.ng), QLatin1String(r.text)) << r.ok << "/" << r.ng;
    EXPECT_EQ(CycleText(123), QStringLiteral("周期 12.3"));
    EXPECT_EQ(CycleText(15), QStringLiteral("周期  1.5"));
}

// ---- Screen --------------------------------------------------------------

void writeArchive(const QString& path, const QString& detect1Ok, const QString& detect1Ng, const QString& plan)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("archive"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.exec(QStringLiteral("CREATE TABLE resstatistics ( 'name' TEXT NOT NULL, 'value1' varchar(255), "
                              "'value2' varchar(255), PRIMARY KEY('name') )"));
        if (!detect1Ok.isNull())
            q.exec(QStringLiteral("insert into resstatistics values('Detect1', '%1', '%2')").arg(detect1Ok, detect1Ng));
        if (!plan.isNull())
            q.exec(QStringLiteral("insert into resstatistics values('plan', '%1', '')").arg(plan));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("archive"));
}

class ScreenTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Data_Init();
        gpWPara = &record;
        QDir().mkpath(QStringLiteral("ResStatistics"));
        StatisticsPorts storePorts;
        storePorts.statisticsDay = [] { return QDate(2026, 12, 10); };
        storePorts.pause = [](int) {};
        { ResStatisticsParam first(storePorts); }   // the first start builds the file
        store = std::make_unique<ResStatisticsParam>(storePorts);
        gpResStatisticsParam = store.get();
    }
    void TearDown() override
    {
        screen.reset();
        gpResStatisticsParam = nullptr;
        gpWPara = nullptr;
    }
    StatisticsWidget& open()
    {
        StatisticsScreenPorts p;
        p.ask = [this](const QString& q) {
            questions << q;
            return answers.isEmpty() ? false : answers.takeFirst();
        };
        p.warn = [this](const QString& w) { warnings << w; };
        p.findDisk = [this] { return disks.isEmpty() ? QString() : disks.takeFirst(); };
        p.cycleTenths = [] { return qint64(123); };
        p.temperatureAlarm = [this](bool a) { alarm = a; };
        screen = std::make_unique<StatisticsWidget>(nullptr, p);
        store->setView(screen.get());
        screen->show();
        return *screen;
    }
    QString count(int k) const { return screen->countLabel(k)->text(); }
    void choose(int row)
    {
        screen->days()->setCurrentRow(row);
        screen->updateRecord(screen->days()->item(row));
    }

    TempWorkDir dir;
    CommandRecorder shell;
    WizardPara record;
    std::unique_ptr<ResStatisticsParam> store;
    std::unique_ptr<StatisticsWidget> screen;
    QList<bool> answers;
    QStringList questions;
    QStringList warnings;
    QStringList disks;
    bool alarm = false;
};

TEST_F(ScreenTest, TodayShowsTheTotalsOfStep1)
{
    store->addTotal(SlotOfHour(9), true, 1);
    store->addTotal(SlotOfHour(9), true, 1);
    store->addTotal(SlotOfHour(21), false, 1);
    store->addTotal(SlotOfHour(9), false, 0);   // another step: not shown
    open();
    EXPECT_EQ(screen->days()->count(), 1) << "no archives: only the current day";
    EXPECT_EQ(screen->days()->item(0)->text(), QStringLiteral("2026-12-10"));
    EXPECT_EQ(count(0), QStringLiteral("2"));
    EXPECT_EQ(count(1), QStringLiteral("0"));
    EXPECT_EQ(count(2), QStringLiteral("0"));
    EXPECT_EQ(count(3), QStringLiteral("1"));
    EXPECT_EQ(count(4), QStringLiteral("3"));
    EXPECT_EQ(count(5), QStringLiteral("1"));
    EXPECT_EQ(count(6), QStringLiteral("33.3333%"));
    EXPECT_EQ(screen->morningChart()->hours(), HourLabels(MorningShift));
    EXPECT_EQ(screen->morningChart()->okValues()[1], 2);
    EXPECT_EQ(screen->nightChart()->hours(), HourLabels(NightShift));
    EXPECT_EQ(screen->nightChart()->ngValues()[1], 1);
    EXPECT_EQ(screen->cycleLabel()->text(), QStringLiteral("周期 12.3"));

    store->addTotal(SlotOfHour(10), true, 1);   // counted while shown: redrawn at once
    EXPECT_EQ(count(0), QStringLiteral("3"));
}

TEST_F(ScreenTest, ArchivedDaysAreListedNewestFirstAndShownWithTheirPlan)
{
    writeArchive(QStringLiteral("ResStatistics/2026-12-08.db"), QStringLiteral("1 2 3"), QStringLiteral("4"),
                 QStringLiteral("500"));
    Series night = ResStatisticsParam::DaySeries({});
    night[13] = 6;
    writeArchive(QStringLiteral("ResStatistics/2026-12-09.db"), ResStatisticsParam::SeriesText(night),
                 QStringLiteral("0"), QString());
    open();
    ASSERT_EQ(screen->days()->count(), 3);
    EXPECT_EQ(screen->days()->item(1)->text(), QStringLiteral("2026-12-09"));
    EXPECT_EQ(screen->days()->item(2)->text(), QStringLiteral("2026-12-08"));

    choose(2);   // a short series: the sums cover the stored numbers, the night is empty
    EXPECT_FALSE(screen->planField()->isEnabled());
    EXPECT_EQ(screen->planField()->text(), QStringLiteral("500"));
    EXPECT_EQ(count(0), QStringLiteral("6"));
    EXPECT_EQ(count(3), QStringLiteral("0"));
    EXPECT_EQ(count(6), QStringLiteral("40%"));
    EXPECT_EQ(screen->nightChart()->okValues(), QVector<int>(12, 0).toList());

    choose(1);   // no plan row: plan 0
    EXPECT_EQ(screen->planField()->text(), QStringLiteral("0"));
    EXPECT_EQ(count(2), QStringLiteral("6"));

    screen->planField()->setText(QStringLiteral("77"));   // changes nothing on an archived day
    EXPECT_EQ(store->storedPlan(), 0);
    store->addTotal(0, true, 1);   // counting keeps the archived day's selection
    EXPECT_EQ(count(2), QStringLiteral("6"));

    QFile::remove(QStringLiteral("ResStatistics/2026-12-08.db"));
    choose(2);   // gone since listed: the numbers stay, no file is made
    EXPECT_EQ(count(2), QStringLiteral("6"));
    EXPECT_FALSE(QFile::exists(QStringLiteral("ResStatistics/2026-12-08.db")));

    choose(0);
    EXPECT_TRUE(screen->planField()->isEnabled());
    EXPECT_EQ(count(0), QStringLiteral("1"));
}

TEST_F(ScreenTest, ThePlanOfTodayIsStoredAsTyped)
{
    open();
    screen->planField()->setText(QStringLiteral("1200"));
    EXPECT_EQ(store->storedPlan(), 1200);
    EXPECT_EQ(store->getPlan(), 1200);
    screen->updateData();
    EXPECT_EQ(screen->planField()->text(), QStringLiteral("1200"));
}

TEST_F(ScreenTest, ExportWritesTheShownDayToTheDisk)
{
    TempWorkDir disk;
    qputenv("MOULDMON_USB_ROOT", disk.path().toLocal8Bit());
    QDir::setCurrent(dir.path());
    store->addTotal(SlotOfHour(8), true, 1);
    store->addTotal(SlotOfHour(8), false, 1);
    open();
    answers = {true, true};                 // export? no disk: try again?
    disks = QStringList{QString(), UsbRoot()};
    screen->SlotExportData();
    qunsetenv("MOULDMON_USB_ROOT");
    EXPECT_EQ(questions, (QStringList{LanStr(324), LanStr(320)}));
    EXPECT_EQ(warnings, QStringList{LanStr(147)});
    const QStringList files = QDir(disk.path()).entryList({QStringLiteral("*.xls")});
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d_\\d\\d\\.\\d\\d\\.\\d\\d\\.xls$"))
                    .match(files[0]).hasMatch());
    QFile file(QDir(disk.path()).filePath(files[0]));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("2026-12-10")));
    EXPECT_TRUE(text.contains(QStringLiteral("\r\n8\t1\t1\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("50%")));
    EXPECT_TRUE(shell.lines().contains(QStringLiteral("umount ") + disk.path()));
}

TEST_F(ScreenTest, AnExportThatCannotBeWrittenSaysSo)
{
    open();
    answers = {true};
    disks = QStringList{dir.file(QStringLiteral("no-such-disk"))};
    screen->SlotExportData();
    EXPECT_EQ(warnings, QStringList{LanStr(691)});

    warnings.clear();
    answers = {true, false};   // no disk, and the operator gives up
    screen->SlotExportData();
    EXPECT_TRUE(warnings.isEmpty());
    EXPECT_EQ(questions.last(), LanStr(320));
}

TEST_F(ScreenTest, TheTemperatureVerdictIsPublishedAtEveryRefresh)
{
    for (int k = 0; k < 8; ++k) {
        record.tempLow[k] = 200;
        record.tempHigh[k] = 300;
        gFTemp[k] = 25.0f;
    }
    open();
    screen->updateData();
    EXPECT_FALSE(alarm);
    gFTemp[7] = 30.1f;
    screen->updateData();
    EXPECT_TRUE(alarm);
    for (int k = 0; k < kTempCount; ++k)
        gFTemp[k] = 0;
}

// ---- Temperature widget ---------------------------------------------------

TEST(TemperatureRules, TenthsAndRanges)
{
    struct Case {
        float celsius;
        int tenths;
        bool valid;
    };
    const float inf = std::numeric_limits<float>::infinity();
    const Case cases[] = {{25.37f, 253, true}, {-1.05f, -10, true}, {0.0f, 0, true},
                          {inf, INT_MAX, true}, {-inf, INT_MIN, true}, {std::nanf(""), 0, false}};
    for (const Case& c : cases) {
        const TemperatureReading r = ReadTemperature(c.celsius);
        EXPECT_EQ(r.tenths, c.tenths) << c.celsius;
        EXPECT_EQ(r.valid, c.valid) << c.celsius;
    }
    EXPECT_TRUE(InRange({100, true}, 100, 200));
    EXPECT_TRUE(InRange({200, true}, 100, 200));
    EXPECT_FALSE(InRange({201, true}, 100, 200));
    EXPECT_TRUE(InRange({0, true}, 0, 0));
    EXPECT_FALSE(InRange({1, true}, 0, 0));
    EXPECT_FALSE(InRange({0, false}, INT_MIN, INT_MAX));
}

class TemperatureTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Data_Init();
        gpWPara = &record;
        for (int k = 0; k < 8; ++k) {
            record.tempLow[k] = 100 + k;
            record.tempHigh[k] = 300;
        }
    }
    void TearDown() override { gpWPara = nullptr; }
    WizardPara record;
};

TEST_F(TemperatureTest, OneBoxOutOfRangeRaisesTheAlarm)
{
    TemperatureStatisticsWidget widget;
    float temps[kTempCount] = {};
    for (int k = 0; k < 8; ++k)
        temps[k] = 25.37f;
    widget.updateTemp(temps);
    EXPECT_EQ(widget.box(0)->valueLabel()->text().left(4), QStringLiteral("25.3"));
    EXPECT_FALSE(widget.judgeTemperature());
    temps[5] = 30.01f;   // 300 tenths: on the limit, in range
    widget.updateTemp(temps);
    EXPECT_FALSE(widget.judgeTemperature());
    temps[5] = 30.1f;
    widget.updateTemp(temps);
    EXPECT_TRUE(widget.judgeTemperature());
    temps[5] = std::nanf("");
    widget.updateTemp(temps);
    EXPECT_TRUE(widget.judgeTemperature());

    temps[5] = 20.0f;
    temps[8] = -3.0f;     // the lowest and highest cover slots 0-3 and 8-11
    temps[11] = 90.0f;
    temps[6] = 95.0f;
    widget.updateTemp(temps);
    EXPECT_FLOAT_EQ(widget.lowestTemperature(), -3.0f);
    EXPECT_FLOAT_EQ(widget.highestTemperature(), 90.0f);
}

TEST_F(TemperatureTest, LimitsComeFromTheRecordAtShowingAndAreSavedAtHiding)
{
    TemperatureStatisticsWidget widget;
    int saves = 0;
    widget.saveSettings = [&] { ++saves; };
    EXPECT_EQ(widget.box(3)->getMinValue(), 103);
    record.tempLow[3] = 50;
    widget.show();
    EXPECT_EQ(widget.box(3)->getMinValue(), 50);
    widget.hide();   // nothing edited: stored and saved all the same
    EXPECT_EQ(saves, 1);
    widget.show();
    widget.box(2)->setMaxValue(450);
    widget.hide();
    EXPECT_EQ(record.tempHigh[2], 450);
    EXPECT_EQ(saves, 2);
}

}  // namespace

// ---- Program wiring ---------------------------------------------------------

TEST(StatisticsWiring, TheMainWindowMakesTheScreenAndAsksTheAccountThroughItsHooks)
{
    Data_Init();
    TempWorkDir dir;
    CommandRecorder shell;
    StatisticsPorts quiet;
    quiet.pause = [](int) {};
    { ResStatisticsParam first(quiet); }   // the file exists: no warning, no restart
    InstallStatisticsScreens();

    std::unique_ptr<QWidget> made(statisticsHooks().makeStatistics(nullptr));
    auto* screen = qobject_cast<StatisticsWidget*>(made.get());
    ASSERT_TRUE(screen);
    ASSERT_TRUE(gpResStatisticsParam);
    screen->show();
    gpResStatisticsParam->addTotal(0, true, 1);
    EXPECT_EQ(screen->countLabel(0)->text(), QStringLiteral("1")) << "the store reaches the screen";
    for (QPushButton* button : screen->findChildren<QPushButton*>()) {
        if (button->text() == LanStr(58))
            button->click();   // return
    }
    EXPECT_FALSE(screen->isVisible());
    made.reset();
    delete gpResStatisticsParam;

    EXPECT_TRUE(statisticsHooks().canChangeSettings()) << "a new account file: the administrator";
    ASSERT_TRUE(UserManager::instance);
    EXPECT_EQ(UserManager::instance->currentName(), QStringLiteral("admin"));
    delete UserManager::instance;
    statisticsHooks() = {};
}
