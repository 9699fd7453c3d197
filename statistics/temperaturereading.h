#pragma once
// A board temperature as the temperature boxes hold it: tenths of a degree,
// truncated toward zero. A temperature that is not a number has no reading
// and is never in range; an infinite one is held at the end of the int range.

struct TemperatureReading {
    int tenths = 0;
    bool valid = true;
};

TemperatureReading ReadTemperature(float celsius);
// low <= tenths <= high, both bounds included.
bool InRange(const TemperatureReading& reading, int low, int high);
