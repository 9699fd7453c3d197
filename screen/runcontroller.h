#pragma once
// The run controller: the polling pass over the machine's inputs, the
// delayed inspection of each detection step, the OK/NG decision with the
// interlock outputs (clamp inhibit, ejector inhibit, alarm, region NG
// outputs) and the alarm state. Everything runs on the GUI thread; the
// hand-overs from other threads are the frame hand-off inside RunView and
// work the controller waits for while the GUI thread serves its events: the
// judgement of a step (RunScreen::InspectAll) and the count file of the
// decision. While it waits, a pass that comes due ends at once (no frame, no
// rule) and every other timer of the controller holds its work; that work
// runs in the order it came once the decision was made, as if the waiting
// had held the thread.
//
// Wiring by the main window (which owns one RunController):
//   - Ports: ControlPortIO over gpControlIO, a QtRunClock, the window itself
//     as RunScreen, the network link as RunNet (or a plain RunNet), and an
//     OperationRecord on the "dbRecord" connection (setUserLevel from the
//     window's userLevel, setNet). MainWindow::InsertRecord is
//     record().InsertRecord, CountWrite is OperationRecord::CountWrite.
//   - After the settings load (pass &state().side to LoadDatafromFile):
//     Init(); once the camera views exist: setViews(views in camera order);
//     at the end of start-up: Start() (record day and roll-over, StartDetect,
//     polling pass after 5 ms, date and temperature timers, ready line,
//     counters).
//   - Buttons: SlotManualTrig(0/1/chosen step); SlotSimulationTrigIn1..8:
//     SimulateInput(0..7); StartByCommand / StopByCommand after the password
//     and the question; ReSample after its question.
//   - Region editor: RunScreen::AlarmReCheck calls its SlotReCheck, which
//     ends in ReCheckStep; SkipMouldAllCameras, SkipMouldCamera,
//     TemplateAdded, BackTrain; its Restart sets displayState 0 through
//     state(); the commands that open the editor set displayState 3.
//   - Views and title bar read state(): countdown, countdownPhase,
//     displayState, imageState, anyCameraNg, curDetect, frameCount.

#include "screen/runstate.h"

#include <QVector>
#include <QtGlobal>
#include <array>
#include <deque>
#include <functional>
#include <memory>

class OperationRecord;
class RunClock;
class RunIO;
class RunNet;
class RunScreen;
class RunTimer;
class RunView;
class WizardPara;

class RunController
{
public:
    struct Ports {
        RunIO* io = nullptr;
        RunScreen* screen = nullptr;
        RunNet* net = nullptr;
        RunClock* clock = nullptr;
        OperationRecord* record = nullptr;
    };

    static constexpr int kPassMs = 3;   // from the end of a pass to the next

    explicit RunController(const Ports& ports);
    ~RunController();
    Q_DISABLE_COPY(RunController)

    void setViews(const QVector<RunView*>& views);
    RunControlState& state() { return st; }
    const RunControlState& state() const { return st; }
    OperationRecord& record() { return *ports.record; }

    // Start-up: initial values once the settings are loaded, then the start
    // of detection at the end of the start-up.
    void Init();
    void Start();

    // Polling pass and trigger inputs.
    void Run();
    // The board's inputs changed: in the 3 ms cadence the next pass runs at
    // once (not during a pass nor while a lost camera slows the passes).
    void InputChanged();
    void CheckInput(int n);      // debounce timer of input n expired
    void InCheck();              // no-input watchdog expired
    void SlotManualTrig(int step);
    void SimulateInput(int n);   // input n counts as active on the next pass

    // Countdowns and inspection.
    bool countdownActive(int step) const;   // the step's countdown timer runs
    void TimerUp(int step);
    // judged: the view's inspection of the step already ran (InspectAll).
    QVector<int> usableFrames(const QVector<int>& cameraList, int step);
    void showWarningLater(const QString& text);
    bool framesReady(int step);
    bool staleFrame(int step, int camera) const;
    void markFrames(int step);
    bool stepBusy(int step) const;
    // The controller waits for work that may serve the GUI thread's events
    // (the judgement of a step, the decision).
    bool waiting() const { return waitDepth > 0; }
    void RunAlgorithm(int camera, int detect, bool judged = false);
    void ReCheck();

    // Decision, outputs and alarm state.
    void CheckNG();
    void TimerShow();
    void OutTimerOutNG();
    void OutTimerNotAllowClose();
    void OutTimerNotAllowThimble();
    void OutTimerReserveOutput();
    void SlotResetAlarm();
    void CheckTemp();
    void ResetRun();
    void StartDetect();
    void SetStopDetect();
    void StopDetect();
    void BackTrain();
    void CheckArea(bool flag);

    // Main-window commands (after their access check and question).
    void StartByCommand();
    void StopByCommand();
    void ReSample();

    // Alarm clearing by the region editor: inspect the current step again
    // and decide; skip the mould for every camera or for one; the live
    // picture of camera c was added as a template.
    void ReCheckStep();
    void SkipMouldAllCameras();
    void SkipMouldCamera(int camera);
    void TemplateAdded(int camera);
    // The operator looks at something else than the live picture during the
    // alarm: the alarm output goes off (the interlocks stay).
    void AlarmOutputOff();

    // The state a result picture moves to once UpdateFailImage captioned it.
    static int CaptionedState(int imageState);
    // Last detection step: gDNum - 1 on the multi-detection type, else 1.
    static int LastStep();
    // Logical output that interlocks step k on the multi-detection type.
    static int StationOutput(int k);

private:
    const WizardPara& para() const;
    int cameras() const { return views.size(); }
    quint32 allCameras() const;
    void out(int i, bool on);
    void publish();
    void recordLine(const QString& line);
    void updateCycleTime();
    void inhibitClampAfterStart();

    // Polling pass.
    void pass();
    void armPass(int ms);   // the next pass in ms
    void passBody();
    void takeFrames();
    void endPass();
    void alarmScan();
    void clearNoDetect();
    void retryStep();
    void doorTrigger();
    void stoppedScan();
    bool countdownRunning() const;
    bool serveManualTrigger(bool busy);
    bool manualStepEnabled(int m, bool busy) const;
    void externalTrigger();
    void inputScan();
    bool acceptInput(int n);
    bool startsCycle(int n) const;
    void CycleStart(int n);
    void SecondStepStart(int n);
    bool StationLogic(int n);
    void stationOutputsOn(int from, int owner);
    bool ScheduleSteps(int n);
    bool stepEnabled(int d) const;
    bool stepMatches(int d, int n);
    void loadTestPicture();

    // Inspection.
    int inspectedStep(int detect) const;
    bool judgeAtOnce(const QVector<int>& cameraList, int detect);
    std::unique_ptr<RunTimer> timer(bool singleShot, std::function<void()> work);
    // While the controller waits for work that may serve the GUI thread's
    // events: the passes end at once and the timers hold their work.
    class Waiting
    {
    public:
        explicit Waiting(RunController& controller);
        ~Waiting();
        Q_DISABLE_COPY(Waiting)

    private:
        RunController& controller;
    };
    void releaseHeldWork();
    void cameraNgOutputs(int p);
    void cameraNgBookkeeping(int camera, int s, int p);
    void pruneOriginals();
    void saveOriginal(int camera, int s);
    void relearnStep(int camera, int s);

    // Decision.
    int decisionStep() const;
    bool judgeCameras();
    bool netUp() const;
    void reportCycle(bool anyNg, int d);
    void reportFinalNg(int d);
    void pulseResult(bool ng);
    void ngOutputs(int d);
    void okOutputs(int d, bool manual);
    void RaiseAlarm(int d);
    void AlarmEnd(int d);
    void resumeAfterAlarm(bool clampOff, bool ejectorOff);
    void leaveOut(int camera, int clearedState);
    void resultDisplay(bool anyNg, int d, bool manual);
    void resultImages(int d);
    void handOff();
    void countCycle(bool anyNg, int d);
    void updateExpectedInput();
    void pulseTimer(RunTimer& timer, int tenths);

    Ports ports;
    QVector<RunView*> views;
    RunControlState st;
    bool newFrame[kMaxCameras] = {};

    std::unique_ptr<RunTimer> runTimer;
    int passDelayMs = 0;   // what runTimer was last started with
    std::unique_ptr<RunTimer> inCheckTimer;
    std::array<std::unique_ptr<RunTimer>, kTriggerInputs> debounceTimer;
    std::array<std::unique_ptr<RunTimer>, kMaxDetects> countdownTimer;
    std::unique_ptr<RunTimer> showTimer;
    std::unique_ptr<RunTimer> outNgTimer;
    std::unique_ptr<RunTimer> clampPulseTimer;
    std::unique_ptr<RunTimer> ejectorPulseTimer;
    std::unique_ptr<RunTimer> reserveTimer;
    std::unique_ptr<RunTimer> alarmResetTimer;
    std::unique_ptr<RunTimer> tempTimer;
    std::unique_ptr<RunTimer> dateTimer;
    std::unique_ptr<RunTimer> warnTimer;   // shows pendingWarning outside the pass
    QString pendingWarning;
    int waitDepth = 0;
    bool inPass = false;
    int originalsKept = -1;   // files under ./originalimage; -1 not yet counted
    std::deque<std::function<void()>> heldWork;   // timers' work that came while waiting
    std::unique_ptr<RunTimer> releaseTimer;        // runs it after the wait
    bool countWriteFailed = false;   // reported; reported again after a good write
};
