// Every position of every stored settings row, the save format and the
// save/load round trip.

#include "settingsfixture.h"

#include <QFile>
#include <functional>
#include <vector>

namespace {

using Field = std::function<int(const WizardPara&)>;

struct RowLayout {
    const char* row;
    std::vector<Field> fields;  // position 1, 2, ...
};

#define F(expr) [](const WizardPara& w) { return w.expr; }
#define A4(arr, from) F(arr[from]), F(arr[from + 1]), F(arr[from + 2]), F(arr[from + 3])
#define A8(arr) A4(arr, 0), A4(arr, 4)

// The layout of the stored rows, written out independently of the code.
const std::vector<RowLayout> kLayout = {
    {"trigInDelay", {A8(trigInDelay)}},
    {"exposeTime", {A4(exposeTime, 0)}},
    {"adjustPlus", {A4(adjustPlus, 0)}},
    {"sharp", {A4(sharp, 0)}},
    {"contrast", {A4(contrast, 0)}},
    {"numFailDetect", {F(machineType), F(mouldSide), F(autoExposure), F(autoShading), F(saveProductOk),
                       F(blackAreaOn), F(whiteAreaOn), F(similarityOn)}},
    {"numAllDetect", {A8(gamma)}},
    {"isPswUsed", {F(isPswUsed)}},
    {"system1", {F(semiAuto), F(productDetectOn), F(mouldAsProduct), F(motionCorrection),
                 F(noClampWhenStopped), F(alarmSound), F(preCut), F(reDetectTimes), F(okImagesKept),
                 F(autoRegionOffered)}},
    {"system2", {F(cutEjectorWhenClamping), F(templateCount), F(minSpot), F(ngImagesKept),
                 F(ejectorPulseTime), F(clampPulseTime), F(ejectorPulseOnNG), F(cutClampAfterMouldOK),
                 F(noEjectorControl), F(pswNoDetect), F(pswAddTemplate), F(pswIgnorePoint),
                 [](const WizardPara&) { return gLan; }, F(input4Use), F(maxLocationOffset),
                 F(screenOffTime), F(captureSpeed), F(noInputTimeout)}},
    {"system3", {F(output4Use), F(alarmNeedsDoorOpen), F(diffMultiplier), F(defectOn), F(spotOn),
                 F(ignoreAreaOn), F(positionOn), F(perRoiParams), F(autoLogoutTime), F(oneNotMould),
                 F(doorTriggerDetect)}},
    {"system4", {F(templateAutoUpdate), A4(ipAddress, 0), A4(netmask, 0), A4(gateway, 0), F(filterSize),
                 F(alarmArea)}},
    {"system5", {F(exposeTime[4]), F(exposeTime[5]), F(adjustPlus[4]), F(adjustPlus[5]), F(sharp[4]),
                 F(sharp[5]), F(contrast[4]), F(contrast[5]), F(okNgPulses), F(rotationCorrection),
                 F(cutEjectorOnProductAlarm), F(externalTrigger)}},
    {"system6", {F(exposeTime[6]), F(exposeTime[7]), F(adjustPlus[6]), F(adjustPlus[7]), F(sharp[6]),
                 F(sharp[7]), F(contrast[6]), F(contrast[7]), F(inputDebounce), F(system6Spare),
                 F(tempAlarmClamp), F(pswStopDetect)}},
    {"system7", {F(serialPort), F(colourCamera), F(greyChannel), F(showSnapshot), F(outPolarity[0]),
                 F(outPolarity[1]), F(outPolarity[2]), F(noLensOptimisation), F(outPolarity[3]),
                 F(showFactoryParams), F(templateIsNgImage), F(system7Spare), F(realTimeRoiDisplay),
                 F(showCavityBoxes), F(outPolarity[4]), F(outPolarity[5]), F(outPolarity[6]),
                 F(outPolarity[7]), F(outPolarity[8]), F(whiteNumberOn)}},
    {"system8", {F(multiDetectCount), A8(rowTrigger), A8(rowCutMode), F(cutEjectorAfterProductOK),
                 F(useLog), F(directionOn)}},
    {"system9", {A8(outputOwner), F(cutClampOnMouldAlarm)}},
    {"system10", {A8(inputNameIdx), A8(outputNameIdx)}},
    {"system11", {A8(tempLow), A8(tempHigh)}},
    {"CntNet", {F(netLinkOn), F(videoType), F(videoFps), F(ngVideo), F(alarmSms), F(cavities),
                F(plannedQuantity), F(productBatch)}},
};

// Position counts of the stored rows, as stored.
const std::vector<std::pair<const char*, int>> kPositionCounts = {
    {"trigInDelay", 8}, {"exposeTime", 4}, {"adjustPlus", 4}, {"sharp", 4}, {"contrast", 4},
    {"numFailDetect", 8}, {"numAllDetect", 8}, {"isPswUsed", 1}, {"system1", 10}, {"system2", 18},
    {"system3", 11}, {"system4", 15}, {"system5", 12}, {"system6", 12}, {"system7", 20},
    {"system8", 20}, {"system9", 20}, {"system10", 20}, {"system11", 20}, {"CntNet", 8},
};

QString numbered(int base, int count)
{
    QStringList parts;
    for (int i = 1; i <= count; ++i)
        parts << QString::number(base + i);
    return parts.join(QLatin1Char(' '));
}

}  // namespace

TEST_F(SettingsDb, EveryPositionLoadsIntoItsField)
{
    int base = 0;
    for (const auto& [row, count] : kPositionCounts) {
        put(param, QLatin1String(row), numbered(base, count));
        base += 1000;
    }
    WizardPara w;
    w.LoadRows(param);

    base = 0;
    for (const auto& [row, count] : kPositionCounts) {
        const auto layout = std::find_if(kLayout.begin(), kLayout.end(),
                                         [&](const RowLayout& l) { return qstrcmp(l.row, row) == 0; });
        ASSERT_NE(layout, kLayout.end()) << row;
        for (size_t i = 0; i < layout->fields.size(); ++i)
            EXPECT_EQ(layout->fields[i](w), base + int(i) + 1) << row << " position " << i + 1;
        base += 1000;
    }
    // The filler positions of system9..11 all land in one field: the last read wins.
    EXPECT_EQ(w.scratch, 18000 + 20);
}

TEST_F(SettingsDb, SaveWritesEveryRowWithItsPositionCount)
{
    WizardPara w;
    w.trigInDelay[7] = -1;
    ASSERT_TRUE(w.SaveDatatoFile(param));
    for (const auto& [row, count] : kPositionCounts) {
        const QString text = get(param, QLatin1String(row));
        EXPECT_EQ(text.split(QLatin1Char(' ')).size(), count) << row << ": " << text.toStdString();
        EXPECT_FALSE(text.contains(QLatin1String("  "))) << row;
    }
    EXPECT_EQ(get(param, "trigInDelay"), "0 0 0 0 0 0 0 -1");
    EXPECT_EQ(get(param, "CntNet"), "0 1 3 0 0 6 1 10000");
}

TEST_F(SettingsDb, SaveStoresThePendingMachineType)
{
    WizardPara w;
    w.machineType = 1;
    w.pendingMachineType = 4;
    ASSERT_TRUE(w.SaveDatatoFile(param));
    EXPECT_TRUE(get(param, "numFailDetect").startsWith("4 "));
    EXPECT_EQ(w.machineType, 1);
}

TEST_F(SettingsDb, SaveStoresTheLanguageWhicheverRecordIsSaved)
{
    gLan = 2;
    WizardPara edited;
    ASSERT_TRUE(edited.SaveDatatoFile(param));
    EXPECT_EQ(get(param, "system2").split(' ').at(12), "2");
}

TEST_F(SettingsDb, SaveInsertsMissingRowsOnce)
{
    put(param, "system1", "1 1 1 1 1 1 1 1 1 1");
    WizardPara w;
    WizardPara::SetText(w.operatorName, QStringLiteral("Li Wei"));
    ASSERT_TRUE(w.SaveDatatoFile(param));
    ASSERT_TRUE(w.SaveDatatoFile(param));
    for (const QString& name : WizardPara::RowNames())
        EXPECT_EQ(countRows(param, name), 1) << name.toStdString();
    EXPECT_EQ(get(param, "CntNet_Operator"), "Li Wei");
    EXPECT_EQ(get(param, "system1"), "0 0 0 0 0 0 0 0 0 0");
}

TEST_F(SettingsDb, RoundTripOfEveryField)
{
    // Distinct values in every position (the clamps are not part of this).
    WizardPara saved;
    int v = 1;
    for (const RowLayout& layout : kLayout) {
        QStringList parts;
        for (size_t i = 0; i < layout.fields.size(); ++i)
            parts << QString::number(v++);
        put(param, QLatin1String(layout.row), parts.join(' '));
    }
    saved.LoadRows(param);
    WizardPara::SetText(saved.password, QStringLiteral("pa'ss"));
    WizardPara::SetText(saved.useName, QStringLiteral("line 3"));
    WizardPara::SetText(saved.techName, QStringLiteral("O'Brien"));
    WizardPara::SetText(saved.techPhone, QStringLiteral("+86 555 0100"));
    WizardPara::SetText(saved.productName, QStringLiteral("盖子 'A' \"B\"; drop table sysparam;--"));
    WizardPara::SetText(saved.operatorName, QStringLiteral("张三"));
    ASSERT_TRUE(saved.SaveDatatoFile(param));

    WizardPara loaded;
    loaded.LoadRows(param);
    for (const QString& name : WizardPara::RowNames())
        EXPECT_EQ(loaded.RowText(name), saved.RowText(name)) << name.toStdString();
    EXPECT_EQ(WizardPara::Text(loaded.techName), "O'Brien");
    EXPECT_EQ(get(param, "CntNet_ProName"), "盖子 'A' \"B\"; drop table sysparam;--");
}

TEST_F(SettingsDb, TextsOfMoreThan99BytesAreNotTaken)
{
    const QString bytes99(99, QLatin1Char('p'));
    put(param, "password", bytes99);
    put(param, "CntNet_ProName", QString(100, QLatin1Char('x')));
    put(param, "CntNet_UseName", QString(34, QChar(0x4E2D)));  // 102 bytes in UTF-8
    WizardPara w;
    WizardPara::SetText(w.useName, QStringLiteral("kept"));
    w.LoadRows(param);
    EXPECT_EQ(WizardPara::Text(w.password), bytes99);
    EXPECT_EQ(WizardPara::Text(w.productName), "");
    EXPECT_EQ(WizardPara::Text(w.useName), "kept");
}

TEST_F(SettingsDb, ParsingOfNumberRows)
{
    struct Case {
        const char* text;
        int expect[4];
    };
    const Case cases[] = {
        {"1 2 3 4", {1, 2, 3, 4}},
        {"5 6", {5, 6, 0, 0}},          // missing positions keep the default (0)
        {"", {0, 0, 0, 0}},
        {"0x10 010 -3 7", {16, 8, -3, 7}},  // hexadecimal and octal read as stored by hand
        {"  9   8\t7 6 ", {9, 8, 7, 6}},
        {"1 x 3 4", {1, 0, 3, 4}},      // an unreadable number keeps the default, the others read
    };
    for (const Case& c : cases) {
        put(param, "sharp", QLatin1String(c.text));
        WizardPara w;
        w.LoadRows(param);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(w.sharp[i], c.expect[i]) << c.text << " position " << i + 1;
    }
}

TEST_F(SettingsDb, SysaddFile)
{
    WizardPara w;
    load();
    QFile created(work.file("sysadd.txt"));
    ASSERT_TRUE(created.open(QIODevice::ReadOnly));
    EXPECT_EQ(created.readAll(), "0");
    created.close();

    w.paramGroup = 12;
    ASSERT_TRUE(w.SaveAddFile());
    QFile saved(work.file("sysadd.txt"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), "12\n");
    EXPECT_EQ(load().paramGroup, 12);
}
