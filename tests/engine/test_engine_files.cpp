// Templates and ignore points of a camera view as BMP files: names, formats,
// round trips at odd widths, what loading accepts, the re-learned template,
// network reports of files written, and deleting a region.

#include "enginefixture.h"

#include "inspection/inspectionhooks.h"
#include "inspection/regionjudge.h"
#include "inspection/templatestore.h"

#include "tests/common/testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <opencv2/core.hpp>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace {

class TemplateFiles : public EngineFixture
{
protected:
    TemplateFiles()
    {
        for (int c = 1; c <= 2; ++c)
            for (int d = 1; d <= 2; ++d)
                QDir().mkpath(QStringLiteral("cammer%1%2").arg(c).arg(d));
        gInspectionHooks().netLinkReady = [this] { return linkReady; };
        gInspectionHooks().sendTempPic = [this](const QString& path) { reported << path; };
    }

    static cv::Mat Noise(int w, int h, int type)
    {
        cv::Mat m(h, w, type);
        cv::randu(m, cv::Scalar::all(0), cv::Scalar::all(256));
        if (type == CV_8UC4) {
            std::vector<cv::Mat> channels;
            cv::split(m, channels);
            channels[3].setTo(255);
            cv::merge(channels, m);
        }
        return m;
    }

    TempWorkDir work;
    bool linkReady = true;
    QStringList reported;
};

TEST_F(TemplateFiles, NamesJoinCameraAndStepNumbers)
{
    EXPECT_EQ(TemplateStore::TemplatePath(0, 1, 3), QStringLiteral("./cammer12/template3.bmp"));
    EXPECT_EQ(TemplateStore::TemplatePath(7, 7, 99), QStringLiteral("./cammer88/template99.bmp"));
    EXPECT_EQ(TemplateStore::IgnorePointPath(2, 0), QStringLiteral("./cammer31/ignorepoint.bmp"));
}

TEST_F(TemplateFiles, GreyTemplatesRoundTripAtAnyWidth)
{
    for (int w : {320, 321, 322, 323}) {
        Frame(w, 37);
        const cv::Mat frame = Noise(w, 37, CV_8UC1);
        Template(1, 4, frame);
        ASSERT_TRUE(TemplateStore::SaveTemplate(view, 1, 4));
        QImage file(QStringLiteral("cammer12/template4.bmp"));
        EXPECT_EQ(file.format(), QImage::Format_Indexed8);
        EXPECT_EQ(file.colorTable(), TemplateStore::GreyColourTable());
        const cv::Mat back = TemplateStore::ReadFrame(TemplateStore::TemplatePath(0, 1, 4), w, 37, 8);
        ASSERT_FALSE(back.empty()) << w;
        EXPECT_EQ(cv::norm(back, frame, cv::NORM_INF), 0) << w;
    }
}

TEST_F(TemplateFiles, ColourTemplatesRoundTripAtAnyWidth)
{
    for (int w : {321, 322}) {
        Frame(w, 23, true);
        const cv::Mat frame = Noise(w, 23, CV_8UC4);
        Template(0, 0, frame);
        ASSERT_TRUE(TemplateStore::SaveTemplate(view, 0, 0));
        const cv::Mat back = TemplateStore::ReadFrame(TemplateStore::TemplatePath(0, 0, 0), w, 23, 32);
        ASSERT_FALSE(back.empty()) << w;
        EXPECT_EQ(cv::norm(back, frame, cv::NORM_INF), 0) << w;
    }
}

TEST_F(TemplateFiles, IgnorePointsRoundTripAtAnOddWidth)
{
    Frame(333, 41);
    cv::Mat points = cv::Mat::zeros(41, 333, CV_8UC1);
    points(cv::Rect(330, 0, 3, 41)).setTo(255);
    points.at<uchar>(40, 0) = 7;
    view.ignoreImage[1] = points.clone();
    ASSERT_TRUE(TemplateStore::SaveIgnorePoint(view, 1));
    EXPECT_EQ(QImage(QStringLiteral("cammer12/ignorepoint.bmp")).format(), QImage::Format_Indexed8);
    view.ignoreImage[1].setTo(0);
    TemplateStore::LoadIgnorePoint(view);
    EXPECT_EQ(cv::norm(view.ignoreImage[1], points, cv::NORM_INF), 0);
    EXPECT_EQ(cv::countNonZero(view.ignoreImage[0]), 0);   // no file
}

// Pages of a frame that are in memory, by mincore.
int ResidentPages(const cv::Mat& frame)
{
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<uintptr_t>(frame.datastart) / page * page;
    const size_t pages = (reinterpret_cast<uintptr_t>(frame.dataend) - start + page - 1) / page;
    std::vector<unsigned char> in(pages);
    if (mincore(reinterpret_cast<void*>(start), pages * page, in.data()) != 0)
        return -1;
    return int(std::count_if(in.begin(), in.end(), [](unsigned char v) { return v & 1; }));
}

// A step without ignore points (no file, or a file of zeros) costs no memory
// until points are set; the frame is an ordinary one otherwise.
TEST_F(TemplateFiles, StepsWithoutIgnorePointsTakeNoMemory)
{
    Frame(1280, 1024);
    ASSERT_TRUE(TemplateStore::WriteFrame(TemplateStore::IgnorePointPath(0, 1), cv::Mat::zeros(1024, 1280, CV_8UC1)));
    TemplateStore::LoadIgnorePoint(view);
    for (int d : {0, 1}) {
        cv::Mat& points = view.ignoreImage[d];
        EXPECT_EQ(points.size(), cv::Size(1280, 1024)) << d;
        EXPECT_EQ(ResidentPages(points), 0) << d;
        points.at<uchar>(1023, 1279) = 9;
        EXPECT_EQ(ResidentPages(points), 1) << d;
        EXPECT_EQ(cv::countNonZero(points), 1) << d;
        const cv::Mat copy = points.clone();
        points.release();
        EXPECT_EQ(copy.at<uchar>(1023, 1279), 9) << d;
    }
}

TEST_F(TemplateFiles, IgnorePointsOfAnotherSizeReadAsNone)
{
    Frame(64, 48);
    view.ignoreImage[0] = cv::Mat(48, 65, CV_8UC1, cv::Scalar(255));
    ASSERT_TRUE(TemplateStore::WriteFrame(TemplateStore::IgnorePointPath(0, 0), view.ignoreImage[0]));
    TemplateStore::LoadIgnorePoint(view);
    EXPECT_EQ(view.ignoreImage[0].size(), cv::Size(64, 48));
    EXPECT_EQ(cv::countNonZero(view.ignoreImage[0]), 0);
}

TEST_F(TemplateFiles, LoadingTakesFilesOfTheFrameSizeAndKind)
{
    Frame(64, 48);
    const cv::Mat good = Noise(64, 48, CV_8UC1);
    TemplateStore::WriteFrame(TemplateStore::TemplatePath(0, 0, 0), good);
    TemplateStore::WriteFrame(TemplateStore::TemplatePath(0, 0, 2), good);
    TemplateStore::WriteFrame(TemplateStore::TemplatePath(0, 0, 3), Noise(63, 48, CV_8UC1));
    TemplateStore::WriteFrame(TemplateStore::TemplatePath(0, 0, 4), Noise(64, 48, CV_8UC4));
    TemplateStore::WriteFrame(TemplateStore::TemplatePath(0, 0, 10), good);   // beyond gTempNum
    TemplateStore::LoadTemplates(view);
    EXPECT_EQ(view.templateFlags[0], (std::vector<int>{1, 0, 1, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(view.templateTotal[0], 2);
    EXPECT_EQ(cv::norm(view.templates[0][2], good, cv::NORM_INF), 0);
    EXPECT_TRUE(view.templates[0][3].empty());
}

TEST_F(TemplateFiles, MissingReferenceIsMadeInMemory)
{
    Frame(64, 48);
    TemplateStore::LoadTemplates(view);
    for (int d = 0; d < gDNum; ++d) {
        EXPECT_EQ(view.templateTotal[d], 1);
        const cv::Mat& made = view.templates[d][0];
        EXPECT_EQ(made.at<uchar>(12, 16), 255);   // (W/4, H/4)
        EXPECT_EQ(made.at<uchar>(36, 48), 255);   // (3W/4, 3H/4), both ends included
        EXPECT_EQ(made.at<uchar>(36, 49), 0);
        EXPECT_EQ(made.at<uchar>(11, 16), 0);
        EXPECT_EQ(cv::countNonZero(made), 33 * 25);
    }
    EXPECT_EQ(view.templateTotal[2], 0);   // steps beyond gDNum are not loaded
    EXPECT_TRUE(QDir(QStringLiteral("cammer11")).entryList(QDir::Files).isEmpty());
}

TEST_F(TemplateFiles, GreyFileIsMissingForAColourCamera)
{
    Frame(64, 48, true);
    TemplateStore::WriteFrame(TemplateStore::TemplatePath(0, 0, 1), Noise(64, 48, CV_8UC1));
    TemplateStore::WriteFrame(TemplateStore::TemplatePath(0, 0, 2), Noise(64, 48, CV_8UC4));
    TemplateStore::LoadTemplates(view);
    EXPECT_EQ(view.templateFlags[0][1], 0);
    EXPECT_EQ(view.templateFlags[0][2], 1);
    EXPECT_EQ(view.templateTotal[0], 2);   // with the reference made in memory
}

TEST_F(TemplateFiles, WrittenFilesAreReportedWhileTheLinkIsReady)
{
    Frame(64, 48);
    settings.netLinkOn = 1;
    view.cameraIndex = 1;
    ASSERT_TRUE(TemplateStore::SaveIgnorePoint(view, 0));
    EXPECT_EQ(reported, QStringList{QFileInfo(QStringLiteral("cammer21/ignorepoint.bmp")).absoluteFilePath()});
    linkReady = false;
    ASSERT_TRUE(TemplateStore::SaveIgnorePoint(view, 1));
    settings.netLinkOn = 0;
    linkReady = true;
    ASSERT_TRUE(TemplateStore::SaveIgnorePoint(view, 1));
    EXPECT_EQ(reported.size(), 1);
}

TEST_F(TemplateFiles, FileNotWrittenIsNotReported)
{
    Frame(64, 48);
    settings.netLinkOn = 1;
    view.cameraIndex = 5;   // no folder cammer61
    Template(0, 0, Flat(9));
    EXPECT_FALSE(TemplateStore::SaveIgnorePoint(view, 0));
    EXPECT_FALSE(TemplateStore::SaveTemplate(view, 0, 0));
    EXPECT_TRUE(reported.isEmpty());
}

TEST_F(TemplateFiles, RelearntFrameBecomesTemplateZero)
{
    Frame(65, 48);
    Template(1, 0, Flat(0));
    const cv::Mat raw = Noise(65, 48, CV_8UC1);
    raw.copyTo(view.imageRaw);
    ASSERT_TRUE(TemplateStore::SaveReTrainImage(view, 1));
    EXPECT_EQ(cv::norm(view.templates[1][0], raw, cv::NORM_INF), 0);
    EXPECT_EQ(cv::norm(view.imageWork, raw, cv::NORM_INF), 0);
    EXPECT_EQ(cv::norm(view.imageShow, raw, cv::NORM_INF), 0);
    EXPECT_EQ(view.templateTotal[1], 1);
    const cv::Mat file = TemplateStore::ReadFrame(TemplateStore::TemplatePath(0, 1, 0), 65, 48, 8);
    EXPECT_EQ(cv::norm(file, raw, cv::NORM_INF), 0);
}

TEST_F(TemplateFiles, DeletingARegionClearsItsIgnorePointsAndMovesTheRest)
{
    Frame(120, 100);
    for (int d : {0, 1}) {
        AddRect(d, kFuncBlackArea, QRect(10, 10, 20, 20), 1, 2, 3);    // (10,10)-(29,29)
        AddCircle(d, kFuncWhiteArea, 60, 50, 10, 4, 4, 5, 6);
        AddPolygon(d, kFuncSpot, {{80, 10}, {110, 10}, {95, 40}}, 7, 8, 9);
    }
    live.outN[0] = 1;
    live.outN[1] = 2;
    live.outN[2] = 3;
    CopyToEdit();
    view.ignoreImage[1].setTo(255);
    const Circle circle = edit.circles[1][1];
    const QVector<QPoint> triangle = edit.polygons[1][2].pts;

    TemplateStore::DeleteROI(view, 1, 0);
    EXPECT_EQ(cv::countNonZero(view.ignoreImage[1]), 120 * 100 - 20 * 20);
    EXPECT_EQ(view.ignoreImage[1].at<uchar>(29, 29), 0);
    EXPECT_EQ(view.ignoreImage[1].at<uchar>(30, 29), 255);
    const cv::Mat saved = TemplateStore::ReadFrame(TemplateStore::IgnorePointPath(0, 1), 120, 100, 8);
    EXPECT_EQ(cv::norm(saved, view.ignoreImage[1], cv::NORM_INF), 0);
    EXPECT_EQ(edit.roiNum[1], 2);
    EXPECT_EQ(edit.roiType[1][0], kRoiCircle);
    EXPECT_EQ(edit.circles[1][0].cx, circle.cx);
    EXPECT_EQ(edit.circles[1][0].rIn, circle.rIn);
    EXPECT_EQ(edit.roiType[1][1], kRoiPolygon);
    EXPECT_EQ(edit.polygons[1][1].pts, triangle);
    EXPECT_EQ((std::vector<int>{edit.minWH[1][0], edit.sensitivity[1][0], edit.area[1][0], edit.func[1][0]}),
              (std::vector<int>{4, 5, 6, kFuncWhiteArea}));
    EXPECT_EQ(view.editMasks[1][0].size(), cv::Size(20, 20));
    EXPECT_EQ(edit.outN[0], 1);   // outputs move only with step 0

    TemplateStore::DeleteROI(view, 0, 0);
    EXPECT_EQ(edit.outN[0], 2);
    EXPECT_EQ(edit.outN[1], 3);
    EXPECT_EQ(live.roiNum[0], 3);   // the record in force is not touched

    TemplateStore::DeleteROI(view, 1, 1);   // the last one
    EXPECT_EQ(edit.roiNum[1], 1);
    EXPECT_EQ(edit.roiType[1][0], kRoiCircle);
}

}  // namespace
