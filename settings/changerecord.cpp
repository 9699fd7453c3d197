#include "settings/changerecord.h"

#include "core/globals.h"
#include "core/texttable.h"
#include "core/wizardpara.h"

#include <cstring>

namespace {

using W = WizardPara;

enum class Phrase {
    Delay,        // 236 with the step's label
    Redetect,     // 239 with the step's label
    Value,        // 245: label, old, new
    State,        // 240 and "active" when the new value is non-zero
    Inverted,     // 240 and "active" when the new value is zero
    Clamping,     // 240 and "Prohibit to clamp" / "Allow to clamp"
};

struct PhraseRow {
    int (*value)(const W&);
    Phrase phrase;
    int label;
};

#define F(field) [](const W& w) { return w.field; }

// The settings with a phrase, before and after the camera values.
const PhraseRow kBeforeCameras[] = {
    {F(trigInDelay[0]), Phrase::Delay, 263},
    {F(trigInDelay[1]), Phrase::Delay, 264},
    {F(reDetectTimes), Phrase::Redetect, 264},
    {F(filterSize), Phrase::Value, 22},
    {F(alarmArea), Phrase::Value, 24},
    {F(semiAuto), Phrase::State, 174},
    {F(productDetectOn), Phrase::State, 175},
    {F(motionCorrection), Phrase::Inverted, 176},
    {F(mouldAsProduct), Phrase::State, 177},
    {F(templateAutoUpdate), Phrase::State, 400},
};

const PhraseRow kAfterCameras[] = {
    {F(captureSpeed), Phrase::Value, 244},
    {F(colourCamera), Phrase::State, 270},
    {F(greyChannel), Phrase::State, 271},
    {F(autoExposure), Phrase::State, 387},
    {F(autoShading), Phrase::State, 388},
    {F(noLensOptimisation), Phrase::State, 337},
    {F(externalTrigger), Phrase::State, 519},
    {F(defectOn), Phrase::State, 196},
    {F(spotOn), Phrase::State, 197},
    {F(ignoreAreaOn), Phrase::State, 198},
    {F(positionOn), Phrase::State, 199},
    {F(perRoiParams), Phrase::State, 200},
    {F(blackAreaOn), Phrase::State, 390},
    {F(whiteAreaOn), Phrase::State, 391},
    {F(whiteNumberOn), Phrase::State, 520},
    {F(similarityOn), Phrase::State, 397},
    {F(serialPort), Phrase::Value, 269},
    {F(noInputTimeout), Phrase::Value, 336},
    {F(preCut), Phrase::Value, 166},
    {F(ejectorPulseTime), Phrase::Value, 168},
    {F(clampPulseTime), Phrase::Value, 169},
    {F(input4Use), Phrase::Value, 203},
    {F(output4Use), Phrase::Value, 334},
    {F(outPolarity[0]), Phrase::Value, 273},
    {F(outPolarity[1]), Phrase::Value, 274},
    {F(outPolarity[2]), Phrase::Value, 275},
    {F(outPolarity[3]), Phrase::Value, 281},
    {F(mouldSide), Phrase::Value, 585},
    {F(cutEjectorWhenClamping), Phrase::State, 178},
    {F(noClampWhenStopped), Phrase::Clamping, 179},
    {F(noEjectorControl), Phrase::State, 192},
    {F(ejectorPulseOnNG), Phrase::State, 190},
    {F(cutClampAfterMouldOK), Phrase::State, 193},
    {F(alarmNeedsDoorOpen), Phrase::State, 195},
    {F(doorTriggerDetect), Phrase::State, 265},
    {F(okNgPulses), Phrase::State, 202},
    {F(templateCount), Phrase::Value, 185},
    {F(ngImagesKept), Phrase::Value, 186},
    {F(okImagesKept), Phrase::Value, 187},
    {F(diffMultiplier), Phrase::Value, 188},
    {F(autoLogoutTime), Phrase::Value, 189},
    {F(maxLocationOffset), Phrase::Value, 213},
    {F(screenOffTime), Phrase::Value, 243},
    {F(minSpot), Phrase::Value, 181},
    {F(rotationCorrection), Phrase::Value, 403},
    {F(pswNoDetect), Phrase::State, 194},
    {F(pswAddTemplate), Phrase::State, 341},
    {F(pswIgnorePoint), Phrase::State, 342},
    {F(autoRegionOffered), Phrase::State, 191},
    {F(saveProductOk), Phrase::State, 389},
    {F(alarmSound), Phrase::State, 256},
    {F(isPswUsed), Phrase::State, 170},
};

#undef F

// The five camera values in phrase order, with their templates.
const int kCameraTemplates[5] = {237, 238, 246, 247, 365};

int cameraValue(const W& w, int camera, int kind)
{
    switch (kind) {
    case 0: return w.exposeTime[camera];
    case 1: return w.adjustPlus[camera];
    case 2: return w.sharp[camera];
    case 3: return w.contrast[camera];
    default: return w.gamma[camera];
    }
}

QString stateWord(Phrase phrase, int v)
{
    switch (phrase) {
    case Phrase::Inverted: return LanStr(v == 0 ? 250 : 251);
    case Phrase::Clamping: return LanStr(v != 0 ? 252 : 253);
    default: return LanStr(v != 0 ? 250 : 251);
    }
}

QString phraseText(const PhraseRow& row, int before, int after)
{
    switch (row.phrase) {
    case Phrase::Delay:
        return LanStr(236).arg(LanStr(row.label)).arg(before).arg(after);
    case Phrase::Redetect:
        return LanStr(239).arg(LanStr(row.label)).arg(before).arg(after);
    case Phrase::Value:
        return LanStr(245).arg(LanStr(row.label)).arg(before).arg(after);
    default:
        return LanStr(240).arg(LanStr(row.label)) + stateWord(row.phrase, after);
    }
}

template <size_t N>
void addPhrases(QString& line, const PhraseRow (&rows)[N], const W& inForce, const W& edited)
{
    for (const PhraseRow& row : rows) {
        const int before = row.value(inForce);
        const int after = row.value(edited);
        if (before != after)
            line += phraseText(row, before, after);
    }
}

bool differs(int (*value)(const W&), const W& a, const W& b)
{
    return value(a) != value(b);
}

}  // namespace

QString ChangeRecordLine(const WizardPara& inForce, const WizardPara& edited)
{
    QString line = LanStr(235);
    addPhrases(line, kBeforeCameras, inForce, edited);
    for (int camera = 0; camera < kMaxCameras; ++camera) {
        for (int kind = 0; kind < 5; ++kind) {
            const int before = cameraValue(inForce, camera, kind);
            const int after = cameraValue(edited, camera, kind);
            if (before != after)
                line += LanStr(kCameraTemplates[kind]).arg(camera + 1).arg(before).arg(after);
        }
    }
    addPhrases(line, kAfterCameras, inForce, edited);
    if (WizardPara::Text(inForce.password) != WizardPara::Text(edited.password))
        line += LanStr(249);
    return line;
}

bool RecordsDiffer(const WizardPara& a, const WizardPara& b)
{
    if (a.machineType != b.machineType)
        return true;
    for (const QString& name : WizardPara::RowNames()) {
        if (a.RowText(name) != b.RowText(name))
            return true;
    }
    return false;
}

bool AnyDetectionFunction(const WizardPara& w)
{
    return w.defectOn || w.spotOn || w.blackAreaOn || w.whiteAreaOn || w.whiteNumberOn
        || w.directionOn || w.similarityOn;
}

SettingsChanges TakeChanges(const WizardPara& r, const WizardPara& e)
{
    SettingsChanges c;
    for (int camera = 0; camera < kMaxCameras; ++camera) {
        for (int kind = 0; kind < 5; ++kind)
            c.cameraValue[camera][kind] = cameraValue(r, camera, kind) != cameraValue(e, camera, kind);
    }
    c.autoModes = r.autoExposure != e.autoExposure || r.autoShading != e.autoShading;
    c.productCheck = r.productDetectOn != e.productDetectOn;
    c.sharedParams = r.mouldAsProduct != e.mouldAsProduct;
    c.motionCorrection = r.motionCorrection != e.motionCorrection;
    c.rotationCorrection = r.rotationCorrection != e.rotationCorrection;
    c.cavity = r.mouldSide != e.mouldSide;
    c.locationOffset = r.maxLocationOffset != e.maxLocationOffset;
    c.multiplier = r.diffMultiplier != e.diffMultiplier;
    c.captureSpeed = r.captureSpeed != e.captureSpeed;
    c.externalTrigger = r.externalTrigger != e.externalTrigger;
    c.keptPictures = r.templateCount != e.templateCount || r.ngImagesKept != e.ngImagesKept
        || r.okImagesKept != e.okImagesKept;
    c.needsRestart = r.serialPort != e.serialPort || r.colourCamera != e.colourCamera
        || r.greyChannel != e.greyChannel || r.noLensOptimisation != e.noLensOptimisation;
    c.showSnapshot = r.showSnapshot != e.showSnapshot;
    c.machineType = e.pendingMachineType != r.machineType;
    return c;
}

namespace {
constexpr int kMultiDetect = 4;
constexpr int kLastMachineType = 5;
}  // namespace

bool DeriveForConfirm(WizardPara& edited, int typeInForce, int* side)
{
    // A pending type that no choice offers keeps the type in force.
    if (edited.pendingMachineType < 0 || edited.pendingMachineType > kLastMachineType)
        edited.pendingMachineType = typeInForce;
    const int pending = edited.pendingMachineType;
    if ((pending == kMultiDetect) != (typeInForce == kMultiDetect))
        return false;
    edited.machineType = pending;
    if (pending == kMultiDetect) {
        edited.DeriveDetectTable(side);   // sets the number of steps in force
        return true;
    }
    const int steps = gDNum;
    edited.DeriveDetectTable(side);
    gDNum = steps;
    return true;
}
