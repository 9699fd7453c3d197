#pragma once
// The statistics day and its shifts: 24 hourly slots from 08:00 to 07:59 of
// the next calendar day; slots 0-11 are the morning shift (08:00-19:59),
// slots 12-23 the night shift (20:00-07:59).

#include <QDate>
#include <QDateTime>
#include <QList>

enum ShiftType { MorningShift = 0, NightShift = 1, WholeDay = 2 };

constexpr int kSlotsPerDay = 24;
constexpr int kSlotsPerShift = 12;
constexpr int kDayStartHour = 8;

// The slot holding the results of an hour of the clock (0-23).
int SlotOfHour(int hour);
// The hour of the clock whose results a slot holds.
int HourOfSlot(int slot);
// The statistics day a moment belongs to: before 08:00 it is the previous date.
QDate StatisticsDayOf(const QDateTime& moment);
// The first slot and the slot count of a shift; {0, 0} for any other value.
struct SlotRange {
    int first = 0;
    int count = 0;
};
SlotRange SlotsOf(int shift);
// The hours written under the bars of a shift's chart.
QList<int> HourLabels(ShiftType shift);
