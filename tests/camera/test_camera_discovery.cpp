// Camera discovery over simulated cameras of every family, the geometry
// table, the USB camera count and the fall-back when nothing answers.

#include "tests/camera/camerafixture.h"

#include "camera/camerafamilies.h"
#include "tools/camera-sim/simrig.h"

#include <QFile>

namespace {

struct FamilyCase {
    int family;
    int width;    // frame geometry the program then works with
    int height;
};

class Discovery : public CameraFixture, public ::testing::WithParamInterface<FamilyCase>
{
};

TEST_P(Discovery, FindsTheOnlineCamerasOfTheFamily)
{
    const FamilyCase c = GetParam();
    makeSim(c.family, 3);
    setOffline(1, true);   // unplugged: not listed
    detect();
    EXPECT_EQ(gCameraID, c.family);
    EXPECT_EQ(gFindCamera, 2);
    EXPECT_EQ(gImageW, c.width);
    EXPECT_EQ(gImageH, c.height);
    EXPECT_EQ(gSensorColor, 0);
}

// 1280 x 1024 sensors: families 4 and 6 cut to 1120 x 840 with reduced
// presets on; family 5 is always 1280 x 1024; family 7 keeps the device's
// size; USB frames are 960 x 540.
INSTANTIATE_TEST_SUITE_P(Families, Discovery,
                         ::testing::Values(FamilyCase{4, 1120, 840}, FamilyCase{5, 1280, 1024},
                                           FamilyCase{6, 1120, 840}, FamilyCase{7, 1280, 1024},
                                           FamilyCase{9, 960, 540}),
                         [](const ::testing::TestParamInfo<FamilyCase>& info) {
                             return "family" + std::to_string(info.param.family);
                         });

TEST_F(Discovery, NothingFoundRunsWithFourPositionsWithoutFrames)
{
    CommandRecorder commands;
    makeSim(6, 2);
    setOffline(0, true);
    setOffline(1, true);
    detect();
    EXPECT_EQ(gCameraID, kCameraNone);
    EXPECT_EQ(gFindCamera, 4);
    EXPECT_EQ(gImageW, 1920);
    EXPECT_EQ(gImageH, 1080);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(openView(i).cameraOpen()) << i;
    std::vector<uint8_t> raw;
    units[0]->CameraStart();
    EXPECT_FALSE(waitFrame(0, &raw, 500));
    // No simulated cameras at all: the kernel's lists are read (the copy goes
    // through the command runner) and nothing is found either.
    qunsetenv("MOULDMON_SIM_CAMERAS");
    simcam::Rig::instance().reload();
    CheckCameraID();
    EXPECT_EQ(gCameraID, kCameraNone);
    EXPECT_TRUE(commands.lines().contains(QStringLiteral("cp -f /proc/bus/input/devices .")));
}

TEST_F(Discovery, DefaultFamilyIsSixAndColourFollowsTheFrame)
{
    makeSim(6, 1, cv::Size(1280, 1024), true);
    std::remove((simPath() + "/family").c_str());
    detect();
    EXPECT_EQ(gCameraID, kCameraMv);
    EXPECT_EQ(gSensorColor, 1);
}

TEST_F(Discovery, ModelNameEndingInMMarksAMonoSensor)
{
    makeSim(7, 1, cv::Size(640, 480), true);
    detect();
    EXPECT_EQ(gSensorColor, 1);
    makeSim(7, 1, cv::Size(640, 480), false);
    detect();
    EXPECT_EQ(gSensorColor, 0);
    EXPECT_EQ(gOW, 640);
    EXPECT_EQ(gImageW, 640);
}

TEST_F(Discovery, GeometryTable)
{
    struct Row {
        int family, ow, oh;
        bool cut;
        int w, h;
        bool preset;
    };
    const Row rows[] = {
        {4, 1280, 1024, true, 1120, 840, false},  {4, 1280, 1024, false, 1280, 1024, false},
        {4, 2048, 1536, true, 1600, 1200, false}, {4, 2048, 1536, false, 2048, 1536, false},
        {4, 2592, 1944, true, 1296, 972, false},  {4, 2592, 1944, false, 1296, 972, false},
        {4, 1440, 1080, true, 1440, 1080, false}, {6, 1280, 1024, true, 1120, 840, false},
        {6, 1600, 1200, true, 1300, 1000, false}, {6, 1600, 1200, false, 1600, 1200, false},
        {6, 2048, 1536, true, 1600, 1200, false}, {6, 2592, 1944, true, 2592, 1944, true},
        {6, 2592, 1944, false, 2592, 1944, false}, {6, 3088, 2064, true, 2592, 1944, false},
        {6, 3088, 2064, false, 3088, 2064, false}, {6, 744, 480, true, 744, 480, false},
    };
    for (const Row& r : rows) {
        const FrameGeometry g = DetectedGeometry(r.family, r.ow, r.oh, r.cut);
        EXPECT_EQ(g.width, r.w) << r.family << " " << r.ow << " " << r.cut;
        EXPECT_EQ(g.height, r.h) << r.family << " " << r.ow << " " << r.cut;
        EXPECT_EQ(g.preset, r.preset) << r.family << " " << r.ow << " " << r.cut;
    }
}

// The 2592-wide cut takes entry 10 of the camera's preset list; a camera
// with a shorter list keeps its native geometry instead of reading past it.
TEST_F(Discovery, PresetOfWideSensorsNeedsElevenEntries)
{
    makeSim(6, 1, cv::Size(2592, 1944));
    detect();
    EXPECT_EQ(gImageW, 1296);
    EXPECT_EQ(gImageH, 972);
    EXPECT_EQ(gImageResolution.index, 10);
    simcam::Rig::instance().knobs.presetCount = 6;
    CheckCameraID();
    EXPECT_EQ(gImageW, 2592);
    EXPECT_EQ(gImageH, 1944);
}

TEST_F(Discovery, UsbCameraLinesAreCountedWithoutRegardToCase)
{
    QFile file(work.file(QStringLiteral("list")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("N: Name=\"USB Camera\"\nN: Name=\"Keyboard\"\nN: Name=\"HD WEBCAM C270\"\n"
               "N: Name=\"integrated camera\"\nH: Handlers=webcam0\n");
    file.close();
    EXPECT_EQ(CountUsbCameraLines(file.fileName()), 4);
    EXPECT_EQ(CountUsbCameraLines(work.file(QStringLiteral("missing"))), 0);
}

}  // namespace
