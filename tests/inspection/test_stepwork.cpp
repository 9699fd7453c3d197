// The work of a detection step run in one parallel loop: every part once,
// after its camera is prepared and before it is finished, on any number of
// threads; a failure stops the step and is reported.

#include "inspection/stepwork.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

struct Seen {
    explicit Seen(int cameras) : prepared(cameras), finished(cameras), parts(cameras) {}
    std::vector<std::atomic<int>> prepared, finished;
    std::vector<std::vector<std::unique_ptr<std::atomic<int>>>> parts;   // runs of each part
    std::atomic<int> orderFaults{0};
};

StepWork Recording(Seen* seen, const std::vector<int>& partCounts)
{
    StepWork work;
    work.prepare = [seen, partCounts](int c) {
        std::this_thread::sleep_for(std::chrono::microseconds(50 * (c % 3)));   // cameras end out of order
        auto& parts = seen->parts[c];
        for (int p = 0; p < partCounts[c]; ++p)
            parts.push_back(std::make_unique<std::atomic<int>>(0));
        ++seen->prepared[c];
        return partCounts[c];
    };
    work.part = [seen](int c, int p) {
        if (seen->prepared[c] != 1 || seen->finished[c] != 0)
            ++seen->orderFaults;
        ++*seen->parts[c][p];
    };
    work.finish = [seen](int c) {
        for (const auto& runs : seen->parts[c])
            if (*runs != 1)
                ++seen->orderFaults;
        ++seen->finished[c];
    };
    return work;
}

TEST(StepWork, EveryPartOnceBetweenItsCamerasPrepareAndFinish)
{
    cv::RNG rng(25);
    for (int run = 0; run < 60; ++run) {
        const int cameras = rng.uniform(0, 10);
        const int threads = rng.uniform(1, 9);
        std::vector<int> counts;
        for (int c = 0; c < cameras; ++c)
            counts.push_back(rng.uniform(0, 4) == 0 ? 0 : rng.uniform(1, 60));
        Seen seen(cameras);
        RunStepWork(cameras, Recording(&seen, counts), threads);
        EXPECT_EQ(seen.orderFaults, 0) << "run " << run;
        for (int c = 0; c < cameras; ++c) {
            EXPECT_EQ(seen.prepared[c], 1) << "run " << run << " camera " << c;
            EXPECT_EQ(seen.finished[c], 1) << "run " << run << " camera " << c;
            ASSERT_EQ(static_cast<int>(seen.parts[c].size()), counts[c]);
            for (const auto& runs : seen.parts[c])
                EXPECT_EQ(*runs, 1) << "run " << run << " camera " << c;
        }
    }
}

TEST(StepWork, FailureStopsTheStepAndIsThrownToTheCaller)
{
    for (int threads : {1, 2, 8}) {
        for (const char* where : {"prepare", "part", "finish"}) {
            const std::string at = where;
            std::atomic<int> finished{0};
            StepWork work;
            work.prepare = [&](int c) {
                if (at == "prepare" && c == 2)
                    throw std::runtime_error("no frame");
                return 5;
            };
            work.part = [&](int c, int p) {
                if (at == "part" && c == 1 && p == 3)
                    throw std::runtime_error("no frame");
            };
            work.finish = [&](int c) {
                if (at == "finish" && c == 0)
                    throw std::runtime_error("no frame");
                ++finished;
            };
            EXPECT_THROW(RunStepWork(4, work, threads), std::runtime_error) << where << " " << threads;
            EXPECT_LT(finished, 4) << where << " " << threads;
        }
    }
}

TEST(StepWork, NegativePartCountsMeanNone)
{
    int finished = 0, parts = 0;
    StepWork work;
    work.prepare = [](int) { return -3; };
    work.part = [&](int, int) { ++parts; };
    work.finish = [&](int) { ++finished; };
    RunStepWork(3, work, 1);
    EXPECT_EQ(parts, 0);
    EXPECT_EQ(finished, 3);
}

}  // namespace
