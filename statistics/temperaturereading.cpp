#include "statistics/temperaturereading.h"

#include <climits>
#include <cmath>

TemperatureReading ReadTemperature(float celsius)
{
    if (std::isnan(celsius))
        return {0, false};
    const double tenths = std::trunc(double(celsius) * 10.0);
    if (tenths >= double(INT_MAX))
        return {INT_MAX, true};
    if (tenths <= double(INT_MIN))
        return {INT_MIN, true};
    return {int(tenths), true};
}

bool InRange(const TemperatureReading& reading, int low, int high)
{
    return reading.valid && low <= reading.tenths && reading.tenths <= high;
}
