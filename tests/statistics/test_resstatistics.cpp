// The production statistics store: building and restoring its file, loading
// short or damaged rows, counting, shift sums, the plan and the day
// roll-over; and the shift rules of the statistics day.

#include "core/texttable.h"
#include "statistics/resstatisticsparam.h"
#include "tests/common/testsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

namespace {

const char* const kSeed = "seed";

// Reads and writes rows of a statistics file beside the store.
class StatFile
{
public:
    explicit StatFile(const QString& path)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QLatin1String(kSeed));
        db.setDatabaseName(path);
        db.open();
    }
    ~StatFile()
    {
        QSqlDatabase::database(QLatin1String(kSeed), false).close();
        QSqlDatabase::removeDatabase(QLatin1String(kSeed));
    }
    QStringList row(const QString& name) const
    {
        QSqlQuery q(QSqlDatabase::database(QLatin1String(kSeed)));
        q.prepare(QStringLiteral("select value1, value2 from resstatistics where name=?"));
        q.addBindValue(name);
        if (!q.exec() || !q.next())
            return {};
        return {q.value(0).toString(), q.value(1).toString()};
    }
    int rows() const
    {
        QSqlQuery q(QSqlDatabase::database(QLatin1String(kSeed)));
        q.exec(QStringLiteral("select count(*) from resstatistics"));
        return q.next() ? q.value(0).toInt() : -1;
    }
    void exec(const QString& sql) const { QSqlQuery(QSqlDatabase::database(QLatin1String(kSeed))).exec(sql); }
};

QString zeroText()
{
    return ResStatisticsParam::SeriesText(Series(ResStatisticsParam::DaySeries({})));
}

Series withSlot(int slot, int value)
{
    Series s = ResStatisticsParam::DaySeries({});
    s[slot] = value;
    return s;
}

class RecordingView : public StatisticsView
{
public:
    bool isToday() override { return today; }
    void updateData() override { ++updates; }
    bool today = true;
    int updates = 0;
};

class StoreTest : public ::testing::Test
{
protected:
    void SetUp() override { Data_Init(); }

    StatisticsPorts ports()
    {
        StatisticsPorts p;
        p.warn = [this](const QString& t) { warnings << t; };
        p.statisticsDay = [] { return QDate(2026, 12, 10); };
        p.pause = [](int) {};
        return p;
    }
    // A store on a file built by an earlier start (the first start builds it).
    std::unique_ptr<ResStatisticsParam> started()
    {
        { ResStatisticsParam first(ports()); }
        warnings.clear();
        return std::make_unique<ResStatisticsParam>(ports());
    }

    TempWorkDir dir;
    CommandRecorder shell;
    QStringList warnings;
};

TEST_F(StoreTest, FirstStartBuildsTheFileAndItsEmptyCopyThenReboots)
{
    ResStatisticsParam store(ports());
    EXPECT_EQ(warnings, QStringList{LanStr(552, 0)});
    EXPECT_EQ(shell.lines(), QStringList{QStringLiteral("reboot")});
    ASSERT_TRUE(QFile::exists(QStringLiteral("ResStatisticsNULL.db")));
    for (const char* file : {"ResStatistics.db", "ResStatisticsNULL.db"}) {
        StatFile f{QLatin1String(file)};
        EXPECT_EQ(f.rows(), 73) << file;
        EXPECT_EQ(f.row(QStringLiteral("plan")), (QStringList{"0", ""}));
        EXPECT_EQ(f.row(QStringLiteral("C7_D7")), (QStringList{zeroText(), zeroText()}));
        EXPECT_EQ(f.row(QStringLiteral("Detect0")), (QStringList{zeroText(), zeroText()}));
    }
}

TEST_F(StoreTest, AnEmptyFileIsRestoredFromTheEmptyCopy)
{
    started().reset();
    {
        StatFile f(QStringLiteral("ResStatisticsNULL.db"));
        f.exec(QStringLiteral("update resstatistics set value1='77' where name='plan'"));
    }
    QFile empty(QStringLiteral("ResStatistics.db"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly | QIODevice::Truncate));
    empty.close();
    const int before = shell.lines().size();

    ResStatisticsParam store(ports());
    EXPECT_EQ(warnings, QStringList{LanStr(552, 0)});
    EXPECT_EQ(shell.lines().mid(before), QStringList{QStringLiteral("reboot")});
    EXPECT_EQ(store.storedPlan(), 77);
}

TEST_F(StoreTest, AFileThatCannotBeOpenedWarnsInEnglishAndCountsNothing)
{
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("ResStatistics.db")));   // exists, not empty, not a database
    ResStatisticsParam store(ports());
    EXPECT_EQ(warnings, QStringList{LanStr(544, 1)});
    EXPECT_TRUE(shell.lines().isEmpty());
    store.add(3, true, 1, 2);
    store.addTotal(3, true, 1);
    EXPECT_EQ(store.okSeries(1, 2).size(), 24);
    EXPECT_EQ(store.getRes(WholeDay, true).size(), 24);
    EXPECT_FALSE(store.setCurPlan(5));
    EXPECT_FALSE(store.nextDay(QStringLiteral("2026-12-11")));
    EXPECT_EQ(store.getCurDate(), QStringLiteral("2026-12-10"));
}

TEST_F(StoreTest, StoredRowsAreReadAsDaySeries)
{
    struct Case {
        const char* text;
        Series expected;
    };
    const Series counted = withSlot(23, 9);
    const Case cases[] = {
        {"1 2 3", {1, 2, 3}},                     // short: the rest are zeros
        {"", {}},                                 // empty
        {"4 x 6", {4, 0, 6}},                     // a word that is not a number
        {"  7   8 ", {7, 8}},                     // extra blanks
    };
    started().reset();
    for (const Case& c : cases) {
        {
            StatFile f(QStringLiteral("ResStatistics.db"));
            f.exec(QStringLiteral("update resstatistics set value1='%1', value2='%2' where name='C1_D1'")
                       .arg(QLatin1String(c.text), ResStatisticsParam::SeriesText(counted) + QStringLiteral(" 5 5")));
        }
        ResStatisticsParam store(ports());
        EXPECT_EQ(store.okSeries(1, 1), ResStatisticsParam::DaySeries(c.expected)) << c.text;
        EXPECT_EQ(store.ngSeries(1, 1), counted) << "cut to 24 slots";
        store.add(23, true, 1, 1);   // every slot can be counted
        EXPECT_EQ(store.okSeries(1, 1)[23], 1) << c.text;
    }
}

TEST_F(StoreTest, AMissingRowComesBackWithZerosAndTheOthersKeepTheirCounts)
{
    started().reset();
    {
        StatFile f(QStringLiteral("ResStatistics.db"));
        f.exec(QStringLiteral("delete from resstatistics where name='C3_D5'"));
        f.exec(QStringLiteral("update resstatistics set value1='%1' where name='C3_D4'")
                   .arg(ResStatisticsParam::SeriesText(withSlot(2, 4))));
    }
    ResStatisticsParam store(ports());
    EXPECT_EQ(store.okSeries(4, 3), withSlot(2, 4));
    StatFile f(QStringLiteral("ResStatistics.db"));
    EXPECT_EQ(f.row(QStringLiteral("C3_D5")), (QStringList{zeroText(), zeroText()}));
    EXPECT_EQ(f.rows(), 73);
}

TEST_F(StoreTest, CountingWritesThroughAtOnce)
{
    auto store = started();
    store->add(3, true, 1, 2);
    store->add(3, false, 1, 8);    // camera 8 counts nothing
    store->add(24, true, 1, 2);    // out of range: ignored
    store->add(0, true, 9, 2);
    EXPECT_EQ(store->okSeries(1, 2), withSlot(3, 1));
    StatFile f(QStringLiteral("ResStatistics.db"));
    EXPECT_EQ(f.row(QStringLiteral("C2_D1")), (QStringList{ResStatisticsParam::SeriesText(withSlot(3, 1)), zeroText()}));
    EXPECT_EQ(f.row(QStringLiteral("Detect1")), (QStringList{zeroText(), zeroText()})) << "totals untouched";
}

TEST_F(StoreTest, ACountedTotalRefreshesTheScreenOnlyWhileItShowsToday)
{
    auto store = started();
    RecordingView view;
    store->setView(&view);
    store->addTotal(2, true, 1);
    store->addTotal(16, false, 0);
    EXPECT_EQ(view.updates, 2);
    EXPECT_EQ(store->getCount(MorningShift, true), 1) << "detection 1 stays selected";
    EXPECT_EQ(store->getCount(NightShift, false), 0);
    StatFile f(QStringLiteral("ResStatistics.db"));
    EXPECT_EQ(f.row(QStringLiteral("Detect0")), (QStringList{zeroText(), ResStatisticsParam::SeriesText(withSlot(16, 1))}));

    view.today = false;
    store->setFindRes(Series{5}, Series{});
    store->addTotal(2, true, 1);
    EXPECT_EQ(view.updates, 2);
    EXPECT_EQ(store->getCount(WholeDay, true), 5) << "an archived day stays selected";
}

TEST_F(StoreTest, ShiftSumsAndParts)
{
    struct Case {
        Series ok;
        int shift;
        Series res;
        int count;
    };
    Series day;
    for (int i = 1; i <= 26; ++i)
        day << i;   // longer than a day: positions 24 and 25 count as night
    const Case cases[] = {
        {day, MorningShift, day.mid(0, 12), 78},
        {day, NightShift, day.mid(12, 12), 273},
        {day, WholeDay, day, 351},
        {day, 3, {}, 0},
        {{1, 2, 3}, NightShift, {}, 0},
        {{1, 2, 3}, MorningShift, {1, 2, 3}, 6},
        {{}, WholeDay, {}, 0},
    };
    auto store = started();
    for (const Case& c : cases) {
        store->setFindRes(c.ok, {});
        EXPECT_EQ(store->getRes(c.shift, true), c.res) << c.shift;
        EXPECT_EQ(store->getCount(c.shift, true), c.count) << c.shift;
        EXPECT_EQ(store->getCount(c.shift, false), 0);
    }
}

TEST_F(StoreTest, ThePlanIsStoredAndShownSeparately)
{
    started().reset();
    {
        StatFile f(QStringLiteral("ResStatistics.db"));
        f.exec(QStringLiteral("update resstatistics set value1='120' where name='plan'"));
    }
    ResStatisticsParam store(ports());
    store.setPlan(7);
    store.loadPlan();
    EXPECT_EQ(store.storedPlan(), 120);
    EXPECT_EQ(store.getPlan(), 7);
    store.setPlan();
    EXPECT_EQ(store.getPlan(), 120);
    EXPECT_TRUE(store.setCurPlan(300));
    StatFile f(QStringLiteral("ResStatistics.db"));
    EXPECT_EQ(f.row(QStringLiteral("plan")).value(0), QStringLiteral("300"));
}

TEST_F(StoreTest, TheDayRollOverArchivesTheClosedDayAndStartsFromZeros)
{
    QDir().mkpath(QStringLiteral("ResStatistics"));
    {
        QFile old(QStringLiteral("ResStatistics/2026-12-10.db"));   // replaced by the closed day
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    auto store = started();
    store->add(5, false, 2, 4);
    store->addTotal(5, false, 2);
    ASSERT_TRUE(store->nextDay(QStringLiteral("2026-12-11")));
    EXPECT_EQ(store->getCurDate(), QStringLiteral("2026-12-11"));
    EXPECT_EQ(store->ngSeries(2, 4), ResStatisticsParam::DaySeries({}));
    {
        StatFile archive(QStringLiteral("ResStatistics/2026-12-10.db"));
        EXPECT_EQ(archive.row(QStringLiteral("C4_D2")).value(1), ResStatisticsParam::SeriesText(withSlot(5, 1)));
        EXPECT_EQ(archive.row(QStringLiteral("Detect2")).value(1), ResStatisticsParam::SeriesText(withSlot(5, 1)));
    }
    store->add(1, true, 0, 0);
    StatFile today(QStringLiteral("ResStatistics.db"));
    EXPECT_EQ(today.rows(), 73);
    EXPECT_EQ(today.row(QStringLiteral("C4_D2")), (QStringList{zeroText(), zeroText()}));
    EXPECT_EQ(today.row(QStringLiteral("C0_D0")).value(0), ResStatisticsParam::SeriesText(withSlot(1, 1)));
}

TEST_F(StoreTest, ADayThatCannotBeArchivedKeepsItsCounts)
{
    {
        QFile blocker(QStringLiteral("ResStatistics"));   // a file where the folder should be
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    auto store = started();
    store->add(5, true, 2, 4);
    EXPECT_FALSE(store->nextDay(QStringLiteral("2026-12-11")));
    EXPECT_EQ(store->getCurDate(), QStringLiteral("2026-12-10"));
    EXPECT_EQ(store->okSeries(2, 4), withSlot(5, 1));
    store->add(5, true, 2, 4);
    StatFile f(QStringLiteral("ResStatistics.db"));
    EXPECT_EQ(f.row(QStringLiteral("C4_D2")).value(0), ResStatisticsParam::SeriesText(withSlot(5, 2)));
}

TEST_F(StoreTest, WithoutTheEmptyCopyTheNewDayIsBuiltFromScratch)
{
    auto store = started();
    ASSERT_TRUE(QFile::remove(QStringLiteral("ResStatisticsNULL.db")));
    store->setPlan(40);
    ASSERT_TRUE(store->nextDay(QStringLiteral("2026-12-11")));
    StatFile today(QStringLiteral("ResStatistics.db"));
    EXPECT_EQ(today.rows(), 73);
    EXPECT_EQ(today.row(QStringLiteral("plan")).value(0), QStringLiteral("40"));
}

TEST(ShiftRules, HoursSlotsAndDays)
{
    struct Case {
        int hour;
        int slot;
        int shift;
    };
    const Case cases[] = {{8, 0, MorningShift}, {19, 11, MorningShift}, {20, 12, NightShift},
                          {23, 15, NightShift}, {0, 16, NightShift},    {7, 23, NightShift}};
    for (const Case& c : cases) {
        EXPECT_EQ(SlotOfHour(c.hour), c.slot) << c.hour;
        EXPECT_EQ(HourOfSlot(c.slot), c.hour) << c.slot;
        const SlotRange r = SlotsOf(c.shift);
        EXPECT_TRUE(c.slot >= r.first && c.slot < r.first + r.count) << c.hour;
    }
    const QDate d(2026, 12, 10);
    EXPECT_EQ(StatisticsDayOf(QDateTime(d, QTime(7, 59, 59))), d.addDays(-1));
    EXPECT_EQ(StatisticsDayOf(QDateTime(d, QTime(8, 0))), d);
    EXPECT_EQ(StatisticsDayOf(QDateTime(d, QTime(23, 59))), d);
    EXPECT_EQ(HourLabels(MorningShift), (QList<int>{8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}));
    EXPECT_EQ(HourLabels(NightShift), (QList<int>{20, 21, 22, 23, 0, 1, 2, 3, 4, 5, 6, 7}));
}

}  // namespace
