// The command runner: record mode, fakes, and no real execution in tests.

#include "core/commandrunner.h"
#include "core/power.h"
#include "tests/common/testsupport.h"

#include <QFile>
#include <gtest/gtest.h>

TEST(CommandRunner, RecordModeAppendsOneLinePerCommandAndReportsSuccess)
{
    TempWorkDir work;
    CommandRunner::setRecordFile(work.file("shell.log"));
    const CommandResult r = CommandRunner::run("mount", {"/dev/sdb1", "/mnt"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.output.isEmpty());
    EXPECT_TRUE(CommandRunner::startDetached("python3", {"/mnt/autocopy-moju.py"}));
    EXPECT_TRUE(CommandRunner::isRecording());
    QFile f(work.file("shell.log"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "mount /dev/sdb1 /mnt\npython3 /mnt/autocopy-moju.py\n");
    CommandRunner::setRecordFile(qEnvironmentVariable("MOULDMON_SHELL").mid(7));
}

TEST(CommandRunner, FakeSeesArgumentsAndAnswers)
{
    CommandRecorder recorder;
    recorder.answer("blkid", "/dev/sdb1: TYPE=\"vfat\"\n");
    EXPECT_EQ(CommandRunner::run("blkid").output, "/dev/sdb1: TYPE=\"vfat\"\n");
    // An operator's text stays one argument; nothing is interpreted by a shell.
    CommandRunner::run("cp", {"-f", "a b; reboot", "/tmp/x"});
    EXPECT_EQ(recorder.lines(), (QStringList{"blkid", "cp -f a b; reboot /tmp/x"}));
}

TEST(CommandRunner, RebootIsRecordedNeverRun)
{
    CommandRecorder recorder;
    const char* handled = nullptr;
    SetRecordedPowerHandler([&](const char* what) { handled = what; });
    SystemReboot();
    SystemPowerOff();
    SetRecordedPowerHandler(nullptr);
    EXPECT_EQ(recorder.lines(), (QStringList{"reboot", "init 0"}));
    EXPECT_STREQ(handled, "power-off");
}

TEST(CommandRunnerDeathTest, RealExecutionIsRefusedInTests)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            CommandRunner::setRecordFile(QString());
            CommandRunner::run("true");
        },
        "refusing to run a real machine command");
}
