#pragma once
// GigE camera address repair, before detection: cameras whose address lies
// outside the subnet of the host interface they are plugged into are moved
// into it, at an address that nothing answers for. GigE Vision devices are
// found by discovery broadcast on every interface and re-addressed by the
// vendor force-IP command at an ARP-probed address (RepairAllCameraIP);
// family 7 devices through their SDK at a ping-probed address
// (EnsureDeviceReach). While simulated cameras stand in, nothing is sent on
// the network.

#include "camera/gvcp.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// Waits and counts of the exchanges; tests shorten them.
struct GigeTiming {
    int receiveWaitMs = 200;      // one receive
    int ackAttempts = 200;        // receives per force-IP send
    int attemptPauseMs = 5;       // after each of them
    int sends = 4;                // force-IP sends before giving up
    int discoveryWaitMs = 200;    // for the discovery replies
    int arpWaitSeconds = 1;       // for an ARP reply
    int probeAttempts = 5;        // ARP-probed candidates per device
    std::optional<unsigned> seed; // of the candidate draws; the clock when unset
};
GigeTiming& gigeTiming();

// Two UDP sockets on one random port above 10000: the receive socket bound to
// 255.255.255.255, the send socket to the interface address. Without sockets
// (binding failed 1000 times) sends and receives fail.
class CBroadcastSocket
{
public:
    CBroadcastSocket(uint32_t interfaceIp, uint16_t port);
    ~CBroadcastSocket();
    CBroadcastSocket(const CBroadcastSocket&) = delete;
    CBroadcastSocket& operator=(const CBroadcastSocket&) = delete;

    int send(const std::vector<uint8_t>& bytes);   // bytes sent, -1 without socket
    int recv(uint8_t* buffer, size_t size);        // bytes, 0 on time-out or error, -1 without socket
    uint32_t interfaceIp() const { return interfaceIp_; }

private:
    bool Init();
    int sendSocket_ = 0;
    int receiveSocket_ = 0;
    const uint32_t interfaceIp_;
    const uint16_t port_;
};

// Passive discovery on one interface: a receive thread fills a table of up to
// 250 devices (those of the vendor filter); SendDiscovery empties it and asks.
class CGevDiscovery : public CBroadcastSocket
{
public:
    static constexpr int kMaxDevices = 250;
    CGevDiscovery(const char* filter, uint32_t interfaceIp);
    ~CGevDiscovery();

    void SendDiscovery();
    std::vector<DiscoveryAck> GetDiscoveryList();
    // A reply: a new device is appended, a known one (same MAC and address)
    // only seen again; beyond kMaxDevices it is dropped.
    void DeviceListAdd(const DiscoveryAck& ack);

private:
    void RevThread();
    std::recursive_mutex mutex_;
    uint16_t requestId_ = 0;
    const char* filter_;
    std::vector<DiscoveryAck> devices_;
    std::atomic<bool> stop_{false};
    std::thread receiver_;
};

// One force-IP exchange on one interface.
class CGevForceIp : public CBroadcastSocket
{
public:
    explicit CGevForceIp(uint32_t interfaceIp) : CBroadcastSocket(interfaceIp, kGvcpPort) {}
    // True when the device acknowledged with status 0 (or, without an answer
    // wanted, when the command went out).
    bool GevSetForceIpCustom(const MacAddress& mac, uint32_t ip, uint32_t mask, uint32_t gateway, uint8_t param1,
                             uint8_t param2, bool answerWanted);
};

// ARP probe of candidate from the interface (address, MAC, name): 1 nobody
// answered, 0 somebody holds it (or the exchange failed), -1 no raw socket.
int arpping(uint32_t candidate, uint32_t interfaceIp, const MacAddress& interfaceMac, const std::string& name);

struct HostInterface {
    std::string name;
    MacAddress mac{};
    uint32_t ip = 0;
    uint32_t mask = 0;
};

// The repair's working set: the host interfaces, their discovery, the
// devices found.
class CIpConfig
{
public:
    static constexpr int kMaxInterfaces = 32;
    ~CIpConfig();
    bool Init() { return DeviceEnumeInit() > 0; }
    int DeviceEnumeInit();
    int RefreshDevList();
    int deviceCount() const { return static_cast<int>(devices_.size()); }
    const DiscoveryAck& device(int i) const { return devices_[static_cast<size_t>(i)]; }
    const HostInterface& interfaceOf(int i) const;
    bool IsDevIPValid(int i) const;
    // Moves device i to a free address of its interface's subnet; false when
    // no free address was found or the device did not accept it.
    bool AutoSetIpAddr(int i);

private:
    std::vector<HostInterface> interfaces_;
    std::vector<std::unique_ptr<CGevDiscovery>> discovery_;
    std::vector<DiscoveryAck> devices_;
    std::vector<int> deviceInterface_;
};

// Devices that accepted a new address; -1 when no host interface is usable.
int RepairAllCameraIP();

// Family 7: devices neither reachable nor re-addressed; -1 when the host
// interfaces cannot be read.
long EnsureDeviceReach();
// Nothing answers a ping of the address (dotted text).
bool IsFreeIp(const std::string& text);
// The first free address base + n over HostNumberOrder(h).
bool bChooseNoUseIp(uint32_t base, int h, uint32_t* found);
