// The settings load: clamps, inserted rows, derived detection table, serials.

#include "settingsfixture.h"

#include <functional>

namespace {

// Sets position pos (from 1) of a row of width count, all others 0.
QString rowWith(int count, int pos, const QString& value)
{
    QStringList parts;
    for (int i = 1; i <= count; ++i)
        parts << (i == pos ? value : QStringLiteral("0"));
    return parts.join(QLatin1Char(' '));
}

struct ClampCase {
    const char* row;
    int count;
    int pos;
    const char* stored;
    std::function<int(const WizardPara&)> field;
    int expected;
};

#define F(expr) [](const WizardPara& w) { return w.expr; }

const ClampCase kClampCases[] = {
    {"exposeTime", 4, 1, "10001", F(exposeTime[0]), 30},
    {"exposeTime", 4, 2, "-1", F(exposeTime[1]), 30},
    {"exposeTime", 4, 3, "10000", F(exposeTime[2]), 10000},
    {"system6", 12, 2, "20000", F(exposeTime[7]), 30},
    {"adjustPlus", 4, 1, "10001", F(adjustPlus[0]), 32},
    {"system5", 12, 4, "-5", F(adjustPlus[5]), 32},
    {"sharp", 4, 4, "10001", F(sharp[3]), 0},
    {"sharp", 4, 1, "77", F(sharp[0]), 77},
    {"contrast", 4, 1, "0", F(contrast[0]), 100},
    {"contrast", 4, 2, "10001", F(contrast[1]), 100},
    {"contrast", 4, 3, "1", F(contrast[2]), 1},
    {"system6", 12, 8, "0", F(contrast[7]), 100},
    {"numAllDetect", 8, 1, "0", F(gamma[0]), 100},
    {"numAllDetect", 8, 8, "10001", F(gamma[7]), 100},
    {"numAllDetect", 8, 5, "250", F(gamma[4]), 250},
    {"system8", 20, 1, "1", F(multiDetectCount), 2},
    {"system8", 20, 1, "9", F(multiDetectCount), 2},
    {"system8", 20, 1, "8", F(multiDetectCount), 8},
    {"numFailDetect", 8, 1, "7", F(machineType), 0},
    {"numFailDetect", 8, 1, "7", F(pendingMachineType), 0},
    {"numFailDetect", 8, 1, "-1", F(machineType), 0},
    {"numFailDetect", 8, 1, "3", F(pendingMachineType), 3},
    {"system1", 10, 7, "10001", F(preCut), 0},
    {"system1", 10, 7, "25", F(preCut), 25},
    {"system1", 10, 7, "101", F(preCut), 0},
    {"system1", 10, 7, "100", F(preCut), 100},
    {"system1", 10, 8, "10001", F(reDetectTimes), 0},
    {"system1", 10, 8, "3", F(reDetectTimes), 3},
    {"system1", 10, 8, "11", F(reDetectTimes), 0},
    {"system4", 15, 14, "0", F(filterSize), 3},
    {"system4", 15, 14, "11", F(filterSize), 3},
    {"system4", 15, 14, "10", F(filterSize), 10},
    {"system4", 15, 15, "0", F(alarmArea), 100},
    {"system4", 15, 15, "1001", F(alarmArea), 100},
    {"system4", 15, 15, "1000", F(alarmArea), 1000},
    {"system2", 18, 2, "0", F(templateCount), 10},
    {"system2", 18, 2, "51", F(templateCount), 10},
    {"system2", 18, 2, "1", F(templateCount), 1},
    {"system2", 18, 4, "-1", F(ngImagesKept), 0},
    {"system2", 18, 4, "500", F(ngImagesKept), 500},
    {"system2", 18, 4, "501", F(ngImagesKept), 0},
    {"system1", 10, 9, "501", F(okImagesKept), 0},
    {"system2", 18, 5, "10001", F(ejectorPulseTime), 0},
    {"system2", 18, 6, "10001", F(clampPulseTime), 0},
    {"system2", 18, 6, "5", F(clampPulseTime), 5},
    {"system2", 18, 6, "1001", F(clampPulseTime), 0},
    {"system2", 18, 5, "1000", F(ejectorPulseTime), 1000},
    {"system2", 18, 14, "4", F(input4Use), 0},
    {"system3", 11, 1, "3", F(output4Use), 3},
    {"system3", 11, 1, "-1", F(output4Use), 0},
    {"system1", 10, 4, "1", F(motionCorrection), -1},
    {"system1", 10, 4, "-1", F(motionCorrection), -1},
    {"system1", 10, 4, "0", F(motionCorrection), 0},
    {"system1", 10, 4, "-2", F(motionCorrection), -1},
    {"system5", 12, 10, "181", F(rotationCorrection), 0},
    {"system5", 12, 10, "180", F(rotationCorrection), 180},
    {"system3", 10, 9, "1001", F(autoLogoutTime), 0},
    {"system3", 11, 9, "300", F(autoLogoutTime), 300},
    {"system3", 11, 3, "5", F(diffMultiplier), 0},
    {"system3", 11, 3, "4", F(diffMultiplier), 4},
    {"system2", 18, 15, "0", F(maxLocationOffset), 8000},
    {"system2", 18, 15, "8001", F(maxLocationOffset), 8000},
    {"system2", 18, 15, "40", F(maxLocationOffset), 40},
    {"system2", 18, 16, "5", F(screenOffTime), 600},
    {"system2", 18, 16, "0", F(screenOffTime), 0},
    {"system2", 18, 16, "10", F(screenOffTime), 10},
    {"system2", 18, 16, "9999", F(screenOffTime), 9999},
    {"system2", 18, 16, "10000", F(screenOffTime), 600},
    {"system2", 18, 16, "-10", F(screenOffTime), 600},
    {"system2", 18, 17, "101", F(captureSpeed), 12},
    {"system2", 18, 17, "100", F(captureSpeed), 100},
    {"system2", 18, 18, "100000001", F(noInputTimeout), 60},
    {"system2", 18, 18, "10001", F(noInputTimeout), 60},
    {"system2", 18, 18, "10000", F(noInputTimeout), 10000},
    {"system2", 18, 13, "3", [](const WizardPara&) { return gLan; }, 0},
    {"system2", 18, 13, "2", [](const WizardPara&) { return gLan; }, 2},
    {"system7", 20, 1, "101", F(serialPort), 0},
    {"system7", 20, 1, "3", F(serialPort), 3},
    {"system2", 18, 3, "0", F(minSpot), 3},
    {"system2", 18, 3, "21", F(minSpot), 3},
    {"system2", 18, 3, "20", F(minSpot), 20},
    {"system11", 20, 20, "100000001", F(scratch), 0},
    {"system11", 20, 20, "99", F(scratch), 99},
    // Values that time the outputs: the ranges of the settings pages.
    {"trigInDelay", 8, 1, "2147483647", F(trigInDelay[0]), 0},
    {"trigInDelay", 8, 8, "-1", F(trigInDelay[7]), 0},
    {"trigInDelay", 8, 2, "1001", F(trigInDelay[1]), 0},
    {"trigInDelay", 8, 2, "1000", F(trigInDelay[1]), 1000},
    {"system6", 12, 9, "101", F(inputDebounce), 0},
    {"system6", 12, 9, "100", F(inputDebounce), 100},
    // Unreadable numbers keep the program's default, not 0.
    {"system7", 20, 7, "x", F(outPolarity[2]), 1},
};

}  // namespace

TEST_F(SettingsDb, LoadClampsEveryValue)
{
    for (const ClampCase& c : kClampCases) {
        put(param, QLatin1String(c.row), rowWith(c.count, c.pos, QLatin1String(c.stored)));
        const WizardPara w = load();
        EXPECT_EQ(c.field(w), c.expected) << c.row << " position " << c.pos << " = " << c.stored;
        QSqlQuery(param).exec(QStringLiteral("delete from sysparam"));
    }
}

namespace {
QStringList gLogged;
void keepMessage(QtMsgType, const QMessageLogContext&, const QString& text)
{
    gLogged << text;
}
}  // namespace

// Every replaced value is logged with its row, so that a bad setting is found.
TEST_F(SettingsDb, ReplacedValuesAreLoggedWithTheirRow)
{
    put(param, "trigInDelay", "5 2147483647 0 0 0 0 0 0");
    put(param, "sharp", "1 oops 3 4");
    gLogged.clear();
    const QtMessageHandler previous = qInstallMessageHandler(keepMessage);
    const WizardPara w = load();
    qInstallMessageHandler(previous);
    EXPECT_EQ(w.trigInDelay[0], 5);
    EXPECT_EQ(w.trigInDelay[1], 0);
    EXPECT_EQ(w.sharp[1], 0);
    EXPECT_EQ(w.sharp[2], 3);
    const QString log = gLogged.join('\n');
    EXPECT_TRUE(log.contains("trigInDelay 2147483647 outside 0 .. 1000")) << log.toStdString();
    EXPECT_TRUE(log.contains("row sharp position 2 unreadable")) << log.toStdString();
}

TEST_F(SettingsDb, DirectionAloneTurnsTheDefectCheckOn)
{
    put(param, "system8", rowWith(20, 20, "1"));
    EXPECT_EQ(load().defectOn, 1);
    put(param, "system3", rowWith(11, 5, "1"));  // spot on
    EXPECT_EQ(load().defectOn, 0);
}

TEST_F(SettingsDb, MissingRowsSystem7To11AreInsertedAndInForce)
{
    const WizardPara w = load();
    EXPECT_EQ(get(param, "system7"), "0 0 0 0 0 0 1 0 0 0 0 0 0 0 0 0 0 0 0 0");
    for (const char* row : {"system8", "system9", "system10", "system11"})
        EXPECT_EQ(get(param, row), "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0") << row;
    EXPECT_EQ(w.outPolarity[2], 1);       // the alarm's inserted polarity, at once
    EXPECT_EQ(w.multiDetectCount, 2);
    EXPECT_EQ(get(param, "system1"), "<missing>");  // only those rows are added by the load
    EXPECT_EQ(w.detectOn[1], 1);
}

TEST_F(SettingsDb, SerialNumbers)
{
    put(sn, "serialNB0", "KS0123456");       // 9 bytes: taken
    put(sn, "serialNB1", "12345678");        // 8 bytes: ignored
    put(sn, "serialNB2", QString(99, 'z'));  // 99 bytes: taken
    put(sn, "serialNB3", QString(100, 'z')); // too long: ignored
    for (int i = 0; i < kMaxCameras; ++i)
        qstrcpy(gSerialNB[i], "before");
    const WizardPara w = load();
    EXPECT_EQ(w.storedSerialCount, 2);
    EXPECT_STREQ(gSerialNB[0], "KS0123456");
    EXPECT_STREQ(gSerialNB[1], "before");
    EXPECT_EQ(QByteArray(gSerialNB[2]).size(), 99);
    EXPECT_STREQ(gSerialNB[3], "before");
    for (int i = 4; i < kMaxCameras; ++i) {
        EXPECT_STREQ(gSerialNB[i], "0");
        EXPECT_EQ(get(sn, QStringLiteral("serialNB%1").arg(i)), "0");
    }
}

namespace {

struct DetectCase {
    const char* name;
    int machineType;
    int productOn;
    int semiAuto;
    int mouldSide;
    int ejectorPulseOnNG;
    int dNum;
    int detectOn[4];
    int trigInput[4];
    int side;  // -7: unchanged
};

const DetectCase kDetectCases[] = {
    {"standard", 0, 1, 0, 0, 0, 2, {1, 1, 0, 0}, {0, 0, 0, 0}, -7},
    {"standard semi-auto, no product", 0, 0, 1, 0, 0, 2, {0, 1, 0, 0}, {0, 2, 0, 0}, -7},
    {"auto parts", 3, 1, 0, 0, 1, 2, {1, 1, 0, 0}, {0, 0, 0, 0}, -7},
    {"accepted", 5, 0, 0, 0, 0, 2, {0, 1, 0, 0}, {0, 0, 0, 0}, -7},
    {"two-colour left", 1, 1, 0, 0, 0, 4, {1, 1, 0, 0}, {0, 2, 0, 0}, 1},
    {"two-colour right", 1, 1, 0, 1, 0, 4, {0, 0, 1, 1}, {0, 3, 0, 0}, 0},
    {"two-colour both", 1, 0, 0, 2, 0, 4, {0, 1, 0, 1}, {0, 255, 0, 0}, -7},
    {"two-colour side 3", 1, 1, 0, 3, 0, 4, {1, 1, 1, 1}, {0, 255, 0, 0}, -7},
    {"two-colour side 9", 1, 1, 0, 9, 0, 4, {1, 1, 0, 0}, {0, 2, 0, 0}, 1},
    {"rotary left", 2, 1, 0, 0, 0, 4, {1, 1, 0, 0}, {0, 0, 0, 0}, 1},
    {"rotary left semi", 2, 1, 1, 0, 0, 4, {1, 1, 0, 0}, {0, 2, 0, 0}, 1},
    {"rotary right", 2, 0, 0, 1, 0, 4, {0, 0, 0, 1}, {3, 3, 0, 0}, 0},
    {"rotary right semi", 2, 0, 1, 1, 0, 4, {0, 0, 0, 1}, {3, 2, 0, 0}, 0},
    {"rotary both", 2, 1, 0, 2, 0, 4, {1, 1, 1, 1}, {255, 255, 0, 0}, -7},
    {"rotary both semi", 2, 1, 1, 2, 0, 4, {1, 1, 1, 1}, {255, 2, 0, 0}, -7},
};

}  // namespace

TEST_F(SettingsDb, DetectionTableByMachineType)
{
    for (const DetectCase& c : kDetectCases) {
        WizardPara w;
        w.machineType = c.machineType;
        w.productDetectOn = c.productOn;
        w.semiAuto = c.semiAuto;
        w.mouldSide = c.mouldSide;
        w.ejectorPulseOnNG = c.ejectorPulseOnNG;
        w.reDetectTimes = 3;
        int s = -7;
        w.DeriveDetectTable(&s);
        EXPECT_EQ(gDNum, c.dNum) << c.name;
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(w.detectOn[i], c.detectOn[i]) << c.name << " step " << i;
            if (i < 2) {
                EXPECT_EQ(w.trigInput[i], c.trigInput[i]) << c.name << " trigger " << i;
            }
        }
        EXPECT_EQ(s, c.side) << c.name;
        if (c.machineType == 0 || c.machineType == 3 || c.machineType == 5) {
            for (int i = 4; i <= 7; ++i)
                EXPECT_EQ(w.outPolarity[i], c.ejectorPulseOnNG ? 0 : 1) << c.name;
        }
        EXPECT_EQ(w.reDetectTimes, c.machineType == 5 ? 0 : 3) << c.name;
    }
}

TEST_F(SettingsDb, MultiDetectionTable)
{
    WizardPara w;
    w.machineType = 4;
    w.multiDetectCount = 3;
    const int owners[8] = {-1, 2, 0, 1, 1, 1, 1, 1};
    for (int i = 0; i < 8; ++i)
        w.outputOwner[i] = owners[i];
    w.rowTrigger[2] = 1;
    w.rowTrigger[0] = 0;
    w.productDetectOn = 1;
    w.DeriveDetectTable(nullptr);
    EXPECT_EQ(gDNum, 3);
    const int on[8] = {0, 1, 1, 0, 0, 0, 0, 0};
    const int trig[8] = {-1, 2, 0, -1, -1, -1, -1, -1};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(w.detectOn[i], on[i]) << i;
        EXPECT_EQ(w.trigInput[i], trig[i]) << i;
    }
    EXPECT_EQ(w.detectOwner[1], 2);
    EXPECT_EQ(w.detectOwner[2], 0);
}

TEST_F(SettingsDb, MultiDetectionStepZeroNeedsTheProductCheckAndRowsStayInRange)
{
    WizardPara w;
    w.machineType = 4;
    w.multiDetectCount = 4;
    w.outputOwner[0] = 0;
    w.outputOwner[1] = 9;   // no such IO row
    w.outputOwner[2] = 3;
    w.rowTrigger[3] = 12;   // no such trigger choice
    w.outputOwner[3] = 4;
    w.rowTrigger[4] = 7;    // terminal 9: input 8
    w.productDetectOn = 0;
    w.DeriveDetectTable(nullptr);
    EXPECT_EQ(w.detectOn[0], 0);
    EXPECT_EQ(w.trigInput[0], -1);
    EXPECT_EQ(w.detectOn[1], 0);
    EXPECT_EQ(w.trigInput[1], -1);
    EXPECT_EQ(w.detectOn[2], 0);
    EXPECT_EQ(w.trigInput[2], -1);
    EXPECT_EQ(w.detectOn[3], 1);
    EXPECT_EQ(w.trigInput[3], 8);
}

TEST_F(SettingsDb, LoadedMachineTypeDrivesTheTable)
{
    put(param, "numFailDetect", "4 0 0 0 0 0 0 0");
    put(param, "system8", "3 0 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0");
    put(param, "system9", "-1 2 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0");
    const WizardPara w = load();
    EXPECT_EQ(gDNum, 3);
    EXPECT_EQ(w.trigInput[1], 0);   // row 2 has trigger choice 0: terminal 1
    EXPECT_EQ(w.trigInput[2], 0);
    EXPECT_EQ(w.detectOn[0], 0);
}
