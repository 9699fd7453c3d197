// A working directory that cannot be written: the program says so at start
// and goes on protecting the mould.

#include "tests/e2e/e2efixture.h"

#include <QTemporaryDir>
#include <QThread>

#include <unistd.h>

using namespace e2e;

namespace {

class ReadOnlyDirectory : public EndToEnd
{
};

// Runs the program in a private mount namespace where its working directory
// is a read-only view of the test's.
QStringList ReadOnlyWrapper(const QString& dir)
{
    return {"unshare", "-m", "--propagation", "private", "sh", "-c",
            "mount --bind \"$0\" \"$0\" && mount -o remount,bind,ro \"$0\" && cd \"$0\" && exec \"$@\"", dir};
}

bool CanMakeMountNamespaces()
{
    return ::geteuid() == 0
        && QProcess::execute("unshare", {"-m", "--propagation", "private", "mount", "-t", "tmpfs", "none", "/mnt"}) == 0;
}

}  // namespace

TEST_F(ReadOnlyDirectory, SaidAtStartAndCyclesStillInhibitTheClamp)
{
    if (!CanMakeMountNamespaces())
        GTEST_SKIP() << "needs root and mount namespaces (unshare -m)";
    start();
    ASSERT_TRUE(program->terminate());
    program.reset();
    const int ready = records().size();

    QTemporaryDir errors;
    const QString errorFile = errors.filePath("stderr.txt");
    program = std::make_unique<Program>(work.path(), file("simcams"), io.device(), ReadOnlyWrapper(work.path()), errorFile);
    const QList<int> opening = wordsUntil(idle());
    ASSERT_EQ(opening.last(), idle()) << Words(opening);
    EXPECT_TRUE(WaitFor([&] { return ReadText(errorFile).contains("cannot be written"); }, kWaitMs))
        << ReadText(errorFile).right(2000).toStdString();
    QThread::msleep(kFrameInUseMs);

    board("set 0");   // a good cycle: ejector and clamp inhibited, then free
    const QList<int> words = wordsUntil(0x0F0);
    EXPECT_EQ(words, (QList<int>{0x0F3, 0x0F1, 0x0F0})) << Words(words);
    board("clear 0");
    EXPECT_EQ(records().size(), ready);   // nothing could be recorded
}
