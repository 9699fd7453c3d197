// The real program's start-up with 1, 4 and 8 simulated cameras and the
// IO-board simulator: the output words on the board, the ready line of the
// operation record, the folders of every camera and step, and the counters
// taken from count.txt (a first cycle continues them).

#include "tests/mainwin/programfixture.h"
#include "tools/ioboard-sim/ioboardsim.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// Lines of the default settings: output 2 and the region outputs 4..7 are
// inverted, so every output off is 0x0F4 and the clamp inhibit adds line 0.
constexpr int kAllOff = 0x0F4;
constexpr int kClampInhibit = 0x0F5;
constexpr int kWaitMs = 30000;

const char* const kCounts = "5 1 7 2 9 3 11 4 13 5 15 6 17 7 19 8 ";

// The distinct output words the board sees until `last` follows `first`.
QList<int> outputsUntil(IOBoardSim& board, int first, int last)
{
    QList<int> words;
    QElapsedTimer t;
    t.start();
    IOBoardSim::Event e;
    bool sawFirst = false;
    while (t.elapsed() < kWaitMs && board.next(&e, int(kWaitMs - t.elapsed()))) {
        if (e.kind != "out")
            continue;
        words << e.word;
        sawFirst = sawFirst || e.word == first;
        if (sawFirst && e.word == last)
            break;
    }
    return words;
}

QStringList missingFolders(const QString& dir, int cameras)
{
    QStringList missing;
    auto need = [&](const QString& path) {
        if (!QDir(dir + "/" + path).exists())
            missing << path;
    };
    for (int i = 1; i <= cameras; ++i) {
        for (int j = 1; j <= 8; ++j) {
            need(QString("alarmimage/camera%1/detect%2/NG").arg(i).arg(j));
            need(QString("alarmimage/camera%1/detect%2/OK").arg(i).arg(j));
            need(QString("cammer%1%2").arg(i).arg(j));
            need(QString("originalimage/cammer%1%2").arg(i).arg(j));
        }
    }
    need("RECORD");
    need("ResStatistics");
    return missing;
}

class StartupWithCameras : public ::testing::TestWithParam<int>
{
};

}  // namespace

TEST_P(StartupWithCameras, BoardRecordFoldersAndCounters)
{
    const int cameras = GetParam();
    TempWorkDir work;
    LayOutWorkDir(work.path());
    SetParamNumber(work.file("PARAM.db"), "system2", 12, 1);   // English
    QFile counts(work.file("count.txt"));
    ASSERT_TRUE(counts.open(QIODevice::WriteOnly));
    counts.write(kCounts);
    counts.close();
    ASSERT_TRUE(MakeSimulatedCameras(work.file("simcams"), cameras));
    IOBoardSim board;
    ASSERT_TRUE(board.start());

    Program program(work.path(), work.file("simcams"), board.device());

    // Every output off at opening (the board may see that word or only the
    // next), the clamp inhibited from the opening of the board, and every
    // output off again once detection starts.
    const QList<int> words = outputsUntil(board, kClampInhibit, kAllOff);
    EXPECT_TRUE(words == QList<int>({kClampInhibit, kAllOff}) || words == QList<int>({kAllOff, kClampInhibit, kAllOff}))
        << QStringList([&] { QStringList s; for (int w : words) s << QString::number(w, 16); return s; }()).join(' ').toStdString();

    ASSERT_TRUE(WaitFor([&] { return !RecordLines(work.file("RECORD.db")).isEmpty(); }, kWaitMs));
    EXPECT_EQ(RecordLines(work.file("RECORD.db")).value(0), QString("The system is ready, there is %1 cameras").arg(cameras));
    EXPECT_EQ(missingFolders(work.path(), cameras), QStringList());
    EXPECT_FALSE(QDir(work.file(QString("alarmimage/camera%1").arg(cameras + 1))).exists());

    // A cycle on the mould-open input counts on from the numbers read, once
    // the cameras' first frames are in (a cycle before them would be NG).
    QThread::msleep(1200);
    board.command("set 0");
    QStringList expected = QString(kCounts).split(' ', Qt::SkipEmptyParts);
    for (int c = 0; c < cameras; ++c)
        expected[2 * c] = QString::number(expected[2 * c].toInt() + 1);
    const QString after = expected.join(' ') + ' ';
    EXPECT_TRUE(WaitFor([&] { return ReadText(work.file("count.txt")) == after; }, kWaitMs))
        << ReadText(work.file("count.txt")).toStdString();
    board.command("clear 0");

    EXPECT_TRUE(program.terminate());
    EXPECT_EQ(program.shellLines(), QStringList());
}

INSTANTIATE_TEST_SUITE_P(Cameras, StartupWithCameras, ::testing::Values(1, 4, 8));
