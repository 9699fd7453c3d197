// ControlPort: polarity and output reassignment, input reassignment, edges
// reported once, the safety door, and the device name.

#include "core/comport.h"
#include "iofixture.h"

#include <memory>

namespace {

// A ControlPort whose port does not exist: its thread runs but exchanges
// nothing, so the test alone writes the input word.
class ControlPortTest : public IOTest
{
protected:
    std::unique_ptr<ControlPort> makePort()
    {
        return std::make_unique<ControlPort>(work.file(QStringLiteral("no-board")));
    }
    static int lines(const ControlPort& port)
    {
        int word = 0;
        for (int i = 0; i < 16; ++i)
            word |= port.IOState(true, i) ? 1 << i : 0;
        return word;
    }
};

}  // namespace

TEST_F(ControlPortTest, ConstructionPublishesAllOutputsOffByPolarity)
{
    para.outPolarity[0] = 1;
    para.outPolarity[5] = 1;
    auto port = makePort();
    EXPECT_EQ(lines(*port), 0x021);
    EXPECT_EQ(published(), 0x021);
    EXPECT_EQ(gIOID, 1);
}

TEST_F(ControlPortTest, OutputsFollowPolarityAndReassignment)
{
    struct Case {
        const char* name;
        int polarity;   // outPolarity of the output switched
        int output4Use;
        int index;
        int on;
        int expected;   // the line word afterwards (all other outputs off, polarity 0)
    } cases[] = {
        {"clamp inhibit on", 0, 0, 0, 1, 0x001},
        {"extra output on", 0, 0, 8, 1, 0x100},
        {"inverted output on clears its line", 1, 0, 2, 1, 0x000},
        {"inverted output off sets its line", 1, 0, 2, 0, 0x004},
        {"output4Use 1 moves the clamp inhibit to line 3", 0, 1, 0, 1, 0x008},
        {"output4Use 2 moves the ejector inhibit to line 3", 0, 2, 1, 1, 0x008},
        {"output4Use 3 moves the alarm to line 3", 0, 3, 2, 1, 0x008},
        {"output4Use 3 leaves other outputs alone", 0, 3, 1, 1, 0x002},
        {"reassigned and inverted", 1, 3, 2, 1, 0x000},
        {"the reserve output has no line while line 3 is reassigned", 0, 1, 3, 1, 0x000},
        {"the inverted reserve output leaves line 3 alone", 1, 1, 3, 0, 0x000},
        {"index out of range is ignored", 0, 0, 9, 1, 0x000},
        {"negative index is ignored", 0, 0, -1, 1, 0x000},
    };
    for (const Case& c : cases) {
        para = WizardPara();
        para.output4Use = c.output4Use;
        if (c.index >= 0 && c.index < kOutputCount)
            para.outPolarity[c.index] = c.polarity;
        auto port = makePort();
        port->IOSetOut(c.index, c.on);
        EXPECT_EQ(lines(*port), c.expected) << c.name;
        port->IOFlashOut();
        EXPECT_EQ(published(), c.expected) << c.name;
    }
}

TEST_F(ControlPortTest, AnOutputReachesTheWordOnlyWhenFlushed)
{
    auto port = makePort();
    port->IOSetOut(kOutClampInhibit, 1);
    EXPECT_EQ(published(), 0);
    port->IOFlashOut();
    EXPECT_EQ(published(), 0x001);
}

// The lamps: a logical output is lit when it is on, whatever its line and
// polarity; an input as the board last reported it, fetched or not.
TEST_F(ControlPortTest, LampsShowLogicalOutputsAndTheLatestInputs)
{
    para.outPolarity[kOutAlarm] = 1;
    para.output4Use = 3;   // the alarm on line 3
    para.input4Use = 1;    // input 4 stands in for input 0
    auto port = makePort();
    EXPECT_FALSE(port->OutputOn(kOutAlarm)) << "inverted and off: its line is high";
    EXPECT_TRUE(port->IOState(true, 3));
    port->IOSetOut(kOutAlarm, 1);
    EXPECT_TRUE(port->OutputOn(kOutAlarm));
    EXPECT_FALSE(port->OutputOn(kOutClampInhibit));
    EXPECT_FALSE(port->OutputOn(kOutputCount));
    setInputs(0x008);
    EXPECT_TRUE(port->InputNow(0)) << "reassigned, without a fetch";
    EXPECT_FALSE(port->IOState(false, 0)) << "the fetched word is older";
    setInputs(0x002);
    EXPECT_TRUE(port->InputNow(1));
    EXPECT_FALSE(port->InputNow(0));
}

TEST(InputReassignment, Input4StandsInForTheChosenInput)
{
    struct Case {
        int input4Use;
        int word;
        int expected;
    } cases[] = {
        {0, 0x008, 0x008},
        {1, 0x008, 0x009},
        {1, 0x001, 0x000},  // input 0 now follows input 4 (bit 3), which is off
        {2, 0x008, 0x00A},
        {2, 0x002, 0x000},
        {3, 0x008, 0x00C},
        {9, 0x008, 0x00C},
        {3, 0x3F7, 0x3F3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReassignInput4(c.word, c.input4Use), c.expected) << c.input4Use << " " << c.word;
}

TEST_F(ControlPortTest, ARisingEdgeIsReportedOnce)
{
    auto port = makePort();
    EXPECT_FALSE(port->IOInTrigger(0));
    setInputs(0x001);
    EXPECT_TRUE(port->IOInTrigger(0));
    EXPECT_FALSE(port->IOInTrigger(0));  // still on: no new edge
    EXPECT_TRUE(port->IOState(false, 0));
    EXPECT_FALSE(port->IOInTrigger(2));
    setInputs(0x005);
    EXPECT_TRUE(port->IOInTrigger(2));   // each input has its own edge
    EXPECT_FALSE(port->IOInTrigger(0));
    setInputs(0x000);
    EXPECT_FALSE(port->IOInTrigger(0));
    setInputs(0x001);
    EXPECT_TRUE(port->IOInTrigger(0));   // a new rise is a new edge
    EXPECT_FALSE(port->IOInTrigger(16));
    EXPECT_FALSE(port->IOInTrigger(-1));
}

TEST_F(ControlPortTest, ReassignedInputGivesTheEdge)
{
    para.input4Use = 1;
    auto port = makePort();
    setInputs(0x008);
    EXPECT_TRUE(port->IOInTrigger(0));
    EXPECT_TRUE(port->IOState(false, 0));
}

TEST_F(ControlPortTest, OpeningTheDoorSwitchesTheAlarmOff)
{
    struct Case {
        const char* name;
        int machineType;
        int alarmPolarity;
        int output4Use;
        int input4Use;
        bool alarmBefore;
        bool alarmAfter;    // logical state of output 2
        bool doorFlag;      // gisSafeDoorOpen
    } cases[] = {
        {"standard machine", 0, 0, 0, 0, true, false, true},
        {"inverted alarm line", 0, 1, 0, 0, true, false, true},
        {"alarm moved to line 3", 0, 0, 3, 0, true, false, true},
        {"alarm moved and inverted", 0, 1, 3, 0, true, false, true},
        {"alarm already off", 0, 1, 0, 0, false, false, true},
        {"door on input 4", 0, 0, 0, 2, true, false, true},
        {"two-colour machine", 1, 0, 0, 0, true, true, false},
        {"rotary-table machine", 2, 0, 0, 0, true, true, false},
        {"multi-detection machine", 5, 0, 0, 0, true, false, true},
    };
    for (const Case& c : cases) {
        para = WizardPara();
        para.machineType = c.machineType;
        para.outPolarity[kOutAlarm] = c.alarmPolarity;
        para.output4Use = c.output4Use;
        para.input4Use = c.input4Use;
        gisSafeDoorOpen = false;
        auto port = makePort();
        const int doorClosed = c.input4Use == 2 ? 0x008 : 0x002;
        setInputs(doorClosed);
        port->IOInTrigger(kInDoor);
        port->IOSetOut(kOutAlarm, c.alarmBefore);
        port->IOFlashOut();
        const int alarmLine = c.output4Use == 3 ? 0x008 : 0x004;
        const int lineWhenOff = c.alarmPolarity ? alarmLine : 0;
        const int lineWhenOn = c.alarmPolarity ? 0 : alarmLine;

        setInputs(0x000);  // the door opens
        port->IOInTrigger(0);
        const int expectedLine = c.alarmAfter ? lineWhenOn : lineWhenOff;
        EXPECT_EQ(published() & alarmLine, expectedLine) << c.name;
        EXPECT_EQ(lines(*port) & alarmLine, expectedLine) << c.name;
        EXPECT_EQ(gisSafeDoorOpen, c.doorFlag) << c.name;
    }
}

TEST_F(ControlPortTest, TheDoorClosedDoesNothing)
{
    auto port = makePort();
    setInputs(0x002);
    port->IOInTrigger(kInDoor);
    port->IOSetOut(kOutAlarm, 1);
    port->IOFlashOut();
    port->IOInTrigger(0);
    EXPECT_EQ(published(), 0x004);
    EXPECT_FALSE(gisSafeDoorOpen);
}

TEST(ComDevice, SettingChoosesTheSerialDeviceUnlessOverridden)
{
    ScopedEnv noOverride("MOULDMON_IO_DEVICE", QString());
    const int saved = gisCOM;
    const char* const names[] = {"/dev/ttyS0", "/dev/ttyS2", "/dev/ttyS3", "/dev/ttyS4"};
    for (int setting = 0; setting < 4; ++setting) {
        gisCOM = setting;
        EXPECT_EQ(ComDeviceName(), QLatin1String(names[setting]));
    }
    {
        ScopedEnv pty("MOULDMON_IO_DEVICE", QStringLiteral("/dev/pts/9"));
        EXPECT_EQ(ComDeviceName(), QLatin1String("/dev/pts/9"));
    }
    gisCOM = saved;
}
