// The other networks and device parameters pages: their settings loaded
// from and stored into the editing copy, the Wi-Fi file and the server
// database written by their buttons (and the names refused), the requests
// to the server, the product list of its reply and the statistics reset.

#include "core/globals.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "network/network.h"
#include "resources/artwork.h"
#include "settings/systemsettingwidget.h"
#include "settings/deviceparams.h"
#include "settings/networkpages.h"
#include "settings/othernetworks.h"
#include "tests/common/testsupport.h"
#include "widgets/blineedit.h"
#include "widgets/checkbox.h"
#include "widgets/combobox.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

namespace {

const char* const kPort = "18923";

void writeFile(const QString& path, const QByteArray& bytes)
{
    ASSERT_TRUE(WriteBytes(path, bytes)) << path.toStdString();
}

// Runs f on a connection of its own to an SQLite file.
template <typename F>
void withDb(const QString& file, F f)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "pages-test");
        db.setDatabaseName(file);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        f(q);
        db.close();
    }
    QSqlDatabase::removeDatabase("pages-test");
}

// The network client's database with rows for some of the server keys.
void writeServerDb(const QMap<QString, QString>& rows)
{
    QDir().mkpath("cnt_net");
    withDb("cnt_net/sysconf.db", [&](QSqlQuery& q) {
        ASSERT_TRUE(q.exec("create table info_sysconf(信息名称 text, 值 text, 备注 text)"));
        for (auto it = rows.begin(); it != rows.end(); ++it) {
            q.prepare("insert into info_sysconf values(?, ?, 'kept')");
            q.addBindValue(it.key());
            q.addBindValue(it.value());
            ASSERT_TRUE(q.exec());
        }
    });
}

QMap<QString, QString> serverRows()
{
    QMap<QString, QString> rows;
    withDb("cnt_net/sysconf.db", [&](QSqlQuery& q) {
        q.exec("select 信息名称, 值, 备注 from info_sysconf");
        while (q.next()) {
            EXPECT_EQ(q.value(2).toString(), "kept");
            rows.insert(q.value(0).toString(), q.value(1).toString());
        }
    });
    return rows;
}

class Pages : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Data_Init();
        gLan = 1;
        gpWPara = &inForce;
        gpWParaBak = &edited;
        qputenv("MOULDMON_SYSTEM_ROOT", QFile::encodeName(work.file("root")));
    }
    void TearDown() override
    {
        qunsetenv("MOULDMON_SYSTEM_ROOT");
        gpWPara = nullptr;
        gpWParaBak = nullptr;
    }

    template <typename T>
    T* child(QWidget* page, const char* name)
    {
        T* w = page->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    // Prompts that answer and note what they were asked and told.
    PagePrompts answering(bool yes)
    {
        return {[this, yes](const QString& t) { questions << t; return yes; }, [this](const QString& t) { warnings << t; }};
    }

    TempWorkDir work;
    CommandRecorder commands;
    WizardPara inForce;
    WizardPara edited;
    QStringList questions;
    QStringList warnings;
};

// --- Other networks -------------------------------------------------------

TEST_F(Pages, OtherNetworksLoadAndStoreTheTechnicianSettings)
{
    const QString long100 = QString(98, 'a') + QString::fromUtf8("é");   // 100 bytes
    struct Case {
        const char* what;
        int sms, video;
        QString name, phone;
        QString storedName;
    } cases[] = {
        {"plain", 1, 0, "Li Wei", "13800000000", "Li Wei"},
        {"quote and comment", 0, 1, "x'--", "1'2", "x'--"},
        {"Chinese and accents", 1, 1, QString::fromUtf8("王工 é"), "", QString::fromUtf8("王工 é")},
        {"too long: cut at a character", 0, 0, long100, "1", QString(98, 'a')},
    };
    OtherNetworksWidget page;
    for (const Case& c : cases) {
        edited = WizardPara();
        page.WizardParaInit();
        child<CheckBox>(&page, "alarmSms")->setValue(c.sms);
        child<CheckBox>(&page, "ngVideo")->setValue(c.video);
        child<BLineEdit>(&page, "techName")->setText(c.name);
        child<BLineEdit>(&page, "techPhone")->setText(c.phone);
        page.accept();
        EXPECT_EQ(edited.alarmSms, c.sms) << c.what;
        EXPECT_EQ(edited.ngVideo, c.video) << c.what;
        EXPECT_EQ(WizardPara::Text(edited.techName), c.storedName) << c.what;
        EXPECT_EQ(WizardPara::Text(edited.techPhone), c.phone) << c.what;

        OtherNetworksWidget again;
        again.WizardParaInit();
        EXPECT_EQ(child<CheckBox>(&again, "alarmSms")->value(), c.sms) << c.what;
        EXPECT_EQ(child<CheckBox>(&again, "ngVideo")->value(), c.video) << c.what;
        EXPECT_EQ(child<BLineEdit>(&again, "techName")->text(), c.storedName) << c.what;
        EXPECT_EQ(child<BLineEdit>(&again, "techPhone")->text(), c.phone) << c.what;
    }
}

TEST_F(Pages, WifiNamesThatWouldBreakTheFileAreRefused)
{
    struct Case {
        const char* what;
        QString name, password;
    } cases[] = {
        {"quote in name", "plant\"x", "12345678"},
        {"backslash in name", "a\\b", "12345678"},
        {"line feed injects a line", "plant\n\tkey_mgmt=NONE", "12345678"},
        {"carriage return", "plant\r", "12345678"},
        {"tab", "pl\tant", "12345678"},
        {"quote in password", "plant", "12\"34"},
        {"line feed in password", "plant", "12\n34"},
    };
    OtherNetworksWidget page;
    page.prompts = answering(true);
    for (const Case& c : cases) {
        warnings.clear();
        questions.clear();
        child<BLineEdit>(&page, "wifiName")->setText(c.name);
        child<BLineEdit>(&page, "wifiPassword")->setText(c.password);
        QTest::mouseClick(child<QPushButton>(&page, "updateWifi"), Qt::LeftButton);
        EXPECT_EQ(warnings, QStringList{LanStr(670)}) << c.what;
        EXPECT_TRUE(questions.isEmpty()) << c.what;
    }
    EXPECT_FALSE(QFile::exists("cnt_net/wlanpwd.conf"));
    EXPECT_TRUE(commands.lines().isEmpty());
}

TEST_F(Pages, WifiButtonWritesTheBlockAndCopiesItUnderTheRoot)
{
    struct Case {
        const char* what;
        QString name, password;
        bool yes;
        QByteArray file;
    } cases[] = {
        {"no writes nothing", "plant", "12345678", false, ""},
        {"empty texts between the quotes", "", "", true, "network={\r\n\tssid=\"\"\r\n\tpsk=\"\"\r\n\tproto=RSN\r\n}\r\n"},
        {"name with blanks and Chinese", QString::fromUtf8("车间 2"), "87654321", true,
         "network={\r\n\tssid=\"\xe8\xbd\xa6\xe9\x97\xb4 2\"\r\n\tpsk=\"87654321\"\r\n\tproto=RSN\r\n}\r\n"},
    };
    OtherNetworksWidget page;
    for (const Case& c : cases) {
        QFile::remove("cnt_net/wlanpwd.conf");
        const int before = commands.lines().size();
        questions.clear();
        page.prompts = answering(c.yes);
        child<BLineEdit>(&page, "wifiName")->setText(c.name);
        child<BLineEdit>(&page, "wifiPassword")->setText(c.password);
        QTest::mouseClick(child<QPushButton>(&page, "updateWifi"), Qt::LeftButton);
        EXPECT_EQ(questions, QStringList{LanStr(448)}) << c.what;
        EXPECT_EQ(ReadBytes("cnt_net/wlanpwd.conf"), c.file) << c.what;
        const QStringList copies = commands.lines().mid(before);
        if (c.yes)
            EXPECT_EQ(copies, QStringList{"cp -f " + work.file("cnt_net/wlanpwd.conf") + " " + work.file("root")
                                          + "/etc/wpa_supplicant/wlanpwd.conf"})
                << c.what;
        else
            EXPECT_TRUE(copies.isEmpty()) << c.what;
    }
    EXPECT_TRUE(warnings.isEmpty());
}

TEST_F(Pages, ShowingReadsTheInstalledWifiFile)
{
    struct Case {
        const char* what;
        QByteArray file;   // empty: no file
        QString name, password;
    } cases[] = {
        {"no file keeps the edits", "", "old", "oldpw"},
        {"the last ssid counts", "network={\r\n\tssid=\"one\"\r\n\tpsk=\"pw1\"\r\n}\r\nnetwork={\n\tssid=\"two\"\n}\n",
         "two", "pw1"},
        {"no psk keeps the password", "network={\n\tssid=\"hall\"\n}\n", "hall", "oldpw"},
    };
    const QString installed = work.file("root/etc/wpa_supplicant/wlanpwd.conf");
    for (const Case& c : cases) {
        QFile::remove(installed);
        if (!c.file.isEmpty())
            writeFile(installed, c.file);
        OtherNetworksWidget page;
        child<BLineEdit>(&page, "wifiName")->setText("old");
        child<BLineEdit>(&page, "wifiPassword")->setText("oldpw");
        page.show();
        EXPECT_EQ(child<BLineEdit>(&page, "wifiName")->text(), c.name) << c.what;
        EXPECT_EQ(child<BLineEdit>(&page, "wifiPassword")->text(), c.password) << c.what;
    }
}

TEST_F(Pages, ServerFieldsComeFromTheClientDatabaseAndGoBackBound)
{
    CNT_Net* saved = gpNet;
    CNT_Net net;
    gpNet = &net;
    writeServerDb({{"serverip_info", "192.168.3.10"}, {"serverip_file", "192.168.3.11"}, {"serverport_info", "8000"}});
    OtherNetworksWidget page;
    child<BLineEdit>(&page, "filePort")->setText("9999");
    page.show();
    EXPECT_EQ(child<BLineEdit>(&page, "infoServer")->text(), "192.168.3.10");
    EXPECT_EQ(child<BLineEdit>(&page, "fileServer")->text(), "192.168.3.11");
    EXPECT_EQ(child<BLineEdit>(&page, "infoPort")->text(), "8000");
    EXPECT_EQ(child<BLineEdit>(&page, "filePort")->text(), "9999") << "no row: the edit keeps its text";

    page.prompts = answering(false);
    child<BLineEdit>(&page, "infoServer")->setText("10.0.0.1");
    QTest::mouseClick(child<QPushButton>(&page, "updateServer"), Qt::LeftButton);
    EXPECT_EQ(serverRows().value("serverip_info"), "192.168.3.10") << "no changes nothing";
    EXPECT_FALSE(net.isRestartRequested);

    page.prompts = answering(true);
    child<BLineEdit>(&page, "fileServer")->setText("10.0.0.2' --");
    QTest::mouseClick(child<QPushButton>(&page, "updateServer"), Qt::LeftButton);
    const QMap<QString, QString> expected{
        {"serverip_info", "10.0.0.1"}, {"serverip_file", "10.0.0.2' --"}, {"serverport_info", "8000"}};
    EXPECT_EQ(serverRows(), expected) << "the missing row is not added; a quote is a value";
    EXPECT_TRUE(net.isRestartRequested);
    EXPECT_EQ(questions, (QStringList{LanStr(454), LanStr(454)}));
    EXPECT_TRUE(warnings.isEmpty());
    gpNet = saved;
}

TEST_F(Pages, ServerButtonWithoutTheDatabaseDoesNothing)
{
    CNT_Net* saved = gpNet;
    CNT_Net net;
    gpNet = &net;
    OtherNetworksWidget page;
    page.prompts = answering(true);
    page.show();
    QTest::mouseClick(child<QPushButton>(&page, "updateServer"), Qt::LeftButton);
    EXPECT_FALSE(QFile::exists("cnt_net/sysconf.db"));
    EXPECT_FALSE(net.isRestartRequested);
    EXPECT_TRUE(warnings.isEmpty());
    gpNet = saved;
}

// --- Device parameters ----------------------------------------------------

TEST_F(Pages, DeviceParamsLoadAndStore)
{
    const QString longName = QString(60, QChar(0x4EA7));   // 180 bytes in UTF-8
    struct Case {
        const char* what;
        QString product, operatorName, cavities, planned, batch;
        QString storedProduct, storedOperator;
        int storedCavities, storedPlanned, storedBatch;
    } cases[] = {
        {"plain", "PA-100", "Wang", "4", "2000", "10001", "PA-100", "Wang", 4, 2000, 10001},
        {"leading digits", "P", "x'--", "12abc", "", " -3", "P", "x'--", 12, 0, -3},
        {"sign and blanks", "P", "O", "  +7x", "abc", "99999999999", "P", "O", 7, 0, 2147483647},
        {"Chinese both ways", QString::fromUtf8("外壳"), QString::fromUtf8("张三"), "6", "1", "10000",
         QString::fromUtf8("外壳"), QString::fromUtf8("张三"), 6, 1, 10000},
        {"too long: cut at a character", longName, "O", "1", "1", "1", QString(33, QChar(0x4EA7)), "O", 1, 1, 1},
    };
    DeviceParamsWidget page;
    for (const Case& c : cases) {
        edited = WizardPara();
        WizardPara::SetText(edited.productName, c.product.left(30));
        page.WizardParaInit();
        auto* product = child<BComboBox>(&page, "productName");
        product->clear();
        product->addItem(c.product);
        child<BLineEdit>(&page, "operatorName")->setText(c.operatorName);
        child<BLineEdit>(&page, "cavities")->setText(c.cavities);
        child<BLineEdit>(&page, "planned")->setText(c.planned);
        child<BLineEdit>(&page, "batch")->setText(c.batch);
        page.accept();
        EXPECT_EQ(WizardPara::Text(edited.productName), c.storedProduct) << c.what;
        EXPECT_EQ(WizardPara::Text(edited.operatorName), c.storedOperator) << c.what;
        EXPECT_EQ(edited.cavities, c.storedCavities) << c.what;
        EXPECT_EQ(edited.plannedQuantity, c.storedPlanned) << c.what;
        EXPECT_EQ(edited.productBatch, c.storedBatch) << c.what;

        page.WizardParaInit();
        EXPECT_EQ(product->count(), 1) << c.what;
        EXPECT_EQ(product->currentText(), c.storedProduct) << c.what;
        EXPECT_EQ(child<BLineEdit>(&page, "operatorName")->text(), c.storedOperator) << c.what;
        EXPECT_EQ(child<BLineEdit>(&page, "cavities")->text(), QString::number(c.storedCavities)) << c.what;
    }
}

TEST_F(Pages, ProductListFromTheServerKeepsTheCurrentNameFirst)
{
    struct Case {
        const char* what;
        QString current;   // empty: an empty list
        QString body;
        QStringList items;
        QString selected;
    } cases[] = {
        {"current name moves to the front", "Y", R"({"result":[{"product_name":"X"},{"product_name":"Y"},{"product_name":"Z"}]})",
         {"Y", "X", "Z"}, "Y"},
        {"unknown current name stays first", "W", R"({"result":[{"product_name":"X"},{"product_name":"Y"}]})",
         {"W", "X", "Y"}, "W"},
        {"keys in any case, other members ignored", "W", R"({"RESULT":[{"Product_Name":"X","id":3}]})", {"W", "X"}, "W"},
        {"not a string: an empty name", "W", R"({"result":[{"product_name":5}]})", {"W", ""}, "W"},
        {"Chinese names", "W", QString::fromUtf8(R"({"result":[{"product_name":"外壳"}]})"),
         {"W", QString::fromUtf8("外壳")}, "W"},
        {"empty result: the current name only", "W", R"({"result":[]})", {"W"}, "W"},
        {"second element without a name: unchanged", "W", R"({"result":[{"product_name":"X"},{"name":"Y"}]})",
         {"W"}, "W"},
        {"not JSON: unchanged", "W", "{result: nope", {"W"}, "W"},
        {"no result: unchanged", "W", R"({"results":[]})", {"W"}, "W"},
        {"empty list takes the names", "", R"({"result":[{"product_name":"X"},{"product_name":"Y"}]})", {"X", "Y"}, "X"},
    };
    DeviceParamsWidget page;
    auto* product = child<BComboBox>(&page, "productName");
    for (const Case& c : cases) {
        product->clear();
        if (!c.current.isEmpty())
            product->addItem(c.current);
        page.cnt_reset_product(c.body);
        QStringList items;
        for (int i = 0; i < product->count(); ++i)
            items << product->itemText(i);
        EXPECT_EQ(items, c.items) << c.what;
        EXPECT_EQ(product->currentText(), c.selected) << c.what;
    }
}

TEST_F(Pages, StatisticsResetAsksAndNoDeletesNothing)
{
    const QStringList files{"cnt_net/data/Statistics", "cnt_net/data/ManualStop", "cnt_net/cnt_alarmimage/a.jpg",
                            "cnt_net/cnt_tempimage/b.jpg", "cnt_net/cnt_fail/c.jpg", "cnt_net/data/Remind"};
    for (const QString& f : files)
        writeFile(f, "x");
    DeviceParamsWidget page;
    page.prompts = answering(false);
    QTest::mouseClick(child<QPushButton>(&page, "resetStatistics"), Qt::LeftButton);
    for (const QString& f : files)
        EXPECT_TRUE(QFile::exists(f)) << f.toStdString();
    EXPECT_EQ(questions, QStringList{LanStr(447)});

    page.prompts = answering(true);
    QTest::mouseClick(child<QPushButton>(&page, "resetStatistics"), Qt::LeftButton);
    for (const QString& f : files.mid(0, 5))
        EXPECT_FALSE(QFile::exists(f)) << f.toStdString();
    for (const char* dir : {"cnt_net/cnt_alarmimage", "cnt_net/cnt_tempimage", "cnt_net/cnt_fail"})
        EXPECT_FALSE(QDir(dir).exists()) << dir;
    EXPECT_TRUE(QFile::exists("cnt_net/data/Remind"));
    EXPECT_TRUE(commands.lines().isEmpty()) << "no shell";
}

TEST_F(Pages, TheHubsNetworkTestShowsThePreviousResultWithAStarWhileItRuns)
{
    InitArtwork();
    CNT_Net* saved = gpNet;
    gpNet = nullptr;
    commands.answer("ip", "default via 192.168.3.1 dev eth0\n");
    commands.answer("ping", "64 bytes: icmp_seq=1 ttl=64 time=0.3 ms\n");
    SystemSettingWidget hub;
    QStringList shown;
    QObject::connect(&hub, &SystemSettingWidget::checkResult, [&](const QString& t) { shown << t; });
    hub.SlotCheckPing();
    hub.SlotCheckPing();
    EXPECT_EQ(shown, (QStringList{"*", "LAN OK,Internet OK,Server NG", "LAN OK,Internet OK,Server NG*",
                                  "LAN OK,Internet OK,Server NG"}));
    gpNet = saved;
}

// --- Requests to the server -----------------------------------------------

class Requests : public Pages
{
protected:
    void SetUp() override
    {
        Pages::SetUp();
        qputenv("MOULDMON_NET_PORT", kPort);
        withDb("PARAM.db", [](QSqlQuery& q) {
            ASSERT_TRUE(q.exec("create table sysparam(name text primary key, value text)"));
            ASSERT_TRUE(q.exec("insert into sysparam values('CntNet', '1')"));
        });
        saved = gpNet;
        net = std::make_unique<CNT_Net>();
        gpNet = net.get();
    }
    void TearDown() override
    {
        gpNet = saved;
        net.reset();
        qunsetenv("MOULDMON_NET_PORT");
        Pages::TearDown();
    }
    // Messages of this type waiting in the link's queue.
    int queued(int type) const
    {
        int n = 0;
        for (const QByteArray& m : net->queuedMessages())
            n += m.startsWith(QByteArray::number(type) + ':');
        return n;
    }
    std::unique_ptr<CNT_Net> net;
    CNT_Net* saved = nullptr;
};

TEST_F(Requests, GoOutOnlyWithTheLinkOnInForceAndAClient)
{
    ASSERT_TRUE(net->isSetUp);
    struct Case {
        const char* what;
        int linkInForce, linkEdited;
        bool connected;
        int sent;
    } cases[] = {
        {"on and connected", 1, 1, true, 1},
        {"no client", 1, 1, false, 0},
        {"off in force, on in the edits", 0, 1, true, 0},
        {"on in force, off in the edits", 1, 0, true, 1},
    };
    OtherNetworksWidget other;
    DeviceParamsWidget device;
    int reminders = 0;
    int products = 0;
    for (const Case& c : cases) {
        inForce.netLinkOn = c.linkInForce;
        edited.netLinkOn = c.linkEdited;
        net->isClientConnected = c.connected;
        other.SlotGetRemindList();
        device.SlotGetProductName();
        QTest::mouseClick(child<QPushButton>(&device, "getProducts"), Qt::LeftButton);
        reminders += c.sent;
        products += 2 * c.sent;
        EXPECT_EQ(queued(17), reminders) << c.what;
        EXPECT_EQ(queued(14), products) << c.what;
    }
}

TEST_F(Requests, TheHubAsksWhenTheMemorandumOrDeviceTabIsPressed)
{
    InitArtwork();
    inForce.netLinkOn = 1;
    net->isClientConnected = true;
    SystemSettingWidget hub;
    hub.show();
    QTest::mouseClick(hub.tabButton(8), Qt::LeftButton);
    EXPECT_EQ(queued(17), 1);
    QTest::mouseClick(hub.tabButton(2), Qt::LeftButton);
    QTest::mouseClick(hub.tabButton(8), Qt::LeftButton);
    EXPECT_EQ(queued(14), 1);
    EXPECT_EQ(queued(17), 2);
}

TEST_F(Requests, TheLinkHandsProductRepliesToThePage)
{
    DeviceParamsWidget device;
    child<BComboBox>(&device, "productName")->addItem("W");
    net->ParsingBackBuf("SessionId:14\r\n\r\n{\"result\":[{\"product_name\":\"X\"}]}");
    EXPECT_EQ(child<BComboBox>(&device, "productName")->count(), 2);
}

}  // namespace
