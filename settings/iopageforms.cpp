#include "settings/iopageforms.h"

#include "core/wizardpara.h"

#include <algorithm>

namespace {

using Field = int WizardPara::*;

// The sliders of the IO parameters page, top to bottom.
struct SliderRow {
    int caption;
    int maximum;
    bool tenths;
    Field field;
};

const SliderRow kSliderRows[IoParamsForm::kSliders] = {
    {336, 10000, false, &WizardPara::noInputTimeout},
    {168, 1000, true, &WizardPara::ejectorPulseTime},
    {169, 1000, true, &WizardPara::clampPulseTime},
    {166, 100, true, &WizardPara::preCut},
    {524, 100, true, &WizardPara::inputDebounce},
};

// The switches of the IO functions page in grid order (left, right per row).
struct SwitchRow {
    int caption;
    Field field;
};

const SwitchRow kSwitchRows[IoFunctionsForm::kSwitches] = {
    {179, &WizardPara::noClampWhenStopped},
    {178, &WizardPara::cutEjectorWhenClamping},
    {192, &WizardPara::noEjectorControl},
    {190, &WizardPara::ejectorPulseOnNG},
    {202, &WizardPara::okNgPulses},
    {193, &WizardPara::cutClampAfterMouldOK},
    {513, &WizardPara::cutEjectorAfterProductOK},
    {265, &WizardPara::doorTriggerDetect},
    {195, &WizardPara::alarmNeedsDoorOpen},
    {555, &WizardPara::tempAlarmClamp},
    {515, &WizardPara::cutEjectorOnProductAlarm},
    {589, &WizardPara::cutClampOnMouldAlarm},
};

const int kInputUseTexts[IoFunctionsForm::kUses] = {304, 301, 302, 303};
const int kOutputUseTexts[IoFunctionsForm::kUses] = {304, 305, 306, 307};
// Outputs 1, 2, alarm and 4: their captions and their places among the polarities.
const int kInitialCaptions[IoFunctionsForm::kInitialStates] = {273, 274, 275, 281};
const int kInitialPolarity[IoFunctionsForm::kInitialStates] = {0, 1, 2, 3};
// Outputs 4 to 8 of the multi-detection machine.
constexpr int kMultiPolarity = 4;

// The button id that a stored value ticks, -1 when no button carries it.
int choice(int stored, int buttons)
{
    return stored >= 0 && stored < buttons ? stored : -1;
}

// A group with a ticked button stores its id; with none, the stored value stays.
void keep(int ticked, int& stored)
{
    if (ticked >= 0)
        stored = ticked;
}

int valueAt(int index, const int* table, int size)
{
    return index >= 0 && index < size ? table[index] : -1;
}

}  // namespace

int IoParamsForm::caption(int s) { return kSliderRows[s].caption; }
int IoParamsForm::maximum(int s) { return kSliderRows[s].maximum; }
bool IoParamsForm::tenths(int s) { return kSliderRows[s].tenths; }

QString IoParamsForm::label(int s, int value)
{
    return tenths(s) ? QString::number(value / 10.0, 'g', 6) : QString::number(value);
}

void IoParamsForm::load(const WizardPara& edited, bool multi)
{
    for (int s = 0; s < kSliders; ++s)
        slider[s] = std::clamp(edited.*kSliderRows[s].field, 0, kSliderRows[s].maximum);
    machineType = choice(edited.pendingMachineType, kMachineTypes);
    side = choice(edited.mouldSide, kSides);
    if (multi) {
        for (int i = 0; i < kInitialStates; ++i)
            initialState[i] = choice(edited.outPolarity[kMultiPolarity + i], 2);
    }
}

void IoParamsForm::store(WizardPara& edited, bool multi) const
{
    keep(machineType, edited.pendingMachineType);
    for (int s = 0; s < kSliders; ++s)
        edited.*kSliderRows[s].field = slider[s];
    keep(side, edited.mouldSide);
    if (multi) {
        for (int i = 0; i < kInitialStates; ++i)
            keep(initialState[i], edited.outPolarity[kMultiPolarity + i]);
        edited.productDetectOn = 1;
    }
}

int IoFunctionsForm::caption(int b) { return kSwitchRows[b].caption; }
int IoFunctionsForm::inputUseText(int id) { return valueAt(id, kInputUseTexts, kUses); }
int IoFunctionsForm::outputUseText(int id) { return valueAt(id, kOutputUseTexts, kUses); }
int IoFunctionsForm::initialStateCaption(int i) { return valueAt(i, kInitialCaptions, kInitialStates); }

void IoFunctionsForm::load(const WizardPara& edited)
{
    for (int b = 0; b < kSwitches; ++b)
        box[b] = edited.*kSwitchRows[b].field != 0;
    input4 = choice(edited.input4Use, kUses);
    output4 = choice(edited.output4Use, kUses);
    for (int i = 0; i < kInitialStates; ++i)
        initialState[i] = choice(edited.outPolarity[kInitialPolarity[i]], 2);
}

void IoFunctionsForm::store(WizardPara& edited) const
{
    for (int b = 0; b < kSwitches; ++b)
        edited.*kSwitchRows[b].field = box[b] ? 1 : 0;
    keep(output4, edited.output4Use);
    keep(input4, edited.input4Use);
    for (int i = 0; i < kInitialStates; ++i)
        keep(initialState[i], edited.outPolarity[kInitialPolarity[i]]);
}
