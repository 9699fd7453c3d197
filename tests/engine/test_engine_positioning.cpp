// Positioning: a frame of the mould shifted or turned within the search
// range is brought back into the template's position and judged OK; one
// moved beyond the range is judged unaligned and fails. Also the model
// rectangle and search window of a step, and the parallel judging of
// several cameras.

#include "enginefixture.h"

#include "inspection/inspectionhooks.h"
#include "inspection/regionjudge.h"

#include <opencv2/imgproc.hpp>

namespace {

constexpr int kW = 320, kH = 256;
const QRect kPositionRect(100, 80, 120, 96);   // centre (160, 128)
const QRect kDefectRect(60, 50, 200, 156);
const cv::Point2d kCentre(160, 128);

class Positioning : public EngineFixture
{
protected:
    Positioning()
    {
        Frame(kW, kH);
        settings.motionCorrection = 0;
        settings.maxLocationOffset = 40;
        scene = MakeMouldScene(kW, kH, 11);
        Template(0, 0, scene);
    }

    // A position region and a defect region that allows 20 pixels of difference.
    void Regions()
    {
        AddRect(0, kFuncPosition, kPositionRect, 10, 10, 10);
        defect = AddRect(0, kFuncDefect, kDefectRect, 3, 25, 20);
    }

    // Mean grey difference between the aligned frame and the template in the model rectangle.
    double Residual() const
    {
        const cv::Rect r(kPositionRect.x(), kPositionRect.y(), kPositionRect.width(), kPositionRect.height());
        cv::Mat diff;
        cv::absdiff(view.imageWork(r), scene(r), diff);
        return cv::mean(diff)[0];
    }

    cv::Mat scene;
    int defect = -1;
};

TEST_F(Positioning, ShiftedFrameIsBroughtBack)
{
    Regions();
    const cv::Mat moved = MoveScene(scene, {7, -4}, kCentre, 0);
    Judge(0, moved);
    const CammerRecong::Alignment& a = Engine().LastAlignment();
    ASSERT_TRUE(a.found);
    EXPECT_EQ(a.dx, 7);
    EXPECT_EQ(a.dy, -4);
    EXPECT_LT(Residual(), 2.0);
    EXPECT_TRUE(view.cameraOk) << view.roiValue[0][defect];

    settings.motionCorrection = -1;   // the same frame unaligned fails
    Judge(0, moved);
    EXPECT_FALSE(Engine().LastAlignment().searched);
    EXPECT_FALSE(view.cameraOk);
}

TEST_F(Positioning, TurnedFrameIsBroughtBack)
{
    settings.rotationCorrection = 5;
    Regions();
    Judge(0, MoveScene(scene, {4, 3}, kCentre, 3.0));
    const CammerRecong::Alignment& a = Engine().LastAlignment();
    ASSERT_TRUE(a.found);
    EXPECT_NEAR(a.angle, 3.0, 0.5);
    EXPECT_EQ(a.dx, 4);
    EXPECT_EQ(a.dy, 3);
    EXPECT_LT(Residual(), 3.0);
    EXPECT_TRUE(view.cameraOk) << view.roiValue[0][defect];
}

// The search finds the model wherever its centre lies in the window; a part
// moved so far that it lies wholly outside the window is not found there.
TEST_F(Positioning, ShiftBeyondTheSearchWindowFails)
{
    settings.maxLocationOffset = 10;
    AddRect(0, kFuncPosition, QRect(130, 40, 60, 56), 10, 0, 0);
    defect = AddRect(0, kFuncDefect, kDefectRect, 3, 25, 20);
    ASSERT_TRUE(Engine().PositionModel(0).IsValid());
    EXPECT_EQ(Engine().SearchWindow(0), cv::Rect(120, 30, 80, 76));
    Judge(0, MoveScene(scene, {35, 0}, kCentre, 0));   // centre still in the window
    EXPECT_TRUE(view.cameraOk);
    Judge(0, MoveScene(scene, {75, 0}, kCentre, 0));   // the part starts beyond the window
    EXPECT_FALSE(view.cameraOk);
    EXPECT_FALSE(view.roiOk[0][defect]);
}

TEST_F(Positioning, TurnBeyondTheRangeFails)
{
    settings.rotationCorrection = 5;
    Regions();
    Judge(0, MoveScene(scene, {0, 0}, kCentre, 25.0));
    EXPECT_FALSE(view.cameraOk);
}

TEST_F(Positioning, StepWithoutPositionRegionUsesTheCentredHalfFrame)
{
    settings.maxLocationOffset = 8000;
    defect = AddRect(0, kFuncDefect, kDefectRect, 3, 25, 20);
    EXPECT_EQ(Engine().ModelCentre(0), cv::Point(160, 128));
    EXPECT_EQ(Engine().SearchWindow(0), cv::Rect(0, 0, kW, kH));
    EXPECT_TRUE(Engine().PositionModel(0).IsValid());
    Judge(0, MoveScene(scene, {-5, 6}, kCentre, 0));
    EXPECT_EQ(Engine().LastAlignment().dx, -5);
    EXPECT_EQ(Engine().LastAlignment().dy, 6);
    EXPECT_TRUE(view.cameraOk);
}

TEST_F(Positioning, FirstPositionRegionGivesTheModel)
{
    AddRect(0, kFuncPosition, QRect(400, 80, 50, 50), 10, 0, 0);   // off the frame: the default rectangle
    AddRect(0, kFuncPosition, kPositionRect, 10, 0, 0);
    AddRect(1, kFuncPosition, QRect(20, 30, 101, 61), 10, 0, 0);
    AddRect(1, kFuncPosition, kPositionRect, 10, 0, 0);
    AddRect(1, kFuncPosition, QRect(280, 200, 100, 100), 10, 0, 0);
    Template(1, 0, scene);
    EXPECT_EQ(Engine().ModelCentre(0), cv::Point(kW / 4 + kW / 4, kH / 4 + kH / 4));
    EXPECT_EQ(Engine().ModelCentre(1), cv::Point(20 + 101 / 2, 30 + 61 / 2));
    EXPECT_EQ(Engine().SearchWindow(1), cv::Rect(0, 0, 20 + 101 + 40, 30 + 61 + 40));
}

TEST_F(Positioning, OffMeansAPlainCopy)
{
    settings.motionCorrection = -1;
    Regions();
    EXPECT_FALSE(Engine().PositionModel(0).IsValid());
    EXPECT_EQ(Engine().SearchWindow(0), cv::Rect());
    const cv::Mat moved = MoveScene(scene, {7, -4}, kCentre, 0);
    Judge(0, moved);
    EXPECT_EQ(cv::norm(view.imageWork, moved, cv::NORM_INF), 0);
}

TEST_F(Positioning, NoTemplateMeansNoModel)
{
    view.ClearTemplate(1, 0);
    AddRect(1, kFuncBlackArea, kDefectRect, 0, 10, 100);
    Judge(1, scene);
    EXPECT_FALSE(Engine().PositionModel(1).IsValid());
    EXPECT_FALSE(Engine().LastAlignment().searched);
    EXPECT_EQ(cv::norm(view.imageWork, scene, cv::NORM_INF), 0);
}

// Several cameras judged at once leave what the calls one after the other
// leave, and hand on records and region results in camera order.
class Cameras : public EngineFixture
{
protected:
    struct Camera {
        explicit Camera(int index) : record(index) { view.cameraIndex = index; }
        CammerSingleton record;
        CameraWorkSet view;
        std::unique_ptr<CammerRecong> engine;
    };

    Cameras()
    {
        Frame(kW, kH);
        settings.motionCorrection = 0;
        settings.maxLocationOffset = 40;
        settings.netLinkOn = 1;
        trigSource = 1;
        const cv::Mat scene = MakeMouldScene(kW, kH, 5);
        Template(0, 0, scene);
        AddRect(0, kFuncPosition, kPositionRect, 10, 0, 0);
        AddRect(0, kFuncDefect, kDefectRect, 3, 25, 20);
        AddRect(0, kFuncBlackArea, QRect(700, 0, 10, 10), 0, 30, 100);   // off the frame: an error
        AddRect(0, kFuncBlackArea, kDefectRect, 0, 30, 100);
        for (int c = 0; c < 3; ++c) {
            auto camera = std::make_unique<Camera>(c);
            camera->record = live;
            camera->view.Allocate(kW, kH, false, gTempNum);
            camera->view.liveRecord = &camera->record;
            camera->view.liveMasks = view.liveMasks;
            camera->view.SetTemplate(0, 0, scene);
            camera->view.ignoreImage[0] = cv::Mat::zeros(kH, kW, CV_8UC1);
            cv::Mat frame = MoveScene(scene, {3.0 * c, -2.0 * c}, kCentre, 0);
            if (c == 1)
                frame(cv::Rect(100, 100, 30, 30)).setTo(0);   // fails
            frame.copyTo(camera->view.imageRaw);
            camera->engine = std::make_unique<CammerRecong>(&camera->record, &camera->view);
            cameras.push_back(std::move(camera));
        }
    }

    std::vector<CammerRecong*> Engines() const
    {
        std::vector<CammerRecong*> engines;
        for (const auto& c : cameras)
            engines.push_back(c->engine.get());
        return engines;
    }

    std::vector<std::unique_ptr<Camera>> cameras;
};

TEST_F(Cameras, JudgedTogetherAsOneAfterTheOther)
{
    for (CammerRecong* e : Engines()) {
        e->ShapeMatch(0);
        e->Run(0);
    }
    const QStringList sequentialRecords = records;
    const QList<param_roi> sequential = g_listParamROI;
    std::vector<cv::Mat> sequentialWork;
    for (const auto& c : cameras)
        sequentialWork.push_back(c->view.imageWork.clone());
    EXPECT_FALSE(cameras[1]->view.cameraOk);

    records.clear();
    g_listParamROI.clear();
    for (const auto& c : cameras)
        c->view.imageWork.setTo(0);
    CammerRecong::InspectAll(Engines(), 0);
    EXPECT_EQ(records, sequentialRecords);
    EXPECT_EQ(records, (QStringList{"REG RUN ERROR = 0, 0, -3", "REG RUN ERROR = 1, 0, -3",
                                    "REG RUN ERROR = 2, 0, -3"}));
    ASSERT_EQ(g_listParamROI.size(), sequential.size());
    for (int i = 0; i < sequential.size(); ++i) {
        EXPECT_EQ(g_listParamROI[i].camera, sequential[i].camera);
        EXPECT_EQ(g_listParamROI[i].value, sequential[i].value);
        EXPECT_EQ(g_listParamROI[i].ok, sequential[i].ok);
    }
    for (size_t c = 0; c < cameras.size(); ++c)
        EXPECT_EQ(cv::norm(cameras[c]->view.imageWork, sequentialWork[c], cv::NORM_INF), 0) << c;
}

// Regions judged at once on several threads: the defect picture of
// overlapping regions (the later one's pixels on top), the alarm boxes and
// the verdicts are those of the calls one after the other.
TEST_F(Cameras, DefectPicturesAndBoxesAsOneAfterTheOther)
{
    struct Seen {
        cv::Mat defects;
        std::vector<int> values, boxes;
        std::vector<bool> ok;
    };
    auto seen = [&](const Camera& c) {
        Seen s{c.view.defectImage.clone(), {}, {}, {}};
        for (int r = 0; r < c.record.roiNum[0]; ++r) {
            s.values.push_back(c.view.roiValue[0][r]);
            s.ok.push_back(c.view.roiOk[0][r]);
            const AlarmRect* boxes = c.view.alarmRects[0][r];
            for (int k = 0; k <= std::clamp(boxes[0].x1, 0, kMaxBoxes); ++k)
                s.boxes.insert(s.boxes.end(), {boxes[k].x1, boxes[k].y1, boxes[k].x2, boxes[k].y2});
        }
        return s;
    };
    for (CammerRecong* e : Engines()) {
        e->ShapeMatch(0);
        e->Run(0);
    }
    std::vector<Seen> sequential;
    for (const auto& c : cameras) {
        sequential.push_back(seen(*c));
        c->view.defectImage.setTo(7);
        for (auto& region : c->view.alarmRects[0])
            region[0].x1 = 0;
    }
    EXPECT_GT(cv::countNonZero(sequential[1].defects), 0);

    CammerRecong::InspectAll(Engines(), 0);
    for (size_t c = 0; c < cameras.size(); ++c) {
        const Seen together = seen(*cameras[c]);
        EXPECT_EQ(cv::norm(together.defects, sequential[c].defects, cv::NORM_INF), 0) << c;
        EXPECT_EQ(together.values, sequential[c].values) << c;
        EXPECT_EQ(together.ok, sequential[c].ok) << c;
        EXPECT_EQ(together.boxes, sequential[c].boxes) << c;
    }
}

}  // namespace

namespace {

// Frames turned as well as shifted: the alignments found and the aligned
// frames of cameras judged at once are exactly those of the calls one after
// the other.
TEST_F(Cameras, TurnedFramesAlignedTogetherAsOneAfterTheOther)
{
    settings.rotationCorrection = 10;
    const cv::Mat scene = MakeMouldScene(kW, kH, 5);
    for (size_t c = 0; c < cameras.size(); ++c) {
        MoveScene(scene, {2.0 - c, 1.0 + c}, kCentre, 3.0 * c - 4.0).copyTo(cameras[c]->view.imageRaw);
        cameras[c]->engine->CreateShape(0);
        ASSERT_EQ(cameras[c]->engine->PositionModel(0).AngleRange(), 10);
    }
    auto seen = [&] {
        std::vector<std::vector<double>> all;
        for (const auto& c : cameras) {
            const CammerRecong::Alignment& a = c->engine->LastAlignment();
            std::vector<double> s{double(a.found), double(a.dx), double(a.dy), a.angle, a.score,
                                  cv::norm(c->view.imageWork, cv::NORM_L1), double(c->view.cameraOk)};
            for (int r = 0; r < c->record.roiNum[0]; ++r)
                s.push_back(c->view.roiValue[0][r]);
            all.push_back(s);
        }
        return all;
    };
    for (CammerRecong* e : Engines()) {
        e->ShapeMatch(0);
        e->Run(0);
    }
    const auto sequential = seen();
    for (const auto& c : cameras)
        EXPECT_TRUE(c->engine->LastAlignment().found) << c->view.cameraIndex;
    EXPECT_NE(sequential[0][3], 0.0);   // a turn was found
    for (const auto& c : cameras)
        c->view.imageWork.setTo(0);
    CammerRecong::InspectAll(Engines(), 0);
    EXPECT_EQ(seen(), sequential);
}

}  // namespace
