#include "screen/qtrunclock.h"

#include <QTimer>
#include <limits>

int TimerMs(qint64 ms)
{
    return static_cast<int>(qBound<qint64>(0, ms, std::numeric_limits<int>::max()));
}

namespace {

class QtRunTimer : public RunTimer
{
public:
    QtRunTimer(bool singleShot, std::function<void()> onTimeout)
    {
        timer.setSingleShot(singleShot);
        // 100 ms ticks and output pulses must not drift by the coarse 5 %.
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, std::move(onTimeout));
    }
    void start(int ms) override { timer.start(ms); }
    void stop() override { timer.stop(); }
    bool isActive() const override { return timer.isActive(); }

private:
    QTimer timer;
};

}  // namespace

QtRunClock::QtRunClock()
{
    elapsed.start();
}

std::unique_ptr<RunTimer> QtRunClock::createTimer(bool singleShot, std::function<void()> onTimeout)
{
    return std::make_unique<QtRunTimer>(singleShot, std::move(onTimeout));
}

qint64 QtRunClock::elapsedMs() const
{
    return elapsed.elapsed();
}

QDateTime QtRunClock::now() const
{
    return QDateTime::currentDateTime();
}
