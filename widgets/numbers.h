#pragma once
// Numbers typed on the touch keypads. Whatever is typed, a number beyond the
// range of int saturates at its limit instead of wrapping.

class QString;

// A decimal integer text ("-12", "0042"); 0 when the text is not one.
int ParseSaturated(const QString& text);
// The integer part of v, saturated; 0 for NaN.
int SaturatedInt(double v);
// value x 10 + digit, saturated (one more digit typed after value).
int AppendDigit(int value, int digit);
