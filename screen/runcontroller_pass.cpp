// Run controller: the polling pass, run every 3 ms, and its trigger inputs.
// It takes over the newest frames, turns input activations into inspection
// cycles by machine type, schedules the delayed inspection of each step,
// serves manual, simulated, door and re-check triggers and the automatic
// retries, keeps the no-input watchdog and publishes the outputs.

#include "screen/runcontroller.h"

#include "core/controlport.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "screen/operationrecord.h"
#include "screen/runclock.h"
#include "screen/runio.h"
#include "screen/runscreen.h"
#include "screen/runview.h"

namespace {
constexpr int kLostPassMs = 3000;
constexpr int kTickMs = 100;
constexpr int kWhiteBalancePass = 50;
constexpr int kTestPictures = 5;
// Trigger choice "both sides" of the two-colour and rotary-table types.
constexpr int kEitherSide = 255;

bool twoSided(int type)
{
    return type == 1 || type == 2;
}

// Types whose mould step waits for the product step's delay too.
bool chainedDelays(int type)
{
    return type == 0 || type == 3 || type == 5;
}

// Pass and frame counters run for months: they wrap instead of overflowing.
void countOn(int& counter)
{
    counter = static_cast<int>(static_cast<unsigned>(counter) + 1u);
}
}  // namespace

void RunController::Run()
{
    if (waiting()) {
        // A pass due while the controller waits: its work comes with the
        // first pass after the wait.
        ports.screen->PassEnded();
        armPass(kPassMs);
        return;
    }
    inPass = true;
    pass();
    inPass = false;
}

void RunController::pass()
{
    countOn(gRunCount);
    // tR stops at the white-balance pass, so that pass comes once after
    // start-up and once after each camera restart, however long it runs.
    if (st.tR < kWhiteBalancePass && ++st.tR == kWhiteBalancePass) {
        for (RunView* view : views)
            view->SetWB();
    }
    if (ports.screen->cameraLost()) {
        st.tR = 0;
        out(kOutClampInhibit, true);
        publish();
        ports.screen->CameraRestart();
        inCheckTimer->stop();
        armPass(kLostPassMs);
        return;
    }
    takeFrames();
    if (ports.screen->cameraLost()) {
        armPass(kPassMs);
        return;
    }
    for (int d = 0; d < kMaxDetects; ++d) {
        if (st.frameWaitUntil[d] != 0)
            TimerUp(d);   // a step waiting for a late frame
    }
    passBody();
    endPass();
}

void RunController::takeFrames()
{
    for (int c = 0; c < cameras(); ++c) {
        if (!views[c]->TakeFrame())
            continue;
        if (para().externalTrigger && st.displayState != DisplayState::Alarm)
            st.cTrigImage |= quint32(1) << c;
        countOn(st.frameCount[c]);
        newFrame[c] = true;
    }
}

// Everything between the frame take-over and the end of the pass; a
// return goes straight to the end of the pass.
void RunController::passBody()
{
    if (st.displayState == DisplayState::Alarm) {
        alarmScan();
        inCheckTimer->stop();
        return;
    }
    if (st.retryPending) {
        retryStep();
        inCheckTimer->stop();
        return;
    }
    doorTrigger();
    if (st.runState == RunState::Stopped) {
        stoppedScan();
        inCheckTimer->stop();
        return;
    }
    const bool busy = countdownRunning();
    if (busy)
        st.simulatedInput = -1;
    if (st.manualStep != gDNum && serveManualTrigger(busy))
        return;
    externalTrigger();
    if (busy)
        return;  // no input is polled while a countdown runs
    inputScan();
}

void RunController::endPass()
{
    for (int c = 0; c < cameras(); ++c) {
        if (newFrame[c])
            views[c]->ShowLiveFrame();
        newFrame[c] = false;
    }
    publish();
    ports.screen->PassEnded();
    armPass(kPassMs);
}

void RunController::armPass(int ms)
{
    passDelayMs = ms;
    runTimer->start(ms);
}

void RunController::InputChanged()
{
    if (passDelayMs == kPassMs && runTimer->isActive())
        armPass(0);
}

// During an alarm every activation of inputs 0..3 is consumed; the safety
// door closing (or input 2 in semi-automatic mode after the product step)
// asks the editor to inspect the step again.
void RunController::alarmScan()
{
    bool edge[4];
    for (int n = 0; n < 4; ++n)
        edge[n] = ports.io->IOInTrigger(n);
    const bool in0 = ports.io->IOState(false, 0);
    const bool in3 = ports.io->IOState(false, 3);
    const bool due = edge[1] || st.simulatedInput == 1
            || (st.curDetect >= 1 && para().semiAuto && (edge[2] || st.simulatedInput == 2));
    if (!due)
        return;
    st.simulatedInput = -1;
    clearNoDetect();
    if (para().machineType == 2) {
        if (in0 && !in3)
            st.side = 1;
        else if (in3 && !in0)
            st.side = 0;
    }
    ports.screen->AlarmReCheck();
}

void RunController::clearNoDetect()
{
    for (auto& steps : st.noDetect)
        std::fill(std::begin(steps), std::end(steps), false);
}

void RunController::retryStep()
{
    const int d = decisionStep();
    if (st.retryLeft[d] > 0) {
        --st.retryLeft[d];
        ReCheck();
    }
}

// Safety-door trigger: the door closing inspects the mould step at once.
void RunController::doorTrigger()
{
    if (!para().doorTriggerDetect || st.runState == RunState::Stopped)
        return;
    const bool closed = ports.io->IOInTrigger(kInDoor);
    if (!closed && st.simulatedInput != 1)
        return;
    st.simulatedInput = -1;
    const bool rightSide = twoSided(para().machineType);
    for (int c = 0; c < cameras(); ++c) {
        st.noDetect[c][1] = false;
        st.imageState[c][1] = ResultImageState::CycleStarted;
        if (rightSide) {
            st.noDetect[c][3] = false;
            st.imageState[c][3] = ResultImageState::CycleStarted;
        }
    }
    st.doorCycle = true;
    TimerUp(LastStep());
    st.doorCycle = false;
}

// Stopped: inputs 0..3 are consumed; the two-colour machine still follows
// which side its mould turned to.
void RunController::stoppedScan()
{
    for (int n = 0; n < 4; ++n) {
        const bool edge = ports.io->IOInTrigger(n);
        if (!edge || para().machineType != 1)
            continue;
        if (n == 2 && para().mouldSide != 1)
            st.side = 1;
        else if (n == 3 && para().mouldSide != 0)
            st.side = 0;
    }
}

bool RunController::countdownRunning() const
{
    for (int d = 0; d < gDNum; ++d) {
        if (stepBusy(d))
            return true;
    }
    return false;
}

// Serves a pending manual trigger; true when it raised the alarm (the pass
// then ends).
bool RunController::serveManualTrigger(bool busy)
{
    const int m = st.manualStep;
    st.manualStep = gDNum;
    st.trigSource = ~m;
    if (!manualStepEnabled(m, busy))
        return false;
    st.manualCycle = true;
    updateCycleTime();
    if (m == 0)
        std::fill(std::begin(st.regionOutputs), std::end(st.regionOutputs), false);
    st.retryLeft[0] = st.retryLeft[1] = 0;
    TimerUp(m);
    if (st.displayState != DisplayState::Alarm)
        return false;
    const WizardPara& p = para();
    if (p.machineType == 4) {
        out(StationOutput(st.curDetect), true);
    } else if (!p.okNgPulses) {
        out(kOutClampInhibit, true);
        if (m == 0 && !p.noEjectorControl && !p.ejectorPulseOnNG)
            out(kOutEjectorInhibit, true);
    }
    publish();
    return true;
}

bool RunController::manualStepEnabled(int m, bool busy) const
{
    const WizardPara& p = para();
    if (m < 0 || m >= gDNum)
        return false;
    if (twoSided(p.machineType))
        return p.detectOn[m] || (m + 2 < kMaxDetects && p.detectOn[m + 2]);
    if (p.machineType == 4)
        return (m == st.lastStation || st.lastStation == gDNum - 1) && !busy;
    return p.detectOn[m];
}

// External trigger: a cycle starts once every camera delivered a frame.
void RunController::externalTrigger()
{
    if (!para().externalTrigger)
        return;
    const quint32 all = allCameras();
    if ((st.cTrigImage & all) != all)
        return;
    st.cTrigImage = 0;
    st.simulatedInput = 0;
}

void RunController::inputScan()
{
    for (int n = 0; n < kTriggerInputs; ++n) {
        if (!acceptInput(n))
            continue;
        st.latchedInput[n] = false;
        st.simulatedInput = -1;
        st.trigSource = n + 1;
        if (startsCycle(n))
            CycleStart(n);
        if (para().machineType == 4) {
            if (!StationLogic(n))
                return;
        } else {
            SecondStepStart(n);
        }
        if (!ScheduleSteps(n))
            return;
        st.expectedInput = -1;
        ports.screen->Repaint();
    }
}

// An activation restarts the input's debounce timer. Without debounce it is
// accepted at once; with debounce only a level the timer confirmed, the
// expected input of the stations or a simulated input is accepted.
bool RunController::acceptInput(int n)
{
    const bool edge = ports.io->IOInTrigger(n);
    const int debounce = para().inputDebounce;
    if (edge) {
        debounceTimer[n]->stop();
        if (debounce > 0)
            debounceTimer[n]->start(TimerMs(qint64(debounce) * 100));
    }
    return (edge && debounce == 0) || st.latchedInput[n] || n == st.expectedInput || n == st.simulatedInput;
}

// The input as the board shows it when the debounce time is over: the
// level the last pass fetched may be older than that when no pass looked at
// the inputs meanwhile (a camera lost, the GUI thread held), and a flicker
// would then be taken for a held input.
void RunController::CheckInput(int n)
{
    st.latchedInput[n] = ports.io->IOInputNow(n);
}

bool RunController::startsCycle(int n) const
{
    const WizardPara& p = para();
    switch (p.machineType) {
    case 2:
        return (n == 0 && p.mouldSide != 1) || (n == 3 && p.mouldSide != 0);
    case 4:
        return n == 0 && st.expectedInput == -1 && st.pendingCameras[gDNum - 1] == 0;
    default:
        return n == 0;
    }
}

void RunController::CycleStart(int n)
{
    const WizardPara& p = para();
    updateCycleTime();
    if (st.noInputWarned) {
        st.noInputWarned = false;
        ports.screen->HideWarning();
    } else if (p.noInputTimeout > 0) {
        inCheckTimer->start(TimerMs(qint64(p.noInputTimeout) * 1000));
    }
    std::fill(std::begin(st.pendingCameras), std::end(st.pendingCameras), 0);
    std::fill(std::begin(st.regionOutputs), std::end(st.regionOutputs), false);
    ports.io->clearSafeDoorOpen();
    st.retryLeft[0] = 0;
    st.retryLeft[1] = p.okNgPulses ? 0 : p.reDetectTimes;
    if (p.machineType == 4)
        std::fill(std::begin(st.retryLeft) + 1, std::end(st.retryLeft), 0);
    // A step queued by the alarm end of the cycle before belongs to that cycle.
    st.queuedStep = -1;
    for (int c = 0; c < cameras(); ++c) {
        for (int d = 0; d < gDNum; ++d) {
            if (p.detectOn[d])
                st.pendingCameras[p.machineType == 4 ? d : d & 1] |= quint32(1) << c;
            st.noDetect[c][d] = false;
            st.imageState[c][d] = ResultImageState::CycleStarted;
        }
        st.countCycle[c] = st.countNg[c] = true;
    }
    if (!p.okNgPulses && p.machineType != 4) {
        if (!(p.preCut > 0 || p.machineType == 5 || p.cutClampOnMouldAlarm))
            out(kOutClampInhibit, true);
        if (st.pendingCameras[0]) {
            if (p.ejectorPulseOnNG || p.cutEjectorOnProductAlarm) {
                out(kOutEjectorInhibit, false);
                for (int k = 0; k < kRegionOutputs; ++k)
                    out(kOutRegionNG0 + k, false);
            } else if (!p.noEjectorControl) {
                out(kOutEjectorInhibit, true);
            }
        }
        publish();
    }
    if (p.machineType == 2)
        st.side = n == 0 ? 1 : 0;
}

// The mould step started by its own input: semi-automatic mode, the rotary
// table, and the two-colour machine's side signals.
void RunController::SecondStepStart(int n)
{
    const WizardPara& p = para();
    if (st.pendingCameras[1] == 0)
        return;
    bool starts = false;
    switch (p.machineType) {
    case 1:
        if (n == 2 && p.mouldSide != 1) {
            st.side = 1;
            starts = true;
        } else if (n == 3 && p.mouldSide != 0) {
            st.side = 0;
            starts = true;
        }
        break;
    case 2:
        starts = n == 2;
        break;
    default:
        starts = p.semiAuto && n == 2;
        break;
    }
    if (!starts)
        return;
    const bool mouldOn = p.detectOn[1] || (twoSided(p.machineType) && p.detectOn[3]);
    st.pendingCameras[1] = mouldOn ? allCameras() : 0;
    clearNoDetect();
    if (!p.okNgPulses) {
        if (!(p.preCut > 0 || p.cutClampOnMouldAlarm))
            out(kOutClampInhibit, true);
        publish();
    }
}

// Multi-detection stations: an input out of sequence is ignored for this
// pass; an input that moves on to a station of another IO row switches the
// interlock outputs of the stations still ahead. False stops the scan.
bool RunController::StationLogic(int n)
{
    const WizardPara& p = para();
    const int last = gDNum - 1;
    if (st.expectedInput == -1) {
        for (int k = st.lastStation + 1; k < kMaxDetects; ++k) {
            if (p.trigInput[k] == -1)
                continue;
            if (k < gDNum && p.trigInput[k] != n)
                return false;
            break;
        }
    }
    if (st.pendingCameras[last] == 0 || n > gDNum)
        return true;
    const int s = st.lastStation;
    int i = 0;  // the next step with an owner, wrapping to step 0
    for (int k = s + 1; k < gDNum; ++k) {
        if (p.detectOwner[k] != -1) {
            i = k;
            break;
        }
    }
    const int r = p.detectOwner[i];
    const bool ownerChanges = p.detectOwner[s] != r || (n == 0 && s == last);
    if (ownerChanges && r >= 0 && r < kMaxDetects && p.rowCutMode[r] != 2)
        stationOutputsOn(i, r);
    st.lastStation = i;
    return true;
}

// Cut mode 0: every owned station from `from` on; 1: those of row `owner`.
void RunController::stationOutputsOn(int from, int owner)
{
    const WizardPara& p = para();
    const int mode = p.rowCutMode[owner];
    for (int j = from; j < gDNum; ++j) {
        if (j == 0 && !p.productDetectOn)
            continue;
        const bool qualifies = mode == 0 ? p.detectOwner[j] != -1 : mode == 1 && p.detectOwner[j] == owner;
        if (qualifies)
            out(StationOutput(j), true);
    }
}

// Starts the countdown of every step that input n triggers; a step without
// delay is inspected at once. False ends the scan.
bool RunController::ScheduleSteps(int n)
{
    const WizardPara& p = para();
    const int type = p.machineType;
    if (type != 4 && st.pendingCameras[1] == 0)
        return true;
    const int steps = twoSided(type) ? 2 : gDNum;
    for (int d = 0; d < steps; ++d) {
        if (stepBusy(d) || !stepEnabled(d) || !stepMatches(d, n))
            continue;
        int delay = p.trigInDelay[d];
        if (chainedDelays(type) && !p.semiAuto && p.productDetectOn && d > 0)
            delay += st.lastDelay;
        st.lastDelay = delay;
        if (type == 4)
            st.lastStation = d;
        markFrames(d);
        if (delay > 0) {
            st.countdown[d] = static_cast<float>(delay / 10.0);
            countdownTimer[d]->start(kTickMs);
            st.countdownPhase = 1;
        } else {
            std::fill(std::begin(newFrame), std::end(newFrame), false);
            st.countdown[d] = 0;
            TimerUp(d);
            if (st.runState == RunState::Stopped || type == 4)
                return false;
        }
        if (type == 4)
            break;  // only the first station of this input
    }
    return true;
}

// The right side of the two-colour and rotary-table machines has its own
// enable flags (steps 2 and 3) but shares the trigger and delay of 0 and 1.
bool RunController::stepEnabled(int d) const
{
    const WizardPara& p = para();
    if (twoSided(p.machineType) && st.side == 0)
        return p.detectOn[d + 2];
    return p.detectOn[d];
}

bool RunController::stepMatches(int d, int n)
{
    const WizardPara& p = para();
    const int trigger = p.trigInput[d];
    switch (p.machineType) {
    case 1:
        return trigger == n || (trigger == kEitherSide && (n == 2 || n == 3));
    case 2:
        return trigger == n || (trigger == kEitherSide && (n == 0 || n == 3));
    case 4:
        return trigger == n && st.pendingCameras[d] != 0;
    default:
        if (d == st.queuedStep) {
            st.queuedStep = -1;
            st.lastDelay = 0;
            return true;
        }
        return trigger == n;
    }
}

void RunController::InCheck()
{
    out(kOutClampInhibit, true);
    publish();
    inCheckTimer->stop();
    const QString text = LanStr(335);
    recordLine(text);
    ports.screen->ShowWarning(text);
    st.noInputWarned = true;
}

// A manual trigger is served by the next pass. Without cameras the next test
// picture stands in for the frame.
void RunController::SlotManualTrig(int step)
{
    if (step < 0 || step >= gDNum)
        return;
    if (step == 0 && !para().productDetectOn) {
        ports.screen->ShowWarning(LanStr(145));
        return;
    }
    st.manualStep = step;
    clearNoDetect();
    if (gCameraID == 0)
        loadTestPicture();
}

void RunController::loadTestPicture()
{
    if (views.isEmpty())
        return;
    const int selected = ports.screen->selectedView();
    RunView* view = views[selected >= 0 && selected < cameras() ? selected : 0];
    view->LoadTestPicture(QStringLiteral("cammer11/template%1.bmp").arg(st.testPictureIndex));
    st.testPictureIndex = (st.testPictureIndex + 1) % kTestPictures;
}

void RunController::SimulateInput(int n)
{
    st.simulatedInput = n;
}
