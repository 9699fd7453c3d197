// Run controller: the countdown of each scheduled step, the pre-cut of the
// clamp inhibit, the inspection of every camera at zero and the automatic
// NG retry.

#include "screen/runcontroller.h"

#include "core/controlport.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "screen/operationrecord.h"
#include "screen/runclock.h"
#include "screen/runio.h"
#include "screen/runscreen.h"
#include "screen/runview.h"

#include <QFile>
#include <QtDebug>
#include <numeric>

namespace {
constexpr int kOriginalsKept = 200;   // frames kept under ./originalimage
constexpr qint64 kFrameWaitMs = 300;  // a few frame periods for a late frame
constexpr int kTextNoNewImage = 598;
const char* const kOriginalsDir = "./originalimage";
}  // namespace

bool RunController::countdownActive(int step) const
{
    return step >= 0 && step < kMaxDetects && countdownTimer[step]->isActive();
}

// One 100 ms tick of the step's countdown, or its inspection once the
// countdown has run out (a delay of n tenths inspects on the n-th tick).
void RunController::TimerUp(int step)
{
    const WizardPara& p = para();
    const bool last = step == LastStep();
    // Whole tenths left: the float countdown drifts by a few millionths per
    // tick, which must not move the pre-cut to a later tick or past the
    // inspection. A pre-cut longer than the countdown (the slider offers up
    // to 100 tenths; a stored value may be larger) inhibits the clamp at the
    // first tick: the clamp is never left free until the inspection.
    const int tenthsLeft = qRound(st.countdown[step] * 10);
    if (last && p.preCut >= 1 && tenthsLeft <= p.preCut && !p.okNgPulses) {
        out(kOutClampInhibit, true);
        publish();
    }
    if (st.countdown[step] > 0.11) {
        st.countdown[step] = static_cast<float>(st.countdown[step] - 0.1);
        ports.screen->CountdownTick();
        return;
    }
    countdownTimer[step]->stop();
    if (!framesReady(step))
        return;   // the passes call again until a frame comes or the wait ends
    QVector<int> all(cameras());
    std::iota(all.begin(), all.end(), 0);
    const QVector<int> usable = usableFrames(all, step);
    const bool judged = judgeAtOnce(usable, step);
    bool allOk = true;
    for (int c = 0; c < cameras(); ++c) {
        RunAlgorithm(c, step, judged || !usable.contains(c));
        allOk = allOk && views[c]->cameraOk();
    }
    st.freshNeeded[step] = false;
    CheckNG();
    st.countdownPhase = 2;
    // Auto parts: an all-good mould step refreshes template 0 of step 1.
    if (st.displayState != DisplayState::Alarm && last && allOk && !st.retryPending && p.templateAutoUpdate
        && p.machineType == 3) {
        gisReShape = true;
        for (RunView* view : views)
            view->SaveReTrainImage(1);
    }
}

// The step a camera inspects for `detect`: on the two-colour and rotary-table
// types steps 0/1 stand for the side in use (2/3 on the right side).
int RunController::inspectedStep(int detect) const
{
    const int type = para().machineType;
    if (type != 1 && type != 2)
        return detect;
    return (detect < 2 ? detect : detect - 2) + (st.side == 0 ? 2 : 0);
}

// The cameras' inspection of the step, all at once (in parallel) where the
// screen offers it; what follows for each camera (RunAlgorithm) stays in
// camera order. Nothing is judged while re-learning.
bool RunController::judgeAtOnce(const QVector<int>& cameraList, int detect)
{
    if (st.runState == RunState::Relearning || cameraList.isEmpty())
        return false;
    QVector<RunView*> list;
    for (int c : cameraList)
        list.append(views[c]);
    const Waiting waiting(*this);
    return ports.screen->InspectAll(list, inspectedStep(detect));
}

// The cameras of the list whose latest frame can be judged. Any other is NG
// for the step, whatever an older frame would show: the clamp stays
// inhibited as for an NG, and the record and a warning name the camera and
// the cause.
QVector<int> RunController::usableFrames(const QVector<int>& cameraList, int step)
{
    QVector<int> usable;
    for (int c : cameraList) {
        QString fault = views[c]->frameFault();
        if (fault.isEmpty() && staleFrame(step, c))
            fault = LanStr(kTextNoNewImage);
        if (fault.isEmpty()) {
            usable.append(c);
            continue;
        }
        views[c]->setCameraOk(false);
        const QString line = LanStr(592).arg(c + 1).arg(fault);
        qWarning().noquote() << "camera" << c + 1 << "frame unusable:" << fault;
        recordLine(line);
        showWarningLater(line);
    }
    return usable;
}

// The frames the step was scheduled after, counted per camera.
void RunController::markFrames(int step)
{
    st.freshNeeded[step] = !para().externalTrigger;   // the trigger rules pick that frame
    st.frameWaitUntil[step] = 0;
    std::copy(std::begin(st.frameCount), std::end(st.frameCount), std::begin(st.frameMark[step]));
}

bool RunController::staleFrame(int step, int camera) const
{
    return st.freshNeeded[step] && st.frameCount[camera] == st.frameMark[step][camera];
}

// True when every camera has a frame taken after the step was scheduled, or
// the wait for late ones is over (those are then NG for the step).
bool RunController::framesReady(int step)
{
    bool fresh = true;
    for (int c = 0; c < cameras(); ++c)
        fresh = fresh && !staleFrame(step, c);
    const qint64 now = ports.clock->elapsedMs();
    if (fresh || (st.frameWaitUntil[step] != 0 && now >= st.frameWaitUntil[step])) {
        st.frameWaitUntil[step] = 0;
        return true;
    }
    if (st.frameWaitUntil[step] == 0)
        st.frameWaitUntil[step] = now + kFrameWaitMs;
    return false;
}

bool RunController::stepBusy(int step) const
{
    return countdownTimer[step]->isActive() || st.frameWaitUntil[step] != 0;
}

// A warning box from the event loop, never inside a pass or a judgement;
// one at a time.
void RunController::showWarningLater(const QString& text)
{
    if (warnTimer->isActive())
        return;
    pendingWarning = text;
    warnTimer->start(0);
}

void RunController::RunAlgorithm(int camera, int detect, bool judged)
{
    const WizardPara& p = para();
    const int s = inspectedStep(detect);
    const int pending = p.machineType == 1 || p.machineType == 2 ? s & 1 : s;
    st.curDetect = s;
    st.pendingCameras[pending] &= ~(quint32(1) << camera);
    pruneOriginals();
    if (st.saveOriginals)
        saveOriginal(camera, s);
    if (st.runState == RunState::Relearning) {
        relearnStep(camera, s);
        return;
    }
    RunView* view = views[camera];
    if (!judged)
        view->Inspect(s);
    if (!view->cameraOk()) {
        if (!p.okNgPulses)
            cameraNgOutputs(pending);
        cameraNgBookkeeping(camera, s, pending);
    }
    if (st.countCycle[camera]) {
        ++gAllNum[camera];
        st.countCycle[camera] = false;
    }
    publish();
    view->UpdateLive();
}

// Outputs of a camera NG at once, before the decision over all cameras.
void RunController::cameraNgOutputs(int p)
{
    const WizardPara& w = para();
    if (w.machineType == 4) {
        if (!(p == 0 && w.ejectorPulseOnNG))
            out(kOutAlarm, true);
    } else if (p == 0) {
        if (!w.noEjectorControl && !w.ejectorPulseOnNG) {
            out(kOutEjectorInhibit, true);
            if (!(w.preCut > 0 || w.cutClampOnMouldAlarm))
                out(kOutClampInhibit, true);
        }
        if (!w.ejectorPulseOnNG && st.retryLeft[0] == 0)
            out(kOutAlarm, true);
    } else {
        if (!(w.preCut > 0 && st.retryLeft[1] > 0))
            out(kOutClampInhibit, true);
        if (st.retryLeft[1] == 0)
            out(kOutAlarm, true);
    }
}

// A camera counts one final NG per cycle; the product step's failed regions
// ask for their NG outputs; the NG frame goes into the ring.
void RunController::cameraNgBookkeeping(int camera, int s, int p)
{
    const bool final = st.retryLeft[p] == 0;
    if (st.countNg[camera] && final) {
        ++gFailNum[camera];
        st.countNg[camera] = false;
    }
    if (p == 0 && para().ejectorPulseOnNG) {
        for (const FailedRegion& region : views[camera]->FailedRegions(s)) {
            if (region.output >= 0 && region.output < kRegionOutputs)
                st.regionOutputs[region.output] = true;
        }
    }
    if (st.imageState[camera][s] == ResultImageState::CycleStarted && final)
        views[camera]->PushNgRing(s);
}

// Re-learning: the frame becomes template 0 of the step; once every camera
// stored every enabled step, detection restarts and the operator checks the
// regions on the new templates.
void RunController::relearnStep(int camera, int s)
{
    if (!st.relearn[camera][s])
        return;
    if (para().detectOn[s])
        views[camera]->SaveReTrainImage(s);
    st.relearn[camera][s] = false;
    views[camera]->setCameraOk(true);
    for (int c = 0; c < cameras(); ++c) {
        for (int k = 0; k < gDNum; ++k) {
            if (st.relearn[c][k] && para().detectOn[k])
                return;
        }
    }
    StartDetect();
    if (!para().okNgPulses) {
        out(kOutClampInhibit, true);
        publish();
    }
    st.runState = RunState::Relearning;
    CheckArea(false);
}

// Keeps at most 200 saved frames, deleting the oldest. Only this controller
// adds frames there: they are counted once, then as they are saved.
void RunController::pruneOriginals()
{
    if (originalsKept >= 0 && originalsKept <= kOriginalsKept)
        return;
    QList<QFileInfo> files;
    FoundAllFile(files, QLatin1String(kOriginalsDir));
    originalsKept = std::min<int>(files.size(), kOriginalsKept);
    if (files.size() <= kOriginalsKept)
        return;
    SortFileByTime(files);
    for (int i = 0; i < files.size() - kOriginalsKept; ++i)
        QFile::remove(files[i].absoluteFilePath());
}

void RunController::saveOriginal(int camera, int s)
{
    const QString stamp = ports.clock->now().toString(QStringLiteral("yyyyMMdd-hhmmss-zzz"));
    views[camera]->SaveOriginal(
            QStringLiteral("%1/cammer%2%3/template%4.bmp").arg(QLatin1String(kOriginalsDir)).arg(camera + 1).arg(s + 1).arg(stamp));
    if (originalsKept >= 0)
        ++originalsKept;
}

// Automatic retry: the current step again on every camera, on the frames the
// pass took over last.
void RunController::ReCheck()
{
    const int idx = decisionStep();
    st.pendingCameras[idx] = 0;
    if (idx == LastStep()) {
        if (para().preCut == 0 || st.retryLeft[idx] == 0)
            out(kOutClampInhibit, true);
    }
    publish();
    const int step = st.curDetect;
    QVector<int> again;
    for (int c = 0; c < cameras(); ++c) {
        if (para().detectOn[step])
            again.append(c);
    }
    const QVector<int> usable = usableFrames(again, step);
    const bool judged = judgeAtOnce(usable, step);
    for (int c : again) {
        st.pendingCameras[idx] |= quint32(1) << c;
        RunAlgorithm(c, step, judged || !usable.contains(c));
    }
    CheckNG();
}
