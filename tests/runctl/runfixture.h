#pragma once
// A run controller on the program's ControlPort (on a board that does not
// exist, so the test alone sets the inputs), a clock the test steps, camera
// views whose verdicts the test chooses, a recording screen and network
// link, and the operation record in a temporary working directory.

#include "core/controlport.h"
#include "core/globals.h"
#include "core/wizardpara.h"
#include "screen/controlportio.h"
#include "screen/operationrecord.h"
#include "screen/runcontroller.h"
#include "screen/runnet.h"
#include "screen/runscreen.h"
#include "screen/runview.h"
#include "fakeclock.h"
#include "tests/common/testsupport.h"
#include "tests/common/testsupport.h"

#include <QSqlDatabase>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

// Logical output bits of a published word.
enum : int { O0 = 1, O1 = 2, O2 = 4, O3 = 8, O4 = 16, O5 = 32, O6 = 64, O7 = 128 };

// RunIO over a real ControlPort; remembers every change of the published
// word, decoded back into logical outputs, with the time it was published.
class RecordingIO : public RunIO
{
public:
    RecordingIO(ControlPort& port, FakeClock& clock) : inner(port), clock(clock) {}

    void IOSetOut(int i, int on) override { inner.IOSetOut(i, on); }
    void IOResetAllOut() override { inner.IOResetAllOut(); }
    void IOFlashOut() override;
    bool IOState(bool isOut, int i) const override { return inner.IOState(isOut, i); }
    bool IOInputNow(int i) const override { return inner.IOInputNow(i); }
    bool IOInTrigger(int n) override;
    bool safeDoorOpen() const override { return inner.safeDoorOpen(); }
    void clearSafeDoorOpen() override { inner.clearSafeDoorOpen(); }

    struct Change {
        qint64 t;
        int word;
    };
    std::vector<Change> changes;
    int word() const { return changes.empty() ? 0 : changes.back().word; }
    int wordAt(qint64 t) const;
    // Times at which the word became `word`.
    std::vector<qint64> timesOf(int word) const;

private:
    void note();

    ControlPortIO inner;
    FakeClock& clock;
};

class FakeView : public RunView
{
public:
    FakeView(int index, FakeClock& clock) : index(index), clock(clock) {}

    bool TakeFrame() override;
    void ShowLiveFrame() override {}
    void SetWB() override { ++whiteBalance; }
    void LoadTestPicture(const QString& file) override { calls << "LoadTestPicture " + file; }
    void SaveOriginal(const QString& file) override { calls << "SaveOriginal " + file; }
    void Inspect(int step) override;
    bool cameraOk() const override { return ok; }
    QString frameFault() const override { return fault; }
    void setCameraOk(bool value) override { ok = value; }
    QVector<FailedRegion> FailedRegions(int step) const override
    {
        return !ok && (failedStep < 0 || failedStep == step) ? failed : QVector<FailedRegion>();
    }
    void PushNgRing(int step) override { calls << QStringLiteral("PushNgRing %1").arg(step); }
    void UpdateLive() override {}
    void SaveReTrainImage(int step) override { calls << QStringLiteral("SaveReTrainImage %1").arg(step); }
    void StartBlink() override { ++blinks; }
    void SaveFailImage(int step, int kind, bool door) override;
    void UpdateFailImage(int step, int kind, int state) override;
    void HandOff(int step, bool ng, bool okPicture) override;
    void ResetResults(int) override { ok = true; }
    void Retrain(int step) override { calls << QStringLiteral("Retrain %1").arg(step); }
    void ClearIgnorePoints(int step) override { calls << QStringLiteral("ClearIgnorePoints %1").arg(step); }

    // Calls matching a prefix.
    QStringList callsOf(const QString& prefix) const { return calls.filter(QRegExp("^" + QRegExp::escape(prefix))); }

    int index;
    bool verdict[kMaxDetects] = {true, true, true, true, true, true, true, true};
    QVector<FailedRegion> failed{{0, 0}};  // the regions of an NG verdict
    int failedStep = -1;                   // the step they belong to; -1 any
    bool delivering = true;    // a new frame on every pass
    int frameTakes = 0;        // TakeFrame calls
    qint64 pictureMs = 0;      // the clock moves on while a result picture is made
    std::function<void(int step)> whilePicture;   // runs first
    QString fault;             // the latest frame cannot be used
    bool ok = true;
    int whiteBalance = 0;
    int blinks = 0;
    QStringList calls;
    struct Inspection {
        qint64 t;
        int step;
        int frameTakes;   // TakeFrame calls until then
    };
    std::vector<Inspection> inspections;

private:
    FakeClock& clock;
};

class RunController;

// The main window as the controller sees it; the re-check input runs the
// editor's re-check core at once, as DrawROIWidget::SlotReCheck does.
class FakeScreen : public RunScreen
{
public:
    bool cameraLost() const override { return lost; }
    void CameraRestart() override;
    void ShowAlarm() override { events << "ShowAlarm"; }
    void EndAlarm() override { events << "EndAlarm"; }
    void AlarmReCheck() override;
    void HideSettings() override { events << "HideSettings"; }
    int CheckPassword() override { return passwordLevel; }
    void EnterAreaCheck() override { events << "EnterAreaCheck"; }
    void DeleteAllTemplates() override { events << "DeleteAllTemplates"; }
    void SaveSerials() override { events << "SaveSerials"; }
    void CountdownTick() override { ++ticks; }
    void Repaint() override {}
    void PassEnded() override
    {
        ++passes;
        if (onPassEnded)
            onPassEnded();
    }
    int selectedView() const override { return selected; }
    void SetLed(int n, int value) override { led[n] = value; }
    void WakeLcd() override { events << "WakeLcd"; }
    void ShowWarning(const QString& text) override { events << "Warning " + text; }
    void HideWarning() override { events << "HideWarning"; }
    // Judges the views at once, each through its Inspect, as the program's
    // window does when judgeAtOnce is set: on when the environment names
    // RUNCTL_INSPECT_AT_ONCE, so that the whole suite runs both ways.
    bool InspectAll(const QVector<RunView*>& list, int step) override;

    RunController* controller = nullptr;
    bool judgeAtOnce = qEnvironmentVariableIsSet("RUNCTL_INSPECT_AT_ONCE");
    // Time the clock moves on while InspectAll judges, firing the timers
    // that come due meanwhile, as the program's window serves its events
    // while other threads judge; whileJudging runs first.
    qint64 judgingMs = 0;
    std::function<void()> whileJudging;
    FakeClock* clock = nullptr;
    struct AtOnce {
        QVector<RunView*> views;
        int step;
        int passes = 0;   // passes ended while it judged
        int ticks = 0;    // countdown ticks shown while it judged
    };
    std::vector<AtOnce> atOnce;   // every InspectAll that judged
    // Runs while the re-check waits (as a question the editor asks would).
    std::function<void()> duringReCheck;
    std::function<void()> onPassEnded;   // runs at the end of each pass
    bool lost = false;
    bool restartRecovers = false;
    int restarts = 0;
    int passwordLevel = 2;
    int selected = 0;
    int ticks = 0;
    int passes = 0;
    int led[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
    QStringList events;
};

class FakeNet : public RunNet
{
public:
    bool isSetUp() const override { return up; }
    bool isClientConnected() const override { return connected; }
    void SendStatisticsOnce(bool anyNg, int trigSource) override
    {
        calls << QStringLiteral("Once %1 %2").arg(anyNg).arg(trigSource);
    }
    void SendSaveNgVideo(int a, int b) override { calls << QStringLiteral("Video %1 %2").arg(a).arg(b); }
    void SendTelInfo(int step, int n) override { calls << QStringLiteral("Tel %1 %2").arg(step).arg(n); }
    void AddStatisticsItem(int c, int step, int r) override { calls << QStringLiteral("Item %1 %2 %3").arg(c).arg(step).arg(r); }
    void SendStatistics() override { calls << "Statistics"; }
    void AddNgTimes(qint64 ms) override { calls << QStringLiteral("NgTimes %1").arg(ms); }
    void SendCancel() override { calls << "Cancel"; }
    void SendRecord(const QDateTime&, const QString& level, const QString& text) override
    {
        calls << "Record " + level + " " + text;
    }

    bool up = false;
    bool connected = false;
    QStringList calls;
};

// A test name made of a case's description.
std::string CaseName(const char* text);

class RunTest : public ::testing::Test
{
protected:
    RunTest();
    ~RunTest() override;

    // Derives the detection table from `para`, builds the controller over
    // `cameras` views and runs the end of the start-up, then lets 100 ms
    // pass (the door is closed unless doorClosed is false).
    void start(int cameras = 1, bool doorClosed = true);

    RunControlState& st() { return ctl->state(); }
    FakeView& view(int c = 0) { return *views[c]; }
    void advance(qint64 ms) { clock.advance(ms); }
    qint64 now() const { return clock.elapsedMs(); }
    int out() const { return io->word(); }
    int outAt(qint64 t) const { return io->wordAt(t); }

    static void setInput(int n, bool level);
    // Input n high for ms milliseconds (the time passes), then low.
    void pulse(int n, qint64 ms = 50);
    // Sets the verdict of step s for every camera.
    void verdict(int s, bool ok);

    QStringList records();   // remarks of RECORD.db, in order
    QStringList recordRows(); // "time|level|remark"
    static QString fileText(const QString& name);

    TempWorkDir work;
    WizardPara para;
    FakeClock clock{QDateTime(QDate(2024, 3, 5), QTime(10, 0, 0))};
    std::unique_ptr<ControlPort> port;
    std::unique_ptr<RecordingIO> io;
    FakeScreen screen;
    FakeNet net;
    std::unique_ptr<OperationRecord> rec;
    std::vector<std::unique_ptr<FakeView>> views;
    std::unique_ptr<RunController> ctl;
    QSqlDatabase recordDb;

private:
    WizardPara* savedPara = nullptr;
};
