#pragma once
// Front-panel LEDs and LCD backlight, driven through "/dev/led".

// on non-zero: backlight on and the main window's lcdOff cleared; 0: off and set.
void LCDOnOff(int on);
// Bit n of the LED byte becomes bit 0 of value, then the byte is sent.
void LEDOnOff(int n, int value);
