#include "fakeclock.h"

#include <QtGlobal>

namespace {

class FakeTimer : public RunTimer
{
public:
    FakeTimer(FakeClock& clock, std::shared_ptr<FakeClock::Slot> slot) : clock(clock), slot(std::move(slot)) {}
    void start(int ms) override
    {
        slot->active = true;
        slot->interval = qMax(1, ms);  // a 0 ms timer still lets time pass
        slot->due = clock.elapsedMs() + slot->interval;
        slot->order = clock.nextOrder();
    }
    void stop() override { slot->active = false; }
    bool isActive() const override { return slot->active; }

private:
    FakeClock& clock;
    std::shared_ptr<FakeClock::Slot> slot;
};

}  // namespace

std::unique_ptr<RunTimer> FakeClock::createTimer(bool singleShot, std::function<void()> onTimeout)
{
    auto slot = std::make_shared<Slot>();
    slot->singleShot = singleShot;
    slot->onTimeout = std::move(onTimeout);
    armed.push_back(slot);
    return std::make_unique<FakeTimer>(*this, slot);
}

std::shared_ptr<FakeClock::Slot> FakeClock::nextDue(qint64 until)
{
    std::shared_ptr<Slot> best;
    for (const auto& weak : armed) {
        auto slot = weak.lock();
        if (!slot || !slot->active || slot->due > until)
            continue;
        if (!best || slot->due < best->due || (slot->due == best->due && slot->order < best->order))
            best = slot;
    }
    return best;
}

void FakeClock::advance(qint64 ms)
{
    const qint64 until = nowMs + ms;
    for (int fired = 0; fired < 10000000; ++fired) {
        std::shared_ptr<Slot> slot = nextDue(until);
        if (!slot)
            break;
        nowMs = slot->due;
        if (slot->singleShot) {
            slot->active = false;
        } else {
            slot->due += slot->interval;
            slot->order = nextOrder();
        }
        slot->onTimeout();
    }
    nowMs = qMax(nowMs, until);  // a nested advance may have gone further
}
