#pragma once
// The main window as the run controller sees it (RunScreen): the alarm
// layout, the display hooks, the access check, the LEDs and the warning box.
// Where the region editor takes over (its Reset, Restart and re-check), its
// place is marked and the window does the screen part.

#include "screen/runscreen.h"

#include <QtGlobal>

class MainWindow;
class RunController;

class WindowRunScreen : public RunScreen
{
public:
    explicit WindowRunScreen(MainWindow& window) : window(window) {}
    Q_DISABLE_COPY(WindowRunScreen)

    void setController(RunController* c) { controller = c; }

    bool cameraLost() const override;
    void CameraRestart() override;
    void ShowAlarm() override;
    void EndAlarm() override;
    void AlarmReCheck() override;
    void HideSettings() override;
    int CheckPassword() override;
    void EnterAreaCheck() override;
    void DeleteAllTemplates() override;
    void SaveSerials() override;
    bool InspectAll(const QVector<RunView*>& views, int step) override;
    void CountdownTick() override;
    void Repaint() override;
    void PassEnded() override;
    int selectedView() const override;
    void SetLed(int n, int value) override;
    void WakeLcd() override;
    void ShowWarning(const QString& text) override;
    void HideWarning() override;

private:
    MainWindow& window;
    RunController* controller = nullptr;
};
