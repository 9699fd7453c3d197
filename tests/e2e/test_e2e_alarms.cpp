// NG cycles that raise the alarm, and how it ends: a mould NG cleared by
// opening and closing the safety door (a re-check that fails keeps it), a
// product NG whose cycle goes on with the mould step after the re-check, and
// automatic retries that raise one alarm.
// Line words: 0x0F0 nothing on, +1 clamp inhibit, +2 ejector inhibit, +4 alarm.

#include "tests/e2e/e2efixture.h"

using namespace e2e;

namespace {

const char* const kReady1 = "The system is ready, there is 1 cameras";

class Alarms : public EndToEnd
{
};

}  // namespace

// Camera 2 fails the mould: clamp inhibit and alarm held, one record line,
// nothing counted; the mould-open input does nothing in the alarm. The door
// opening drops the alarm output; closing it re-checks: still NG keeps the
// alarm, OK ends it and both pictures of the re-check go to the NG folder.
TEST_F(Alarms, MouldNgClearedThroughTheSafetyDoor)
{
    firstFrame[1] = kMouldPatch;
    start(2);

    board("set 0");
    QList<int> words = wordsUntil(0x0F5);
    EXPECT_EQ(words, (QList<int>{0x0F3, 0x0F1, 0x0F5})) << Words(words);
    EXPECT_TRUE(WaitFor([&] { return records().size() == 2; }, kWaitMs));
    EXPECT_EQ(records(), (QStringList{"The system is ready, there is 2 cameras", "Camera 2Alarm"}));
    board("clear 0");
    board("pulse 0 100");
    EXPECT_EQ(wordsWithin(1000), QList<int>());

    board("clear 1");   // door opened
    words = wordsUntil(0x0F1);
    EXPECT_EQ(words, QList<int>{0x0F1}) << Words(words);
    board("set 1");     // closed: re-check, still NG
    words = wordsUntil(0x0F5);
    EXPECT_EQ(words, QList<int>{0x0F5}) << Words(words);

    board("clear 1");
    words = wordsUntil(0x0F1);
    EXPECT_EQ(words, QList<int>{0x0F1}) << Words(words);
    setFrame(1, kNoPatch);
    board("set 1");     // re-check OK: detection starts again
    words = wordsUntil(0x0F0);
    EXPECT_EQ(words, QList<int>{0x0F0}) << Words(words);

    EXPECT_TRUE(countsBecome("1 0 1 1 0 0 0 0 0 0 0 0 0 0 0 0 "));
    EXPECT_TRUE(waitPictures(1, 1, true, 2));   // the NG and the good re-check
    EXPECT_TRUE(PicturesNamed(pictures(1, 1, true), "1_"));
    EXPECT_TRUE(waitPictures(0, 1, false, 1));
    EXPECT_EQ(pictures(1, 1, false), QStringList());
    EXPECT_EQ(records().size(), 2);
}

// A product NG: clamp, ejector and alarm outputs held and the mould step
// cancelled. After the re-check the cycle goes on: the ejector is released
// at once, the mould is judged after its own delay.
TEST_F(Alarms, ProductNgThenTheMouldStepOfTheSameCycle)
{
    firstFrame[0] = kProductPatch;
    start();

    board("set 0");
    QList<int> words = wordsUntil(0x0F7);
    EXPECT_EQ(words, (QList<int>{0x0F3, 0x0F7})) << Words(words);
    EXPECT_TRUE(WaitFor([&] { return records().size() == 2; }, kWaitMs));
    EXPECT_EQ(records(), (QStringList{kReady1, "Camera 1Alarm"}));
    EXPECT_EQ(wordsWithin(1000), QList<int>());   // no mould inspection

    board("clear 1");
    words = wordsUntil(0x0F3);
    EXPECT_EQ(words, QList<int>{0x0F3}) << Words(words);
    setFrame(0, kNoPatch);
    board("set 1");
    words = wordsUntil(0x0F0);
    EXPECT_EQ(words, (QList<int>{0x0F1, 0x0F0})) << Words(words);

    EXPECT_TRUE(countsBecome("1 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 "));
    EXPECT_TRUE(waitPictures(0, 0, true, 2));
    EXPECT_TRUE(PicturesNamed(pictures(0, 0, true), "1_"));
    EXPECT_TRUE(waitPictures(0, 1, false, 1));
    EXPECT_EQ(records().size(), 2);
}

// Two automatic retries of a mould NG that persists: one alarm, one record
// line, the NG counted once.
TEST_F(Alarms, RetriesRaiseOneAlarm)
{
    para.reDetectTimes = 2;
    firstFrame[0] = kMouldPatch;
    start();

    board("set 0");
    QList<int> words = wordsUntil(0x0F5);
    EXPECT_EQ(words, (QList<int>{0x0F3, 0x0F1, 0x0F5})) << Words(words);
    EXPECT_TRUE(WaitFor([&] { return records().size() == 2; }, kWaitMs));
    EXPECT_EQ(wordsWithin(500), QList<int>());
    EXPECT_EQ(records(), (QStringList{kReady1, "Camera 1Alarm"}));

    board("clear 1");
    EXPECT_EQ(wordsUntil(0x0F1), QList<int>{0x0F1});
    setFrame(0, kNoPatch);
    board("set 1");
    EXPECT_EQ(wordsUntil(0x0F0), QList<int>{0x0F0});
    EXPECT_TRUE(countsBecome("1 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 "));
    EXPECT_TRUE(waitPictures(0, 1, true, 2));
    EXPECT_EQ(records().size(), 2);
}
