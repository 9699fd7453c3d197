// What the settings pages edit, without widgets: each slider's setting and
// range (a stored value outside it loads as the nearest end and is stored so),
// each switch's setting, and the rules between controls.

#include "core/globals.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "settings/pagerules.h"

#include <gtest/gtest.h>

namespace {

class PageRules : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Data_Init();
        gLan = 1;
    }
};

struct SliderCase {
    const char* name;
    const SliderRules& (*rules)();
    int row;
    int stored;
    int shown;   // what the slider loads, and what the page stores back
};

TEST_F(PageRules, SlidersLoadClampedAndStoreWhatTheyShow)
{
    const SliderCase cases[] = {
        {"delay 1.5 s", SystemParamSliders, kDelay1, 15, 15},
        {"delay above 100 s", SystemParamSliders, kDelay2, 1500, 1000},
        {"filter size 0", SystemParamSliders, kFilterSize, 0, 1},
        {"alarm area 5000", SystemParamSliders, kAlarmArea, 5000, 1000},
        {"alarm area 0", SystemParamSliders, kAlarmArea, 0, 0},
        {"re-inspections 12", SystemParamSliders, kReDetect, 12, 10},
        {"offset 9000", AdvancedParamSliders, 0, 9000, 8000},
        {"offset 0", AdvancedParamSliders, 0, 0, 1},
        {"amplify -1", AdvancedParamSliders, 1, -1, 0},
        {"minimum spot 25", AdvancedParamSliders, 2, 25, 20},
        {"angle 200", AdvancedParamSliders, 3, 200, 180},
        {"screen off 10000", AdvancedParamSliders, kScreenOffRow, 10000, 9999},
        {"logout 1001", AdvancedParamSliders, 5, 1001, 1000},
        {"templates 0", AdvancedParamSliders, 6, 0, 0},
        {"NG images 600", AdvancedParamSliders, 7, 600, 500},
        {"OK images 501", AdvancedParamSliders, 8, 501, 500},
    };
    for (const SliderCase& c : cases) {
        const SliderRules& rules = c.rules();
        WizardPara stored;
        rules[c.row].field(stored) = c.stored;
        const std::vector<int> shown = LoadSliders(rules, stored);
        EXPECT_EQ(shown[c.row], c.shown) << c.name;
        WizardPara back;
        StoreSliders(rules, shown, back);
        EXPECT_EQ(rules[c.row].field(back), c.shown) << c.name;
    }
}

TEST_F(PageRules, EverySliderEditsASettingOfItsOwn)
{
    for (const SliderRules* rules : {&SystemParamSliders(), &AdvancedParamSliders()}) {
        std::vector<int> values;
        for (const SliderRule& r : *rules)
            values.push_back(r.min + static_cast<int>(values.size()) + 1);
        WizardPara w;
        StoreSliders(*rules, values, w);
        EXPECT_EQ(LoadSliders(*rules, w), values);
    }
}

TEST_F(PageRules, SystemParamsStoreIntoTheirSettings)
{
    WizardPara w;
    StoreSliders(SystemParamSliders(), {15, 25, 4, 300, 3}, w);
    EXPECT_EQ(w.trigInDelay[0], 15);
    EXPECT_EQ(w.trigInDelay[1], 25);
    EXPECT_EQ(w.filterSize, 4);
    EXPECT_EQ(w.alarmArea, 300);
    EXPECT_EQ(w.reDetectTimes, 3);
}

// Every switch of a page, alone ticked, stores its own setting and loads back alone.
TEST_F(PageRules, EverySwitchEditsASettingOfItsOwn)
{
    for (const SwitchRules* rules : {&SystemFunctionSwitches(), &AdvancedFunctionSwitches(), &CameraFunctionSwitches()}) {
        for (size_t i = 0; i < rules->size(); ++i) {
            std::vector<bool> ticks(rules->size(), false);
            ticks[i] = true;
            WizardPara w;
            StoreSwitches(*rules, ticks, w);
            EXPECT_EQ(LoadSwitches(*rules, w), ticks) << i;
        }
    }
}

struct SwitchCase {
    const char* name;
    int stored;
    bool ticked;
    int storedBack;
};

TEST_F(PageRules, SwitchesTickOnNonZeroAndStoreOneOrZero)
{
    const SwitchCase cases[] = {{"0", 0, false, 0}, {"1", 1, true, 1}, {"2", 2, true, 1}, {"-1", -1, true, 1}};
    const SwitchRules& rules = AdvancedFunctionSwitches();
    for (const SwitchCase& c : cases) {
        WizardPara w;
        rules[kFactorySwitch].field(w) = c.stored;
        const std::vector<bool> ticks = LoadSwitches(rules, w);
        EXPECT_EQ(ticks[kFactorySwitch], c.ticked) << c.name;
        StoreSwitches(rules, ticks, w);
        EXPECT_EQ(w.showFactoryParams, c.storedBack) << c.name;
    }
}

TEST_F(PageRules, MotionCorrectionIsOnAtZeroAndOffAtMinusOne)
{
    constexpr int kMotion = 3;
    const SwitchCase cases[] = {{"-1 off", -1, false, -1}, {"0 on", 0, true, 0}, {"1 on", 1, true, 0}};
    for (const SwitchCase& c : cases) {
        WizardPara w;
        w.motionCorrection = c.stored;
        const std::vector<bool> ticks = LoadSwitches(SystemFunctionSwitches(), w);
        EXPECT_EQ(ticks[kMotion], c.ticked) << c.name;
        StoreSwitches(SystemFunctionSwitches(), ticks, w);
        EXPECT_EQ(w.motionCorrection, c.storedBack) << c.name;
    }
}

TEST_F(PageRules, DelaysShowInSecondsWithoutTrailingZeros)
{
    const std::pair<int, const char*> cases[] = {{0, "0"}, {1, "0.1"}, {15, "1.5"}, {20, "2"}, {1000, "100"}};
    for (const auto& c : cases)
        EXPECT_EQ(TenthsText(c.first), QString(c.second)) << c.first;
}

TEST_F(PageRules, ReInspectionCaptionNamesTheStepsOfMultiDetection)
{
    EXPECT_EQ(ReDetectCaption(0, 2), "Re-Mold");
    EXPECT_EQ(ReDetectCaption(3, 2), "Re-Mold");
    EXPECT_EQ(ReDetectCaption(4, 5), "re-detect 5th");
    EXPECT_EQ(ReDetectCaption(4, 2), "re-detect 2nd");
}

TEST_F(PageRules, ScreenOffIsNeverOrAtLeastTenSeconds)
{
    const std::pair<int, int> cases[] = {{0, 0}, {1, 10}, {5, 10}, {9, 10}, {10, 10}, {11, 11}, {9999, 9999}};
    for (const auto& c : cases)
        EXPECT_EQ(ScreenOffValue(c.first), c.second) << c.first;
}

struct FunctionCase {
    const char* name;
    int WizardPara::*function;
    int perRegion;
};

TEST_F(PageRules, FunctionsSetPerRegionTurnOnPerRegionParameters)
{
    const FunctionCase cases[] = {
        {"spot", &WizardPara::spotOn, 1},           {"white area", &WizardPara::whiteAreaOn, 1},
        {"black area", &WizardPara::blackAreaOn, 1}, {"white number", &WizardPara::whiteNumberOn, 1},
        {"direction", &WizardPara::directionOn, 1},  {"similarity", &WizardPara::similarityOn, 0},
        {"defect", &WizardPara::defectOn, 0},
    };
    for (const FunctionCase& c : cases) {
        WizardPara w;
        w.*c.function = 1;
        std::vector<bool> ticks = LoadSwitches(CameraFunctionSwitches(), w);
        StoreCameraFunctions(ticks, w);
        EXPECT_EQ(w.perRoiParams, c.perRegion) << c.name;
        EXPECT_EQ(ticks[kPerRegionSwitch], c.perRegion == 1) << c.name;
        EXPECT_EQ(w.*c.function, 1) << c.name;
    }
}

struct ImageCase {
    ImageSetting setting;
    int stored;
    int shown;
};

TEST_F(PageRules, CameraSlidersShowStoredValuesWithinTheirRanges)
{
    const ImageCase cases[] = {
        {ImageSetting::Exposure, 200, 100}, {ImageSetting::Exposure, 0, 1},    {ImageSetting::Gain, 70, 64},
        {ImageSetting::Sharpness, 50, 50},  {ImageSetting::Gamma, 300, 250},  {ImageSetting::Contrast, 0, 1},
        {ImageSetting::Contrast, 150, 150},
    };
    for (const ImageCase& c : cases) {
        WizardPara w;
        ImageValue(w, c.setting, 2) = c.stored;
        EXPECT_EQ(ImageSliderValue(c.setting, w, 2), c.shown) << static_cast<int>(c.setting) << " " << c.stored;
    }
    WizardPara w;
    w.captureSpeed = 50;
    EXPECT_EQ(LoadSliders({CaptureSpeedSlider()}, w), std::vector<int>{32});
}

TEST_F(PageRules, ImageSettingsOfACameraAreItsOwn)
{
    WizardPara w;
    ImageValue(w, ImageSetting::Exposure, 1) = 11;
    ImageValue(w, ImageSetting::Gain, 1) = 12;
    ImageValue(w, ImageSetting::Sharpness, 1) = 13;
    ImageValue(w, ImageSetting::Gamma, 1) = 14;
    ImageValue(w, ImageSetting::Contrast, 1) = 15;
    EXPECT_EQ(w.exposeTime[1], 11);
    EXPECT_EQ(w.adjustPlus[1], 12);
    EXPECT_EQ(w.sharp[1], 13);
    EXPECT_EQ(w.gamma[1], 14);
    EXPECT_EQ(w.contrast[1], 15);
    EXPECT_EQ(w.exposeTime[0], WizardPara().exposeTime[0]);
}

}  // namespace
