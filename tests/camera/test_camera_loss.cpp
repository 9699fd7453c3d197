// Camera loss, restart and stored serial numbers: a simulated camera made
// offline is declared lost, counted, warned about and restarted when it is
// listed again; the serials of the open cameras go to SN.db by position.

#include "tests/camera/camerafixture.h"

#include "camera/cameraloss.h"
#include "core/database.h"
#include "core/texttable.h"

#include <QFile>
#include <QSqlQuery>
#include <QVariant>

#include <fstream>

namespace {

class Loss : public CameraFixture, public ::testing::WithParamInterface<int>
{
protected:
    void SetUp() override
    {
        CameraFixture::SetUp();
        QFile list(work.file(QStringLiteral("netdev")));
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
        list.write("Inter-|   Receive                            |  Transmit\n"
                   " face |bytes    packets errs drop fifo frame|bytes    packets\n"
                   "    lo: 1000 10 0 0 0 0 1000 10\n"
                   "  eth0: 2000 20 0 0 0 0 2000 20\n"
                   " wlan0: 0 0 0 0 0 0 0 0\n"
                   " vlo10: 0 0 0 0 0 0 0 0\n");
        list.close();
        cameraHooks().netDevList = list.fileName();
        cameraHooks().sleep = [this](int ms) { slept += ms; };
    }

    // Two cameras acquiring, then camera 1 unplugged until its frames stop.
    void loseCamera1(int family)
    {
        makeSim(family, 2);
        detect();
        startViews(2);
        std::vector<uint8_t> raw;
        ASSERT_TRUE(waitFrame(0, &raw));
        ASSERT_TRUE(waitFrame(1, &raw));
        setOffline(1, true);
        ASSERT_TRUE(waitSilent(1, 600));
    }

    int lostRecords() const { return records.filter(QStringLiteral("Camera Lost")).size(); }

    CommandRecorder commands;
    int slept = 0;
};

TEST_P(Loss, AnUnpluggedCameraIsLostCountedWarnedAndRestartedWhenBack)
{
    loseCamera1(GetParam());
    CameraCheck(1);
    EXPECT_EQ(gisLost, 1);
    EXPECT_EQ(gLost, 1);
    EXPECT_TRUE(records.contains(LanStr(332).arg(1).arg(2)));
    EXPECT_EQ(warnings, QStringList{LanStr(39)});
    EXPECT_EQ(clamps, 1);
    EXPECT_EQ(ngViews, QList<int>({0, 1}));
    EXPECT_FALSE(units[0]->cameraOpen());
    EXPECT_FALSE(units[1]->cameraOpen());
    // One record and one warning per loss.
    CameraCheck(0);
    EXPECT_EQ(gLost, 1);
    EXPECT_EQ(lostRecords(), 1);
    EXPECT_EQ(warnings.size(), 1);
    // While the camera is away the attempts change nothing.
    CameraRestart();
    EXPECT_EQ(gisLost, 1);
    EXPECT_FALSE(records.contains(QStringLiteral("Camera Restart")));
    EXPECT_FALSE(units[0]->cameraOpen());
    // Plugged in again: every camera reopens and delivers.
    setOffline(1, false);
    CameraRestart();
    EXPECT_EQ(gisLost, 0);
    EXPECT_EQ(gLost, 1);
    EXPECT_TRUE(records.contains(QStringLiteral("Camera Restart")));
    std::vector<uint8_t> raw;
    for (int view = 0; view < 2; ++view) {
        ASSERT_TRUE(units[view]->cameraOpen()) << view;
        ASSERT_TRUE(waitFrame(view, &raw)) << view;
        EXPECT_NEAR(centre(raw), Level(view), 1) << view;
    }
}

INSTANTIATE_TEST_SUITE_P(Families, Loss, ::testing::Values(5, 6, 7, 9),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "family" + std::to_string(info.param);
                         });

TEST_F(Loss, Family6RecoveryResetsEveryInterfaceButTheLoopbackOnes)
{
    loseCamera1(6);
    CameraCheck(1);
    CameraRestart();
    EXPECT_EQ(commands.lines(),
              QStringList({QStringLiteral("ip addr flush dev eth0"), QStringLiteral("ifdown eth0"),
                           QStringLiteral("ifup eth0"), QStringLiteral("ip addr flush dev wlan0"),
                           QStringLiteral("ifdown wlan0"), QStringLiteral("ifup wlan0")}));
    EXPECT_EQ(slept, 4000);
    EXPECT_EQ(NetInterfaceNames(QStringLiteral("  lo: 1 2\n eth1: 3 4\n")), QStringList({"lo", "eth1"}));
}

TEST_F(Loss, Family4CamerasStayClosedAfterALoss)
{
    loseCamera1(4);
    CameraCheck(1);
    setOffline(1, false);
    CameraRestart();
    CameraRestart();
    EXPECT_EQ(gisLost, 1);
    EXPECT_EQ(gLost, 1);
    EXPECT_EQ(warnings.size(), 1);
    EXPECT_FALSE(units[0]->cameraOpen());
    EXPECT_FALSE(records.contains(QStringLiteral("Camera Restart")));
}

TEST_F(Loss, AStoppedMachineKeepsTheClampFree)
{
    runState = 3;
    loseCamera1(5);
    CameraCheck(1);
    EXPECT_EQ(gisLost, 1);
    EXPECT_EQ(clamps, 0);
}

// These cameras may pause their stream; only a shorter device list is a loss.
TEST_F(Loss, Family7CameraStillListedIsNotLost)
{
    makeSim(7, 2);
    detect();
    startViews(2);
    CameraCheck(0);
    EXPECT_EQ(gisLost, 0);
    EXPECT_TRUE(units[0]->cameraOpen());
    EXPECT_TRUE(warnings.isEmpty());
}

TEST_F(Loss, AReopenThatLeavesAPositionClosedIsANewLoss)
{
    loseCamera1(6);
    CameraCheck(1);
    std::strcpy(gSerialNB[1], "NOSUCHSERIAL9");
    setOffline(1, false);
    CameraRestart();
    EXPECT_TRUE(records.contains(QStringLiteral("Camera Restart")));
    EXPECT_TRUE(records.contains(QStringLiteral("Mind Fail = -1")));
    EXPECT_EQ(gisLost, 1);
    EXPECT_EQ(gLost, 2);
    EXPECT_EQ(warnings.size(), 2);
}

TEST_F(Loss, NoCameraFamilyIsNeverLost)
{
    makeSim(6, 1);
    setOffline(0, true);
    detect();
    startViews(4);
    CameraCheck(2);
    EXPECT_EQ(gisLost, 0);
    EXPECT_TRUE(records.isEmpty());
}

class SerialNumbers : public CameraFixture
{
protected:
    void SetUp() override
    {
        CameraFixture::SetUp();
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("cameraSn"));
        db.setDatabaseName(work.file(QStringLiteral("SN.db")));
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        q.exec(QLatin1String(kCreateSysparam));
        for (int i = 0; i < kMaxCameras; ++i)
            q.exec(QStringLiteral("insert into sysparam values('serialNB%1', 'old')").arg(i));
        cameraHooks().snDatabase = [this] { return db; };
    }
    void TearDown() override
    {
        CameraFixture::TearDown();
        CloseProgramDatabase(&db);
    }

    QStringList stored() const
    {
        QStringList rows;
        for (int i = 0; i < kMaxCameras; ++i) {
            QSqlQuery q(db);
            q.prepare(QStringLiteral("select value from sysparam where name=?"));
            q.addBindValue(QStringLiteral("serialNB%1").arg(i));
            rows << (q.exec() && q.next() ? q.value(0).toString() : QStringLiteral("<missing>"));
        }
        return rows;
    }

    static QStringList zeros()
    {
        QStringList rows;
        for (int i = 0; i < kMaxCameras; ++i)
            rows << QStringLiteral("0");
        return rows;
    }

    QSqlDatabase db;
};

TEST_F(SerialNumbers, OpenCamerasAreStoredAtTheirChosenPositions)
{
    makeSim(6, 3);
    std::ofstream(simPath() + "/cam1/serial") << "O'NEIL-0001\n";   // a quote round-trips
    detect();
    startViews(3);
    gCamNO[0] = 2;
    gCamNO[1] = 0;
    gCamNO[2] = 1;
    SaveSN(0);
    const QStringList expected = {"O'NEIL-0001", QString::fromStdString(Serial(2)), QString::fromStdString(Serial(0)),
                                  "0", "0", "0", "0", "0"};
    EXPECT_EQ(stored(), expected);
    for (int i = 0; i < kMaxCameras; ++i)
        EXPECT_EQ(QString::fromUtf8(gSerialNB[i]), expected[i]);
    EXPECT_EQ(records.filter(QStringLiteral("Save SN")),
              QStringList({"Save SN 1: O'NEIL-0001", "Save SN 2: " + expected[1], "Save SN 3: " + expected[2]}));
    // A position out of range lands on the last one instead of past the table.
    gCamNO[0] = 99;
    SaveSN(0);
    EXPECT_EQ(stored()[7], QString::fromStdString(Serial(0)));
}

TEST_F(SerialNumbers, ClearingStoresZeroEverywhere)
{
    makeSim(7, 2);
    detect();
    startViews(2);
    SaveSN(1);
    EXPECT_EQ(stored(), zeros());
    EXPECT_EQ(records.filter(QStringLiteral("Save SN")), QStringList({"Save SN 1: 0", "Save SN 2: 0"}));
}

TEST_F(SerialNumbers, FamiliesWithoutSerialsKeepZero)
{
    makeSim(4, 2);
    detect();
    startViews(2);
    SaveSN(0);
    EXPECT_EQ(stored(), zeros());
}

}  // namespace
