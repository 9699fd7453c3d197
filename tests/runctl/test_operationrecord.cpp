// The operation record (rows with bound values, daily roll-over that never
// loses the day's record), count.txt and the file-list helpers.

#include "runfixture.h"

#include "core/texttable.h"
#include "core/wholefile.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QVariant>

#include <cerrno>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class Record : public RunTest
{
protected:
    Record() : record(QStringLiteral("dbRecord"), clock) {}

    void setDay(const QString& day, const QTime& time = QTime(23, 59, 0))
    {
        clock.setWallTime(QDateTime(QDate::fromString(day, Qt::ISODate), time));
    }
    static void writeFile(const QString& name, const QByteArray& text)
    {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    static QStringList archivedRemarks(const QString& file)
    {
        QStringList remarks;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("archive"));
            db.setDatabaseName(file);
            if (db.open()) {
                QSqlQuery q(db);
                q.exec(QStringLiteral("select remarks from RECORD order by rowid"));
                while (q.next())
                    remarks << q.value(0).toString();
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("archive"));
        return remarks;
    }

    OperationRecord record;
};

}  // namespace

TEST_F(Record, RowsHoldTimeLevelAndRemarkAsGiven)
{
    int level = 0;
    record.setUserLevel([&level] { return level; });
    clock.setWallTime(QDateTime(QDate(2024, 3, 5), QTime(14, 5, 9)));
    record.InsertRecord(QStringLiteral("it's a 'quoted' line"));
    level = 1;
    record.InsertRecord(QStringLiteral("two"));
    level = 2;
    record.InsertRecord(QStringLiteral("three"));
    gLan = 0;
    record.InsertRecord(QStringLiteral("四"));
    EXPECT_EQ(recordRows(), (QStringList{"14.05.09|Unlogged|it's a 'quoted' line", "14.05.09|Primary|two",
                                         "14.05.09|Advanced|three", "14.05.09|高级|四"}));
}

TEST_F(Record, ReopensAClosedRecordAndClears)
{
    recordDb.close();
    record.InsertRecord(QStringLiteral("after close"));
    EXPECT_EQ(records(), QStringList{"after close"});
    record.ClearRecord();
    EXPECT_TRUE(records().isEmpty());
    OperationRecord lost(QStringLiteral("noSuchConnection"), clock);
    lost.InsertRecord(QStringLiteral("dropped"));  // no database: nothing happens
}

TEST_F(Record, CountFileFormat)
{
    for (int c = 0; c < kMaxCameras; ++c) {
        gAllNum[c] = 100 + c;
        gFailNum[c] = c;
    }
    ASSERT_TRUE(OperationRecord::CountWrite());
    EXPECT_EQ(fileText("count.txt"), "100 0 101 1 102 2 103 3 104 4 105 5 106 6 107 7 ");
    EXPECT_EQ(QDir().entryList(QStringList{"count*"}, QDir::AllEntries), QStringList{"count.txt"});
}

TEST_F(Record, CountFileReading)
{
    struct Case {
        const char* name;
        QByteArray text;  // empty: no file
        int all0, fail0, all1, fail1;
    } cases[] = {
            {"missing file", QByteArray(), 0, 0, 0, 0},
            {"only the first camera", "5 1", 5, 1, 0, 0},
            {"a huge count reads as zero", "7 100000001 3 100000000 ", 7, 0, 3, 100000000},
            {"a negative count reads as zero", "-4 2 1 1 ", 0, 2, 1, 1},
            {"garbage stops the reading", "9 x 4 4 ", 9, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove("count.txt");
        if (!c.text.isEmpty())
            writeFile("count.txt", c.text);
        gAllNum[7] = gFailNum[7] = 99;
        OperationRecord::CountRead();
        EXPECT_EQ(gAllNum[0], c.all0);
        EXPECT_EQ(gFailNum[0], c.fail0);
        EXPECT_EQ(gAllNum[1], c.all1);
        EXPECT_EQ(gFailNum[1], c.fail1);
        EXPECT_EQ(gAllNum[7], 0);
        EXPECT_EQ(gFailNum[7], 0);
    }
}

TEST_F(Record, CountWriteFailureKeepsTheOldFileOut)
{
    QDir().mkdir("count.txt");  // cannot be replaced by a file
    EXPECT_FALSE(OperationRecord::CountWrite());
    EXPECT_TRUE(QFileInfo("count.txt").isDir());
}

namespace {

constexpr int kNoNamespace = 77;

// Fills the file system of the current folder until it refuses a byte.
bool fillDisk()
{
    const int fd = ::open("filler", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return errno == ENOSPC;
    const QByteArray block(4096, 'x');
    bool full = false;
    for (int i = 0; i < 100000 && !full; ++i)
        full = ::write(fd, block.constData(), size_t(block.size())) < block.size();
    ::close(fd);
    return full;
}

// Runs in a child with a private mount namespace and a 64 KB tmpfs as its
// working folder: counts written, the disk filled, larger counts written.
// Exit 0: the failed write was reported and the last good counts read back.
[[noreturn]] void fullDiskChild()
{
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
        || ::mkdir("disk", 0755) != 0 || ::mount("tmpfs", "disk", "tmpfs", 0, "size=64k") != 0
        || ::chdir("disk") != 0)
        ::_exit(kNoNamespace);
    for (int c = 0; c < kMaxCameras; ++c) {
        gAllNum[c] = 1000 + c;
        gFailNum[c] = c;
    }
    if (!OperationRecord::CountWrite() || !fillDisk())
        ::_exit(2);
    for (int c = 0; c < kMaxCameras; ++c) {
        gAllNum[c] = 123456789 % 100000000 + c;  // longer text than the disk has room for
        gFailNum[c] = 1000000 + c;
    }
    if (OperationRecord::CountWrite())
        ::_exit(3);  // a failed write reported as success
    OperationRecord::CountRead();
    for (int c = 0; c < kMaxCameras; ++c)
        if (gAllNum[c] != 1000 + c || gFailNum[c] != c)
            ::_exit(4);  // the counts of the last good write are gone
    if (QFile::exists("count.txt.new"))
        ::_exit(5);
    ::_exit(0);
}

// Runs in a child with a private mount namespace: the working folder becomes
// a read-only tmpfs. Exit 0: the check says so and nothing is left behind.
[[noreturn]] void readOnlyChild()
{
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
        || ::mkdir("ro", 0755) != 0 || ::mount("tmpfs", "ro", "tmpfs", MS_RDONLY, "size=64k") != 0)
        ::_exit(kNoNamespace);
    if (!FolderWritable(QStringLiteral(".")) || FolderWritable(QStringLiteral("ro")))
        ::_exit(2);
    ::_exit(QFile::exists(".writable") ? 3 : 0);
}

int runChild(void (*body)())
{
    const pid_t child = ::fork();
    if (child == 0)
        body();
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

}  // namespace

TEST_F(Record, ReadOnlyFolderIsFound)
{
    const int result = runChild(readOnlyChild);
    if (result == kNoNamespace)
        GTEST_SKIP() << "no private mount namespace with a tmpfs here (needs root)";
    EXPECT_EQ(result, 0) << "2: wrong answer, 3: probe file left behind";
}

TEST_F(Record, FullDiskKeepsTheCountsOfTheLastGoodWrite)
{
    const int result = runChild(fullDiskChild);
    if (result == kNoNamespace)
        GTEST_SKIP() << "no private mount namespace with a tmpfs here (needs root)";
    EXPECT_EQ(result, 0) << "2: set-up, 3: failure reported as success, 4: counts lost, 5: temporary file left";
}

TEST_F(Record, DayFileWriteFailureIsSaidOnce)
{
    QStringList warnings;
    record.setWarning([&](const QString& text) { warnings << text; });
    QDir().mkdir("time.txt");   // cannot be read as a day nor replaced by a file
    setDay("2024-03-05");
    record.ReadRecordDay();
    record.ReadRecordDay();
    EXPECT_EQ(warnings, QStringList{"time.txt cannot be written: check the disk"});
    EXPECT_EQ(record.recordDay(), "2024-03-05");
}

TEST_F(Record, RecordDayFromTimeFile)
{
    setDay("2024-03-05");
    record.ReadRecordDay();
    EXPECT_EQ(record.recordDay(), "2024-03-05");
    EXPECT_EQ(fileText("time.txt"), "2024-03-05");
    writeFile("time.txt", "2023-12-31\n");
    record.ReadRecordDay();
    EXPECT_EQ(record.recordDay(), "2023-12-31");
    writeFile("time.txt", "../../etc/passwd");
    record.ReadRecordDay();
    EXPECT_EQ(record.recordDay(), "2024-03-05") << "not a day: a new day from today";
}

// Past midnight the day's record is archived under its day and a fresh one
// begins from the empty template.
TEST_F(Record, RollOverAtMidnight)
{
    setDay("2024-03-05");
    record.ReadRecordDay();
    record.InsertRecord(QStringLiteral("evening"));
    record.SlotCheckDate();  // same day: nothing
    EXPECT_FALSE(QFile::exists("RECORD/2024-03-05.db"));
    setDay("2024-03-06", QTime(0, 0, 30));
    record.SlotCheckDate();
    EXPECT_EQ(archivedRemarks("RECORD/2024-03-05.db"), QStringList{"evening"});
    EXPECT_EQ(fileText("time.txt"), "2024-03-06");
    EXPECT_EQ(record.recordDay(), "2024-03-06");
    record.InsertRecord(QStringLiteral("morning"));
    EXPECT_EQ(records(), QStringList{"morning"});
}

// A day archived before (the clock was set back) is never overwritten.
TEST_F(Record, ExistingArchiveIsKept)
{
    QDir().mkdir("RECORD");
    writeFile("RECORD/2024-03-05.db", "older archive");
    setDay("2024-03-05");
    record.ReadRecordDay();
    record.InsertRecord(QStringLiteral("second run of the day"));
    setDay("2024-03-06");
    record.SlotCheckDate();
    EXPECT_EQ(fileText("RECORD/2024-03-05.db"), "older archive");
    EXPECT_EQ(archivedRemarks("RECORD/2024-03-05_2.db"), QStringList{"second run of the day"});
}

// A move that fails leaves the day's record where it is; it is archived at
// the first check that can move it.
TEST_F(Record, FailedMoveNeverLosesTheRecord)
{
    writeFile("RECORD", "a file where the archive folder belongs");
    setDay("2024-03-05");
    record.ReadRecordDay();
    record.InsertRecord(QStringLiteral("precious"));
    setDay("2024-03-06");
    record.SlotCheckDate();
    EXPECT_EQ(fileText("time.txt"), "2024-03-05");
    record.InsertRecord(QStringLiteral("still here"));
    EXPECT_EQ(records(), (QStringList{"precious", "still here"}));

    QFile::remove("RECORD");
    record.SlotCheckDate();
    EXPECT_EQ(archivedRemarks("RECORD/2024-03-05.db"), (QStringList{"precious", "still here"}));
    EXPECT_EQ(fileText("time.txt"), "2024-03-06");
    EXPECT_TRUE(records().isEmpty());
}

// Without the empty template the new record gets its table made.
TEST_F(Record, MissingTemplate)
{
    QFile::remove("RECORDNULL.db");
    setDay("2024-03-05");
    record.ReadRecordDay();
    setDay("2024-03-06");
    record.SlotCheckDate();
    record.InsertRecord(QStringLiteral("kept"));
    EXPECT_EQ(records(), QStringList{"kept"});
}

TEST_F(Record, FileListsByAge)
{
    QDir().mkpath("tree/a/b");
    const QDateTime base(QDate(2021, 6, 1), QTime(8, 0));
    const struct {
        const char* name;
        int age;
    } files[] = {{"tree/new", 30}, {"tree/a/first", 10}, {"tree/a/b/deep", 20}, {"tree/a/b/same", 10}};
    for (const auto& f : files) {
        QFile file(f.name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.setFileTime(base.addSecs(f.age), QFileDevice::FileModificationTime);
    }
    QList<QFileInfo> list;
    FoundAllFile(list, "tree");
    EXPECT_EQ(list.size(), 4);
    SortFileByTime(list);
    QStringList names;
    for (const QFileInfo& info : list)
        names << info.fileName();
    EXPECT_EQ(names.mid(2), (QStringList{"deep", "new"}));
    EXPECT_TRUE(names.mid(0, 2).contains("first") && names.mid(0, 2).contains("same"));
    // Equal times keep their order.
    for (const QStringList& order : {QStringList{"tree/a/b/same", "tree/a/first"}, QStringList{"tree/a/first", "tree/a/b/same"}}) {
        QList<QFileInfo> pair{QFileInfo(order[0]), QFileInfo(order[1])};
        SortFileByTime(pair);
        EXPECT_EQ(pair[0].filePath(), order[0]);
    }
    QList<QFileInfo> none;
    FoundAllFile(none, "no-such-folder");
    SortFileByTime(none);
    EXPECT_TRUE(none.isEmpty());
}
