// The operation-record line of a confirmation: one phrase per changed
// setting, in a fixed order, with the values as stored.

#include "core/texttable.h"
#include "core/wizardpara.h"
#include "settings/changerecord.h"

#include "tests/common/testsupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

const QString kHead = QStringLiteral("Modify the system parameters");

struct FieldCase {
    const char* name;
    std::function<void(WizardPara&)> before;
    std::function<void(WizardPara&)> after;
    const char* phrase;
};

class ChangeRecord : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Data_Init();
        gLan = 1;
    }
};

void none(WizardPara&) {}

TEST_F(ChangeRecord, EachFieldGivesItsPhrase)
{
    const FieldCase cases[] = {
        {"step-1 delay", none, [](WizardPara& w) { w.trigInDelay[0] = 15; },
         ", The time delay for detection Prodis changed from 0 to 15"},
        {"step-2 delay", [](WizardPara& w) { w.trigInDelay[1] = 10; }, [](WizardPara& w) { w.trigInDelay[1] = 25; },
         ", The time delay for detection Moldis changed from 10 to 25"},
        {"retries", none, [](WizardPara& w) { w.reDetectTimes = 3; },
         ", The automatic redetecting times for detection Mold is changed from 0 to 3"},
        {"filter size", none, [](WizardPara& w) { w.filterSize = 4; }, ", filter Size is changed from 0 to 4"},
        {"semi-automatic", none, [](WizardPara& w) { w.semiAuto = 1; }, ", Semiauto is changed to active"},
        {"a switch to 2 is active", [](WizardPara& w) { w.semiAuto = 1; }, [](WizardPara& w) { w.semiAuto = 2; },
         ", Semiauto is changed to active"},
        {"motion correction off", none, [](WizardPara& w) { w.motionCorrection = -1; },
         ", Motion correcte is changed to deactive"},
        {"motion correction on", [](WizardPara& w) { w.motionCorrection = -1; },
         [](WizardPara& w) { w.motionCorrection = 0; },
         ", Motion correcte is changed to active"},
        {"exposure of camera 5", [](WizardPara& w) { w.exposeTime[4] = 30; }, [](WizardPara& w) { w.exposeTime[4] = 40; },
         ", The exposure time of camera 5is changed from 30 to 40 "},
        {"gain of camera 8", none, [](WizardPara& w) { w.adjustPlus[7] = 9; },
         ", The gain of camera 8 is changed from 0 to 9"},
        {"sharpness", none, [](WizardPara& w) { w.sharp[1] = 2; },
         ", the clarity of camera 2 is changed from 0 to 2 "},
        {"contrast", none, [](WizardPara& w) { w.contrast[0] = 120; },
         ", the truth of camera 1 is changed from 0 to 120"},
        {"gamma", none, [](WizardPara& w) { w.gamma[6] = 5; }, ", the Gamma of camera 7 is changed from 0 to 5"},
        {"stop clamping", none, [](WizardPara& w) { w.noClampWhenStopped = 1; },
         ", Stop clamping when stopping detection is changed to Prohibit to clamp"},
        {"allow clamping", [](WizardPara& w) { w.noClampWhenStopped = 1; },
         [](WizardPara& w) { w.noClampWhenStopped = 0; },
         ", Stop clamping when stopping detection is changed to Allow to clamp"},
        {"cavity", none, [](WizardPara& w) { w.mouldSide = 2; }, ", Cavity position is changed from 0 to 2"},
        {"alarm initial state", none, [](WizardPara& w) { w.outPolarity[2] = 1; },
         ", Alarm initial state is changed from 0 to 1"},
        {"output 4 initial state", none, [](WizardPara& w) { w.outPolarity[3] = 1; },
         ", Output 4 initial state is changed from 0 to 1"},
        {"password protection", none, [](WizardPara& w) { w.isPswUsed = 1; },
         ", Enable Password is changed to active"},
        {"password", none, [](WizardPara& w) { WizardPara::SetText(w.password, QStringLiteral("777")); },
         ", the password has been modified"},
        {"step-3 delay has no phrase", none, [](WizardPara& w) { w.trigInDelay[2] = 5; }, ""},
        {"pending machine type has no phrase", none, [](WizardPara& w) { w.pendingMachineType = 1; }, ""},
        {"manual snapshot has no phrase", none, [](WizardPara& w) { w.showSnapshot = 1; }, ""},
    };
    for (const FieldCase& c : cases) {
        WizardPara inForce;
        c.before(inForce);
        WizardPara edited = inForce;
        c.after(edited);
        EXPECT_EQ(ChangeRecordLine(inForce, edited), kHead + QString::fromUtf8(c.phrase)) << c.name;
    }
}

TEST_F(ChangeRecord, PhrasesFollowTheTableOrderNotTheEditOrder)
{
    WizardPara inForce;
    inForce.trigInDelay[0] = 10;
    WizardPara edited = inForce;
    WizardPara::SetText(edited.password, QStringLiteral("1"));
    edited.isPswUsed = 1;
    edited.exposeTime[1] = 50;
    edited.adjustPlus[0] = 3;
    edited.semiAuto = 1;
    edited.trigInDelay[0] = 15;
    EXPECT_EQ(ChangeRecordLine(inForce, edited),
              kHead + ", The time delay for detection Prodis changed from 10 to 15, Semiauto is changed to active"
                      ", The gain of camera 1 is changed from 0 to 3"
                      ", The exposure time of camera 2is changed from 0 to 50 "
                      ", Enable Password is changed to active, the password has been modified");
}

TEST_F(ChangeRecord, UnchangedRecordGivesTheHeadAlone)
{
    WizardPara a;
    EXPECT_EQ(ChangeRecordLine(a, a), kHead);
    EXPECT_FALSE(RecordsDiffer(a, a));
}

TEST_F(ChangeRecord, LineIsInTheCurrentLanguage)
{
    gLan = 0;
    WizardPara a;
    WizardPara b;
    b.semiAuto = 1;
    EXPECT_EQ(ChangeRecordLine(a, b), LanStr(235, 0) + LanStr(240, 0).arg(LanStr(174, 0)) + LanStr(250, 0));
}

TEST_F(ChangeRecord, EveryStoredFieldCountsAsADifference)
{
    WizardPara a;
    WizardPara b;
    b.tempHigh[7] = 1;
    EXPECT_TRUE(RecordsDiffer(a, b));
    WizardPara c;
    WizardPara::SetText(c.techName, QStringLiteral("Ann"));
    EXPECT_TRUE(RecordsDiffer(a, c));
}

TEST_F(ChangeRecord, DetectionFunctionsThatCount)
{
    WizardPara w;
    w.ignoreAreaOn = 1;
    w.positionOn = 1;
    EXPECT_FALSE(AnyDetectionFunction(w));
    int WizardPara::*counted[] = {&WizardPara::defectOn, &WizardPara::spotOn, &WizardPara::blackAreaOn,
                                  &WizardPara::whiteAreaOn, &WizardPara::whiteNumberOn,
                                  &WizardPara::directionOn, &WizardPara::similarityOn};
    for (auto field : counted) {
        WizardPara one;
        one.*field = 1;
        EXPECT_TRUE(AnyDetectionFunction(one));
    }
}

}  // namespace
