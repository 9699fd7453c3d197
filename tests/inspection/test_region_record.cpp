// The region record of a camera and its PARAM.db table "cammer<c>": rows
// loaded with their defaults and clamps (malformed rows included), the save
// format, and a save that fails part-way changing nothing.

#include "framescale.h"

#include "inspection/cammersingleton.h"

#include "core/defaults.h"
#include "tests/common/testsupport.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include <map>
#include <memory>
#include <vector>

namespace {

std::vector<int> gWarnings;
std::vector<std::pair<int, int>> gSaved;

void recordWarning(int text)
{
    gWarnings.push_back(text);
}

void recordSaved(int camera, int detect)
{
    gSaved.emplace_back(camera, detect);
}

class RegionTable : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("regions"));
        db.setDatabaseName(work.file(QStringLiteral("PARAM.db")));
        ASSERT_TRUE(db.open());
        exec(QStringLiteral("create table cammer3(name varchar(40), value varchar(400))"));
        gWarnings.clear();
        gSaved.clear();
        CammerSingleton::SetWarningHook(recordWarning);
        CammerSingleton::SetSavedHook(recordSaved);
    }
    void TearDown() override
    {
        CammerSingleton::SetWarningHook(nullptr);
        CammerSingleton::SetSavedHook(nullptr);
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("regions"));
    }

    void exec(const QString& sql)
    {
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec(sql)) << sql.toStdString();
    }
    void put(const QString& name, const QString& value)
    {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("insert into cammer3 values(?, ?)"));
        q.addBindValue(name);
        q.addBindValue(value);
        ASSERT_TRUE(q.exec());
    }
    std::map<QString, QString> rows()
    {
        std::map<QString, QString> out;
        QSqlQuery q(db);
        q.exec(QStringLiteral("select name, value from cammer3"));
        while (q.next())
            out[q.value(0).toString()] = q.value(1).toString();
        return out;
    }
    std::unique_ptr<CammerSingleton> load(RegionMasks* masks = nullptr)
    {
        auto record = std::make_unique<CammerSingleton>(3);
        record->LoadDatafromFile(db, masks);
        return record;
    }

    TempWorkDir work;
    FrameScale scale{1280, 1024};
    QSqlDatabase db;
};

TEST_F(RegionTable, EmptyTableLoadsEightEmptyStepsAndAddsTheirRows)
{
    const auto record = load();
    for (int d = 0; d < kMaxDetects; ++d)
        EXPECT_EQ(record->roiNum[d], 0);
    const auto stored = rows();
    ASSERT_EQ(stored.size(), 8u);
    for (int d = 0; d < kMaxDetects; ++d)
        EXPECT_EQ(stored.at(QStringLiteral("detect%1").arg(d)), QStringLiteral("0"));
    EXPECT_TRUE(gWarnings.empty());
}

// Each stored region value, read into slot (0, 0), and the value the record
// writes back for it: defaults, clamps and malformed rows.
TEST_F(RegionTable, RegionRowsLoadWithDefaultsAndClamps)
{
    struct Case {
        const char* stored;   // nullptr: no row
        const char* saved;
        int maskRows, maskCols;   // 0: no mask
    } cases[] = {
        {"5 25 100 0 1 0 0 50 50 100 100", "5 25 100 0 1 0 0 50 50 100 100", 53, 38},
        {nullptr, "5 25 100 0 1 0 0 50 50 100 100", 53, 38},
        {"1 2 3 6 4 2 0 500 400 1310780", "1 2 3 6 4 2 0 500 400 1310780", 108, 108},
        {"7 8 9 0 2 1 3 10 10 200 10 100 150 ", "7 8 9 0 2 1 3 10 10 200 10 100 150 ", 146, 141},
        {"7 8 9 0 2 1 0 ", "5 25 100 0 1 0 0 50 50 100 100", 53, 38},          // polygon of 0 points
        {"7 8 9 0 2 1 8097 1 1", "5 25 100 0 1 0 0 50 50 100 100", 53, 38},     // of 8,097
        {"7 8 9 0 2 1 -1 1 1", "5 25 100 0 1 0 0 50 50 100 100", 53, 38},
        {"5 25 100 0 1 4 0 50 50 100 100", "5 25 100 0 1 0 0 50 50 100 100", 53, 38},   // NG output 4
        {"5 25 100 0 1 -1 0 50 50 100 100", "5 25 100 0 1 0 0 50 50 100 100", 53, 38},
        {"5 25 100 0 1 3 0 -10 50 3000 1200", "5 25 100 0 1 3 0 0 50 1724 981", 972, 1280},   // clamped
        {"1 2 3 0 4 0 0 -50 2000 1310780", "1 2 3 0 4 0 0 0 981 1310780", 108, 108},
        {"1 2 3 0 4 0 0 800 400 4294967295", "1 2 3 0 4 0 0 800 400 0", 0, 0},             // unreadable v
        {"1 2 3 0 4 0 0 800 400 -1", "1 2 3 0 4 0 0 800 400 56492894", 1538, 1538},       // radius cut to 862
        {"1 2 3 0 4 0 0 800 400 2621450", "1 2 3 0 4 0 0 800 400 655370", 18, 18},        // inner > outer
        {"5 25 100 0 1 0 0 50 50", "5 25 100 0 1 0 0 50 50 0 0", 0, 0},                   // truncated
        {"5 25 100 0 2 0 2 10 10", "5 25 100 0 2 0 2 10 10 0 0 ", 10, 7},                   // pairs missing
        {"1 2 3 0 3 0 0 1 2 3 4", "1 2 3 0 3 0 ", 0, 0},                                   // unknown shape
        {"abc", "0 0 0 0 0 0 ", 0, 0},
        {"5 25 x 0 1 0 0 50 50 100 100", "5 25 0 0 0 0 ", 0, 0},
        {"", "0 0 0 0 0 0 ", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "(no row)");
        exec(QStringLiteral("delete from cammer3"));
        put(QStringLiteral("detect0"), QStringLiteral("1"));
        if (c.stored)
            put(QStringLiteral("ROI0-0"), QString::fromLatin1(c.stored));
        RegionMasks masks;
        const auto record = load(&masks);
        ASSERT_EQ(record->roiNum[0], 1);
        EXPECT_EQ(record->RegionText(0, 0), QString::fromLatin1(c.saved));
        EXPECT_EQ(masks[0][0].rows, c.maskRows);
        EXPECT_EQ(masks[0][0].cols, c.maskCols);
        if (!masks[0][0].empty()) {
            EXPECT_EQ(masks[0][0].size(), record->MakeMask(0, 0).size());
            const QRect box = record->ImageBox(0, 0);
            EXPECT_EQ(box.height(), c.maskRows);
            EXPECT_EQ(box.width(), c.maskCols);
        }
    }
}

// A region alike the same region of an earlier step (a copied step) shares
// its mask; every mask is the one its region makes.
TEST_F(RegionTable, RegionsAlikeInEarlierStepsShareTheirMasks)
{
    const QString rect = QStringLiteral("5 25 100 0 1 0 0 50 50 100 100");
    const QString circle = QStringLiteral("1 2 3 0 4 0 0 800 400 1310780");
    const QString smallCircle = QStringLiteral("1 2 3 0 4 0 0 800 400 2621450");
    for (int d : {0, 1, 2})
        put(QStringLiteral("detect%1").arg(d), QStringLiteral("2"));
    put(QStringLiteral("ROI0-0"), rect);
    put(QStringLiteral("ROI0-1"), circle);
    put(QStringLiteral("ROI1-0"), rect);
    put(QStringLiteral("ROI1-1"), smallCircle);
    put(QStringLiteral("ROI2-0"), circle);
    put(QStringLiteral("ROI2-1"), circle);
    RegionMasks masks;
    const auto record = load(&masks);
    for (int d : {0, 1, 2}) {
        for (int r : {0, 1}) {
            ASSERT_FALSE(masks[d][r].empty()) << d << " " << r;
            EXPECT_EQ(cv::norm(masks[d][r], record->MakeMask(d, r), cv::NORM_INF), 0) << d << " " << r;
        }
    }
    EXPECT_EQ(masks[1][0].data, masks[0][0].data);
    EXPECT_NE(masks[1][1].data, masks[0][1].data);
    EXPECT_NE(masks[2][0].data, masks[0][0].data);   // another region's place
    EXPECT_EQ(masks[2][1].data, masks[0][1].data);
}

TEST_F(RegionTable, StepRowGivesCountAndFlagsMissingNumbersReadZero)
{
    put(QStringLiteral("detect0"), QStringLiteral("2 1 0 2 0 0 0 0 1"));
    put(QStringLiteral("detect1"), QStringLiteral("1 2 3"));
    put(QStringLiteral("ROI1-0"), QStringLiteral("5 25 100 0 1 2 0 60 60 100 100"));
    put(QStringLiteral("ROI1-1"), QStringLiteral("5 25 100 0 1 1 0 60 60 100 100"));   // beyond the count
    const auto record = load();
    EXPECT_EQ(record->roiNum[0], 2);
    const int flags0[] = {1, 0, 2, 0, 0, 0, 0, 1};
    const int flags1[] = {2, 3, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < kDetectFlags; ++i) {
        EXPECT_EQ(record->detectFlag[0][i], flags0[i]);
        EXPECT_EQ(record->detectFlag[1][i], flags1[i]);
    }
    EXPECT_EQ(record->roiNum[1], 1);
    EXPECT_EQ(record->rects[1][0].rect.left(), 60);
    // One NG output per region number: the highest step having region 0 wins.
    EXPECT_EQ(record->outN[0], 2);
    EXPECT_EQ(record->outN[1], 0);
}

TEST_F(RegionTable, StepCountOutsideZeroTo50WarnsAndLoadsNoRegions)
{
    put(QStringLiteral("detect0"), QStringLiteral("51"));
    put(QStringLiteral("detect1"), QStringLiteral("-1"));
    put(QStringLiteral("detect2"), QStringLiteral("50"));
    const auto record = load();
    EXPECT_EQ(record->roiNum[0], 0);
    EXPECT_EQ(record->roiNum[1], 0);
    EXPECT_EQ(record->roiNum[2], 50);
    EXPECT_EQ(gWarnings, (std::vector<int>{0, 0}));
    EXPECT_EQ(record->RegionText(2, 49), QStringLiteral("5 25 100 0 1 0 0 50 50 100 100"));
}

TEST_F(RegionTable, SaveWritesTheStoredFormatAndDeletesRegionsCut)
{
    put(QStringLiteral("detect0"), QStringLiteral("5"));
    for (int r = 0; r < 5; ++r)
        put(QStringLiteral("ROI0-%1").arg(r), QStringLiteral("5 25 100 0 1 0 0 50 50 100 100"));
    auto record = load();
    CammerSingleton& rec = *record;
    rec.roiNum[0] = 3;
    rec.detectFlag[0][1] = 2;
    rec.roiType[0][1] = kRoiCircle;
    rec.circles[0][1].cx = 300;
    rec.circles[0][1].cy = 200;
    rec.circles[0][1].r = 60;
    rec.circles[0][1].rIn = 20;
    rec.outN[1] = 3;
    rec.roiType[0][2] = kRoiPolygon;
    const QPoint pts[] = {{1, 2}, {30, 4}, {5, 60}};
    rec.polygons[0][2].setPoints(3, pts);
    rec.roiNum[4] = 1;
    rec.SetDefaultRegion(4, 0);
    rec.sensitivity[4][0] = 40;
    ASSERT_TRUE(rec.SaveDatatoFile(db));

    const auto stored = rows();
    EXPECT_EQ(stored.at(QStringLiteral("detect0")), QStringLiteral("3 0 2 0 0 0 0 0 0"));
    EXPECT_EQ(stored.at(QStringLiteral("detect4")), QStringLiteral("1 0 0 0 0 0 0 0 0"));
    EXPECT_EQ(stored.at(QStringLiteral("ROI0-0")), QStringLiteral("5 25 100 0 1 0 0 50 50 100 100"));
    EXPECT_EQ(stored.at(QStringLiteral("ROI0-1")), QStringLiteral("5 25 100 0 4 3 0 300 200 1310780"));
    EXPECT_EQ(stored.at(QStringLiteral("ROI0-2")), QStringLiteral("5 25 100 0 2 0 3 1 2 30 4 5 60 "));
    EXPECT_EQ(stored.at(QStringLiteral("ROI4-0")), QStringLiteral("5 40 100 0 1 0 0 50 50 100 100"));
    EXPECT_EQ(stored.count(QStringLiteral("ROI0-3")), 0u);
    EXPECT_EQ(stored.count(QStringLiteral("ROI0-4")), 0u);
    EXPECT_EQ(stored.size(), 8u + 4u);

    std::vector<std::pair<int, int>> steps;
    for (int d = 0; d < kMaxDetects; ++d)
        steps.emplace_back(3, d);
    EXPECT_EQ(gSaved, steps);

    // What was saved loads back the same.
    const auto again = load();
    for (int d = 0; d < kMaxDetects; ++d) {
        ASSERT_EQ(again->roiNum[d], rec.roiNum[d]);
        for (int r = 0; r < rec.roiNum[d]; ++r)
            EXPECT_EQ(again->RegionText(d, r), rec.RegionText(d, r));
    }
}

TEST_F(RegionTable, SaveThatFailsPartWayChangesNothingAndSaysSo)
{
    put(QStringLiteral("detect0"), QStringLiteral("1"));
    put(QStringLiteral("ROI0-0"), QStringLiteral("5 25 100 0 1 0 0 50 50 100 100"));
    auto record = load();
    const auto before = rows();
    record->sensitivity[0][0] = 77;
    record->roiNum[2] = 3;
    exec(QStringLiteral("create trigger refuse before insert on cammer3 when new.name = 'ROI2-2' "
                        "begin select raise(abort, 'disk full'); end"));
    EXPECT_FALSE(record->SaveDatatoFile(db));
    EXPECT_EQ(rows(), before);
    EXPECT_EQ(gWarnings, std::vector<int>{1});
    EXPECT_TRUE(gSaved.empty());

    exec(QStringLiteral("drop trigger refuse"));
    EXPECT_TRUE(record->SaveDatatoFile(db));
    EXPECT_EQ(rows().at(QStringLiteral("ROI0-0")), QStringLiteral("5 77 100 0 1 0 0 50 50 100 100"));
}

// A table that lacks a step's row when the regions are saved: the save adds
// it, so the next start reads the step's regions.
TEST_F(RegionTable, SaveAddsAMissingStepRow)
{
    auto record = load();
    exec(QStringLiteral("delete from cammer3 where name = 'detect2'"));
    record->roiNum[2] = 1;
    record->SetDefaultRegion(2, 0);
    ASSERT_TRUE(record->SaveDatatoFile(db));
    ASSERT_EQ(rows().count(QStringLiteral("detect2")), 1u);
    EXPECT_EQ(rows().at(QStringLiteral("detect2")), QStringLiteral("1 0 0 0 0 0 0 0 0"));
    EXPECT_EQ(load()->roiNum[2], 1);
}

TEST_F(RegionTable, SaveWithoutTheTableFails)
{
    CammerSingleton other(5);
    EXPECT_FALSE(other.SaveDatatoFile(db));
    EXPECT_EQ(gWarnings, std::vector<int>{1});
}

TEST_F(RegionTable, PolygonOfMostPointsRoundTrips)
{
    std::vector<QPoint> pts;
    for (int i = 0; i < RePolygon::kMaxPoints; ++i)
        pts.emplace_back(100 + i % 1000, 100 + (i / 1000) * 50 + (i % 2));
    auto record = load();
    record->roiNum[0] = 1;
    record->roiType[0][0] = kRoiPolygon;
    record->polygons[0][0].setPoints(static_cast<int>(pts.size()) + 5, pts.data());
    ASSERT_TRUE(record->SaveDatatoFile(db));
    const auto again = load();
    EXPECT_EQ(again->polygons[0][0].count(), RePolygon::kMaxPoints);
    EXPECT_EQ(again->RegionText(0, 0), record->RegionText(0, 0));
}

TEST(RegionRecord, IsSmallAndCopiedByValue)
{
    // 8 cameras keep two records each.
    EXPECT_LT(sizeof(CammerSingleton), 256u * 1024u);
    auto a = std::make_unique<CammerSingleton>(1);
    const QPoint pts[] = {{1, 1}, {9, 1}, {9, 9}};
    a->polygons[2][3].setPoints(3, pts);
    auto b = std::make_unique<CammerSingleton>(*a);
    b->polygons[2][3].pts[0] = QPoint(5, 5);
    EXPECT_EQ(a->polygons[2][3].pts[0], QPoint(1, 1));
    EXPECT_EQ(CammerSingleton(9).camera, 7);
}

TEST(RegionDefaults, DefaultParamHoldsEveryCameraTable)
{
    TempWorkDir work;
    CammerSingleton::RegisterDefaultTables();
    CammerSingleton::RegisterDefaultTables();   // once is enough
    ASSERT_TRUE(WriteDefaultFiles(work.path()));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("defaults"));
        db.setDatabaseName(work.file(QStringLiteral("paraGroup/default/PARAM.db")));
        ASSERT_TRUE(db.open());
        for (int c = 0; c < kMaxCameras; ++c) {
            QSqlQuery q(db);
            ASSERT_TRUE(q.exec(QStringLiteral("select name, value from cammer%1 order by name").arg(c)));
            int n = 0;
            while (q.next()) {
                EXPECT_EQ(q.value(0).toString(), QStringLiteral("detect%1").arg(n));
                EXPECT_EQ(q.value(1).toString(), QStringLiteral("0"));
                ++n;
            }
            EXPECT_EQ(n, kMaxDetects) << "cammer" << c;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("defaults"));
}

}  // namespace
