// Details of the polling pass and of the decision: manual, simulated and
// external triggers, inputs during countdowns, the stopped scan, result
// picture states, the decision's reports and the display timing.

#include "runfixture.h"

#include <QDir>
#include <QFile>
#include <limits>

namespace {

using Pass = RunTest;

}  // namespace

// A manual trigger inspects its step on the next pass and is reported with
// the complement of the step.
TEST_F(Pass, ManualTrigger)
{
    net.up = net.connected = true;
    para.netLinkOn = 1;
    start();
    ctl->SlotManualTrig(1);
    EXPECT_EQ(view().inspections.size(), 0u);
    advance(5);
    ASSERT_EQ(view().inspections.size(), 1u);
    EXPECT_EQ(view().inspections[0].step, 1);
    EXPECT_TRUE(net.calls.contains("Once 0 -2"));
    EXPECT_EQ(st().trigSource, 0);
    EXPECT_FALSE(st().manualCycle);
    EXPECT_EQ(st().displayState, DisplayState::ResultShown);
}

TEST_F(Pass, ManualTriggerOfAProductStepWithoutProductDetection)
{
    para.productDetectOn = 0;
    start();
    ctl->SlotManualTrig(0);
    advance(10);
    EXPECT_TRUE(view().inspections.empty());
    EXPECT_TRUE(screen.events.contains("Warning Warning: Prod detection is not enabled!"));
    ctl->SlotManualTrig(-1);  // an empty step choice
    ctl->SlotManualTrig(2);
    advance(10);
    EXPECT_TRUE(view().inspections.empty());
}

// A manual trigger that ends in an alarm inhibits the clamp (and the ejector
// for a product snapshot).
TEST_F(Pass, ManualTriggerAlarm)
{
    start();
    verdict(0, false);
    ctl->SlotManualTrig(0);
    advance(5);
    EXPECT_EQ(out(), O0 | O1 | O2);
    EXPECT_EQ(st().displayState, DisplayState::Alarm);
    EXPECT_EQ(records().last(), "Camera 1Alarm");
}

// Without cameras each manual trigger loads the next test picture into the
// selected view first.
TEST_F(Pass, ManualTriggerWithoutCameras)
{
    gCameraID = 0;
    start(4);
    screen.selected = 2;
    for (int i = 0; i < 6; ++i)
        ctl->SlotManualTrig(1);
    screen.selected = 4;  // all views shown: view 0
    ctl->SlotManualTrig(1);
    EXPECT_EQ(view(2).callsOf("LoadTestPicture").join(','),
              "LoadTestPicture cammer11/template0.bmp,LoadTestPicture cammer11/template1.bmp,"
              "LoadTestPicture cammer11/template2.bmp,LoadTestPicture cammer11/template3.bmp,"
              "LoadTestPicture cammer11/template4.bmp,LoadTestPicture cammer11/template0.bmp");
    EXPECT_EQ(view(0).callsOf("LoadTestPicture"), QStringList{"LoadTestPicture cammer11/template1.bmp"});
}

// Multi-detection: a manual trigger is dropped while a countdown runs.
TEST_F(Pass, ManualTriggerBusyMultiDetection)
{
    para.machineType = 4;
    para.multiDetectCount = 2;
    para.outputOwner[1] = 1;
    para.rowTrigger[1] = 1;
    start();
    const qint64 t0 = now();
    pulse(0);
    ctl->SlotManualTrig(0);  // would count one tick of the running countdown
    advance(1000);
    ASSERT_EQ(view().inspections.size(), 1u);
    EXPECT_EQ(view().inspections[0].step, 0);
    EXPECT_NEAR(view().inspections[0].t - t0, 501, 1);
}

// An activation of input 0 while a countdown runs is not seen; the level it
// left is compared at the first poll after the countdowns.
TEST_F(Pass, InputsNotPolledDuringCountdowns)
{
    start();
    pulse(0);
    advance(1000);
    pulse(0, 100);  // during the mould countdown: lost
    advance(3000);
    EXPECT_EQ(view().inspections.size(), 2u);
    pulse(0, 10);
    advance(1000);
    setInput(0, true);  // low and high again unseen during the countdown
    advance(3000);
    EXPECT_EQ(view().inspections.size(), 4u) << "the last poll saw the input high: no new activation";
}

// Stopped: inputs 0..3 are consumed without effect, and a two-colour machine
// follows its side signals.
TEST_F(Pass, StoppedScan)
{
    para.machineType = 1;
    para.mouldSide = 2;
    start();
    ctl->StopByCommand();
    pulse(0);
    advance(10);
    pulse(3);
    advance(10);
    EXPECT_EQ(st().side, 0);
    pulse(2);
    advance(10);
    EXPECT_EQ(st().side, 1);
    advance(3000);
    EXPECT_TRUE(view().inspections.empty());
    ctl->StartByCommand();
    advance(3000);
    EXPECT_TRUE(view().inspections.empty()) << "activations while stopped were consumed";
}

// A simulated input counts as an activation on the next pass.
TEST_F(Pass, SimulatedInput)
{
    start();
    ctl->SimulateInput(0);
    advance(5);
    EXPECT_EQ(out(), O0 | O1);
    EXPECT_EQ(st().trigSource, 1);
}

// External trigger: the cycle starts once every camera delivered a frame.
TEST_F(Pass, ExternalTrigger)
{
    para.externalTrigger = 1;
    start(2);
    view(0).delivering = true;
    advance(100);
    EXPECT_TRUE(view().inspections.empty());
    view(1).delivering = true;
    advance(5);
    EXPECT_EQ(out(), O0 | O1);
    EXPECT_GE(st().frameCount[1], 1);
    view(0).delivering = view(1).delivering = false;
    advance(3000);
    EXPECT_EQ(view(1).inspections.size(), 2u);
}

TEST_F(Pass, WhiteBalanceOnceAfterFiftyPasses)
{
    start();
    advance(1000);
    EXPECT_EQ(view().whiteBalance, 1);
    EXPECT_GT(gRunCount, 300);
}

// After months of 3 ms passes the counters are near their limit: the next
// passes neither overflow them nor white-balance the cameras again.
TEST_F(Pass, CountersAfterMonthsOfPasses)
{
    start();
    advance(1000);
    ASSERT_EQ(view().whiteBalance, 1);
    st().tR = std::numeric_limits<int>::max() - 1;
    gRunCount = std::numeric_limits<int>::max() - 1;
    st().frameCount[0] = std::numeric_limits<int>::max() - 1;
    view().delivering = true;
    advance(100);
    EXPECT_EQ(view().whiteBalance, 1);
    EXPECT_GE(st().tR, 50);
    view().delivering = false;
}

// Result pictures: a good product is kept only when asked; with no NG
// pictures kept the state goes back to none; a retry keeps the state.
TEST_F(Pass, ResultPictureStates)
{
    gPicNumNG = 0;
    para.saveProductOk = 1;
    para.reDetectTimes = 1;
    start();
    verdict(1, false);
    pulse(0);
    advance(2452);
    EXPECT_EQ(st().imageState[0][0], ResultImageState::None) << "handed off with the product OK";
    EXPECT_EQ(view().callsOf("HandOff").value(0), "HandOff 0 OK");
    EXPECT_EQ(st().imageState[0][1], ResultImageState::CycleStarted) << "kept for the retry";
    advance(100);
    EXPECT_EQ(st().imageState[0][1], ResultImageState::None);
    EXPECT_TRUE(view().callsOf("SaveFailImage 1 0").isEmpty());
}

// The cycle is reported once, at the first decision without a retry left;
// a final NG reports its video, message and failed regions.
TEST_F(Pass, NetworkReports)
{
    para.netLinkOn = 1;
    para.ngVideo = 1;
    para.alarmSms = 1;
    net.up = net.connected = true;
    start(2);
    view(1).failed = {{3, 0}, {5, 1}};
    view(1).verdict[1] = false;
    pulse(0);
    advance(3000);
    EXPECT_EQ(net.calls.filter("Once"), QStringList{"Once 0 1"});
    EXPECT_EQ(net.calls.mid(net.calls.indexOf("Video 1 1")).mid(0, 4),
              (QStringList{"Video 1 1", "Tel 1 2", "Item 1 1 3", "Item 1 1 5"}));
    EXPECT_TRUE(net.calls.contains("Record Unlogged Camera 2Alarm"));
    view(1).verdict[1] = true;
    setInput(1, false);
    advance(1000);
    net.calls.clear();
    setInput(1, true);
    advance(10);
    EXPECT_EQ(net.calls.filter("NgTimes"), QStringList{"NgTimes 1550"});  // door closed 1.55 s after the alarm
    EXPECT_TRUE(net.calls.contains("Video 1 0"));
    EXPECT_TRUE(net.calls.contains("Cancel"));
    EXPECT_TRUE(net.calls.contains("Statistics"));  // after count.txt
}

// After the result display the current step moves on; without product
// detection the product step is skipped.
TEST_F(Pass, CurrentStepAfterTheDisplay)
{
    para.productDetectOn = 0;
    start();
    EXPECT_EQ(st().curDetect, 1);
    pulse(0);
    advance(2500);
    EXPECT_EQ(st().displayState, DisplayState::ResultShown);
    EXPECT_EQ(st().countdownPhase, 2);
    advance(2000);
    EXPECT_EQ(st().displayState, DisplayState::Normal);
    EXPECT_EQ(st().countdownPhase, 3);
    EXPECT_EQ(st().curDetect, 1);
}

// Countdown ticks: a delay of n tenths inspects on the n-th tick and
// repaints the countdown label on the others.
TEST_F(Pass, CountdownTicks)
{
    para.productDetectOn = 0;
    para.trigInDelay[1] = 3;
    start();
    const qint64 t0 = now();
    pulse(0);
    advance(500);
    EXPECT_EQ(screen.ticks, 2);
    ASSERT_EQ(view().inspections.size(), 1u);
    EXPECT_EQ(view().inspections[0].t - t0, 301);
}

// The temperature alarm pulses the alarm output; the pass publishes it.
TEST_F(Pass, TemperatureAlarmPulse)
{
    start();
    gisTempAlarm = true;
    advance(5010);
    EXPECT_EQ(out(), O2);
    advance(1000);
    EXPECT_EQ(out(), 0);
    gisTempAlarm = false;
}

// Originals: every inspected frame is saved while asked, and at most 200
// are kept.
TEST_F(Pass, SavedOriginalsArePruned)
{
    start();
    QDir().mkpath("originalimage/cammer12");
    for (int i = 0; i < 203; ++i) {
        QFile f(QStringLiteral("originalimage/cammer12/old%1.bmp").arg(i, 3, 10, QLatin1Char('0')));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.setFileTime(QDateTime(QDate(2020, 1, 1), QTime(0, 0)).addSecs(i), QFileDevice::FileModificationTime);
    }
    st().saveOriginals = true;
    pulse(0);
    advance(3000);
    EXPECT_EQ(view().callsOf("SaveOriginal").value(1), "SaveOriginal ./originalimage/cammer12/template20240305-100002-601.bmp");
    const QStringList left = QDir("originalimage/cammer12").entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(left.size(), 200);
    EXPECT_EQ(left.first(), "old003.bmp");
}

// A changed input brings the next pass forward to now in the 3 ms cadence;
// not from inside a pass, nor while a lost camera slows the passes to 3 s.
TEST_F(Pass, AChangedInputIsPolledAtOnce)
{
    struct Case {
        const char* name;
        bool lost;
        bool fromInsideAPass;
        qint64 nextPassMs;   // from the change to the next pass
    } cases[] = {
        {"between two passes", false, false, 1},   // the test clock's shortest timer
        {"from inside a pass", false, true, 3},
        {"a camera is lost", true, false, 3000},
    };
    start();
    auto nextPass = [&] {
        const int count = gRunCount;
        const qint64 t0 = now();
        for (int ms = 0; ms < 5000 && gRunCount == count; ++ms)
            advance(1);
        return now() - t0;
    };
    for (const Case& c : cases) {
        screen.lost = c.lost;
        screen.onPassEnded = [&] {
            if (c.fromInsideAPass)
                ctl->InputChanged();
        };
        nextPass();
        if (!c.fromInsideAPass)
            ctl->InputChanged();
        EXPECT_EQ(nextPass(), c.nextPassMs) << c.name;
    }
}

// The pass brought forward takes the input's edge: the clamp is inhibited
// at once.
TEST_F(Pass, AChangedInputStartsTheCycleInThePassItBringsForward)
{
    start();
    const int count = gRunCount;
    for (int ms = 0; ms < 10 && gRunCount == count; ++ms)
        advance(1);
    setInput(0, true);
    ctl->InputChanged();
    advance(1);
    EXPECT_EQ(out(), O0 | O1);
    EXPECT_EQ(io->timesOf(O0 | O1), std::vector<qint64>{now()});
}
