#include "settings/ioassignment.h"

#include "core/ionames.h"
#include "core/wizardpara.h"

#include <algorithm>

namespace {

int inRange(int value, int lo, int hi, int fallback)
{
    return value >= lo && value <= hi ? value : fallback;
}

}  // namespace

void IoAssignment::load(const WizardPara& p)
{
    n = inRange(p.multiDetectCount, kMinCount, kRows, kMinCount);
    for (int i = 0; i < kRows; ++i) {
        owners[i] = inRange(p.outputOwner[i], -1, kRows - 1, -1);
        triggers[i] = inRange(p.rowTrigger[i], 0, kRows - 1, 0);
        cutModes[i] = inRange(p.rowCutMode[i], 0, kCutModes - 1, 0);
        inNames[i] = inRange(p.inputNameIdx[i], 0, kInNameCount - 1, 0);
        outNames[i] = inRange(p.outputNameIdx[i], 0, kOutNameCount - 1, 0);
    }
    setCount(n);
}

void IoAssignment::store(WizardPara& p) const
{
    p.multiDetectCount = n;
    for (int i = 0; i < kRows; ++i) {
        p.rowTrigger[i] = triggers[i];
        p.outputOwner[i] = owners[i];
        p.rowCutMode[i] = cutModes[i];
    }
}

void IoAssignment::storeNames(WizardPara& p) const
{
    for (int i = 0; i < kRows; ++i) {
        p.inputNameIdx[i] = inNames[i];
        p.outputNameIdx[i] = outNames[i];
    }
}

void IoAssignment::setCount(int count)
{
    n = std::clamp(count, kMinCount, kRows);
    fitTriggers();
    // The ticks are laid again step by step; one that the earlier ones
    // close (only possible with a damaged record) is dropped.
    int kept[kRows];
    std::copy(std::begin(owners), std::end(owners), kept);
    reset();
    for (int step = 0; step < n; ++step) {
        if (kept[step] >= 0 && kept[step] < n)
            tick(kept[step], step, true);
    }
}

void IoAssignment::fitTriggers()
{
    for (int row = 0; row < n; ++row)
        triggers[row] = std::clamp(triggers[row], firstTrigger(row), n - 1);
}

int IoAssignment::owner(int step) const
{
    return rowOk(step) ? owners[step] : -1;
}

bool IoAssignment::available(int row, int step) const
{
    if (!rowOk(row) || row >= n || step < 0 || step >= n)
        return false;
    for (int k = 0; k < n; ++k) {
        const int other = owners[k];
        if (other < 0 || other == row)
            continue;
        if ((row < other && step >= k) || (row > other && step <= k))
            return false;
    }
    return true;
}

bool IoAssignment::tick(int row, int step, bool on)
{
    if (!on) {
        if (ticked(row, step))
            owners[step] = -1;
        return true;
    }
    if (!available(row, step))
        return false;
    owners[step] = row;
    return true;
}

void IoAssignment::reset()
{
    std::fill(std::begin(owners), std::end(owners), -1);
}

int IoAssignment::trigger(int row) const
{
    return rowOk(row) ? triggers[row] : 0;
}

int IoAssignment::firstTrigger(int row) const
{
    return row > 0 ? std::min(trigger(row - 1), n - 1) : 0;
}

void IoAssignment::setTrigger(int row, int index)
{
    if (!rowOk(row))
        return;
    triggers[row] = std::clamp(index, firstTrigger(row), n - 1);
    for (int next = row + 1; next < kRows; ++next)
        triggers[next] = std::max(triggers[next], triggers[next - 1]);
}

int IoAssignment::cutMode(int row) const
{
    return rowOk(row) ? cutModes[row] : 0;
}

void IoAssignment::setCutMode(int row, int mode)
{
    if (rowOk(row))
        cutModes[row] = inRange(mode, 0, kCutModes - 1, cutModes[row]);
}

int IoAssignment::inputName(int column) const
{
    return rowOk(column) ? inNames[column] : 0;
}

int IoAssignment::outputName(int column) const
{
    return rowOk(column) ? outNames[column] : 0;
}

void IoAssignment::setInputName(int column, int index)
{
    if (rowOk(column))
        inNames[column] = inRange(index, 0, kInNameCount - 1, inNames[column]);
}

void IoAssignment::setOutputName(int column, int index)
{
    if (rowOk(column))
        outNames[column] = inRange(index, 0, kOutNameCount - 1, outNames[column]);
}
