// The UI text table: every entry complete in three languages, placeholders and
// line breaks that agree, the entries the screens use present, fixed texts.

#include "core/texttable.h"

#include <QRegularExpression>
#include <QStringList>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Entry numbers the screens, dialogs and records of the program use.
const int kUsedEntries[] = {
    0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15, 16,
    17, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 34, 35,
    36, 38, 39, 42, 43, 44, 46, 47, 48, 54, 56, 58, 60, 61, 63, 65,
    66, 67, 68, 69, 70, 71, 72, 73, 74, 75, 76, 77, 78, 79, 80, 81,
    82, 83, 84, 85, 86, 87, 88, 89, 90, 91, 92, 93, 94, 95, 96, 97,
    98, 99, 102, 103, 105, 106, 107, 108, 109, 111, 113, 114, 115, 116, 117, 118,
    119, 120, 121, 122, 123, 124, 125, 126, 127, 128, 129, 130, 131, 132, 133, 134,
    135, 136, 137, 139, 140, 141, 142, 143, 145, 146, 147, 150, 151, 152, 154, 155,
    156, 157, 158, 159, 160, 161, 162, 164, 165, 166, 167, 168, 169, 170, 171, 172,
    174, 175, 176, 177, 178, 179, 181, 182, 183, 184, 185, 186, 187, 188, 189, 190,
    191, 192, 193, 194, 195, 196, 197, 198, 199, 200, 201, 202, 203, 204, 205, 207,
    208, 209, 210, 211, 212, 213, 215, 216, 217, 218, 223, 224, 226, 228, 232, 234,
    235, 236, 237, 238, 239, 240, 241, 242, 243, 244, 245, 246, 247, 249, 250, 251,
    252, 253, 254, 255, 256, 258, 261, 262, 263, 264, 265, 269, 270, 271, 272, 273,
    274, 275, 276, 277, 279, 281, 282, 283, 284, 285, 286, 287, 288, 289, 290, 291,
    292, 293, 294, 295, 298, 300, 301, 302, 303, 304, 305, 306, 307, 309, 310, 311,
    312, 313, 314, 315, 318, 319, 320, 323, 324, 325, 326, 332, 334, 335, 336, 337,
    338, 339, 340, 341, 342, 354, 357, 358, 360, 361, 362, 364, 365, 367, 370, 371,
    372, 373, 374, 375, 376, 377, 383, 384, 385, 386, 387, 388, 389, 390, 391, 392,
    393, 394, 395, 397, 398, 399, 400, 401, 402, 403, 419, 420, 421, 422, 423, 427,
    428, 429, 430, 431, 432, 433, 434, 435, 436, 437, 438, 439, 440, 441, 442, 444,
    445, 446, 447, 448, 450, 451, 452, 453, 454, 457, 458, 459, 460, 461, 462, 463,
    464, 465, 466, 467, 468, 469, 470, 471, 472, 473, 474, 475, 476, 477, 478, 479,
    480, 481, 482, 483, 484, 485, 486, 487, 488, 489, 490, 497, 498, 499, 501, 502,
    503, 504, 505, 506, 507, 508, 509, 510, 511, 512, 513, 515, 516, 519, 520, 521,
    522, 523, 524, 527, 528, 529, 540, 541, 542, 543, 544, 545, 546, 547, 549, 550,
    551, 552, 555, 556, 558, 561, 562, 566, 568, 569, 570, 571, 572, 573, 574, 575,
    576, 577, 578, 579, 580, 581, 582, 583, 584, 585, 586, 587, 588, 589, 590, 591, 592, 593, 594, 595, 596, 597, 598,
};

// Entries that have Chinese texts but no English one.
const int kChineseOnly[] = {549, 552, 555, 561};

class TextTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        Data_Init();
        savedLan = gLan;
    }
    void TearDown() override { gLan = savedLan; }

    int savedLan = 0;
};

QStringList placeholders(const QString& text)
{
    QStringList found;
    auto it = QRegularExpression(QStringLiteral("%(\\d+)")).globalMatch(text);
    while (it.hasNext())
        found << it.next().captured(0);
    std::sort(found.begin(), found.end());
    return found;
}

struct Breaks {
    int crlf;
    int lf;
    bool operator==(const Breaks& o) const { return crlf == o.crlf && lf == o.lf; }
};

Breaks breaks(const QString& text)
{
    const int crlf = text.count(QLatin1String("\r\n"));
    return {crlf, text.count(QLatin1Char('\n')) - crlf};
}

bool chineseOnly(int k)
{
    return std::find(std::begin(kChineseOnly), std::end(kChineseOnly), k) != std::end(kChineseOnly);
}

TEST_F(TextTable, EveryEnglishEntryHasBothChineseTexts)
{
    int filled = 0;
    for (int k = 0; k < kTextCount; ++k) {
        if (gaLanStr[k][1].isEmpty())
            continue;
        ++filled;
        EXPECT_FALSE(gaLanStr[k][0].isEmpty()) << "entry " << k;
        EXPECT_FALSE(gaLanStr[k][2].isEmpty()) << "entry " << k;
    }
    EXPECT_EQ(filled, 597);
}

TEST_F(TextTable, PlaceholdersAndLineBreaksAgreeAcrossLanguages)
{
    for (int k = 0; k < kTextCount; ++k) {
        const QString& en = gaLanStr[k][1];
        if (en.isEmpty())
            continue;
        for (int lan : {0, 2}) {
            const QString& other = gaLanStr[k][lan];
            EXPECT_EQ(placeholders(other), placeholders(en)) << "entry " << k << " language " << lan;
            EXPECT_TRUE(breaks(other) == breaks(en)) << "entry " << k << " language " << lan;
        }
    }
}

TEST_F(TextTable, EveryEntryTheProgramUsesExists)
{
    for (int k : kUsedEntries) {
        const int shown = chineseOnly(k) ? 0 : 1;
        EXPECT_FALSE(gaLanStr[k][shown].isEmpty()) << "entry " << k;
    }
}

TEST_F(TextTable, ChineseOnlyEntriesHaveNoEnglishText)
{
    for (int k : kChineseOnly) {
        EXPECT_TRUE(gaLanStr[k][1].isEmpty()) << "entry " << k;
        EXPECT_FALSE(gaLanStr[k][0].isEmpty()) << "entry " << k;
    }
    gLan = 1;
    EXPECT_EQ(LanStr(561), QString());
    // The missing statistics file is announced in Simplified Chinese only.
    EXPECT_EQ(LanStr(552, 0), QStringLiteral("统计文件不存在，需要重启来生成它"));
    EXPECT_TRUE(LanStr(552, 2).isEmpty());
}

TEST_F(TextTable, CurrentLanguageSelectsTheColumn)
{
    gLan = 1;
    EXPECT_EQ(LanStr(568), QStringLiteral("Warning!"));
    gLan = 0;
    EXPECT_EQ(LanStr(568), QStringLiteral("警告!"));
    gLan = 2;
    EXPECT_EQ(LanStr(568), QStringLiteral("警告!"));
    EXPECT_EQ(LanStr(121, 0), QStringLiteral("确定"));
}

TEST_F(TextTable, LanguageNamesAreWrittenInTheirOwnLanguage)
{
    EXPECT_EQ(LanStr(317, 0), QStringLiteral("简体中文"));
    EXPECT_EQ(LanStr(317, 1), QStringLiteral("English"));
    EXPECT_EQ(LanStr(317, 2), QStringLiteral("繁體中文"));
}

TEST_F(TextTable, UnlistedAndOutOfRangeEntriesAreEmpty)
{
    for (int lan = 0; lan < kLanCount; ++lan) {
        EXPECT_TRUE(LanStr(153, lan).isEmpty());
        EXPECT_TRUE(LanStr(599, lan).isEmpty());
        EXPECT_TRUE(LanStr(-1, lan).isEmpty());
        EXPECT_TRUE(LanStr(kTextCount, lan).isEmpty());
    }
    EXPECT_TRUE(LanStr(568, 3).isEmpty());
    EXPECT_TRUE(LanStr(568, -1).isEmpty());
}

// English texts whose blanks, punctuation and spelling the operation record
// and the screens rely on.
struct ExactText {
    int k;
    const char* en;
};

const ExactText kExactTexts[] = {
    {31, "Point %1 "},
    {68, "If you want to delete the first \r\ntemplate, please click \"Resample\"!"},
    {86, "，Changing the maximum gradation from %1 to %2"},
    {94, ", Changing the sensitivity  from %1 to %2"},
    {109, "Camerar %1 added a template"},
    {141, "Stop the detection manually "},
    {151, "Camera %1 "},
    {218, "camera %1 detection %2 %3  %5 / %4    %6"},
    {236, ", The time delay for detection %1is changed from %2 to %3"},
    {345, "delay” setting"},
    {458, "calibrate \n touch screen"},
    {495, "   Input %1"},
    {512, "No select was made for \r\n the last detection！"},
};

TEST_F(TextTable, EnglishTextsKeepTheirExactForm)
{
    for (const ExactText& t : kExactTexts)
        EXPECT_EQ(LanStr(t.k, 1), QString::fromUtf8(t.en)) << "entry " << t.k;
}

TEST_F(TextTable, RestoreRecordCarriesTheGroupName)
{
    for (int lan = 0; lan < kLanCount; ++lan)
        EXPECT_TRUE(LanStr(286, lan).arg(QStringLiteral("G7")).contains(QLatin1String("G7"))) << lan;
    EXPECT_EQ(LanStr(286, 1).arg(QStringLiteral("G7")), QStringLiteral("Restore the parameter group to G7"));
}

TEST_F(TextTable, AlarmRecordJoinsCamerasBeforeTheAlarmWord)
{
    // The record joins entry 151 per NG camera, drops the last character and
    // appends entry 152.
    for (int lan = 0; lan < kLanCount; ++lan) {
        QString line = LanStr(151, lan).arg(1) + LanStr(151, lan).arg(3);
        line.chop(1);
        line += LanStr(152, lan);
        EXPECT_TRUE(line.contains(QLatin1Char('1')) && line.contains(QLatin1Char('3'))) << lan;
        EXPECT_TRUE(line.endsWith(LanStr(152, lan))) << lan;
    }
    EXPECT_EQ(QStringLiteral("相机1、相机3报警"),
              LanStr(151, 0).arg(1) + LanStr(151, 0).arg(3).chopped(1) + LanStr(152, 0));
}

}  // namespace
