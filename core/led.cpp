#include "core/led.h"

#include "core/globals.h"
#include "core/hostwindow.h"

#include <sys/ioctl.h>

namespace {
const unsigned long kLedBase = 0x5A018000UL;
const unsigned long kLcdOff = 0x5A018A00UL;
const unsigned long kLcdOn = 0x5A018B00UL;
unsigned char gLedByte = 0xFF;

void request(unsigned long code)
{
    if (gfLED > 0)
        ioctl(gfLED, code);
}
}  // namespace

void LCDOnOff(int on)
{
    request(on ? kLcdOn : kLcdOff);
    if (gpHost)
        gpHost->setLcdOff(on == 0);
}

void LEDOnOff(int n, int value)
{
    if (n < 0 || n > 7)
        return;
    if (value & 1)
        gLedByte = static_cast<unsigned char>(gLedByte | (1u << n));
    else
        gLedByte = static_cast<unsigned char>(gLedByte & ~(1u << n));
    request(kLedBase | gLedByte);
}
