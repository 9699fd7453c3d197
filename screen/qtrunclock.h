#pragma once
// The program's clock: precise QTimers, a monotonic QElapsedTimer and the
// system's local time.

#include "screen/runclock.h"

#include <QElapsedTimer>

class QtRunClock : public RunClock
{
public:
    QtRunClock();
    Q_DISABLE_COPY(QtRunClock)

    std::unique_ptr<RunTimer> createTimer(bool singleShot, std::function<void()> onTimeout) override;
    qint64 elapsedMs() const override;
    QDateTime now() const override;

private:
    QElapsedTimer elapsed;
};
