// Finding and mounting the USB disk, against a machine stand-in that answers
// blkid and keeps a mount table file that mount and umount change.

#include "core/commandrunner.h"
#include "core/usbdisk.h"
#include "iofixture.h"

#include <QDir>
#include <QFile>
#include <QSet>

namespace {

class UsbDiskTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetMountsFile(mountsPath);
        CommandRunner::setFake([this](const QString& program, const QStringList& args) {
            return answer(program, args);
        });
    }
    void TearDown() override
    {
        CommandRunner::setFake(nullptr);
        SetMountsFile(QString());
    }

    void writeMounts(const QString& text)
    {
        QFile f(mountsPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text.toUtf8());
    }
    QString readMounts() const
    {
        QFile f(mountsPath);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    // mount succeeds for the devices in mountable and adds its line; umount
    // takes away the last line of its mount point.
    CommandResult answer(const QString& program, const QStringList& args)
    {
        commands << CommandRunner::commandLine(program, args).replace(root, QLatin1String("ROOT"));
        if (program == QLatin1String("blkid"))
            return CommandResult{0, blkid.toUtf8()};
        if (program == QLatin1String("mount") && args.size() == 2) {
            if (!mountable.contains(args[0]))
                return CommandResult{32, {}};
            writeMounts(readMounts() + QStringLiteral("%1 %2 vfat rw 0 0\n").arg(args[0], args[1]));
            return CommandResult{};
        }
        if (program == QLatin1String("umount") && args.size() == 1) {
            QStringList lines = readMounts().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            for (int i = lines.size() - 1; i >= 0; --i) {
                if (lines[i].section(QLatin1Char(' '), 1, 1) == args[0]) {
                    lines.removeAt(i);
                    writeMounts(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
                    return CommandResult{};
                }
            }
            return CommandResult{32, {}};
        }
        return CommandResult{};
    }

    TempWorkDir work;
    QString root = work.file(QStringLiteral("usb"));
    ScopedEnv rootEnv{"MOULDMON_USB_ROOT", root};
    QString mountsPath = work.file(QStringLiteral("mounts"));
    QString blkid;
    QSet<QString> mountable{QStringLiteral("/dev/sdb1"), QStringLiteral("/dev/sdc1")};
    QStringList commands;
};

const char* const kSystem = "/dev/sda1: UUID=\"1A2B\" TYPE=\"vfat\" PARTUUID=\"01\"\n"
                            "/dev/sda2: UUID=\"77aa\" TYPE=\"ext4\" PARTUUID=\"02\"\n";
const char* const kStick = "/dev/sdb1: LABEL=\"STICK\" UUID=\"5E1F\" TYPE=\"vfat\"\n";
const char* const kRootfs = "/dev/sda2 / ext4 rw,relatime 0 0\nproc /proc proc rw 0 0\n";

}  // namespace

TEST_F(UsbDiskTest, FindAUMountsTheStickAndChecksTheMountTable)
{
    struct Case {
        const char* name;
        QString blkid;
        QString mounts;  // ROOT stands for the mount point
        bool stickMounts;
        QStringList commands;
        bool found;
    } cases[] = {
        {"stick after the system disk", QString(kSystem) + kStick, kRootfs, true,
         {"blkid", "mount /dev/sdb1 ROOT"}, true},
        {"exfat seen before the system disk is not taken",
         QString("/dev/sdb1: TYPE=\"exfat\"\n") + kSystem, kRootfs, true, {"blkid"}, false},
        {"no blkid answer", QString(), kRootfs, true, {"blkid"}, false},
        {"a FAT partition of the system disk is never taken", QString(kSystem), kRootfs, true, {"blkid"}, false},
        {"ntfs stick on sdc", QString(kSystem) + "/dev/sdc1: TYPE=\"ntfs\"\n", kRootfs, true,
         {"blkid", "mount /dev/sdc1 ROOT"}, true},
        {"two earlier mounts are undone first", QString(kSystem) + kStick,
         QString(kRootfs) + "/dev/sdc1 ROOT vfat rw 0 0\n/dev/sdd1 ROOT vfat rw 0 0\n", true,
         {"blkid", "umount ROOT", "umount ROOT", "mount /dev/sdb1 ROOT"}, true},
        {"mounts below or beside the mount point are not its own", QString(kSystem) + kStick,
         QString(kRootfs) + "/dev/sdb1 ROOT/sub vfat rw 0 0\n/dev/sdb1 ROOT2 vfat rw 0 0\n", false,
         {"blkid", "mount /dev/sdb1 ROOT"}, false},
        {"a failed mount is no disk", QString(kSystem) + kStick, kRootfs, false,
         {"blkid", "mount /dev/sdb1 ROOT"}, false},
    };
    for (const Case& c : cases) {
        blkid = c.blkid;
        writeMounts(QString(c.mounts).replace(QLatin1String("ROOT"), root));
        if (!c.stickMounts)
            mountable.clear();
        commands.clear();
        EXPECT_EQ(FindAU(), c.found ? root : QString()) << c.name;
        EXPECT_EQ(commands, c.commands) << c.name;
        mountable = {QStringLiteral("/dev/sdb1"), QStringLiteral("/dev/sdc1")};
    }
}

TEST_F(UsbDiskTest, FindAUWithoutAMountTableFindsNothing)
{
    blkid = QString(kSystem) + kStick;
    QFile::remove(mountsPath);
    EXPECT_EQ(FindAU(), QString());
    EXPECT_EQ(commands, QStringList{"blkid"});
}

TEST_F(UsbDiskTest, MountTableFieldsAreComparedWhole)
{
    const QString table = QStringLiteral("/dev/sdb1 /media/my\\040disk vfat rw 0 0\n"
                                         "/dev/sdb10 /mnt vfat rw 0 0\n");
    EXPECT_TRUE(MountedOn(table, QStringLiteral("/dev/sdb1"), QStringLiteral("/media/my disk")));
    EXPECT_FALSE(MountedOn(table, QStringLiteral("/dev/sdb1"), QStringLiteral("/mnt")));
    EXPECT_EQ(MountsOn(table, QStringLiteral("/mnt")), 1);
    EXPECT_EQ(MountsOn(table, QStringLiteral("/media/my")), 0);
}

TEST_F(UsbDiskTest, FindUAsksWhetherTheMountPointIsInUse)
{
    writeMounts(QString(kRootfs) + root + "2 /x vfat rw 0 0\n/dev/sdb1 " + root + "/sub vfat rw 0 0\n");
    EXPECT_FALSE(FindU());
    writeMounts(QString(kRootfs) + "/dev/sdb1 " + root + " vfat rw 0 0\n");
    EXPECT_TRUE(FindU());
    QFile::remove(mountsPath);
    EXPECT_FALSE(FindU());
    EXPECT_TRUE(commands.isEmpty());
}

TEST_F(UsbDiskTest, FindUByManualTriesSdb1ThenSdc1)
{
    writeMounts(kRootfs);
    struct Case {
        QSet<QString> mountable;
        QStringList commands;
        bool result;
    } cases[] = {
        {{"/dev/sdb1"}, {"umount ROOT", "mount /dev/sdb1 ROOT"}, true},
        {{"/dev/sdc1"}, {"umount ROOT", "mount /dev/sdb1 ROOT", "mount /dev/sdc1 ROOT"}, true},
        {{}, {"umount ROOT", "mount /dev/sdb1 ROOT", "mount /dev/sdc1 ROOT"}, false},
    };
    for (const Case& c : cases) {
        mountable = c.mountable;
        commands.clear();
        EXPECT_EQ(FindU_ByManual(), c.result);
        EXPECT_EQ(commands, c.commands);
    }
}

TEST(UsbRoot, IsTheMountPointUnlessOverridden)
{
    {
        ScopedEnv none("MOULDMON_USB_ROOT", QString());
        EXPECT_EQ(UsbRoot(), QLatin1String("/mnt"));
    }
    ScopedEnv set("MOULDMON_USB_ROOT", QStringLiteral("/tmp/stick"));
    EXPECT_EQ(UsbRoot(), QLatin1String("/tmp/stick"));
}

// While commands are only recorded, the folder named by MOULDMON_USB_ROOT is
// the mounted disk: found while it exists, without blkid or mount.
TEST(SimulatedUsbDisk, IsTheFolderWhileCommandsAreRecorded)
{
    TempWorkDir work;
    const QString root = work.file(QStringLiteral("usb"));
    const QString log = work.file(QStringLiteral("commands"));
    ScopedEnv rootEnv{"MOULDMON_USB_ROOT", root};
    CommandRunner::setRecordFile(log);
    EXPECT_EQ(FindAU(), QString()) << "no folder, no disk";
    EXPECT_FALSE(FindU());
    EXPECT_FALSE(FindU_ByManual());
    ASSERT_TRUE(QDir().mkpath(root));
    EXPECT_EQ(FindAU(), root);
    EXPECT_TRUE(FindU());
    EXPECT_TRUE(FindU_ByManual());
    CommandRunner::setRecordFile(QString());
    EXPECT_FALSE(QFile::exists(log)) << "no command was run or recorded";
}
