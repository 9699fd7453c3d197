// The simulated camera source behind the SDK stand-ins: only the folder's
// family lists cameras, an unplugged camera fails its calls until it comes
// back, frames carry their number and sensor noise, and the call log reaches
// the folder.

#include "tests/camera/camerafixture.h"

#include "tools/camera-sim/simrig.h"
#include "camera/sdk/gxsdk.h"
#include "camera/sdk/idssdk.h"
#include "camera/sdk/hiksdk.h"

#include <opencv2/core.hpp>

#include <fstream>

namespace {

class SimRig : public CameraFixture
{
protected:
    void point()
    {
        qputenv("MOULDMON_SIM_CAMERAS", QByteArray::fromStdString(simPath()));
        simcam::Rig::instance().reload();
    }
};

TEST_F(SimRig, OnlyTheFolderFamilyListsCameras)
{
    makeSim(5, 2);
    point();
    uint32_t gx = 99;
    int32_t ids = 0;
    MvccDeviceList hik;
    EXPECT_EQ(GXUpdateDeviceList(&gx, 20), kGxSuccess);
    EXPECT_EQ(is_GetNumberOfCameras(&ids), kIsSuccess);
    EXPECT_EQ(MV_CC_EnumDevices(kMvccGigE | kMvccUsb, &hik), kMvccOk);
    EXPECT_EQ(gx, 0u);
    EXPECT_EQ(ids, 2);
    EXPECT_EQ(hik.count, 0u);
}

TEST_F(SimRig, AnUnpluggedCameraFailsItsCallsUntilPluggedIn)
{
    makeSim(4, 1);
    exactFrames();
    point();
    GxHandle h = nullptr;
    ASSERT_EQ(GXOpenDeviceByIndex(1, &h), kGxSuccess);
    std::vector<uint8_t> buffer(1280 * 1024);
    GxFrame frame;
    frame.imageBuffer = buffer.data();
    ASSERT_EQ(GXSendCommand(h, 0x70000BB9), kGxSuccess);
    ASSERT_EQ(GXGetImage(h, &frame, 200), kGxSuccess);
    EXPECT_EQ(frame.status, kGxFrameComplete);
    const uint64_t first = frame.frameId;
    setOffline(0, true);
    uint32_t n = 9;
    GXUpdateDeviceList(&n, 20);
    EXPECT_EQ(n, 0u);
    EXPECT_NE(GXSetFloat(h, 0x20000BC1, 1000), kGxSuccess);
    EXPECT_NE(GXGetImage(h, &frame, 100), kGxSuccess);
    setOffline(0, false);
    ASSERT_EQ(GXGetImage(h, &frame, 200), kGxSuccess);
    EXPECT_GT(frame.frameId, first);
    EXPECT_EQ(frame.width, 1280);
    EXPECT_EQ(buffer[0], static_cast<uint8_t>(frame.frameId & 0xFF));   // the frame's stamp
    EXPECT_EQ(buffer[640 * 1280 + 512], Level(0));
    EXPECT_EQ(GXCloseDevice(h), kGxSuccess);
}

TEST_F(SimRig, TheCallLogReachesTheFolder)
{
    makeSim(6, 1);
    detect();
    ASSERT_TRUE(openView(0).cameraOpen());
    EXPECT_TRUE(called("CameraInit cam0"));
    std::ifstream log(simPath() + "/calls.log");
    std::string line;
    bool found = false;
    while (std::getline(log, line))
        found = found || line == "CameraSetTriggerMode cam0 0";
    EXPECT_TRUE(found);
}

}  // namespace

// Sensor noise: two frames of a camera are never equal; each differs from its
// file by one grey level on at most one pixel in kNoiseSpacing, never past 0
// or 255; a frame number of a camera always carries the same noise; and
// MOULDMON_SIM_NOISE=0 gives the file's exact pixels.
TEST_F(SimRig, FramesCarrySparseSeededNoiseUnlessTurnedOff)
{
    const cv::Size size(320, 240);
    makeSim(6, 1, size);
    point();
    simcam::Rig& rig = simcam::Rig::instance();
    const cv::Mat file(size, CV_8UC1, cv::Scalar(Level(0)));
    cv::Mat a, b;
    uint64_t na = 0, nb = 0;
    ASSERT_TRUE(rig.nextFrame(0, 0, 1000, &a, &na));
    ASSERT_TRUE(rig.nextFrame(0, na, 1000, &b, &nb));
    for (const cv::Mat& frame : {a, b}) {
        cv::Mat diff;
        cv::absdiff(frame, file, diff);
        EXPECT_EQ(cv::norm(diff, cv::NORM_INF), 1.0);
        EXPECT_LE(cv::countNonZero(diff), static_cast<int>(file.total() / simcam::kNoiseSpacing));
    }
    EXPECT_GT(cv::norm(a, b, cv::NORM_L1), 0.0);

    for (int level : {0, 255}) {
        cv::Mat first(size, CV_8UC3, cv::Scalar::all(level)), again = first.clone();
        simcam::AddNoise(first, 2, 77);
        simcam::AddNoise(again, 2, 77);
        EXPECT_EQ(cv::norm(first, again, cv::NORM_INF), 0.0);
        cv::Mat diff;
        cv::absdiff(first, cv::Scalar::all(level), diff);
        EXPECT_EQ(cv::norm(diff, cv::NORM_INF), 1.0) << level;
    }

    exactFrames();
    point();
    ASSERT_TRUE(rig.nextFrame(0, 0, 1000, &a, &na));
    EXPECT_EQ(cv::norm(a, file, cv::NORM_INF), 0.0);
}
