#pragma once
// Wire format of the IO board's serial link.
//
// Host frame, 6 bytes: 0x5F, command, value low, value high, checksum of
// bytes 0..3, 0xF5. Board frame, 8 bytes: 0x5F, type, d0..d3, checksum of
// bytes 0..5, 0xF5. The checksum is the plain 8-bit sum of the bytes.

#include <QtGlobal>
#include <array>

namespace IOFrame {
constexpr uchar kStart = 0x5F;
constexpr uchar kEnd = 0xF5;
constexpr int kHostLen = 6;
constexpr int kBoardLen = 8;
constexpr int kWordMask = 0x3FF;  // ten input lines, ten output lines
}  // namespace IOFrame

// Host commands.
enum IOCommand {
    kCmdOutput = 1,      // value = the output word
    kCmdPoll = 2,        // the board answers with a status frame
    kCmdTempBlock0 = 3,  // temperatures 0..7
    kCmdTempBlock1 = 4,  // temperatures 8..15
};

// Board frame types.
enum IOBoardType {
    kBoardStatus = 2,
    kBoardTemp0 = 3,
    kBoardTemp1 = 4,
};

// 8-bit sum (modulo 256) of len bytes; 0 for len 0.
uchar calcLRC(const uchar* data, ushort len);

using HostFrame = std::array<uchar, IOFrame::kHostLen>;
// The host frame for the low byte of cmd and the low 16 bits of value.
HostFrame MakeHostFrame(int cmd, int value);

// One checked board frame.
struct BoardFrame {
    uchar type = 0;
    uchar d[4] = {};

    int inputs() const { return d[0] | (d[1] & 3) << 8; }   // status: inputs 0..9
    int echo() const { return d[2] | (d[3] & 3) << 8; }     // status: outputs on the board
    float temperature() const;                              // types 3 and 4
};
