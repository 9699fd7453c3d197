// Run controller: the OK/NG decision over all cameras after every inspection
// of a step - retry or alarm, the interlock outputs and their timed cuts, the
// result display, the result pictures, the counters and the reports.

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
#include "screen/servedwork.h"

namespace {
constexpr int kShowMs = 2000;
}  // namespace

// 0 product step, 1 mould step on the two-colour and rotary-table types
// (whose right side inspects steps 2 and 3); the step itself otherwise.
int RunController::decisionStep() const
{
    const int type = para().machineType;
    return type == 1 || type == 2 ? st.curDetect & 1 : st.curDetect;
}

void RunController::CheckNG()
{
    if (gFromTrain)
        return;
    const Waiting waiting(*this);   // count.txt is written off the GUI thread
    const int d = decisionStep();
    const bool manual = st.manualCycle;
    const bool anyNg = judgeCameras();
    reportCycle(anyNg, d);
    if (anyNg) {
        if (st.retryLeft[d] == 0)
            reportFinalNg(d);
        ngOutputs(d);
    } else {
        okOutputs(d, manual);
    }
    resultDisplay(anyNg, d, manual);
    resultImages(d);
    if (!anyNg || para().okNgPulses) {
        handOff();
        countCycle(anyNg, d);
    }
    if (para().netLinkOn)
        ports.net->ClearParamList();
}

bool RunController::judgeCameras()
{
    bool anyNg = false;
    for (RunView* view : views) {
        if (!view->cameraOk()) {
            view->StartBlink();
            anyNg = true;
        }
    }
    st.anyCameraNg = anyNg;
    if (st.manualReCheck)
        st.manualReCheck = false;
    else if (st.curDetect == 1 && gisTempAlarm)
        anyNg = true;
    return anyNg;
}

bool RunController::netUp() const
{
    return para().netLinkOn && ports.net->isSetUp();
}

// Once per cycle, at the first decision without a retry left.
void RunController::reportCycle(bool anyNg, int d)
{
    if (st.retryLeft[d] != 0 || st.trigSource == 0)
        return;
    if (netUp() && ports.net->isClientConnected())
        ports.net->SendStatisticsOnce(anyNg, st.trigSource);
    st.trigSource = 0;
    ports.net->ClearParamList();
}

void RunController::reportFinalNg(int d)
{
    const WizardPara& p = para();
    RunNet& net = *ports.net;
    if (!netUp() || !net.isClientConnected())
        return;
    if (p.ngVideo && p.videoType != 0)
        net.SendSaveNgVideo(1, 1);
    QVector<QVector<FailedRegion>> failed(cameras());
    int count = 0;
    for (int c = 0; c < cameras(); ++c) {
        if (!views[c]->cameraOk()) {
            failed[c] = views[c]->FailedRegions(st.curDetect);
            count += failed[c].size();
        }
    }
    if (p.alarmSms)
        net.SendTelInfo(d, count);
    for (int c = 0; c < cameras(); ++c) {
        for (const FailedRegion& region : failed[c])
            net.AddStatisticsItem(c, st.curDetect, region.region);
    }
    net.SendStatistics();
}

void RunController::pulseTimer(RunTimer& timer, int tenths)
{
    if (tenths > 0)
        timer.start(TimerMs(qint64(tenths) * 100));
}

// OK/NG pulses: an NG pulses clamp inhibit and alarm, an OK the ejector
// output; OutTimerNotAllowClose ends either.
void RunController::pulseResult(bool ng)
{
    out(kOutClampInhibit, ng);
    out(kOutEjectorInhibit, !ng);
    out(kOutAlarm, ng);
    publish();
    pulseTimer(*clampPulseTimer, para().clampPulseTime);
}

void RunController::ngOutputs(int d)
{
    const WizardPara& p = para();
    if (p.okNgPulses) {
        pulseResult(true);
        return;
    }
    if ((d == 0 && p.ejectorPulseOnNG) || st.displayState == DisplayState::Alarm)
        return;
    if (st.retryLeft[d] > 0) {
        if (p.machineType != 4)
            st.retryPending = true;
        st.alarmStart = ports.clock->elapsedMs();
        return;
    }
    RaiseAlarm(d);
}

void RunController::okOutputs(int d, bool manual)
{
    const WizardPara& p = para();
    if (p.okNgPulses) {
        pulseResult(false);
        return;
    }
    if (p.machineType == 4) {
        out(StationOutput(st.lastStation), false);
        if (!manual)
            updateExpectedInput();
    } else if (d == 1) {
        if (!gisReTrain)
            out(kOutClampInhibit, false);
    } else if (d == 0) {
        if (!p.noEjectorControl && !p.ejectorPulseOnNG)
            out(kOutEjectorInhibit, false);
    }
    st.retryPending = false;
    publish();
    if (st.displayState == DisplayState::Alarm)
        AlarmEnd(d);
}

// Multi-detection: the next station follows at once without a new
// activation when it shares the trigger input of the station just judged.
void RunController::updateExpectedInput()
{
    const WizardPara& p = para();
    const int own = p.trigInput[st.lastStation];
    st.expectedInput = -1;
    for (int k = st.lastStation + 1; k < kMaxDetects; ++k) {
        if (p.trigInput[k] == -1)
            continue;
        if (p.trigInput[k] == own)
            st.expectedInput = own;
        break;
    }
}

void RunController::resultDisplay(bool anyNg, int d, bool manual)
{
    const WizardPara& p = para();
    st.manualCycle = false;
    const bool productPulse = anyNg && d == 0 && p.ejectorPulseOnNG;
    const bool shown = !anyNg || p.okNgPulses || productPulse;
    if (shown && st.displayState != DisplayState::Alarm && st.displayState != DisplayState::Editing) {
        st.displayState = DisplayState::ResultShown;
        showTimer->start(kShowMs);
        st.shownDetect = st.curDetect;
        ports.screen->Repaint();
        const bool ngLamp = anyNg && p.okNgPulses;
        ports.screen->SetLed(6, ngLamp ? 0 : 1);
        ports.screen->SetLed(7, ngLamp ? 1 : 0);
    }
    if (!anyNg && d == 1) {
        if (p.detectOn[0] && p.cutEjectorWhenClamping && !p.noEjectorControl && !p.ejectorPulseOnNG) {
            out(kOutEjectorInhibit, true);
            publish();
        }
        if (p.cutClampAfterMouldOK)
            pulseTimer(*clampPulseTimer, p.clampPulseTime);
    }
    if (!anyNg && d == 0 && p.cutEjectorAfterProductOK)
        pulseTimer(*ejectorPulseTimer, p.ejectorPulseTime);
    if (productPulse) {
        for (int k = 0; k < kRegionOutputs; ++k) {
            if (st.regionOutputs[k])
                out(kOutRegionNG0 + k, true);
        }
        if (!p.noEjectorControl)
            out(kOutEjectorInhibit, true);
        publish();
        pulseTimer(*outNgTimer, p.ejectorPulseTime);
        if (p.machineType == 4 && !manual)
            updateExpectedInput();
    }
}

// Result pictures of the inspected step, by the state each camera's picture
// is in (see ResultImageState).
void RunController::resultImages(int d)
{
    const WizardPara& p = para();
    const int s = st.curDetect;
    const bool final = st.retryLeft[d] == 0;
    for (int c = 0; c < cameras(); ++c) {
        RunView* view = views[c];
        int& state = st.imageState[c][s];
        const bool ok = view->cameraOk();
        auto caption = [&](int kind) {
            view->UpdateFailImage(s, kind, state);
            state = CaptionedState(state);
        };
        switch (state) {
        case ResultImageState::CycleStarted:
            if (ok) {
                if (gPicNumOK > 0 && (d >= 1 || p.saveProductOk)) {
                    state = ResultImageState::OkReady;
                    view->SaveFailImage(s, 1, st.doorCycle);
                } else {
                    state = ResultImageState::None;
                }
            } else if (!final) {
                // kept for the retry's decision
            } else if (gPicNumNG > 0) {
                const bool handedAtOnce = p.okNgPulses || (d == 0 && p.ejectorPulseOnNG);
                state = handedAtOnce ? ResultImageState::NgReady : ResultImageState::NgKept;
                view->SaveFailImage(s, 0, st.doorCycle);
            } else {
                state = ResultImageState::None;
            }
            break;
        case ResultImageState::NotDetected:
        case ResultImageState::AddedAsTemplate:
        case ResultImageState::Reserved:
            caption(0);
            break;
        case ResultImageState::ReDetectAsked:
            if (!ok) {
                state = ResultImageState::NgKept;
            } else {
                caption(0);
                view->SaveFailImage(s, 1, st.doorCycle);
                caption(1);
            }
            break;
        default:
            break;
        }
    }
}

// Pictures ready for the writer, after an OK decision or in pulse mode.
void RunController::handOff()
{
    for (int c = 0; c < cameras(); ++c) {
        for (int s = 0; s < gDNum; ++s) {
            int& state = st.imageState[c][s];
            const bool ng = state == ResultImageState::NgReady || state == ResultImageState::NgAndOkReady;
            const bool ok = state == ResultImageState::OkReady || state == ResultImageState::NgAndOkReady;
            if (!ng && !ok)
                continue;
            views[c]->HandOff(s, ng, ok);
            state = ResultImageState::None;
        }
    }
}

// count.txt after the cycle's last good decision (in pulse mode after every
// mould decision).
void RunController::countCycle(bool anyNg, int d)
{
    const WizardPara& p = para();
    const bool write = p.machineType == 4 || p.machineType == 5 ? d == LastStep()
                                                                : d == 1 && (!anyNg || p.okNgPulses);
    if (!write)
        return;
    // Written and synced to the disk on a thread of its own: a slow disk
    // does not hold the passes (the controller waits in CheckNG).
    bool written = false;
    RunServingEvents([&written] { written = OperationRecord::CountWrite(); });
    if (!written && !countWriteFailed) {
        const QString text = LanStr(kTextCannotWrite).arg(QLatin1String("count.txt"));
        recordLine(text);
        showWarningLater(text);
    }
    countWriteFailed = !written;
    if (netUp() && ports.net->isClientConnected())
        ports.net->SendStatistics();
}

void RunController::TimerShow()
{
    showTimer->stop();
    if (st.displayState == DisplayState::Alarm) {
        st.countdownPhase = 3;
        return;
    }
    const WizardPara& p = para();
    ports.screen->SetLed(6, 1);
    ports.screen->SetLed(7, 1);
    if (!st.retryPending && st.curDetect == st.shownDetect) {
        st.curDetect = (st.curDetect + 1) % gDNum;
        if (p.machineType != 4 && st.curDetect % 2 == 0 && !p.productDetectOn)
            st.curDetect = (st.curDetect + 1) % gDNum;
    }
    st.countdownPhase = 3;
    if (st.displayState == DisplayState::ResultShown) {
        st.displayState = DisplayState::Normal;
        ports.screen->Repaint();
    }
    if (gisReTrain) {
        gisReTrain = false;
        for (RunView* view : views) {
            for (int k = 0; k < gDNum; ++k) {
                if (p.detectOn[k])
                    view->Retrain(k);
            }
        }
    } else if (gisReShape) {
        gisReShape = false;
        for (RunView* view : views)
            view->Retrain(1);
    }
}
