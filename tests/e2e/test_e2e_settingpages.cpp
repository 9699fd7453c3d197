// The settings pages of the real program on an X screen of its own (:63),
// used with real pointer presses: a live camera slider moved acts on the
// simulated camera at once and is stored after the confirmation; a parameter
// group backed up and another restored, with the recorded reboot and the
// files. Screenshots of every page in each language go to $MOULDMON_SHOTS
// when it names a folder.

#include "tests/e2e/settingsscreen.h"

#include "core/texttable.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

using namespace e2e;

namespace {

enum Tab { kSystemParams = 0, kSystemFunctions = 1, kCameraParams = 3, kCameraFunctions = 4,
           kAdvancedParams = 11, kAdvancedFunctions = 12 };
const int kPageTabs[] = {kSystemParams, kSystemFunctions, kCameraParams, kCameraFunctions, kAdvancedParams,
                         kAdvancedFunctions};

class SettingPages : public SettingsScreen
{
protected:
    SettingPages()
        : SettingsScreen(xscreen())
    {
    }

    static XScreen& xscreen()
    {
        static XScreen shared(63);
        return shared;
    }

    void tab(int t)
    {
        ASSERT_TRUE(pressTab(t)) << "tab " << t;
        QThread::msleep(300);
    }

    // Number `position` of a sysparam row of the stored settings.
    int stored(const QString& row, int position) const
    {
        const QString name = QUuid::createUuid().toString();
        int value = -1;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
            db.setDatabaseName(file("PARAM.db"));
            if (db.open()) {
                QSqlQuery q(db);
                q.prepare("select value from sysparam where name = ?");
                q.addBindValue(row);
                if (q.exec() && q.next())
                    value = q.value(0).toString().split(' ').value(position, "-1").toInt();
            }
        }
        QSqlDatabase::removeDatabase(name);
        return value;
    }
    QStringList cameraCalls() const { return ReadText(file("simcams/calls.log")).split('\n', Qt::SkipEmptyParts); }
};

// The exposure slider of the camera panel (600 px long) and the
// factory-parameter switch of the advanced functions page.
constexpr int kExposureLeft = 622;
constexpr int kExposureY = 378;
constexpr int kFactoryX = 862;
constexpr int kFactoryY = 253;

TEST_F(SettingPages, LiveExposureActsOnTheCameraAtOnceAndIsStoredOnConfirmation)
{
    start(1);
    open();
    tab(kCameraParams);
    const int before = stored("exposeTime", 0);
    const int seen = cameraCalls().size();
    ASSERT_TRUE(screen.click(kExposureLeft + 240, kExposureY));
    // The camera takes the new exposure (in microseconds) before anything is confirmed.
    int exposure = -1;
    ASSERT_TRUE(WaitFor(
        [&] {
            const QStringList calls = cameraCalls().mid(seen);
            for (const QString& c : calls) {
                if (c.startsWith("MV_CC_SetFloatValue cam0 ExposureTime "))
                    exposure = c.section(' ', 3).toInt() / 1000;
            }
            return exposure > 0;
        },
        kDialogMs))
        << "no exposure call";
    EXPECT_GE(exposure, 30);
    EXPECT_LE(exposure, 50);
    EXPECT_EQ(stored("exposeTime", 0), before) << "stored before the confirmation";
    shoot("moved");
    ASSERT_TRUE(screen.click(kExitX, kExitY));
    answer(true);
    EXPECT_TRUE(WaitFor([&] { return stored("exposeTime", 0) == exposure; }, kDialogMs))
        << "stored " << stored("exposeTime", 0) << ", camera took " << exposure;
}

class Groups : public SettingPages
{
protected:
    void beforeProgram() override
    {
        // Group mould-a: another exposure and a template of its own; mould-b
        // a stale copy; the group in force is mould-b (default, mould-a, mould-b).
        QDir().mkpath(file("paraGroup/mould-a/cammer11"));
        QDir().mkpath(file("paraGroup/mould-b"));
        ASSERT_TRUE(QFile::copy(file("PARAM.db"), file("paraGroup/mould-a/PARAM.db")));
        SetParamNumber(file("paraGroup/mould-a/PARAM.db"), "exposeTime", 0, 55);
        writeFile("paraGroup/mould-a/cammer11/marker.txt", "from a");
        writeFile("paraGroup/mould-b/PARAM.db", "stale");
        writeFile("sysadd.txt", "2\n");
    }
    QByteArray bytes(const QString& name) const
    {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    // Answers YES to a question that another question follows at once.
    void yesThenAnotherQuestion()
    {
        const QRect box = screen.waitDialog(program->process.processId(), kDialogMs);
        ASSERT_TRUE(box.isValid()) << "no question box";
        ASSERT_TRUE(screen.click(box.left() + box.width() * 44 / 100, box.top() + box.height() * 72 / 100));
        QThread::msleep(500);
    }
    QStringList templates(const QString& folder) const
    {
        return QDir(file(folder)).entryList(QDir::Files, QDir::Name);
    }
};

// The group controls of the advanced parameters page.
constexpr int kBackupX = 930;
constexpr int kGroupRowY = 257;
constexpr int kListX = 700;
constexpr int kRestoreX = 930;
constexpr int kReadRowY = 327;

TEST_F(Groups, BackUpThenRestoreAnotherGroupReboots)
{
    start(1);
    open();
    tab(kAdvancedParams);
    shoot("groups");
    ASSERT_TRUE(screen.click(kBackupX, kGroupRowY));
    yesThenAnotherQuestion();   // back up?
    answer(true);               // the name exists: overwrite?
    ASSERT_TRUE(WaitFor([&] { return bytes("paraGroup/mould-b/PARAM.db") == bytes("PARAM.db"); }, kDialogMs));
    EXPECT_EQ(templates("paraGroup/mould-b/cammer11"), templates("cammer11"));
    EXPECT_EQ(ReadText(file("sysadd.txt")).trimmed(), "2");

    // Choose mould-a (the second entry) and restore it.
    ASSERT_TRUE(screen.click(kListX, kReadRowY));
    // The list of three groups (60 px each) drops below the selector.
    QRect popup;
    ASSERT_TRUE(WaitFor(
        [&] {
            for (const QRect& w : screen.windows(program->process.processId()))
                if (w.width() < 400 && w.height() >= 150)
                    popup = w;
            return popup.isValid();
        },
        kDialogMs))
        << "no group list";
    ASSERT_TRUE(screen.click(popup.center().x(), popup.top() + 60 + 30));
    QThread::msleep(300);
    shoot("chosen");
    const QByteArray groupA = bytes("paraGroup/mould-a/PARAM.db");
    ASSERT_TRUE(screen.click(kRestoreX, kReadRowY));
    answer(true);   // restore and restart?
    ASSERT_TRUE(WaitFor([&] { return program->shellLines().contains("reboot"); }, kDialogMs));
    EXPECT_EQ(program->shellLines(), QStringList{"reboot"});
    EXPECT_EQ(bytes("PARAM.db"), groupA);
    EXPECT_EQ(stored("exposeTime", 0), 55);
    EXPECT_EQ(bytes("cammer11/marker.txt"), "from a");
    EXPECT_EQ(ReadText(file("sysadd.txt")).trimmed(), "1");
    EXPECT_TRUE(records().contains("Restore the parameter group to mould-a")) << records().join('|').toStdString();
    writeFile("shell.log", "");   // the reboot is accounted for
}

// Every page for the eye, in each language; the camera pages also with the
// factory parameters shown.
class PageScreens : public SettingPages, public ::testing::WithParamInterface<int>
{
};

TEST_P(PageScreens, ForTheEye)
{
    if (qEnvironmentVariable("MOULDMON_SHOTS").isEmpty())
        GTEST_SKIP() << "screenshots only when MOULDMON_SHOTS names a folder";
    gLan = GetParam();
    start(2);
    open();
    for (int t : kPageTabs) {
        tab(t);
        shoot(QStringLiteral("tab%1").arg(t));
    }
    ASSERT_TRUE(screen.click(kFactoryX, kFactoryY));
    for (int t : {kCameraParams, kCameraFunctions}) {
        tab(t);
        shoot(QStringLiteral("tab%1-factory").arg(t));
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, PageScreens, ::testing::Values(0, 1, 2));

}  // namespace
