#include "network/netcard.h"
#include "tests/common/testsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

namespace {

const QString kDev = QStringLiteral(
    "Inter-|   Receive                            |  Transmit\n"
    " face |bytes    packets errs drop fifo frame compressed multicast|bytes\n"
    "    lo: 1000 10 0 0 0 0 0 0 1000\n"
    "  eth0:12345 20 0 0 0 0 0 0 999\n"
    " wlan0: 0 0 0 0 0 0 0 0 0\n");
const QString kEth0Block = QStringLiteral(
    "auto eth0\niface eth0 inet static\naddress 10.0.0.7\nnetmask 255.0.0.0\ngateway 10.0.0.1");

using Cards = QMap<QString, QStringList>;

void Write(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

}  // namespace

TEST(NetCard, CardMapFromTheInterfacesFileAndTheKernelList)
{
    const QStringList defaults = NetCards::DefaultCard();
    struct Case {
        const char* what;
        QString interfaces;
        QString dev;
        Cards expected;
    };
    const Case cases[] = {
        {"described card, wireless card with defaults, no lo", kEth0Block, kDev,
         {{"eth0", {"10.0.0.7", "255.0.0.0", "10.0.0.1"}}, {"wlan0", defaults}}},
        {"indented lines are taken by position", QString(kEth0Block).replace("\n", "\n    "), kDev,
         {{"eth0", {"ess 10.0.0.7", "ask 255.0.0.0", "way 10.0.0.1"}}, {"wlan0", defaults}}},
        {"a kernel card the file does not describe", kEth0Block, kDev + " eth1: 0 0\n",
         {{"eth0", {"10.0.0.7", "255.0.0.0", "10.0.0.1"}}, {"eth1", defaults}, {"wlan0", defaults}}},
        {"a described card the kernel does not know is dropped", "auto eth9\naddress 1.2.3.4", kDev,
         {{"eth0", defaults}, {"wlan0", defaults}}},
        {"a commented or loopback block adds nothing", "#auto eth0\naddress 1.1.1.1\n\nauto lo\naddress 2.2.2.2",
         kDev, {{"eth0", defaults}, {"wlan0", defaults}}},
        {"a name holding lo never gets defaults", "auto eth0", " vlo0: 0 0\n eth0: 0\n", {{"eth0", defaults}}},
        {"an empty file gives no cards", QString(), kDev, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NetCards::CardMap(c.interfaces, c.dev), c.expected) << c.what;
}

TEST(NetCard, MacMapSkipsLoopbackAndUnreadableAddresses)
{
    const auto read = [](const QString& name) {
        return name == QLatin1String("eth0") ? QStringLiteral("00:11:22:33:44:55\n") : QString();
    };
    const QMap<QString, QString> macs = NetCards::MacMap(kDev + " vlo0: 0\n", read);
    EXPECT_EQ(macs, (QMap<QString, QString>{{"eth0", "00:11:22:33:44:55"}}));
}

TEST(NetCard, ReadsTheSystemFilesUnderARoot)
{
    TempWorkDir work;
    const QString root = work.path();
    Write(root + "/etc/network/interfaces", kEth0Block.toUtf8());
    Write(root + "/proc/net/dev", kDev.toUtf8());
    Write(root + "/sys/class/net/eth0/address", "aa:bb:cc:dd:ee:ff\n");
    Write(root + "/sys/class/net/wlan0/address", "01:02:03:04:05:06\n");
    EXPECT_EQ(NetCards::getNewNetCardInfo(root).keys(), (QStringList{"eth0", "wlan0"}));
    EXPECT_EQ(NetCards::getNetMac(root),
              (QMap<QString, QString>{{"eth0", "aa:bb:cc:dd:ee:ff"}, {"wlan0", "01:02:03:04:05:06"}}));
    EXPECT_TRUE(NetCards::getNewNetCardInfo(root + "/nothing").isEmpty());
}
