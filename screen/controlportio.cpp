#include "screen/controlportio.h"

#include "core/controlport.h"

void ControlPortIO::IOSetOut(int i, int on)
{
    port.IOSetOut(i, on);
}

void ControlPortIO::IOResetAllOut()
{
    port.IOResetAllOut();
}

void ControlPortIO::IOFlashOut()
{
    port.IOFlashOut();
}

bool ControlPortIO::IOState(bool isOut, int i) const
{
    return port.IOState(isOut, i);
}

bool ControlPortIO::IOInTrigger(int n)
{
    return port.IOInTrigger(n);
}

bool ControlPortIO::safeDoorOpen() const
{
    return gisSafeDoorOpen;
}

void ControlPortIO::clearSafeDoorOpen()
{
    gisSafeDoorOpen = false;
}
