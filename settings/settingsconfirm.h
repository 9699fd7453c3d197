#pragma once
// Confirming the edited settings when the operator leaves the settings
// screen: the check, the question, the record line, the save, and what is
// applied afterwards. Everything outside the two records goes through the
// ports, so tests drive it without a screen.

#include "settings/changerecord.h"

#include <QString>

class ConfirmPorts
{
public:
    virtual ~ConfirmPorts() = default;
    virtual void lowerFactoryLevel() {}
    virtual void storePages() {}                 // the pages' controls into the editing copy
    virtual bool ask(const QString&) { return false; }
    virtual void warn(const QString&) {}
    virtual void record(const QString&) {}       // one line of the operation record
    virtual bool takeRestartRequest() { return false; }   // the network link's, cleared
    virtual void restartNetClient() {}
    virtual bool networkEdited() { return false; }        // host name or card table edited
    virtual QString invalidNetwork() { return {}; }       // an edited address that is no dotted quad
    virtual int stageNetwork() { return 0; }               // change bits of the staged files
    virtual void commitNetwork() {}               // the edited network information in force
    virtual void discardNetwork() {}              // the information in force over the edited one
    virtual void applyNetwork(int) {}
    virtual bool save() { return true; }          // the record in force into PARAM.db
    virtual void restartScreenOff(int) {}
    virtual void multiDetectSteps(int) {}         // the number of multi-detection steps changed
    virtual void retrainAll() {}                  // position models and training of enabled steps
    virtual void cameraTrigger() {}
    virtual void cameraSpeed() {}
    virtual void rebuildShapes() {}
    virtual void copyProductRegions() {}
    virtual void retrain(bool /*rebuildShape*/) {}
    virtual void restoreCameras(const SettingsChanges&) {}
    virtual void showSnapshotControls() {}
    virtual void repaint() {}
    virtual int* sideFlag() { return nullptr; }
};

enum class ConfirmResult { Refused, Unchanged, Saved, Discarded };

// Leaves the editing: see ConfirmResult. inForce and edited are the record
// in force and the editing copy.
ConfirmResult ConfirmSettings(ConfirmPorts& ports, WizardPara& inForce, WizardPara& edited);
