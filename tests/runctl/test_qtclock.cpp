// The program's clock: real QTimers drive the controller unchanged.

#include "runfixture.h"

#include "screen/qtrunclock.h"

#include <limits>

namespace {

using QtClock = RunTest;

}  // namespace

TEST_F(QtClock, TimersFireAndStop)
{
    QtRunClock qt;
    int single = 0;
    int periodic = 0;
    auto once = qt.createTimer(true, [&single] { ++single; });
    std::unique_ptr<RunTimer> again;
    again = qt.createTimer(false, [&periodic, &again] {
        if (++periodic == 3)
            again->stop();
    });
    once->start(1);
    again->start(1);
    EXPECT_TRUE(once->isActive());
    ASSERT_TRUE(WaitFor([&] { return periodic == 3; }, 5000));
    EXPECT_EQ(single, 1);
    EXPECT_FALSE(once->isActive());
    EXPECT_FALSE(again->isActive());
    EXPECT_GE(qt.elapsedMs(), 0);
    EXPECT_EQ(TimerMs(qint64(100000000) * 1000), std::numeric_limits<int>::max());
    EXPECT_EQ(TimerMs(-5), 0);
}

// A whole good cycle on QTimers and the program's ControlPort.
TEST_F(QtClock, GoodCycle)
{
    para.trigInDelay[0] = 1;
    para.trigInDelay[1] = 5;
    para.DeriveDetectTable(nullptr);
    numCamera = 1;
    QtRunClock qt;
    port = std::make_unique<ControlPort>(work.file(QStringLiteral("no-board")));
    ControlPortIO portIO(*port);
    OperationRecord record(QStringLiteral("dbRecord"), qt);
    FakeView camera(0, clock);
    RunController::Ports ports;
    ports.io = &portIO;
    ports.screen = &screen;
    ports.net = &net;
    ports.clock = &qt;
    ports.record = &record;
    RunController run(ports);
    screen.controller = &run;
    run.Init();
    run.setViews({&camera});
    run.Start();
    ASSERT_TRUE(WaitFor([this] { return screen.passes > 3; }, 5000));
    setInput(0, true);
    // The clamp is inhibited from the cycle start until the mould step 0.6 s later.
    ASSERT_TRUE(WaitFor([this] { return port->IOState(true, 0); }, 5000));
    ASSERT_TRUE(WaitFor([&camera] { return camera.inspections.size() == 2; }, 5000));
    EXPECT_FALSE(port->IOState(true, 0));
    EXPECT_EQ(fileText("count.txt"), "1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 ");
}
