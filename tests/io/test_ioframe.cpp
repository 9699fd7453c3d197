// The wire format: checksum, host frames, board frames, and the receive
// buffer's resynchronisation.

#include "core/framescanner.h"
#include "core/ioframe.h"

#include <QByteArray>
#include <gtest/gtest.h>
#include <vector>

namespace {

QByteArray bytes(const char* hex)
{
    return QByteArray::fromHex(hex);
}

QByteArray hostFrame(int cmd, int value)
{
    const HostFrame f = MakeHostFrame(cmd, value);
    return QByteArray(reinterpret_cast<const char*>(f.data()), int(f.size()));
}

// Feeds the chunks one after another, scanning after each, as the IO thread
// does with the reads of successive passes.
std::vector<BoardFrame> framesOf(const std::vector<QByteArray>& chunks, FrameScanner* rx = nullptr)
{
    FrameScanner own;
    FrameScanner& scanner = rx ? *rx : own;
    std::vector<BoardFrame> frames;
    for (const QByteArray& chunk : chunks) {
        scanner.append(reinterpret_cast<const uchar*>(chunk.constData()), chunk.size());
        scanner.scan([&](const BoardFrame& f) { frames.push_back(f); });
    }
    return frames;
}

const char* const kStatusIn1Echo5 = "5F0201000500" "67" "F5";  // inputs 0x001, echo 0x005

}  // namespace

TEST(IOFrame, ChecksumIsPlainByteSum)
{
    const uchar none[1] = {0};
    EXPECT_EQ(calcLRC(none, 0), 0);
    const uchar wraps[3] = {0xF0, 0x20, 0x01};
    EXPECT_EQ(calcLRC(wraps, 3), 0x11);  // 0x111 modulo 256, not a two's complement
    const uchar poll[4] = {0x5F, 0x02, 0x00, 0x00};
    EXPECT_EQ(calcLRC(poll, 4), 0x61);
}

TEST(IOFrame, HostFramesAreExact)
{
    struct Case {
        int cmd;
        int value;
        const char* wire;
    } cases[] = {
        {kCmdPoll, 0, "5F020000" "61F5"},
        {kCmdTempBlock0, 0, "5F030000" "62F5"},
        {kCmdTempBlock1, 0, "5F040000" "63F5"},
        {kCmdOutput, 0x0005, "5F010500" "65F5"},
        {kCmdOutput, 0x00F4, "5F01F400" "54F5"},
        {kCmdOutput, 0x0301, "5F010103" "64F5"},
        {0x102, 0x12345, "5F024523" "C9F5"},  // low byte of cmd, low 16 bits of value
    };
    for (const Case& c : cases)
        EXPECT_EQ(hostFrame(c.cmd, c.value).toHex().toUpper(), QByteArray(c.wire)) << c.wire;
}

TEST(IOFrame, StatusFrameCarriesInputsAndEcho)
{
    const auto frames = framesOf({bytes("5F02FF03FF03" "65F5")});
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].type, kBoardStatus);
    EXPECT_EQ(frames[0].inputs(), 0x3FF);
    EXPECT_EQ(frames[0].echo(), 0x3FF);
    // Only two bits of the high bytes count.
    const auto high = framesOf({bytes("5F0200FE00FE" "5DF5")});
    ASSERT_EQ(high.size(), 1u);
    EXPECT_EQ(high[0].inputs(), 0x200);
    EXPECT_EQ(high[0].echo(), 0x200);
}

TEST(IOFrame, TemperatureFrameIsLittleEndianFloat)
{
    const auto frames = framesOf({bytes("5F030000C841" "6BF5")});
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].type, kBoardTemp0);
    EXPECT_FLOAT_EQ(frames[0].temperature(), 25.0f);
}

TEST(FrameScanner, ResynchronisesAfterGarbage)
{
    // Garbage with a stray start byte, then a status frame.
    const auto frames = framesOf({bytes("00FF5F5F01F5") + bytes(kStatusIn1Echo5)});
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].inputs(), 0x001);
    EXPECT_EQ(frames[0].echo(), 0x005);
}

TEST(FrameScanner, SkipsDamagedFramesAndSearchesInsideThem)
{
    struct Case {
        const char* name;
        QByteArray wire;
        int inputs;  // of the one good frame expected
    } cases[] = {
        {"bad checksum", bytes("5F0201000500" "68F5") + bytes(kStatusIn1Echo5), 0x001},
        {"bad end byte", bytes("5F0201000500" "6700") + bytes(kStatusIn1Echo5), 0x001},
        // A frame starts inside the damaged one: its data byte is the start.
        {"frame inside a damaged one", bytes("5F02") + bytes("5F0203000000" "64F5"), 0x003},
    };
    for (const Case& c : cases) {
        const auto frames = framesOf({c.wire});
        ASSERT_EQ(frames.size(), 1u) << c.name;
        EXPECT_EQ(frames[0].inputs(), c.inputs) << c.name;
    }
}

// Line noise before a frame can hold a start byte whose false frame (checksum
// and end byte right by chance) ends inside the real frame. Such a candidate
// must neither hide the real frame nor the one after it.
TEST(FrameScanner, NoiseBeforeAFrameHidesNeitherItNorTheNext)
{
    // 30.625 degrees: the float's third byte is the end byte.
    const QByteArray temperature = bytes("5F030000F541" "98" "F5");
    const QByteArray status = bytes(kStatusIn1Echo5);
    struct Case {
        const char* name;
        QByteArray noise;   // its false frame runs into the temperature frame
    } cases[] = {
        {"false status frame", bytes("5F023D")},
        {"false frame of an unknown type", bytes("5F102F")},
        {"false frame after more noise", bytes("00F55F5F102F")},
    };
    for (const Case& c : cases) {
        const auto frames = framesOf({c.noise + temperature + status});
        ASSERT_EQ(frames.size(), 2u) << c.name;
        EXPECT_EQ(frames[0].type, kBoardTemp0) << c.name;
        EXPECT_FLOAT_EQ(frames[0].temperature(), 30.625f) << c.name;
        EXPECT_EQ(frames[1].type, kBoardStatus) << c.name;
        EXPECT_EQ(frames[1].inputs(), 0x001) << c.name;
    }
}

TEST(FrameScanner, JoinsFramesSplitAcrossReads)
{
    const QByteArray frame = bytes(kStatusIn1Echo5);
    FrameScanner rx;
    EXPECT_TRUE(framesOf({frame.left(5)}, &rx).empty());
    EXPECT_EQ(rx.pending(), 5);
    const auto frames = framesOf({frame.mid(5)}, &rx);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].inputs(), 0x001);
    EXPECT_EQ(rx.pending(), 0);

    // Byte by byte, with garbage in between frames.
    std::vector<QByteArray> single;
    const QByteArray stream = frame + bytes("AA") + bytes("5F0202000000" "63F5");
    for (char b : stream)
        single.push_back(QByteArray(1, b));
    const auto trickled = framesOf(single);
    ASSERT_EQ(trickled.size(), 2u);
    EXPECT_EQ(trickled[1].inputs(), 0x002);
}

TEST(FrameScanner, KeepsAtMostSevenBytesAndNeverOverfills)
{
    FrameScanner rx;
    const QByteArray junk(FrameScanner::kCapacity + 100, '\x5F');
    EXPECT_EQ(rx.append(reinterpret_cast<const uchar*>(junk.constData()), junk.size()), FrameScanner::kCapacity);
    EXPECT_EQ(rx.space(), 0);
    rx.scan([](const BoardFrame&) { FAIL() << "no frame in junk"; });
    EXPECT_EQ(rx.pending(), 7);
}
