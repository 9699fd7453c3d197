// Manual stops: opening and closing, the body, the stored file; reminders.

#include "network/netmanualstop.h"

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

QDateTime At(const char* hms)
{
    return QDateTime(QDate(2026, 3, 4), QTime::fromString(QLatin1String(hms), QStringLiteral("hh:mm:ss")));
}

QStringList Keys(const cJSON* o)
{
    QStringList keys;
    for (const cJSON* item = o->child; item; item = item->next)
        keys << QString::fromUtf8(item->string);
    return keys;
}

}  // namespace

struct StopCase {
    const char* stop;
    const char* start;
    const char* openSlot;
    const char* closedSlot;
    int minutes;
};

class ManualStopTimes : public ::testing::TestWithParam<StopCase> {};

TEST_P(ManualStopTimes, StopThenStart)
{
    const StopCase c = GetParam();
    CNT_Path_ManualStop m;
    m.stop_check_timelen = 5;
    m.Update(true, At(c.stop), "li");
    EXPECT_EQ(m.stop_check_timeslot, QByteArray(c.openSlot));
    EXPECT_EQ(m.utc, At(c.stop).toMSecsSinceEpoch());
    m.Update(false, At(c.start), "wang");
    EXPECT_EQ(m.stop_check_timeslot, QByteArray(c.closedSlot));
    EXPECT_EQ(m.stop_check_timelen, 5 + c.minutes);
    EXPECT_EQ(m.utc, At(c.stop).toMSecsSinceEpoch());   // the start of the last stop
    EXPECT_EQ(m.operator_id, QByteArray("wang"));
    EXPECT_EQ(m.disalarm_operator_id, QByteArray("wang"));
}

INSTANTIATE_TEST_SUITE_P(Table, ManualStopTimes, ::testing::Values(
    StopCase{"08:15:00", "08:40:00", "08:15---:--", "08:15-08:40", 25},
    StopCase{"08:15:50", "08:16:20", "08:15---:--", "08:15-08:16", 0},
    StopCase{"23:50:00", "23:59:59", "23:50---:--", "23:50-23:59", 9},
    // A clock set back never takes minutes away.
    StopCase{"08:40:00", "08:15:00", "08:40---:--", "08:40-08:15", 0}));

TEST(ManualStop, StartWithNoStopOpenChangesNothingButTheOperator)
{
    CNT_Path_ManualStop m;
    const CNT_Path_ManualStop before = m;
    m.Update(false, At("09:00:00"), "li");
    EXPECT_EQ(m.stop_check_timeslot, before.stop_check_timeslot);
    EXPECT_EQ(m.utc, before.utc);
    EXPECT_EQ(m.stop_check_timelen, 0);
    EXPECT_EQ(m.operator_id, QByteArray("li"));
    m.Update(true, At("09:10:00"), "li");
    m.Update(false, At("09:20:00"), "li");
    m.Update(false, At("09:30:00"), "li");   // the stop is closed already
    EXPECT_EQ(m.stop_check_timeslot, QByteArray("09:10-09:20"));
    EXPECT_EQ(m.stop_check_timelen, 10);
}

TEST(ManualStop, FirstBodyHasTheConstructionValues)
{
    CNT_Path_ManualStop m;
    m.Update(true, At("08:15:00"), "--");
    const Parsed r(m.Body(QStringLiteral("mm-07"), 1));
    EXPECT_EQ(Keys(r.root), QStringList({"device_id", "state", "utc", "stop_check_timeslot", "stop_check_timelen",
                                         "timeout_time", "operator_id", "disalarm_operator_id",
                                         "stop_check_reason"}));
    EXPECT_EQ(cJSON_GetObjectItem(r.root, "state")->valueint, 1);
    EXPECT_EQ(cJSON_GetObjectItem(r.root, "timeout_time")->valueint, 0);
    EXPECT_STREQ(cJSON_GetObjectItem(r.root, "stop_check_reason")->valuestring, "--");
    EXPECT_STREQ(cJSON_GetObjectItem(r.root, "stop_check_timeslot")->valuestring, "08:15---:--");
    EXPECT_EQ(qint64(cJSON_GetObjectItem(r.root, "utc")->valuedouble), At("08:15:00").toMSecsSinceEpoch());
}

TEST(ManualStop, ConstructionTime)
{
    EXPECT_EQ(QDateTime::fromMSecsSinceEpoch(CNT_Path_ManualStop().utc).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
              QStringLiteral("1970-11-12 13:14:15"));
    EXPECT_EQ(CNT_Path_ManualStop().stop_check_timeslot, QByteArray());
}

TEST(ManualStop, RestoredOpenStopStaysOpenAndKeepsTheTotal)
{
    CNT_Path_ManualStop stored;
    stored.stop_check_timelen = 40;
    stored.Update(true, At("07:00:00"), "li");
    CNT_Path_ManualStop m;
    ASSERT_TRUE(m.Restore(stored.Body(QStringLiteral("h"), 1)));
    EXPECT_TRUE(m.isRestored);
    EXPECT_TRUE(m.isOpen());
    EXPECT_EQ(m.stop_check_timelen, 40);
    EXPECT_EQ(m.utc, At("07:00:00").toMSecsSinceEpoch());
    EXPECT_EQ(m.operator_id, QByteArray("li"));
}

TEST(ManualStop, FileWithoutReasonTakesTheEarlierKeys)
{
    CNT_Path_ManualStop stored;
    stored.stop_check_timelen = 12;
    stored.timeout_time = 3;
    stored.Update(true, At("07:00:00"), "li");
    QByteArray text = stored.Body(QStringLiteral("h"), 1);
    text.replace("\"stop_check_reason\"", "\"reason\"");
    CNT_Path_ManualStop m;
    EXPECT_FALSE(m.Restore(text));
    EXPECT_FALSE(m.isRestored);
    EXPECT_EQ(m.utc, stored.utc);
    EXPECT_EQ(m.stop_check_timeslot, QByteArray("07:00---:--"));
    EXPECT_EQ(m.stop_check_timelen, 12);
    EXPECT_EQ(m.timeout_time, 3);
    EXPECT_EQ(m.disalarm_operator_id, QByteArray("li"));
    EXPECT_EQ(m.stop_check_reason, QByteArray("--"));
}

TEST(ManualStop, UnparsableTextChangesNothing)
{
    CNT_Path_ManualStop m;
    EXPECT_TRUE(m.Restore("{\"utc\": 5"));
    EXPECT_TRUE(m.isRestored);
    EXPECT_EQ(m.utc, CNT_Path_ManualStop::InitialUtc());
}

// Reminders.
namespace {
QByteArray Reminder(qint64 utc)
{
    return QByteArray("{\"device_id\":\"h\",\"utc\":") + QByteArray::number(utc) + ",\"description\":\"oil\"}";
}

QList<qint64> Times(const QByteArray& doc)
{
    const Parsed p(doc);
    QList<qint64> times;
    const cJSON* item = nullptr;
    cJSON_ArrayForEach(item, cJSON_GetObjectItem(p.root, "remind"))
        times << qint64(cJSON_GetObjectItem(item, "utc")->valuedouble);
    return times;
}
}  // namespace

TEST(Remind, AddingToAMissingFileCreatesTheList)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Remind"));
    CNT_Path_Remind::SaveToFile(Reminder(1).constData(), Reminder(1).size(), path);
    CNT_Path_Remind::SaveToFile(Reminder(2).constData(), Reminder(2).size(), path);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(Times(f.readAll()), (QList<qint64>{1, 2}));
}

TEST(Remind, AddCases)
{
    const QByteArray noList = "{\"other\": []}";
    EXPECT_TRUE(CNT_Path_Remind::Added(&noList, Reminder(1)).isNull());
    const QByteArray broken = "{\"remind\": [";
    EXPECT_EQ(Times(CNT_Path_Remind::Added(&broken, Reminder(3))), QList<qint64>{3});
    EXPECT_EQ(Times(CNT_Path_Remind::Added(nullptr, "not json")), QList<qint64>{});
    // A long list is read whole.
    QByteArray doc = CNT_Path_Remind::Added(nullptr, Reminder(0));
    for (int i = 1; i < 300; ++i)
        doc = CNT_Path_Remind::Added(&doc, Reminder(i));
    ASSERT_GT(doc.size(), 8191);
    EXPECT_EQ(Times(doc).size(), 300);
}

TEST(Remind, RemoveCases)
{
    QByteArray doc = CNT_Path_Remind::Added(nullptr, Reminder(5));
    doc = CNT_Path_Remind::Added(&doc, Reminder(6));
    doc = CNT_Path_Remind::Added(&doc, Reminder(5));
    EXPECT_EQ(Times(CNT_Path_Remind::Removed(doc, 5)), (QList<qint64>{6, 5}));
    EXPECT_EQ(CNT_Path_Remind::Removed(doc, 99), doc);
    EXPECT_TRUE(CNT_Path_Remind::Removed("{\"remind\": [", 5).isNull());
    QTemporaryDir dir;
    EXPECT_FALSE(CNT_Path_Remind::RemoveFromFile(5, dir.filePath(QStringLiteral("Remind"))));
}
