// The record viewer and the pages of the link to the server on an X screen
// of their own (:65), with the stand-in network client on port 18923: the
// days of the record read back with real presses, the product list taken
// from the client and the chosen product saved on leaving. Screenshots of
// the four pages in each language go to $MOULDMON_SHOTS when it names a
// folder.

#include "tests/e2e/settingsscreen.h"

#include "core/texttable.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTime>
#include <QVariant>

using namespace e2e;

namespace {

const char* const kPort = "18923";

enum Tab { kDeviceTab = 2, kOtherNetworksTab = 6, kLogTab = 7, kMemoTab = 8 };

// The record viewer: the day list and the table (rows of the lines).
constexpr int kDayX = 440;
constexpr int kDayListTop = 185;
constexpr int kDayRowHeight = 19;
int dayY(int row)
{
    return kDayListTop + kDayRowHeight / 2 + row * kDayRowHeight;
}
// The paging bar below the table: first page and next page.
constexpr int kFirstPageX = 389;
constexpr int kNextPageX = 854;
constexpr int kPagingY = 1031;
const QRect kLineRows(540, 215, 1160, 80);   // the first three lines of the table
// The memorandum page: its first two reminder rows.
const QRect kReminderRows(400, 235, 1000, 60);
// The device parameters page: the product list's box.
constexpr int kProductX = 640;
constexpr int kProductY = 260;

// A record day file with one line per remark, one second apart.
bool writeDay(const QString& file, const QStringList& remarks)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "e2e-day");
        db.setDatabaseName(file);
        ok = db.open();
        QSqlQuery q(db);
        ok = ok && q.exec("create table RECORD(recordtime text, recordpassword text, remarks text)");
        for (int i = 0; ok && i < remarks.size(); ++i) {
            q.prepare("insert into RECORD values(?, 'Primary', ?)");
            q.addBindValue(QTime(8, 0).addSecs(i).toString("hh.mm.ss"));
            q.addBindValue(remarks[i]);
            ok = q.exec();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase("e2e-day");
    return ok;
}

QString storedText(const QString& paramDb, const QString& row)
{
    QString value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "e2e-param");
        db.setDatabaseName(paramDb);
        if (db.open()) {
            QSqlQuery q(db);
            q.prepare("select value from sysparam where name = ?");
            q.addBindValue(row);
            if (q.exec() && q.next())
                value = q.value(0).toString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase("e2e-param");
    return value;
}

class NetPages : public SettingsScreen
{
protected:
    NetPages()
        : SettingsScreen(xscreen())
    {
        para.netLinkOn = 1;
        qputenv("MOULDMON_NET_PORT", kPort);
        qputenv("MOULDMON_SYSTEM_ROOT", QFile::encodeName(work.file("root")));
        qputenv("MOULDMON_VIDEO_KEYDIR", QFile::encodeName(work.file(".")));
    }
    ~NetPages() override
    {
        if (client.state() != QProcess::NotRunning) {
            client.terminate();
            if (!client.waitForFinished(3000)) {
                client.kill();
                client.waitForFinished(3000);
            }
        }
        qunsetenv("MOULDMON_NET_PORT");
        qunsetenv("MOULDMON_SYSTEM_ROOT");
        qunsetenv("MOULDMON_VIDEO_KEYDIR");
    }

    static XScreen& xscreen()
    {
        static XScreen shared(65);
        return shared;
    }

    void beforeProgram() override
    {
        QDir().mkpath(file("RECORD"));
        QStringList many;
        for (int i = 0; i < 120; ++i)
            many << QStringLiteral("line %1 of the second of January").arg(i);
        ASSERT_TRUE(writeDay(file("RECORD/2026-01-02.db"), many));
        ASSERT_TRUE(writeDay(file("RECORD/2026-01-10.db"), {"tenth: settings saved", "tenth: detection started"}));
        QDir().mkpath(file("RECORD/2026-01-05.db"));   // not a file: shows nothing
        writeFile("products.json", QString(R"(["PA-100 外壳", "PB-220 盖板", "PC-310 卡扣"])").toUtf8());
    }

    // The stand-in client: answers the product and reminder requests.
    void startClient()
    {
        client.setProcessChannelMode(QProcess::ForwardedChannels);
        client.start("python3", {SourceDir() + "/tools/netclient-fake/netclient_fake.py", "--port", kPort, "--log",
                                 file("netclient.log"), "--connect-wait", "30", "--products",
                                 file("products.json")});
        ASSERT_TRUE(client.waitForStarted(5000));
    }
    // The client got a frame of this type (within ms).
    bool clientGot(int type, int ms = kWaitMs)
    {
        return WaitFor([&] { return ReadText(file("netclient.log")).contains(QStringLiteral("\"type\": %1,").arg(type)); },
                       ms);
    }

    QImage area(const QRect& r) { return screenImage().copy(r); }
    void pressTab(int tab)
    {
        ASSERT_TRUE(screen.click(kTabX, tabY(tab)));
        ASSERT_TRUE(tabPressed(tab)) << "tab " << tab;
        QThread::msleep(500);
    }
    // The area shows something other than the image within ms.
    bool areaChangesFrom(const QRect& r, const QImage& before, int ms = 5000)
    {
        return WaitFor([&] { return area(r) != before; }, ms);
    }
    bool areaBecomes(const QRect& r, const QImage& expected, int ms = 5000)
    {
        return WaitFor([&] { return area(r) == expected; }, ms);
    }
    // No text in the area: every pixel one colour.
    bool blank(const QRect& r)
    {
        const QImage a = area(r);
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                if (a.pixel(x, y) != a.pixel(0, 0))
                    return false;
        return true;
    }

    QProcess client;
};

TEST_F(NetPages, RecordViewerReadsTodayAndTheArchivedDays)
{
    start(1);
    open();
    pressTab(kLogTab);
    shoot("today");
    const QImage today = area(kLineRows);
    EXPECT_FALSE(blank(kLineRows)) << "today's lines are shown";

    ASSERT_TRUE(screen.click(kDayX, dayY(1)));   // the 10th
    EXPECT_TRUE(areaChangesFrom(kLineRows, today));
    shoot("tenth");
    const QImage tenth = area(kLineRows);

    ASSERT_TRUE(screen.click(kDayX, dayY(2)));   // the 5th: not a file
    EXPECT_TRUE(WaitFor([&] { return blank(kLineRows); }, 5000)) << "a day that cannot be read shows no lines";
    shoot("unreadable");

    ASSERT_TRUE(screen.click(kDayX, dayY(3)));   // the 2nd: 120 lines
    EXPECT_TRUE(WaitFor([&] { return !blank(kLineRows); }, 5000));
    shoot("second");
    const QImage firstPage = area(kLineRows);
    ASSERT_TRUE(screen.click(kNextPageX, kPagingY));
    EXPECT_TRUE(areaChangesFrom(kLineRows, firstPage)) << "the next page shows other lines";
    shoot("second-page2");
    ASSERT_TRUE(screen.click(kFirstPageX, kPagingY));
    EXPECT_TRUE(areaBecomes(kLineRows, firstPage)) << "the first page again";

    ASSERT_TRUE(screen.click(kDayX, dayY(1)));
    EXPECT_TRUE(areaBecomes(kLineRows, tenth)) << "the 10th reads the same again";
    ASSERT_TRUE(screen.click(kDayX, dayY(0)));
    EXPECT_TRUE(areaBecomes(kLineRows, today)) << "today's row reads the open record again";
}

TEST_F(NetPages, ProductListComesFromTheClientAndTheChoiceIsSaved)
{
    start(1);
    startClient();
    open();
    pressTab(kDeviceTab);
    ASSERT_TRUE(clientGot(14)) << "no product-list request";
    QThread::msleep(500);
    shoot("device");
    ASSERT_TRUE(screen.click(kProductX, kProductY));
    const QRect popup = screen.waitPopup(program->process.processId(), kDialogMs);
    ASSERT_TRUE(popup.isValid()) << "the product list did not open";
    shoot("products");
    // Items: the stored (empty) name, then the three of the client; the third product.
    const int itemHeight = popup.height() / 4;
    ASSERT_TRUE(screen.click(popup.center().x(), popup.top() + itemHeight * 3 + itemHeight / 2));
    ASSERT_TRUE(screen.waitNoDialog(program->process.processId(), kDialogMs));
    ASSERT_TRUE(screen.click(kExitX, kExitY));
    answer(true);
    EXPECT_TRUE(WaitFor([&] { return storedText(file("PARAM.db"), "CntNet_ProName") == QString::fromUtf8("PC-310 卡扣"); },
                        kWaitMs))
        << storedText(file("PARAM.db"), "CntNet_ProName").toStdString();
}

TEST_F(NetPages, RemindersComeFromTheClientWhenTheMemorandumTabIsPressed)
{
    start(1);
    startClient();
    open();
    EXPECT_FALSE(clientGot(17, 1000)) << "asked before the tab was pressed";
    pressTab(kMemoTab);
    ASSERT_TRUE(clientGot(17)) << "no reminder-list request";
    EXPECT_TRUE(WaitFor([&] { return !blank(kReminderRows); }, kWaitMs)) << "no reminders shown";
    shoot("reminders");
}

// The four pages for the eye, in each language.
class NetPagesScreens : public NetPages, public ::testing::WithParamInterface<int>
{
};

TEST_P(NetPagesScreens, ForTheEye)
{
    if (qEnvironmentVariable("MOULDMON_SHOTS").isEmpty())
        GTEST_SKIP() << "screenshots only when MOULDMON_SHOTS names a folder";
    gLan = GetParam();
    start(1);
    startClient();
    open();
    for (int tab : {kDeviceTab, kOtherNetworksTab, kLogTab, kMemoTab}) {
        pressTab(tab);
        QThread::msleep(700);
        shoot(QStringLiteral("tab%1").arg(tab));
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, NetPagesScreens, ::testing::Values(0, 1, 2));

}  // namespace
