#pragma once
// The send queue: framed messages, oldest first, without a bound. One message
// is in flight at a time: it is written, and when no acknowledgement comes
// within the ack wait it is written once more, then dropped. An
// acknowledgement removes the head only while that head is in flight, so a
// late or repeated one never costs a message that was not written yet.
// Not locked: the sender thread holds its mutex around every call. Times are
// milliseconds of a monotonic clock.

#include <QByteArray>
#include <QList>

class NetQueue
{
public:
    static constexpr qint64 kAckWaitMs = 5000;
    static constexpr int kWrites = 2;

    void append(const QByteArray& frame) { queue.append(frame); }
    int size() const { return queue.size(); }
    bool isEmpty() const { return queue.isEmpty(); }
    const QList<QByteArray>& messages() const { return queue; }

    // The message to write now (and counts the write), or an empty array when
    // nothing is due. Drops a head whose last write went unacknowledged.
    QByteArray takeDue(qint64 nowMs);
    // The write of the message in flight ended: its ack wait starts now.
    void written(qint64 nowMs);
    // Milliseconds until something is due: 0 at once, -1 never (empty).
    qint64 waitMs(qint64 nowMs) const;
    // An acknowledgement; false when nothing was in flight (ignored).
    bool acknowledge();
    // A new connection: the head, even when written before, starts afresh.
    void restartHead();

    bool inFlight() const { return writes > 0; }
    int dropped() const { return droppedCount; }

private:
    QList<QByteArray> queue;
    int writes = 0;          // writes of the head so far
    qint64 deadline = 0;     // end of the ack wait of the last write
    int droppedCount = 0;
};
