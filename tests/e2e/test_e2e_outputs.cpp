// Output options of good and NG cycles without an alarm: OK/NG pulses, the
// ejector pulse on a product NG, and the pre-cut of the clamp inhibit.
// Line words: bit n = output line n; lines 4..7 are high while their outputs
// are off unless the ejector pulses on a product NG.

#include "tests/e2e/e2efixture.h"

using namespace e2e;

namespace {
class Outputs : public EndToEnd
{
};
}  // namespace

// OK/NG pulses: no output at the cycle start; a good product pulses the
// ejector output, a mould NG the clamp inhibit with the alarm output; the NG
// counts and its picture is kept at once, without an alarm or a retry.
TEST_F(Outputs, OkAndNgPulses)
{
    para.okNgPulses = 1;
    para.clampPulseTime = 5;
    para.reDetectTimes = 2;    // not used with pulses
    para.trigInDelay[1] = 8;   // the mould is judged after the product's pulse
    firstFrame[0] = kMouldPatch;
    start();

    board("set 0");
    QList<int> words = wordsUntil(idle());
    EXPECT_EQ(words, (QList<int>{0x0F2, 0x0F0})) << Words(words);   // product OK pulse
    words = wordsUntil(idle());
    EXPECT_EQ(words, (QList<int>{0x0F5, 0x0F0})) << Words(words);   // mould NG pulse
    EXPECT_TRUE(countsBecome("1 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 "));
    EXPECT_TRUE(waitPictures(0, 1, true, 1));
    EXPECT_TRUE(PicturesNamed(pictures(0, 1, true), "1_"));
    EXPECT_EQ(records().size(), 1);

    // No alarm stands: the next cycle runs as usual.
    board("clear 0");
    setFrame(0, kNoPatch);
    board("set 0");
    words = wordsUntil(idle());
    EXPECT_EQ(words, (QList<int>{0x0F2, 0x0F0})) << Words(words);
    words = wordsUntil(idle());
    EXPECT_EQ(words, (QList<int>{0x0F2, 0x0F0})) << Words(words);
    EXPECT_TRUE(countsBecome("2 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 "));
    EXPECT_EQ(records().size(), 1);
}

// A product NG with the ejector pulse: the region's NG output (line 6) and the
// ejector output pulse for 1 s, no alarm; the NG picture is handed on with the
// good mould.
TEST_F(Outputs, EjectorPulseOnAProductNg)
{
    para.ejectorPulseOnNG = 1;   // outputs 4..7 are not inverted then
    para.ejectorPulseTime = 10;
    para.trigInDelay[1] = 15;    // the mould is judged after the pulse
    regionOutput = 2;
    firstFrame[0] = kProductPatch;
    start();

    board("set 0");
    const QList<int> words = wordsUntil(idle());
    // O0 (O1 and 4..7 off), + O1 and O6, back to O0, none.
    EXPECT_EQ(words, (QList<int>{0x001, 0x043, 0x001, 0x000})) << Words(words);
    EXPECT_TRUE(countsBecome("1 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 "));
    EXPECT_TRUE(waitPictures(0, 0, true, 1));
    EXPECT_TRUE(PicturesNamed(pictures(0, 0, true), "1_"));
    EXPECT_TRUE(waitPictures(0, 1, false, 1));
    EXPECT_EQ(records().size(), 1);
}

// Pre-cut 0.3 s: the clamp is not inhibited at the cycle start but 0.3 s
// before the mould is judged.
TEST_F(Outputs, PreCutInhibitsTheClampBeforeTheMouldIsJudged)
{
    para.preCut = 3;
    start();

    board("set 0");
    const QList<int> words = wordsUntil(idle(), 2);
    EXPECT_EQ(words, (QList<int>{0x0F2, 0x0F0, 0x0F1, 0x0F0})) << Words(words);
    EXPECT_TRUE(countsBecome("1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 "));
}
