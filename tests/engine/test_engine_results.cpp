// Result pictures: what the annotation draws and records, how the alarm
// clearing re-captions a picture, and how the writer names, files, prunes
// and reports the pictures handed over (with a clock and pauses of the
// test's own), plus the writer thread itself.

#include "enginefixture.h"

#include "inspection/inspectionhooks.h"
#include "inspection/picturequeue.h"
#include "inspection/regionjudge.h"
#include "inspection/resultimage.h"
#include "inspection/savefailimagethread.h"

#include "core/texttable.h"
#include "tests/common/testsupport.h"

#include <QDir>
#include <algorithm>
#include <memory>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <opencv2/core.hpp>

namespace {

constexpr int kW = 640, kH = 480;
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);

class ResultPictures : public EngineFixture
{
protected:
    ResultPictures() : keepCameras(numCamera), keepNg(gPicNumNG), keepOk(gPicNumOK)
    {
        if (!pMutexSaveFail)
            pMutexSaveFail = new QMutex;
        Data_Init();
        Frame(kW, kH);
        view.imageWork.setTo(128);
        numCamera = 1;
        gPicNumNG = 5;
        gPicNumOK = 3;
        ClearPending();
        for (int d = 0; d < 2; ++d)
            for (int kind : {kPictureNg, kPictureOk})
                QDir().mkpath(ResultImage::AlarmDir(0, d, kind));
        InspectionHooks& hooks = gInspectionHooks();
        hooks.netLinkReady = [] { return true; };
        hooks.sendAlarmPic = [this](const QString& path) { alarmPics << path; };
        hooks.sendStatistics = [this](const QString& path) { statistics << path; };
        pacing.now = [this] { return clock; };
        pacing.sleep = [this](int ms) {
            sleeps.push_back(ms);
            clock = clock.addMSecs(ms);
        };
    }
    ~ResultPictures() override
    {
        ClearPending();
        numCamera = keepCameras;
        gPicNumNG = keepNg;
        gPicNumOK = keepOk;
    }

    static void ClearPending()
    {
        QMutexLocker lock(pMutexSaveFail);
        for (auto& camera : gisSaveFail)
            for (auto& step : camera)
                step[0] = step[1] = false;
        for (auto& camera : gFailIndex)
            std::fill(std::begin(camera), std::end(camera), 0);
    }

    // A failed rectangle with one alarm box and a passed one, judged in step d.
    void Results(int d)
    {
        AddRect(d, kFuncBlackArea, QRect(100, 100, 100, 100), 0, 50, 100);
        AddRect(d, kFuncBlackArea, QRect(300, 100, 100, 100), 0, 50, 100);
        AddRect(d, kFuncBlackArea, QRect(100, 300, 50, 50), 0, 50, 100);
        view.roiOk[d][0] = false;
        view.roiOk[d][2] = false;
        view.alarmRects[d][0][0].x1 = 1;
        view.alarmRects[d][0][1] = AlarmRect{120, 130, 141, 151};
    }

    void HandOver(int d, int kind, int failIndex = 0)
    {
        QMutexLocker lock(pMutexSaveFail);
        QImage picture(kW, kH, QImage::Format_RGB32);
        picture.fill(kind == kPictureNg ? Qt::red : Qt::green);
        gpFailImage[0][d][kind] = PendingPicture(picture);
        gisSaveFail[0][d][kind] = true;
        if (failIndex)
            gFailIndex[0][d] = failIndex;
    }

    static QStringList Pictures(int d, int kind)
    {
        return QDir(ResultImage::AlarmDir(0, d, kind)).entryList(QStringList{"*.jpg"}, QDir::Files, QDir::Name);
    }

    // Puts n pictures into a folder, each a minute older than the one before.
    void OldPictures(int d, int kind, int n)
    {
        for (int i = 0; i < n; ++i) {
            QFile file(QStringLiteral("%1/old%2.jpg").arg(ResultImage::AlarmDir(0, d, kind)).arg(i));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.close();
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTime().addSecs(-60 * (i + 1)),
                                         QFileDevice::FileModificationTime));
        }
    }

    static QRgb Pixel(int d, int kind, int x, int y)
    {
        QMutexLocker lock(pMutexSaveFail);
        return gpFailImage[0][d][kind].picture().pixel(x, y);
    }

    TempWorkDir work;
    QDateTime clock{QDate(2026, 3, 1), QTime(10, 0, 0)};
    SaveFialImageThread::Pacing pacing;
    std::vector<int> sleeps;
    QStringList alarmPics, statistics;
    QImage buffer;

private:
    int keepCameras, keepNg, keepOk;
};

TEST_F(ResultPictures, FoldersPerCameraStepAndKind)
{
    EXPECT_EQ(ResultImage::AlarmDir(0, 0, kPictureNg), QStringLiteral("./alarmimage//camera1//detect1//NG"));
    EXPECT_EQ(ResultImage::AlarmDir(7, 3, kPictureOk), QStringLiteral("./alarmimage//camera8//detect4//OK"));
}

TEST_F(ResultPictures, AnnotationMarksFailedRegionsRed)
{
    Results(1);
    ResultImage::SaveFailImage(view, 1, kPictureNg, false);
    EXPECT_EQ(Pixel(1, kPictureNg, 100, 150), kRed);    // outline of the failed region
    EXPECT_EQ(Pixel(1, kPictureNg, 120, 140), kRed);    // its alarm box (120,130)-(140,150)
    EXPECT_EQ(Pixel(1, kPictureNg, 130, 130), kRed);
    EXPECT_EQ(Pixel(1, kPictureNg, 300, 150), kGreen);  // outline of the passed one
    EXPECT_EQ(Pixel(1, kPictureNg, 50, 400), qRgb(128, 128, 128));
    EXPECT_EQ(gFailIndex[0][1], 1);   // the first failed region
    EXPECT_FALSE(gisSaveFail[0][1][kPictureNg]);
    EXPECT_TRUE(gpFailImage[0][1][kPictureOk].isNull());
}

TEST_F(ResultPictures, DoorCycleIsCaptioned)
{
    Results(0);
    ResultImage::SaveFailImage(view, 0, kPictureOk, false);
    const QImage plain = gpFailImage[0][0][kPictureOk].picture().copy(0, 84, 400, 30);
    ResultImage::SaveFailImage(view, 0, kPictureOk, true);
    const QImage door = gpFailImage[0][0][kPictureOk].picture().copy(0, 84, 400, 30);
    EXPECT_NE(plain, door);
}

TEST_F(ResultPictures, LabelsShowLimitsUpToTenRegions)
{
    settings.perRoiParams = 0;
    settings.alarmArea = 150;
    AddRect(0, kFuncDefect, QRect(0, 0, 9, 9), 3, 25, 100);
    AddRect(0, kFuncSpot, QRect(0, 0, 9, 9), 0x3200, 80, 500);
    AddRect(0, kFuncSimilarity, QRect(0, 0, 9, 9), 0, 80, 0);
    AddRect(0, kFuncWhiteCount, QRect(0, 0, 9, 9), 1, 128, 3);
    EXPECT_EQ(ResultImage::RegionLabel(live, 0, 0, 7), QStringLiteral("1: 150 / 7 "));
    EXPECT_EQ(ResultImage::RegionLabel(live, 0, 1, 361), QStringLiteral("2: 80--500 / 361 "));
    EXPECT_EQ(ResultImage::RegionLabel(live, 0, 2, 93), QStringLiteral("3: 80 / 93 "));
    EXPECT_EQ(ResultImage::RegionLabel(live, 0, 3, 4), QStringLiteral("4: 3 / 4 "));
    settings.perRoiParams = 1;
    EXPECT_EQ(ResultImage::RegionLabel(live, 0, 0, 7), QStringLiteral("1: 100 / 7 "));
    live.roiNum[0] = 11;
    EXPECT_EQ(ResultImage::RegionLabel(live, 0, 1, 361), QStringLiteral("2: 361"));
}

TEST_F(ResultPictures, ClearingMethodsMoveTheState)
{
    const struct {
        int state, next;
        bool captioned;
    } cases[] = {{4, 9, true}, {5, 9, true}, {6, 9, true}, {7, 8, true}, {8, 10, true}, {3, 3, false}, {0, 0, false}};
    Results(0);
    for (const auto& c : cases) {
        ResultImage::SaveFailImage(view, 0, kPictureNg, false);
        const QImage before = gpFailImage[0][0][kPictureNg].picture();
        int state = c.state;
        ResultImage::UpdateFailImage(0, 0, kPictureNg, &state);
        EXPECT_EQ(state, c.next) << c.state;
        EXPECT_EQ(gpFailImage[0][0][kPictureNg].picture() != before, c.captioned) << c.state;
    }
}

// A picture ordered by a decision shows that decision's frame and results,
// whatever the view does before the queue draws it: the view aligns its
// next frame into a buffer of its own.
TEST_F(ResultPictures, AnOrderedPictureShowsItsDecisionAfterTheViewMovesOn)
{
    Results(1);
    auto order = std::make_shared<ResultPictureOrder>();
    ASSERT_TRUE(ResultImage::Order(view, 1, kPictureNg, false, order.get()));
    const uchar* judged = view.imageWork.data;
    view.frames.Detach(view.imageWork);   // as the next alignment does
    EXPECT_NE(view.imageWork.data, judged);
    view.imageWork.setTo(0);
    view.roiOk[1][0] = view.roiOk[1][2] = true;
    {
        PictureQueue queue;
        queue.post([order](QImage& canvas) { ResultImage::Draw(*order, canvas); });
        queue.drain();
    }
    EXPECT_EQ(Pixel(1, kPictureNg, 100, 150), kRed);
    EXPECT_EQ(Pixel(1, kPictureNg, 130, 130), kRed);
    EXPECT_EQ(Pixel(1, kPictureNg, 50, 400), qRgb(128, 128, 128));
    EXPECT_EQ(gFailIndex[0][1], 1);
}

// Drawing, caption and hand-over run in the order they were posted: the
// writer is handed the captioned picture.
TEST_F(ResultPictures, TheQueueDrawsCaptionsAndHandsOverInOrder)
{
    Results(0);
    ResultImage::SaveFailImage(view, 0, kPictureNg, false);
    int state = 7;
    ResultImage::UpdateFailImage(0, 0, kPictureNg, &state);
    const QImage expected = gpFailImage[0][0][kPictureNg].picture();
    gpFailImage[0][0][kPictureNg] = PendingPicture();

    std::vector<int> done;
    {
        PictureQueue queue;
        auto order = std::make_shared<ResultPictureOrder>();
        ASSERT_TRUE(ResultImage::Order(view, 0, kPictureNg, false, order.get()));
        queue.post([order, &done](QImage& canvas) {
            ResultImage::Draw(*order, canvas);
            done.push_back(1);
        });
        int captioned = 7;
        const QString caption = ResultImage::ClearCaption(&captioned);
        EXPECT_EQ(captioned, 8);
        queue.post([caption, &done](QImage&) {
            ResultImage::DrawClearCaption(0, 0, kPictureNg, caption);
            done.push_back(2);
        });
        queue.post([&done](QImage&) {
            QMutexLocker lock(pMutexSaveFail);
            gisSaveFail[0][0][kPictureNg] = true;
            done.push_back(3);
        });
        for (int i = 4; i < 100; ++i)
            queue.post([i, &done](QImage&) { done.push_back(i); });
        queue.drain();
        ASSERT_EQ(done.size(), 99u);
        EXPECT_TRUE(std::is_sorted(done.begin(), done.end()));
        queue.post([&done](QImage&) { done.push_back(100); });
    }   // the queue does what was posted before it ends
    EXPECT_EQ(done.back(), 100);
    QMutexLocker lock(pMutexSaveFail);
    EXPECT_TRUE(gisSaveFail[0][0][kPictureNg]);
    EXPECT_EQ(gpFailImage[0][0][kPictureNg].picture(), expected);
}

TEST_F(ResultPictures, RecheckPicturesAreSavedTogetherInTheNgFolder)
{
    HandOver(0, kPictureNg, 2);
    HandOver(0, kPictureOk);
    SaveFialImageThread::SavePending(buffer, pacing);
    EXPECT_EQ(Pictures(0, kPictureNg),
              (QStringList{"2_2026-03-01_10.00.00.jpg", "2_2026-03-01_10.00.01.jpg"}));
    EXPECT_TRUE(Pictures(0, kPictureOk).isEmpty());
    EXPECT_EQ(sleeps, (std::vector<int>{1000, 200, 100}));
    EXPECT_FALSE(gisSaveFail[0][0][kPictureNg]);
    EXPECT_FALSE(gisSaveFail[0][0][kPictureOk]);
    EXPECT_EQ(gFailIndex[0][0], 0);
    const QImage saved(ResultImage::AlarmDir(0, 0, kPictureNg) + "/2_2026-03-01_10.00.00.jpg");
    EXPECT_EQ(saved.size(), QSize(kW, kH));
    EXPECT_EQ(qRed(saved.pixel(10, 10)) > 200 && qGreen(saved.pixel(10, 10)) < 50, true);
}

TEST_F(ResultPictures, OkPictureAloneHasNoPrefix)
{
    HandOver(1, kPictureOk);
    SaveFialImageThread::SavePending(buffer, pacing);
    EXPECT_EQ(Pictures(1, kPictureOk), QStringList{"2026-03-01_10.00.00.jpg"});
    EXPECT_EQ(sleeps, (std::vector<int>{200, 100}));
}

TEST_F(ResultPictures, FolderKeepsItsNumberOfPictures)
{
    const struct {
        int kept, old, left;
    } cases[] = {{5, 7, 5}, {5, 3, 4}, {3, 9, 3}, {1, 4, 1}, {0, 4, 1}};
    for (const auto& c : cases) {
        QDir(ResultImage::AlarmDir(0, 0, kPictureNg)).removeRecursively();
        QDir().mkpath(ResultImage::AlarmDir(0, 0, kPictureNg));
        OldPictures(0, kPictureNg, c.old);
        gPicNumNG = c.kept;
        HandOver(0, kPictureNg);
        SaveFialImageThread::SavePending(buffer, pacing);
        const QStringList left = Pictures(0, kPictureNg);
        EXPECT_EQ(left.size(), c.left) << c.kept << " " << c.old;
        for (int i = 0; i < c.left - 1; ++i)
            EXPECT_TRUE(left.contains(QStringLiteral("old%1.jpg").arg(i))) << c.kept << " " << i;
    }
}

TEST_F(ResultPictures, SavedPicturesAreReported)
{
    settings.netLinkOn = 1;
    HandOver(0, kPictureNg, 3);
    SaveFialImageThread::SavePending(buffer, pacing);
    const QString name = "/alarmimage/camera1/detect1/NG/3_2026-03-01_10.00.00.jpg";
    EXPECT_EQ(alarmPics, QStringList{QDir::currentPath() + name});
    EXPECT_EQ(statistics, QStringList{"." + name});
    settings.netLinkOn = 0;
    HandOver(0, kPictureNg, 3);
    SaveFialImageThread::SavePending(buffer, pacing);
    EXPECT_EQ(alarmPics.size(), 1);
}

TEST_F(ResultPictures, PictureNotSavedIsNotReported)
{
    settings.netLinkOn = 1;
    QDir(QStringLiteral("alarmimage")).removeRecursively();
    HandOver(0, kPictureNg, 1);
    SaveFialImageThread::SavePending(buffer, pacing);
    EXPECT_TRUE(alarmPics.isEmpty());
    EXPECT_TRUE(statistics.isEmpty());
    EXPECT_FALSE(gisSaveFail[0][0][kPictureNg]);   // tried once, then dropped
}

// What the writer stores is the very JPEG file of the annotated picture,
// whatever way the pending picture keeps it: grey frames (packed as they are
// stored, in about four bits a pixel when a camera's), colour frames.
TEST_F(ResultPictures, SavedFileIsTheJpegOfTheAnnotatedPicture)
{
    Results(0);
    const struct {
        const char* name;
        bool colour, noise;
        double bytesPerPixel;   // at most, 0: not checked
    } cases[] = {
        {"grey frame", false, false, 0.7},
        {"noise", false, true, 1.2},
        {"colour frame", true, true, 0},
    };
    for (const auto& c : cases) {
        Frame(kW, kH, c.colour);
        if (c.noise) {
            cv::randu(view.imageWork, 0, 256);
        } else {   // a camera's: gradual, a little noise
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x)
                    view.imageWork.at<uchar>(y, x) = uchar((x / 5 + y / 3 + (x * 7 + y * 13) % 3) % 256);
        }
        if (c.colour)
            view.imageWork.reshape(1, kH * kW).col(3).setTo(255);   // 0xffRRGGBB
        ResultImage::SaveFailImage(view, 0, kPictureOk, false);
        const PendingPicture& pending = gpFailImage[0][0][kPictureOk];
        const QImage annotated = pending.picture();
        ASSERT_EQ(annotated.format(), QImage::Format_RGB888) << c.name;
        const cv::Vec4b bgra = c.colour ? view.imageWork.at<cv::Vec4b>(kH / 2, kW / 2)
                                        : cv::Vec4b::all(view.imageWork.at<uchar>(kH / 2, kW / 2));
        ASSERT_EQ(annotated.pixel(kW / 2, kH / 2), qRgb(bgra[2], bgra[1], bgra[0]))
            << c.name << ": the frame under the annotations";
        EXPECT_TRUE(pending.packed()) << c.name;
        EXPECT_EQ(pending.picture(), annotated) << c.name;
        if (c.bytesPerPixel > 0) {
            EXPECT_LT(pending.bytes(), size_t(kW * kH * c.bytesPerPixel)) << c.name;
        }
        const QString expected = work.file(QStringLiteral("expected.jpg"));
        ASSERT_TRUE(annotated.save(expected));
        QDir(ResultImage::AlarmDir(0, 0, kPictureOk)).removeRecursively();
        QDir().mkpath(ResultImage::AlarmDir(0, 0, kPictureOk));
        {
            QMutexLocker lock(pMutexSaveFail);
            gisSaveFail[0][0][kPictureOk] = true;
        }
        SaveFialImageThread::SavePending(buffer, pacing);
        const QStringList saved = Pictures(0, kPictureOk);
        ASSERT_EQ(saved.size(), 1) << c.name;
        EXPECT_EQ(ReadBytes(ResultImage::AlarmDir(0, 0, kPictureOk) + "/" + saved[0]), ReadBytes(expected)) << c.name;
    }
}

TEST_F(ResultPictures, WriterThreadSavesWhatIsHandedOver)
{
    SaveFialImageThread writer;
    writer.start();
    HandOver(1, kPictureOk);
    EXPECT_TRUE(WaitFor([] { return !Pictures(1, kPictureOk).isEmpty(); }, 5000));
    writer.Stop();
    EXPECT_TRUE(writer.isFinished());
}

}  // namespace

// Once the writer took a handed-over picture its pending picture is gone; a
// picture still waiting for its decision stays.
TEST_F(ResultPictures, TakenPicturesAreReleased)
{
    HandOver(1, kPictureNg, 1);
    {
        QMutexLocker lock(pMutexSaveFail);
        gpFailImage[0][0][kPictureOk] = PendingPicture(QImage(kW, kH, QImage::Format_RGB32));
    }
    SaveFialImageThread::SavePending(buffer, pacing);
    EXPECT_EQ(Pictures(1, kPictureNg).size(), 1);
    QMutexLocker lock(pMutexSaveFail);
    EXPECT_TRUE(gpFailImage[0][1][kPictureNg].isNull());
    EXPECT_FALSE(gpFailImage[0][0][kPictureOk].isNull());
}
