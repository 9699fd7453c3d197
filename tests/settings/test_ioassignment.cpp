// The IO assignment of the multi-detection machine: the ordering rules under
// ticks, unticks, count changes and trigger changes, and damaged stored
// values brought into range.

#include "core/wizardpara.h"
#include "settings/ioassignment.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The ticks as text, one row per line of shown rows: 'x' ticked, '.' open,
// '-' closed to the row.
std::string grid(const IoAssignment& a)
{
    std::string s;
    for (int r = 0; r < a.count(); ++r) {
        for (int c = 0; c < a.count(); ++c)
            s += a.ticked(r, c) ? 'x' : (a.available(r, c) ? '.' : '-');
        s += '|';
    }
    return s;
}

IoAssignment fresh(int count)
{
    WizardPara p;
    std::fill(std::begin(p.outputOwner), std::end(p.outputOwner), -1);
    p.multiDetectCount = count;
    IoAssignment a;
    a.load(p);
    return a;
}

struct Tick {
    int row;
    int step;
    bool on;
    bool accepted;
};

struct OrderCase {
    const char* name;
    int count;
    std::vector<Tick> ticks;
    const char* grid;
};

class Ordering : public ::testing::TestWithParam<OrderCase>
{
};

TEST_P(Ordering, TicksCloseLaterStepsAboveAndEarlierStepsBelow)
{
    const OrderCase& c = GetParam();
    IoAssignment a = fresh(c.count);
    for (const Tick& t : c.ticks)
        EXPECT_EQ(a.tick(t.row, t.step, t.on), t.accepted) << t.row << "," << t.step;
    EXPECT_EQ(grid(a), c.grid);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Ordering,
    ::testing::Values(
        OrderCase{"Nothing", 3, {}, "...|...|...|"},
        // Row 0 owns step 0: rows 1 and 2 cannot tick step 0.
        OrderCase{"FirstStep", 3, {{0, 0, true, true}}, "x..|-..|-..|"},
        // Row 1 ticks step 2 as well: row 0 loses step 2, row 2 every step.
        OrderCase{"RowOneLast", 3, {{0, 0, true, true}, {1, 2, true, true}}, "x.-|-.x|---|"},
        OrderCase{"ClosedBoxRefused", 3, {{0, 0, true, true}, {1, 0, true, false}}, "x..|-..|-..|"},
        // A row may own several steps; a tick at step 0 closes every step above it.
        OrderCase{"RowOwnsTwo", 3, {{1, 0, true, true}, {1, 1, true, true}}, "---|xx.|--.|"},
        // Unticking reopens what only that tick closed.
        OrderCase{"UntickReopens", 3, {{0, 0, true, true}, {1, 2, true, true}, {1, 2, false, true}},
                  "x..|-..|-..|"},
        OrderCase{"UntickKeepsOthers", 4,
                  {{0, 0, true, true}, {1, 1, true, true}, {2, 3, true, true}, {1, 1, false, true}},
                  "x..-|-..-|-..x|----|"},
        OrderCase{"UntickOfAnotherRowsStepIsNothing", 3, {{0, 0, true, true}, {1, 0, false, true}},
                  "x..|-..|-..|"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IoAssignment, LoweringTheCountDropsOwnersBeyondItAndRaisingDoesNotRestoreThem)
{
    IoAssignment a = fresh(8);
    for (int s = 0; s < 8; ++s)
        ASSERT_TRUE(a.tick(s < 2 ? 0 : (s < 4 ? 1 : (s < 6 ? 2 : 5)), s, true));
    a.setCount(4);
    EXPECT_EQ(grid(a), "xx--|--xx|----|----|");
    a.setCount(8);
    for (int s = 4; s < 8; ++s)
        EXPECT_EQ(a.owner(s), -1) << s;
    EXPECT_EQ(a.owner(3), 1);
}

TEST(IoAssignment, ResetClearsEveryTickAndTheAssignmentIsThenIncomplete)
{
    IoAssignment a = fresh(3);
    a.tick(0, 0, true);
    a.tick(1, 2, true);
    EXPECT_TRUE(a.complete());
    a.reset();
    EXPECT_EQ(grid(a), "...|...|...|");
    EXPECT_FALSE(a.complete());
}

TEST(IoAssignment, ATriggerChangeRunsDownToTheLastRow)
{
    WizardPara p;
    p.multiDetectCount = 6;
    const int stored[8] = {0, 1, 4, 4, 5, 5, 2, 6};
    std::copy(std::begin(stored), std::end(stored), p.rowTrigger);
    IoAssignment a;
    a.load(p);
    a.setTrigger(0, 3);
    const int expected[8] = {3, 3, 4, 4, 5, 5, 5, 6};
    for (int r = 0; r < 8; ++r)
        EXPECT_EQ(a.trigger(r), expected[r]) << r;
    EXPECT_EQ(a.firstTrigger(1), 3);
    EXPECT_EQ(a.lastTrigger(), 5);
}

TEST(IoAssignment, ShownRowsTakeTriggersWithinTheCount)
{
    WizardPara p;
    p.multiDetectCount = 3;
    const int stored[8] = {1, 0, 7, 7, 7, 7, 7, 7};
    std::copy(std::begin(stored), std::end(stored), p.rowTrigger);
    IoAssignment a;
    a.load(p);
    EXPECT_EQ(a.trigger(0), 1);
    EXPECT_EQ(a.trigger(1), 1);   // never below the row above
    EXPECT_EQ(a.trigger(2), 2);   // at most count - 1
    EXPECT_EQ(a.trigger(3), 7);   // hidden rows keep theirs
}

// Damaged stored values: every index used lands inside its table.
struct DamagedCase {
    const char* name;
    int count;
    int owner0;
    int trigger0;
    int cut0;
    int inName0;
    int outName0;
    int wantCount;
    int wantOwner0;
    int wantTrigger0;
    int wantCut0;
    int wantIn0;
    int wantOut0;
};

class Damaged : public ::testing::TestWithParam<DamagedCase>
{
};

TEST_P(Damaged, ValuesOutOfRangeComeBackInRange)
{
    const DamagedCase& c = GetParam();
    WizardPara p;
    p.multiDetectCount = c.count;
    p.outputOwner[0] = c.owner0;
    p.rowTrigger[0] = c.trigger0;
    p.rowCutMode[0] = c.cut0;
    p.inputNameIdx[0] = c.inName0;
    p.outputNameIdx[0] = c.outName0;
    IoAssignment a;
    a.load(p);
    EXPECT_EQ(a.count(), c.wantCount);
    EXPECT_EQ(a.owner(0), c.wantOwner0);
    EXPECT_EQ(a.trigger(0), c.wantTrigger0);
    EXPECT_EQ(a.cutMode(0), c.wantCut0);
    EXPECT_EQ(a.inputName(0), c.wantIn0);
    EXPECT_EQ(a.outputName(0), c.wantOut0);
    WizardPara out;
    a.store(out);
    a.storeNames(out);
    EXPECT_EQ(out.outputOwner[0], c.wantOwner0);
    EXPECT_EQ(out.rowTrigger[0], c.wantTrigger0);
    EXPECT_EQ(out.inputNameIdx[0], c.wantIn0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Damaged,
    ::testing::Values(DamagedCase{"Good", 4, 1, 2, 2, 15, 13, 4, 1, 2, 2, 15, 13},
                      DamagedCase{"CountTooHigh", 9, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0},
                      DamagedCase{"CountNegative", -3, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0},
                      DamagedCase{"OwnerBeyondRows", 8, 99, 0, 0, 0, 0, 8, -1, 0, 0, 0, 0},
                      DamagedCase{"OwnerBeyondCount", 3, 5, 0, 0, 0, 0, 3, -1, 0, 0, 0, 0},
                      DamagedCase{"OwnerNegative", 3, -7, 0, 0, 0, 0, 3, -1, 0, 0, 0, 0},
                      DamagedCase{"TriggerBeyondTable", 8, 0, 8, 0, 0, 0, 8, 0, 0, 0, 0, 0},
                      DamagedCase{"TriggerNegative", 8, 0, -1, 0, 0, 0, 8, 0, 0, 0, 0, 0},
                      DamagedCase{"CutModeUnknown", 3, 0, 0, 3, 0, 0, 3, 0, 0, 0, 0, 0},
                      DamagedCase{"NamesBeyondTables", 3, 0, 0, 0, 16, 14, 3, 0, 0, 0, 0, 0},
                      DamagedCase{"NamesNegative", 3, 0, 0, 0, -1, -1, 3, 0, 0, 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IoAssignment, StoredOwnersOutOfOrderKeepOnlyThoseTheEarlierStepsAllow)
{
    WizardPara p;
    p.multiDetectCount = 3;
    const int owners[8] = {2, 1, 2, -1, -1, -1, -1, -1};
    std::copy(std::begin(owners), std::end(owners), p.outputOwner);
    IoAssignment a;
    a.load(p);
    EXPECT_EQ(a.owner(0), 2);
    EXPECT_EQ(a.owner(1), -1);
    EXPECT_EQ(a.owner(2), 2);
}

TEST(IoAssignment, StoreWritesAllEightRowsAndTheCount)
{
    WizardPara p;
    p.multiDetectCount = 3;
    for (int i = 0; i < 8; ++i) {
        p.rowTrigger[i] = i < 3 ? i : 7;
        p.rowCutMode[i] = i % 3;
        p.outputOwner[i] = i < 3 ? i : -1;
    }
    IoAssignment a;
    a.load(p);
    WizardPara out;
    a.store(out);
    EXPECT_EQ(out.multiDetectCount, 3);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(out.rowTrigger[i], p.rowTrigger[i]) << i;
        EXPECT_EQ(out.rowCutMode[i], p.rowCutMode[i]) << i;
        EXPECT_EQ(out.outputOwner[i], p.outputOwner[i]) << i;
    }
}

TEST(IoAssignment, ANewRecordIsStepZeroOfRowZeroOnly)
{
    // A new record: every owner 0. Step 0 takes row 0; step 1 of row 0 too.
    IoAssignment a;
    a.load(WizardPara());
    EXPECT_EQ(a.count(), 2);
    EXPECT_EQ(a.owner(0), 0);
    EXPECT_EQ(a.owner(1), 0);
    EXPECT_TRUE(a.complete());
}

}  // namespace
