// The staged network files and their apply step.

#include "core/commandrunner.h"
#include "core/wizardpara.h"
#include "settings/netstaging.h"
#include "tests/common/testsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

namespace {

using Cards = QMap<QString, QStringList>;

void writeFile(const QString& path, const QByteArray& bytes)
{
    ASSERT_TRUE(WriteBytes(path, bytes)) << path.toStdString();
}

TEST(NetStagingText, InterfacesFileSkipsLoopbackAndWifi)
{
    const Cards cards{{"eth1", {"10.0.0.2", "255.0.0.0", "10.0.0.1"}},
                      {"eth0", {"192.168.3.5", "255.255.255.0", "192.168.3.1"}},
                      {"wlan0", {"1.1.1.1", "255.0.0.0", "1.1.1.254"}},
                      {"lo", {"127.0.0.1", "255.0.0.0", "0.0.0.0"}}};
    EXPECT_EQ(NetStaging::InterfacesText(cards),
              QByteArray("auto lo\niface lo inet loopback\r\n\r\n"
                         "auto eth0\niface eth0 inet static\naddress 192.168.3.5\nnetmask 255.255.255.0\n"
                         "gateway 192.168.3.1\n\n"
                         "auto eth1\niface eth1 inet static\naddress 10.0.0.2\nnetmask 255.0.0.0\ngateway 10.0.0.1\n\n"));
    EXPECT_EQ(NetStaging::InterfacesText({{"wlan0", {"a", "b", "c"}}}),
              QByteArray("auto lo\niface lo inet loopback\r\n\r\n"));
}

TEST(NetStagingText, HostsFile)
{
    struct Case {
        const char* name;
        QString system;
        QByteArray expected;
    } cases[] = {
        {"earlier lines dropped", "127.0.1.1\told\n127.0.0.1\told\n\n# comment\n::1 ip6-localhost\n",
         "127.0.1.1\tM7\n127.0.0.1\tM7\n\n\n# comment\n::1 ip6-localhost\n\n"},
        {"localhost line kept", "127.0.0.1\tlocalhost\n127.0.1.1\told\n# The following\n::1 localhost\n",
         "127.0.1.1\tM7\n127.0.0.1\tM7\n\n\n127.0.0.1\tlocalhost\n# The following\n::1 localhost\n\n"},
        {"comment first keeps all", "# c\n10.0.0.9 x", "127.0.1.1\tM7\n127.0.0.1\tM7\n\n\n# c\n10.0.0.9 x\n"},
        {"no comment keeps all", "10.0.0.9 x\n", "127.0.1.1\tM7\n127.0.0.1\tM7\n\n\n10.0.0.9 x\n\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NetStaging::HostsText("M7", c.system), c.expected) << c.name;
}

TEST(NetStagingText, RegisterKeepsEarlierMacsAndDropsBrokenLines)
{
    const QByteArray earlier("aa:aa=1.1.1.1;255.0.0.0;1.1.1.254\nbroken line\nx=y=z\nbb:bb=old\n");
    const Cards cards{{"eth0", {"10.0.0.2", "255.0.0.0", "10.0.0.1"}}, {"eth9", {"1", "2", "3"}}};
    const QByteArray text = NetStaging::RegisterText(earlier, cards, [](const QString& name) {
        return name == "eth0" ? QString("bb:bb\n") : QString();
    });
    EXPECT_EQ(text, QByteArray("aa:aa=1.1.1.1;255.0.0.0;1.1.1.254\nbb:bb=10.0.0.2;255.0.0.0;10.0.0.1\n"));
}

TEST(NetStagingText, AddressesMustBeDottedQuads)
{
    EXPECT_EQ(NetStaging::InvalidAddress({{"eth0", {"192.168.3.5", "255.255.255.0", "192.168.3.1"}}}), "");
    EXPECT_EQ(NetStaging::InvalidAddress({{"eth0", {"192.168.3", "255.255.255.0", "192.168.3.1"}}}), "192.168.3");
    EXPECT_EQ(NetStaging::InvalidAddress({{"eth0", {"192.168.3.5", "255.255.256.0", "192.168.3.1"}}}),
              "255.255.256.0");
    EXPECT_EQ(NetStaging::InvalidAddress({{"eth0", {"1.2.3.4", "", "1.2.3.1"}}}), "eth0");
    EXPECT_EQ(NetStaging::InvalidAddress({{"wlan0", {"", "", ""}}}), "");
}

TEST(NetStagingText, OnlyEditedCardsAreChecked)
{
    NetCard inForce;
    inForce.cardMap = {{"eth0", {"", "", ""}}, {"eth1", {"10.0.0.2", "255.0.0.0", "10.0.0.1"}}};
    NetCard edited = inForce;
    EXPECT_EQ(NetStaging::InvalidEditedAddress(edited, inForce), "");
    edited.cardMap["eth1"][2] = "10.0.0";
    EXPECT_EQ(NetStaging::InvalidEditedAddress(edited, inForce), "10.0.0");
}

class NetStage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        inForce.cardMap = {{"eth0", {"192.168.3.5", "255.255.255.0", "192.168.3.1"}}};
        inForce.hostName = "M1";
        edited = inForce;
        writeFile(work.file("root/etc/hosts"), "127.0.0.1\tlocalhost\n# hosts\n");
        CommandRunner::setFake([this](const QString& p, const QStringList& a) {
            commands << CommandRunner::commandLine(p, a);
            return CommandResult{};
        });
    }
    void TearDown() override { CommandRunner::setFake(nullptr); }
    int stage() { return NetStaging::Stage(edited, inForce, e, r, work.file("root")); }

    TempWorkDir work;
    NetCard inForce;
    NetCard edited;
    WizardPara r;
    WizardPara e;
    QStringList commands;
};

TEST_F(NetStage, NothingChangedWritesNothing)
{
    EXPECT_EQ(stage(), 0);
    EXPECT_FALSE(QFile::exists(work.file("cnt_net/ls_interfaces")));
}

TEST_F(NetStage, ChangeBits)
{
    edited.cardMap["eth0"][0] = "192.168.3.6";
    e.netLinkOn = 1;
    edited.hostName = "M2";
    WizardPara::SetText(e.useName, "eth0");
    EXPECT_EQ(stage(), 1 | 2 | 4 | 8);
    EXPECT_TRUE(ReadBytes(work.file("cnt_net/ls_interfaces")).contains("address 192.168.3.6\n"));
    EXPECT_EQ(ReadBytes(work.file("cnt_net/ls_hostname")), "M2");
    EXPECT_EQ(ReadBytes(work.file("cnt_net/ls_hosts")), "127.0.1.1\tM2\n127.0.0.1\tM2\n\n\n127.0.0.1\tlocalhost\n# hosts\n\n");
    EXPECT_EQ(edited.hostName, "M2");
}

TEST_F(NetStage, HostNameWithLinkOffIsStagedButNotKept)
{
    edited.hostName = "M2";
    e.videoType = 2;
    EXPECT_EQ(stage(), 4);
    EXPECT_EQ(edited.hostName, "M1");
    EXPECT_EQ(ReadBytes(work.file("cnt_net/ls_hostname")), "M2");
}

TEST_F(NetStage, ApplyCopiesOnlyTheFilesOfItsBits)
{
    const QString root = work.file("root");
    writeFile(root + "/sys/class/net/eth0/address", "00:11:22:33:44:55\n");
    NetStaging::Apply(1, inForce.cardMap, root);
    EXPECT_EQ(commands, QStringList{"cp " + work.file("cnt_net/ls_interfaces") + " " + root + "/etc/network/interfaces"});
    EXPECT_EQ(ReadBytes(work.file("cnt_net/registermac.txt")), "00:11:22:33:44:55=192.168.3.5;255.255.255.0;192.168.3.1\n");
    commands.clear();
    NetStaging::Apply(4 | 2, inForce.cardMap, root);
    EXPECT_EQ(commands, QStringList({"cp " + work.file("cnt_net/ls_hostname") + " " + root + "/etc/hostname",
                                     "cp " + work.file("cnt_net/ls_hosts") + " " + root + "/etc/hosts"}));
}

}  // namespace
