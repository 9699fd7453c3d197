#include "network/netqueue.h"

QByteArray NetQueue::takeDue(qint64 nowMs)
{
    if (writes > 0 && nowMs < deadline)
        return {};
    if (writes >= kWrites) {
        queue.removeFirst();
        writes = 0;
        ++droppedCount;
    }
    if (queue.isEmpty())
        return {};
    ++writes;
    deadline = nowMs + kAckWaitMs;
    return queue.first();
}

void NetQueue::written(qint64 nowMs)
{
    if (writes > 0)
        deadline = nowMs + kAckWaitMs;
}

qint64 NetQueue::waitMs(qint64 nowMs) const
{
    if (writes > 0)
        return deadline > nowMs ? deadline - nowMs : 0;
    return queue.isEmpty() ? -1 : 0;
}

bool NetQueue::acknowledge()
{
    if (writes == 0)
        return false;
    queue.removeFirst();
    writes = 0;
    return true;
}

void NetQueue::restartHead()
{
    writes = 0;
}
