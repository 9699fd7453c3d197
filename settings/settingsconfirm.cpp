#include "settings/settingsconfirm.h"

#include "core/globals.h"
#include "core/texttable.h"
#include "core/wizardpara.h"

#include <QtDebug>

namespace {

constexpr int kMultiDetect = 4;

// Whether the product steps' regions are copied over the mould steps'.
bool copiesProductRegions(const WizardPara& w)
{
    if (!w.mouldAsProduct)
        return false;
    if (w.machineType == 1 || w.machineType == 2)
        return true;
    return w.productDetectOn && (w.machineType == 0 || w.machineType == 3 || w.machineType == 5);
}

void setMachineType(ConfirmPorts& ports, WizardPara& edited, int typeInForce)
{
    const bool multi = edited.pendingMachineType == kMultiDetect && typeInForce == kMultiDetect;
    if (multi && edited.multiDetectCount != gDNum)
        ports.multiDetectSteps(edited.multiDetectCount);
    DeriveForConfirm(edited, typeInForce, ports.sideFlag());
    if (multi)
        ports.retrainAll();
}

void applyCameras(ConfirmPorts& ports, const WizardPara& inForce, const SettingsChanges& c)
{
    if (c.externalTrigger)
        ports.cameraTrigger();
    if (c.captureSpeed)
        ports.cameraSpeed();
    if (c.shapeChange())
        ports.rebuildShapes();
    if (c.regionChange()) {
        if (copiesProductRegions(inForce))
            ports.copyProductRegions();
        ports.retrain(!(c.motionCorrection || c.rotationCorrection || c.locationOffset));
    } else if (c.multiplier) {
        ports.retrain(false);
    }
}

void notes(ConfirmPorts& ports, const SettingsChanges& c)
{
    if (c.keptPictures)
        ports.warn(LanStr(276));
    if (c.needsRestart)
        ports.warn(LanStr(309));
    if (c.machineType)
        ports.warn(LanStr(277));
    if (c.showSnapshot || c.productCheck)
        ports.showSnapshotControls();
}

}  // namespace

ConfirmResult ConfirmSettings(ConfirmPorts& ports, WizardPara& inForce, WizardPara& edited)
{
    ports.lowerFactoryLevel();
    ports.storePages();
    if (!AnyDetectionFunction(edited)) {
        ports.warn(LanStr(232));
        return ConfirmResult::Refused;
    }
    const QString badAddress = ports.invalidNetwork();
    if (!badAddress.isEmpty()) {
        ports.warn(LanStr(606).arg(badAddress));
        return ConfirmResult::Refused;
    }
    const SettingsChanges changes = TakeChanges(inForce, edited);
    if (ports.takeRestartRequest())
        ports.restartNetClient();
    if (!RecordsDiffer(inForce, edited) && !ports.networkEdited()) {
        ports.repaint();
        return ConfirmResult::Unchanged;
    }
    if (!ports.ask(LanStr(234))) {
        edited = inForce;
        ports.discardNetwork();
        ports.restoreCameras(changes);
        ports.repaint();
        return ConfirmResult::Discarded;
    }
    const QString line = ChangeRecordLine(inForce, edited);
    setMachineType(ports, edited, inForce.machineType);
    ports.record(line);
    const int bits = ports.stageNetwork();
    inForce = edited;
    ports.commitNetwork();
    if (!ports.save())
        qWarning() << "settings: the confirmed settings could not be saved";
    if (inForce.screenOffTime > 0)
        ports.restartScreenOff(inForce.screenOffTime * 1000);
    if (bits != 0)
        ports.applyNetwork(bits);
    applyCameras(ports, inForce, changes);
    notes(ports, changes);
    ports.repaint();
    return ConfirmResult::Saved;
}
