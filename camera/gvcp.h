#pragma once
// GigE Vision Control Protocol (UDP port 3956) as the address repair builds
// and reads it, and the address arithmetic of the repair. All multi-byte
// fields are big-endian; addresses inside packets are the four octets in
// their written order. Addresses in code are IPv4 in host order.

#include <array>
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

constexpr uint16_t kGvcpPort = 3956;
constexpr uint8_t kGvcpKey = 0x42;
constexpr uint8_t kGvcpAnswerWanted = 0x01;
constexpr uint8_t kGvcpBroadcastAck = 0x10;
constexpr size_t kGvcpHeadSize = 8;

constexpr uint16_t kGvcpDiscovery = 0x0002;
constexpr uint16_t kGvcpDiscoveryAck = 0x0003;
constexpr uint16_t kGvcpVendorForceIp = 0xF008;
constexpr uint16_t kGvcpVendorForceIpAck = 0xF009;
constexpr size_t kDiscoveryAckSize = 256;
constexpr size_t kVendorForceIpSize = 64;

// Manufacturer-specific information that a device must begin with to be listed.
constexpr char kGigeVendorFilter[] = "F622";

using MacAddress = std::array<uint8_t, 6>;
// One received discovery acknowledge, kept whole (gvcp_discovery_ack_s).
using DiscoveryAck = std::array<uint8_t, kDiscoveryAckSize>;

// The 8-byte command header into buffer.
void MakeGvcpHead(uint8_t* buffer, uint16_t command, uint16_t length, bool broadcastAck, bool answerWanted,
                  uint16_t requestId);
// Request id of every command but discovery: one counter for the whole run,
// first id 0x7C21.
uint16_t NextCmdId();

std::vector<uint8_t> DiscoveryCommand(uint16_t requestId);
// Vendor force-IP: MAC, address, mask, gateway and the two parameter bytes.
std::vector<uint8_t> VendorForceIp(const MacAddress& mac, uint32_t ip, uint32_t mask, uint32_t gateway,
                                   uint8_t param1, uint8_t param2, bool answerWanted, uint16_t requestId);

// A received datagram as a discovery acknowledge: a whole one (shorter
// replies are ignored) with acknowledge code 0x0003.
bool ReadDiscoveryAck(const uint8_t* data, size_t size, DiscoveryAck* ack);
// An acknowledge of `code` answering `requestId` (header only needed).
bool IsAckOf(const uint8_t* data, size_t size, uint16_t code, uint16_t requestId);
uint16_t AckStatus(const uint8_t* data);

// Fields of a discovery acknowledge.
MacAddress AckMac(const DiscoveryAck& ack);
uint32_t AckIp(const DiscoveryAck& ack);
uint32_t AckMask(const DiscoveryAck& ack);
uint32_t AckGateway(const DiscoveryAck& ack);
std::string AckModel(const DiscoveryAck& ack);
std::string AckSerial(const DiscoveryAck& ack);
bool AckFromVendor(const DiscoveryAck& ack, const char* filter);

uint32_t ReadAddress(const uint8_t* at);
void WriteAddress(uint8_t* at, uint32_t address);

// A device at ip/mask is reachable from the interface at hostIp/hostMask: a
// different address in the same subnet.
bool IsDevIPValid(uint32_t ip, uint32_t mask, uint32_t hostIp, uint32_t hostMask);

// A random address in the interface's subnet for a misplaced device: each
// octet 10..254 in the host part; never the interface's own address nor the
// subnet's network or broadcast address. 0 when 100 draws found none.
uint32_t DrawCandidate(std::minstd_rand& random, uint32_t hostIp, uint32_t hostMask);

// Host numbers a device at host number h tries, in order: h (when 1..254),
// h + 1 .. 254, then h - 1 .. 1.
std::vector<int> HostNumberOrder(int h);

// Dotted text <-> address. GetIpFromString: four numbers 0..255, else false.
bool GetIpFromString(const std::string& text, uint32_t* address);
std::string getStrIp(uint32_t address);
