#include "camera/gigerepair.h"

#include "camera/sdk/hiksdk.h"
#include "camera/sdk/standin.h"
#include "core/commandrunner.h"

#include <QtDebug>

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/ethernet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <netpacket/packet.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kBindAttempts = 1000;
constexpr uint16_t kLowestPort = 10001;
constexpr size_t kReceiveBufferSize = 576;
constexpr int kReceiveRoom = 1 << 20;   // bytes; the system may grant less
constexpr size_t kMaxListedDevices = 8000;   // 32 interfaces of 250
constexpr int kMaxNetInfo = 64;
constexpr uint32_t kLoopback = 0x7F000001;
constexpr uint32_t kAllHosts = 0xE0000001;
constexpr uint32_t kLastOctet = 0xFF;
constexpr uint32_t kGatewayHost = 254;
constexpr uint32_t kAccessExclusive = 1;
constexpr size_t kArpFrameSize = 60;
constexpr uint16_t kArpRequest = 1;
constexpr uint16_t kArpReply = 2;

using Clock = std::chrono::steady_clock;

sockaddr_in socketAddress(uint32_t ip, uint16_t port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(ip);
    a.sin_port = htons(port);
    return a;
}

int udpSocket()
{
    const int s = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (s < 0)
        return -1;
    const int on = 1;
    ::setsockopt(s, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    ::fcntl(s, F_SETFL, ::fcntl(s, F_GETFL) | O_NONBLOCK);
    return s;
}

bool bindTo(int s, uint32_t ip, uint16_t port)
{
    const sockaddr_in a = socketAddress(ip, port);
    return ::bind(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
}

uint16_t randomPort(std::minstd_rand& random)
{
    return static_cast<uint16_t>(kLowestPort + random() % (65536 - kLowestPort));
}

unsigned drawSeed()
{
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch());
    return gigeTiming().seed ? *gigeTiming().seed : static_cast<unsigned>(ms.count());
}

void sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Address and mask of an IPv4 entry of the interface list.
bool ipv4Of(const ifaddrs* entry, uint32_t* ip, uint32_t* mask)
{
    if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET || !entry->ifa_netmask)
        return false;
    *ip = ntohl(reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr.s_addr);
    *mask = ntohl(reinterpret_cast<const sockaddr_in*>(entry->ifa_netmask)->sin_addr.s_addr);
    return true;
}

MacAddress macOf(const std::string& name)
{
    MacAddress mac{};
    const int s = ::socket(AF_INET, SOCK_DGRAM, 0);
    ifreq request{};
    std::strncpy(request.ifr_name, name.c_str(), IFNAMSIZ - 1);
    if (s >= 0 && ::ioctl(s, SIOCGIFHWADDR, &request) == 0)
        std::memcpy(mac.data(), request.ifr_hwaddr.sa_data, mac.size());
    if (s >= 0)
        ::close(s);
    return mac;
}

// Every IPv4 entry of the interface list (name, address, mask); false when
// the list cannot be read.
bool hostInterfaces(std::vector<HostInterface>* out)
{
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0)
        return false;
    for (const ifaddrs* e = list; e; e = e->ifa_next) {
        HostInterface i;
        if (!ipv4Of(e, &i.ip, &i.mask))
            continue;
        i.name = e->ifa_name;
        out->push_back(i);
    }
    ::freeifaddrs(list);
    return true;
}

}  // namespace

GigeTiming& gigeTiming()
{
    static GigeTiming timing;
    return timing;
}

// --- sockets

CBroadcastSocket::CBroadcastSocket(uint32_t interfaceIp, uint16_t port) : interfaceIp_(interfaceIp), port_(port)
{
    Init();
}

CBroadcastSocket::~CBroadcastSocket()
{
    if (sendSocket_ > 0)
        ::close(sendSocket_);
    if (receiveSocket_ > 0)
        ::close(receiveSocket_);
}

bool CBroadcastSocket::Init()
{
    std::minstd_rand random(std::random_device{}());
    int first = -1, second = -1;
    const auto closeBoth = [&] {
        for (int* s : {&first, &second})
            if (*s >= 0) {
                ::close(*s);
                *s = -1;
            }
    };
    for (int attempt = 0; attempt < kBindAttempts; ++attempt) {
        if (first < 0 || second < 0) {
            closeBoth();
            first = udpSocket();
            second = udpSocket();
        }
        const uint16_t port = randomPort(random);
        if (!bindTo(first, INADDR_BROADCAST, port))
            continue;   // another port, the same sockets
        if (bindTo(second, interfaceIp_, port)) {
            // Room for a whole table of replies arriving at once.
            ::setsockopt(first, SOL_SOCKET, SO_RCVBUF, &kReceiveRoom, sizeof kReceiveRoom);
            receiveSocket_ = first;
            sendSocket_ = second;
            return true;
        }
        closeBoth();   // new sockets next time
    }
    closeBoth();
    return false;
}

int CBroadcastSocket::send(const std::vector<uint8_t>& bytes)
{
    if (sendSocket_ <= 0)
        return -1;
    const sockaddr_in to = socketAddress(INADDR_BROADCAST, port_);
    return static_cast<int>(
        ::sendto(sendSocket_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to));
}

int CBroadcastSocket::recv(uint8_t* buffer, size_t size)
{
    if (receiveSocket_ <= 0)
        return -1;
    pollfd p{receiveSocket_, POLLIN, 0};
    if (::poll(&p, 1, gigeTiming().receiveWaitMs) <= 0)
        return 0;
    const ssize_t n = ::recv(receiveSocket_, buffer, size, 0);
    return n > 0 ? static_cast<int>(n) : 0;
}

// --- discovery

CGevDiscovery::CGevDiscovery(const char* filter, uint32_t interfaceIp)
    : CBroadcastSocket(interfaceIp, kGvcpPort), filter_(filter)
{
    receiver_ = std::thread([this] { RevThread(); });
}

CGevDiscovery::~CGevDiscovery()
{
    stop_ = true;
    receiver_.join();
}

void CGevDiscovery::RevThread()
{
    uint8_t buffer[kReceiveBufferSize];
    while (!stop_) {
        const int n = recv(buffer, sizeof buffer);
        if (n < 0)
            sleepMs(gigeTiming().receiveWaitMs);   // no socket: nothing will come
        DiscoveryAck ack;
        if (n > 0 && ReadDiscoveryAck(buffer, static_cast<size_t>(n), &ack))
            DeviceListAdd(ack);
    }
}

void CGevDiscovery::DeviceListAdd(const DiscoveryAck& ack)
{
    if (!AckFromVendor(ack, filter_))
        return;
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    for (DiscoveryAck& known : devices_)
        if (AckMac(known) == AckMac(ack) && AckIp(known) == AckIp(ack))
            return;   // seen again
    if (devices_.size() < kMaxDevices)
        devices_.push_back(ack);
}

void CGevDiscovery::SendDiscovery()
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    devices_.clear();
    send(DiscoveryCommand(++requestId_));
}

std::vector<DiscoveryAck> CGevDiscovery::GetDiscoveryList()
{
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return devices_;
}

// --- force-IP

bool CGevForceIp::GevSetForceIpCustom(const MacAddress& mac, uint32_t ip, uint32_t mask, uint32_t gateway,
                                      uint8_t param1, uint8_t param2, bool answerWanted)
{
    const uint16_t id = NextCmdId();
    const std::vector<uint8_t> packet = VendorForceIp(mac, ip, mask, gateway, param1, param2, answerWanted, id);
    const GigeTiming& t = gigeTiming();
    static uint8_t m_RecvTempBuf[kReceiveBufferSize];
    for (int sent = 0; sent < t.sends; ++sent) {
        if (send(packet) < 0)
            return false;
        if (!answerWanted)
            return true;
        for (int attempt = 0; attempt < t.ackAttempts; ++attempt) {
            const int n = recv(m_RecvTempBuf, sizeof m_RecvTempBuf);
            if (n > 0 && IsAckOf(m_RecvTempBuf, static_cast<size_t>(n), kGvcpVendorForceIpAck, id))
                return AckStatus(m_RecvTempBuf) == 0;
            sleepMs(t.attemptPauseMs);
        }
    }
    return false;
}

// --- ARP probe

int arpping(uint32_t candidate, uint32_t interfaceIp, const MacAddress& interfaceMac, const std::string& name)
{
    const int s = ::socket(AF_PACKET, SOCK_RAW, htons(ETH_P_ARP));
    if (s < 0)
        return -1;
    const int on = 1;
    ::setsockopt(s, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    sockaddr_ll link{};
    link.sll_family = AF_PACKET;
    link.sll_protocol = htons(ETH_P_ARP);
    link.sll_ifindex = static_cast<int>(::if_nametoindex(name.c_str()));
    link.sll_halen = ETH_ALEN;
    std::memset(link.sll_addr, 0xFF, ETH_ALEN);
    ::bind(s, reinterpret_cast<const sockaddr*>(&link), sizeof link);

    uint8_t frame[kArpFrameSize] = {};
    std::memset(frame, 0xFF, 6);
    std::memcpy(frame + 6, interfaceMac.data(), 6);
    frame[12] = 0x08;
    frame[13] = 0x06;
    const uint8_t arpHead[] = {0x00, 0x01, 0x08, 0x00, 6, 4, 0x00, kArpRequest};
    std::memcpy(frame + 14, arpHead, sizeof arpHead);
    std::memcpy(frame + 22, interfaceMac.data(), 6);
    WriteAddress(frame + 28, interfaceIp);
    WriteAddress(frame + 38, candidate);
    int result = ::sendto(s, frame, sizeof frame, 0, reinterpret_cast<const sockaddr*>(&link), sizeof link) > 0 ? 1 : 0;

    const Clock::time_point end = Clock::now() + std::chrono::seconds(gigeTiming().arpWaitSeconds);
    while (Clock::now() < end) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
        pollfd p{s, POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left.count()) + 1);
        if (ready < 0 && errno != EINTR) {
            result = 0;
            break;
        }
        if (ready <= 0)
            continue;
        uint8_t in[kArpFrameSize] = {};
        if (::recv(s, in, sizeof in, 0) < 0) {
            result = 0;
            continue;
        }
        const bool reply = in[12] == 0x08 && in[13] == 0x06 && in[20] == 0 && in[21] == kArpReply;
        if (reply && std::memcmp(in + 32, interfaceMac.data(), 6) == 0 && ReadAddress(in + 28) == candidate) {
            result = 0;
            break;
        }
    }
    ::close(s);
    return result;
}

// --- the repair's working set

CIpConfig::~CIpConfig() = default;

int CIpConfig::DeviceEnumeInit()
{
    discovery_.clear();
    interfaces_.clear();
    std::vector<HostInterface> all;
    hostInterfaces(&all);
    for (HostInterface& i : all) {
        const uint32_t first = i.ip >> 24;
        if (first < 1 || first > 254 || i.ip == kLoopback || i.ip == kAllHosts)
            continue;
        if (static_cast<int>(interfaces_.size()) == kMaxInterfaces)
            break;
        i.mac = macOf(i.name);
        interfaces_.push_back(i);
    }
    for (const HostInterface& i : interfaces_)
        discovery_.push_back(std::make_unique<CGevDiscovery>(kGigeVendorFilter, i.ip));
    return static_cast<int>(interfaces_.size());
}

int CIpConfig::RefreshDevList()
{
    for (auto& d : discovery_)
        d->SendDiscovery();
    sleepMs(gigeTiming().discoveryWaitMs);
    devices_.clear();
    deviceInterface_.clear();
    for (size_t i = 0; i < discovery_.size(); ++i)
        for (const DiscoveryAck& ack : discovery_[i]->GetDiscoveryList()) {
            if (devices_.size() == kMaxListedDevices)
                break;
            devices_.push_back(ack);
            deviceInterface_.push_back(static_cast<int>(i));
        }
    return deviceCount();
}

const HostInterface& CIpConfig::interfaceOf(int i) const
{
    return interfaces_[static_cast<size_t>(deviceInterface_[static_cast<size_t>(i)])];
}

bool CIpConfig::IsDevIPValid(int i) const
{
    const HostInterface& host = interfaceOf(i);
    return ::IsDevIPValid(AckIp(device(i)), AckMask(device(i)), host.ip, host.mask);
}

bool CIpConfig::AutoSetIpAddr(int i)
{
    const HostInterface& host = interfaceOf(i);
    std::minstd_rand random(drawSeed());
    uint32_t found = 0;
    for (int attempt = 0; attempt < gigeTiming().probeAttempts && !found; ++attempt) {
        const uint32_t candidate = DrawCandidate(random, host.ip, host.mask);
        if (candidate && arpping(candidate, host.ip, host.mac, host.name) != 0)
            found = candidate;
    }
    if (!found)
        return false;   // never an address in use, nor 0.0.0.0
    CGevForceIp forceIp(host.ip);
    return forceIp.GevSetForceIpCustom(AckMac(device(i)), found, host.mask, 0, 0, 1, true);
}

int RepairAllCameraIP()
{
    if (standin::Active())
        return 0;   // simulated cameras are not on the network
    CIpConfig config;
    if (!config.Init())
        return -1;
    int repaired = 0;
    const int count = config.RefreshDevList();
    for (int i = 0; i < count; ++i)
        if (!config.IsDevIPValid(i) && config.AutoSetIpAddr(i))
            ++repaired;
    return repaired;
}

// --- family 7

namespace {

// Netmask of the (last) host interface at ip.
bool GetMaskFromIp(const std::vector<HostInterface>& host, uint32_t ip, uint32_t* mask)
{
    bool found = false;
    for (const HostInterface& i : host)
        if (i.ip == ip) {
            *mask = i.mask;
            found = true;
        }
    return found;
}

bool DoForceIp(const MvccDeviceInfo* device, uint32_t ip, uint32_t mask, uint32_t gateway)
{
    MvccHandle handle = nullptr;
    int status = MV_CC_CreateHandle(&handle, device);
    if (status != kMvccOk) {
        qDebug("1 MV_CC_CreateHandle fail! nRet [%x]\n", status);
        return false;
    }
    status = MV_GIGE_ForceIpEx(handle, ip, mask, gateway);
    if (status != kMvccOk) {
        qDebug("1 MV_GIGE_ForceIpEx fail! nRet [%x]\n", status);
        MV_CC_DestroyHandle(handle);
        return false;
    }
    status = MV_CC_DestroyHandle(handle);
    if (status != kMvccOk) {
        qDebug("1 MV_CC_DestroyHandle fail! nRet [%x]\n", status);
        MV_CC_DestroyHandle(handle);
        return false;
    }
    return true;
}

// The device answers on its interface's subnet, or was moved into it.
bool reach(const std::vector<HostInterface>& host, const MvccDeviceInfo* device)
{
    const uint32_t hostIp = device->gige.hostIp;
    const uint32_t ip = device->gige.currentIp;
    uint32_t mask = device->gige.currentMask;
    GetMaskFromIp(host, hostIp, &mask);
    if ((ip & mask) == (hostIp & mask))
        return MV_CC_IsDeviceAccessible(device, kAccessExclusive);
    const uint32_t base = hostIp & ~kLastOctet;
    uint32_t free = 0;
    return bChooseNoUseIp(base, static_cast<int>(ip & kLastOctet), &free)
           && DoForceIp(device, free, mask, base + kGatewayHost);
}

}  // namespace

bool IsFreeIp(const std::string& text)
{
    uint32_t ip = 0;
    if (standin::Active())
        return GetIpFromString(text, &ip) && !standin::AddressAnswers(ip);
    const CommandResult r = CommandRunner::run(QStringLiteral("ping"),
                                               {QString::fromStdString(text), QStringLiteral("-w"), QStringLiteral("1")});
    return !r.output.contains("ttl");
}

bool bChooseNoUseIp(uint32_t base, int h, uint32_t* found)
{
    for (int n : HostNumberOrder(h)) {
        const std::string text = getStrIp(base + static_cast<uint32_t>(n));
        const bool free = IsFreeIp(text);
        qDebug("nSetDeviceIp: %s, bFreeIp: %d\n", text.c_str(), free ? 1 : 0);
        if (free) {
            *found = base + static_cast<uint32_t>(n);
            return true;
        }
    }
    return false;
}

long EnsureDeviceReach()
{
    std::vector<HostInterface> host;
    if (!hostInterfaces(&host))
        return -1;
    if (host.size() > kMaxNetInfo)
        host.resize(kMaxNetInfo);
    MvccDeviceList list;
    MV_CC_EnumDevices(kMvccGigE, &list);
    long reached = 0;
    for (uint32_t i = 0; i < list.count && list.devices[i]; ++i)
        if (reach(host, list.devices[i]))
            ++reached;
    return static_cast<long>(list.count) - reached;
}
