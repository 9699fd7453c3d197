#include "camera/gvcp.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>

namespace {

constexpr size_t kMacAt = 18;
constexpr size_t kIpAt = 44;
constexpr size_t kMaskAt = 60;
constexpr size_t kGatewayAt = 76;
constexpr size_t kModelAt = 112;
constexpr size_t kModelSize = 32;
constexpr size_t kVendorInfoAt = 176;
constexpr size_t kSerialAt = 224;
constexpr size_t kSerialSize = 16;
constexpr uint16_t kFirstCmdId = 0x7C20;
constexpr int kCandidateDraws = 100;
constexpr int kLowestOctet = 10;
constexpr int kOctetChoices = 245;   // 10..254
constexpr int kLastHost = 254;

uint16_t read16(const uint8_t* at)
{
    return static_cast<uint16_t>(at[0] << 8 | at[1]);
}

void write16(uint8_t* at, uint16_t v)
{
    at[0] = static_cast<uint8_t>(v >> 8);
    at[1] = static_cast<uint8_t>(v);
}

std::string text(const DiscoveryAck& ack, size_t at, size_t size)
{
    const char* start = reinterpret_cast<const char*>(ack.data() + at);
    return std::string(start, strnlen(start, size));
}

}  // namespace

void MakeGvcpHead(uint8_t* buffer, uint16_t command, uint16_t length, bool broadcastAck, bool answerWanted,
                  uint16_t requestId)
{
    buffer[0] = kGvcpKey;
    buffer[1] = static_cast<uint8_t>((broadcastAck ? kGvcpBroadcastAck : 0) | (answerWanted ? kGvcpAnswerWanted : 0));
    write16(buffer + 2, command);
    write16(buffer + 4, length);
    write16(buffer + 6, requestId);
}

uint16_t NextCmdId()
{
    static std::atomic<uint16_t> cmdId{kFirstCmdId};
    return static_cast<uint16_t>(++cmdId);
}

std::vector<uint8_t> DiscoveryCommand(uint16_t requestId)
{
    std::vector<uint8_t> packet(kGvcpHeadSize, 0);
    MakeGvcpHead(packet.data(), kGvcpDiscovery, 0, true, true, requestId);
    return packet;
}

std::vector<uint8_t> VendorForceIp(const MacAddress& mac, uint32_t ip, uint32_t mask, uint32_t gateway,
                                   uint8_t param1, uint8_t param2, bool answerWanted, uint16_t requestId)
{
    std::vector<uint8_t> packet(kVendorForceIpSize, 0);
    MakeGvcpHead(packet.data(), kGvcpVendorForceIp, kVendorForceIpSize - kGvcpHeadSize, true, answerWanted,
                 requestId);
    std::memcpy(packet.data() + 8, mac.data(), mac.size());
    WriteAddress(packet.data() + 14, ip);
    WriteAddress(packet.data() + 18, mask);
    WriteAddress(packet.data() + 22, gateway);
    packet[26] = param1;
    packet[27] = param2;
    return packet;
}

bool ReadDiscoveryAck(const uint8_t* data, size_t size, DiscoveryAck* ack)
{
    if (size < kDiscoveryAckSize || read16(data + 2) != kGvcpDiscoveryAck)
        return false;
    std::memcpy(ack->data(), data, kDiscoveryAckSize);
    return true;
}

bool IsAckOf(const uint8_t* data, size_t size, uint16_t code, uint16_t requestId)
{
    return size >= kGvcpHeadSize && read16(data + 2) == code && read16(data + 6) == requestId;
}

uint16_t AckStatus(const uint8_t* data)
{
    return read16(data);
}

MacAddress AckMac(const DiscoveryAck& ack)
{
    MacAddress mac;
    std::memcpy(mac.data(), ack.data() + kMacAt, mac.size());
    return mac;
}

uint32_t AckIp(const DiscoveryAck& ack)
{
    return ReadAddress(ack.data() + kIpAt);
}

uint32_t AckMask(const DiscoveryAck& ack)
{
    return ReadAddress(ack.data() + kMaskAt);
}

uint32_t AckGateway(const DiscoveryAck& ack)
{
    return ReadAddress(ack.data() + kGatewayAt);
}

std::string AckModel(const DiscoveryAck& ack)
{
    return text(ack, kModelAt, kModelSize);
}

std::string AckSerial(const DiscoveryAck& ack)
{
    return text(ack, kSerialAt, kSerialSize);
}

bool AckFromVendor(const DiscoveryAck& ack, const char* filter)
{
    return !filter || std::memcmp(ack.data() + kVendorInfoAt, filter, std::strlen(filter)) == 0;
}

uint32_t ReadAddress(const uint8_t* at)
{
    return static_cast<uint32_t>(at[0]) << 24 | static_cast<uint32_t>(at[1]) << 16 | static_cast<uint32_t>(at[2]) << 8
           | at[3];
}

void WriteAddress(uint8_t* at, uint32_t address)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(address >> (24 - 8 * i));
}

bool IsDevIPValid(uint32_t ip, uint32_t mask, uint32_t hostIp, uint32_t hostMask)
{
    return ip != hostIp && (hostIp & hostMask) == (ip & mask);
}

uint32_t DrawCandidate(std::minstd_rand& random, uint32_t hostIp, uint32_t hostMask)
{
    const uint32_t network = hostIp & hostMask;
    const uint32_t broadcast = network | ~hostMask;
    for (int draw = 0; draw < kCandidateDraws; ++draw) {
        uint32_t octets = 0;
        for (int i = 0; i < 4; ++i)
            octets = octets << 8 | static_cast<uint32_t>(static_cast<int>(random() % kOctetChoices) + kLowestOctet);
        const uint32_t candidate = network | (octets & ~hostMask);
        if (candidate != hostIp && candidate != network && candidate != broadcast)
            return candidate;
    }
    return 0;
}

std::vector<int> HostNumberOrder(int h)
{
    std::vector<int> order;
    if (h >= 1 && h <= kLastHost)
        order.push_back(h);
    for (int n = std::max(h + 1, 1); n <= kLastHost; ++n)
        order.push_back(n);
    for (int n = std::min(h - 1, kLastHost); n >= 1; --n)
        order.push_back(n);
    return order;
}

bool GetIpFromString(const std::string& text, uint32_t* address)
{
    unsigned a = 0, b = 0, c = 0, d = 0;
    char rest = 0;
    if (std::sscanf(text.c_str(), "%u.%u.%u.%u%c", &a, &b, &c, &d, &rest) != 4 || a > 255 || b > 255 || c > 255
        || d > 255)
        return false;
    *address = a << 24 | b << 16 | c << 8 | d;
    return true;
}

std::string getStrIp(uint32_t address)
{
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", address >> 24, (address >> 16) & 0xFF, (address >> 8) & 0xFF,
                  address & 0xFF);
    return text;
}
