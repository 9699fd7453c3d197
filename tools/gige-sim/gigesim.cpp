// gigesim: simulated GigE Vision cameras on one network interface, for tests
// that run it in a network namespace of their own. It answers the discovery
// broadcast (UDP 3956) with one acknowledge per device, the vendor force-IP
// command of a device's MAC (taking the new address), and ARP requests for
// the devices' addresses and for the addresses given with --arp (machines
// that hold them). Replies go to 255.255.255.255, as the cameras do.
//
//   gigesim --iface NAME [--ip A.B.C.D] [--mask A.B.C.D] [--count N]
//           [--mode MODE] [--arp A.B.C.D]... [--seconds S]
// Device k (0..N-1) has address ip + k and MAC 00:0C:DF:00:00:k (low bytes).
// Modes: normal; silent (answers nothing); status (force-IP acknowledged
// with a non-zero status); noforce (force-IP not answered); repeat (every
// discovery answered three times); foreign (another manufacturer's
// information); short (a truncated discovery acknowledge).
// Prints one line per event on standard output: "ready", "discovery <8 bytes
// hex>", "forceip <device> <ip> <mask> <gateway> <p1> <p2>", "arp <ip>".
// Ends on SIGTERM or after S seconds (60 by default).

#include <arpa/inet.h>
#include <net/ethernet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <netpacket/packet.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr uint16_t kPort = 3956;
constexpr size_t kAckSize = 256;
constexpr size_t kShortAckSize = 64;
constexpr uint16_t kDiscovery = 0x0002;
constexpr uint16_t kForceIp = 0xF008;
constexpr int kRepeats = 3;
constexpr useconds_t kReplySpacingUs = 300;

volatile sig_atomic_t stop = 0;

struct Device {
    uint8_t mac[6] = {0x00, 0x0C, 0xDF, 0x00, 0x00, 0x00};
    uint32_t ip = 0;
    uint32_t mask = 0;
};

struct Options {
    std::string iface;
    uint32_t ip = 0x0A4D0009;     // 10.77.0.9
    uint32_t mask = 0xFFFFFF00;
    int count = 1;
    std::string mode = "normal";
    std::vector<uint32_t> arp;
    int seconds = 60;
};

uint32_t parseIp(const char* text)
{
    in_addr a{};
    if (inet_pton(AF_INET, text, &a) != 1) {
        std::fprintf(stderr, "gigesim: not an address: %s\n", text);
        std::exit(2);
    }
    return ntohl(a.s_addr);
}

std::string ipText(uint32_t ip)
{
    char t[16];
    std::snprintf(t, sizeof t, "%u.%u.%u.%u", ip >> 24, (ip >> 16) & 255, (ip >> 8) & 255, ip & 255);
    return t;
}

void put16(uint8_t* at, uint16_t v)
{
    at[0] = static_cast<uint8_t>(v >> 8);
    at[1] = static_cast<uint8_t>(v);
}

void put32(uint8_t* at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

uint32_t get32(const uint8_t* at)
{
    return uint32_t(at[0]) << 24 | uint32_t(at[1]) << 16 | uint32_t(at[2]) << 8 | at[3];
}

Options parse(int argc, char** argv)
{
    Options o;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        const char* v = argv[i + 1];
        if (key == "--iface")
            o.iface = v;
        else if (key == "--ip")
            o.ip = parseIp(v);
        else if (key == "--mask")
            o.mask = parseIp(v);
        else if (key == "--count")
            o.count = std::atoi(v);
        else if (key == "--mode")
            o.mode = v;
        else if (key == "--arp")
            o.arp.push_back(parseIp(v));
        else if (key == "--seconds")
            o.seconds = std::atoi(v);
    }
    if (o.iface.empty()) {
        std::fprintf(stderr, "usage: gigesim --iface NAME [--ip A.B.C.D] [--mask M] [--count N] [--mode MODE] "
                             "[--arp A.B.C.D]... [--seconds S]\n");
        std::exit(2);
    }
    return o;
}

std::vector<uint8_t> discoveryAck(const Device& d, uint16_t id, const std::string& mode, int k)
{
    std::vector<uint8_t> a(kAckSize, 0);
    put16(a.data() + 2, 0x0003);
    put16(a.data() + 4, kAckSize - 8);
    put16(a.data() + 6, id);
    std::memcpy(a.data() + 18, d.mac, 6);
    put32(a.data() + 44, d.ip);
    put32(a.data() + 60, d.mask);
    std::snprintf(reinterpret_cast<char*>(a.data() + 112), 32, "SIM-GIGE-%d", k);
    uint8_t* info = a.data() + 176;
    std::memcpy(info, mode == "foreign" ? "X900" : "F622", 4);
    info[8] = 0x49;   // idle
    info[9] = 0x43;   // 1000M
    std::snprintf(reinterpret_cast<char*>(info + 12), 36, "simulated camera");
    std::snprintf(reinterpret_cast<char*>(a.data() + 224), 16, "GSIM%06d", k);
    if (mode == "short")
        a.resize(kShortAckSize);
    return a;
}

class Camera
{
public:
    explicit Camera(const Options& o) : o_(o)
    {
        for (int k = 0; k < o.count; ++k) {
            Device d;
            d.mac[4] = static_cast<uint8_t>(k >> 8);
            d.mac[5] = static_cast<uint8_t>(k);
            d.ip = o.ip + static_cast<uint32_t>(k);
            d.mask = o.mask;
            devices_.push_back(d);
        }
    }

    bool open()
    {
        udp_ = socket(AF_INET, SOCK_DGRAM, 0);
        const int on = 1;
        setsockopt(udp_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
        setsockopt(udp_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (setsockopt(udp_, SOL_SOCKET, SO_BINDTODEVICE, o_.iface.c_str(), o_.iface.size()) != 0)
            return false;
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(kPort);
        if (bind(udp_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0)
            return false;
        raw_ = socket(AF_PACKET, SOCK_RAW, htons(ETH_P_ARP));
        sockaddr_ll link{};
        link.sll_family = AF_PACKET;
        link.sll_protocol = htons(ETH_P_ARP);
        link.sll_ifindex = static_cast<int>(if_nametoindex(o_.iface.c_str()));
        ifindex_ = link.sll_ifindex;
        return raw_ >= 0 && bind(raw_, reinterpret_cast<sockaddr*>(&link), sizeof link) == 0;
    }

    void run()
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(o_.seconds);
        std::printf("ready\n");
        while (!stop && std::chrono::steady_clock::now() < end) {
            pollfd p[2] = {{udp_, POLLIN, 0}, {raw_, POLLIN, 0}};
            if (poll(p, 2, 100) <= 0)
                continue;
            if (p[0].revents & POLLIN)
                gvcp();
            if (p[1].revents & POLLIN)
                arp();
        }
    }

private:
    void reply(const std::vector<uint8_t>& bytes, uint16_t port)
    {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(INADDR_BROADCAST);
        to.sin_port = htons(port);
        sendto(udp_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }

    void gvcp()
    {
        uint8_t in[576];
        sockaddr_in from{};
        socklen_t size = sizeof from;
        const ssize_t n = recvfrom(udp_, in, sizeof in, 0, reinterpret_cast<sockaddr*>(&from), &size);
        if (n < 8 || in[0] != 0x42 || o_.mode == "silent")
            return;
        const uint16_t command = static_cast<uint16_t>(in[2] << 8 | in[3]);
        const uint16_t id = static_cast<uint16_t>(in[6] << 8 | in[7]);
        const uint16_t port = ntohs(from.sin_port);
        if (command == kDiscovery) {
            std::printf("discovery");
            for (int i = 0; i < 8; ++i)
                std::printf(" %02X", in[i]);
            std::printf("\n");
            const int times = o_.mode == "repeat" ? kRepeats : 1;
            for (int t = 0; t < times; ++t)
                for (size_t k = 0; k < devices_.size(); ++k) {
                    if (k > 0)
                        usleep(kReplySpacingUs);   // devices answer one after another
                    reply(discoveryAck(devices_[k], id, o_.mode, static_cast<int>(k)), port);
                }
        } else if (command == kForceIp && n >= 28) {
            for (size_t k = 0; k < devices_.size(); ++k)
                if (std::memcmp(in + 8, devices_[k].mac, 6) == 0)
                    forceIp(k, in, id, port);
        }
    }

    void forceIp(size_t k, const uint8_t* in, uint16_t id, uint16_t port)
    {
        std::printf("forceip %zu %s %s %s %u %u\n", k, ipText(get32(in + 14)).c_str(), ipText(get32(in + 18)).c_str(),
                    ipText(get32(in + 22)).c_str(), in[26], in[27]);
        if (o_.mode == "noforce")
            return;
        std::vector<uint8_t> ack(8, 0);
        put16(ack.data(), o_.mode == "status" ? 0x8006 : 0);
        put16(ack.data() + 2, 0xF009);
        put16(ack.data() + 6, id);
        if (o_.mode != "status") {
            devices_[k].ip = get32(in + 14);
            devices_[k].mask = get32(in + 18);
        }
        reply(ack, port);
    }

    bool holds(uint32_t ip) const
    {
        for (const Device& d : devices_)
            if (d.ip == ip)
                return true;
        for (uint32_t a : o_.arp)
            if (a == ip)
                return true;
        return false;
    }

    void arp()
    {
        uint8_t in[64] = {};
        if (recv(raw_, in, sizeof in, 0) < 42 || in[21] != 1 || o_.mode == "silent")
            return;
        const uint32_t wanted = get32(in + 38);
        if (!holds(wanted))
            return;
        std::printf("arp %s\n", ipText(wanted).c_str());
        uint8_t out[60] = {};
        std::memcpy(out, in + 6, 6);           // to the asker
        std::memcpy(out + 6, devices_[0].mac, 6);
        out[12] = 0x08;
        out[13] = 0x06;
        const uint8_t head[] = {0x00, 0x01, 0x08, 0x00, 6, 4, 0x00, 0x02};
        std::memcpy(out + 14, head, sizeof head);
        std::memcpy(out + 22, devices_[0].mac, 6);
        put32(out + 28, wanted);
        std::memcpy(out + 32, in + 22, 6);     // the asker's MAC
        std::memcpy(out + 38, in + 28, 4);     // and address
        sockaddr_ll link{};
        link.sll_family = AF_PACKET;
        link.sll_ifindex = ifindex_;
        link.sll_halen = 6;
        std::memcpy(link.sll_addr, in + 6, 6);
        sendto(raw_, out, sizeof out, 0, reinterpret_cast<sockaddr*>(&link), sizeof link);
    }

    const Options o_;
    std::vector<Device> devices_;
    int udp_ = -1;
    int raw_ = -1;
    int ifindex_ = 0;
};

void onSignal(int)
{
    stop = 1;
}

}  // namespace

int main(int argc, char** argv)
{
    setvbuf(stdout, nullptr, _IOLBF, 0);
    signal(SIGTERM, onSignal);
    signal(SIGINT, onSignal);
    Camera camera(parse(argc, argv));
    if (!camera.open()) {
        std::perror("gigesim");
        return 1;
    }
    camera.run();
    return 0;
}
