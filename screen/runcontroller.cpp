// Run controller: construction, start-up, start and stop of detection, the
// main-window commands and the ends of the output pulses.

#include "screen/runcontroller.h"

#include "core/controlport.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "screen/operationrecord.h"
#include "screen/runclock.h"
#include "screen/runio.h"
#include "screen/runnet.h"
#include "screen/runscreen.h"
#include "screen/runview.h"

#include <QDir>

int gRunCount = 0;
bool gFromTrain = false;
bool gisReTrain = false;
bool gisReShape = false;
bool gisTempAlarm = false;

namespace {
constexpr int kFirstPassMs = 5;
constexpr int kDateCheckMs = 60000;
constexpr int kTempCheckMs = 5000;
constexpr int kTempAlarmMs = 1000;
const char* const kArchiveDir = "./RECORD";

// A controller timer whose work is held while the controller waits for work
// that serves the GUI thread's events: it then
// counts as running until the held work ran, and a start or a stop in the
// meantime drops the held work, as it would have dropped the expiry.
class HeldTimer : public RunTimer
{
public:
    HeldTimer(RunClock& clock, bool singleShot, std::function<void()> work, const int& waiting,
              std::function<void(std::function<void()>)> hold)
        : work(std::move(work))
        , waiting(waiting)
        , hold(std::move(hold))
    {
        inner = clock.createTimer(singleShot, [this] { expired(); });
    }
    void start(int ms) override
    {
        held = false;
        inner->start(ms);
    }
    void stop() override
    {
        held = false;
        inner->stop();
    }
    bool isActive() const override { return held || inner->isActive(); }

private:
    void expired()
    {
        if (waiting == 0) {
            work();
            return;
        }
        if (held)
            return;   // a periodic timer expiring again while held counts once
        held = true;
        hold([this] {
            if (!held)
                return;
            held = false;
            work();
        });
    }

    std::unique_ptr<RunTimer> inner;
    std::function<void()> work;
    const int& waiting;
    std::function<void(std::function<void()>)> hold;
    bool held = false;
};
}  // namespace

RunController::RunController(const Ports& given)
    : ports(given)
{
    Q_ASSERT(ports.io && ports.screen && ports.net && ports.clock && ports.record);
    RunClock& clock = *ports.clock;
    runTimer = clock.createTimer(true, [this] { Run(); });
    releaseTimer = clock.createTimer(true, [this] { releaseHeldWork(); });
    inCheckTimer = timer(false, [this] { InCheck(); });
    for (int n = 0; n < kTriggerInputs; ++n) {
        debounceTimer[n] = timer(false, [this, n] {
            debounceTimer[n]->stop();
            CheckInput(n);
        });
    }
    for (int d = 0; d < kMaxDetects; ++d)
        countdownTimer[d] = timer(false, [this, d] { TimerUp(d); });
    showTimer = timer(false, [this] { TimerShow(); });
    outNgTimer = timer(false, [this] { OutTimerOutNG(); });
    clampPulseTimer = timer(false, [this] { OutTimerNotAllowClose(); });
    ejectorPulseTimer = timer(false, [this] { OutTimerNotAllowThimble(); });
    reserveTimer = timer(false, [this] { OutTimerReserveOutput(); });
    alarmResetTimer = timer(false, [this] { SlotResetAlarm(); });
    tempTimer = timer(false, [this] { CheckTemp(); });
    dateTimer = timer(false, [this] { ports.record->SlotCheckDate(); });
    warnTimer = timer(true, [this] { ports.screen->ShowWarning(pendingWarning); });
}

RunController::~RunController() = default;

std::unique_ptr<RunTimer> RunController::timer(bool singleShot, std::function<void()> work)
{
    return std::make_unique<HeldTimer>(*ports.clock, singleShot, std::move(work), waitDepth,
                                       [this](std::function<void()> held) { heldWork.push_back(std::move(held)); });
}

RunController::Waiting::Waiting(RunController& controller) : controller(controller)
{
    // A pass that waits arms the next one, which then ends at once.
    if (controller.inPass && controller.waitDepth == 0)
        controller.armPass(kPassMs);
    ++controller.waitDepth;
}

RunController::Waiting::~Waiting()
{
    if (--controller.waitDepth == 0 && !controller.heldWork.empty())
        controller.releaseTimer->start(0);
}

// The work the timers held meanwhile, in the order it came; waiting again
// holds what follows.
void RunController::releaseHeldWork()
{
    while (waitDepth == 0 && !heldWork.empty()) {
        const std::function<void()> work = std::move(heldWork.front());
        heldWork.pop_front();
        work();
    }
}

void RunController::setViews(const QVector<RunView*>& cameraViews)
{
    Q_ASSERT(cameraViews.size() <= kMaxCameras);
    views = cameraViews;
}

const WizardPara& RunController::para() const
{
    Q_ASSERT(gpWPara);
    return *gpWPara;
}

quint32 RunController::allCameras() const
{
    return (quint32(1) << cameras()) - 1;
}

void RunController::out(int i, bool on)
{
    ports.io->IOSetOut(i, on ? 1 : 0);
}

void RunController::publish()
{
    ports.io->IOFlashOut();
}

void RunController::recordLine(const QString& line)
{
    ports.record->InsertRecord(line);
}

// Cycle time in tenths of a second, from the monotonic clock in 64 bits.
void RunController::updateCycleTime()
{
    const qint64 t = ports.clock->elapsedMs() / 100;
    st.cycleLength = t - st.cycleStart;
    st.cycleStart = t;
}

int RunController::LastStep()
{
    return gpWPara->machineType == 4 ? gDNum - 1 : 1;
}

int RunController::StationOutput(int k)
{
    return k < gDNum - 1 ? OutputNo[k] - 1 : OutputNo[7] - 1;
}

int RunController::CaptionedState(int imageState)
{
    switch (imageState) {
    case ResultImageState::NotDetected:
    case ResultImageState::AddedAsTemplate:
    case ResultImageState::Reserved:
        return ResultImageState::NgReady;
    case ResultImageState::ReDetectAsked:
        return ResultImageState::ReDetectOk;
    case ResultImageState::ReDetectOk:
        return ResultImageState::NgAndOkReady;
    default:
        return imageState;
    }
}

void RunController::Init()
{
    const int side = st.side;  // set by the settings load
    st = RunControlState();
    st.side = side;
    if (para().machineType == 4)
        st.curDetect = st.lastStation = gDNum - 1;
    else
        st.curDetect = para().productDetectOn == 1 ? 0 : 1;
    st.manualStep = gDNum;
    gFromTrain = gisReTrain = gisReShape = gisTempAlarm = false;
}

void RunController::Start()
{
    QDir().mkpath(QLatin1String(kArchiveDir));
    ports.record->ReadRecordDay();
    ports.record->SlotCheckDate();
    StartDetect();
    inhibitClampAfterStart();
    st.manualCycle = false;
    std::fill(std::begin(st.regionOutputs), std::end(st.regionOutputs), false);
    st.manualStep = gDNum;
    tempTimer->start(kTempCheckMs);
    armPass(kFirstPassMs);
    dateTimer->start(kDateCheckMs);
    recordLine(LanStr(150).arg(cameras()));
    st.cycleLength = 0;
    st.cycleStart = ports.clock->elapsedMs() / 100;
    OperationRecord::CountRead();
    st.simulatedInput = -1;
}

void RunController::ResetRun()
{
    for (RunView* view : views)
        view->ResetResults(gDNum);
    for (int step = 0; step < gDNum; ++step)
        st.countdown[step] = 0;
}

void RunController::StartDetect()
{
    ports.io->IOResetAllOut();
    if (para().cutEjectorWhenClamping)
        out(kOutEjectorInhibit, true);
    publish();
    st.displayState = DisplayState::Normal;
    std::fill(std::begin(st.retryLeft), std::end(st.retryLeft), 0);
    st.retryPending = false;
    ResetRun();
    st.runState = RunState::Detecting;
}

void RunController::SetStopDetect()
{
    const int type = para().machineType;
    if (type == 1 || type == 2)
        st.pendingCameras[st.curDetect & 1] = 0;
    else if (type != 4)
        st.pendingCameras[st.curDetect != 0 ? 1 : 0] = 0;
    for (int d = 0; d < kMaxDetects; ++d) {
        if (countdownTimer[d]->isActive()) {
            countdownTimer[d]->stop();
            st.countdown[d] = 0;
        }
        st.frameWaitUntil[d] = 0;
        st.freshNeeded[d] = false;
    }
    st.runState = RunState::Stopped;
}

// With a timed clamp release after a good mould the clamp starts inhibited.
void RunController::inhibitClampAfterStart()
{
    if (para().cutClampAfterMouldOK && para().clampPulseTime > 0) {
        out(kOutClampInhibit, true);
        publish();
    }
}

void RunController::StopDetect()
{
    ports.io->IOResetAllOut();
    if (para().noClampWhenStopped == 1)
        out(kOutClampInhibit, true);
    publish();
    if (para().machineType == 4) {
        std::fill(std::begin(st.pendingCameras), std::end(st.pendingCameras), 0);
        st.curDetect = st.lastStation = gDNum - 1;
    }
    SetStopDetect();
}

void RunController::StartByCommand()
{
    StartDetect();
    inhibitClampAfterStart();
    recordLine(LanStr(142));
    ports.screen->SetLed(4, 1);
}

void RunController::StopByCommand()
{
    StopDetect();
    recordLine(LanStr(141));
    ports.screen->SetLed(4, 0);
}

// Re-learning: the next inspection of every enabled step stores its frame as
// template 0; when all are stored the area check starts (RunAlgorithm).
void RunController::ReSample()
{
    st.displayState = DisplayState::Normal;
    for (RunView* view : views)
        view->ResetResults(gDNum);
    if (st.runState == RunState::Stopped) {
        StartDetect();
        inhibitClampAfterStart();
        ports.screen->SetLed(4, 1);
    }
    st.runState = RunState::Relearning;
    ports.screen->DeleteAllTemplates();
    for (int c = 0; c < cameras(); ++c) {
        for (int k = 0; k < gDNum; ++k) {
            if (para().detectOn[k])
                st.relearn[c][k] = true;
            views[c]->ClearIgnorePoints(k);
        }
    }
    recordLine(LanStr(139));
    ports.screen->SaveSerials();
    ports.screen->Repaint();
}

void RunController::OutTimerOutNG()
{
    outNgTimer->stop();
    if (!para().noEjectorControl)
        out(kOutEjectorInhibit, false);
    for (int k = 0; k < kRegionOutputs; ++k)
        out(kOutRegionNG0 + k, false);
    publish();
}

// End of a timed clamp release (the clamp is inhibited again) or of an
// OK/NG pulse (every interlock output off).
void RunController::OutTimerNotAllowClose()
{
    clampPulseTimer->stop();
    if (para().okNgPulses) {
        out(kOutClampInhibit, false);
        out(kOutEjectorInhibit, false);
        out(kOutAlarm, false);
        publish();
    } else if (st.runState != RunState::Stopped) {
        out(kOutClampInhibit, true);
        publish();
    }
}

void RunController::OutTimerNotAllowThimble()
{
    ejectorPulseTimer->stop();
    if (para().okNgPulses) {
        out(kOutClampInhibit, false);
        out(kOutEjectorInhibit, false);
        publish();
    } else if (st.runState != RunState::Stopped) {
        out(kOutEjectorInhibit, true);
        publish();
    }
}

void RunController::OutTimerReserveOutput()
{
    reserveTimer->stop();
    out(kOutReserve, false);
    publish();
}

// Temperature alarm: a 1 s pulse of the alarm output every 5 s; both changes
// are published by the next polling pass.
void RunController::CheckTemp()
{
    if (!gisTempAlarm)
        return;
    out(kOutAlarm, true);
    alarmResetTimer->start(kTempAlarmMs);
}

void RunController::SlotResetAlarm()
{
    if (st.displayState != DisplayState::Alarm)
        out(kOutAlarm, false);
    alarmResetTimer->stop();
}
