// Confirming the edited settings: the check, the question, what is saved and
// re-applied in which order, derived tables per machine type, and discarding.

#include "core/globals.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "settings/settingsconfirm.h"

#include "tests/common/testsupport.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

// Records every call as one word (with its argument where it has one).
class RecordingPorts : public ConfirmPorts
{
public:
    QStringList calls;
    bool answer = true;
    bool restartRequested = false;
    bool netEdited = false;
    QString badAddress;
    int bits = 0;
    int side = 7;

    void storePages() override { calls << "storePages"; }
    bool ask(const QString& t) override { calls << "ask " + t; return answer; }
    void warn(const QString& t) override { calls << "warn " + t; }
    void record(const QString& t) override { calls << "record " + t; }
    bool takeRestartRequest() override { bool r = restartRequested; restartRequested = false; return r; }
    void restartNetClient() override { calls << "restartNetClient"; }
    bool networkEdited() override { return netEdited; }
    QString invalidNetwork() override { return badAddress; }
    int stageNetwork() override { calls << "stageNetwork"; return bits; }
    void commitNetwork() override { calls << "commitNetwork"; }
    void discardNetwork() override { calls << "discardNetwork"; }
    void applyNetwork(int b) override { calls << QString("applyNetwork %1").arg(b); }
    bool save() override { calls << "save"; return true; }
    void restartScreenOff(int ms) override { calls << QString("screenOff %1").arg(ms); }
    void multiDetectSteps(int n) override { calls << QString("steps %1").arg(n); }
    void retrainAll() override { calls << "retrainAll"; }
    void cameraTrigger() override { calls << "cameraTrigger"; }
    void cameraSpeed() override { calls << "cameraSpeed"; }
    void rebuildShapes() override { calls << "rebuildShapes"; }
    void copyProductRegions() override { calls << "copyProductRegions"; }
    void retrain(bool rebuild) override { calls << QString("retrain %1").arg(rebuild); }
    void restoreCameras(const SettingsChanges& c) override
    {
        calls << QString("restoreCameras %1").arg(c.cameraValue[0][0]);
    }
    void showSnapshotControls() override { calls << "showSnapshot"; }
    void repaint() override { calls << "repaint"; }
    int* sideFlag() override { return &side; }
};

class Confirm : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Data_Init();
        gLan = 1;
        inForce = WizardPara();
        inForce.defectOn = 1;
        edited = inForce;
        gDNum = 2;
    }
    ConfirmResult run() { return ConfirmSettings(ports, inForce, edited); }

    RecordingPorts ports;
    WizardPara inForce;
    WizardPara edited;
};

TEST_F(Confirm, NothingChangedAsksNothing)
{
    EXPECT_EQ(run(), ConfirmResult::Unchanged);
    EXPECT_EQ(ports.calls, QStringList({"storePages", "repaint"}));
}

TEST_F(Confirm, NoDetectionFunctionRefusesAndKeepsTheEdits)
{
    edited.defectOn = 0;
    edited.trigInDelay[0] = 9;
    EXPECT_EQ(run(), ConfirmResult::Refused);
    EXPECT_EQ(ports.calls, QStringList({"storePages", "warn " + LanStr(232)}));
    EXPECT_EQ(edited.trigInDelay[0], 9);
    EXPECT_EQ(inForce.trigInDelay[0], 0);
}

TEST_F(Confirm, YesRecordsSavesAndAppliesInOrder)
{
    edited.trigInDelay[0] = 15;
    edited.reDetectTimes = 2;
    edited.screenOffTime = 60;
    ports.bits = 5;
    EXPECT_EQ(run(), ConfirmResult::Saved);
    EXPECT_EQ(ports.calls,
              QStringList({"storePages", "ask " + LanStr(234),
                           "record Modify the system parameters, The time delay for detection Prodis changed from 0 to 15"
                           ", The automatic redetecting times for detection Mold is changed from 0 to 2"
                           ", Scr Off is changed from 0 to 60",
                           "stageNetwork", "commitNetwork", "save", "screenOff 60000", "applyNetwork 5", "repaint"}));
    EXPECT_EQ(inForce.trigInDelay[0], 15);
    EXPECT_EQ(inForce.reDetectTimes, 2);
}

TEST_F(Confirm, NoPutsTheRecordInForceBackAndTheCameraValues)
{
    ports.answer = false;
    edited.exposeTime[0] = 99;
    edited.autoShading = 1;
    EXPECT_EQ(run(), ConfirmResult::Discarded);
    EXPECT_EQ(ports.calls, QStringList({"storePages", "ask " + LanStr(234), "discardNetwork",
                                        "restoreCameras 1", "repaint"}));
    EXPECT_EQ(edited.exposeTime[0], 0);
    EXPECT_EQ(edited.autoShading, 0);
}

TEST_F(Confirm, AnEditedAddressThatIsNoDottedQuadRefuses)
{
    ports.netEdited = true;
    ports.badAddress = "192.168.3";
    edited.semiAuto = 1;
    EXPECT_EQ(run(), ConfirmResult::Refused);
    EXPECT_EQ(ports.calls, QStringList({"storePages", "warn Invalid network address: 192.168.3"}));
    EXPECT_EQ(inForce.semiAuto, 0);
}

TEST_F(Confirm, RestartRequestRestartsTheClientEvenOnNo)
{
    ports.restartRequested = true;
    ports.answer = false;
    edited.semiAuto = 1;
    run();
    EXPECT_EQ(ports.calls.mid(0, 3), QStringList({"storePages", "restartNetClient", "ask " + LanStr(234)}));
}

TEST_F(Confirm, HostNameAloneAsksAndRecordsTheHead)
{
    ports.netEdited = true;
    ports.bits = 4;
    EXPECT_EQ(run(), ConfirmResult::Saved);
    EXPECT_TRUE(ports.calls.contains("record Modify the system parameters"));
    EXPECT_TRUE(ports.calls.contains("applyNetwork 4"));
}

struct ReapplyCase {
    const char* name;
    void (*edit)(WizardPara&);
    QStringList expected;   // calls between "save" and "repaint"
};

TEST_F(Confirm, WhatIsReappliedAfterSaving)
{
    const ReapplyCase cases[] = {
        {"external trigger", [](WizardPara& w) { w.externalTrigger = 1; }, {"cameraTrigger"}},
        {"capture speed", [](WizardPara& w) { w.captureSpeed = 3; }, {"cameraSpeed"}},
        {"motion correction", [](WizardPara& w) { w.motionCorrection = -1; }, {"rebuildShapes"}},
        {"multiplier", [](WizardPara& w) { w.diffMultiplier = 2; }, {"retrain 0"}},
        {"product check", [](WizardPara& w) { w.productDetectOn = 1; }, {"retrain 1", "showSnapshot"}},
        {"shared parameters with product check",
         [](WizardPara& w) { w.mouldAsProduct = 1; w.productDetectOn = 1; },
         {"copyProductRegions", "retrain 1", "showSnapshot"}},
        {"cavity", [](WizardPara& w) { w.mouldSide = 1; }, {"rebuildShapes", "retrain 1"}},
        {"offset with product check",
         [](WizardPara& w) { w.maxLocationOffset = 9; w.productDetectOn = 1; },
         {"rebuildShapes", "retrain 0", "showSnapshot"}},
        {"kept pictures", [](WizardPara& w) { w.ngImagesKept = 5; }, {"warn " + LanStr(276)}},
        {"IO port", [](WizardPara& w) { w.serialPort = 1; }, {"warn " + LanStr(309)}},
        {"manual snapshot", [](WizardPara& w) { w.showSnapshot = 1; }, {"showSnapshot"}},
    };
    for (const ReapplyCase& c : cases) {
        SetUp();
        ports.calls.clear();
        c.edit(edited);
        EXPECT_EQ(run(), ConfirmResult::Saved) << c.name;
        const int from = ports.calls.indexOf("save") + 1;
        EXPECT_EQ(ports.calls.mid(from, ports.calls.size() - from - 1), c.expected) << c.name;
    }
}

TEST_F(Confirm, StandardToTwoColourSetsTheTypeAndItsTableAtOnce)
{
    edited.pendingMachineType = 1;
    edited.mouldSide = 1;
    edited.productDetectOn = 1;
    run();
    EXPECT_EQ(inForce.machineType, 1);
    EXPECT_EQ(QVector<int>(inForce.detectOn, inForce.detectOn + 4), QVector<int>({0, 0, 1, 1}));
    EXPECT_EQ(inForce.trigInput[1], 3);
    EXPECT_EQ(ports.side, 0);
    EXPECT_EQ(gDNum, 2);   // the number of steps changes at the next start
    EXPECT_TRUE(ports.calls.contains("warn " + LanStr(277)));
}

TEST_F(Confirm, IntoMultiDetectionOnlySavesThePendingType)
{
    edited.pendingMachineType = 4;
    run();
    EXPECT_EQ(inForce.machineType, 0);
    EXPECT_EQ(inForce.pendingMachineType, 4);
    EXPECT_EQ(inForce.RowText("numFailDetect").section(' ', 0, 0), "4");
    EXPECT_TRUE(ports.calls.contains("warn " + LanStr(277)));
}

TEST_F(Confirm, MultiDetectionCountFromThreeToTwo)
{
    inForce.machineType = inForce.pendingMachineType = 4;
    inForce.multiDetectCount = 3;
    for (int k = 0; k < 3; ++k)
        inForce.outputOwner[k] = k;
    inForce.productDetectOn = 1;
    gDNum = 3;
    edited = inForce;
    edited.multiDetectCount = 2;
    run();
    EXPECT_EQ(gDNum, 2);
    EXPECT_EQ(QVector<int>(inForce.detectOn, inForce.detectOn + 3), QVector<int>({1, 1, 0}));
    EXPECT_EQ(inForce.trigInput[2], -1);
    const int steps = ports.calls.indexOf("steps 2");
    EXPECT_GE(steps, 0);
    EXPECT_GT(ports.calls.indexOf("retrainAll"), steps);
}

TEST_F(Confirm, PendingTypeNoChoiceOffersKeepsTheTypeInForce)
{
    edited.pendingMachineType = -1;
    edited.semiAuto = 1;
    run();
    EXPECT_EQ(inForce.machineType, 0);
    EXPECT_EQ(inForce.pendingMachineType, 0);
}

}  // namespace
