// The IO link against the board simulator on a pseudo-terminal: the period
// of the IO thread's passes, the delay from an output change published by
// the program (IOFlashOut) to the simulator reading the output frame, and
// the delay from an input change at the simulator to the IO thread telling
// the program (its input hook).
// For comparison, a bare thread that only sleeps to the same absolute 5 ms
// deadlines runs alongside: its figures are what the machine itself allows.
//
//   iolink_bench [seconds]      (default 12)
//
// The IO thread runs with the priority it inherits; run the benchmark under
// `chrt -f 50` to see it (and the simulator) with a real-time priority.

#include "core/controlport.h"
#include "core/globals.h"
#include "core/iothread.h"
#include "core/wizardpara.h"
#include "tools/ioboard-sim/ioboardsim.h"

#include <QCoreApplication>
#include <QMutex>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <sys/prctl.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kMaxPasses = 1 << 20;
std::vector<qint64> gPassTimes(kMaxPasses);
std::atomic<int> gPassCount{0};

void recordPass(qint64 ns)
{
    const int i = gPassCount.load(std::memory_order_relaxed);
    if (i < kMaxPasses) {
        gPassTimes[size_t(i)] = ns;
        gPassCount.store(i + 1, std::memory_order_release);
    }
}

qint64 monotonicNs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

std::atomic<qint64> gInputToldNs{0};

void inputTold()
{
    gInputToldNs.store(monotonicNs());
}

// Wakes at absolute 5 ms deadlines and does nothing else.
std::vector<qint64> bareSleeper(const std::atomic<bool>& stop)
{
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    std::vector<qint64> times;
    times.reserve(kMaxPasses);
    qint64 deadline = monotonicNs();
    while (!stop.load() && times.size() < size_t(kMaxPasses)) {
        times.push_back(monotonicNs());
        deadline += IOThread::kPeriodNs;
        const timespec t{time_t(deadline / 1000000000), long(deadline % 1000000000)};
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr);
    }
    return times;
}

// Periods (ms) between successive wake times, and their distance from 5 ms.
void periodsOf(const qint64* times, int n, std::vector<double>* periods, std::vector<double>* deviations)
{
    for (int i = 1; i < n; ++i) {
        const double period = double(times[i] - times[i - 1]) * 1e-6;
        periods->push_back(period);
        deviations->push_back(std::fabs(period - double(IOThread::kPeriodNs) * 1e-6));
    }
}

double monotonicSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, size_t(std::ceil(p / 100.0 * double(v.size()))) - (p > 0 ? 1 : 0));
    return v[i];
}

double mean(const std::vector<double>& v)
{
    double sum = 0;
    for (double x : v)
        sum += x;
    return v.empty() ? 0 : sum / double(v.size());
}

void report(const char* what, const std::vector<double>& ms)
{
    std::printf("%-34s n=%zu mean=%.4f p50=%.4f p99=%.4f max=%.4f ms\n", what, ms.size(), mean(ms),
                percentile(ms, 50), percentile(ms, 99), ms.empty() ? 0.0 : *std::max_element(ms.begin(), ms.end()));
}

// Sets or clears input 5 at the simulator; the time it did so (s), or -1.
double changeInput(IOBoardSim& sim, bool on)
{
    sim.command(QStringLiteral("%1 5").arg(on ? QStringLiteral("set") : QStringLiteral("clear")));
    IOBoardSim::Event e;
    while (sim.next(&e, 1000)) {
        if (e.kind == QLatin1String("in"))
            return e.time;
    }
    return -1;
}

// The time (ns) the IO thread told of an input change after time s; 0 when
// it did not within a second.
qint64 waitForInputTold(double s)
{
    const qint64 after = qint64(s * 1e9);
    for (int i = 0; i < 10000 && s >= 0; ++i) {
        const qint64 told = gInputToldNs.load();
        if (told > after)
            return told;
        QThread::usleep(100);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const double seconds = argc > 1 ? std::max(1.0, std::atof(argv[1])) : 12.0;

    pMutexIO = new QMutex;
    gpWPara = new WizardPara;
    IOBoardSim sim;
    if (!sim.start()) {
        std::fprintf(stderr, "iolink_bench: the board simulator did not start\n");
        return 1;
    }
    IOThread::setPassHook(recordPass);
    IOThread::setInputHook(inputTold);
    auto* port = new ControlPort(sim.device());
    std::atomic<bool> stopBare{false};
    std::vector<qint64> bareTimes;
    std::thread bare([&] { bareTimes = bareSleeper(stopBare); });

    // Toggle a region NG output at irregular intervals (so requests fall at
    // every phase of the 5 ms pass) and time each change to the wire.
    std::vector<double> delays, inputDelays;
    unsigned seed = 12345;
    bool on = false;
    int lost = 0;
    const double end = monotonicSeconds() + seconds;
    while (monotonicSeconds() < end) {
        seed = seed * 1103515245u + 12345u;
        QThread::usleep(20000 + (seed >> 8) % 30000);
        on = !on;
        const double inputAt = changeInput(sim, on);
        const qint64 told = waitForInputTold(inputAt);
        if (told > 0)
            inputDelays.push_back((double(told) * 1e-9 - inputAt) * 1e3);
        else
            ++lost;
        port->IOSetOut(kOutRegionNG0, on);
        const double requested = monotonicSeconds();
        port->IOFlashOut();
        double seen = 0;
        if (sim.waitForOutput(on ? 1 << kOutRegionNG0 : 0, 1000, &seen))
            delays.push_back((seen - requested) * 1e3);
        else
            ++lost;
    }
    delete port;  // stops the IO thread
    stopBare = true;
    bare.join();

    std::vector<double> periods, deviations, barePeriods, bareDeviations;
    const int passes = gPassCount.load(std::memory_order_acquire);
    periodsOf(gPassTimes.data(), passes, &periods, &deviations);
    periodsOf(bareTimes.data(), int(bareTimes.size()), &barePeriods, &bareDeviations);

    std::printf("nproc=%ld  duration=%.1f s  passes=%d  output changes=%zu (lost %d)\n",
                sysconf(_SC_NPROCESSORS_ONLN), seconds, passes, delays.size(), lost);
    report("pass period", periods);
    report("|period - 5 ms|", deviations);
    report("output request -> frame at board", delays);
    report("input at board -> program told", inputDelays);
    report("bare sleeper: period", barePeriods);
    report("bare sleeper: |period - 5 ms|", bareDeviations);
    return 0;
}
