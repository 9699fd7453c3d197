// The IO thread against the board simulator on a pseudo-terminal: what the
// program asks for reaches the board's lines, and the board's inputs and
// temperatures reach the program.

#include "iofixture.h"
#include "tools/ioboard-sim/ioboardsim.h"

namespace {

const int kWaitMs = 5000;

class IOBoardWire : public IOTest
{
protected:
    void SetUp() override
    {
        IOTest::SetUp();
        ASSERT_TRUE(sim.start()) << "the board simulator did not start";
    }

    IOBoardSim sim;
};

}  // namespace

TEST_F(IOBoardWire, OutputsReachTheBoardWithTheirPolarityAndLine)
{
    para.outPolarity[kOutClampInhibit] = 1;  // its line is high while the output is off
    para.output4Use = 3;                    // the alarm drives line 3
    ControlPort port(sim.device());
    EXPECT_TRUE(sim.waitForOutput(0x001, kWaitMs)) << "all outputs off";

    port.IOSetOut(kOutAlarm, 1);
    port.IOFlashOut();
    EXPECT_TRUE(sim.waitForOutput(0x009, kWaitMs)) << "alarm on line 3, line 2 untouched";

    port.IOSetOut(kOutClampInhibit, 1);
    port.IOSetOut(kOutRegionNG0 + 3, 1);
    port.IOFlashOut();
    EXPECT_TRUE(sim.waitForOutput(0x088, kWaitMs)) << "clamp inhibit on clears line 0";
}

TEST_F(IOBoardWire, AnInputShowsAsOneEdgeAndTheOpenDoorSilencesTheAlarm)
{
    ControlPort port(sim.device());
    sim.command(QStringLiteral("set 0"));
    EXPECT_TRUE(WaitFor([&] { return port.IOInTrigger(0); }, kWaitMs));
    EXPECT_FALSE(port.IOInTrigger(0));

    sim.command(QStringLiteral("set 1"));  // door closed
    EXPECT_TRUE(WaitFor([&] { return port.IOInTrigger(kInDoor); }, kWaitMs));
    port.IOSetOut(kOutAlarm, 1);
    port.IOFlashOut();
    EXPECT_TRUE(sim.waitForOutput(0x004, kWaitMs));

    sim.command(QStringLiteral("clear 1"));  // the door opens
    EXPECT_TRUE(WaitFor([&] { port.IOInTrigger(0); return gisSafeDoorOpen; }, kWaitMs));
    EXPECT_TRUE(sim.waitForOutput(0x000, kWaitMs));
}

TEST_F(IOBoardWire, TemperaturesArriveFromBothBlocks)
{
    sim.command(QStringLiteral("temp 0 42.5"));
    sim.command(QStringLiteral("temp 9 -3.25"));
    ControlPort port(sim.device());
    // Block 0 is asked for on the 200th pass, block 1 ten passes later.
    EXPECT_TRUE(WaitFor([] { return gFTemp[0] == 42.5f && gFTemp[9] == -3.25f; }, kWaitMs));
    EXPECT_FLOAT_EQ(gFTemp[15], 27.5f);  // the simulator's default for slot 15
}
