#pragma once
// Front-panel LEDs and LCD backlight, driven through "/dev/led" (gfLED).
// Without the device, each request goes as one line to the file named by
// MOULDMON_LED_LOG when set: "led 01111111 0x5A01807F" (the LED byte, bit 7
// first), "lcd off 0x5A018A00", "lcd on 0x5A018B00".

// on non-zero: backlight on and the main window's lcdOff cleared; 0: off and set.
void LCDOnOff(int on);
// Bit n of the LED byte becomes bit 0 of value, then the byte is sent.
void LEDOnOff(int n, int value);
