#pragma once
// The run controller's state: the four state machines of the monitor and the
// bookkeeping of the running cycle. The main window, the camera views and
// the region editor read it through RunController::state().

#include "core/globals.h"

#include <QtGlobal>

// Inputs a trigger choice can name (terminals 1..9, inputs 0..8).
constexpr int kTriggerInputs = 9;
// Region NG outputs 4..7.
constexpr int kRegionOutputs = 4;

namespace RunState {
enum { Detecting = 1, Relearning = 2, Stopped = 3 };
}

namespace DisplayState {
enum { Normal = 0, ResultShown = 1, Alarm = 2, Editing = 3 };
}

// State of the result pictures of one camera and step.
namespace ResultImageState {
enum {
    None = 0,
    CycleStarted = 1,
    OkReady = 2,
    NgKept = 3,          // NG picture kept while the alarm is open
    NotDetected = 4,     // skip-mould
    AddedAsTemplate = 5,
    Reserved = 6,
    ReDetectAsked = 7,   // operator re-check
    ReDetectOk = 8,
    NgReady = 9,
    NgAndOkReady = 10,
};
}

struct RunControlState {
    int runState = RunState::Detecting;
    int displayState = DisplayState::Normal;
    int imageState[kMaxCameras][kMaxDetects] = {};
    // Input + 1 that started the cycle, ~step for a manual trigger, 0 once reported.
    int trigSource = 0;

    int curDetect = 0;     // step of the running or last inspection
    int shownDetect = 0;   // step whose result is shown
    int lastStation = 0;   // multi-detection: step scheduled or inspected last
    int side = 0;          // two-colour and rotary table: 1 left (steps 0/1), 0 right (2/3)

    quint32 pendingCameras[kMaxDetects] = {};  // bit c: camera c still due in this cycle
    int retryLeft[kMaxDetects] = {};
    bool retryPending = false;
    bool doorCycle = false;       // the decision comes from the safety-door trigger
    bool manualCycle = false;     // the decision comes from a manual trigger
    bool manualReCheck = false;   // set by the alarm-clearing actions before their decision
    bool anyCameraNg = false;     // the last decision had an NG camera

    int queuedStep = -1;      // step started by the next activation whatever its input
    int simulatedInput = -1;  // input treated as active on the next pass
    int expectedInput = -1;   // multi-detection: input continuing the stations
    int manualStep = 0;       // step of a pending manual trigger; gDNum when none

    float countdown[kMaxDetects] = {};  // seconds left per step
    int countdownPhase = 3;             // 1 counting, 2 judged, 3 result shown

    bool latchedInput[kTriggerInputs] = {};  // level confirmed by the debounce timer
    bool countCycle[kMaxCameras] = {};
    bool countNg[kMaxCameras] = {};
    bool regionOutputs[kRegionOutputs] = {};
    bool noDetect[kMaxCameras][kMaxDetects] = {};  // camera left out of the step (skip-mould)
    bool relearn[kMaxCameras][kMaxDetects] = {};   // next inspection stores template 0

    qint64 cycleStart = 0;    // tenths of a second, monotonic
    qint64 cycleLength = 0;   // tenths of a second between the last two cycle starts
    qint64 alarmStart = 0;    // monotonic milliseconds of the last alarm or retry
    bool noInputWarned = false;
    bool saveOriginals = false;  // save every inspected frame under ./originalimage
    int frameCount[kMaxCameras] = {};
    // A scheduled step is judged on frames taken after it was scheduled:
    // frameCount at scheduling, and the end of the wait for late frames
    // (monotonic ms, 0 while not waiting).
    bool freshNeeded[kMaxDetects] = {};
    int frameMark[kMaxDetects][kMaxCameras] = {};
    qint64 frameWaitUntil[kMaxDetects] = {};

    // Kept across passes.
    int tR = 0;                 // passes since start-up or the last camera restart
    quint32 cTrigImage = 0;     // external trigger: cameras with a frame since the last cycle
    int lastDelay = 0;          // delay of the step scheduled last, tenths
    int testPictureIndex = 0;   // next camera-less test picture, 0..4
};

// Shared with the region editor and the camera views.
extern int gRunCount;       // polling passes since start
extern bool gFromTrain;     // area check after re-learning in progress
extern bool gisReTrain;     // re-train every enabled step after the next result display
extern bool gisReShape;     // re-train step 1 after the next result display
extern bool gisTempAlarm;   // temperature alarm (counts as NG on step 1)
