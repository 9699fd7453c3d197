#pragma once
// RunIO over the program's ControlPort (gpControlIO) and its door flag
// gisSafeDoorOpen; it only forwards. It can also have the GUI thread told
// when the IO thread sees the board's inputs change.

#include "screen/runio.h"

#include <QtGlobal>
#include <functional>
#include <memory>

class ControlPort;
class InputChangeRelay;

class ControlPortIO : public RunIO
{
public:
    explicit ControlPortIO(ControlPort& port);
    ~ControlPortIO() override;
    Q_DISABLE_COPY(ControlPortIO)

    void IOSetOut(int i, int on) override;
    void IOResetAllOut() override;
    void IOFlashOut() override;
    bool IOState(bool isOut, int i) const override;
    bool IOInputNow(int i) const override;
    bool IOInTrigger(int n) override;
    bool safeDoorOpen() const override;
    void clearSafeDoorOpen() override;

    // From now on onChange runs on this (the GUI) thread, ahead of other
    // waiting events, soon after a status from the board changed the
    // inputs; changes that come before it ran are told once. One receiver in
    // the program at a time.
    void callOnInputChange(std::function<void()> onChange);

private:
    ControlPort& port;
    std::unique_ptr<InputChangeRelay> relay;
};
