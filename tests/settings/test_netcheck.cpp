// The network test (route, pings, client) with canned command output, and
// the traffic check's readings of /proc/net/dev text.

#include "core/texttable.h"
#include "settings/netcheck.h"
#include "tests/common/testsupport.h"

#include <gtest/gtest.h>

namespace {

TEST(NetCheck, GatewayIsTheAddressAfterTheFirstUsableVia)
{
    struct Case {
        const char* what;
        QByteArray route;
        QString gateway;
    } cases[] = {
        {"default route", "default via 192.168.3.1 dev eth0 proto static\n192.168.3.0/24 dev eth0 scope link\n",
         "192.168.3.1"},
        {"no via", "192.168.3.0/24 dev eth0 proto kernel scope link src 192.168.3.5\n", ""},
        {"via last", "10.0.0.0/8 dev eth0 via", ""},
        {"via next-to-last", "10.0.0.0/8 dev eth0 via 10.0.0.1", ""},
        {"the search goes on after a short via", "a via\nb via 10.1.1.1 dev eth1", "10.1.1.1"},
        {"not an address", "default via -f dev eth0", ""},
        {"empty", "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NetCheck::Gateway(c.route), c.gateway) << c.what;
}

TEST(NetCheck, APingCountsWithANonZeroReplyTime)
{
    struct Case {
        const char* what;
        QByteArray output;
        bool answered;
    } cases[] = {
        {"reply", "PING 192.168.3.1 56(84)\n64 bytes from 192.168.3.1: icmp_seq=1 ttl=64 time=0.045 ms\n", true},
        {"zero time", "64 bytes from 10.0.0.1: icmp_seq=1 ttl=64 time=0.000 ms\n", false},
        {"zero then a reply", "x time=0.000 ms\ny time=12.5 ms\n", true},
        {"no reply", "PING 10.0.0.9 56(84)\n--- 10.0.0.9 ping statistics ---\n2 packets transmitted, 0 received\n", false},
        {"not a number", "x time=abc ms\n", false},
        {"empty", "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NetCheck::Answered(c.output), c.answered) << c.what;
}

TEST(NetCheck, TestRunsTheCommandsInOrderAndShowsOneLine)
{
    Data_Init();
    gLan = 1;
    const QByteArray reply("64 bytes: icmp_seq=1 ttl=64 time=0.3 ms\n");
    struct Case {
        const char* what;
        QByteArray route, ping;
        bool connected;
        QString result;
        QStringList commands;
    } cases[] = {
        {"all answer, no client", "default via 192.168.3.1 dev eth0\n", reply, false, "LAN OK,Internet OK,Server NG",
         {"ip route show", "ping 192.168.3.1 -w 2", "ping 114.114.114.114 -w 3"}},
        {"nothing answers, client", "default via 10.0.0.1 dev eth0\n", "", true, "LAN NG,Internet NG,Server OK",
         {"ip route show", "ping 10.0.0.1 -w 2", "ping 114.114.114.114 -w 3"}},
        {"no gateway: no pings", "10.0.0.0/8 dev eth0\n", reply, true, "Access to gateway information error",
         {"ip route show"}},
    };
    for (const Case& c : cases) {
        CommandRecorder commands;
        commands.answer("ip", c.route);
        commands.answer("ping", c.ping);
        QString result = "LAN OK";
        QStringList shown;
        NetCheck::Run(result, c.connected, [&](const QString& text) { shown << text; });
        EXPECT_EQ(result, c.result) << c.what;
        EXPECT_EQ(shown, (QStringList{"LAN OK*", c.result})) << c.what;
        EXPECT_EQ(commands.lines(), c.commands) << c.what;
    }
}

TEST(NetCheck, TrafficMarksTheInterfacesWhoseCountersGrew)
{
    const QByteArray first(
        "Inter-|   Receive\n face |bytes    packets\n    lo: 5000 10 0\n  eth0: 1000 5 0\n wlan0: 77 1 0\n");
    const QMap<QString, qint64> counts = NetCheck::ReceivedBytes(first);
    EXPECT_EQ(counts, (QMap<QString, qint64>{{"eth0", 1000}, {"wlan0", 77}}));

    NetCheck::Traffic traffic;
    traffic.start(counts);
    traffic.tick(NetCheck::ReceivedBytes("  eth0: 1500 6 0\n wlan0: 77 1 0\n  eth1: 10 1 0\n"));
    EXPECT_EQ(traffic.activity(), (QMap<QString, bool>{{"eth0", true}, {"wlan0", false}}))
        << "an interface added after the start gets no mark at its first tick";
    traffic.tick(NetCheck::ReceivedBytes("  eth0: 1500 6 0\n wlan0: 80 1 0\n  eth1: 20 1 0\n"));
    EXPECT_EQ(traffic.activity(), (QMap<QString, bool>{{"eth0", false}, {"eth1", true}, {"wlan0", true}}));
    traffic.tick({});
    EXPECT_TRUE(traffic.activity().isEmpty());
}

}  // namespace
