// The production record: counting, reports, per-cycle results and the
// restore rules of the stored statistics file.

#include "network/netstatistics.h"

#include <cjson/cJSON.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

struct Parsed {
    explicit Parsed(const QByteArray& text) : root(cJSON_ParseWithLength(text.constData(), size_t(text.size()))) {}
    ~Parsed() { cJSON_Delete(root); }
    cJSON* root;
};

double Num(const cJSON* o, const char* key)
{
    const cJSON* item = cJSON_GetObjectItemCaseSensitive(o, key);
    return cJSON_IsNumber(item) ? item->valuedouble : -12345;
}

const char* Str(const cJSON* o, const char* key)
{
    const cJSON* item = cJSON_GetObjectItemCaseSensitive(o, key);
    return cJSON_IsString(item) ? item->valuestring : "<none>";
}

const cJSON* At(const cJSON* o, const char* key, int index)
{
    return cJSON_GetArrayItem(cJSON_GetObjectItemCaseSensitive(o, key), index);
}

const cJSON* Camera(const cJSON* report, int index)
{
    return At(cJSON_GetObjectItemCaseSensitive(report, "camera"), "ng", index);
}

constexpr qint64 kStart = 1700000000000;

StatisticsReportInputs Inputs(int all, int fail, qint64 now = kStart + 3600000)
{
    StatisticsReportInputs in;
    in.host = QStringLiteral("mm-07");
    in.nowMs = now;
    in.camerasInUse = 1;
    in.allNum = {all, 0, 0, 0, 0, 0, 0, 0};
    in.failNum = {fail, 0, 0, 0, 0, 0, 0, 0};
    in.cavities = 4;
    in.cycleTenths = 125;
    in.productName = "cap";
    in.productBatch = 42;
    in.plannedQuantity = 5000;
    return in;
}

NetStatistics Fresh()
{
    NetStatistics s;
    s.InitStatistics(kStart, QStringLiteral("/nonexistent/Statistics"));
    return s;
}

}  // namespace

struct RateCase {
    int all, fail;
    int rate, okRate, notOkRate;
    qint64 realProduce;
};

class StatisticsRates : public ::testing::TestWithParam<RateCase> {};

TEST_P(StatisticsRates, CountsRatesAndProduceOfTheLargestCamera)
{
    const RateCase c = GetParam();
    NetStatistics s = Fresh();
    s.ChkandAddStaticticsItem(0, 0, 2);
    const Parsed r(s.Report(Inputs(c.all, c.fail)));
    ASSERT_TRUE(r.root);
    EXPECT_EQ(Num(r.root, "watch_count_total"), c.all);
    EXPECT_EQ(Num(r.root, "ng_count_total"), c.fail);
    EXPECT_EQ(Num(r.root, "ng_notification_rate"), c.rate);
    EXPECT_EQ(Num(r.root, "real_produce"), double(c.realProduce));
    EXPECT_EQ(Num(r.root, "watch_circle"), 12500);
    const cJSON* step = At(Camera(r.root, 0), "ng_monitors", 0);
    EXPECT_EQ(Num(step, "monitor_times"), c.all);
    EXPECT_EQ(Num(step, "ng_sum"), c.fail);
    EXPECT_EQ(Num(step, "ok_num"), c.all - c.fail);
    EXPECT_EQ(Num(step, "ok_rate"), c.okRate);
    EXPECT_EQ(Num(step, "not_ok_rate"), c.notOkRate);
    EXPECT_EQ(Num(step, "produce"), 5000);
}

INSTANTIATE_TEST_SUITE_P(Table, StatisticsRates, ::testing::Values(
    RateCase{120, 3, 250, 9750, 250, 468},
    RateCase{0, 0, 0, 0, 0, 0},
    // Weeks of production: x 10000 does not fit in 32 bits.
    RateCase{2000000000, 1000000, 5, 9995, 5, 7996000000LL},
    RateCase{300000, 299999, 9999, 0, 9999, 4}));

TEST(Statistics, ManualStopShortensTheMonitoringTime)
{
    NetStatistics s = Fresh();
    StatisticsReportInputs in = Inputs(10, 0);
    in.stoppedMinutes = 25;
    s.Report(in);
    EXPECT_EQ(s.statistics.utc_watch_total, 3600000 - 1500000);
    // After a reset the whole total still counts: the time may go negative.
    s.InitStatistics(in.nowMs, QStringLiteral("/nonexistent/Statistics"));
    s.Report(in);
    EXPECT_EQ(s.statistics.utc_watch_total, -1500000);
}

TEST(Statistics, AlarmDurationsGiveNowAverageAndTotal)
{
    NetStatistics s = Fresh();
    s.ChkandAddStaticticsItem(0, 0, 0);
    s.ChkandAddStaticticsItem(1, 0, 0);
    struct { int ms, now, average, last; } steps[] = {{8000, 8000, 8000, 8000}, {4000, 4000, 6000, 12000}};
    for (const auto& st : steps) {
        s.CNT_AddNgTimes(st.ms);
        StatisticsReportInputs in = Inputs(5, 1);
        in.camerasInUse = 2;
        const Parsed r(s.Report(in));
        for (int c = 0; c < 2; ++c) {
            EXPECT_EQ(Num(Camera(r.root, c), "now_monitor_period"), st.now);
            EXPECT_EQ(Num(Camera(r.root, c), "average_monitor_period"), st.average);
            EXPECT_EQ(Num(Camera(r.root, c), "last_monitor_period"), st.last);
            EXPECT_EQ(Num(Camera(r.root, c), "disalarm_timeout_time"), 1);
        }
        EXPECT_EQ(Num(r.root, "total_stop_alarm_timelen"), st.last);
    }
}

TEST(Statistics, EachReportDropsOneOldDurationBeyondAHundred)
{
    NetStatistics s = Fresh();
    for (int ms = 1; ms <= 150; ++ms)
        s.CNT_AddNgTimes(ms);
    int average = 0;
    for (int i = 0; i < 50; ++i)
        average = s.CNT_AddCycle();
    EXPECT_EQ(s.alarmDurations.size(), 100);
    EXPECT_EQ(s.alarmDurations.first(), 51);
    EXPECT_EQ(average, 100);   // (51 + 150) / 2, truncated
    EXPECT_EQ(s.CNT_AddCycle(), 100);
    EXPECT_EQ(s.alarmDurations.size(), 100);
}

TEST(Statistics, RegionFailingTwiceCountsTwo)
{
    NetStatistics s = Fresh();
    s.ChkandAddStaticticsItem(2, 1, 3);
    s.ChkandAddStaticticsItem(2, 1, 3);
    s.ChkandAddStaticticsItem(2, 1, 0);
    StatisticsReportInputs in = Inputs(5, 1);
    in.camerasInUse = 3;
    const Parsed r(s.Report(in));
    const cJSON* cam = Camera(r.root, 0);
    EXPECT_STREQ(Str(cam, "camera_id"), "3");
    const cJSON* step = At(cam, "ng_monitors", 0);
    EXPECT_EQ(Num(step, "time"), 2);
    EXPECT_EQ(Num(At(step, "alarm", 0), "alarm_area_num"), 1);   // ascending region order
    const cJSON* twice = At(step, "alarm", 1);
    EXPECT_EQ(Num(twice, "alarm_area_num"), 4);
    EXPECT_EQ(Num(twice, "alarm_result"), 2);
    EXPECT_STREQ(Str(twice, "alarm_algorithm_type"), "----");
}

TEST(Statistics, CameraKeyOutsideTheRangeDiscardsTheReport)
{
    NetStatistics s = Fresh();
    s.ChkandAddStaticticsItem(8, 0, 0);
    EXPECT_TRUE(s.Report(Inputs(1, 1)).isEmpty());
    s.InitStatistics(kStart, QStringLiteral("/nonexistent/Statistics"));
    EXPECT_FALSE(s.Report(Inputs(1, 1)).isEmpty());
}

// A stored file: restore rules.
class StatisticsFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("Statistics")); }
    void store(const QByteArray& text)
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    // A report with camera keys 0..cameras-1, regions 0..regions-1 of step 1.
    QByteArray report(int cameras, int regions)
    {
        NetStatistics s = Fresh();
        for (int c = 0; c < cameras; ++c)
            for (int r = 0; r < regions; ++r)
                s.ChkandAddStaticticsItem(c, 1, r);
        s.CNT_AddNgTimes(700);
        StatisticsReportInputs in = Inputs(30, 2);
        in.camerasInUse = cameras;
        return s.Report(in);
    }
};

TEST_F(StatisticsFile, RestartKeepsTheTreeAndTimes)
{
    store(report(2, 3));
    NetStatistics s;
    s.InitStatistics(kStart + 999999, path());
    EXPECT_TRUE(s.statistics.isRestored);
    EXPECT_EQ(s.statistics.start_utc, kStart);
    EXPECT_EQ(s.statistics.total_stop_alarm_timelen, 700);
    EXPECT_EQ(s.statistics.product_name, QByteArray("cap"));
    EXPECT_EQ(s.statistics.product_serial, QByteArray("42"));
    ASSERT_EQ(s.statistics.cameras.keys(), (QList<int>{0, 1}));
    EXPECT_EQ(s.statistics.cameras[1].camera_id, QByteArray("2"));
    EXPECT_EQ(s.statistics.cameras[1].ng_monitors[1].alarm[2].alarm_result, 1);
    s.ChkandAddStaticticsItem(1, 1, 2);
    EXPECT_EQ(s.statistics.cameras[1].ng_monitors[1].alarm[2].alarm_result, 2);
    EXPECT_TRUE(QFile::exists(path()));
}

TEST_F(StatisticsFile, LongFileRestoresWhole)
{
    const QByteArray text = report(8, 40);
    ASSERT_GT(text.size(), 8191);
    store(text);
    NetStatistics s;
    s.InitStatistics(kStart, path());
    ASSERT_EQ(s.statistics.cameras.size(), 8);
    EXPECT_EQ(s.statistics.cameras[7].ng_monitors[1].alarm.size(), 40);
}

TEST_F(StatisticsFile, MissingTopKeyKeepsEarlierValuesAndDeletesTheFile)
{
    QByteArray text = report(1, 1);
    text.replace("\"watch_circle\"", "\"watch_cycle\"");
    store(text);
    NetStatistics s;
    s.InitStatistics(kStart + 5, path());
    EXPECT_FALSE(s.statistics.isRestored);
    EXPECT_EQ(s.statistics.start_utc, kStart);
    EXPECT_EQ(s.statistics.ng_notification_rate, 666);
    EXPECT_TRUE(s.statistics.cameras.isEmpty());
    EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(StatisticsFile, UnparsableFileStaysAndTheRecordIsReset)
{
    store("{\"product_name\": ");
    NetStatistics s;
    s.InitStatistics(kStart + 5, path());
    EXPECT_EQ(s.statistics.start_utc, kStart + 5);
    EXPECT_EQ(s.statistics.product_name, QByteArray("no set"));
    EXPECT_TRUE(QFile::exists(path()));
}

TEST_F(StatisticsFile, CameraLackingAKeyEndsTheCameraList)
{
    QByteArray text = report(3, 1);
    // The second camera loses "now_monitor_period": it and the third are dropped.
    const int second = text.indexOf("\"camera_id\":\t\"2\"");
    ASSERT_GT(second, 0);
    const int key = text.indexOf("\"now_monitor_period\"", second);
    text.replace(key, 20, "\"now_monitor_perixd\"");
    store(text);
    NetStatistics s;
    s.InitStatistics(kStart, path());
    EXPECT_TRUE(s.statistics.isRestored);
    EXPECT_EQ(s.statistics.cameras.keys(), QList<int>{0});
}

TEST_F(StatisticsFile, KeysIgnoreCaseAndWrongTypesCountAsMissing)
{
    QByteArray text = report(1, 1);
    text.replace("\"product_name\"", "\"PRODUCT_NAME\"");
    store(text);
    NetStatistics s;
    s.InitStatistics(kStart, path());
    EXPECT_TRUE(s.statistics.isRestored);
    text.replace("\"products_num\":\t5000", "\"products_num\":\t\"5000\"");
    store(text);
    s.InitStatistics(kStart, path());
    EXPECT_FALSE(s.statistics.isRestored);
    EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(StatisticsFile, StoredCameraNineDiscardsTheFirstReport)
{
    QByteArray text = report(1, 1);
    text.replace("\"camera_id\":\t\"1\"", "\"camera_id\":\t\"9\"");
    store(text);
    NetStatistics s;
    s.InitStatistics(kStart, path());
    ASSERT_EQ(s.statistics.cameras.keys(), QList<int>{8});
    EXPECT_TRUE(s.Report(Inputs(1, 0)).isEmpty());
}

TEST(Statistics, SaveToFileReportsAnUnwritablePlace)
{
    EXPECT_FALSE(CNT_Path_Statistics::SaveToFile("{}", 2, QStringLiteral("/nonexistent/dir/Statistics")));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Statistics"));
    ASSERT_TRUE(CNT_Path_Statistics::SaveToFile("{\"a\":1}", 7, path));
    ASSERT_TRUE(CNT_Path_Statistics::SaveToFile("{}", 2, path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("{}"));
}

// The per-cycle result.
namespace {
CycleReportInputs Cycle()
{
    CycleReportInputs in;
    in.host = QStringLiteral("mm-07");
    in.utc = 1700000000123;
    in.runState = 1;
    in.trigSource = -2;
    in.productName = "cap";
    in.productBatch = 7;
    in.plannedQuantity = 900;
    in.cavities = 4;
    in.operatorName = "li";
    in.isNg = true;
    in.camerasInUse = 2;
    in.allNum = {10, 11, 0, 0, 0, 0, 0, 0};
    in.failNum = {1, 2, 0, 0, 0, 0, 0, 0};
    return in;
}
}  // namespace

TEST(CycleReport, GroupsRegionsByCameraAndStep)
{
    const QList<param_roi> results = {
        {1, 0, 0, 2, 55, 10, 90, 1}, {0, 0, 0, 1, 5, 0, 3, 0}, {1, 0, 1, 2, 95, 10, 90, 0},
        {1, 5, 0, 2, 1, 0, 9, 1},   // step 6: camera element only
        {3, 0, 0, 1, 1, 0, 9, 1},   // camera not in use
    };
    const Parsed r(NetStatistics::CycleReport(Cycle(), results));
    EXPECT_STREQ(Str(r.root, "state"), "正在检测");
    EXPECT_STREQ(Str(r.root, "detect_method"), "模腔手动抓拍");
    EXPECT_STREQ(Str(r.root, "product_serial"), "7");
    EXPECT_EQ(Num(r.root, "product_moldcavity"), 4);
    EXPECT_EQ(Num(r.root, "result"), 1);
    const cJSON* array = cJSON_GetObjectItemCaseSensitive(r.root, "array");
    ASSERT_EQ(cJSON_GetArraySize(array), 2);
    const cJSON* cam2 = cJSON_GetArrayItem(array, 0);
    EXPECT_EQ(Num(cam2, "camera_id"), 2);
    EXPECT_EQ(Num(cam2, "device_ng"), 2);
    EXPECT_EQ(Num(cam2, "device_all"), 11);
    const cJSON* step1 = At(cam2, "detect_array", 0);
    EXPECT_EQ(Num(step1, "detect_id"), 1);
    ASSERT_EQ(cJSON_GetArraySize(cJSON_GetObjectItemCaseSensitive(step1, "roi_array")), 2);
    const cJSON* roi2 = At(step1, "roi_array", 1);
    EXPECT_EQ(Num(roi2, "roi_id"), 2);
    EXPECT_EQ(Num(roi2, "algorithm_type"), 2);
    EXPECT_EQ(Num(roi2, "algorithm_result"), 95);
    EXPECT_EQ(Num(roi2, "algorithm_premin"), 10);
    EXPECT_EQ(Num(roi2, "algorithm_premax"), 90);
    EXPECT_EQ(Num(roi2, "is_alarm"), 0);
    EXPECT_EQ(cJSON_GetArraySize(cJSON_GetObjectItemCaseSensitive(cam2, "detect_array")), 1);
    EXPECT_EQ(Num(cJSON_GetArrayItem(array, 1), "camera_id"), 1);
}

TEST(CycleReport, StepSixListsTheCameraWithAnEmptyStepList)
{
    const Parsed r(NetStatistics::CycleReport(Cycle(), {{0, 5, 0, 1, 1, 0, 9, 1}}));
    const cJSON* cam = At(r.root, "array", 0);
    EXPECT_EQ(Num(cam, "device_ng"), 1);
    EXPECT_EQ(Num(cam, "device_all"), 10);
    EXPECT_EQ(cJSON_GetArraySize(cJSON_GetObjectItemCaseSensitive(cam, "detect_array")), 0);
}

TEST(CycleReport, StateAndMethodTexts)
{
    const struct { int code; const char* state; const char* method; } table[] = {
        {1, "正在检测", "开模到位"}, {2, "模板训练中", "安全门"}, {3, "停止检测", "顶针"}, {0, "", ""}, {4, "", ""}};
    for (const auto& t : table) {
        EXPECT_STREQ(NetStatistics::RunStateText(t.code), t.state);
        EXPECT_STREQ(NetStatistics::DetectMethodText(t.code), t.method);
    }
    EXPECT_STREQ(NetStatistics::DetectMethodText(-1), "成品手动抓拍");
}
