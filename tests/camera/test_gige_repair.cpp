// The GigE address repair for real, in network namespaces this test makes
// (needs root; skipped otherwise). Each test moves its own thread into a new
// network namespace that holds one end of a veth pair (vh, 192.168.77.1/24:
// the host's interface); the other end (vc) goes to a second namespace, held
// by a sleeping process, where the simulated camera tool gigesim answers.
// Nothing here touches the host's interfaces: the test checks that it runs in
// a namespace of its own, holding only loopback, before it makes anything.

#include "camera/gigerepair.h"
#include "tests/common/testsupport.h"
#include "tools/camera-sim/simrig.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <memory>

namespace {

constexpr int kCommandMs = 10000;
const char kHostIp[] = "192.168.77.1";
const char kHostMask[] = "255.255.255.0";

uint32_t Ip(const char* text)
{
    uint32_t ip = 0;
    GetIpFromString(text, &ip);
    return ip;
}

QString Text(uint32_t ip)
{
    return QString::fromStdString(getStrIp(ip));
}

QString firstLine(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readLine()).trimmed() : QString();
}

QString netNamespace(const QString& of)
{
    return QFile::symLinkTarget(of);
}

bool onlyLoopback()
{
    struct if_nameindex* names = if_nameindex();
    int count = 0;
    bool lo = false;
    for (struct if_nameindex* n = names; n && n->if_index != 0; ++n, ++count)
        lo = lo || QByteArray(n->if_name) == "lo";
    if_freenameindex(names);
    return count == 1 && lo;
}

bool running(const char* name)
{
    const int s = socket(AF_INET, SOCK_DGRAM, 0);
    ifreq r{};
    std::strncpy(r.ifr_name, name, IFNAMSIZ - 1);
    const bool up = ioctl(s, SIOCGIFFLAGS, &r) == 0 && (r.ifr_flags & IFF_RUNNING);
    close(s);
    return up;
}

class GigeNet : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (geteuid() != 0)
            GTEST_SKIP() << "GigE repair tests need root (network namespaces, raw ARP sockets); CI runs them";
        for (const char* program : {"ip", "nsenter", "unshare"})
            if (QStandardPaths::findExecutable(program).isEmpty())
                GTEST_SKIP() << "GigE repair tests need the program " << program;
        const QString hostNet = netNamespace("/proc/1/ns/net");
        if (unshare(CLONE_NEWNET) != 0)
            GTEST_SKIP() << "no network namespace could be made here: " << std::strerror(errno);
        ASSERT_NE(netNamespace("/proc/thread-self/ns/net"), hostNet);
        ASSERT_TRUE(onlyLoopback());
        qunsetenv("MOULDMON_SIM_CAMERAS");
        simcam::Rig::instance().reload();
        saved = gigeTiming();
        GigeTiming& t = gigeTiming();
        t.receiveWaitMs = 50;
        t.ackAttempts = 4;
        t.attemptPauseMs = 5;
        t.sends = 2;
        t.discoveryWaitMs = 400;
        t.seed = 11;
    }

    void TearDown() override
    {
        for (QProcess* p : {tool.get(), holder.get()})
            if (p && p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(kCommandMs);
            }
        gigeTiming() = saved;
    }

    static bool run(const QString& program, const QStringList& args)
    {
        QProcess p;
        p.start(program, args);
        const bool ok = p.waitForFinished(kCommandMs) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        if (!ok)
            ADD_FAILURE() << program.toStdString() << " " << args.join(' ').toStdString() << ": "
                          << p.readAllStandardError().toStdString();
        return ok;
    }

    bool inCameraNet(const QStringList& command) const
    {
        return run("nsenter", QStringList{"-t", QString::number(holder->processId()), "-n"} + command);
    }

    // The veth pair: vh here, vc in the camera namespace at cameraAddress.
    void wire(const QString& cameraAddress = "10.77.0.9/24")
    {
        holder = std::make_unique<QProcess>();
        holder->start("unshare", {"-n", "sleep", "120"});
        ASSERT_TRUE(holder->waitForStarted(kCommandMs));
        const QString comm = QStringLiteral("/proc/%1/comm").arg(holder->processId());
        ASSERT_TRUE(WaitFor([&] { return firstLine(comm) == "sleep"; }, kCommandMs));
        ASSERT_TRUE(run("ip", {"link", "add", "vh", "type", "veth", "peer", "name", "vc"}));
        ASSERT_TRUE(run("ip", {"link", "set", "vc", "netns", QString::number(holder->processId())}));
        ASSERT_TRUE(run("ip", {"addr", "add", QString(kHostIp) + "/24", "dev", "vh"}));
        ASSERT_TRUE(run("ip", {"link", "set", "vh", "up"}));
        ASSERT_TRUE(inCameraNet({"ip", "addr", "add", cameraAddress, "dev", "vc"}));
        ASSERT_TRUE(inCameraNet({"ip", "link", "set", "vc", "up"}));
        ASSERT_TRUE(WaitFor([] { return running("vh"); }, kCommandMs));
    }

    void startCamera(const QStringList& args)
    {
        tool = std::make_unique<QProcess>();
        tool->start("nsenter", QStringList{"-t", QString::number(holder->processId()), "-n",
                                           BuildDir() + "/tools/gige-sim/gigesim", "--iface", "vc"}
                                   + args);
        ASSERT_TRUE(WaitFor([&] {
            tool->waitForReadyRead(100);
            output += QString::fromLatin1(tool->readAllStandardOutput());
            return output.contains("ready\n");
        }, kCommandMs)) << tool->readAllStandardError().toStdString();
    }

    // The tool's event lines so far that begin with prefix.
    QStringList events(const QString& prefix)
    {
        for (int i = 0; i < 3 && tool->waitForReadyRead(100); ++i)
            output += QString::fromLatin1(tool->readAllStandardOutput());
        QStringList found;
        for (const QString& line : output.split('\n'))
            if (line.startsWith(prefix))
                found << line;
        return found;
    }

    QString forceIpTo(uint32_t ip) const
    {
        return QStringLiteral("forceip 0 %1 %2 0.0.0.0 0 1").arg(Text(ip), kHostMask);
    }

    GigeTiming saved;
    std::unique_ptr<QProcess> holder;
    std::unique_ptr<QProcess> tool;
    QString output;
};

TEST_F(GigeNet, NoUsableInterfaceGivesMinusOne)
{
    EXPECT_EQ(RepairAllCameraIP(), -1);
}

TEST_F(GigeNet, DiscoveryListsTheCameraOnItsInterface)
{
    wire();
    startCamera({});
    CIpConfig config;
    ASSERT_EQ(config.DeviceEnumeInit(), 1);
    ASSERT_EQ(config.RefreshDevList(), 1);
    EXPECT_EQ(AckIp(config.device(0)), Ip("10.77.0.9"));
    EXPECT_EQ(AckMask(config.device(0)), Ip(kHostMask));
    EXPECT_EQ(AckMac(config.device(0)), (MacAddress{0x00, 0x0C, 0xDF, 0, 0, 0}));
    EXPECT_EQ(AckModel(config.device(0)), "SIM-GIGE-0");
    EXPECT_EQ(AckSerial(config.device(0)), "GSIM000000");
    EXPECT_EQ(config.interfaceOf(0).name, "vh");
    EXPECT_FALSE(config.IsDevIPValid(0));
    EXPECT_EQ(events("discovery"), QStringList{"discovery 42 11 00 02 00 00 00 01"});
}

// The camera outside the subnet moves to a random free address of it: the
// first candidate drawn is held by another machine (it answers ARP), so the
// second one is given.
TEST_F(GigeNet, AnOutOfSubnetCameraIsForcedToAFreeAddress)
{
    std::minstd_rand draws(*gigeTiming().seed);
    const uint32_t inUse = DrawCandidate(draws, Ip(kHostIp), Ip(kHostMask));
    const uint32_t free = DrawCandidate(draws, Ip(kHostIp), Ip(kHostMask));
    wire();
    startCamera({"--arp", Text(inUse)});
    EXPECT_EQ(RepairAllCameraIP(), 1);
    EXPECT_EQ(events("arp"), QStringList{"arp " + Text(inUse)});
    EXPECT_EQ(events("forceip"), QStringList{forceIpTo(free)});

    CIpConfig config;
    ASSERT_EQ(config.DeviceEnumeInit(), 1);
    ASSERT_EQ(config.RefreshDevList(), 1);
    EXPECT_EQ(AckIp(config.device(0)), free);
    EXPECT_TRUE(config.IsDevIPValid(0));
}

// Every candidate answered: nothing is forced (never an address in use).
TEST_F(GigeNet, NoFreeCandidateForcesNothing)
{
    gigeTiming().probeAttempts = 2;
    std::minstd_rand draws(*gigeTiming().seed);
    const uint32_t first = DrawCandidate(draws, Ip(kHostIp), Ip(kHostMask));
    const uint32_t second = DrawCandidate(draws, Ip(kHostIp), Ip(kHostMask));
    wire();
    startCamera({"--arp", Text(first), "--arp", Text(second)});
    EXPECT_EQ(RepairAllCameraIP(), 0);
    EXPECT_EQ(events("arp").size(), 2);
    EXPECT_EQ(events("forceip"), QStringList());
}

// Where the camera is: in the subnet it is left alone; on the interface's own
// address it is moved.
TEST_F(GigeNet, ACameraInTheSubnetStaysOneOnTheHostAddressMoves)
{
    struct Case {
        const char* ip;
        int repaired;
    };
    for (const Case& c : {Case{"192.168.77.50", 0}, Case{kHostIp, 1}}) {
        TearDown();
        SetUp();
        output.clear();
        wire("10.77.0.9/24");
        startCamera({"--ip", c.ip});
        EXPECT_EQ(RepairAllCameraIP(), c.repaired) << c.ip;
        EXPECT_EQ(events("forceip").size(), c.repaired) << c.ip;
    }
}

// Replies the repair must not act on, and devices that do not take the address.
TEST_F(GigeNet, CameraModes)
{
    struct Case {
        const char* mode;
        const char* count;
        int listed;
        int forceIpSends;
    };
    const Case cases[] = {
        {"silent", "1", 0, 0},    // no answer at all
        {"short", "1", 0, 0},     // truncated acknowledges are ignored
        {"foreign", "1", 0, 0},   // another manufacturer's devices are never listed
        {"status", "1", 1, 1},    // refused with a non-zero status: not repaired
        {"noforce", "1", 1, 2},   // no acknowledge: sent gigeTiming().sends times
        {"repeat", "1", 1, 1},    // the same device answering thrice is one entry
        {"normal", "251", 250, -1},   // an interface keeps 250 devices
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        output.clear();
        gigeTiming().probeAttempts = 1;
        wire();
        startCamera({"--mode", c.mode, "--count", c.count});
        CIpConfig config;
        ASSERT_EQ(config.DeviceEnumeInit(), 1);
        EXPECT_EQ(config.RefreshDevList(), c.listed) << c.mode;
        if (c.forceIpSends < 0)
            continue;
        const int repaired = c.listed && config.AutoSetIpAddr(0) ? 1 : 0;
        EXPECT_EQ(repaired, std::string(c.mode) == "repeat" ? 1 : 0) << c.mode;
        EXPECT_EQ(events("forceip").size(), c.forceIpSends) << c.mode;
    }
}

// With simulated cameras standing in, the repair sends nothing: the camera
// on the wire hears no discovery.
TEST_F(GigeNet, NothingIsSentWhileSimulatedCamerasStandIn)
{
    wire();
    startCamera({});
    QTemporaryDir sims;
    qputenv("MOULDMON_SIM_CAMERAS", sims.path().toUtf8());
    simcam::Rig::instance().reload();
    EXPECT_EQ(RepairAllCameraIP(), 0);
    qunsetenv("MOULDMON_SIM_CAMERAS");
    simcam::Rig::instance().reload();
    EXPECT_EQ(events("discovery"), QStringList());
}

}  // namespace
