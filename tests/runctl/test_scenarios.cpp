// Whole cycles as a machine runs them, checked on the published output
// words over time, the operation record, count.txt and the result pictures.

#include "runfixture.h"

namespace {

using Scenario = RunTest;

}  // namespace

// S1: a good standard cycle.
TEST_F(Scenario, GoodStandardCycle)
{
    start();
    const qint64 t0 = now();
    pulse(0);
    advance(2900);
    EXPECT_EQ(screen.led[6], 1);  // the mould result is shown
    EXPECT_EQ(screen.led[7], 0);
    advance(2100);
    EXPECT_EQ(outAt(t0 + 5), O0 | O1);
    EXPECT_EQ(outAt(t0 + 498), O0 | O1);
    EXPECT_EQ(outAt(t0 + 505), O0);
    EXPECT_EQ(outAt(t0 + 2498), O0);
    EXPECT_EQ(outAt(t0 + 2505), 0);
    EXPECT_TRUE(io->timesOf(O0 | O2).empty());
    EXPECT_EQ(fileText("count.txt"), "1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 ");
    EXPECT_EQ(records(), QStringList{"The system is ready, there is 1 cameras"});
    EXPECT_EQ(view().callsOf("HandOff"), QStringList{"HandOff 1 OK"});
    EXPECT_EQ(screen.led[6], 1);
    EXPECT_EQ(screen.led[7], 1);
}
