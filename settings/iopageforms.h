#pragma once
// What the two IO pages show, as plain values, and how they load from and
// store into the editing copy. A radio group with no button ticked (-1)
// keeps the stored value, so an unticked group never becomes a setting.

#include <QString>

class WizardPara;

// The IO parameters page: five timing sliders, the machine type, the mould
// side and (multi-detection in force) the initial states of outputs 4 to 8.
struct IoParamsForm {
    static constexpr int kSliders = 5;      // no-input timeout, ejector, clamp, pre-cut, debounce
    static constexpr int kInitialStates = 5;
    static constexpr int kMachineTypes = 5; // standard .. multi-detection
    static constexpr int kSides = 3;
    static constexpr int kMultiDetect = 4;

    // Text entry of each slider's caption, its upper end, and whether its
    // value label shows tenths.
    static int caption(int slider);
    static int maximum(int slider);
    static bool tenths(int slider);
    // A slider value as its label shows it (25 -> "2.5", 1000 -> "100" for tenths).
    static QString label(int slider, int value);

    int slider[kSliders] = {};
    int machineType = -1;   // ticked button, -1 none
    int side = -1;
    int initialState[kInitialStates] = {};

    // multi: the machine type in force is multi-detection.
    void load(const WizardPara& edited, bool multi);
    void store(WizardPara& edited, bool multi) const;

    // Which of the mould-side and multi-detection controls a machine type shows.
    static bool showsSides(int type) { return type == 1 || type == 2; }
    static bool showsIoButtons(int type) { return type == kMultiDetect; }
    // Whether the initial state of output 4 + i is shown for `detections` steps.
    static bool showsInitialState(int i, int detections) { return detections > 3 + i; }
};

// The IO functions page: twelve switches, the uses of input 4 and output 4,
// and the factory's initial states of outputs 1, 2, alarm and 4.
struct IoFunctionsForm {
    static constexpr int kSwitches = 12;
    static constexpr int kUses = 4;          // buttons of the input-4 and output-4 groups
    static constexpr int kInitialStates = 4;

    static int caption(int box);             // text entry beside box i (grid order)
    static int inputUseText(int id);
    static int outputUseText(int id);
    static int initialStateCaption(int i);

    bool box[kSwitches] = {};
    int input4 = -1;
    int output4 = -1;
    int initialState[kInitialStates] = {-1, -1, -1, -1};

    // A stored group value that no button carries ticks no button (-1).
    void load(const WizardPara& edited);
    void store(WizardPara& edited) const;
};
