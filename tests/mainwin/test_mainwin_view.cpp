// One camera view on its own, over a small frame whose display coordinates
// are its frame pixels: what it takes over and shows, the highlights its
// painting writes into the picture (blinking defects, ignore points), the
// title-bar row it writes, its failed regions, and a view whose camera did
// not open.

#include "camera/cameraglobals.h"
#include "camera/framebuffer.h"
#include "core/globals.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "inspection/cammerrecongnize.h"
#include "inspection/templatestore.h"
#include "screen/cammerwidget.h"
#include "screen/titlebar.h"
#include "screen/viewreadings.h"
#include "tests/common/testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QMutex>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int kW = 64;
constexpr int kH = 48;
constexpr int kStep = 1;   // the mould step

class FakeHost : public ViewHost
{
public:
    ViewReadings viewReadings() const override { return readings; }
    int frameRate(int) const override { return 17; }
    TitleBar* statusBar() const override { return bar; }
    const BrowsedPicture* browsedPicture() const override { return nullptr; }

    ViewReadings readings;
    TitleBar* bar = nullptr;
};

class ViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Data_Init();
        gLan = 1;
        for (QMutex*& m : pMutex)
            if (!m)
                m = new QMutex;
        if (!pMutexSaveFail)
            pMutexSaveFail = new QMutex;
        savedPara = gpWPara;
        gpWPara = &para;
        gImageW = gShowW = kW;
        gImageH = gShowH = kH;
        gImageLen = gColorLen = kW * kH;
        gShowAW = gShowAH = 1;
        gisColor = 0;
        gDNum = 2;
        gTempNum = 2;
        gCameraID = kCameraGx;
        gFindCamera = 0;   // no camera opens
        numCamera = 1;
        gSource = -1;
        writeRegions();
        bar = std::make_unique<TitleBar>();
        host.bar = bar.get();
        host.readings.curDetect = kStep;
        host.readings.editDetect = kStep;
        view = std::make_unique<CammerWidget>(0, nullptr, &host);
        view->resize(kW, kH);
    }
    void TearDown() override
    {
        view.reset();
        QSqlDatabase::database("dbIn").close();
        QSqlDatabase::removeDatabase("dbIn");
        gpWPara = savedPara;
        gSource = -1;
    }

    // Region 0 inside the frame, region 1 reaching beyond its corner.
    void writeRegions()
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "dbIn");
        db.setDatabaseName(work.file("PARAM.db"));
        ASSERT_TRUE(db.open());
        ASSERT_TRUE(QSqlQuery(db).exec("create table cammer0(name varchar(40), value varchar(400))"));
        CammerSingleton record(0);
        record.LoadDatafromFile(db, nullptr);   // lays down the step rows
        record.roiNum[kStep] = 2;
        const QRect rects[2] = {QRect(QPoint(10, 10), QPoint(29, 29)), QRect(QPoint(50, 40), QPoint(80, 60))};
        for (int r = 0; r < 2; ++r) {
            record.roiType[kStep][r] = kRoiRect;
            record.rects[kStep][r].rect = rects[r];
            record.SetImageRect(kStep, r);
        }
        record.outN[0] = 2;
        record.outN[1] = 3;
        ASSERT_TRUE(record.SaveDatatoFile(db));
    }
    // The view is as large as the frame: a frame pixel is a view pixel.
    QRgb shown(int x, int y) const { return painted.pixel(x, y); }
    // The full-size picture that marks are written into (texts may cover
    // them on the screen).
    QRgb marked(int x, int y) const { return view->work->imageRgb32.pixel(x, y); }
    void paint() { painted = view->grab().toImage(); }
    // Until the view's live picture is made ready and taken (bounded).
    void settle()
    {
        for (int i = 0; i < 5000 && view->pictureWaiting(); ++i) {
            QThread::usleep(200);
            QCoreApplication::processEvents();
        }
        ASSERT_FALSE(view->pictureWaiting());
    }

    TempWorkDir work;
    WizardPara para;
    WizardPara* savedPara = nullptr;
    FakeHost host;
    std::unique_ptr<TitleBar> bar;
    std::unique_ptr<CammerWidget> view;
    QImage painted;
};

}  // namespace

TEST_F(ViewTest, ViewZeroIsBuiltInFullWithoutItsCamera)
{
    EXPECT_FALSE(view->cameraOpen());
    EXPECT_TRUE(view->fullyBuilt());
    EXPECT_EQ(view->liveRecord->roiNum[kStep], 2);
    EXPECT_EQ(view->work->imageRaw.size(), cv::Size(kW, kH));
    ASSERT_EQ(view->work->templateFlags[kStep].size(), 2u);
    EXPECT_EQ(view->work->templateTotal[kStep], 1);   // the centre picture in slot 0
    EXPECT_TRUE(view->engine != nullptr);
    EXPECT_TRUE(view->blinkTimer != nullptr);
}

TEST_F(ViewTest, AViewWhoseCameraDidNotOpenKeepsOnlyItsDisplayBuffers)
{
    CammerWidget other(1, nullptr, &host);
    EXPECT_FALSE(other.fullyBuilt());
    EXPECT_EQ(other.work->imageShow.size(), cv::Size(kW, kH));
    EXPECT_TRUE(other.work->imageRaw.empty());
    EXPECT_FALSE(other.liveRecord);
    EXPECT_FALSE(other.blinkTimer);
    EXPECT_FALSE(other.TakeFrame());
    EXPECT_TRUE(other.FailedRegions(kStep).isEmpty());
    other.resize(kW, kH);
    other.grab();   // paints nothing
}

TEST_F(ViewTest, TakesOverTheNewestFrameAndShowsItOnLiveSources)
{
    std::vector<uint8_t> pixels(kW * kH, 77);
    FrameView frame{pixels.data(), kW, kH, PixelLayout::Grey8, 0};
    ASSERT_TRUE(HandOverFrame(0, view->imageIn, frame));
    EXPECT_TRUE(view->TakeFrame());
    EXPECT_FALSE(view->TakeFrame());   // taken once
    EXPECT_EQ(view->brightness, 77);
    gSource = 0;
    view->ShowLiveFrame();
    EXPECT_EQ(view->work->imageShow.at<uchar>(5, 5), 0);
    gSource = -1;
    view->ShowLiveFrame();
    settle();   // on show at the view's next repaint
    EXPECT_EQ(view->work->imageShow.at<uchar>(5, 5), 77);
    paint();
    EXPECT_EQ(shown(5, 5), qRgb(77, 77, 77));
}

// The window paints nothing behind a view whose opaque picture covers it: the
// view says so only while its picture does. Its one-pixel outline shows as
// its top and left edges.
TEST_F(ViewTest, AViewIsOpaqueOnlyWhileItsPictureCoversIt)
{
    view->work->imageRaw.setTo(77);
    view->ShowLiveFrame();
    settle();
    paint();
    EXPECT_TRUE(view->testAttribute(Qt::WA_OpaquePaintEvent));
    EXPECT_EQ(shown(5, 0), qRgb(0, 255, 0));
    EXPECT_EQ(shown(0, 5), qRgb(0, 255, 0));
    EXPECT_EQ(shown(kW - 1, 5), qRgb(77, 77, 77));
    EXPECT_EQ(shown(5, kH - 1), qRgb(77, 77, 77));

    struct Case {
        const char* what;
        std::function<void()> set;
    };
    const Case uncovered[] = {
        {"zoomed out", [&] { host.readings.zoomFactor = 0.5; }},
        {"a stored picture", [&] { gSource = 3; }},
        {"no camera behind the view", [&] { numCamera = 0; }},
    };
    for (const Case& c : uncovered) {
        SCOPED_TRACE(c.what);
        c.set();
        view->ShowLiveFrame();
        settle();
        paint();
        EXPECT_FALSE(view->testAttribute(Qt::WA_OpaquePaintEvent));
        host.readings.zoomFactor = 1;
        gSource = -1;
        numCamera = 1;
        view->ShowLiveFrame();
        settle();
        paint();
        EXPECT_TRUE(view->testAttribute(Qt::WA_OpaquePaintEvent));
    }
}

// A repaint of part of the view (a countdown tick repaints a corner of every
// view) shows there what a whole paint shows, though it leaves out the
// regions wholly outside that part.
TEST_F(ViewTest, APartOfTheViewRepaintedShowsWhatTheWholePaintShowsThere)
{
    gSource = 1;
    host.readings.displayState = DisplayState::ResultShown;   // verdict, regions and their labels
    view->work->imageRaw.setTo(77);
    view->ShowLiveFrame();
    settle();
    auto render = [&](const QRegion& part) {
        QImage out(view->size(), QImage::Format_ARGB32_Premultiplied);
        out.fill(Qt::magenta);
        view->render(&out, part.boundingRect().topLeft(), part);   // the part where it lies in the view
        return out;
    };
    const QImage whole = render(QRegion(view->rect()));
    int labelPixels = 0;   // below the view's outline, above region 0's
    for (int y = 1; y < 2; ++y)
        for (int x = 1; x < kW; ++x)
            labelPixels += whole.pixel(x, y) != qRgb(77, 77, 77);
    ASSERT_GT(labelPixels, 0);
    const struct {
        const char* what;
        QRect part;
    } parts[] = {
        {"the labels' line above the regions", QRect(1, 1, kW - 1, 1)},
        {"inside region 0", QRect(12, 12, 4, 4)},
        {"across region 1's corner", QRect(46, 36, 8, 8)},
        {"away from every region", QRect(0, kH - 5, 5, 5)},
    };
    for (const auto& p : parts) {
        SCOPED_TRACE(p.what);
        const QImage part = render(QRegion(p.part));
        EXPECT_EQ(part.copy(p.part), whole.copy(p.part));
    }
}

TEST_F(ViewTest, FramesComingFasterThanTheViewRepaintsShowTheNewest)
{
    for (int level = 10; level <= 50; level += 10) {
        view->work->imageRaw.setTo(level);
        view->ShowLiveFrame();
    }
    settle();
    EXPECT_EQ(view->work->imageShow.at<uchar>(5, 5), 50);
    paint();
    EXPECT_EQ(shown(5, 5), qRgb(50, 50, 50));
}

// The frame on show shares the newest frame's buffer, not a copy of it.
// Whoever then writes the newest frame or the frame on show in place writes
// a buffer of its own: a picture still in preparation keeps its pixels.
TEST_F(ViewTest, WritersLeaveTheSharedFrameOnShowAsAPictureInPreparationHasIt)
{
    auto takeFrame = [&](uchar level) {
        std::vector<uint8_t> pixels(kW * kH, level);
        ASSERT_TRUE(HandOverFrame(0, view->imageIn, FrameView{pixels.data(), kW, kH, PixelLayout::Grey8, 0}));
        ASSERT_TRUE(view->TakeFrame());
    };
    const QString testPicture = work.file("test.bmp");
    QImage grey(kW, kH, QImage::Format_Grayscale8);
    grey.fill(99);
    ASSERT_TRUE(grey.save(testPicture));
    const struct {
        const char* name;
        std::function<void()> write;
        uchar shownAfter;   // imageShow after the writer, before the next repaint
    } writers[] = {
        {"a new frame taken", [&] { takeFrame(99); }, 77},
        {"two new frames taken", [&] { takeFrame(98); takeFrame(99); }, 77},   // the camera writes the second
        {"a test picture loaded", [&] { view->LoadTestPicture(testPicture); }, 77},
        {"a step inspected", [&] { takeFrame(99); view->Inspect(kStep); }, 99},
        {"views inspected at once", [&] { takeFrame(99); CammerWidget::InspectAll({view.get()}, kStep); }, 99},
        {"a re-sample", [&] { takeFrame(99); view->SaveReTrainImage(kStep); }, 99},
    };
    auto all = [](const cv::Mat& frame, uchar level) { return cv::countNonZero(frame != level) == 0; };
    for (const auto& w : writers) {
        SCOPED_TRACE(w.name);
        takeFrame(77);
        view->ShowLiveFrame();
        settle();
        ASSERT_EQ(view->work->imageShow.data, view->work->imageRaw.data);
        const cv::Mat picture = view->work->imageShow;   // as the picture thread holds it
        w.write();
        EXPECT_TRUE(all(picture, 77));
        EXPECT_TRUE(all(view->work->imageRaw, 99));
        EXPECT_TRUE(all(view->work->imageShow, w.shownAfter));
        view->ShowLiveFrame();
        settle();
        paint();
        EXPECT_EQ(shown(30, 6), qRgb(99, 99, 99));
    }
}

// While a worker judges the view, its painting reads nothing of the working
// set: it shows what the view painted when the judging began, and the
// newest frame once it ended.
// On screen or not (its look then taken from the window or painted anew).
TEST_F(ViewTest, WhileJudgedTheViewShowsItsLastContentWithoutReadingItsWorkingSet)
{
    gSource = 1;
    host.readings.displayState = DisplayState::ResultShown;   // verdict and regions over the frame
    for (bool onScreen : {false, true}) {
        SCOPED_TRACE(onScreen ? "on screen" : "not shown");
        if (onScreen) {
            view->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        }
        view->work->imageRaw.setTo(77);
        view->ShowLiveFrame();
        settle();
        view->repaint();   // into the window, as the screen shows it
        paint();
        const QImage before = painted;

        view->setJudging(true);
        std::unique_ptr<CameraWorkSet> judged = std::move(view->work);   // any read would crash
        judged->imageRaw.setTo(99);
        view->ShowLiveFrame();
        view->UpdateLive();
        paint();
        EXPECT_EQ(painted.convertToFormat(QImage::Format_RGB32), before.convertToFormat(QImage::Format_RGB32));

        view->work = std::move(judged);
        view->setJudging(false);
        settle();
        paint();
        const QPoint plain(30, 6);   // no text or region there
        ASSERT_EQ(before.pixel(plain), qRgb(77, 77, 77));
        EXPECT_EQ(shown(plain.x(), plain.y()), qRgb(99, 99, 99));
    }
}

TEST_F(ViewTest, FailedRegionsBlinkTheirDefectPixelsRedInTheAlarm)
{
    host.readings.displayState = DisplayState::Alarm;
    gSource = 1;
    view->setCameraOk(false);
    view->work->roiOk[kStep][0] = false;
    view->work->roiOk[kStep][1] = false;
    for (const QPoint& p : {QPoint(15, 15), QPoint(60, 45), QPoint(5, 5)})
        view->work->defectImage.at<uchar>(p.y(), p.x()) = 255;

    view->blinkPhase = 0;
    paint();
    EXPECT_EQ(marked(15, 15), qRgb(0, 0, 0));
    view->blinkPhase = 1;
    paint();
    EXPECT_EQ(marked(15, 15), qRgb(255, 0, 0));
    EXPECT_EQ(marked(60, 45), qRgb(255, 0, 0));   // region 1, cut at the frame's edge
    EXPECT_EQ(marked(5, 5), qRgb(0, 0, 0));       // outside every region

    view->work->roiOk[kStep][0] = true;   // a passed region keeps its pixels
    paint();
    EXPECT_EQ(marked(15, 15), qRgb(0, 0, 0));
}

TEST_F(ViewTest, IgnorePointsOfTheEditedStepShowCyanOverItsRegions)
{
    *view->editRecord = *view->liveRecord;
    view->work->ignoreImage[kStep].at<uchar>(12, 12) = 1;
    view->work->ignoreImage[kStep].at<uchar>(5, 5) = 1;
    gSource = 0;
    paint();
    EXPECT_EQ(shown(12, 12), qRgb(0, 255, 255));
    EXPECT_EQ(shown(5, 5), qRgb(0, 0, 0));
    gSource = -1;
    paint();
    EXPECT_EQ(shown(12, 12), qRgb(0, 0, 0));
}

TEST_F(ViewTest, BlinkingStopsOnceTheCameraIsOk)
{
    view->setCameraOk(false);
    view->StartBlink();
    EXPECT_TRUE(view->blinkTimer->isActive());
    view->TimerShowAlarm();
    EXPECT_EQ(view->blinkPhase, 1);
    view->TimerShowAlarm();
    EXPECT_EQ(view->blinkPhase, 0);
    view->TimerShowAlarm();
    view->setCameraOk(true);
    view->TimerShowAlarm();
    EXPECT_EQ(view->blinkPhase, 0);
    EXPECT_FALSE(view->blinkTimer->isActive());
}

TEST_F(ViewTest, PaintingWritesTheCamerasTitleBarRow)
{
    gAllNum[0] = 12;
    gFailNum[0] = 3;
    host.readings.runState = RunState::Stopped;
    host.readings.cursorImagePos = QPoint(3, 4);
    host.readings.cursorValue = 9;
    paint();
    const CameraInfo& row = *bar->rows[0];
    EXPECT_TRUE(row.message->text().startsWith("Cam 1 Mold ")) << row.message->text().toStdString();
    EXPECT_TRUE(row.message->text().contains("stopping"));
    EXPECT_FALSE(row.showsOkIcon);
    EXPECT_EQ(row.layerCount->text(), "12");
    EXPECT_EQ(row.ngCount->text(), "3");
    EXPECT_EQ(bar->costTime->text(), "17");
    EXPECT_EQ(bar->location->text(), "3, 4, 9");

    host.readings.runState = RunState::Detecting;
    host.readings.countdownPhase = 1;
    gAllNum[0] = 13;
    gSource = 0;   // the editor's template: no counters
    *view->editRecord = *view->liveRecord;
    paint();
    EXPECT_TRUE(row.message->text().contains("detecting"));
    EXPECT_TRUE(row.showsOkIcon);
    EXPECT_EQ(row.layerCount->text(), "12");
}

TEST_F(ViewTest, FailedRegionsWithTheirOutputs)
{
    view->work->roiOk[kStep][1] = false;
    const QVector<FailedRegion> failed = view->FailedRegions(kStep);
    ASSERT_EQ(failed.size(), 1);
    EXPECT_EQ(failed[0].region, 1);
    EXPECT_EQ(failed[0].output, 3);
    view->ResetResults(gDNum);
    EXPECT_TRUE(view->FailedRegions(kStep).isEmpty());
}

// Several views judged at once give each view what its own inspection gives:
// verdicts, region values, the aligned and the shown frame; a view that is
// not built is left out.
TEST_F(ViewTest, JudgedAtOnceAsEachOnItsOwn)
{
    CammerWidget second(0, nullptr, &host);
    CammerWidget unbuilt(1, nullptr, &host);
    CammerWidget* both[2] = {view.get(), &second};
    for (CammerWidget* v : both) {   // one white-area region: 10 bright pixels fail
        CammerSingleton& record = *v->liveRecord;
        record.roiNum[kStep] = 1;
        record.func[kStep][0] = 5;
        record.sensitivity[kStep][0] = 100;
        record.area[kStep][0] = 10;
    }
    auto frames = [&] {
        view->work->imageRaw.setTo(0);
        second.work->imageRaw.setTo(200);
        for (CammerWidget* v : both) {
            v->work->imageShow.setTo(7);
            v->ResetResults(gDNum);
        }
    };
    struct Result {
        bool ok;
        int value;
        cv::Mat work, shown;
    };
    auto results = [&](CammerWidget* v) {
        return Result{v->cameraOk(), v->work->roiValue[kStep][0],
                      v->work->imageWork.clone(), v->work->imageShow.clone()};
    };

    frames();
    view->Inspect(kStep);
    second.Inspect(kStep);
    const Result alone[2] = {results(view.get()), results(&second)};
    EXPECT_TRUE(alone[0].ok);   // black
    EXPECT_FALSE(alone[1].ok);  // bright

    frames();
    CammerWidget::InspectAll({view.get(), &unbuilt, &second}, kStep);
    for (int i = 0; i < 2; ++i) {
        const Result atOnce = results(both[i]);
        EXPECT_EQ(atOnce.ok, alone[i].ok);
        EXPECT_EQ(atOnce.value, alone[i].value);
        EXPECT_EQ(cv::countNonZero(atOnce.work != alone[i].work), 0);
        EXPECT_EQ(cv::countNonZero(atOnce.shown != alone[i].shown), 0);
    }
}

// Template pictures stay on disk: a view reads a step's templates to train
// it and lets them go; a re-sampled template stays in memory until the
// training that follows.
TEST_F(ViewTest, TemplatePicturesAreInMemoryOnlyWhileTheirStepTrains)
{
    QDir().mkpath("cammer12");
    for (int slot = 0; slot < 2; ++slot)
        ASSERT_TRUE(TemplateStore::WriteFrame(TemplateStore::TemplatePath(0, kStep, slot),
                                              cv::Mat(kH, kW, CV_8UC1, cv::Scalar(100 + 20 * slot))));
    CammerWidget trained(0, nullptr, &host);
    const CameraWorkSet& work = *trained.work;
    auto inMemory = [&] {
        int n = 0;
        for (const cv::Mat& picture : work.templates[kStep])
            n += !picture.empty();
        return n;
    };
    EXPECT_EQ(trained.engine->GrayMatcher(kStep, 0).Templates(), 2);
    EXPECT_EQ(work.templateTotal[kStep], 2);
    EXPECT_EQ(inMemory(), 0);

    trained.Retrain(kStep);
    EXPECT_EQ(trained.engine->GrayMatcher(kStep, 0).Templates(), 2);
    EXPECT_EQ(inMemory(), 0);

    trained.work->imageRaw.setTo(77);
    trained.SaveReTrainImage(kStep);
    EXPECT_EQ(inMemory(), 1);
    EXPECT_EQ(work.templates[kStep][0].at<uchar>(0, 0), 77);
    trained.Retrain(kStep);
    EXPECT_EQ(inMemory(), 0);
    EXPECT_EQ(work.templateTotal[kStep], 2);
    EXPECT_EQ(TemplateStore::ReadFrame(TemplateStore::TemplatePath(0, kStep, 0), kW, kH, 8).at<uchar>(0, 0), 77);
}
