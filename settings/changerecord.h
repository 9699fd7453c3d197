#pragma once
// What confirming the edited settings compares: the operation-record line
// that names every changed setting, the changes that drive later steps, the
// detection-function check and the derived detection table.

#include <QString>

class WizardPara;

// "Modify the system parameters" followed by one phrase per changed setting,
// in a fixed order (not the order of editing), in the current language.
QString ChangeRecordLine(const WizardPara& inForce, const WizardPara& edited);

// The record differs from the one in force in any stored row.
bool RecordsDiffer(const WizardPara& a, const WizardPara& b);

// At least one counted detection function (defect, spot, black area, white
// area, white number, black-spot number, similarity) is on.
bool AnyDetectionFunction(const WizardPara& w);

// Settings whose change drives a step after saving.
struct SettingsChanges {
    bool cameraValue[8][5] = {};   // exposure, gain, sharpness, contrast, gamma
    bool autoModes = false;        // automatic exposure or automatic shading
    bool productCheck = false;
    bool sharedParams = false;
    bool motionCorrection = false;
    bool rotationCorrection = false;
    bool cavity = false;
    bool locationOffset = false;
    bool multiplier = false;
    bool captureSpeed = false;
    bool externalTrigger = false;
    bool keptPictures = false;     // templates per region, NG or OK images kept
    bool needsRestart = false;     // IO port, colour camera, grey channel, lens optimisation
    bool showSnapshot = false;
    bool machineType = false;      // the pending machine type differs from the one in force

    bool shapeChange() const { return motionCorrection || rotationCorrection || cavity || locationOffset; }
    bool regionChange() const { return productCheck || sharedParams || cavity; }
};
SettingsChanges TakeChanges(const WizardPara& inForce, const WizardPara& edited);

// Derives the detection table of the edited record for its pending machine
// type before it becomes the record in force. Returns whether the machine
// type of the edited record was set (neither type is multi-detection, or
// both are). The number of detection steps in force changes only for the
// multi-detection type; side is the main window's side flag.
bool DeriveForConfirm(WizardPara& edited, int typeInForce, int* side);
