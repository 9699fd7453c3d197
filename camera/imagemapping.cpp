#include "camera/imagemapping.h"

#include <cmath>

int GxContrastFactor(int v)
{
    return v > 150 ? 100 : v - 50;
}

float HikFrameRate(int captureSpeed)
{
    return captureSpeed < 5 ? 20.0f : static_cast<float>(captureSpeed);
}

int MvFrameSpeed(int captureSpeed, bool colourMode)
{
    return colourMode ? captureSpeed + 1 : captureSpeed;
}

int MvStepValue(int min, int max, int divisor, int v)
{
    return min + ((max - min) / divisor) * v;
}

int ReadBackSetting(double value, double min, double step)
{
    if (step == 0 || !std::isfinite(step))
        return 0;
    const double setting = std::trunc((value - min) / step);
    return std::isfinite(setting) ? static_cast<int>(setting) : 0;
}

// QString::asprintf formats in the C locale whatever the process locale is,
// so a decimal comma never reaches the filter text.
QString UsbContrastFilter(int contrast)
{
    return QString::asprintf("eq=contrast=%f:", static_cast<double>(contrast * 0.02f - 2.0f));
}

QString UsbGammaFilter(int gamma)
{
    return QString::asprintf("gamma=%f,", static_cast<double>(gamma * 0.0396f + 0.1f));
}

QString UsbSharpFilter(int sharp)
{
    return QString::asprintf("unsharp=5:5:%f", static_cast<double>(sharp * 0.05f));
}

void UsbFilterText::setAll(int contrast, int gamma, int sharp)
{
    contrastFilter = UsbContrastFilter(contrast);
    gammaFilter = UsbGammaFilter(gamma);
    sharpFilter = UsbSharpFilter(sharp);
    extraFilter.clear();
}
