// The application log: line format, the log switch, a recreated file,
// pruning, and the crash handler in a child process.

#include "core/globals.h"
#include "core/logmanager.h"
#include "core/wizardpara.h"
#include "tests/common/testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <sys/time.h>
#include <utime.h>

namespace {

class LogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetAppDir(work.path());
        gpWPara = &record;
        if (!LogManager::__instance)
            new LogManager;
        LogManager::__CurTaskPath = work.path() + QStringLiteral("/cnt_net/cnt_log_app/");
        QDir().mkpath(LogManager::__CurTaskPath);
    }
    void TearDown() override
    {
        qInstallMessageHandler(LogManager::outputMessage);
        gpWPara = nullptr;
    }

    QString logText() const
    {
        QFile f(LogManager::__CurTaskPath + QStringLiteral("log.txt"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    TempWorkDir work;
    WizardPara record;
};

const QString kStamp = QStringLiteral("\\d{4}/\\d\\d/\\d\\d-\\d\\d:\\d\\d:\\d\\d\\.\\d{3}");

}  // namespace

TEST_F(LogTest, LineFormat)
{
    struct Case {
        QtMsgType type;
        const char* file;
        int line;
        const char* expected;  // regular expression
    };
    const Case cases[] = {
        {QtWarningMsg, "/src/core/controlport.cpp", 12, "^\\[W %1 controlport.cpp:12\\] text$"},
        {QtCriticalMsg, "screen/mainwindow.cpp", 7, "^\\[E %1 mainwindow.cpp:7\\] text$"},
        {QtInfoMsg, "main.cpp", 1, "^\\[I %1 main.cpp:1\\] text$"},
        {QtFatalMsg, "a/b/c.cpp", 99, "^\\[F %1 c.cpp:99\\] text$"},
        {QtWarningMsg, nullptr, 0, "^\\[W %1 :0\\] text$"},
    };
    for (const Case& c : cases) {
        QMessageLogContext context(c.file, c.line, "fn", "default");
        const QString line = LogManager::formatLine(c.type, context, QStringLiteral("text"));
        EXPECT_TRUE(QRegularExpression(QString::fromLatin1(c.expected).arg(kStamp)).match(line).hasMatch())
            << line.toStdString();
    }
}

TEST_F(LogTest, NothingIsWrittenWhileTheSwitchIsOff)
{
    record.useLog = 0;
    qWarning("not kept");
    qInfo("not kept either");
    EXPECT_FALSE(QFile::exists(LogManager::__CurTaskPath + "log.txt"));
}

TEST_F(LogTest, NewFileBeginsWithTheVersionLineAndIsRecreatedWhenDeleted)
{
    record.useLog = 1;
    qWarning("first");
    qDebug("debug goes to standard error only");
    QStringList lines = logText().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(QRegularExpression("^create newlog version 16\\.0\\.1\\.6 " + kStamp + "$").match(lines[0]).hasMatch())
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith("] first"));
    EXPECT_TRUE(lines[1].contains("test_log.cpp:"));

    ASSERT_TRUE(QFile::remove(LogManager::__CurTaskPath + "log.txt"));
    qCritical("second");
    lines = logText().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("create newlog version "));
    EXPECT_TRUE(lines[1].startsWith("[E "));
}

TEST_F(LogTest, PruningDeletesTheOldestOfMoreThan99Files)
{
    for (int count : {99, 100}) {
        const QString dir = work.file(QStringLiteral("prune%1").arg(count));
        QDir().mkpath(dir);
        for (int i = 0; i < count; ++i) {
            const QString name = dir + QStringLiteral("/f%1.txt").arg(i);
            QFile f(name);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.close();
            // File i is i minutes old, so f(count-1) is the oldest.
            struct utimbuf times;
            times.actime = times.modtime = time(nullptr) - 60 * i;
            utime(name.toLocal8Bit().constData(), &times);
        }
        LogManager::pruneDirectory(dir);
        const QStringList left = QDir(dir).entryList(QDir::Files);
        EXPECT_EQ(left.size(), 99) << count;
        EXPECT_EQ(left.contains(QStringLiteral("f%1.txt").arg(count - 1)), count == 99);
    }
}

namespace {

// Runs the crash child in a fresh directory; returns the texts of its
// logFatal files (and whether log.txt is left).
QStringList runChild(const TempWorkDir& dir, const QString& how, bool* logLeft)
{
    QProcess child;
    child.setWorkingDirectory(dir.path());
    child.setProgram(QCoreApplication::applicationDirPath() + "/crashchild");
    child.setArguments({how});
    child.start();
    EXPECT_TRUE(child.waitForFinished(20000));
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
    const QString logDir = dir.path() + "/cnt_net/cnt_log_app/";
    *logLeft = QFile::exists(logDir + "log.txt");
    QStringList texts;
    for (const QString& name : QDir(logDir).entryList({"logFatal*.txt"}, QDir::Files)) {
        EXPECT_TRUE(QRegularExpression("^logFatal\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d-\\d{3}(-\\d+)?\\.txt$")
                        .match(name).hasMatch()) << name.toStdString();
        QFile f(logDir + name);
        f.open(QIODevice::ReadOnly);
        texts << QString::fromUtf8(f.readAll());
    }
    return texts;
}

}  // namespace

TEST(CrashHandler, SegfaultLeavesADemangledBackTrace)
{
    TempWorkDir dir;
    bool logLeft = true;
    const QStringList texts = runChild(dir, "segv", &logLeft);
    ASSERT_GE(texts.size(), 1);
    EXPECT_FALSE(logLeft);
    const QString first = texts.join("\n=====\n");
    EXPECT_TRUE(first.contains("] before the crash"));
    EXPECT_TRUE(first.contains("] crashed!!!"));
    EXPECT_TRUE(first.contains(QRegularExpression("\\] \\d+ MouldmonCrashHere\\(int volatile\\*\\)")))
        << first.toStdString();
    EXPECT_TRUE(first.contains(QRegularExpression("\\[F [^\\]]+\\] \\*{105}\n")));
}

TEST(CrashHandler, FatalMessageRenamesTheLog)
{
    TempWorkDir dir;
    bool logLeft = true;
    const QStringList texts = runChild(dir, "fatal", &logLeft);
    ASSERT_GE(texts.size(), 1);
    EXPECT_FALSE(logLeft);
    // The abort that follows logs its own back trace into a second file,
    // which may be stamped in the same millisecond (and then named first).
    EXPECT_EQ(texts.filter("] fatal on purpose").size(), 1) << texts.join("\n=====\n").toStdString();
}
