// Whole cycles as a machine runs them, checked on the published output
// words over time, the operation record, count.txt and the result pictures.

#include "runfixture.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QVariant>

namespace {

using Scenario = RunTest;

const char* const kCountOneGood = "1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 ";
const char* const kCountOneNg = "1 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 ";
const char* const kReady = "The system is ready, there is 1 cameras";

}  // namespace

// S1: a good standard cycle.
TEST_F(Scenario, GoodStandardCycle)
{
    start();
    const qint64 t0 = now();
    pulse(0);
    advance(2900);
    EXPECT_EQ(screen.led[6], 1);  // the mould result is shown
    EXPECT_EQ(screen.led[7], 0);
    advance(2100);
    EXPECT_EQ(outAt(t0 + 5), O0 | O1);
    EXPECT_EQ(outAt(t0 + 498), O0 | O1);
    EXPECT_EQ(outAt(t0 + 505), O0);
    EXPECT_EQ(outAt(t0 + 2498), O0);
    EXPECT_EQ(outAt(t0 + 2505), 0);
    EXPECT_TRUE(io->timesOf(O0 | O2).empty());
    EXPECT_EQ(fileText("count.txt"), kCountOneGood);
    EXPECT_EQ(records(), QStringList{kReady});
    EXPECT_EQ(view().callsOf("HandOff"), QStringList{"HandOff 1 OK"});  // no product OK picture kept
    EXPECT_EQ(screen.led[6], 1);
    EXPECT_EQ(screen.led[7], 1);
    EXPECT_EQ(st().curDetect, 0);  // ready for the next cycle's product step
    EXPECT_EQ(net.calls, QStringList());  // the link is off
}

// S2: a mould NG holds clamp and alarm; the door opening drops the alarm
// output, the door closing re-checks, and the good re-check ends the alarm.
TEST_F(Scenario, MouldAlarmClearedByTheDoor)
{
    start();
    verdict(1, false);
    const qint64 t0 = now();
    pulse(0);
    advance(3000);
    EXPECT_EQ(outAt(t0 + 2505), O0 | O2);
    EXPECT_EQ(screen.led[6], 0);
    EXPECT_EQ(screen.led[7], 1);
    EXPECT_EQ(recordRows().value(1), "10.00.02|Unlogged|Camera 1Alarm");
    EXPECT_EQ(fileText("count.txt"), "<missing>");
    EXPECT_EQ(gFailNum[0], 1);
    EXPECT_EQ(st().imageState[0][1], ResultImageState::NgKept);
    EXPECT_TRUE(screen.events.contains("ShowAlarm"));

    const size_t inspected = view().inspections.size();
    pulse(0);  // the mould opening again changes nothing during the alarm
    advance(500);
    EXPECT_EQ(out(), O0 | O2);
    EXPECT_EQ(view().inspections.size(), inspected);

    setInput(1, false);  // door open
    advance(10);
    EXPECT_EQ(out(), O0);
    EXPECT_TRUE(gisSafeDoorOpen);

    verdict(1, true);
    setInput(1, true);  // door closed: re-check
    advance(10);
    EXPECT_EQ(out(), 0);
    EXPECT_EQ(st().runState, RunState::Detecting);
    EXPECT_EQ(fileText("count.txt"), kCountOneNg);
    EXPECT_EQ(view().callsOf("UpdateFailImage").join(','), "UpdateFailImage 1 0 7,UpdateFailImage 1 1 8");
    EXPECT_EQ(view().callsOf("HandOff"), QStringList{"HandOff 1 NG OK"});
    EXPECT_EQ(records().size(), 2);
}

// A frame that cannot be used (here one of another size, refused by the
// hand-off) makes the camera NG for the step: the older frame, good as it
// may be, is never judged in its place.
TEST_F(Scenario, UnusableFrameIsNgWhateverTheOlderFrameShows)
{
    start();
    const QString cause = "image size 320x240, expected 640x480";
    const qint64 t0 = now();
    pulse(0);
    advance(1000);  // the product step judged good
    view().fault = cause;
    advance(2000);
    EXPECT_EQ(outAt(t0 + 2505), O0 | O2);
    for (const auto& inspection : view().inspections)
        EXPECT_NE(inspection.step, 1) << "the mould step was judged on an older frame";
    const QStringList lines = records();
    EXPECT_TRUE(lines.contains("Camera 1 image unusable: " + cause)) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines.contains("Camera 1Alarm"));
    EXPECT_TRUE(screen.events.contains("Warning Camera 1 image unusable: " + cause));
    EXPECT_EQ(gFailNum[0], 1);

    view().fault.clear();  // a usable frame again: the door's re-check judges it
    verdict(1, true);
    setInput(1, false);
    advance(10);
    setInput(1, true);
    advance(10);
    EXPECT_EQ(out(), 0);
    EXPECT_EQ(st().runState, RunState::Detecting);
}

// A camera that delivers no frame after the step was scheduled is waited for
// a few frame periods, then NG for the step: its older frame is not judged.
TEST_F(Scenario, NoFrameAfterTheTriggerIsNgAfterABoundedWait)
{
    start();
    view().delivering = false;
    pulse(0);
    advance(3000);
    EXPECT_TRUE(view().inspections.empty()) << "judged on a frame older than the trigger";
    EXPECT_EQ(out() & (O0 | O2), O0 | O2);
    EXPECT_TRUE(records().contains("Camera 1 image unusable: no new image")) << records().join('\n').toStdString();

    // Frames again: the door's re-check judges the new one.
    view().delivering = true;
    setInput(1, false);
    advance(10);
    setInput(1, true);
    advance(10);
    EXPECT_FALSE(view().inspections.empty());
}

// count.txt that cannot be written is said once (record and warning), not on
// every cycle, and again only after a good write in between.
TEST_F(Scenario, CountFileWriteFailureIsReportedOnce)
{
    start();
    ASSERT_TRUE(QDir().mkdir("count.txt"));   // cannot be replaced by a file
    const QString line = "count.txt cannot be written: check the disk";
    for (int cycle = 0; cycle < 3; ++cycle) {
        pulse(0);
        advance(5000);
    }
    EXPECT_EQ(records().count(line), 1);
    EXPECT_EQ(screen.events.count("Warning " + line), 1);

    ASSERT_TRUE(QDir().rmdir("count.txt"));
    pulse(0);
    advance(5000);
    EXPECT_EQ(fileText("count.txt"), "4 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 ");
    ASSERT_TRUE(QFile::remove("count.txt") && QDir().mkdir("count.txt"));
    pulse(0);
    advance(5000);
    EXPECT_EQ(records().count(line), 2);
}

TEST_F(Scenario, MouldAlarmStaysWhileTheReCheckFails)
{
    start();
    verdict(1, false);
    pulse(0);
    advance(3000);
    setInput(1, false);
    advance(10);
    setInput(1, true);
    advance(10);
    EXPECT_EQ(out(), O0 | O2);
    EXPECT_EQ(st().displayState, DisplayState::Alarm);
    EXPECT_EQ(st().imageState[0][1], ResultImageState::NgKept);
    EXPECT_EQ(gFailNum[0], 1);  // one NG per cycle
    EXPECT_EQ(records().size(), 2);
}

// The editor's re-check may wait for an answer; the polling pass is re-armed
// only once it returns, so a door cycled meanwhile starts no second one.
TEST_F(Scenario, NoReCheckInsideAReCheck)
{
    start();
    verdict(1, false);
    pulse(0);
    advance(3000);
    screen.duringReCheck = [this] {
        screen.duringReCheck = nullptr;
        setInput(1, false);
        advance(20);
        setInput(1, true);
        advance(20);
    };
    setInput(1, false);
    advance(10);
    verdict(1, true);
    setInput(1, true);
    advance(10);
    EXPECT_EQ(screen.events.count("AlarmReCheck"), 1);
    EXPECT_EQ(view().inspections.size(), 3u);
    EXPECT_EQ(out(), 0);
    EXPECT_EQ(fileText("count.txt"), kCountOneNg);
}

// S3: a product NG cancels the mould countdown; once cleared, the mould
// step of the interrupted cycle runs with its own delay only.
TEST_F(Scenario, ProductAlarmThenQueuedMouldStep)
{
    start();
    verdict(0, false);
    const qint64 t0 = now();
    pulse(0);
    advance(3000);
    EXPECT_EQ(outAt(t0 + 505), O0 | O1 | O2);
    EXPECT_EQ(records().value(1), "Camera 1Alarm");
    ASSERT_EQ(view().inspections.size(), 1u);  // the mould countdown was cancelled

    setInput(1, false);
    advance(10);
    EXPECT_EQ(out(), O0 | O1);
    verdict(0, true);
    const qint64 tR = now();
    setInput(1, true);
    advance(2500);
    EXPECT_EQ(outAt(tR + 5), O0);
    EXPECT_EQ(outAt(tR + 1995), O0);
    EXPECT_EQ(outAt(tR + 2010), 0);
    ASSERT_EQ(view().inspections.size(), 3u);
    EXPECT_EQ(view().inspections[2].step, 1);
    EXPECT_EQ(fileText("count.txt"), kCountOneNg);
    EXPECT_EQ(view().callsOf("HandOff").join(','), "HandOff 0 NG OK,HandOff 1 OK");
    EXPECT_EQ(st().queuedStep, -1);
}

// With the safety-door trigger the door closing inspects the queued mould
// step at once, and the next cycle still waits for both delays.
TEST_F(Scenario, ProductAlarmClearedWithDoorTrigger)
{
    para.doorTriggerDetect = 1;
    start(1, false);
    verdict(0, false);
    pulse(0);
    advance(3000);
    verdict(0, true);
    setInput(1, true);  // door closed: re-check of the product step
    advance(10);
    EXPECT_EQ(st().displayState, DisplayState::ResultShown);
    advance(20);
    // The alarm end's simulated door input was taken by the door trigger.
    ASSERT_EQ(view().inspections.size(), 3u);
    EXPECT_EQ(view().inspections[2].step, 1);
    EXPECT_EQ(view().callsOf("SaveFailImage 1").value(0), "SaveFailImage 1 1 door");
    EXPECT_EQ(out(), 0);

    advance(3000);
    const qint64 t1 = now();
    pulse(0);
    advance(3000);
    EXPECT_EQ(outAt(t1 + 2495), O0) << "the mould step waits for the product delay too";
    EXPECT_EQ(outAt(t1 + 2505), 0);
}

// S4: automatic retries; the third decision raises the alarm.
TEST_F(Scenario, RetriesThenAlarm)
{
    para.reDetectTimes = 2;
    start();
    verdict(1, false);
    const qint64 t0 = now();
    pulse(0);
    advance(2500);
    EXPECT_EQ(outAt(t0 + 2502), O0);  // first NG: no alarm output yet
    EXPECT_EQ(out(), O0 | O2);
    EXPECT_EQ(view().inspections.size(), 4u);  // product + three mould decisions
    EXPECT_LE(view().inspections.back().t - t0, 2501 + 10);
    EXPECT_EQ(records(), (QStringList{kReady, "Camera 1Alarm"}));
    EXPECT_EQ(gFailNum[0], 1);
    EXPECT_EQ(view().callsOf("PushNgRing"), QStringList{"PushNgRing 1"});
}

TEST_F(Scenario, RetryPasses)
{
    para.reDetectTimes = 2;
    start();
    verdict(1, false);
    pulse(0);
    advance(2452);  // the first mould decision was NG, the retry is due
    ASSERT_TRUE(st().retryPending);
    verdict(1, true);
    advance(500);
    EXPECT_TRUE(io->timesOf(O0 | O2).empty());
    EXPECT_EQ(out(), 0);
    EXPECT_EQ(records(), QStringList{kReady});
    EXPECT_EQ(fileText("count.txt"), kCountOneGood);
    EXPECT_EQ(view().callsOf("HandOff"), QStringList{"HandOff 1 OK"});
    EXPECT_TRUE(view().callsOf("SaveFailImage 1 0").isEmpty());
}

// S5: OK/NG pulses; an NG never raises the alarm and counts at once.
TEST_F(Scenario, OkNgPulses)
{
    para.okNgPulses = 1;
    para.clampPulseTime = 5;
    para.reDetectTimes = 2;  // no retries with pulses
    start();
    verdict(1, false);
    const qint64 t0 = now();
    pulse(0);
    advance(2600);
    EXPECT_EQ(screen.led[6], 0);
    EXPECT_EQ(screen.led[7], 1);
    advance(1000);
    EXPECT_EQ(outAt(t0 + 10), 0);
    EXPECT_EQ(outAt(t0 + 505), O1);
    EXPECT_EQ(outAt(t0 + 1005), 0);
    EXPECT_EQ(outAt(t0 + 2505), O0 | O2);
    EXPECT_EQ(outAt(t0 + 3005), 0);
    EXPECT_EQ(view().inspections.size(), 2u);
    EXPECT_EQ(records(), QStringList{kReady});
    EXPECT_EQ(fileText("count.txt"), kCountOneNg);
    EXPECT_EQ(view().callsOf("HandOff"), QStringList{"HandOff 1 NG"});
    EXPECT_TRUE(view().callsOf("UpdateFailImage").isEmpty());

    pulse(0);  // the next cycle starts at once
    advance(600);
    EXPECT_EQ(view().inspections.size(), 3u);
}

// S6: ejector pulse on a product NG with the region's NG output.
TEST_F(Scenario, EjectorPulseOnProductNg)
{
    para.ejectorPulseOnNG = 1;
    para.ejectorPulseTime = 10;
    start();
    view().failed = {{0, 2}};
    verdict(0, false);
    const qint64 t0 = now();
    pulse(0);
    advance(600);
    EXPECT_EQ(screen.led[6], 1);
    EXPECT_EQ(screen.led[7], 0);
    advance(2500);
    EXPECT_EQ(outAt(t0 + 10), O0);
    EXPECT_EQ(outAt(t0 + 505), O0 | O1 | O6);
    EXPECT_EQ(outAt(t0 + 1495), O0 | O1 | O6);
    EXPECT_EQ(outAt(t0 + 1505), O0);
    EXPECT_EQ(outAt(t0 + 2505), 0);
    EXPECT_EQ(records(), QStringList{kReady});
    EXPECT_EQ(fileText("count.txt"), kCountOneNg);
    // The product NG picture waited (state 9) for the mould's OK hand-off.
    EXPECT_EQ(view().callsOf("HandOff").join(','), "HandOff 0 NG,HandOff 1 OK");
}

// S8: debounce; a short input does nothing, a held one starts the cycle
// once its debounce time has passed.
TEST_F(Scenario, InputDebounce)
{
    para.inputDebounce = 3;
    start();
    const size_t changes = io->changes.size();
    pulse(0, 100);
    advance(1000);
    EXPECT_EQ(io->changes.size(), changes);
    const qint64 t1 = now();
    setInput(0, true);
    advance(1000);
    EXPECT_EQ(outAt(t1 + 299), 0);
    EXPECT_EQ(outAt(t1 + 305), O0 | O1);
    EXPECT_EQ(outAt(t1 + 805), O0);
    advance(3000);
    EXPECT_EQ(view().inspections.size(), 2u);  // input 0 still high: no new cycle
}

// The debounce looks at the input when its time is over, also when no pass
// looked at the inputs since the activation: here a camera was lost meanwhile.
TEST_F(Scenario, DebounceTakesTheInputAsItIsWhenItsTimeIsOver)
{
    para.inputDebounce = 3;
    start();
    setInput(0, true);
    advance(10);   // a pass takes the activation
    screen.lost = true;
    advance(90);
    setInput(0, false);
    advance(400);  // the debounce time ends while the camera is lost
    screen.lost = false;
    advance(1000);
    EXPECT_TRUE(view().inspections.empty());
    EXPECT_FALSE(st().latchedInput[0]);
}

// S9: stop and start around a timed clamp release.
TEST_F(Scenario, StopAndStart)
{
    para.cutClampAfterMouldOK = 1;
    para.clampPulseTime = 20;
    start();
    EXPECT_EQ(out(), O0);
    const qint64 t0 = now();
    pulse(0);
    advance(5000);
    EXPECT_EQ(outAt(t0 + 10), O0 | O1);
    EXPECT_EQ(outAt(t0 + 505), O0);
    EXPECT_EQ(outAt(t0 + 2505), 0);
    EXPECT_EQ(outAt(t0 + 4495), 0);
    EXPECT_EQ(outAt(t0 + 4505), O0);

    const qint64 t1 = now();
    pulse(0);
    advance(2950);
    ctl->StopByCommand();
    EXPECT_EQ(out(), 0);
    EXPECT_EQ(st().runState, RunState::Stopped);
    advance(3000);  // the clamp release ends while stopped: nothing
    pulse(0);
    advance(1000);
    EXPECT_EQ(out(), 0);
    EXPECT_EQ(view().inspections.size(), 4u);
    EXPECT_EQ(outAt(t1 + 4600), 0);

    const qint64 t2 = now();
    pulse(0);
    advance(1000);
    ctl->StopByCommand();  // a running countdown is cancelled
    EXPECT_EQ(view().inspections.size(), 4u);
    EXPECT_EQ(outAt(t2 + 5), 0);
    ctl->StartByCommand();
    EXPECT_EQ(out(), O0);
    EXPECT_EQ(records().mid(1), (QStringList{"Stop the detection manually ", "Stop the detection manually ",
                                             "Start the detection manually "}));
    EXPECT_EQ(screen.led[4], 1);
}

// S10: start-up on a later day archives the old record, and the counters
// go on from count.txt.
TEST_F(Scenario, StartUpRollOverAndCounters)
{
    QFile day("time.txt");
    ASSERT_TRUE(day.open(QIODevice::WriteOnly));
    day.write("2000-01-01");
    day.close();
    QSqlQuery(recordDb).exec("INSERT INTO RECORD VALUES('09.00.00', 'Unlogged', 'old line')");
    QFile count("count.txt");
    ASSERT_TRUE(count.open(QIODevice::WriteOnly));
    count.write("7 2 0 0 0 0 0 0 0 0 0 0 0 0 0 0 ");
    count.close();

    start();
    EXPECT_EQ(out(), 0);
    EXPECT_EQ(fileText("time.txt"), "2024-03-05");
    EXPECT_EQ(records(), QStringList{kReady});
    {
        QSqlDatabase old = QSqlDatabase::addDatabase("QSQLITE", "archive");
        old.setDatabaseName("RECORD/2000-01-01.db");
        ASSERT_TRUE(old.open());
        QSqlQuery q(old);
        q.exec("select remarks from RECORD");
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.value(0).toString(), "old line");
        EXPECT_FALSE(q.next());
    }
    QSqlDatabase::removeDatabase("archive");
    pulse(0);
    advance(3000);
    EXPECT_EQ(fileText("count.txt"), "8 2 0 0 0 0 0 0 0 0 0 0 0 0 0 0 ");
}

// Semi-automatic: the mould step waits for input 2, then its own delay;
// input 2 also re-checks a mould alarm.
TEST_F(Scenario, SemiAutomatic)
{
    para.semiAuto = 1;
    start();
    verdict(1, false);
    const qint64 t0 = now();
    pulse(0);
    advance(3000);
    EXPECT_EQ(outAt(t0 + 10), O0 | O1);
    EXPECT_EQ(out(), O0);
    EXPECT_EQ(view().inspections.size(), 1u);
    const qint64 t2 = now();
    pulse(2);
    advance(2500);
    EXPECT_EQ(outAt(t2 + 1995), O0);
    EXPECT_EQ(outAt(t2 + 2005), O0 | O2);
    verdict(1, true);
    pulse(2);
    advance(10);
    EXPECT_EQ(out(), 0);
    EXPECT_EQ(st().displayState, DisplayState::ResultShown);
}

// Two-colour machine on both sides: input 2 selects the left mould step,
// input 3 the right one (step 3); the door does not touch the alarm.
TEST_F(Scenario, TwoColourSides)
{
    para.machineType = 1;
    para.mouldSide = 2;
    start();
    pulse(0);
    advance(600);
    EXPECT_EQ(view().inspections.back().step, 2);  // product step of the side set at load
    pulse(2);
    advance(2100);
    EXPECT_EQ(st().side, 1);
    EXPECT_EQ(view().inspections.back().step, 1);
    EXPECT_EQ(out(), 0);

    verdict(3, false);
    pulse(0);
    advance(600);
    pulse(3);
    advance(2100);
    EXPECT_EQ(st().side, 0);
    EXPECT_EQ(view().inspections.back().step, 3);
    EXPECT_EQ(st().curDetect, 3);
    EXPECT_EQ(out(), O0 | O2);
    setInput(1, false);
    advance(10);
    EXPECT_EQ(out(), O0 | O2);
    EXPECT_FALSE(gisSafeDoorOpen);
}

// Rotary table on both sides: inputs 0 and 3 each start a cycle and the two
// steps count down side by side.
TEST_F(Scenario, RotaryTableSides)
{
    para.machineType = 2;
    para.mouldSide = 2;
    para.trigInDelay[0] = 30;
    para.trigInDelay[1] = 10;
    start();
    const qint64 t0 = now();
    pulse(3);
    advance(3500);
    EXPECT_EQ(st().side, 0);
    ASSERT_EQ(view().inspections.size(), 2u);
    EXPECT_EQ(view().inspections[0].step, 3);
    EXPECT_NEAR(view().inspections[0].t - t0, 1000, 5);
    EXPECT_EQ(view().inspections[1].step, 2);
    EXPECT_NEAR(view().inspections[1].t - t0, 3000, 5);
    pulse(0);
    advance(3500);
    EXPECT_EQ(st().side, 1);
    EXPECT_EQ(view().inspections[2].step, 1);
    EXPECT_EQ(view().inspections[3].step, 0);
    EXPECT_EQ(out(), 0);
}

// The rotary table's re-check follows the side at the camera: input 3
// active and input 0 not means the right side.
TEST_F(Scenario, RotaryTableReCheckSide)
{
    para.machineType = 2;
    para.mouldSide = 2;
    start();
    verdict(1, false);
    pulse(0);
    advance(2500);
    ASSERT_EQ(st().displayState, DisplayState::Alarm);
    setInput(3, true);
    setInput(1, false);
    advance(10);
    setInput(1, true);  // the re-check input
    advance(10);
    EXPECT_EQ(st().side, 0);
    EXPECT_EQ(view().inspections.back().step, 3);
}

// Multi-detection with two stations on inputs 0 and 2 (IO rows 0 and 1, cut
// mode 0): input 0 inhibits both stations, each good station releases its
// own output, an out-of-sequence input is ignored.
TEST_F(Scenario, MultiDetectionStations)
{
    para.machineType = 4;
    para.multiDetectCount = 2;
    para.outputOwner[0] = 0;
    para.outputOwner[1] = 1;
    para.rowTrigger[0] = 0;
    para.rowTrigger[1] = 1;
    start();
    ASSERT_EQ(gDNum, 2);
    ASSERT_EQ(para.trigInput[1], 2);
    const qint64 t0 = now();
    pulse(0);
    advance(1000);
    EXPECT_EQ(outAt(t0 + 5), O0 | O1);  // station outputs of steps 0 (output 1) and 1 (output 0)
    EXPECT_EQ(out(), O0);
    pulse(0);  // out of sequence: ignored
    advance(3000);
    EXPECT_EQ(view().inspections.size(), 1u);
    EXPECT_EQ(fileText("count.txt"), "<missing>");
    const qint64 t2 = now();
    pulse(2);
    advance(2500);
    EXPECT_EQ(outAt(t2 + 1995), O0);
    EXPECT_EQ(outAt(t2 + 2005), 0);
    EXPECT_EQ(fileText("count.txt"), kCountOneGood);

    verdict(1, false);
    pulse(0);
    advance(1000);
    pulse(2);
    advance(2500);
    EXPECT_EQ(out(), O0 | O2);
    EXPECT_EQ(st().displayState, DisplayState::Alarm);
    verdict(1, true);
    setInput(1, false);
    advance(10);
    EXPECT_EQ(out(), O0);  // the door drops the alarm output
    setInput(1, true);
    advance(10);
    EXPECT_EQ(out(), 0);
    EXPECT_EQ(st().runState, RunState::Detecting);
}

// An NG station of the multi-detection type sets the alarm output only; the
// clamp and ejector rules of the standard machine do not apply to it.
TEST_F(Scenario, MultiDetectionStationNgSetsTheAlarmOnly)
{
    para.machineType = 4;
    para.multiDetectCount = 2;
    para.outputOwner[0] = 0;
    para.outputOwner[1] = 1;
    para.rowTrigger[0] = 0;
    para.rowTrigger[1] = 1;
    para.rowCutMode[0] = 1;  // input 0 inhibits station 0 (output 1) only
    start();
    verdict(0, false);
    const qint64 t0 = now();
    pulse(0);
    advance(1000);
    EXPECT_EQ(outAt(t0 + 5), O1);
    EXPECT_EQ(out(), O1 | O2);
    EXPECT_EQ(st().displayState, DisplayState::Alarm);
}

// A station may be triggered by input 8 (the last trigger choice).
TEST_F(Scenario, MultiDetectionInputEight)
{
    para.machineType = 4;
    para.multiDetectCount = 2;
    para.outputOwner[0] = 0;
    para.outputOwner[1] = 1;
    para.rowTrigger[0] = 0;
    para.rowTrigger[1] = 7;
    start();
    ASSERT_EQ(para.trigInput[1], 8);
    pulse(0);
    advance(1000);
    pulse(8);
    advance(2500);
    ASSERT_EQ(view().inspections.size(), 2u);
    EXPECT_EQ(view().inspections[1].step, 1);
    EXPECT_EQ(out(), 0);
}

// Stations sharing their trigger input follow each other without a new
// activation; cut mode 1 inhibits only the stations of the row ahead.
TEST_F(Scenario, MultiDetectionSharedInput)
{
    para.machineType = 4;
    para.multiDetectCount = 3;
    para.outputOwner[0] = 0;
    para.outputOwner[1] = 1;
    para.outputOwner[2] = 1;
    para.rowTrigger[0] = 0;
    para.rowTrigger[1] = 1;
    para.rowCutMode[0] = 1;
    para.trigInDelay[2] = 10;
    start();
    ASSERT_EQ(para.trigInput[1], 2);
    ASSERT_EQ(para.trigInput[2], 2);
    pulse(0);
    advance(1000);
    EXPECT_EQ(outAt(now() - 990), O1);  // cut mode 1: only station 0 (row 0)
    pulse(2);
    advance(3200);
    ASSERT_EQ(view().inspections.size(), 3u);  // station 2 followed without a new activation
    EXPECT_EQ(view().inspections[2].step, 2);
    EXPECT_NEAR(view().inspections[2].t - view().inspections[1].t, 1000, 10);
    EXPECT_EQ(fileText("count.txt"), kCountOneGood);
}

// Safety-door trigger: the door closing inspects the mould step at once;
// an NG raises the alarm with the clamp inhibited.
TEST_F(Scenario, DoorTrigger)
{
    para.doorTriggerDetect = 1;
    start(1, false);
    pulse(0);
    advance(3000);
    EXPECT_EQ(out(), 0);
    verdict(1, false);
    const qint64 t1 = now();
    setInput(1, true);
    advance(10);
    EXPECT_NEAR(view().inspections.back().t - t1, 1, 3);
    EXPECT_EQ(out(), O0 | O2);
    EXPECT_EQ(view().callsOf("SaveFailImage").last(), "SaveFailImage 1 0 door");
    EXPECT_EQ(records().last(), "Camera 1Alarm");
}

// No-input watchdog: no cycle within the time inhibits the clamp and warns;
// the next cycle clears the warning instead of re-arming, the one after
// re-arms.
TEST_F(Scenario, NoInputWatchdog)
{
    para.noInputTimeout = 5;
    start();
    const qint64 t0 = now();
    pulse(0);
    advance(6000);
    EXPECT_EQ(outAt(t0 + 4995), 0);
    EXPECT_EQ(outAt(t0 + 5005), O0);
    EXPECT_EQ(records().last(), "Warnning: No Input Signal");
    EXPECT_TRUE(screen.events.contains("Warning Warnning: No Input Signal"));
    EXPECT_TRUE(st().noInputWarned);

    pulse(0);
    advance(6000);
    EXPECT_TRUE(screen.events.contains("HideWarning"));
    EXPECT_EQ(records().count("Warnning: No Input Signal"), 1);
    pulse(0);
    advance(6000);
    EXPECT_EQ(records().count("Warnning: No Input Signal"), 2);
}

TEST_F(Scenario, WatchdogOffWithoutTimeout)
{
    start();
    pulse(0);
    advance(120000);
    EXPECT_EQ(out(), 0);
    EXPECT_EQ(records(), QStringList{kReady});
}

// Skip-mould for all cameras ends the alarm without inspecting again.
TEST_F(Scenario, SkipMouldAllCameras)
{
    start(2);
    verdict(1, false);
    pulse(0);
    advance(3000);
    EXPECT_EQ(records().last(), "Camera 1 Camera 2Alarm");
    const size_t inspected = view(0).inspections.size();
    ctl->SkipMouldAllCameras();
    EXPECT_EQ(view(0).inspections.size(), inspected);
    EXPECT_EQ(out(), 0);
    EXPECT_EQ(st().displayState, DisplayState::ResultShown);
    EXPECT_EQ(records().last(), "All cameras do not detect this mold");
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(view(c).callsOf("UpdateFailImage"), QStringList{"UpdateFailImage 1 0 4"});
        EXPECT_EQ(view(c).callsOf("HandOff"), QStringList{"HandOff 1 NG"});
    }
}

// Skip-mould for one camera: it is left out of the re-check and passes;
// the other camera, still NG, keeps the alarm until it passes.
TEST_F(Scenario, SkipMouldOneCamera)
{
    start(2);
    view(1).verdict[1] = false;
    pulse(0);
    advance(3000);
    EXPECT_EQ(records().last(), "Camera 2Alarm");
    ctl->SkipMouldCamera(1);
    EXPECT_EQ(records().last(), "Camera 2 do not detect the mold");
    EXPECT_EQ(st().displayState, DisplayState::ResultShown);
    EXPECT_EQ(view(1).callsOf("HandOff"), QStringList{"HandOff 1 NG"});
    EXPECT_EQ(view(1).inspections.size(), 2u) << "left out of the re-check";
}

// The live picture added as a template: that camera passes, the others are
// inspected again.
TEST_F(Scenario, TemplateAddedEndsTheAlarm)
{
    start(2);
    view(0).verdict[1] = false;
    pulse(0);
    advance(3000);
    ctl->TemplateAdded(0);
    EXPECT_EQ(out(), 0);
    EXPECT_EQ(view(0).callsOf("UpdateFailImage"), QStringList{"UpdateFailImage 1 0 5"});
    EXPECT_EQ(view(1).inspections.size(), 3u);
}

// Re-sample: the next cycle stores template 0 of every enabled step, then
// detection restarts with the clamp inhibited and the area check opens;
// leaving it re-trains every step after the next result display.
TEST_F(Scenario, ReSampleAndAreaCheck)
{
    start();
    ctl->ReSample();
    EXPECT_EQ(st().runState, RunState::Relearning);
    EXPECT_EQ(records().last(), "Resampling template");
    EXPECT_TRUE(screen.events.contains("DeleteAllTemplates"));
    EXPECT_EQ(view().callsOf("ClearIgnorePoints").size(), 2);
    pulse(0);
    advance(3000);
    EXPECT_EQ(view().callsOf("SaveReTrainImage").join(','), "SaveReTrainImage 0,SaveReTrainImage 1");
    EXPECT_TRUE(view().inspections.empty());
    EXPECT_EQ(out(), O0);
    EXPECT_EQ(st().displayState, DisplayState::Editing);
    EXPECT_TRUE(gFromTrain);
    EXPECT_TRUE(screen.events.contains("EnterAreaCheck"));

    // The editor closes (Restart) and leaves the area check.
    st().displayState = DisplayState::Normal;
    gFromTrain = false;
    ctl->BackTrain();
    EXPECT_EQ(out(), 0);
    EXPECT_EQ(st().runState, RunState::Detecting);
    EXPECT_TRUE(gisReTrain);
    pulse(0);
    advance(5000);
    EXPECT_EQ(view().callsOf("Retrain").join(','), "Retrain 0,Retrain 1");
    EXPECT_FALSE(gisReTrain);
}

TEST_F(Scenario, AreaCheckRefused)
{
    screen.passwordLevel = 0;
    start();
    ctl->ReSample();
    pulse(0);
    advance(3000);
    EXPECT_EQ(st().runState, RunState::Detecting);
    EXPECT_FALSE(gFromTrain);
}

// Auto parts: an all-good mould step refreshes template 0 of step 1 and
// re-trains it after the result display.
TEST_F(Scenario, AutoPartsTemplateUpdate)
{
    para.machineType = 3;
    para.templateAutoUpdate = 1;
    start();
    pulse(0);
    advance(5000);
    EXPECT_EQ(view().callsOf("SaveReTrainImage"), QStringList{"SaveReTrainImage 1"});
    EXPECT_EQ(view().callsOf("Retrain"), QStringList{"Retrain 1"});
}

// A camera lost: the clamp is inhibited and a restart tried every 3 s until
// the cameras are back.
TEST_F(Scenario, CameraLost)
{
    start();
    pulse(0);
    advance(1000);
    screen.lost = true;
    advance(7000);
    EXPECT_EQ(out() & O0, O0);
    EXPECT_EQ(screen.restarts, 3);
    EXPECT_EQ(view().inspections.size(), 2u) << "countdowns go on";
    const int passes = screen.passes;
    screen.restartRecovers = true;
    advance(6000);  // the recovering attempt still waits 3 s
    EXPECT_GT(screen.passes, passes + 100);
    pulse(0);
    advance(3000);
    EXPECT_EQ(out(), 0);
}
