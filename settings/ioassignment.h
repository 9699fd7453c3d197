#pragma once
// The IO assignment of the multi-detection machine: how many detection steps
// a cycle holds, which trigger row owns each step, the trigger input and cut
// mode of each row, and the names chosen for the trigger inputs and step
// outputs. It keeps the ordering rules under every edit:
// - owners never decrease with the step (a tick of row r at step c closes
//   steps c.. to the rows above r and steps ..c to the rows below it);
// - trigger indexes never decrease with the row and stay below the count.
// Values read from a damaged record are brought into range before use, so
// nothing indexes past a table.

class WizardPara;

class IoAssignment
{
public:
    static constexpr int kRows = 8;
    static constexpr int kMinCount = 2;
    static constexpr int kCutModes = 3;   // cut all, cut self, not cut

    // Takes the stored assignment (count, owners, triggers, cut modes, names).
    void load(const WizardPara& p);
    // Stores count, triggers, owners and cut modes of all eight rows.
    void store(WizardPara& p) const;
    // Stores the sixteen name indexes.
    void storeNames(WizardPara& p) const;

    int count() const { return n; }
    // Changes the count (2..8): shown rows take triggers within the new
    // count; steps at or beyond it and steps of rows at or beyond it lose
    // their owner.
    void setCount(int count);

    int owner(int step) const;
    bool ticked(int row, int step) const { return owner(step) == row && row >= 0; }
    // Whether row may tick step under the ticks of the other rows.
    bool available(int row, int step) const;
    // Ticks or unticks; a tick on an unavailable box is refused (false).
    bool tick(int row, int step, bool on);
    // Every step loses its owner.
    void reset();
    // The last step has an owner: the assignment may be stored.
    bool complete() const { return owner(n - 1) != -1; }

    int trigger(int row) const;
    // The lowest trigger index row may take (the trigger of the row above).
    int firstTrigger(int row) const;
    // The trigger indexes row lists: firstTrigger(row) .. count - 1, or only
    // count - 1 when the row above already took the last one.
    int lastTrigger() const { return n - 1; }
    // Sets row's trigger (raised to its first and capped at the count) and
    // carries it down: every later row takes at least the trigger above it.
    void setTrigger(int row, int index);

    int cutMode(int row) const;
    void setCutMode(int row, int mode);

    int inputName(int column) const;
    int outputName(int column) const;
    void setInputName(int column, int index);
    void setOutputName(int column, int index);

private:
    static bool rowOk(int row) { return row >= 0 && row < kRows; }
    void fitTriggers();

    int n = kMinCount;
    int owners[kRows] = {};
    int triggers[kRows] = {};
    int cutModes[kRows] = {};
    int inNames[kRows] = {};
    int outNames[kRows] = {};
};
