#pragma once
// What the settings pages edit, without their widgets: which setting each
// slider and switch stands for, the slider ranges that clamp a stored value
// on loading, and the few rules between controls. The pages build their
// controls from these tables; tests drive the load and store round trips.

#include <QString>
#include <vector>

class WizardPara;

// One setting of the record.
using Field = int& (*)(WizardPara&);

struct SliderRule {
    int min;
    int max;
    Field field;
};

// A switch is ticked when its setting is non-zero and stores 1 or 0;
// minusOneOff switches are ticked when the setting is not -1 and store 0 or -1.
struct SwitchRule {
    Field field;
    bool minusOneOff = false;
};

using SliderRules = std::vector<SliderRule>;
using SwitchRules = std::vector<SwitchRule>;

// A stored value outside the slider's range loads as the nearest end.
std::vector<int> LoadSliders(const SliderRules& rules, const WizardPara& w);
void StoreSliders(const SliderRules& rules, const std::vector<int>& values, WizardPara& w);
std::vector<bool> LoadSwitches(const SwitchRules& rules, const WizardPara& w);
void StoreSwitches(const SwitchRules& rules, const std::vector<bool>& ticks, WizardPara& w);

// System parameters: step 1 and 2 delays (tenths of a second), filter size,
// alarm area, re-inspections before the alarm.
const SliderRules& SystemParamSliders();
enum { kDelay1, kDelay2, kFilterSize, kAlarmArea, kReDetect };
// A delay in tenths as the value label shows it (15 gives "1.5").
QString TenthsText(int tenths);
// The caption of the re-inspection row for a machine type and step count.
QString ReDetectCaption(int machineType, int steps);

// System functions: product check, semi-automatic, two same parameters,
// motion correction, template auto update, settings password.
const SwitchRules& SystemFunctionSwitches();

// Advanced parameters: offset, amplify, minimum spot, angle, screen off,
// automatic logout, templates, NG and OK images kept.
const SliderRules& AdvancedParamSliders();
enum { kScreenOffRow = 4 };
// The screen is switched off never (0) or after at least 10 seconds.
int ScreenOffValue(int v);

// Advanced functions, in the order of the page's rows, left then right
// (the last box of the page, test images, is no setting of the record).
const SwitchRules& AdvancedFunctionSwitches();
enum { kFactorySwitch = 0 };

// Camera functions, left column then right column.
const SwitchRules& CameraFunctionSwitches();
enum { kAutoShadingSwitch = 0, kPerRegionSwitch = 10 };
// Stores the switches; a ticked function that needs per-region parameters
// also ticks "Display all the parameters" (on screen too: ticks changes).
void StoreCameraFunctions(std::vector<bool>& ticks, WizardPara& w);

// The image settings of one camera, adjusted live from the camera pages.
enum class ImageSetting { Exposure, Gain, Sharpness, Gamma, Contrast };
constexpr int kImageSettingCount = 5;
int& ImageValue(WizardPara& w, ImageSetting s, int camera);
struct Range {
    int min;
    int max;
};
Range ImageRange(ImageSetting s);
// The capture speed, one value for all cameras.
const SliderRule& CaptureSpeedSlider();
// The slider value of a stored setting (clamped into the slider's range).
int ImageSliderValue(ImageSetting s, const WizardPara& w, int camera);
