#include "network/netqueue.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr qint64 kWait = NetQueue::kAckWaitMs;

NetQueue Queue(std::initializer_list<const char*> frames)
{
    NetQueue q;
    for (const char* f : frames)
        q.append(f);
    return q;
}

}  // namespace

TEST(NetQueue, OneMessageInFlightUntilItsAck)
{
    NetQueue q = Queue({"a", "b"});
    EXPECT_EQ(q.takeDue(0), "a");
    EXPECT_EQ(q.takeDue(1), QByteArray());       // waiting for the ack
    EXPECT_EQ(q.waitMs(1000), kWait - 1000);
    EXPECT_TRUE(q.acknowledge());
    EXPECT_EQ(q.waitMs(1000), 0);
    EXPECT_EQ(q.takeDue(1000), "b");
    EXPECT_TRUE(q.acknowledge());
    EXPECT_TRUE(q.isEmpty());
    EXPECT_EQ(q.waitMs(2000), -1);
    EXPECT_EQ(q.dropped(), 0);
}

TEST(NetQueue, AnUnacknowledgedMessageIsWrittenTwiceThenDropped)
{
    NetQueue q = Queue({"a", "b"});
    EXPECT_EQ(q.takeDue(0), "a");
    EXPECT_EQ(q.takeDue(kWait - 1), QByteArray());
    EXPECT_EQ(q.takeDue(kWait), "a");             // the second try
    EXPECT_EQ(q.takeDue(2 * kWait - 1), QByteArray());
    EXPECT_EQ(q.takeDue(2 * kWait), "b");         // a dropped, b next
    EXPECT_EQ(q.dropped(), 1);
    EXPECT_EQ(q.size(), 1);
}

TEST(NetQueue, AcknowledgementsWithNothingInFlightAreIgnored)
{
    struct Case {
        const char* what;
        std::function<void(NetQueue&)> before;
        int left;   // messages left after one more ack
    };
    const Case cases[] = {
        {"nothing written yet", [](NetQueue&) {}, 2},
        {"after an ack", [](NetQueue& q) { q.takeDue(0); q.acknowledge(); }, 1},
        {"after the drop", [](NetQueue& q) { q.takeDue(0); q.takeDue(kWait); q.takeDue(2 * kWait); q.acknowledge(); }, 0},
        {"late ack of the second try", [](NetQueue& q) { q.takeDue(0); q.takeDue(kWait); }, 1},
    };
    for (const Case& c : cases) {
        NetQueue q = Queue({"a", "b"});
        c.before(q);
        const int before = q.size();
        const bool taken = q.acknowledge();
        EXPECT_EQ(q.size(), c.left) << c.what;
        EXPECT_EQ(taken, c.left < before) << c.what;
    }
}

TEST(NetQueue, ANewConnectionWritesTheHeadAfreshWithTwoTries)
{
    NetQueue q = Queue({"a", "b"});
    q.takeDue(0);
    q.takeDue(kWait);   // both tries used on the old connection
    q.restartHead();
    EXPECT_FALSE(q.inFlight());
    EXPECT_FALSE(q.acknowledge());   // an ack before the new write is ignored
    EXPECT_EQ(q.takeDue(kWait + 1), "a");
    EXPECT_EQ(q.takeDue(2 * kWait + 1), "a");
    EXPECT_EQ(q.takeDue(3 * kWait + 1), "b");
}

TEST(NetQueue, MessagesGoOutOldestFirst)
{
    NetQueue q;
    for (int i = 0; i < 10; ++i)
        q.append(QByteArray::number(i));
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(q.takeDue(i), QByteArray::number(i));
        q.acknowledge();
    }
    EXPECT_TRUE(q.isEmpty());
}

TEST(NetQueue, TheAckWaitCountsFromTheEndOfTheWrite)
{
    NetQueue q = Queue({"a"});
    EXPECT_EQ(q.takeDue(0), "a");
    q.written(3000);   // a slow client took 3 s to take the bytes
    EXPECT_EQ(q.takeDue(kWait), QByteArray());
    EXPECT_EQ(q.waitMs(kWait), 3000);
    EXPECT_EQ(q.takeDue(kWait + 3000), "a");
    q.acknowledge();
    q.written(kWait + 3100);   // an ack during the write leaves nothing in flight
    EXPECT_FALSE(q.inFlight());
    EXPECT_EQ(q.waitMs(kWait + 3100), -1);
}
