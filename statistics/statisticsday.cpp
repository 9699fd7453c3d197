#include "statistics/statisticsday.h"

int SlotOfHour(int hour)
{
    return (hour - kDayStartHour + kSlotsPerDay) % kSlotsPerDay;
}

int HourOfSlot(int slot)
{
    return (slot + kDayStartHour) % kSlotsPerDay;
}

QDate StatisticsDayOf(const QDateTime& moment)
{
    const QDate date = moment.date();
    return moment.time().hour() < kDayStartHour ? date.addDays(-1) : date;
}

SlotRange SlotsOf(int shift)
{
    switch (shift) {
    case MorningShift:
        return {0, kSlotsPerShift};
    case NightShift:
        return {kSlotsPerShift, kSlotsPerShift};
    case WholeDay:
        return {0, kSlotsPerDay};
    default:
        return {};
    }
}

QList<int> HourLabels(ShiftType shift)
{
    const SlotRange range = SlotsOf(shift);
    QList<int> hours;
    for (int s = range.first; s < range.first + range.count; ++s)
        hours << HourOfSlot(s);
    return hours;
}
