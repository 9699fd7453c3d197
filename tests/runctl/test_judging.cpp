// A step judged, and its result pictures made, while the GUI thread serves
// its events (the program judges and draws on other threads): the passes
// that come due meanwhile only end, the controller's timers hold their work
// until the decision, and the outputs, verdicts and records come exactly as
// when the work held the thread.

#include "runfixture.h"

namespace {

constexpr qint64 kJudgingMs = 40;   // longer than a countdown tick's third
constexpr qint64 kPictureMs = 7;    // each result picture

struct Machine {
    const char* name;
    int type;
    int retries;
    bool productOk, mouldOk;
    int multiDetect;   // stations of the multi-detection type
    bool doorClosesWhileDrawing = false;   // door trigger: the door closes while the first mould picture is drawn
};

// What a run leaves behind, apart from the times.
struct Outcome {
    std::vector<int> words;
    QStringList calls, records, net;
    int ticks = 0;
};

void PrintTo(const Machine& m, std::ostream* os)
{
    *os << m.name;
}

// Two cycles of a machine (the alarm reset after each), each judgement
// taking judgingMs of the clock and each result picture pictureMs.
class Cycles : public RunTest
{
public:
    Cycles(const Machine& m, qint64 judgingMs, qint64 pictureMs)
    {
        screen.judgeAtOnce = true;
        screen.judgingMs = judgingMs;
        para.machineType = m.type;
        para.reDetectTimes = m.retries;
        if (m.multiDetect) {
            para.multiDetectCount = m.multiDetect;
            for (int d = 0; d < m.multiDetect; ++d) {
                para.outputOwner[d] = d;
                para.rowTrigger[d] = 0;
                para.trigInDelay[d] = 3 + d;   // stations 0.1 s apart
            }
        }
        start(2, !m.doorClosesWhileDrawing);
        for (auto& v : views)
            v->pictureMs = pictureMs;
        if (m.doorClosesWhileDrawing) {
            para.doorTriggerDetect = 1;
            views[0]->whilePicture = [this](int step) {
                if (step == 1 && !closed)
                    setInput(1, closed = true);
            };
        }
        verdict(0, m.productOk);
        verdict(1, m.mouldOk);
        for (int k = 0; k < 2; ++k) {
            pulse(0);
            advance(4000);
            ctl->SlotResetAlarm();
            advance(500);
        }
        for (const RecordingIO::Change& c : io->changes)
            outcome.words.push_back(c.word);
        for (auto& v : views)
            outcome.calls << v->calls;
        outcome.records = records();
        outcome.net = net.calls;
        outcome.ticks = screen.ticks;
        for (const FakeScreen::AtOnce& a : screen.atOnce) {
            passesWhileJudging += a.passes;
            ticksWhileJudging += a.ticks;
        }
        judgements = int(screen.atOnce.size());
    }
    void TestBody() override {}

    Outcome outcome;
    bool closed = false;
    int judgements = 0;
    int passesWhileJudging = 0;
    int ticksWhileJudging = 0;
};

class Judging : public ::testing::TestWithParam<Machine>
{
};

// Every machine runs twice, judging and drawing at once, then judging for
// 40 ms and drawing each picture for 7 ms: the same words in the same order,
// the same calls on the views, records and reports.
TEST_P(Judging, SameOutcomeAsJudgingThatHoldsTheThread)
{
    Outcome held;
    {
        const Cycles run(GetParam(), 0, 0);
        ASSERT_GE(run.judgements, 1);
        held = run.outcome;
    }
    const Cycles served(GetParam(), kJudgingMs, kPictureMs);
    EXPECT_EQ(served.outcome.words, held.words);
    EXPECT_EQ(served.outcome.calls, held.calls);
    EXPECT_EQ(served.outcome.records, held.records);
    EXPECT_EQ(served.outcome.net, held.net);
    EXPECT_EQ(served.outcome.ticks, held.ticks);
    EXPECT_GT(served.passesWhileJudging, 0) << "passes come due while a step is judged";
    EXPECT_EQ(served.ticksWhileJudging, 0) << "no countdown tick runs inside a judgement";
}

const Machine kMachines[] = {
    {"good_standard_cycles", 0, 0, true, true, 0},
    {"product_NG_alarm", 0, 0, false, true, 0},
    {"mould_NG_after_two_retries", 0, 2, true, false, 0},
    {"two_colour_machine", 1, 0, true, false, 0},
    {"multi_detection_stations", 4, 0, true, false, 3},
    {"door_closes_while_the_pictures_are_drawn", 0, 0, true, true, 0, true},
};

INSTANTIATE_TEST_SUITE_P(Machines, Judging, ::testing::ValuesIn(kMachines),
                         [](const auto& info) { return std::string(info.param.name); });

class JudgingServed : public RunTest
{
protected:
    JudgingServed()
    {
        screen.judgeAtOnce = true;
        screen.judgingMs = kJudgingMs;
    }
};

// While the product step is judged, the passes that come due end at once:
// they take no frame (the frames judged stay those of the judgement).
TEST_F(JudgingServed, PassesTakeNoFrame)
{
    start();
    int takes = -1;
    screen.whileJudging = [&] { takes = view().frameTakes; };
    pulse(0);
    advance(600);   // the product step was judged
    ASSERT_EQ(screen.atOnce.size(), 1u);
    EXPECT_GT(screen.atOnce[0].passes, 5);
    EXPECT_EQ(view().inspections[0].frameTakes, takes);
    advance(10);
    EXPECT_GT(view().frameTakes, takes) << "the passes after it take frames again";
}

// The mould step's countdown ticks come due while the product step is
// judged for 250 ms: none runs inside the judgement, the two that expired
// count once after it (as a late periodic timer does), and the mould step is
// judged after its remaining ticks.
TEST_F(JudgingServed, HeldTicksRunAfterTheDecision)
{
    para.trigInDelay[0] = 3;
    para.trigInDelay[1] = 1;
    start();
    screen.judgingMs = 250;
    pulse(0, 10);
    advance(2000);
    ASSERT_EQ(screen.atOnce.size(), 2u);
    EXPECT_EQ(screen.atOnce[0].step, 0);
    EXPECT_EQ(screen.atOnce[0].ticks, 0);
    EXPECT_EQ(screen.atOnce[1].step, 1);
    const qint64 productDecided = view().inspections[0].t;
    EXPECT_EQ(view().inspections[1].t - productDecided, 300);
}

}  // namespace
