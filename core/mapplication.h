#pragma once
// The application object: watches every mouse press and release before the
// receiving widget sees it, to restart the idle timers, to wake the LCD
// backlight and to offer the touch-screen calibration after a five-second
// press when no camera was found.

#include <QApplication>

class QTimer;

class MApplication : public QApplication
{
    Q_OBJECT
public:
    MApplication(int& argc, char** argv);
    Q_DISABLE_COPY(MApplication)

    bool notify(QObject* receiver, QEvent* event) override;

    QTimer* longPressTimer = nullptr;
    bool calibrationArmed = false;

private slots:
    void SlotLongPress();

private:
    bool onPress();
    void onRelease();
};

// SIGTERM and SIGINT end the event loop cleanly.
void InstallTerminationHandler();
bool TerminationRequested();

// Waits one second before a reboot or power-off.
void StopWTD();
// Waits, then ends the process with code.
[[noreturn]] void Exit(int code);
