// Good cycles: after a day roll-over (two cameras judged at once), with the
// mould-open input debounced, and the no-input watchdog after one. Line
// words: bit n = output line n; lines 4..7 are high while their outputs are
// off. Also the fixture's premise, checked on the engine in this process.

#include "tests/e2e/e2efixture.h"

#include "core/globals.h"
#include "inspection/cameraworkset.h"
#include "inspection/cammerrecongnize.h"

#include <QDate>
#include <QFile>
#include <QImage>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

#include <opencv2/core.hpp>

#include <cstring>

using namespace e2e;

namespace {

class Cycles : public EndToEnd
{
};

}  // namespace

// The fixture's premise, in this process on the engine itself: a black frame
// passes both steps, a white patch fails the step whose region holds it.
TEST(Fixture, TheEngineJudgesABlackFrameOkAndAPatchNgInItsStepOnly)
{
    WizardPara para;
    BaselineSettings(&para);
    para.DeriveDetectTable(nullptr);
    WizardPara* savedPara = gpWPara;
    gpWPara = &para;
    gShowAW = float(kShowW) / kFrameW;
    gShowAH = float(kShowH) / kFrameH;
    CammerSingleton record(0);
    SetRegions(&record, 0);
    CameraWorkSet work;
    work.Allocate(kFrameW, kFrameH, false, 1);
    work.liveRecord = work.editRecord = &record;
    for (int d = 0; d < 2; ++d) {
        record.SetImageRect(d, 0);
        work.liveMasks[d][0] = record.MakeMask(d, 0);
        work.ignoreImage[d] = cv::Mat::zeros(kFrameH, kFrameW, CV_8UC1);
    }
    CammerRecong engine(&record, &work);
    for (int patches : {int(kNoPatch), int(kProductPatch), int(kMouldPatch)}) {
        const QImage frame = Frame(patches);
        for (int y = 0; y < kFrameH; ++y)
            std::memcpy(work.imageRaw.ptr(y), frame.constScanLine(y), kFrameW);
        for (int d = 0; d < 2; ++d) {
            EXPECT_GT(cv::countNonZero(engine.ValidArea(d)), 0);
            engine.ShapeMatch(d);
            engine.Run(d);
            const bool patched = patches & (1 << d);
            EXPECT_EQ(work.cameraOk, !patched) << "patches " << patches << " step " << d;
            if (patched)
                EXPECT_GT(work.roiValue[d][0], record.area[d][0]);
            else
                EXPECT_EQ(work.roiValue[d][0], 0);
        }
    }
    gpWPara = savedPara;
}

// Yesterday's record goes to the archive; the cycle counts on from count.txt;
// each camera keeps an OK picture of the mould step and nothing of the
// product step; no record line for a good cycle.
TEST_F(Cycles, GoodCycleAfterTheDayRolledOver)
{
    writeFile("time.txt", "2000-01-01");
    writeFile("count.txt", "7 2 0 0 0 0 0 0 0 0 0 0 0 0 0 0 ");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "old-record");
        db.setDatabaseName(file("RECORD.db"));
        ASSERT_TRUE(db.open());
        ASSERT_TRUE(QSqlQuery(db).exec("insert into RECORD values('23.59.59', 'Unlogged', 'yesterday')"));
        db.close();
    }
    QSqlDatabase::removeDatabase("old-record");
    start(2);

    board("set 0");
    const QList<int> words = wordsUntil(idle());
    EXPECT_EQ(words, (QList<int>{0x0F3, 0x0F1, 0x0F0})) << Words(words);   // O0+O1, O0, none
    EXPECT_TRUE(countsBecome("8 2 1 0 0 0 0 0 0 0 0 0 0 0 0 0 "));
    for (int c = 0; c < 2; ++c) {
        EXPECT_TRUE(waitPictures(c, 1, false, 1));
        EXPECT_TRUE(PicturesNamed(pictures(c, 1, false), ""));
        EXPECT_EQ(pictures(c, 1, true), QStringList());
        EXPECT_EQ(pictures(c, 0, false) + pictures(c, 0, true), QStringList());
    }
    EXPECT_EQ(records(), QStringList{"The system is ready, there is 2 cameras"});
    EXPECT_EQ(RecordLines(file("RECORD/2000-01-01.db")), QStringList{"yesterday"});
    EXPECT_EQ(ReadText(file("time.txt")).trimmed(), QDate::currentDate().toString("yyyy-MM-dd"));
}

// Debounce 0.3 s: a 0.1 s flicker of the mould-open input starts nothing; the
// input held starts one cycle.
TEST_F(Cycles, DebouncedMouldOpenInput)
{
    para.inputDebounce = 3;
    start();

    board("pulse 0 100");
    EXPECT_EQ(wordsWithin(1500), QList<int>());
    board("set 0");
    const QList<int> words = wordsUntil(idle());
    EXPECT_EQ(words, (QList<int>{0x0F3, 0x0F1, 0x0F0})) << Words(words);
    EXPECT_TRUE(countsBecome("1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 "));
}

// No-input watchdog of 2 s: no new cycle within 2 s of the last start
// inhibits the clamp and records the warning, which stays on the screen
// (modal) while the program goes on; the program still ends cleanly.
TEST_F(Cycles, NoInputWatchdog)
{
    para.noInputTimeout = 2;
    start();

    board("set 0");
    QList<int> words = wordsUntil(idle());
    EXPECT_EQ(words, (QList<int>{0x0F3, 0x0F1, 0x0F0})) << Words(words);
    words = wordsUntil(0x0F1);
    EXPECT_EQ(words, QList<int>{0x0F1}) << Words(words);
    EXPECT_TRUE(WaitFor([&] { return records().size() == 2; }, kWaitMs));
    EXPECT_EQ(records().value(1), "Warnning: No Input Signal");
}
