// The address repair without a network: the packets it builds and reads, the
// address arithmetic, and the family 7 path over the simulated SDK (the ping
// probe answered by the simulated cameras).

#include "tests/camera/camerafixture.h"

#include "camera/gigerepair.h"
#include "camera/gvcp.h"
#include "tools/camera-sim/simrig.h"

#include <set>

namespace {

uint32_t Ip(const char* text)
{
    uint32_t ip = 0;
    EXPECT_TRUE(GetIpFromString(text, &ip)) << text;
    return ip;
}

TEST(Gvcp, DiscoveryAndVendorForceIpBytes)
{
    EXPECT_EQ(DiscoveryCommand(1), (std::vector<uint8_t>{0x42, 0x11, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01}));
    const MacAddress mac{1, 2, 3, 4, 5, 6};
    const std::vector<uint8_t> p = VendorForceIp(mac, Ip("192.168.77.23"), Ip("255.255.255.0"), 0, 0, 1, true, 0x7C21);
    ASSERT_EQ(p.size(), 64u);
    EXPECT_EQ(std::vector<uint8_t>(p.begin(), p.begin() + 28),
              (std::vector<uint8_t>{0x42, 0x11, 0xF0, 0x08, 0x00, 0x38, 0x7C, 0x21, 1,   2,   3,   4, 5, 6,
                                    192,  168,  77,   23,   255,  255,  255,  0,    0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(std::set<uint8_t>(p.begin() + 28, p.end()), std::set<uint8_t>{0});
    const uint16_t first = NextCmdId();
    EXPECT_EQ(NextCmdId(), static_cast<uint16_t>(first + 1));
}

// Only a whole discovery acknowledge is read; a short reply would fill the
// device's fields from stale bytes.
TEST(Gvcp, OnlyAWholeDiscoveryAckIsRead)
{
    std::vector<uint8_t> reply(256, 0);
    reply[3] = 0x03;
    reply[18] = 0xAA;
    reply[44] = 10;
    reply[47] = 9;
    std::memcpy(reply.data() + 176, "F622", 4);
    DiscoveryAck ack;
    ASSERT_TRUE(ReadDiscoveryAck(reply.data(), reply.size(), &ack));
    EXPECT_EQ(AckMac(ack)[0], 0xAA);
    EXPECT_EQ(AckIp(ack), Ip("10.0.0.9"));
    EXPECT_TRUE(AckFromVendor(ack, kGigeVendorFilter));
    EXPECT_FALSE(ReadDiscoveryAck(reply.data(), 255, &ack));
    EXPECT_FALSE(ReadDiscoveryAck(reply.data(), 64, &ack));
    reply[3] = 0x05;
    EXPECT_FALSE(ReadDiscoveryAck(reply.data(), reply.size(), &ack));
    reply[176] = 'X';
    reply[3] = 0x03;
    ASSERT_TRUE(ReadDiscoveryAck(reply.data(), reply.size(), &ack));
    EXPECT_FALSE(AckFromVendor(ack, kGigeVendorFilter));
}

TEST(Gvcp, ValidityOfADeviceAddress)
{
    struct Case {
        const char* ip;
        const char* mask;
        bool valid;
    };
    const Case cases[] = {
        {"192.168.77.20", "255.255.255.0", true},
        {"192.168.77.1", "255.255.255.0", false},   // the interface's own address
        {"10.77.0.9", "255.255.255.0", false},
        {"192.168.77.20", "255.255.0.0", false},    // its own mask makes another subnet
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsDevIPValid(Ip(c.ip), Ip(c.mask), Ip("192.168.77.1"), Ip("255.255.255.0")), c.valid) << c.ip;
}

// Candidates stay in the interface's subnet and are never its own address,
// the subnet's network or broadcast address, also for masks wider than /24.
TEST(Gvcp, CandidatesAreUsableHostAddressesOfTheSubnet)
{
    for (const char* mask : {"255.255.255.0", "255.255.240.0", "255.255.255.252"}) {
        const uint32_t host = Ip("172.16.33.1"), m = Ip(mask);
        std::minstd_rand random(7);
        for (int i = 0; i < 500; ++i) {
            const uint32_t c = DrawCandidate(random, host, m);
            if (c == 0)
                continue;   // no usable address in 100 draws (the /30)
            EXPECT_EQ(c & m, host & m) << mask;
            EXPECT_NE(c, host);
            EXPECT_NE(c, host & m);
            EXPECT_NE(c, (host & m) | ~m);
        }
    }
    std::minstd_rand a(3), b(3);
    EXPECT_EQ(DrawCandidate(a, Ip("192.168.77.1"), Ip("255.255.255.0")),
              DrawCandidate(b, Ip("192.168.77.1"), Ip("255.255.255.0")));
}

TEST(Gvcp, HostNumbersTriedInOrderNeverZeroOr255)
{
    const std::vector<int> at254 = HostNumberOrder(254);
    ASSERT_EQ(at254.size(), 254u);
    EXPECT_EQ(at254.front(), 254);
    EXPECT_EQ(at254[1], 253);
    EXPECT_EQ(at254.back(), 1);
    const std::vector<int> at1 = HostNumberOrder(1);
    EXPECT_EQ(at1.front(), 1);
    EXPECT_EQ(at1[1], 2);
    EXPECT_EQ(at1.back(), 254);
    const std::vector<int> at20 = HostNumberOrder(20);
    EXPECT_EQ((std::vector<int>(at20.begin(), at20.begin() + 3)), (std::vector<int>{20, 21, 22}));
    EXPECT_EQ(at20[235], 19);
    for (int h : {0, 255}) {
        const std::vector<int> order = HostNumberOrder(h);
        EXPECT_EQ(order.size(), 254u) << h;
        EXPECT_EQ(std::set<int>(order.begin(), order.end()).count(0), 0u);
        EXPECT_EQ(std::set<int>(order.begin(), order.end()).count(255), 0u);
    }
}

TEST(Gvcp, DottedText)
{
    uint32_t ip = 0;
    EXPECT_TRUE(GetIpFromString("0.0.0.0", &ip));
    EXPECT_EQ(getStrIp(Ip("192.168.77.254")), "192.168.77.254");
    for (const char* bad : {"256.1.1.1", "1.2.3", "1.2.3.4x", "a.b.c.d", ""})
        EXPECT_FALSE(GetIpFromString(bad, &ip)) << bad;
}

class HikReach : public CameraFixture
{
};

// A device outside its interface's subnet moves to the first host number
// nobody answers for (its own, taken by the other camera, then the next),
// with the subnet's .254 as gateway; a device inside is only checked.
TEST_F(HikReach, AnOutOfSubnetDeviceGetsTheFirstFreeAddress)
{
    makeSim(7, 2, cv::Size(64, 48));
    detect();
    simcam::Rig::instance().knobs.gigeIp[0] = Ip("10.0.0.11");   // camera 1 holds 192.168.77.11
    simcam::Rig::instance().clearCalls();
    EXPECT_EQ(EnsureDeviceReach(), 0);
    EXPECT_EQ(countCalls("MV_GIGE_ForceIpEx"), 1);
    EXPECT_TRUE(called("MV_GIGE_ForceIpEx cam0 0xC0A84D0C 0xFFFFFF00 0xC0A84DFE"));
    simcam::Rig::instance().clearCalls();
    EXPECT_EQ(EnsureDeviceReach(), 0);
    EXPECT_EQ(countCalls("MV_GIGE_ForceIpEx"), 0);
}

}  // namespace
