// Parameter groups on the files of a working directory: names are checked
// and never reach a shell, "default" is kept, a missing or empty group
// restores or deletes nothing, and a restore reboots through the command
// runner after copying the group over the job.

#include "core/globals.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "settings/paramgroups.h"
#include "tests/common/testsupport.h"
#include "tests/settings/scriptedports.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

namespace {

QByteArray Read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void Write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class Groups : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Data_Init();
        gLan = 1;
        inForce.paramGroup = 5;
        edited.paramGroup = 5;
        Write("PARAM.db", "job now");
        Write("cammer11/0.bmp", "template 1-1");
        Write("cammer21/0.bmp", "template 2-1");
        Write("cammer12/0.bmp", "template 1-2");
        Write("paraGroup/default/PARAM.db", "default job");
        Write("paraGroup/default/SN.db", "serials");
        Write("paraGroup/default/20clearsh.tar.gz", "package");
        Write("paraGroup/mould-b/PARAM.db", "job b");
        Write("paraGroup/mould-b/cammer11/0.bmp", "template b");
        QDir().mkpath("paraGroup/empty");
    }

    QString ask(int k, bool yes) const { return QString("ask %1 %2").arg(LanStr(k), yes ? "yes" : "no"); }
    QString warn(int k) const { return "warn " + LanStr(k); }
    // Every file of the working directory with its content.
    QStringList files(const QString& dir = ".") const
    {
        QStringList out;
        const QDir d(dir);
        for (const QString& e : d.entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name)) {
            const QString p = d.filePath(e);
            if (QFileInfo(p).isDir())
                out << files(p);
            else
                out << p + "=" + Read(p);
        }
        return out;
    }

    TempWorkDir work;
    CommandRecorder commands;
    ScriptedPorts ports;
    WizardPara inForce;
    WizardPara edited;
    ParamGroups groups{ports, inForce, edited};
};

TEST_F(Groups, BadNamesAreRefusedBeforeAnything)
{
    const std::pair<QString, int> cases[] = {
        {"", 282}, {".", 630}, {"..", 630}, {"-rf", 630}, {"a/b", 630}, {"../x", 630},
        {"x\ny", 630}, {QString(65, 'n'), 630}, {"default", 631},
    };
    const QStringList before = files();
    for (const auto& c : cases) {
        ports.log.clear();
        EXPECT_FALSE(groups.Backup(c.first, 2)) << c.first.toStdString();
        EXPECT_EQ(ports.log, QStringList{warn(c.second)}) << c.first.toStdString();
        if (c.second == 631 || c.second == 630) {
            ports.log.clear();
            EXPECT_FALSE(groups.Delete(c.first)) << c.first.toStdString();
            EXPECT_EQ(ports.log, QStringList{warn(c.second)}) << c.first.toStdString();
        }
    }
    EXPECT_EQ(files(), before);
    EXPECT_TRUE(commands.lines().isEmpty());
    EXPECT_EQ(inForce.paramGroup, 5);
}

// Names with blanks and shell characters are plain folder names.
TEST_F(Groups, ShellCharactersStayPartOfTheName)
{
    for (const QString name : {"x PARAM.db", "$(touch pwned)", "a;rm -rf .", "*"}) {
        ports.answers = {true};
        ASSERT_TRUE(groups.Backup(name, 2)) << name.toStdString();
        EXPECT_EQ(Read("paraGroup/" + name + "/PARAM.db"), "job now");
    }
    EXPECT_FALSE(QFile::exists("pwned"));
    ports.answers = {true};
    ASSERT_TRUE(groups.Delete("x PARAM.db"));
    EXPECT_FALSE(QDir("paraGroup/x PARAM.db").exists());
    EXPECT_EQ(Read("PARAM.db"), "job now");
    EXPECT_EQ(Read("paraGroup/default/PARAM.db"), "default job");
    EXPECT_TRUE(commands.lines().isEmpty());
}

TEST_F(Groups, BackupCopiesTheJobAndSetsTheGroupNumberEverywhere)
{
    ports.answers = {true};
    ASSERT_TRUE(groups.Backup("mould-a", 2));
    EXPECT_EQ(ports.log, (QStringList{ask(283, true), "confirm"}));
    EXPECT_EQ(files("paraGroup/mould-a"),
              (QStringList{"paraGroup/mould-a/PARAM.db=job now", "paraGroup/mould-a/cammer11/0.bmp=template 1-1",
                           "paraGroup/mould-a/cammer12/0.bmp=template 1-2",
                           "paraGroup/mould-a/cammer21/0.bmp=template 2-1"}));
    // default, empty, mould-a, mould-b in name order.
    EXPECT_EQ(ParamGroups::List(), (QStringList{"default", "empty", "mould-a", "mould-b"}));
    EXPECT_EQ(inForce.paramGroup, 2);
    EXPECT_EQ(edited.paramGroup, 2);
    EXPECT_EQ(Read("sysadd.txt"), "2\n");
}

TEST_F(Groups, BackupOnlyOfTheStepsInUse)
{
    ports.answers = {true};
    ASSERT_TRUE(groups.Backup("one-step", 1));
    EXPECT_FALSE(QFile::exists("paraGroup/one-step/cammer12/0.bmp"));
    EXPECT_TRUE(QFile::exists("paraGroup/one-step/cammer21/0.bmp"));
}

TEST_F(Groups, OverwriteAskedNoKeepsTheGroupYesReplacesIt)
{
    Write("paraGroup/mould-b/old.txt", "old");
    ports.answers = {true, false};
    EXPECT_FALSE(groups.Backup("mould-b", 2));
    EXPECT_EQ(ports.log, (QStringList{ask(283, true), "confirm", ask(284, false)}));
    EXPECT_EQ(Read("paraGroup/mould-b/PARAM.db"), "job b");
    EXPECT_EQ(inForce.paramGroup, 5);

    ports.answers = {true, true};
    EXPECT_TRUE(groups.Backup("mould-b", 2));
    EXPECT_EQ(Read("paraGroup/mould-b/PARAM.db"), "job now");
    EXPECT_FALSE(QFile::exists("paraGroup/mould-b/old.txt"));
    EXPECT_EQ(inForce.paramGroup, 2);
}

TEST_F(Groups, MissingOrEmptyGroupRestoresNothing)
{
    const QStringList before = files();
    const std::pair<QString, int> cases[] = {{"", -1}, {"", 0}, {"gone", 3}, {"empty", 1}};
    for (const auto& c : cases) {
        ports.answers = {true};
        EXPECT_FALSE(groups.Restore(c.first, c.second, 2)) << c.first.toStdString();
    }
    EXPECT_EQ(ports.log, (QStringList{warn(632), warn(632)}));
    EXPECT_EQ(files(), before);
    EXPECT_TRUE(commands.lines().isEmpty());
    EXPECT_EQ(inForce.paramGroup, 5);
}

TEST_F(Groups, RestoreAnsweredNoChangesNothing)
{
    const QStringList before = files();
    EXPECT_FALSE(groups.Restore("mould-b", 2, 2));
    EXPECT_EQ(ports.log, QStringList{ask(285, false)});
    EXPECT_EQ(files(), before);
    EXPECT_EQ(inForce.paramGroup, 5);
}

TEST_F(Groups, RestoreReplacesTheJobRecordsAndReboots)
{
    ports.answers = {true};
    ASSERT_TRUE(groups.Restore("mould-b", 2, 2));
    EXPECT_EQ(ports.log,
              (QStringList{ask(285, true), "record Restore the parameter group to mould-b", "flush"}));
    EXPECT_EQ(commands.lines(), QStringList{"reboot"});
    EXPECT_EQ(Read("PARAM.db"), "job b");
    EXPECT_EQ(Read("cammer11/0.bmp"), "template b");
    EXPECT_FALSE(QFile::exists("cammer21/0.bmp")) << "templates the group lacks are gone";
    EXPECT_FALSE(QFile::exists("cammer12/0.bmp"));
    EXPECT_EQ(inForce.paramGroup, 2);
    EXPECT_EQ(edited.paramGroup, 2);
    EXPECT_EQ(Read("sysadd.txt"), "2\n");
}

TEST_F(Groups, RestoringDefaultAlsoBringsItsOtherFiles)
{
    ports.answers = {true};
    ASSERT_TRUE(groups.Restore("default", 0, 2));
    EXPECT_EQ(Read("SN.db"), "serials");
    EXPECT_EQ(Read("20clearsh.tar.gz"), "package");
    EXPECT_EQ(Read("paraGroup/default/PARAM.db"), "default job");
}

TEST_F(Groups, DeleteAskedRemovesOnlyThatGroup)
{
    ports.answers = {false, true};
    EXPECT_FALSE(groups.Delete("mould-b"));
    EXPECT_TRUE(QDir("paraGroup/mould-b").exists());
    EXPECT_TRUE(groups.Delete("mould-b"));
    EXPECT_EQ(ParamGroups::List(), (QStringList{"default", "empty"}));
    EXPECT_EQ(inForce.paramGroup, 5) << "the group number is not adjusted";
    EXPECT_FALSE(groups.Delete("gone"));
    EXPECT_EQ(ports.log, (QStringList{ask(287, false), ask(287, true)}));
}

}  // namespace
