// Run controller: the alarm - raised by a final NG, cleared by an OK
// re-check, a skipped mould or a picture added as template - and the return
// from the area check after re-learning.

#include "screen/runcontroller.h"

#include "core/controlport.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "screen/runclock.h"
#include "screen/runio.h"
#include "screen/runnet.h"
#include "screen/runscreen.h"
#include "screen/runview.h"

// Detection stops with the interlock outputs as the inspection left them
// until the operator clears the alarm.
void RunController::RaiseAlarm(int d)
{
    const int type = para().machineType;
    const bool doorAlarm = st.doorCycle && type != 4;
    if (doorAlarm || (!st.doorCycle && type == 5 && d == 1)) {
        out(kOutClampInhibit, true);
        publish();
    }
    ports.screen->WakeLcd();
    SetStopDetect();
    st.displayState = DisplayState::Alarm;
    ports.screen->ShowAlarm();
    st.retryPending = false;
    ports.screen->SetLed(6, 0);
    ports.screen->SetLed(7, 1);
    QString line;
    for (int c = 0; c < cameras(); ++c) {
        if (!views[c]->cameraOk())
            line += LanStr(151).arg(c + 1);
    }
    line.chop(1);
    recordLine(line + LanStr(152));
    st.alarmStart = ports.clock->elapsedMs();
}

// An OK decision while the alarm is shown ends it.
void RunController::AlarmEnd(int d)
{
    const WizardPara& p = para();
    if (d == 0 && p.ejectorPulseOnNG)
        return;
    ports.screen->EndAlarm();
    st.displayState = DisplayState::Normal;
    switch (p.machineType) {
    case 1:
    case 2:
        if (d == 0)
            resumeAfterAlarm(false, true);
        else
            StartDetect();
        break;
    case 4:
        resumeAfterAlarm(false, false);
        break;
    default:
        if (d == 0) {
            resumeAfterAlarm(false, true);
            if (!p.semiAuto) {
                // the next pass schedules the mould step of the interrupted cycle
                st.simulatedInput = 1;
                st.queuedStep = 1;
            }
        } else if (p.machineType == 5) {
            resumeAfterAlarm(true, false);
        } else {
            StartDetect();
        }
        break;
    }
    if (netUp()) {
        RunNet& net = *ports.net;
        net.AddNgTimes(ports.clock->elapsedMs() - st.alarmStart);
        if (net.isClientConnected() && p.ngVideo && p.videoType != 0)
            net.SendSaveNgVideo(1, 0);
        net.SendCancel();
    }
}

// Detection goes on from where the alarm stopped it: the alarm output off,
// and the clamp or ejector inhibit when asked.
void RunController::resumeAfterAlarm(bool clampOff, bool ejectorOff)
{
    out(kOutAlarm, false);
    if (clampOff)
        out(kOutClampInhibit, false);
    if (ejectorOff)
        out(kOutEjectorInhibit, false);
    publish();
    ResetRun();
    st.runState = RunState::Detecting;
}

// The editor's re-check: every camera not left out inspects the current step
// again on its newest frame, then the decision (which ends the alarm when
// all pass).
void RunController::ReCheckStep()
{
    const WizardPara& p = para();
    const int d = st.curDetect;
    ResetRun();
    const int pending = p.machineType == 1 || p.machineType == 2 ? d & 1 : d;
    st.pendingCameras[pending] = 0;
    if (p.machineType == 5) {
        out(kOutClampInhibit, false);
    } else if (pending == LastStep()) {
        if (!p.cutClampOnMouldAlarm)
            out(kOutClampInhibit, true);
    } else if (pending == 0 && !p.noEjectorControl && !p.ejectorPulseOnNG && !p.cutEjectorOnProductAlarm) {
        out(kOutEjectorInhibit, true);
    }
    publish();
    QVector<int> again;
    for (int c = 0; c < cameras(); ++c) {
        if (st.noDetect[c][d] || !p.detectOn[d])
            continue;
        st.pendingCameras[pending] |= quint32(1) << c;
        if (st.imageState[c][d] == ResultImageState::NgKept)
            st.imageState[c][d] = ResultImageState::ReDetectAsked;
        again.append(c);
    }
    const bool judged = judgeAtOnce(again, d);
    for (int c : again)
        RunAlgorithm(c, d, judged);
    st.manualReCheck = true;
    CheckNG();
}

// Skip this mould on every camera: no camera is inspected again and the
// decision ends the alarm.
void RunController::SkipMouldAllCameras()
{
    const int d = st.curDetect;
    ResetRun();
    for (int c = 0; c < cameras(); ++c) {
        if (st.imageState[c][d] == ResultImageState::NgKept)
            st.imageState[c][d] = ResultImageState::NotDetected;
    }
    st.manualReCheck = true;
    CheckNG();
    recordLine(LanStr(103));
}

// The camera is left out of the current step for the rest of the cycle; its
// kept NG picture is marked with how the alarm was cleared.
void RunController::leaveOut(int camera, int clearedState)
{
    const int d = st.curDetect;
    st.noDetect[camera][d] = true;
    if (st.imageState[camera][d] == ResultImageState::NgKept)
        st.imageState[camera][d] = clearedState;
}

// Skip this mould on one camera; the others are inspected again.
void RunController::SkipMouldCamera(int camera)
{
    if (camera < 0 || camera >= cameras())
        return;
    leaveOut(camera, ResultImageState::NotDetected);
    recordLine(LanStr(106).arg(camera + 1));
    ReCheckStep();
}

// The live picture of the camera became a template (and the camera was
// re-trained): it passes, the others are inspected again.
void RunController::TemplateAdded(int camera)
{
    if (camera < 0 || camera >= cameras())
        return;
    leaveOut(camera, ResultImageState::AddedAsTemplate);
    ReCheckStep();
}

void RunController::AlarmOutputOff()
{
    out(kOutAlarm, false);
    publish();
}

// Return from the area check that followed the re-learning.
void RunController::BackTrain()
{
    const WizardPara& p = para();
    if (!p.okNgPulses) {
        out(kOutClampInhibit, false);
        const bool single = p.machineType == 0 || p.machineType == 3 || p.machineType == 5;
        if (single && p.cutEjectorWhenClamping && p.detectOn[0] && !p.noEjectorControl && !p.ejectorPulseOnNG)
            out(kOutEjectorInhibit, true);
        publish();
    }
    st.runState = RunState::Detecting;
    CheckNG();
    gisReTrain = true;
}

void RunController::CheckArea(bool /*flag*/)
{
    ports.screen->HideSettings();
    if (ports.screen->CheckPassword() > 0) {
        st.displayState = DisplayState::Editing;
        ports.screen->EnterAreaCheck();
        gFromTrain = true;
    } else {
        st.runState = RunState::Detecting;
    }
}
