// The maintenance actions: each action's machine commands and other effects,
// in order, with the questions answered by a script.

#include "camera/cameraglobals.h"
#include "core/commandrunner.h"
#include "core/globals.h"
#include "core/texttable.h"
#include "core/usbdisk.h"
#include "core/wizardpara.h"
#include "settings/maintenance.h"
#include "tests/settings/scriptedports.h"
#include "tests/common/testsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <functional>

namespace {

class MaintenanceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Data_Init();
        gLan = 1;
        CommandRunner::setFake([this](const QString& program, const QStringList& args) {
            ports.log << "$ " + CommandRunner::commandLine(program, args);
            return CommandResult{};
        });
        actions.programDir = work.path();
    }
    void TearDown() override { CommandRunner::setFake(nullptr); }

    QString ask(int k, bool yes) const { return QString("ask %1 %2").arg(LanStr(k), yes ? "yes" : "no"); }
    QString warn(int k) const { return "warn " + LanStr(k); }
    QString record(int k) const { return "record " + LanStr(k); }
    void write(const QString& path, const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    TempWorkDir work;
    ScriptedPorts ports;
    Maintenance actions{ports};
};

struct ActionCase {
    const char* name;
    QList<bool> answers;
    std::function<void(Maintenance&)> act;
    std::function<QStringList(MaintenanceTest&)> expected;
};

TEST_F(MaintenanceTest, ActionsRunTheirCommandsInOrder)
{
    auto t = this;
    const ActionCase cases[] = {
        {"shut-down, restart", {true, true}, [](Maintenance& m) { m.SlotShutDown(); },
         [t](MaintenanceTest&) {
             return QStringList{t->ask(291, true), "confirm", "save", t->record(292), "stopWatchdog", "flush",
                                t->ask(293, true), "$ reboot"};
         }},
        {"shut-down, power off", {true, false}, [](Maintenance& m) { m.SlotShutDown(); },
         [t](MaintenanceTest&) {
             return QStringList{t->ask(291, true), "confirm", "save", t->record(292), "stopWatchdog", "flush",
                                t->ask(293, false), "$ init 0"};
         }},
        {"shut-down refused", {false}, [](Maintenance& m) { m.SlotShutDown(); },
         [t](MaintenanceTest&) { return QStringList{t->ask(291, false)}; }},
        {"calibration", {true}, [](Maintenance& m) { m.SlotCalibration(); },
         [t](MaintenanceTest&) { return QStringList{t->ask(459, true), "$ ./tsc", "pause 500", "flush", "$ reboot"}; }},
        {"exit", {true}, [](Maintenance& m) { m.SlotExit(); },
         [t](MaintenanceTest&) {
             return QStringList{t->ask(294, true), t->record(295), "confirm", "save", t->warn(296), "stopWatchdog",
                                "exit 0"};
         }},
        {"language", {true}, [](Maintenance& m) { m.SlotChangeLan(1 - 1); },
         [t](MaintenanceTest&) {
             return QStringList{t->ask(318, true), "record " + LanStr(319, 1), "confirm", "save", "stopWatchdog",
                                "flush", "$ reboot"};
         }},
        {"language unchanged", {true}, [](Maintenance& m) { m.SlotChangeLan(1); },
         [](MaintenanceTest&) { return QStringList{}; }},
        {"language out of range", {true}, [](Maintenance& m) { m.SlotChangeLan(3); },
         [](MaintenanceTest&) { return QStringList{}; }},
        {"record clearing", {true}, [](Maintenance& m) { m.SlotClearRecord(); },
         [t](MaintenanceTest&) {
             return QStringList{"checkRoot", t->ask(297, true), "checkRoot", "clearRecord", "record " + LanStr(298)};
         }},
        {"counter reset", {}, [](Maintenance& m) { m.ResetTotal(); },
         [t](MaintenanceTest&) { return QStringList{t->record(255), "writeCounts"}; }},
    };
    for (const ActionCase& c : cases) {
        gLan = 1;
        ports.log.clear();
        ports.answers = c.answers;
        const QStringList expected = c.expected(*this);
        c.act(actions);
        EXPECT_EQ(ports.log, expected) << c.name;
    }
    gLan = 1;
}

TEST_F(MaintenanceTest, ClockSetsSystemAndHardwareClockThenReboots)
{
    ports.dateTime = QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7));
    ports.answers = {true};
    actions.SlotModifyTime();
    EXPECT_EQ(ports.log, QStringList({ask(402, true), "$ date -s 2026-03-04 05:06:07", "$ hwclock --systohc",
                                      "confirm", "save", record(401), "stopWatchdog", "flush", "pause 1000",
                                      "$ reboot"}));
}

TEST_F(MaintenanceTest, ClockCancelledDoesNothing)
{
    actions.SlotModifyTime();
    EXPECT_TRUE(ports.log.isEmpty());
}

TEST_F(MaintenanceTest, CounterResetClearsTheCounters)
{
    gAllNum[3] = 7;
    gFailNum[0] = 2;
    gLost = 4;
    actions.ResetTotal();
    EXPECT_EQ(gAllNum[3], 0);
    EXPECT_EQ(gFailNum[0], 0);
    EXPECT_EQ(gLost, 0);
}

TEST_F(MaintenanceTest, PasswordChange)
{
    struct Case {
        QString first, second;
        int message;
        QString stored;
    } cases[] = {
        {"", "12", 278, "old"},
        {"12", "13", 280, "old"},
        {"1234", "1234", 279, "1234"},
        {QString(40, '7'), QString(40, '7'), 279, QString(40, '7')},
        {QString(100, '7'), QString(100, '7'), 604, "old"},
    };
    for (const Case& c : cases) {
        WizardPara edited;
        WizardPara::SetText(edited.password, "old");
        ports.log.clear();
        actions.ChangePwd(c.first, c.second, edited);
        EXPECT_EQ(ports.log, QStringList{warn(c.message)}) << c.first.size();
        EXPECT_EQ(WizardPara::Text(edited.password), c.stored);
    }
}

TEST_F(MaintenanceTest, ExportCopiesTheProgramFolderThenEmptiesThePictures)
{
    QTemporaryDir usb;
    write(work.file("PARAM.db"), "settings");
    write(work.file("originalimage/cammer11/a.bmp"), "a");
    write(work.file("originalimage/cammer22/b.bmp"), "b");
    write(work.file("originalimage/cammer31/c.bmp"), "c");
    ports.answers = {true, true};
    ports.disks = QStringList{QString(), usb.path()};
    actions.SlotExportData(2, 2);
    const QStringList stamps = QDir(usb.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(stamps.size(), 1);
    const QString copy = usb.path() + "/" + stamps[0] + "/" + QFileInfo(work.path()).fileName();
    EXPECT_TRUE(QFile::exists(copy + "/PARAM.db"));
    EXPECT_TRUE(QFile::exists(copy + "/originalimage/cammer11/a.bmp"));
    EXPECT_FALSE(QFile::exists(work.file("originalimage/cammer11/a.bmp")));
    EXPECT_FALSE(QFile::exists(work.file("originalimage/cammer22/b.bmp")));
    EXPECT_TRUE(QFile::exists(work.file("originalimage/cammer31/c.bmp")));   // camera 3 is not in use
    EXPECT_EQ(ports.log, QStringList({ask(324, true), ask(320, true), "pause 100", "pause 100", "pause 100",
                                      "pause 100", "pause 100", "pause 300", "$ sync", "$ umount " + usb.path(),
                                      warn(147)}));
}

TEST_F(MaintenanceTest, FailedExportKeepsThePicturesAndSaysSo)
{
    write(work.file("originalimage/cammer11/a.bmp"), "a");
    const QString usb = work.file("readonly");
    write(usb, "not a folder");   // the copy cannot make its folder here
    ports.answers = {true};
    ports.disks = QStringList{usb};
    actions.SlotExportData(1, 1);
    EXPECT_TRUE(QFile::exists(work.file("originalimage/cammer11/a.bmp")));
    EXPECT_EQ(ports.log.last(), warn(600));
    EXPECT_TRUE(ports.log.contains("$ umount " + usb));
}

TEST_F(MaintenanceTest, ExportWithoutDiskEndsOnNo)
{
    ports.answers = {true, false};
    actions.SlotExportData(1, 1);
    EXPECT_EQ(ports.log, QStringList({ask(324, true), ask(320, false)}));
}

TEST_F(MaintenanceTest, UpdateTargetNames)
{
    EXPECT_EQ(Maintenance::UpdateTarget("pg.tar.gz"), "newupdate.tar.gz");
    EXPECT_EQ(Maintenance::UpdateTarget("pg.tar.xz.old"), "newupdate.tar.xz");
    EXPECT_EQ(Maintenance::UpdateTarget("pg.rar"), "newupdate.rar");
    EXPECT_EQ(Maintenance::UpdateTarget("pg.TAR.GZ"), "");
    EXPECT_EQ(Maintenance::UpdateTarget("pg.zip"), "");
}

TEST_F(MaintenanceTest, UpdateCopiesTheFileWithoutAShellThenReboots)
{
    QTemporaryDir usb;
    const QString file = usb.path() + "/new $(touch x) pg.tar.xz";
    write(file, "package");
    ports.disks = QStringList{usb.path()};
    ports.chosenFile = file;
    ports.answers = {true};
    actions.SlotUpdateApp();
    QFile copied(work.file("newupdate.tar.xz"));
    ASSERT_TRUE(copied.open(QIODevice::ReadOnly));
    EXPECT_EQ(copied.readAll(), QByteArray("package"));
    EXPECT_EQ(ports.log, QStringList({ask(323, true), "stopWatchdog", "pause 300", "flush", "$ sync", "$ reboot"}));
}

TEST_F(MaintenanceTest, UpdateRefusesOtherFilesAndFailedCopies)
{
    QTemporaryDir usb;
    ports.disks = QStringList{usb.path(), usb.path()};
    ports.chosenFile = usb.path() + "/pg.zip";
    actions.SlotUpdateApp();
    EXPECT_EQ(ports.log, QStringList({warn(601)}));
    ports.log.clear();
    ports.chosenFile = usb.path() + "/missing.tar.gz";
    ports.answers = {true};
    actions.SlotUpdateApp();
    EXPECT_EQ(ports.log, QStringList({ask(323, true), warn(602)}));
}

TEST_F(MaintenanceTest, FactoryResetNeedsItsPackage)
{
    ports.answers = {true};
    actions.SlotRestoreFactorySet();
    EXPECT_EQ(ports.log, QStringList({"ask " + LanStr(551) + "? yes", warn(603)}));
    EXPECT_FALSE(QFile::exists(work.file("newupdate.tar.gz")));

    write(work.file("paraGroup/default/20clearsh.tar.gz"), "factory");
    ports.log.clear();
    ports.answers = {true};
    actions.SlotRestoreFactorySet();
    EXPECT_EQ(ports.log, QStringList({"ask " + LanStr(551) + "? yes", "flush", "$ sync", "$ reboot"}));
    EXPECT_TRUE(QFile::exists(work.file("newupdate.tar.gz")));
}

}  // namespace

namespace {

// The export as the program runs it in simulation: the USB disk is the
// folder named by MOULDMON_USB_ROOT, found through the disk search itself
// while machine commands are only recorded.
class SimulatedDiskPorts : public ScriptedPorts
{
public:
    QString findUsbDisk() override { return FindAU(); }
};

}  // namespace

TEST(SimulatedDiskExport, TheFilesArriveOnTheFolderStandingForTheDisk)
{
    Data_Init();
    gLan = 1;
    TempWorkDir work;
    const QString program = work.file("bin-AOI");
    const QString usb = work.file("usb");
    const QString commands = work.file("commands");
    ASSERT_TRUE(QDir().mkpath(program + "/originalimage/cammer11"));
    ASSERT_TRUE(QDir().mkpath(usb));
    QFile picture(program + "/originalimage/cammer11/a.bmp");
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.write("a");
    picture.close();
    const QByteArray oldRoot = qgetenv("MOULDMON_USB_ROOT");
    qputenv("MOULDMON_USB_ROOT", usb.toLocal8Bit());
    CommandRunner::setRecordFile(commands);
    SimulatedDiskPorts ports;
    ports.answers = {true};
    Maintenance actions(ports);
    actions.programDir = program;
    actions.SlotExportData(1, 1);
    CommandRunner::setRecordFile(QString());
    qputenv("MOULDMON_USB_ROOT", oldRoot);

    const QStringList stamps = QDir(usb).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(stamps.size(), 1);
    EXPECT_TRUE(QFile::exists(usb + "/" + stamps[0] + "/bin-AOI/originalimage/cammer11/a.bmp"));
    EXPECT_FALSE(QFile::exists(picture.fileName()));
    EXPECT_EQ(ports.log.last(), "warn " + LanStr(147));
    QFile log(commands);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts),
              QStringList({"sync", "umount " + usb}));
}
