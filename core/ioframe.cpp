#include "core/ioframe.h"

#include <cstring>

uchar calcLRC(const uchar* data, ushort len)
{
    uchar sum = 0;
    for (ushort i = 0; i < len; ++i)
        sum = static_cast<uchar>(sum + data[i]);
    return sum;
}

HostFrame MakeHostFrame(int cmd, int value)
{
    HostFrame f{IOFrame::kStart, static_cast<uchar>(cmd & 0xFF), static_cast<uchar>(value & 0xFF),
                static_cast<uchar>((value >> 8) & 0xFF), 0, IOFrame::kEnd};
    f[4] = calcLRC(f.data(), 4);
    return f;
}

float BoardFrame::temperature() const
{
    // Four bytes of an IEEE float, least significant first.
    const quint32 bits = quint32(d[0]) | quint32(d[1]) << 8 | quint32(d[2]) << 16 | quint32(d[3]) << 24;
    float value;
    static_assert(sizeof value == sizeof bits, "32-bit float");
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
