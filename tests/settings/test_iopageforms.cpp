// The IO pages' load and store, without a screen: round trips, the slider
// ranges, radio groups with no button for the stored value, and what the
// multi-detection machine adds. Also the rules of the small dialogs.

#include "core/wizardpara.h"
#include "settings/dialogrules.h"
#include "settings/iopageforms.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using Edit = std::function<void(WizardPara&)>;

struct RoundTrip {
    const char* name;
    Edit stored;
    bool multi;
};

// Loading then storing with no control touched gives the stored record back.
class ParamsRoundTrip : public ::testing::TestWithParam<RoundTrip>
{
};

TEST_P(ParamsRoundTrip, StoringUntouchedControlsChangesNothing)
{
    WizardPara p;
    p.productDetectOn = 1;
    GetParam().stored(p);
    const WizardPara before = p;
    IoParamsForm form;
    form.load(p, GetParam().multi);
    form.store(p, GetParam().multi);
    for (const QString& row : WizardPara::RowNames())
        EXPECT_EQ(p.RowText(row), before.RowText(row)) << row.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParamsRoundTrip,
    ::testing::Values(
        RoundTrip{"Defaults", [](WizardPara&) {}, false},
        RoundTrip{"Timings",
                  [](WizardPara& p) {
                      p.noInputTimeout = 10000;
                      p.ejectorPulseTime = 25;
                      p.clampPulseTime = 1000;
                      p.preCut = 15;
                      p.inputDebounce = 3;
                  },
                  false},
        RoundTrip{"TwoColourRightMould", [](WizardPara& p) { p.pendingMachineType = 1; p.mouldSide = 1; }, false},
        RoundTrip{"TypeWithoutButton", [](WizardPara& p) { p.pendingMachineType = 5; }, false},
        RoundTrip{"SideUnknown", [](WizardPara& p) { p.mouldSide = 3; }, false},
        RoundTrip{"MultiInitialStates",
                  [](WizardPara& p) {
                      p.pendingMachineType = 4;
                      const int states[5] = {1, 0, 1, 1, 0};
                      std::copy(states, states + 5, p.outPolarity + 4);
                  },
                  true},
        RoundTrip{"MultiInitialStateDamaged", [](WizardPara& p) { p.outPolarity[6] = 7; }, true}),
    [](const auto& info) { return std::string(info.param.name); });

class FunctionsRoundTrip : public ::testing::TestWithParam<RoundTrip>
{
};

TEST_P(FunctionsRoundTrip, StoringUntouchedControlsChangesNothing)
{
    WizardPara p;
    GetParam().stored(p);
    const WizardPara before = p;
    IoFunctionsForm form;
    form.load(p);
    form.store(p);
    for (const QString& row : WizardPara::RowNames())
        EXPECT_EQ(p.RowText(row), before.RowText(row)) << row.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FunctionsRoundTrip,
    ::testing::Values(RoundTrip{"Defaults", [](WizardPara&) {}, false},
                      RoundTrip{"EverySwitchOn",
                                [](WizardPara& p) {
                                    for (int* f : {&p.noClampWhenStopped, &p.cutEjectorWhenClamping,
                                                   &p.noEjectorControl, &p.ejectorPulseOnNG, &p.okNgPulses,
                                                   &p.cutClampAfterMouldOK, &p.cutEjectorAfterProductOK,
                                                   &p.doorTriggerDetect, &p.alarmNeedsDoorOpen,
                                                   &p.tempAlarmClamp, &p.cutEjectorOnProductAlarm,
                                                   &p.cutClampOnMouldAlarm})
                                        *f = 1;
                                },
                                false},
                      RoundTrip{"Uses", [](WizardPara& p) { p.input4Use = 3; p.output4Use = 2; }, false},
                      RoundTrip{"InitialStates",
                                [](WizardPara& p) {
                                    p.outPolarity[0] = 1;
                                    p.outPolarity[2] = 1;
                                    p.outPolarity[3] = 1;
                                },
                                false},
                      RoundTrip{"UsesDamaged", [](WizardPara& p) { p.input4Use = 9; p.output4Use = -2; }, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IoParamsForm, EachControlStoresItsOwnSetting)
{
    WizardPara p;
    IoParamsForm form;
    form.load(p, false);
    const int values[5] = {600, 25, 30, 15, 4};
    std::copy(values, values + 5, form.slider);
    form.machineType = 2;
    form.side = 2;
    form.store(p, false);
    EXPECT_EQ(p.noInputTimeout, 600);
    EXPECT_EQ(p.ejectorPulseTime, 25);
    EXPECT_EQ(p.clampPulseTime, 30);
    EXPECT_EQ(p.preCut, 15);
    EXPECT_EQ(p.inputDebounce, 4);
    EXPECT_EQ(p.pendingMachineType, 2);
    EXPECT_EQ(p.machineType, 0);   // the type in force is the confirmation's
    EXPECT_EQ(p.mouldSide, 2);
}

TEST(IoParamsForm, SlidersClampToTheirRanges)
{
    WizardPara p;
    p.preCut = 150;
    p.noInputTimeout = -5;
    IoParamsForm form;
    form.load(p, false);
    form.store(p, false);
    EXPECT_EQ(p.preCut, 100);
    EXPECT_EQ(p.noInputTimeout, 0);
}

TEST(IoParamsForm, NoTickedTypeOrSideKeepsTheStoredValue)
{
    WizardPara p;
    p.pendingMachineType = 5;
    p.mouldSide = -1;
    IoParamsForm form;
    form.load(p, false);
    EXPECT_EQ(form.machineType, -1);
    EXPECT_EQ(form.side, -1);
    form.store(p, false);
    EXPECT_EQ(p.pendingMachineType, 5);
    EXPECT_EQ(p.mouldSide, -1);
}

TEST(IoParamsForm, MultiDetectionInForceStoresInitialStatesAndTurnsTheProductCheckOn)
{
    WizardPara p;
    p.productDetectOn = 0;
    IoParamsForm form;
    form.load(p, true);
    form.initialState[0] = 1;
    form.initialState[4] = 1;
    form.store(p, true);
    EXPECT_EQ(p.productDetectOn, 1);
    EXPECT_EQ(p.outPolarity[4], 1);
    EXPECT_EQ(p.outPolarity[8], 1);
    WizardPara q;
    form.store(q, false);
    EXPECT_EQ(q.productDetectOn, 0);
    EXPECT_EQ(q.outPolarity[4], 0);
}

TEST(IoParamsForm, LabelsShowTenthsWithoutTrailingZeros)
{
    EXPECT_EQ(IoParamsForm::label(0, 600), "600");
    EXPECT_EQ(IoParamsForm::label(3, 15), "1.5");
    EXPECT_EQ(IoParamsForm::label(1, 25), "2.5");
    EXPECT_EQ(IoParamsForm::label(2, 1000), "100");
    EXPECT_EQ(IoParamsForm::label(4, 0), "0");
}

TEST(IoParamsForm, VisibilityOfTheTypeControlsAndInitialStates)
{
    for (int type = -1; type <= 5; ++type) {
        EXPECT_EQ(IoParamsForm::showsSides(type), type == 1 || type == 2) << type;
        EXPECT_EQ(IoParamsForm::showsIoButtons(type), type == 4) << type;
    }
    // 3 detections: none; 6: outputs 4 to 6; 8: all five.
    const int shown[][5] = {{0, 0, 0, 0, 0}, {1, 1, 1, 0, 0}, {1, 1, 1, 1, 1}};
    const int detections[] = {3, 6, 8};
    for (int d = 0; d < 3; ++d)
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(IoParamsForm::showsInitialState(i, detections[d]), shown[d][i] != 0) << d << i;
}

TEST(IoFunctionsForm, EachBoxStoresItsOwnSetting)
{
    int WizardPara::*const fields[12] = {
        &WizardPara::noClampWhenStopped, &WizardPara::cutEjectorWhenClamping, &WizardPara::noEjectorControl,
        &WizardPara::ejectorPulseOnNG, &WizardPara::okNgPulses, &WizardPara::cutClampAfterMouldOK,
        &WizardPara::cutEjectorAfterProductOK, &WizardPara::doorTriggerDetect, &WizardPara::alarmNeedsDoorOpen,
        &WizardPara::tempAlarmClamp, &WizardPara::cutEjectorOnProductAlarm, &WizardPara::cutClampOnMouldAlarm};
    for (int b = 0; b < 12; ++b) {
        WizardPara p;
        p.*fields[b] = 5;   // any non-zero value ticks
        IoFunctionsForm form;
        form.load(p);
        for (int other = 0; other < 12; ++other)
            EXPECT_EQ(form.box[other], other == b) << b << " " << other;
        form.store(p);
        EXPECT_EQ(p.*fields[b], 1) << b;
    }
}

TEST(IoFunctionsForm, GroupsStoreTheTickedIdOrKeepTheStoredValue)
{
    WizardPara p;
    p.input4Use = 7;
    IoFunctionsForm form;
    form.load(p);
    EXPECT_EQ(form.input4, -1);
    form.output4 = 3;
    form.initialState[2] = 1;
    form.store(p);
    EXPECT_EQ(p.input4Use, 7);
    EXPECT_EQ(p.output4Use, 3);
    EXPECT_EQ(p.outPolarity[2], 1);
}

TEST(DialogRules, TheFirstRepeatedCameraPositionIsNamed)
{
    const int twoOnSecond[3] = {1, 1, 2};
    EXPECT_EQ(RepeatedCameraPosition(twoOnSecond, 3), 1);
    const int swapped[3] = {1, 0, 2};
    EXPECT_EQ(RepeatedCameraPosition(swapped, 3), -1);
    const int lastTwo[4] = {0, 2, 3, 2};
    EXPECT_EQ(RepeatedCameraPosition(lastTwo, 4), 2);
    EXPECT_EQ(RepeatedCameraPosition(twoOnSecond, 1), -1);
}

TEST(DialogRules, ConfigurationLines)
{
    const ConfEntries e = ParseConfiguration(
        "CPU_Board\tARM_A9\textra\r\nCameras\n\nCount\t3\nDisk\t\nCount\t5\n");
    ASSERT_EQ(e.size(), 5);
    EXPECT_EQ(e[0], qMakePair(QString("CPU Board"), QString("ARM A9")));
    EXPECT_EQ(e[1], qMakePair(QString("Cameras"), QString()));
    EXPECT_EQ(e[2].first, QString(kConfCountKey));
    EXPECT_EQ(e[3], qMakePair(QString("Disk"), QString()));
    EXPECT_EQ(ConfigurationMap(e).value("Count"), "5");
    EXPECT_TRUE(ReadConfiguration("no-such-conf.txt").isEmpty());
}

TEST(DialogRules, HelpPagingWrapsAndAPageBeyondTheLastShowsTheLast)
{
    const HelpPaging twelve{12};
    EXPECT_EQ(twelve.next(11), 0);
    EXPECT_EQ(twelve.previous(0), 11);
    EXPECT_EQ(twelve.next(3), 4);
    EXPECT_EQ(twelve.shown(kHelpAlarmPage), 4);
    const HelpPaging three{3};
    EXPECT_EQ(three.shown(kHelpAlarmPage), 2);
    EXPECT_EQ(three.shown(6), 2);
    EXPECT_EQ(three.next(6), 0);
    const HelpPaging one{1};
    EXPECT_EQ(one.next(0), 0);
    EXPECT_EQ(one.previous(0), 0);
}

}  // namespace
