// Opening by serial number or position, the frame hand-off into each view's
// buffer, colour expansion, frames of the wrong size and open failures, for
// simulated cameras of every family.

#include "tests/camera/camerafixture.h"

#include "tools/camera-sim/simrig.h"

#include <cstring>

namespace {

class Acquisition : public CameraFixture, public ::testing::WithParamInterface<int>
{
protected:
    void storeSerial(int view, int cam) { std::strcpy(gSerialNB[view], Serial(cam).c_str()); }
};

// Families whose cameras carry serial numbers the positions are stored by.
bool opensBySerial(int family)
{
    return family != kCameraUsb;
}

TEST_P(Acquisition, NewestFramesArriveInEachBufferOfTheCameraStoredThere)
{
    const int family = GetParam();
    makeSim(family, 3);
    detect();
    ASSERT_EQ(gCameraID, family);
    if (opensBySerial(family))   // views 0 and 1 swapped by their stored serials
        for (int view = 0; view < 3; ++view)
            storeSerial(view, view < 2 ? 1 - view : view);
    startViews(3);
    ASSERT_EQ(numCamera, 3);
    std::vector<uint8_t> raw;
    for (int view = 0; view < 3; ++view) {
        const int cam = opensBySerial(family) && view < 2 ? 1 - view : view;
        ASSERT_TRUE(waitFrame(view, &raw)) << view;
        EXPECT_NEAR(centre(raw), Level(cam), 1) << view;
    }
    // A replaced frame is the newest frame within a second.
    writeFrame(2, cv::Mat(1024, 1280, CV_8UC1, cv::Scalar(222)));
    EXPECT_TRUE(WaitFor([&] { return waitFrame(2, &raw, 100) && centre(raw) >= 221; }, 2000));
    // Consecutive frames differ (frame counter), so a stopped stream shows.
    std::vector<uint8_t> next;
    ASSERT_TRUE(waitFrame(2, &next));
    EXPECT_NE(raw, next);
}

TEST_P(Acquisition, GreyFramesAreExpandedInColourMode)
{
    makeSim(GetParam(), 1);
    gisColor = 1;
    detect();
    startViews(1);
    std::vector<uint8_t> raw;
    ASSERT_TRUE(waitFrame(0, &raw));
    ASSERT_EQ(raw.size(), static_cast<size_t>(gImageW) * gImageH * 4);
    for (int channel = 0; channel < 3; ++channel)
        EXPECT_NEAR(centre(raw, channel), Level(0), 1) << channel;
    EXPECT_EQ(centre(raw, 3), 255);
}

TEST_P(Acquisition, OpeningAnOpenCameraClosesItFirst)
{
    makeSim(GetParam(), 1);
    detect();
    CameraUnit& unit = openView(0);
    unit.CameraStart();
    unit.CameraOpen();   // again, while acquiring
    ASSERT_TRUE(unit.cameraOpen());
    unit.CameraStart();
    std::vector<uint8_t> raw;
    EXPECT_TRUE(waitFrame(0, &raw));
}

TEST_P(Acquisition, AnUnpluggedCameraLeavesItsPositionClosed)
{
    makeSim(GetParam(), 2);
    detect();
    setOffline(1, true);
    EXPECT_TRUE(openView(0).cameraOpen());
    EXPECT_FALSE(openView(1).cameraOpen());
    EXPECT_FALSE(units[1]->CameraStart());
    EXPECT_EQ(numCamera, 1);
}

INSTANTIATE_TEST_SUITE_P(Families, Acquisition, ::testing::Values(4, 5, 6, 7, 9),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "family" + std::to_string(info.param);
                         });

// A camera delivering frames of another size than the program's: nothing is
// copied (the frame information or head gives the size), nothing crashes.
class WrongSize : public CameraFixture, public ::testing::WithParamInterface<int>
{
};

TEST_P(WrongSize, FramesOfAnotherSizeAreDropped)
{
    makeSim(GetParam(), 1);
    detect();
    startViews(1);
    std::vector<uint8_t> raw;
    ASSERT_TRUE(waitFrame(0, &raw));
    writeFrame(0, cv::Mat(600, 800, CV_8UC1, cv::Scalar(200)));
    EXPECT_TRUE(waitSilent(0, 600));
    writeFrame(0, cv::Mat(1024, 1280, CV_8UC1, cv::Scalar(90)));
    EXPECT_TRUE(waitFrame(0, &raw));
}

INSTANTIATE_TEST_SUITE_P(Families, WrongSize, ::testing::Values(4, 6, 7),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "family" + std::to_string(info.param);
                         });

// Colour cameras with colour processing: the frame keeps its colours
// (B, G, R, 255 in memory), through the ISP output or the Bayer conversion.
TEST_F(Acquisition, ColourCamerasDeliverTheirColours)
{
    for (int family : {6, 7}) {
        closeViews();
        makeSim(family, 1, cv::Size(640, 480), true);
        gisColor = 1;
        gisCut = 0;
        detect();
        ASSERT_EQ(gSensorColor, 1);
        startViews(1);
        std::vector<uint8_t> raw;
        ASSERT_TRUE(waitFrame(0, &raw)) << family;
        const cv::Vec3b bgr = Colour(0);
        for (int channel = 0; channel < 3; ++channel)
            EXPECT_NEAR(centre(raw, channel), bgr[channel], 2) << family << " channel " << channel;
    }
}

TEST_F(Acquisition, UnknownSerialLeavesTheFamily6PositionClosed)
{
    makeSim(6, 2);
    detect();
    std::strcpy(gSerialNB[0], "NOSUCHSERIAL1");
    std::strcpy(gSerialNB[1], Serial(0).c_str());
    EXPECT_FALSE(openView(0).cameraOpen());
    EXPECT_TRUE(openView(1).cameraOpen());
    EXPECT_EQ(records, QStringList({QStringLiteral("Mind Fail = -1"),
                                    QStringLiteral("Mind Open 2 = ") + QString::fromStdString(Serial(0))}));
}

TEST_F(Acquisition, Family5SearchesOnlySerialsOfNineToNineteenCharacters)
{
    makeSim(5, 2);
    detect();
    std::strcpy(gSerialNB[0], Serial(1).c_str());   // 11 characters: searched
    std::strcpy(gSerialNB[1], "SHORT1");            // by position
    startViews(2);
    std::vector<uint8_t> raw;
    ASSERT_TRUE(waitFrame(0, &raw));
    EXPECT_NEAR(centre(raw), Level(1), 1);
    EXPECT_FALSE(units[1]->cameraOpen());   // position 1's camera is the one open at view 0
    std::strcpy(gSerialNB[0], "TWENTYCHARACTERS0000");
    units[0]->CameraOpen();
    EXPECT_TRUE(units[0]->cameraOpen());    // too long to search: opens by position
}

TEST_F(Acquisition, PositionsBeyondTheCamerasFoundStayClosed)
{
    makeSim(7, 2);
    detect();
    EXPECT_FALSE(openView(2).cameraOpen());
    EXPECT_EQ(countCalls("MV_CC_OpenDevice"), 1);   // detection's own look only
}

}  // namespace
