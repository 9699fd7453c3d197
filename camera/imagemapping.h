#pragma once
// How the image settings (0..N steps of the settings record) map onto the
// devices' own ranges, and back. Pure functions, shared by the families.

#include <QString>

// Software contrast factor of family 4 for contrast v: -50..100.
int GxContrastFactor(int v);
// Frame rate of family 7 for the capture speed setting.
float HikFrameRate(int captureSpeed);
// Frame-speed step of family 6: one above the setting in colour mode.
int MvFrameSpeed(int captureSpeed, bool colourMode);

// min + ((max - min) div divisor) * v, truncated: the family 6 integer steps
// (sharpness 100, contrast 200, gamma 250).
int MvStepValue(int min, int max, int divisor, int v);
// The setting a device value stands for: trunc((value - min) / step), 0 when
// the step is 0 (a device range narrower than the scale).
int ReadBackSetting(double value, double min, double step);

// The parts of the USB filter text: "eq=contrast=%f:", "gamma=%f,",
// "unsharp=5:5:%f", numbers in the C locale.
QString UsbContrastFilter(int contrast);
QString UsbGammaFilter(int gamma);
QString UsbSharpFilter(int sharp);

// The filter text of a view: contrast, gamma, sharpness and extra parts joined.
struct UsbFilterText {
    QString contrastFilter;
    QString gammaFilter;
    QString sharpFilter;
    QString extraFilter;   // always empty

    void setAll(int contrast, int gamma, int sharp);
    QString joined() const { return contrastFilter + gammaFilter + sharpFilter + extraFilter; }
};

// Settings a restore of USB defaults puts back.
constexpr int kUsbDefaultContrast = 140;
constexpr int kUsbDefaultGamma = 40;
constexpr int kUsbDefaultSharp = 0;
