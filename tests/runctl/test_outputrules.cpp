// The interlock output rules, one row per machine type and option: the
// logical output word the board is given at chosen times of a cycle.

#include "runfixture.h"

#include <functional>

namespace {

using Settings = std::function<void(WizardPara&)>;

struct Check {
    int at;     // ms after the cycle-start input rose
    int word;   // logical outputs published then
};

struct CycleCase {
    const char* name;
    Settings set;
    bool productOk;
    bool mouldOk;
    std::vector<Check> checks;
};

class CycleOutputs : public RunTest, public ::testing::WithParamInterface<CycleCase>
{
};

// Baseline delays: product 0.5 s, mould 2.0 s after it (2.5 s after input 0).
const CycleCase kCycleCases[] = {
    {"standard good cycle", [](WizardPara&) {}, true, true,
     {{10, O0 | O1}, {495, O0 | O1}, {510, O0}, {2495, O0}, {2510, 0}}},
    {"standard product NG raises the alarm", [](WizardPara&) {}, false, true,
     {{510, O0 | O1 | O2}, {2510, O0 | O1 | O2}}},
    {"standard mould NG holds clamp and alarm", [](WizardPara&) {}, true, false,
     {{510, O0}, {2510, O0 | O2}, {5000, O0 | O2}}},
    {"auto parts as standard", [](WizardPara& p) { p.machineType = 3; }, true, true,
     {{10, O0 | O1}, {510, O0}, {2510, 0}}},
    {"accepted type leaves the clamp free at cycle start", [](WizardPara& p) { p.machineType = 5; }, true, true,
     {{10, O1}, {510, 0}, {2510, 0}}},
    {"accepted type mould NG inhibits the clamp", [](WizardPara& p) { p.machineType = 5; }, true, false,
     {{10, O1}, {2510, O0 | O2}}},
    {"accepted type product NG", [](WizardPara& p) { p.machineType = 5; }, false, true,
     {{510, O0 | O1 | O2}}},
    {"pre-cut: no clamp inhibit at cycle start", [](WizardPara& p) { p.preCut = 10; }, true, true,
     {{10, O1}, {510, 0}, {2510, 0}}},
    {"pre-cut product NG leaves the clamp", [](WizardPara& p) { p.preCut = 10; }, false, true,
     {{510, O1 | O2}}},
    {"clamp cut on mould alarm: product NG", [](WizardPara& p) { p.cutClampOnMouldAlarm = 1; }, false, true,
     {{10, O1}, {510, O1 | O2}}},
    {"clamp cut on mould alarm: mould NG still inhibits", [](WizardPara& p) { p.cutClampOnMouldAlarm = 1; }, true,
     false, {{10, O1}, {510, 0}, {2510, O0 | O2}}},
    {"no ejector control", [](WizardPara& p) { p.noEjectorControl = 1; }, true, true,
     {{10, O0}, {510, O0}, {2510, 0}}},
    {"no ejector control: product NG", [](WizardPara& p) { p.noEjectorControl = 1; }, false, true,
     {{510, O0 | O2}}},
    {"ejector cut on product alarm: ejector free at cycle start", [](WizardPara& p) { p.cutEjectorOnProductAlarm = 1; },
     true, true, {{10, O0}, {510, O0}, {2510, 0}}},
    {"ejector cut on product alarm: product NG", [](WizardPara& p) { p.cutEjectorOnProductAlarm = 1; }, false, true,
     {{510, O0 | O1 | O2}}},
    {"product detection off: mould step only", [](WizardPara& p) { p.productDetectOn = 0; }, true, true,
     {{10, O0}, {510, O0}, {1995, O0}, {2005, 0}}},
    {"ejector inhibited again after a good mould", [](WizardPara& p) { p.cutEjectorWhenClamping = 1; }, true, true,
     {{-50, O1}, {10, O0 | O1}, {510, O0}, {2510, O1}}},
    {"ejector pulse on NG: good cycle", [](WizardPara& p) { p.ejectorPulseOnNG = 1; }, true, true,
     {{10, O0}, {510, O0}, {2510, 0}}},
    {"OK/NG pulses: good cycle pulses the ejector output", [](WizardPara& p) {
         p.okNgPulses = 1;
         p.clampPulseTime = 3;
     }, true, true, {{10, 0}, {510, O1}, {810, 0}, {2510, O1}, {2810, 0}}},
    {"OK/NG pulses: mould NG pulses clamp and alarm", [](WizardPara& p) {
         p.okNgPulses = 1;
         p.clampPulseTime = 3;
     }, true, false, {{2510, O0 | O2}, {2810, 0}, {5000, 0}}},
    {"OK/NG pulses without pulse time stay latched", [](WizardPara& p) { p.okNgPulses = 1; }, true, false,
     {{2510, O0 | O2}, {5000, O0 | O2}}},
    {"timed clamp release after a good mould", [](WizardPara& p) {
         p.cutClampAfterMouldOK = 1;
         p.clampPulseTime = 10;
     }, true, true, {{-50, O0}, {10, O0 | O1}, {510, O0}, {2510, 0}, {3495, 0}, {3510, O0}}},
    {"ejector released for a while after a good product", [](WizardPara& p) {
         p.cutEjectorAfterProductOK = 1;
         p.ejectorPulseTime = 4;
     }, true, true, {{510, O0}, {895, O0}, {910, O0 | O1}, {2510, O1}}},
    {"two-colour left side: product on input 0", [](WizardPara& p) { p.machineType = 1; }, true, true,
     {{10, O0 | O1}, {510, O0}, {2510, O0}}},
    {"rotary table left side: both steps on input 0", [](WizardPara& p) { p.machineType = 2; }, true, true,
     {{10, O0 | O1}, {510, O0}, {1995, O0}, {2005, 0}}},
    {"rotary table mould NG", [](WizardPara& p) { p.machineType = 2; }, true, false,
     {{2010, O0 | O2}}},
};

}  // namespace

TEST_P(CycleOutputs, PublishedWords)
{
    const CycleCase& c = GetParam();
    c.set(para);
    start();
    verdict(0, c.productOk);
    verdict(1, c.mouldOk);
    const qint64 t0 = now();
    pulse(0);
    advance(6000);
    for (const Check& check : c.checks)
        EXPECT_EQ(outAt(t0 + check.at), check.word) << "at " << check.at << " ms";
}

INSTANTIATE_TEST_SUITE_P(ByTypeAndOption, CycleOutputs, ::testing::ValuesIn(kCycleCases),
                         [](const ::testing::TestParamInfo<CycleCase>& info) { return CaseName(info.param.name); });

namespace {

// The alarm of a step cleared by the re-check on the door closing: the word
// after the alarm end, and the states detection resumes with.
struct AlarmEndCase {
    const char* name;
    Settings set;
    int ngStep;
    int afterAlarm;     // word once the alarm is raised
    int afterDoorOpen;  // word after the door opened
    int afterEnd;       // word right after the OK re-check
};

class AlarmEnd : public RunTest, public ::testing::WithParamInterface<AlarmEndCase>
{
};

const AlarmEndCase kAlarmEndCases[] = {
    {"standard product step", [](WizardPara&) {}, 0, O0 | O1 | O2, O0 | O1, O0},
    {"standard mould step", [](WizardPara&) {}, 1, O0 | O2, O0, 0},
    {"auto parts mould step", [](WizardPara& p) { p.machineType = 3; }, 1, O0 | O2, O0, 0},
    {"accepted type mould step", [](WizardPara& p) { p.machineType = 5; }, 1, O0 | O2, O0, 0},
    // the re-check of the accepted type releases the clamp first
    {"accepted type product step", [](WizardPara& p) { p.machineType = 5; }, 0, O0 | O1 | O2, O0 | O1, 0},
    {"two-colour product step: door leaves the alarm on", [](WizardPara& p) { p.machineType = 1; }, 0, O0 | O1 | O2,
     O0 | O1 | O2, O0},
    {"rotary table mould step", [](WizardPara& p) { p.machineType = 2; }, 1, O0 | O2, O0 | O2, 0},
};

}  // namespace

TEST_P(AlarmEnd, ClearedByTheDoor)
{
    const AlarmEndCase& c = GetParam();
    c.set(para);
    start();
    verdict(c.ngStep, false);
    pulse(0);
    advance(3000);
    EXPECT_EQ(st().displayState, DisplayState::Alarm);
    EXPECT_EQ(st().runState, RunState::Stopped);
    EXPECT_EQ(out(), c.afterAlarm);
    setInput(1, false);
    advance(20);
    EXPECT_EQ(out(), c.afterDoorOpen);
    verdict(c.ngStep, true);
    setInput(1, true);
    advance(4);
    EXPECT_EQ(out(), c.afterEnd);
    EXPECT_EQ(st().runState, RunState::Detecting);
    EXPECT_EQ(st().displayState, DisplayState::ResultShown);
    EXPECT_TRUE(screen.events.contains("EndAlarm"));
}

INSTANTIATE_TEST_SUITE_P(ByTypeAndStep, AlarmEnd, ::testing::ValuesIn(kAlarmEndCases),
                         [](const ::testing::TestParamInfo<AlarmEndCase>& info) { return CaseName(info.param.name); });

namespace {

using Outputs = RunTest;

}  // namespace

// Pre-cut: the clamp inhibit goes on at the countdown tick that finds
// preCut tenths left (1.0 s of the mould step's 2.5 s: tick 16), and a
// pre-cut of 100 tenths (the top of its slider) acts at the first tick, and
// so does a stored value beyond the slider.
struct PreCutCase {
    int preCut;
    int before;  // ms after input 0 still without the clamp inhibit
    int after;   // ms after input 0 with it
};

class PreCut : public RunTest, public ::testing::WithParamInterface<PreCutCase>
{
};

TEST_P(PreCut, ClampInhibitBeforeTheMouldInspection)
{
    para.preCut = GetParam().preCut;
    para.productDetectOn = 0;  // the mould step alone, 2.5 s
    para.trigInDelay[1] = 25;
    start();
    const qint64 t0 = now();
    pulse(0);
    advance(3000);
    EXPECT_EQ(outAt(t0 + GetParam().before), 0);
    EXPECT_EQ(outAt(t0 + GetParam().after), O0);
    EXPECT_EQ(out(), 0);  // released by the good decision
}

INSTANTIATE_TEST_SUITE_P(Ticks, PreCut,
                         ::testing::Values(PreCutCase{10, 1595, 1605}, PreCutCase{25, 95, 105},
                                           PreCutCase{100, 95, 105}, PreCutCase{2, 2395, 2405},
                                           PreCutCase{5000, 95, 105}));

// The shortest pre-cut still inhibits the clamp, at the inspecting tick,
// before the good decision releases it.
TEST_F(Outputs, PreCutOfOneTenth)
{
    para.preCut = 1;
    para.productDetectOn = 0;
    para.trigInDelay[1] = 25;
    start();
    const qint64 t0 = now();
    pulse(0);
    advance(3000);
    ASSERT_EQ(view().inspections.size(), 1u);
    EXPECT_EQ(io->timesOf(O0), std::vector<qint64>{view().inspections[0].t});
    EXPECT_EQ(view().inspections[0].t - t0, 2501);
    EXPECT_EQ(out(), 0);
}

// Retries with a pre-cut: the pre-cut tick inhibits the clamp before the
// first inspection; the alarm comes with the last retry.
TEST_F(Outputs, RetriesWithPreCut)
{
    para.preCut = 5;
    para.productDetectOn = 0;
    para.reDetectTimes = 2;
    para.trigInDelay[1] = 3;
    start();
    verdict(1, false);
    const qint64 t0 = now();
    pulse(0, 20);
    advance(400);
    EXPECT_EQ(outAt(t0 + 150), O0);
    EXPECT_EQ(out(), O0 | O2);
    EXPECT_EQ(view().inspections.size(), 3u);
    EXPECT_EQ(gFailNum[0], 1);
}

// Every camera NG of the product step with ejector pulses asks for the NG
// outputs of its failed regions; they pulse with the ejector output.
TEST_F(Outputs, RegionOutputsPulseWithTheEjector)
{
    para.ejectorPulseOnNG = 1;
    para.ejectorPulseTime = 5;
    start(2);
    view(0).failed = {{0, 0}, {3, 2}, {4, 9}};  // output 9 does not exist
    view(1).failed = {{1, 3}};
    verdict(0, false);
    const qint64 t0 = now();
    pulse(0);
    advance(3000);
    EXPECT_EQ(outAt(t0 + 10), O0);
    EXPECT_EQ(outAt(t0 + 510), O0 | O1 | O4 | O6 | O7);
    EXPECT_EQ(outAt(t0 + 1010), O0);
    EXPECT_NE(st().displayState, DisplayState::Alarm);
    EXPECT_EQ(records().size(), 1);
}

// The mould step started by input 2 in semi-automatic mode inhibits the
// clamp (on the accepted type too, which leaves it free at the cycle start).
struct SecondStepCase {
    const char* name;
    Settings set;
    int word;  // after input 2
};

class SecondStep : public RunTest, public ::testing::WithParamInterface<SecondStepCase>
{
};

TEST_P(SecondStep, ClampInhibit)
{
    para.semiAuto = 1;
    GetParam().set(para);
    start();
    pulse(0);
    advance(1000);
    EXPECT_EQ(out() & O0, 0);
    pulse(2);
    EXPECT_EQ(out(), GetParam().word);
}

const SecondStepCase kSecondStepCases[] = {
        {"accepted type", [](WizardPara& p) { p.machineType = 5; }, O0},
        {"pre-cut", [](WizardPara& p) { p.preCut = 5; }, 0},
        {"clamp cut on mould alarm", [](WizardPara& p) { p.cutClampOnMouldAlarm = 1; }, 0},
        {"pulses: the product's OK pulse stays without a pulse time", [](WizardPara& p) { p.okNgPulses = 1; }, O1},
};

INSTANTIATE_TEST_SUITE_P(Options, SecondStep, ::testing::ValuesIn(kSecondStepCases),
                         [](const ::testing::TestParamInfo<SecondStepCase>& info) { return CaseName(info.param.name); });

// On the right side of a two-colour machine the product step is step 2:
// its own failed regions drive the region NG outputs.
TEST_F(Outputs, RegionOutputsOfTheRightSide)
{
    para.machineType = 1;
    para.mouldSide = 1;
    para.ejectorPulseOnNG = 1;
    para.ejectorPulseTime = 5;
    start();
    ASSERT_EQ(st().side, 0);
    view().failed = {{0, 1}};
    view().failedStep = 2;
    verdict(2, false);
    const qint64 t0 = now();
    pulse(0);
    advance(1000);
    EXPECT_EQ(view().inspections[0].step, 2);
    EXPECT_EQ(outAt(t0 + 510), O0 | O1 | O5);
}

// Pulse ends while stopped leave clamp and ejector alone; the OK/NG pulse
// ends switch everything off whatever the state.
TEST_F(Outputs, PulseEndsWhileStopped)
{
    para.cutClampAfterMouldOK = 1;
    para.clampPulseTime = 10;
    para.cutEjectorAfterProductOK = 1;
    para.ejectorPulseTime = 10;
    start();
    const qint64 t0 = now();
    pulse(0);
    advance(600);
    EXPECT_EQ(out(), O0);
    ctl->StopByCommand();
    EXPECT_EQ(out(), 0);
    advance(1000);  // the ejector pulse ends while stopped
    EXPECT_EQ(out(), 0);
    EXPECT_TRUE(view().inspections.size() == 1u) << "the mould countdown was cancelled";
    EXPECT_EQ(outAt(t0 + 1600), 0);
}

TEST_F(Outputs, StopKeepsTheClampWhenAsked)
{
    para.noClampWhenStopped = 1;
    start();
    ctl->StopByCommand();
    EXPECT_EQ(out(), O0);
    EXPECT_EQ(screen.led[4], 0);
    ctl->StartByCommand();
    EXPECT_EQ(out(), 0);
    EXPECT_EQ(screen.led[4], 1);
    EXPECT_EQ(records().mid(1), (QStringList{"Stop the detection manually ", "Start the detection manually "}));
}

// The editor's re-check arms the interlock of the step it repeats, then the
// camera, still NG, keeps the alarm.
struct ReArmCase {
    const char* name;
    Settings set;
    int step;
    int doorOpen;  // word after the door opened
    int word;      // word after the re-check on the door closing
};

class ReArm : public RunTest, public ::testing::WithParamInterface<ReArmCase>
{
};

TEST_P(ReArm, StillNg)
{
    const ReArmCase& c = GetParam();
    c.set(para);
    start();
    verdict(c.step, false);
    pulse(0);
    advance(3000);
    setInput(1, false);
    advance(10);
    EXPECT_EQ(out(), c.doorOpen);
    setInput(1, true);
    advance(10);
    EXPECT_EQ(out(), c.word);
    EXPECT_EQ(st().displayState, DisplayState::Alarm);
    EXPECT_EQ(records().size(), 2) << "one alarm line only";
}

const ReArmCase kReArmCases[] = {
        {"mould step", [](WizardPara&) {}, 1, O0, O0 | O2},
        {"product step", [](WizardPara&) {}, 0, O0 | O1, O0 | O1 | O2},
        {"product step without ejector control", [](WizardPara& p) { p.noEjectorControl = 1; }, 0, O0, O0 | O2},
        {"accepted type: clamp released first, inhibited by the mould NG", [](WizardPara& p) { p.machineType = 5; },
         1, O0, O0 | O2},
};

INSTANTIATE_TEST_SUITE_P(ByStep, ReArm, ::testing::ValuesIn(kReArmCases),
                         [](const ::testing::TestParamInfo<ReArmCase>& info) { return CaseName(info.param.name); });
