// The edited region record moved into force and stored in PARAM.db, and
// back: nothing lost on the way (a missing step row is inserted), deleting
// one region or all of a step, and the product step's regions standing in
// for the mould step's.

#include "inspection/cameraworkset.h"
#include "inspection/editedregions.h"
#include "inspection/regionjudge.h"
#include "inspection/templatestore.h"
#include "screen/regionchangelog.h"

#include "core/wizardpara.h"
#include "tests/common/testsupport.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include <map>

namespace {

constexpr int kW = 160;
constexpr int kH = 120;
const char* const kConnection = "editor-param";

class EditedRecord : public ::testing::Test
{
protected:
    void SetUp() override
    {
        keep = {gpWPara, gImageW, gImageH, gShowW, gShowH, gShowAW, gShowAH, gDNum, gTempNum};
        gpWPara = &settings;
        gImageW = gShowW = kW;
        gImageH = gShowH = kH;
        gShowAW = gShowAH = 1.0f;
        gDNum = 2;
        gTempNum = 10;
        settings.detectOn[0] = settings.detectOn[1] = 1;
        view.Allocate(kW, kH, false, gTempNum);
        view.liveRecord = &live;
        view.editRecord = &edit;
        for (cv::Mat& points : view.ignoreImage)
            points = cv::Mat::zeros(kH, kW, CV_8UC1);
        QDir(work.path()).mkpath(QStringLiteral("cammer11"));
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QLatin1String(kConnection));
        db.setDatabaseName(work.file(QStringLiteral("PARAM.db")));
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec(QStringLiteral("create table cammer0(name varchar(40), value varchar(400))"));
        ASSERT_TRUE(live.LoadDatafromFile(db, &view.liveMasks));
    }
    void TearDown() override
    {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QLatin1String(kConnection));
        gpWPara = keep.para;
        gImageW = keep.w;
        gImageH = keep.h;
        gShowW = keep.showW;
        gShowH = keep.showH;
        gShowAW = keep.aw;
        gShowAH = keep.ah;
        gDNum = keep.steps;
        gTempNum = keep.templateSlots;
    }

    // A rectangle of the edited record (display = frame here).
    int addRect(int d, const QRect& r, int func, int b)
    {
        const int i = edit.roiNum[d]++;
        edit.roiType[d][i] = kRoiRect;
        edit.rects[d][i].rect = r;
        edit.func[d][i] = func;
        edit.minWH[d][i] = 3;
        edit.sensitivity[d][i] = b;
        edit.area[d][i] = 100;
        edit.SetImageRect(d, i);
        view.editMasks[d][i] = edit.MakeMask(d, i);
        return i;
    }
    std::map<QString, QString> rows()
    {
        std::map<QString, QString> out;
        QSqlQuery q(db);
        q.exec(QStringLiteral("select name, value from cammer0"));
        while (q.next())
            out[q.value(0).toString()] = q.value(1).toString();
        return out;
    }
    CammerSingleton reloaded()
    {
        CammerSingleton r(0);
        r.LoadDatafromFile(db, nullptr);
        return r;
    }

    struct Kept {
        WizardPara* para;
        int w, h, showW, showH;
        float aw, ah;
        int steps, templateSlots;
    } keep{};
    TempWorkDir work;
    WizardPara settings;
    CammerSingleton live{0};
    CammerSingleton edit{0};
    CameraWorkSet view;
    QSqlDatabase db;
};

TEST_F(EditedRecord, SavedRegionsComeBackFromTheFileAndAMissingStepRowIsInserted)
{
    EditedRegions::OpenEdit(view);
    addRect(0, QRect(10, 10, 40, 30), kFuncDefect, 25);
    addRect(0, QRect(60, 20, 30, 30), kFuncSpot, 7);
    addRect(1, QRect(5, 50, 20, 20), kFuncIgnoreArea, 0);
    QSqlQuery(db).exec(QStringLiteral("delete from cammer0 where name = 'detect1'"));
    ASSERT_EQ(rows().count(QStringLiteral("detect1")), 0u);

    ASSERT_TRUE(EditedRegions::Commit(view, db, settings));
    EXPECT_FALSE(RecordsDiffer(live, edit));
    EXPECT_EQ(rows().at(QStringLiteral("detect0")), QStringLiteral("2 0 0 0 0 0 0 0 0"));
    EXPECT_EQ(rows().at(QStringLiteral("detect1")), QStringLiteral("1 0 0 0 0 0 0 0 0"));
    EXPECT_FALSE(RecordsDiffer(reloaded(), live));
    // The masks judged are the edited ones.
    EXPECT_EQ(view.liveMasks[0][1].data, view.editMasks[0][1].data);
    EXPECT_EQ(cv::countNonZero(view.liveMasks[1][0]), 20 * 20);
}

TEST_F(EditedRecord, DeletingOneRegionOrAllOfAStepIsStoredToo)
{
    EditedRegions::OpenEdit(view);
    addRect(0, QRect(10, 10, 40, 30), kFuncDefect, 25);
    addRect(0, QRect(60, 20, 30, 30), kFuncDefect, 26);
    addRect(0, QRect(100, 50, 30, 30), kFuncDefect, 27);
    addRect(1, QRect(5, 50, 20, 20), kFuncDefect, 28);
    ASSERT_TRUE(EditedRegions::Commit(view, db, settings));

    EditedRegions::OpenEdit(view);
    view.ignoreImage[0].setTo(1);
    TemplateStore::DeleteROI(view, 0, 1);   // the middle one
    ASSERT_TRUE(EditedRegions::Commit(view, db, settings));
    CammerSingleton stored = reloaded();
    ASSERT_EQ(stored.roiNum[0], 2);
    EXPECT_EQ(stored.sensitivity[0][0], 25);
    EXPECT_EQ(stored.sensitivity[0][1], 27);
    EXPECT_EQ(stored.rects[0][1].rect, QRect(100, 50, 30, 30));
    EXPECT_EQ(rows().count(QStringLiteral("ROI0-2")), 0u);
    // Only the deleted region's ignore points went.
    EXPECT_EQ(cv::countNonZero(view.ignoreImage[0]), kW * kH - 30 * 30);

    EditedRegions::OpenEdit(view);
    EditedRegions::DeleteAllROI(view, 0);
    EXPECT_EQ(cv::countNonZero(view.ignoreImage[0]), 0);
    const cv::Mat written = TemplateStore::ReadFrame(TemplateStore::IgnorePointPath(0, 0), kW, kH, 8);
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(cv::countNonZero(written), 0);
    ASSERT_TRUE(EditedRegions::Commit(view, db, settings));
    stored = reloaded();
    EXPECT_EQ(stored.roiNum[0], 0);
    EXPECT_EQ(stored.roiNum[1], 1);   // the other step keeps its region
    EXPECT_EQ(rows().count(QStringLiteral("ROI0-0")), 0u);
}

TEST_F(EditedRecord, OpeningTheEditDropsEarlierEdits)
{
    EditedRegions::OpenEdit(view);
    addRect(0, QRect(10, 10, 40, 30), kFuncDefect, 25);
    EXPECT_TRUE(RecordsDiffer(live, edit));
    EditedRegions::OpenEdit(view);
    EXPECT_FALSE(RecordsDiffer(live, edit));
    EXPECT_EQ(edit.roiNum[0], 0);
}

TEST_F(EditedRecord, ProductRegionsStandInForTheMouldStep)
{
    settings.mouldAsProduct = 1;
    settings.machineType = 0;
    EditedRegions::OpenEdit(view);
    addRect(0, QRect(10, 10, 40, 30), kFuncDefect, 25);
    addRect(0, QRect(60, 20, 30, 30), kFuncSpot, 7);
    addRect(1, QRect(5, 50, 20, 20), kFuncIgnoreArea, 0);   // replaced by the copy
    live.outN[1] = 2;
    edit.outN[1] = 3;
    edit.detectFlag[1][0] = 1;
    edit.rects[0][0].SetSelected(true);

    ASSERT_TRUE(EditedRegions::Commit(view, db, settings));
    ASSERT_EQ(live.roiNum[1], 2);
    for (int r = 0; r < 2; ++r) {
        EXPECT_EQ(live.rects[1][r].rect, live.rects[0][r].rect) << r;
        EXPECT_EQ(live.func[1][r], live.func[0][r]) << r;
        EXPECT_EQ(live.sensitivity[1][r], live.sensitivity[0][r]) << r;
        EXPECT_EQ(view.liveMasks[1][r].data, view.liveMasks[0][r].data) << r;
    }
    EXPECT_FALSE(live.rects[1][0].IsSelected());
    EXPECT_EQ(live.outN[1], 3);            // NG outputs and step flags are not copied
    EXPECT_EQ(live.detectFlag[1][0], 1);
    EXPECT_FALSE(RecordsDiffer(live, edit));   // the edit reopened on the result
    EXPECT_FALSE(RecordsDiffer(reloaded(), live));

    // Without the product step the mould step keeps its own regions.
    settings.detectOn[0] = 0;
    EditedRegions::OpenEdit(view);
    addRect(1, QRect(5, 50, 20, 20), kFuncIgnoreArea, 0);
    ASSERT_TRUE(EditedRegions::Commit(view, db, settings));
    EXPECT_EQ(live.roiNum[1], 3);
}

TEST_F(EditedRecord, AFailedStoreLeavesTheFileAsItWasButTheEditInForce)
{
    EditedRegions::OpenEdit(view);
    addRect(0, QRect(10, 10, 40, 30), kFuncDefect, 25);
    QSqlQuery(db).exec(QStringLiteral("drop table cammer0"));
    EXPECT_FALSE(EditedRegions::Commit(view, db, settings));
    EXPECT_EQ(live.roiNum[0], 1);
}

}  // namespace
