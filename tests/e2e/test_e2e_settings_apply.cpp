// Changing settings on the settings screen of the real program, on an X
// screen of its own (:70): the network parameters page edited with real
// pointer events, the exit button's question answered yes (the record line,
// PARAM.db) or no (nothing saved, nothing recorded).

#include "tests/e2e/settingsscreen.h"

#include "core/texttable.h"
#include "core/wizardpara.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QTemporaryDir>

#include <time.h>

using namespace e2e;

namespace {

constexpr int kNetworkTab = 5;
// Places on the network parameters page (rows 50 px high, 40 px apart).
constexpr QPoint kSerialCombo(650, 348);
constexpr QPoint kNoVideo(575, 887);     // the first video choice, "no video"
constexpr QPoint kCameraVideo(935, 887); // the third, never ticked here

// The sliders of the system parameters page (600 px long): the product
// step's delay (0 to 100 s in tenths) and the re-inspections (0 to 10).
constexpr int kSliderLeft = 630;
constexpr int kSliderLength = 598;
constexpr int kProductDelayY = 252;
constexpr int kReDetectY = 572;

// The advanced functions page and its export button.
constexpr int kAdvancedFunctionsTab = 12;
constexpr QPoint kExportButton(494, 873);

double Now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

class SettingsApply : public SettingsScreen
{
protected:
    SettingsApply()
        : SettingsScreen(xscreen())
    {
    }
    static XScreen& xscreen()
    {
        static XScreen shared(70);
        return shared;
    }

    void openNetworkPage()
    {
        open();
        ASSERT_TRUE(pressTab(kNetworkTab));
        QThread::msleep(300);
    }

    // Chooses COM3 for the IO board and no video for the server link.
    void editNetworkPage()
    {
        ASSERT_TRUE(screen.click(kSerialCombo.x(), kSerialCombo.y()));
        const QRect list = screen.waitPopup(program->process.processId(), kDialogMs);
        ASSERT_TRUE(list.isValid()) << "no list of serial ports";
        ASSERT_TRUE(screen.click(list.center().x(), list.top() + list.height() * 5 / 8));
        ASSERT_TRUE(screen.waitNoDialog(program->process.processId(), kDialogMs));
        ASSERT_TRUE(screen.click(kNoVideo.x(), kNoVideo.y()));
        QThread::msleep(300);
        shoot("edited");
        EXPECT_TRUE(noVideoTicked()) << "the press did not tick no video";
    }

    // Whether "no video" looks ticked (unlike the camera-images choice).
    bool noVideoTicked() { return pixel(kNoVideo.x(), kNoVideo.y()) != pixel(kCameraVideo.x(), kCameraVideo.y()); }

    void leave(bool yes)
    {
        ASSERT_TRUE(screen.click(kExitX, kExitY));
        answer(yes, !yes);
        if (yes)
            acknowledge();   // a new IO port takes effect at the next start
        EXPECT_TRUE(WaitFor([&] { return pixel(kTabEdgeX, tabY(kNetworkTab)) != kPressedTab; }, 5000))
            << "still on the settings";
    }

    // The record PARAM.db holds now.
    WizardPara stored()
    {
        WizardPara loaded;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("stored"));
            db.setDatabaseName(file("PARAM.db"));
            if (db.open())
                loaded.LoadRows(db);
        }
        QSqlDatabase::removeDatabase(QStringLiteral("stored"));
        return loaded;
    }
};

TEST_F(SettingsApply, ConfirmedChangesAreSavedAndRecorded)
{
    start(1);
    const QStringList before = records();
    openNetworkPage();
    editNetworkPage();
    leave(true);
    const QString line = QStringLiteral("Modify the system parameters, IO Port is changed from 0 to 2");
    ASSERT_TRUE(WaitFor([&] { return records().size() > before.size(); }, kWaitMs));
    EXPECT_EQ(records(), QStringList(before) << line);
    ASSERT_TRUE(WaitFor([&] { return stored().serialPort == 2; }, kWaitMs));
    EXPECT_EQ(stored().videoType, 0);
    EXPECT_EQ(stored().videoFps, para.videoFps);
}

// Seconds from the mould-open edge to the cycle's OK word on the wire.
double SecondsToOk(IOBoardSim& io, const std::function<void()>& edge)
{
    const double from = Now();
    edge();
    IOBoardSim::Event e;
    const double until = from + kWaitMs / 1000.0;
    while (Now() < until && io.next(&e, int((until - Now()) * 1000) + 1)) {
        if (e.kind == QLatin1String("out") && e.word == 0x0F0)
            return e.time - from;
    }
    return -1;
}

TEST_F(SettingsApply, ANewDelayAndReInspectionsAreStoredRecordedAndUsedByTheNextCycle)
{
    start(1);
    open();   // on the system parameters page
    ASSERT_TRUE(screen.click(kSliderLeft + kSliderLength * 2 / 100, kProductDelayY));   // about 2 s
    ASSERT_TRUE(screen.click(kSliderLeft + kSliderLength * 3 / 10, kReDetectY));         // about 3 times
    QThread::msleep(300);
    shoot("edited");
    ASSERT_TRUE(screen.click(kExitX, kExitY));
    answer(true);
    ASSERT_TRUE(WaitFor([&] { return stored().trigInDelay[0] != para.trigInDelay[0]; }, kWaitMs));
    const WizardPara now = stored();
    EXPECT_GE(now.trigInDelay[0], 10);
    EXPECT_LE(now.trigInDelay[0], 40);
    EXPECT_GE(now.reDetectTimes, 2);
    EXPECT_LE(now.reDetectTimes, 4);
    const QString delayLine = LanStr(236).arg(LanStr(263)).arg(para.trigInDelay[0]).arg(now.trigInDelay[0]);
    const QString reDetectLine = LanStr(239).arg(LanStr(264)).arg(para.reDetectTimes).arg(now.reDetectTimes);
    ASSERT_TRUE(WaitFor([&] { return records().last().contains(delayLine); }, kWaitMs))
        << records().join(" | ").toStdString();
    EXPECT_TRUE(records().last().contains(reDetectLine)) << records().last().toStdString();

    // The next cycle judges the product step the new delay after the edge,
    // then the mould step its own delay later.
    ASSERT_TRUE(titleBecomes(kPressedTab));
    const double seconds = SecondsToOk(io, [&] { board("set 0"); });
    ASSERT_GT(seconds, 0) << "no OK word";
    EXPECT_GE(seconds, (now.trigInDelay[0] + now.trigInDelay[1]) / 10.0 - 0.05);
}

// The simulated USB disk: a folder outside the working folder (the export
// copies the whole working folder onto it).
class ExportToDisk : public SettingsApply
{
protected:
    void beforeProgram() override
    {
        ASSERT_TRUE(usb.isValid());
        qputenv("MOULDMON_USB_ROOT", usb.path().toLocal8Bit());
        ASSERT_TRUE(QDir().mkpath(file("originalimage/cammer11")));
        writeFile("originalimage/cammer11/a.bmp", "frame");
    }
    void TearDown() override
    {
        SettingsApply::TearDown();
        qunsetenv("MOULDMON_USB_ROOT");
    }
    QTemporaryDir usb;
};

TEST_F(ExportToDisk, TheFilesArriveAndThePicturesAreEmptied)
{
    start(1);
    open();
    ASSERT_TRUE(pressTab(kAdvancedFunctionsTab));
    QThread::msleep(300);
    ASSERT_TRUE(screen.click(kExportButton.x(), kExportButton.y()));
    answer(true);   // "export the data?"
    acknowledge();  // the export's result
    const QStringList stamps = QDir(usb.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(stamps.size(), 1);
    const QString copy = usb.path() + "/" + stamps[0] + "/" + QFileInfo(file("PARAM.db")).dir().dirName();
    EXPECT_TRUE(QFileInfo(copy + "/PARAM.db").isFile());
    EXPECT_EQ(ReadText(copy + "/originalimage/cammer11/a.bmp"), "frame");
    EXPECT_FALSE(QFileInfo::exists(file("originalimage/cammer11/a.bmp")));
    EXPECT_EQ(program->shellLines(), (QStringList{"sync", "umount " + usb.path()}));
    writeFile("shell.log", "");   // the disk's commands are accounted for
}

TEST_F(SettingsApply, ChangesRefusedAreNeitherSavedNorRecorded)
{
    start(1);
    const QStringList before = records();
    const QByteArray saved = paramDb();
    openNetworkPage();
    editNetworkPage();
    leave(false);
    QThread::msleep(500);
    EXPECT_EQ(records(), before);
    EXPECT_EQ(paramDb(), saved);
    // Opened again and left: the edits are gone, nothing to ask.
    reopen(kNetworkTab);
    EXPECT_FALSE(noVideoTicked()) << "the refused choice is still shown";
    ASSERT_TRUE(screen.click(kExitX, kExitY));
    EXPECT_TRUE(screen.waitDialog(program->process.processId(), 1000).isNull()) << "a question with nothing changed";
    EXPECT_EQ(paramDb(), saved);
}

}  // namespace
