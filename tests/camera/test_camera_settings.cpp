// Image settings: how each family maps the settings onto its device (seen in
// the stand-ins' call log), which record they follow, frame rate, trigger
// mode, restoring defaults, and the mapping formulas themselves.

#include "tests/camera/camerafixture.h"

#include "camera/cameraloss.h"
#include "camera/imagemapping.h"
#include "core/wizardpara.h"
#include "tools/camera-sim/simrig.h"

#include <QLocale>
#include <clocale>

namespace {

class Settings : public CameraFixture
{
protected:
    // Detects family, then puts these settings for position 0 in force.
    void setUpFamily(int family, bool colour = false)
    {
        makeSim(family, 1, cv::Size(1280, 1024), colour);
        detect();
        WizardPara& w = *gpWPara;
        w.exposeTime[0] = 20;
        w.adjustPlus[0] = 32;
        w.sharp[0] = 50;
        w.contrast[0] = 100;
        w.gamma[0] = 125;
        w.autoExposure = 0;
        w.autoShading = 1;
        w.captureSpeed = 3;
    }
    void expectCalls(const std::vector<std::string>& lines) const
    {
        for (const std::string& line : lines)
            EXPECT_TRUE(called(line)) << "missing call: " << line;
    }
};

struct SettingsCase {
    int family;
    std::vector<std::string> calls;
};

class SettingsReachDevice : public Settings, public ::testing::WithParamInterface<SettingsCase>
{
};

TEST_P(SettingsReachDevice, OpeningAppliesTriggerAndImageSettings)
{
    setUpFamily(GetParam().family);
    ASSERT_TRUE(openView(0).cameraOpen());
    expectCalls(GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(
    Families, SettingsReachDevice,
    ::testing::Values(
        SettingsCase{4,
                     {"GXSetInt cam0 0x100003EC 80", "GXSetInt cam0 0x100003ED 92", "GXSetInt cam0 0x100003EE 1120",
                      "GXSetInt cam0 0x100003EF 840", "GXSetEnum cam0 0x30000BB8 2", "GXSetEnum cam0 0x30000BBD 0",
                      "GXSetEnum cam0 0x30000BC2 0", "GXSetFloat cam0 0x20000BC1 200016",
                      "GXSetEnum cam0 0x300036B0 1", "GXSetFloat cam0 0x20001393 12",
                      "GXSetFloat cam0 0x2000138B 1", "GXSetFloat cam0 0x20001397 2.05"}},
        SettingsCase{5,
                     {"is_SetColorMode cam0 6", "is_AOI cam0 5 1280 1024", "is_PixelClock cam0 6 5",
                      "is_Exposure cam0 12 20", "is_SetHardwareGain cam0 32 32 32 32", "is_Gamma cam0 1 125"}},
        SettingsCase{6,
                     {"CameraSetImageResolution cam0 255 80,92 1120x840 1120x840", "CameraSetIspOutFormat cam0 0x1080001",
                      "CameraSetTriggerMode cam0 0", "CameraSetAeState cam0 0", "CameraSetExposureTime cam0 20000",
                      "CameraCommonCall cam0 set_awdr_enable(true)", "CameraSetAnalogGain cam0 72",
                      "CameraSetSharpness cam0 50", "CameraSetContrast cam0 100", "CameraSetGamma cam0 500"}},
        SettingsCase{7,
                     {"MV_CC_SetCommandValue cam0 UserSetLoad", "MV_CC_SetEnumValue cam0 PixelFormat 0x1080001",
                      "MV_CC_SetEnumValue cam0 TriggerMode 0", "MV_CC_SetEnumValue cam0 ExposureAuto 0",
                      "MV_CC_SetFloatValue cam0 ExposureTime 20000", "MV_CC_SetEnumValue cam0 GainAuto 0",
                      "MV_CC_SetFloatValue cam0 Gain 8.5", "MV_CC_SetIntValue cam0 Sharpness 50",
                      "MV_CC_SetFloatValue cam0 Gamma 2"}}),
    [](const ::testing::TestParamInfo<SettingsCase>& info) { return "family" + std::to_string(info.param.family); });

TEST_F(Settings, Family4ContrastIsAppliedToEveryFrameInSoftware)
{
    exactFrames();
    setUpFamily(4);
    gpWPara->contrast[0] = 0;   // factor -50: half the contrast around 128
    startViews(1);
    EXPECT_EQ(gContrast[0], -50);
    std::vector<uint8_t> raw;
    ASSERT_TRUE(waitFrame(0, &raw));
    EXPECT_EQ(centre(raw), 128 + (Level(0) - 128) / 2);
}

TEST_F(Settings, UsbSettingsMakeTheFilterText)
{
    setUpFamily(9);
    ASSERT_TRUE(openView(0).cameraOpen());
    EXPECT_EQ(units[0]->filters.joined(), QStringLiteral("eq=contrast=0.000000:gamma=5.050000,unsharp=5:5:2.500000"));
}

TEST_F(Settings, TheSettingsScreenDrivesTheDeviceThroughTheEditedCopy)
{
    setUpFamily(6);
    CameraUnit& unit = openView(0);
    gpWParaBak->exposeTime[0] = 7;
    gpWParaBak->sharp[0] = 9;
    settingsShown = true;
    unit.SetExposeTime();
    unit.SetSharp();
    EXPECT_TRUE(called("CameraSetExposureTime cam0 7000"));
    EXPECT_TRUE(called("CameraSetSharpness cam0 9"));
    EXPECT_EQ(gpWPara->exposeTime[0], 20);
    // The detached camera panel switches the exposure only.
    settingsShown = false;
    cameraHooks().cameraPanelShown = [] { return true; };
    gpWParaBak->exposeTime[0] = 8;
    gpWParaBak->sharp[0] = 11;
    unit.SetExposeTime();
    unit.SetSharp();
    EXPECT_TRUE(called("CameraSetExposureTime cam0 8000"));
    EXPECT_FALSE(called("CameraSetSharpness cam0 11"));
}

TEST_F(Settings, SettersOfAClosedPositionChangeNothing)
{
    setUpFamily(4);
    setOffline(0, true);
    CameraUnit& unit = openView(0);
    ASSERT_FALSE(unit.cameraOpen());
    simcam::Rig::instance().clearCalls();
    gContrast[0] = 17;
    unit.SetContrast();
    unit.SetExposeTime();
    unit.SetGamma();
    unit.RestoreDefaultSettings();
    EXPECT_EQ(gContrast[0], 17);
    EXPECT_TRUE(simcam::Rig::instance().calls().empty());
}

TEST_F(Settings, ExternalTriggerAndWhiteBalance)
{
    gisColor = 1;
    setUpFamily(6, true);
    gpWPara->externalTrigger = 1;
    openView(0);
    expectCalls({"CameraSetTriggerMode cam0 2", "CameraSetOnceWB cam0", "CameraSetIspOutFormat cam0 0x2180014"});
    closeViews();
    setUpFamily(7, true);
    gpWPara->externalTrigger = 1;
    openView(0);
    expectCalls({"MV_CC_SetEnumValue cam0 TriggerMode 1", "MV_CC_SetEnumValue cam0 TriggerSource 0",
                 "MV_CC_SetBalanceWhiteAuto cam0 BalanceWhiteAuto 2", "MV_CC_SetEnumValue cam0 PixelFormat 0x1080009"});
}

TEST_F(Settings, FrameRateOfEveryFamily)
{
    struct Row {
        int family;
        int speed;
        bool colour;
        std::vector<std::string> calls;
    };
    const Row rows[] = {
        {5, 3, false, {"is_PixelClock cam0 6 3"}},
        {6, 3, false, {"CameraSetFrameSpeed cam0 3"}},
        {6, 3, true, {"CameraSetFrameSpeed cam0 4"}},
        {7, 4, false, {"MV_CC_SetBoolValue cam0 AcquisitionFrameRateEnable true", "MV_CC_SetFloatValue cam0 AcquisitionFrameRate 20"}},
        {7, 12, false, {"MV_CC_SetFloatValue cam0 AcquisitionFrameRate 12"}},
    };
    for (const Row& r : rows) {
        closeViews();
        gisColor = r.colour;
        setUpFamily(r.family, r.colour);
        gpWPara->captureSpeed = r.speed;
        startViews(1);
        CameraSetSpeed();
        expectCalls(r.calls);
        EXPECT_TRUE(units[0]->cameraOpen());
    }
}

TEST_F(Settings, Family6DefaultsAreReadBackIntoTheEditedCopy)
{
    setUpFamily(6);
    startViews(1);
    units[0]->RestoreDefaultSettings();
    expectCalls({"CameraLoadParameter cam0 255", "CameraSetMirror cam0 1 1", "CameraSetFrameSpeed cam0 0",
                 "CameraSetFrameSpeed cam0 3"});
    const WizardPara& bak = *gpWParaBak;
    EXPECT_EQ(bak.exposeTime[0], 20);   // 20000 us
    EXPECT_EQ(bak.adjustPlus[0], 9);    // gain 32 in 16..128
    EXPECT_EQ(bak.sharp[0], 50);
    EXPECT_EQ(bak.contrast[0], 100);
    EXPECT_EQ(bak.gamma[0], 25);        // 100 in 0..1000, steps of 4
    std::vector<uint8_t> raw;
    EXPECT_TRUE(waitFrame(0, &raw));    // acquiring again
}

// A device range narrower than the scale has a step of 0: the setting has no
// effect and the read-back stores 0 instead of dividing by zero.
TEST_F(Settings, Family6ZeroStepRangesReadBackAsZero)
{
    setUpFamily(6);
    simcam::Knobs& k = simcam::Rig::instance().knobs;
    k.sharpnessRange[1] = 50;
    k.contrastRange[1] = 150;
    k.gammaRange[1] = 200;
    startViews(1);
    expectCalls({"CameraSetSharpness cam0 0", "CameraSetContrast cam0 0", "CameraSetGamma cam0 0"});
    units[0]->RestoreDefaultSettings();
    EXPECT_EQ(gpWParaBak->sharp[0], 0);
    EXPECT_EQ(gpWParaBak->contrast[0], 0);
    EXPECT_EQ(gpWParaBak->gamma[0], 0);
}

TEST_F(Settings, Family7DefaultsLeaveTheContrastAlone)
{
    setUpFamily(7);
    startViews(1);
    gpWParaBak->contrast[0] = 77;
    units[0]->RestoreDefaultSettings();
    expectCalls({"MV_CC_SetEnumValue cam0 UserSetSelector 0", "MV_CC_SetCommandValue cam0 UserSetLoad"});
    EXPECT_EQ(gpWParaBak->exposeTime[0], 10);
    EXPECT_EQ(gpWParaBak->adjustPlus[0], 0);
    EXPECT_EQ(gpWParaBak->sharp[0], 50);
    EXPECT_EQ(gpWParaBak->gamma[0], 62);
    EXPECT_EQ(gpWParaBak->contrast[0], 77);
}

TEST_F(Settings, UsbDefaultsResetTheFilterText)
{
    setUpFamily(9);
    openView(0);
    units[0]->RestoreDefaultSettings();
    EXPECT_EQ(gpWParaBak->contrast[0], 140);
    EXPECT_EQ(gpWParaBak->gamma[0], 40);
    EXPECT_EQ(gpWParaBak->sharp[0], 0);
    EXPECT_EQ(units[0]->filters.joined(), QStringLiteral("eq=contrast=0.800000:gamma=1.684000,unsharp=5:5:0.000000"));
}

TEST(ImageMapping, Formulas)
{
    for (const auto& [v, factor] : std::vector<std::pair<int, int>>{{0, -50}, {50, 0}, {150, 100}, {151, 100}, {250, 100}})
        EXPECT_EQ(GxContrastFactor(v), factor) << v;
    for (const auto& [speed, rate] : std::vector<std::pair<int, float>>{{0, 20}, {4, 20}, {5, 5}, {30, 30}})
        EXPECT_EQ(HikFrameRate(speed), rate) << speed;
    EXPECT_EQ(MvFrameSpeed(2, true), 3);
    EXPECT_EQ(MvFrameSpeed(2, false), 2);
    EXPECT_EQ(MvStepValue(10, 310, 100, 7), 10 + 3 * 7);
    EXPECT_EQ(MvStepValue(0, 99, 100, 7), 0);
    EXPECT_EQ(ReadBackSetting(37, 10, 3), 9);
    EXPECT_EQ(ReadBackSetting(37, 10, 0), 0);
}

TEST(ImageMapping, UsbFilterTextsAreInTheCLocale)
{
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");   // when present: a decimal comma
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_EQ(UsbContrastFilter(50), QStringLiteral("eq=contrast=-1.000000:"));
    EXPECT_EQ(UsbContrastFilter(150), QStringLiteral("eq=contrast=1.000000:"));
    EXPECT_EQ(UsbContrastFilter(200), QStringLiteral("eq=contrast=2.000000:"));
    EXPECT_EQ(UsbGammaFilter(40), QStringLiteral("gamma=1.684000,"));
    EXPECT_EQ(UsbGammaFilter(100), QStringLiteral("gamma=4.060000,"));
    EXPECT_EQ(UsbGammaFilter(250), QStringLiteral("gamma=10.000000,"));
    EXPECT_EQ(UsbSharpFilter(100), QStringLiteral("unsharp=5:5:5.000000"));
    UsbFilterText text;
    text.setAll(50, 40, 0);
    EXPECT_EQ(text.joined(), QStringLiteral("eq=contrast=-1.000000:gamma=1.684000,unsharp=5:5:0.000000"));
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_NUMERIC, "C");
}

}  // namespace
