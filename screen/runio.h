#pragma once
// The IO board as the run controller uses it: logical outputs 0..8 set in a
// pending word and published, inputs with rising edges that a call consumes,
// and the flag the board link raises when the safety door opens. The
// program's ControlPort serves it through ControlPortIO.

class RunIO
{
public:
    virtual ~RunIO() = default;
    virtual void IOSetOut(int i, int on) = 0;   // pending word only
    virtual void IOResetAllOut() = 0;
    virtual void IOFlashOut() = 0;              // publish the pending word
    virtual bool IOState(bool isOut, int i) const = 0;
    // Input i in the board's newest status, whether or not a pass fetched it.
    virtual bool IOInputNow(int i) const = 0;
    // True once per activation of input n (and the door handling runs).
    virtual bool IOInTrigger(int n) = 0;
    // The safety door opened since the flag was last cleared.
    virtual bool safeDoorOpen() const = 0;
    virtual void clearSafeDoorOpen() = 0;
};
