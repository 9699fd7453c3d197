// The simulated camera source behind the SDK stand-ins: only the folder's
// family lists cameras, an unplugged camera fails its calls until it comes
// back, frames carry their number, and the call log reaches the folder.

#include "tests/camera/camerafixture.h"

#include "tools/camera-sim/simrig.h"
#include "camera/sdk/gxsdk.h"
#include "camera/sdk/idssdk.h"
#include "camera/sdk/hiksdk.h"

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
