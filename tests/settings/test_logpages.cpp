// The operation-record viewer (days newest first, a day's lines newest
// first, days that cannot be read, paging) and the memorandum page (the
// server's reminders while the page is shown).

#include "core/texttable.h"
#include "settings/logpages.h"
#include "settings/recordlog.h"
#include "tests/common/testsupport.h"
#include "widgets/pagecontrolbar.h"

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

namespace {

// A record day file with lines (time, user, text), written in this order.
void writeDay(const QString& file, const QList<QStringList>& lines)
{
    QDir().mkpath(QFileInfo(file).path());
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "log-test");
        db.setDatabaseName(file);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec("create table RECORD(recordtime text, recordpassword text, remarks text)"));
        for (const QStringList& l : lines) {
            q.prepare("insert into RECORD values(?, ?, ?)");
            for (const QString& v : l)
                q.addBindValue(v);
            ASSERT_TRUE(q.exec());
        }
        db.close();
    }
    QSqlDatabase::removeDatabase("log-test");
}

QStringList column(const QAbstractItemModel* model, int c)
{
    QStringList out;
    for (int r = 0; model && r < model->rowCount(); ++r)
        out << model->index(r, c).data().toString();
    return out;
}

QStringList listed(const QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

class RecordViewer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Data_Init();
        gLan = 1;
        writeDay("RECORD.db", {{"08.00.00", "Primary", "start"}, {"09.30.00", "Advanced", "settings"},
                               {"09.30.00", "Advanced", "same second, later"}});
        live = QSqlDatabase::addDatabase("QSQLITE", RecordLog::kLiveConnection);
        live.setDatabaseName("RECORD.db");
        ASSERT_TRUE(live.open());
    }
    void TearDown() override
    {
        live.close();
        live = QSqlDatabase();
        QSqlDatabase::removeDatabase(RecordLog::kLiveConnection);
        QSqlDatabase::removeDatabase(RecordLog::kDayConnection);
    }
    void click(SystemLogWidget& page, int row)
    {
        QListWidget* days = page.days();
        const QRect box = days->visualItemRect(days->item(row));
        QTest::mouseClick(days->viewport(), Qt::LeftButton, {}, box.center());
    }

    TempWorkDir work;
    QSqlDatabase live;
    const QString today = QDate::currentDate().toString("yyyy-MM-dd");
};

TEST_F(RecordViewer, DaysAreTodayThenTheArchiveNewestFirst)
{
    struct Case {
        const char* what;
        QStringList files;
        QStringList dirs;
        QStringList days;   // after today
    } cases[] = {
        {"no archive", {}, {}, {}},
        {"two days", {"2026-01-02.db", "2026-01-10.db", "notes.txt"}, {}, {"2026-01-10", "2026-01-02"}},
        {"a directory named .db is a day too", {"2026-01-02.db"}, {"2026-01-05.db"}, {"2026-01-05", "2026-01-02"}},
        {"a second file of one day", {"2026-01-02.db", "2026-01-02_2.db"}, {}, {"2026-01-02_2", "2026-01-02"}},
    };
    for (const Case& c : cases) {
        QDir("RECORD").removeRecursively();
        QDir().mkpath("RECORD");
        for (const QString& f : c.files)
            QFile(QDir("RECORD").filePath(f)).open(QIODevice::WriteOnly);
        for (const QString& d : c.dirs)
            QDir().mkpath(QDir("RECORD").filePath(d));
        EXPECT_EQ(RecordLog::Days(QDate(2026, 12, 11), "./RECORD"), QStringList{"2026-12-11"} + c.days) << c.what;
    }
    QDir("RECORD").removeRecursively();
    EXPECT_EQ(RecordLog::Days(QDate(2026, 12, 11), "./RECORD"), QStringList{"2026-12-11"}) << "no folder";
}

TEST_F(RecordViewer, EachDayShowsItsLinesNewestFirst)
{
    writeDay("RECORD/2026-01-02.db", {{"07.00.00", "Unlogged", "old start"}, {"18.00.00", "Unlogged", "old stop"}});
    writeDay("RECORD/2026-01-10.db", {{"10.00.00", "Primary", "tenth"}});
    QDir().mkpath("RECORD/2026-01-05.db");
    SystemLogWidget page;
    page.resize(1400, 900);
    page.show();
    page.showDays();
    ASSERT_EQ(listed(page.days()), (QStringList{today, "2026-01-10", "2026-01-05", "2026-01-02"}));
    const QAbstractItemModel* model = page.table()->model();
    EXPECT_EQ(column(model, 2), (QStringList{"same second, later", "settings", "start"}));
    EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), "Operation content");
    EXPECT_EQ(page.table()->editTriggers(), QAbstractItemView::NoEditTriggers);

    struct Step {
        int row;
        QStringList remarks;
    } steps[] = {
        {3, {"old stop", "old start"}},
        {2, {}},   // cannot be opened: an empty table
        {1, {"tenth"}},
        {1, {"tenth"}},
        {0, {"same second, later", "settings", "start"}},
    };
    for (const Step& s : steps) {
        click(page, s.row);
        EXPECT_EQ(column(page.table()->model(), 2), s.remarks) << "row " << s.row;
    }
    EXPECT_EQ(QDir("RECORD").entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 3) << "no file made";
}

TEST_F(RecordViewer, ADayThatIsGoneGivesAnEmptyTableAndCreatesNoFile)
{
    writeDay("RECORD/2026-01-02.db", {{"07.00.00", "Unlogged", "old"}});
    SystemLogWidget page;
    page.show();
    page.showDays();
    QFile::remove("RECORD/2026-01-02.db");
    click(page, 1);
    EXPECT_EQ(page.table()->model()->rowCount(), 0);
    EXPECT_FALSE(QFile::exists("RECORD/2026-01-02.db"));
    writeDay("RECORD/2026-01-03.db", {{"07.00.00", "Unlogged", "third"}});
    page.showDays();
    click(page, 1);
    EXPECT_EQ(column(page.table()->model(), 2), QStringList{"third"});
}

TEST_F(RecordViewer, PagingMovesByWholePages)
{
    QList<QStringList> lines;
    for (int i = 0; i < 200; ++i)
        lines << QStringList{QTime(0, 0).addSecs(i).toString("hh.mm.ss"), "Primary", QString::number(i)};
    writeDay("RECORD/2026-01-02.db", lines);
    SystemLogWidget page;
    page.show();
    page.showDays();
    click(page, 1);
    QTableView* table = page.table();
    const int perPage = table->viewport()->height() / table->rowHeight(0) - 1;
    ASSERT_GT(perPage, 0);
    const int pages = (200 + perPage - 1) / perPage;
    EXPECT_EQ(page.pagingBar()->page(), 1);
    QTest::mouseClick(page.pagingBar()->findChild<QPushButton*>("page_>"), Qt::LeftButton);
    EXPECT_EQ(table->verticalScrollBar()->value(), perPage);
    EXPECT_EQ(page.pagingBar()->page(), 2);
    QTest::mouseClick(page.pagingBar()->findChild<QPushButton*>("page_3"), Qt::LeftButton);
    EXPECT_EQ(page.pagingBar()->page(), 3);
    EXPECT_EQ(table->verticalScrollBar()->value(), 2 * perPage);
    QTest::mouseClick(page.pagingBar()->findChild<QPushButton*>("page_>|"), Qt::LeftButton);
    EXPECT_EQ(page.pagingBar()->page(), pages);
    QTest::mouseClick(page.pagingBar()->findChild<QPushButton*>("page_|<"), Qt::LeftButton);
    EXPECT_EQ(table->verticalScrollBar()->value(), 0);
    table->verticalScrollBar()->setValue(perPage + 1);
    EXPECT_EQ(page.pagingBar()->page(), 2) << "scrolling by hand follows";
}

TEST(RowPaging, NeverDividesByZero)
{
    struct Case {
        const char* what;
        int rows, rowHeight, viewHeight;
        int pages, firstOfPage2, pageOfRow30;
    } cases[] = {
        {"ten rows a page", 100, 30, 330, 10, 10, 4},
        {"remainder", 101, 30, 330, 11, 10, 4},
        {"no rows", 0, 0, 810, 1, 0, 1},
        {"row height 0", 50, 0, 810, 50, 1, 31},
        {"view under two rows", 5, 30, 40, 5, 1, 5},
        {"view height 0", 5, 30, 0, 5, 1, 5},
        {"rows equal a page", 10, 30, 330, 1, 0, 1},
    };
    for (const Case& c : cases) {
        RowPaging paging;
        paging.measure(c.rows, c.rowHeight, c.viewHeight);
        EXPECT_EQ(paging.pages(), c.pages) << c.what;
        EXPECT_EQ(paging.firstRow(2), c.firstOfPage2) << c.what;
        EXPECT_EQ(paging.pageOf(30), c.pageOfRow30) << c.what;
        EXPECT_EQ(paging.firstRow(0), 0) << c.what;
    }
}

// --- Memorandum -----------------------------------------------------------

QString local(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms).toString("yy-MM-dd hh:mm:ss");
}

TEST(Memorandum, RemindersBecomeRowsUpToTheFirstGap)
{
    const qint64 t = 1765411200000;   // 2025-12-11 00:00 UTC
    struct Case {
        const char* what;
        QString body;
        bool ok;
        QList<QStringList> rows;
    } cases[] = {
        {"complete",
         QString(R"({"result":[{"operator":"Li","create_utc":%1,"notify_utc":%2,"duration":30,"reminder_name":"oil","x":1}]})")
             .arg(t).arg(t + 60000),
         true, {{"Li", local(t), local(t + 60000), "30", "oil"}}},
        {"keys in any case, fractions cut",
         QString(R"({"RESULT":[{"Operator":"Li","CREATE_UTC":%1.7,"notify_utc":0,"duration":5.9,"reminder_name":7}]})").arg(t),
         true, {{"Li", local(t), local(0), "5", ""}}},
        {"second lacks notify_utc",
         QString(R"({"result":[{"operator":"A","create_utc":0,"notify_utc":0,"duration":1,"reminder_name":"a"},)"
                 R"({"operator":"B","create_utc":0,"duration":1,"reminder_name":"b"},)"
                 R"({"operator":"C","create_utc":0,"notify_utc":0,"duration":1,"reminder_name":"c"}]})"),
         true, {{"A", local(0), local(0), "1", "a"}, {"B", local(0)}}},
        {"no operator", R"({"result":[{"create_utc":0}]})", true, {{}}},
        {"empty", R"({"result":[]})", true, {}},
        {"not JSON", "{result", false, {}},
        {"no result", R"({"results":[]})", false, {}},
    };
    for (const Case& c : cases) {
        QList<QStringList> rows{{"before"}};
        EXPECT_EQ(Memorandum::ParseReminders(c.body, &rows), c.ok) << c.what;
        EXPECT_EQ(rows, c.ok ? c.rows : QList<QStringList>{{"before"}}) << c.what;
    }
}

TEST(Memorandum, PageFillsOnlyWhileShown)
{
    Data_Init();
    const QString three = R"({"result":[)"
                          R"({"operator":"A","create_utc":0,"notify_utc":0,"duration":1,"reminder_name":"a"},)"
                          R"({"operator":"B","create_utc":0,"notify_utc":0,"duration":2,"reminder_name":"b"},)"
                          R"({"operator":"C","create_utc":0,"notify_utc":0,"duration":3,"reminder_name":"c"}]})";
    MemorandumWidget page;
    const QAbstractItemModel* model = page.table()->model();
    page.cnt_reset_remind(three);
    EXPECT_EQ(model->rowCount(), 0) << "hidden page: untouched";
    page.show();
    page.cnt_reset_remind(three);
    ASSERT_EQ(column(model, 0), (QStringList{"A", "B", "C"}));
    EXPECT_EQ(column(model, 3), (QStringList{"1", "2", "3"}));
    const QStandardItem* cell = static_cast<const QStandardItemModel*>(model)->item(1, 4);
    EXPECT_EQ(cell->textAlignment(), Qt::AlignCenter);
    EXPECT_EQ(cell->font().family(), QFont(kFontMicroHei).family());
    EXPECT_EQ(cell->font().pointSize(), 15);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), QString::fromUtf8("操作者"));

    page.cnt_reset_remind(R"({"result":[]})");
    EXPECT_EQ(model->rowCount(), 3) << "an empty list keeps the rows";
    page.cnt_reset_remind("nonsense");
    EXPECT_EQ(model->rowCount(), 3);
    page.hide();
    page.cnt_reset_remind(R"({"result":[{"operator":"Z","create_utc":0,"notify_utc":0,"duration":1,"reminder_name":"z"}]})");
    EXPECT_EQ(column(model, 0), (QStringList{"A", "B", "C"}));
}

}  // namespace
