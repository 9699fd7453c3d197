// Cycles that end without an alarm: a good cycle (after a day roll-over, with
// two cameras judged at once), OK/NG pulses, the ejector pulse on a product
// NG, the pre-cut of the clamp inhibit, and the debounce of the mould-open
// input. Line words: bit n = output line n; lines 4..7 are high while their
// outputs are off unless the ejector pulses on a product NG.

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
    EXPECT_TRUE(WaitFor([&] { return counts() == "8 2 1 0 0 0 0 0 0 0 0 0 0 0 0 0 "; }, kWaitMs))
        << counts().toStdString();
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

// OK/NG pulses: no output at the cycle start; a good product pulses the
// ejector output, a mould NG the clamp inhibit with the alarm output; the NG
// counts and its picture is kept at once, without an alarm or a retry.
TEST_F(Cycles, OkAndNgPulses)
{
    para.okNgPulses = 1;
    para.clampPulseTime = 5;
    para.reDetectTimes = 2;    // not used with pulses
    para.trigInDelay[1] = 8;   // the mould is judged after the product's pulse
    firstFrame[0] = kMouldPatch;
    start();

    board("set 0");
    QList<int> words = wordsUntil(idle());
    EXPECT_EQ(words, (QList<int>{0x0F2, 0x0F0})) << Words(words);   // product OK pulse
    words = wordsUntil(idle());
    EXPECT_EQ(words, (QList<int>{0x0F5, 0x0F0})) << Words(words);   // mould NG pulse
    EXPECT_TRUE(WaitFor([&] { return counts() == "1 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 "; }, kWaitMs))
        << counts().toStdString();
    EXPECT_TRUE(waitPictures(0, 1, true, 1));
    EXPECT_TRUE(PicturesNamed(pictures(0, 1, true), "1_"));
    EXPECT_EQ(records().size(), 1);

    // No alarm stands: the next cycle runs as usual.
    board("clear 0");
    setFrame(0, kNoPatch);
    board("set 0");
    words = wordsUntil(idle());
    EXPECT_EQ(words, (QList<int>{0x0F2, 0x0F0})) << Words(words);
    words = wordsUntil(idle());
    EXPECT_EQ(words, (QList<int>{0x0F2, 0x0F0})) << Words(words);
    EXPECT_TRUE(WaitFor([&] { return counts() == "2 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 "; }, kWaitMs))
        << counts().toStdString();
    EXPECT_EQ(records().size(), 1);
}

// A product NG with the ejector pulse: the region's NG output (line 6) and the
// ejector output pulse for 1 s, no alarm; the NG picture is handed on with the
// good mould.
TEST_F(Cycles, EjectorPulseOnAProductNg)
{
    para.ejectorPulseOnNG = 1;   // outputs 4..7 are not inverted then
    para.ejectorPulseTime = 10;
    para.trigInDelay[1] = 15;    // the mould is judged after the pulse
    regionOutput = 2;
    firstFrame[0] = kProductPatch;
    start();

    board("set 0");
    const QList<int> words = wordsUntil(idle());
    // O0 (O1 and 4..7 off), + O1 and O6, back to O0, none.
    EXPECT_EQ(words, (QList<int>{0x001, 0x043, 0x001, 0x000})) << Words(words);
    EXPECT_TRUE(WaitFor([&] { return counts() == "1 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 "; }, kWaitMs))
        << counts().toStdString();
    EXPECT_TRUE(waitPictures(0, 0, true, 1));
    EXPECT_TRUE(PicturesNamed(pictures(0, 0, true), "1_"));
    EXPECT_TRUE(waitPictures(0, 1, false, 1));
    EXPECT_EQ(records().size(), 1);
}

// Pre-cut 0.3 s: the clamp is not inhibited at the cycle start but 0.3 s
// before the mould is judged.
TEST_F(Cycles, PreCutInhibitsTheClampBeforeTheMouldIsJudged)
{
    para.preCut = 3;
    start();

    board("set 0");
    const QList<int> words = wordsUntil(idle(), 2);
    EXPECT_EQ(words, (QList<int>{0x0F2, 0x0F0, 0x0F1, 0x0F0})) << Words(words);
    EXPECT_TRUE(WaitFor([&] { return counts() == "1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 "; }, kWaitMs))
        << counts().toStdString();
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
    EXPECT_TRUE(WaitFor([&] { return counts() == "1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 "; }, kWaitMs))
        << counts().toStdString();
}
