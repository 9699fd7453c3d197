#include "settings/pagerules.h"

#include "core/texttable.h"
#include "core/wizardpara.h"

#include <QtGlobal>

namespace {

constexpr int kMultiDetectType = 4;
constexpr int kOrdinalBase = 476;   // entry 476 + N names the N-th step

#define FIELD(expr) [](WizardPara& w) -> int& { return expr; }

int& Of(const WizardPara& w, Field f)
{
    return f(const_cast<WizardPara&>(w));
}

}  // namespace

std::vector<int> LoadSliders(const SliderRules& rules, const WizardPara& w)
{
    std::vector<int> values;
    for (const SliderRule& r : rules)
        values.push_back(qBound(r.min, Of(w, r.field), r.max));
    return values;
}

void StoreSliders(const SliderRules& rules, const std::vector<int>& values, WizardPara& w)
{
    for (size_t i = 0; i < rules.size() && i < values.size(); ++i)
        rules[i].field(w) = values[i];
}

std::vector<bool> LoadSwitches(const SwitchRules& rules, const WizardPara& w)
{
    std::vector<bool> ticks;
    for (const SwitchRule& r : rules)
        ticks.push_back(r.minusOneOff ? Of(w, r.field) != -1 : Of(w, r.field) != 0);
    return ticks;
}

void StoreSwitches(const SwitchRules& rules, const std::vector<bool>& ticks, WizardPara& w)
{
    for (size_t i = 0; i < rules.size() && i < ticks.size(); ++i) {
        const SwitchRule& r = rules[i];
        r.field(w) = r.minusOneOff ? (ticks[i] ? 0 : -1) : (ticks[i] ? 1 : 0);
    }
}

const SliderRules& SystemParamSliders()
{
    static const SliderRules rules{
        {0, 1000, FIELD(w.trigInDelay[0])},
        {0, 1000, FIELD(w.trigInDelay[1])},
        {1, 10, FIELD(w.filterSize)},
        {0, 1000, FIELD(w.alarmArea)},
        {0, 10, FIELD(w.reDetectTimes)},
    };
    return rules;
}

QString TenthsText(int tenths)
{
    return QString::number(tenths / 10.0, 'g', 6);
}

QString ReDetectCaption(int machineType, int steps)
{
    if (machineType != kMultiDetectType)
        return LanStr(167);
    return LanStr(511).arg(LanStr(kOrdinalBase + steps));
}

const SwitchRules& SystemFunctionSwitches()
{
    static const SwitchRules rules{
        {FIELD(w.productDetectOn)},
        {FIELD(w.semiAuto)},
        {FIELD(w.mouldAsProduct)},
        {FIELD(w.motionCorrection), true},
        {FIELD(w.templateAutoUpdate)},
        {FIELD(w.isPswUsed)},
    };
    return rules;
}

const SliderRules& AdvancedParamSliders()
{
    static const SliderRules rules{
        {1, 8000, FIELD(w.maxLocationOffset)},
        {0, 4, FIELD(w.diffMultiplier)},
        {1, 20, FIELD(w.minSpot)},
        {0, 180, FIELD(w.rotationCorrection)},
        {0, 9999, FIELD(w.screenOffTime)},
        {0, 1000, FIELD(w.autoLogoutTime)},
        {0, 50, FIELD(w.templateCount)},
        {0, 500, FIELD(w.ngImagesKept)},
        {0, 500, FIELD(w.okImagesKept)},
    };
    return rules;
}

int ScreenOffValue(int v)
{
    constexpr int kShortest = 10;
    return v > 0 && v < kShortest ? kShortest : v;
}

const SwitchRules& AdvancedFunctionSwitches()
{
    static const SwitchRules rules{
        {FIELD(w.showFactoryParams)},
        {FIELD(w.pswIgnorePoint)},
        {FIELD(w.showSnapshot)},
        {FIELD(w.pswStopDetect)},
        {FIELD(w.alarmSound)},
        {FIELD(w.templateIsNgImage)},
        {FIELD(w.autoRegionOffered)},
        {FIELD(w.realTimeRoiDisplay)},
        {FIELD(w.saveProductOk)},
        {FIELD(w.showCavityBoxes)},
        {FIELD(w.pswNoDetect)},
        {FIELD(w.useLog)},
        {FIELD(w.pswAddTemplate)},
    };
    return rules;
}

const SwitchRules& CameraFunctionSwitches()
{
    static const SwitchRules rules{
        {FIELD(w.autoShading)},
        {FIELD(w.colourCamera)},
        {FIELD(w.externalTrigger)},
        {FIELD(w.defectOn)},
        {FIELD(w.ignoreAreaOn)},
        {FIELD(w.blackAreaOn)},
        {FIELD(w.similarityOn)},
        {FIELD(w.directionOn)},
        {FIELD(w.noLensOptimisation)},
        {FIELD(w.greyChannel)},
        {FIELD(w.perRoiParams)},
        {FIELD(w.spotOn)},
        {FIELD(w.positionOn)},
        {FIELD(w.whiteAreaOn)},
        {FIELD(w.whiteNumberOn)},
    };
    return rules;
}

void StoreCameraFunctions(std::vector<bool>& ticks, WizardPara& w)
{
    StoreSwitches(CameraFunctionSwitches(), ticks, w);
    // Spot, white and black area, white number and the direction check are
    // set per region.
    if (w.spotOn || w.whiteAreaOn || w.blackAreaOn || w.whiteNumberOn || w.directionOn) {
        ticks[kPerRegionSwitch] = true;
        w.perRoiParams = 1;
    }
}

int& ImageValue(WizardPara& w, ImageSetting s, int camera)
{
    switch (s) {
    case ImageSetting::Exposure:
        return w.exposeTime[camera];
    case ImageSetting::Gain:
        return w.adjustPlus[camera];
    case ImageSetting::Sharpness:
        return w.sharp[camera];
    case ImageSetting::Gamma:
        return w.gamma[camera];
    case ImageSetting::Contrast:
        break;
    }
    return w.contrast[camera];
}

Range ImageRange(ImageSetting s)
{
    static const Range ranges[kImageSettingCount] = {{1, 100}, {0, 64}, {0, 100}, {0, 250}, {1, 200}};
    return ranges[static_cast<int>(s)];
}

const SliderRule& CaptureSpeedSlider()
{
    static const SliderRule rule{0, 32, FIELD(w.captureSpeed)};
    return rule;
}

int ImageSliderValue(ImageSetting s, const WizardPara& w, int camera)
{
    const Range r = ImageRange(s);
    return qBound(r.min, ImageValue(const_cast<WizardPara&>(w), s, camera), r.max);
}
