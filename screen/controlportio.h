#pragma once
// RunIO over the program's ControlPort (gpControlIO) and its door flag
// gisSafeDoorOpen; it only forwards.

#include "screen/runio.h"

#include <QtGlobal>

class ControlPort;

class ControlPortIO : public RunIO
{
public:
    explicit ControlPortIO(ControlPort& port) : port(port) {}
    Q_DISABLE_COPY(ControlPortIO)

    void IOSetOut(int i, int on) override;
    void IOResetAllOut() override;
    void IOFlashOut() override;
    bool IOState(bool isOut, int i) const override;
    bool IOInTrigger(int n) override;
    bool safeDoorOpen() const override;
    void clearSafeDoorOpen() override;

private:
    ControlPort& port;
};
