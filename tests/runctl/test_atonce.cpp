// The screen judges a step on all cameras at once (InspectAll, in parallel in
// the program): once per inspection, retry and re-check, with the views in
// camera order and the step the cameras inspect; never while re-learning.
// (The whole suite also runs with it: test_runctl_atonce.)

#include "runfixture.h"

namespace {

class AtOnce : public RunTest
{
protected:
    AtOnce() { screen.judgeAtOnce = true; }

    QVector<RunView*> viewsOf(std::initializer_list<int> cameras)
    {
        QVector<RunView*> list;
        for (int c : cameras)
            list.append(views[c].get());
        return list;
    }
    QList<int> steps() const
    {
        QList<int> s;
        for (const FakeScreen::AtOnce& a : screen.atOnce)
            s << a.step;
        return s;
    }
};

}  // namespace

TEST_F(AtOnce, EachStepOnceOnEveryCameraThenTheDecision)
{
    start(3);
    views[1]->verdict[1] = false;
    pulse(0);
    advance(3000);
    ASSERT_EQ(steps(), (QList<int>{0, 1}));
    for (const FakeScreen::AtOnce& a : screen.atOnce)
        EXPECT_EQ(a.views, viewsOf({0, 1, 2}));
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(view(c).callsOf("Inspect"), (QStringList{"Inspect 0", "Inspect 1"}));
    EXPECT_EQ(out(), O0 | O2);
    EXPECT_EQ(records().last(), "Camera 2Alarm");
    EXPECT_EQ(view(1).callsOf("PushNgRing"), QStringList{"PushNgRing 1"});
}

TEST_F(AtOnce, EveryRetryJudgesAtOnce)
{
    para.reDetectTimes = 2;
    start(2);
    verdict(1, false);
    pulse(0);
    advance(3000);
    EXPECT_EQ(steps(), (QList<int>{0, 1, 1, 1}));
    EXPECT_EQ(records().filter("Alarm").size(), 1);
}

TEST_F(AtOnce, ReCheckJudgesTheCamerasNotLeftOut)
{
    start(2);
    verdict(1, false);
    pulse(0);
    advance(3000);
    ASSERT_EQ(st().displayState, DisplayState::Alarm);
    views[1]->verdict[1] = true;
    ctl->SkipMouldCamera(0);
    EXPECT_EQ(screen.atOnce.back().views, viewsOf({1}));
    EXPECT_EQ(screen.atOnce.back().step, 1);
    EXPECT_EQ(st().displayState, DisplayState::ResultShown);   // the alarm ended
}

TEST_F(AtOnce, TheRightSideJudgesItsOwnStep)
{
    para.machineType = 1;
    para.mouldSide = 2;
    start();
    pulse(0);
    advance(600);
    pulse(3);
    advance(2100);
    EXPECT_EQ(st().side, 0);
    EXPECT_EQ(screen.atOnce.back().step, 3);
    EXPECT_EQ(view().inspections.back().step, 3);
}

TEST_F(AtOnce, NothingIsJudgedWhileReLearning)
{
    start(2);
    ctl->ReSample();
    pulse(0);
    advance(3000);
    EXPECT_TRUE(screen.atOnce.empty());
    EXPECT_TRUE(view(0).inspections.empty());
    EXPECT_EQ(view(1).callsOf("SaveReTrainImage").size(), 2);
}
