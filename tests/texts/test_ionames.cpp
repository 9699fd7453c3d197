// The IO signal name tables and the column captions of the IO-name dialog.

#include "core/ionames.h"

#include <gtest/gtest.h>

namespace {

class IONames : public ::testing::Test {
protected:
    void SetUp() override { savedLan = gLan; }
    void TearDown() override { gLan = savedLan; }
    int savedLan = 0;
};

template <int N>
void expectComplete(const QString (&table)[N][kLanCount], const char* what)
{
    for (int i = 0; i < N; ++i)
        for (int lan = 0; lan < kLanCount; ++lan)
            EXPECT_FALSE(table[i][lan].isEmpty()) << what << " " << i << " language " << lan;
}

TEST_F(IONames, EveryNameHasThreeTexts)
{
    expectComplete(gInName, "input name");
    expectComplete(gOutName, "output name");
    expectComplete(gCustomInputName, "input caption");
    expectComplete(gCustomOutputName, "output caption");
}

TEST_F(IONames, NamesFollowTheCurrentLanguage)
{
    gLan = 1;
    EXPECT_EQ(InName(0), QStringLiteral("Mol op"));
    EXPECT_EQ(InName(12), QStringLiteral("Neu B I"));
    EXPECT_EQ(OutName(0), QStringLiteral("Al clam"));
    EXPECT_EQ(OutName(13), QStringLiteral("Mac mov"));
    gLan = 0;
    EXPECT_EQ(InName(0), QStringLiteral("开模到位"));
    gLan = 2;
    EXPECT_EQ(OutName(0), QStringLiteral("允許合模"));
}

TEST_F(IONames, IndexOutsideTheTableGivesNoName)
{
    gLan = 1;
    EXPECT_TRUE(InName(-1).isEmpty());
    EXPECT_TRUE(InName(kInNameCount).isEmpty());
    EXPECT_TRUE(OutName(kOutNameCount).isEmpty());
}

TEST_F(IONames, InputCaptionsNameInputsOneAndThreeToNineInEveryLanguage)
{
    const int inputs[kCustomIOColumns] = {1, 3, 4, 5, 6, 7, 8, 9};
    const int outputs[kCustomIOColumns] = {1, 2, 4, 5, 6, 7, 8, 9};
    for (int lan = 0; lan < kLanCount; ++lan) {
        for (int t = 0; t < kCustomIOColumns; ++t) {
            EXPECT_TRUE(gCustomInputName[t][lan].endsWith(QLatin1Char(' ') + QString::number(inputs[t])));
            EXPECT_TRUE(gCustomOutputName[t][lan].endsWith(QLatin1Char(' ') + QString::number(outputs[t])));
        }
    }
}

}  // namespace
