// IP.EXE's portable part: STUN messages, what counts as an address, the command
// line, and the race of sources under one deadline, with fake networks.

#include <gtest/gtest.h>

#include <mutex>
#include <thread>

#include "ipexe/address.h"
#include "ipexe/discovery.h"
#include "ipexe/options.h"
#include "ipexe/program.h"
#include "ipexe/stun.h"
#include "tests/unit/fakes.h"

namespace kestrum::ipexe {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using platform::HttpReply;
using platform::Ipv4Endpoint;
using platform::UdpReceive;

const TransactionId kId = {0xb7, 0xe7, 0xa7, 0x01, 0xbc, 0x34, 0xd6, 0x86, 0xfa, 0x87, 0xdf, 0xae};

// ---- building responses by hand --------------------------------------------

Bytes Attribute(std::uint16_t type, const Bytes& value, std::optional<std::uint16_t> claimed = {}) {
    const std::uint16_t length = claimed.value_or(static_cast<std::uint16_t>(value.size()));
    Bytes out = {std::uint8_t(type >> 8), std::uint8_t(type), std::uint8_t(length >> 8), std::uint8_t(length)};
    for (const std::uint8_t b : value) out.push_back(b);  // (insert upsets GCC 12's bounds warnings)
    while (out.size() % 4) out.push_back(0);
    return out;
}

Bytes Message(std::uint16_t type, const TransactionId& id, const std::vector<Bytes>& attributes,
              std::uint32_t cookie = 0x2112A442) {
    Bytes body;
    for (const Bytes& a : attributes)
        for (const std::uint8_t b : a) body.push_back(b);
    Bytes out = {std::uint8_t(type >> 8),        std::uint8_t(type),
                 std::uint8_t(body.size() >> 8), std::uint8_t(body.size()),
                 std::uint8_t(cookie >> 24),     std::uint8_t(cookie >> 16),
                 std::uint8_t(cookie >> 8),      std::uint8_t(cookie)};
    for (const std::uint8_t b : id) out.push_back(b);
    for (const std::uint8_t b : body) out.push_back(b);
    return out;
}

Bytes AddressValue(std::array<std::uint8_t, 4> a, std::uint16_t port, bool xored) {
    if (xored) {
        port ^= 0x2112;
        const std::uint8_t cookie[4] = {0x21, 0x12, 0xA4, 0x42};
        for (int i = 0; i < 4; ++i) a[i] ^= cookie[i];
    }
    return {0, 0x01, std::uint8_t(port >> 8), std::uint8_t(port), a[0], a[1], a[2], a[3]};
}

Bytes XorMapped(std::array<std::uint8_t, 4> a, std::uint16_t port = 40000) {
    return Attribute(0x0020, AddressValue(a, port, true));
}

Bytes GoodResponse(const TransactionId& id, std::array<std::uint8_t, 4> a) {
    return Message(0x0101, id, {XorMapped(a)});
}

// ---- STUN ------------------------------------------------------------------

TEST(Stun, EncodesTheBindingRequestByteForByte) {
    const TransactionId id = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0xFF};
    EXPECT_EQ(EncodeBindingRequest(id), (Bytes{0x00, 0x01, 0x00, 0x00, 0x21, 0x12, 0xA4, 0x42, 1, 2, 3, 4, 5, 6, 7,
                                               8, 9, 10, 11, 0xFF}));
}

TEST(Stun, ReadsTheSampleIpv4ResponseOfRfc5769) {
    // SOFTWARE, XOR-MAPPED-ADDRESS, MESSAGE-INTEGRITY and FINGERPRINT: only the
    // address matters to us, the rest must be stepped over.
    const Bytes sample = {
        0x01, 0x01, 0x00, 0x3c, 0x21, 0x12, 0xa4, 0x42, 0xb7, 0xe7, 0xa7, 0x01, 0xbc, 0x34, 0xd6, 0x86,
        0xfa, 0x87, 0xdf, 0xae, 0x80, 0x22, 0x00, 0x0b, 0x74, 0x65, 0x73, 0x74, 0x20, 0x76, 0x65, 0x63,
        0x74, 0x6f, 0x72, 0x20, 0x00, 0x20, 0x00, 0x08, 0x00, 0x01, 0xa1, 0x47, 0xe1, 0x12, 0xa6, 0x43,
        0x00, 0x08, 0x00, 0x14, 0x2b, 0x91, 0xf5, 0x99, 0xfd, 0x9e, 0x90, 0xc3, 0x8c, 0x74, 0x89, 0xf9,
        0x2a, 0xf9, 0xba, 0x53, 0xf0, 0x6b, 0xe7, 0xd7, 0x80, 0x28, 0x00, 0x04, 0xc0, 0x7d, 0x4c, 0x96};
    const auto mapped = ParseBindingResponse(sample, kId);
    ASSERT_TRUE(mapped);
    EXPECT_EQ(FormatIpv4(mapped->address), "192.0.2.1");
    EXPECT_EQ(mapped->port, 32853);
}

TEST(Stun, PrefersXorMappedAndFallsBackToMapped) {
    const Bytes plain = Attribute(0x0001, AddressValue({203, 0, 113, 5}, 1234, false));
    // MAPPED-ADDRESS alone, as old servers send it.
    auto mapped = ParseBindingResponse(Message(0x0101, kId, {plain}), kId);
    ASSERT_TRUE(mapped);
    EXPECT_EQ(FormatIpv4(mapped->address), "203.0.113.5");
    EXPECT_EQ(mapped->port, 1234);

    // Both: XOR-MAPPED-ADDRESS wins wherever it stands.
    mapped = ParseBindingResponse(Message(0x0101, kId, {plain, XorMapped({198, 51, 100, 23}, 5)}), kId);
    ASSERT_TRUE(mapped);
    EXPECT_EQ(FormatIpv4(mapped->address), "198.51.100.23");
    EXPECT_EQ(mapped->port, 5);

    // An IPv6 XOR-MAPPED-ADDRESS is no use, an IPv4 MAPPED-ADDRESS beside it is.
    const Bytes ipv6 = Attribute(0x0020, Bytes{0, 0x02, 0, 1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
    mapped = ParseBindingResponse(Message(0x0101, kId, {ipv6, plain}), kId);
    ASSERT_TRUE(mapped);
    EXPECT_EQ(FormatIpv4(mapped->address), "203.0.113.5");
}

TEST(Stun, MalformedOrForeignResponsesGiveNothing) {
    const Bytes good = GoodResponse(kId, {198, 51, 100, 23});
    ASSERT_TRUE(ParseBindingResponse(good, kId));  // the cases below each spoil this one

    TransactionId otherId = kId;
    otherId[11] ^= 1;
    Bytes longerThanSent = good;
    longerThanSent[3] += 4;
    Bytes shorterThanSent = good;
    shorterThanSent.insert(shorterThanSent.end(), {0, 0, 0, 0});
    Bytes oddLength = good;
    oddLength.push_back(0);
    oddLength[3] += 1;
    const Bytes ipv6 = Attribute(0x0020, Bytes{0, 0x02, 0, 1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});

    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"empty datagram", {}},
        {"truncated header", Bytes(good.begin(), good.begin() + 19)},
        {"header only, cut attributes", Bytes(good.begin(), good.begin() + 24)},
        {"length field beyond the datagram", longerThanSent},
        {"bytes beyond the length field", shorterThanSent},
        {"length not a multiple of four", oddLength},
        {"wrong magic cookie", Message(0x0101, kId, {XorMapped({198, 51, 100, 23})}, 0x2112A443)},
        {"someone else's transaction", GoodResponse(otherId, {198, 51, 100, 23})},
        {"error response", Message(0x0111, kId, {XorMapped({198, 51, 100, 23})})},
        {"a request, not a response", Message(0x0001, kId, {XorMapped({198, 51, 100, 23})})},
        {"an indication", Message(0x0011, kId, {XorMapped({198, 51, 100, 23})})},
        {"no attributes at all", Message(0x0101, kId, {})},
        {"attribute length overruns the message",
         Message(0x0101, kId, {Attribute(0x0020, AddressValue({198, 51, 100, 23}, 1, true), 12)})},
        {"attribute length overruns by a huge amount",
         Message(0x0101, kId, {Attribute(0x0020, AddressValue({198, 51, 100, 23}, 1, true), 0xFFFF)})},
        {"attribute header cut short", Message(0x0101, kId, {Bytes{0x00, 0x20}, Bytes{0, 0}})},
        {"IPv6 family only", Message(0x0101, kId, {ipv6})},
        {"zero-length XOR-MAPPED-ADDRESS", Message(0x0101, kId, {Attribute(0x0020, {})})},
        {"zero-length MAPPED-ADDRESS", Message(0x0101, kId, {Attribute(0x0001, {})})},
        {"IPv4 family with a short value",
         Message(0x0101, kId, {Attribute(0x0020, Bytes{0, 0x01, 0, 1, 1, 2})})},
        {"IPv4 family with a long value",
         Message(0x0101, kId, {Attribute(0x0020, Bytes{0, 0x01, 0, 1, 1, 2, 3, 4, 5, 6, 7, 8})})},
        {"unknown family", Message(0x0101, kId, {Attribute(0x0020, Bytes{0, 0x07, 0, 1, 1, 2, 3, 4})})},
        {"only unrelated attributes", Message(0x0101, kId, {Attribute(0x8022, {'h', 'i'})})},
    };
    for (const auto& [name, message] : cases) EXPECT_FALSE(ParseBindingResponse(message, kId)) << name;
}

TEST(Stun, SurvivesRandomGarbage) {
    // Random bytes behind a valid header: whatever the attributes claim, no
    // crash and no read outside the message (the sanitizer build watches).
    std::uint32_t seed = 12345;
    const auto next = [&] { return seed = seed * 1103515245 + 12345, std::uint8_t(seed >> 16); };
    for (int round = 0; round < 2000; ++round) {
        Bytes body(static_cast<std::size_t>(next() % 16) * 4);
        for (auto& b : body) b = next() % 4 == 0 ? 0 : next();
        Bytes message = Message(0x0101, kId, {body});
        if (round % 3 == 0) message.resize(message.size() / 2);
        (void)ParseBindingResponse(message, kId);
    }
    SUCCEED();
}

// ---- addresses -------------------------------------------------------------

TEST(Address, AcceptsOnlyFourDecimalNumbersUpTo255) {
    for (const char* good : {"1.2.3.4", "198.51.100.23", "0.0.0.1", "10.0.0.0", "255.255.255.254", "9.99.199.250"})
        EXPECT_TRUE(IsWellFormedIpv4(good)) << good;
    for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1.2.3.300", "1234.1.1.1", "1..3.4", "1.2.3.",
                            ".1.2.3", "a.b.c.d", "1.2.3.4x", "1.2.3.-4", "+1.2.3.4", " 1.2.3.4", "1.2.3.4 ",
                            "1.2.3.4\n", "01.2.3.4", "1.2.3.010", "0x1.2.3.4", "1,2,3,4", "::1", "0.0.0.0",
                            "255.255.255.255", "1.2.3.4/24"})
        EXPECT_FALSE(IsWellFormedIpv4(bad)) << '"' << bad << '"';
    EXPECT_FALSE(IsWellFormedIpv4(std::string("1.2.3.4\0", 8)));
}

TEST(Address, FormatsFourOctets) {
    EXPECT_EQ(FormatIpv4({0, 10, 200, 255}), "0.10.200.255");
}

TEST(Address, ReadsAnHttpBodyHoldingTheAddressAlone) {
    for (const char* body : {"203.0.113.7", "203.0.113.7\n", "203.0.113.7\r\n", "  \t203.0.113.7 \r\n\r\n"})
        EXPECT_EQ(AddressFromHttpReply({200, body}), "203.0.113.7") << body;

    // Exactly at the limit still counts; one byte more is not an address reply.
    const std::string padded = "203.0.113.7" + std::string(kMaxHttpBody - 11, '\n');
    EXPECT_EQ(AddressFromHttpReply({200, padded}), "203.0.113.7");
    EXPECT_EQ(AddressFromHttpReply({200, padded + "\n"}), std::nullopt);

    for (const int status : {0, 201, 204, 301, 404, 500, 503})
        EXPECT_EQ(AddressFromHttpReply({status, "203.0.113.7\n"}), std::nullopt) << status;
    for (const std::string& body : {std::string(), std::string(" \r\n"), std::string("\0\x01\xff\xfe", 4),
                                   std::string("203.0.113.7\0", 12), std::string("<html>203.0.113.7</html>"),
                                   std::string("203.0.113.7\r\n198.51.100.1"), std::string("IP: 203.0.113.7"),
                                   std::string("2001:db8::1\n"), std::string("0.0.0.0\n")})
        EXPECT_EQ(AddressFromHttpReply({200, body}), std::nullopt) << body;
}

// ---- the command line ------------------------------------------------------

TEST(Options, NoneMeansTheBuiltInPublicSources) {
    const Options options = ParseOptions({});
    EXPECT_TRUE(options.error.empty());
    EXPECT_EQ(options.stunServers, DefaultStunServers());
    EXPECT_EQ(options.urls, DefaultUrls());
    EXPECT_EQ(options.deadline, 8000ms);
    EXPECT_FALSE(options.quiet);
    EXPECT_GE(DefaultStunServers().size(), 2u);
    EXPECT_GE(DefaultUrls().size(), 2u);
    EXPECT_LT(kDefaultDeadline, 10s);
}

TEST(Options, NamedSourcesReplaceTheBuiltInOnes) {
    Options options = ParseOptions({"--stun", "127.0.0.1:3478", "--stun=stun.example.net:19302", "--deadline",
                                    "1500", "--quiet"});
    EXPECT_TRUE(options.error.empty()) << options.error;
    EXPECT_EQ(options.stunServers, (std::vector<HostPort>{{"127.0.0.1", 3478}, {"stun.example.net", 19302}}));
    EXPECT_TRUE(options.urls.empty());
    EXPECT_EQ(options.deadline, 1500ms);
    EXPECT_TRUE(options.quiet);

    options = ParseOptions({"--url=http://echo.invalid/", "--url", "HTTPS://a.example/ip?x=1"});
    EXPECT_TRUE(options.error.empty()) << options.error;
    EXPECT_TRUE(options.stunServers.empty());
    EXPECT_EQ(options.urls, (std::vector<std::string>{"http://echo.invalid/", "HTTPS://a.example/ip?x=1"}));
    EXPECT_EQ(options.deadline, kDefaultDeadline);

    EXPECT_EQ(ParseOptions({"--deadline", "60000"}).deadline, 60000ms);
    EXPECT_EQ(ParseOptions({"--stun", "h:65535"}).stunServers, (std::vector<HostPort>{{"h", 65535}}));
    EXPECT_TRUE(ParseOptions({"--help"}).help);
    EXPECT_TRUE(ParseOptions({"/?"}).help);
}

TEST(Options, BadCommandLinesAreRefused) {
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"}, {"stun"}, {"-stun", "a:1"}, {"--stun"}, {"--stun", "host"}, {"--stun", ":3478"},
        {"--stun", "host:"}, {"--stun", "host:0"}, {"--stun", "host:65536"}, {"--stun", "host:-1"},
        {"--stun", "host:80x"}, {"--stun", "[::1]:3478"}, {"--stun", "ho st:1"}, {"--url"}, {"--url", "ftp://x/"},
        {"--url", "http://"}, {"--url", "http://a b/"}, {"--url", "echo.invalid"}, {"--deadline"},
        {"--deadline", "0"}, {"--deadline", "60001"}, {"--deadline", "abc"}, {"--deadline", "-5"},
        {"--deadline", "99999999999999999999"}, {"--quiet=yes"}, {"--stun", "a:1", "extra"}};
    for (const auto& args : bad) {
        std::string joined;
        for (const auto& a : args) joined += a + ' ';
        EXPECT_FALSE(ParseOptions(args).error.empty()) << joined;
    }
    // --quiet counts wherever it stands, even after the mistake.
    const Options options = ParseOptions({"--bogus", "--quiet"});
    EXPECT_FALSE(options.error.empty());
    EXPECT_TRUE(options.quiet);

    const std::string usage = UsageText();
    for (const char* option : {"--stun HOST:PORT", "--url URL", "--deadline MS", "--quiet"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}

TEST(Options, ProgramArgumentsSkipOurOwnPathEvenUnquoted) {
    const std::string path = "C:\\Program Files\\Kestrum\\IP.EXE";
    // Kestrum's way: the path alone, unquoted, split at its blank.
    EXPECT_TRUE(ProgramArguments({"C:\\Program", "Files\\Kestrum\\IP.EXE"}, path).empty());
    EXPECT_EQ(ProgramArguments({"c:\\program", "files\\kestrum\\ip.exe", "--quiet"}, path),
              (std::vector<std::string>{"--quiet"}));
    // Written with short names by the starter, long ones by the system.
    EXPECT_EQ(ProgramArguments({"C:\\Program", "Files\\Kestrum\\IP.EXE", "-h"}, "C:\\PROGRA~1\\KESTRUM\\IP.EXE"),
              (std::vector<std::string>{"-h"}));
    // Quoted, or started under another name.
    EXPECT_EQ(ProgramArguments({path, "--stun", "a:1"}, path), (std::vector<std::string>{"--stun", "a:1"}));
    EXPECT_EQ(ProgramArguments({"IP", "--quiet", "x"}, path), (std::vector<std::string>{"--quiet", "x"}));
    EXPECT_TRUE(ProgramArguments({}, path).empty());
}

// ---- fakes of the network --------------------------------------------------

// Tells what a STUN server does with each request it gets (numbered from 0).
using Behaviour = std::function<std::vector<UdpReceive>(const Bytes& request, int number)>;

Behaviour AnswerWith(std::array<std::uint8_t, 4> address, int fromRequest = 0) {
    return [=](const Bytes& request, int number) -> std::vector<UdpReceive> {
        if (number < fromRequest) return {};
        TransactionId id;
        std::copy(request.begin() + 8, request.begin() + 20, id.begin());
        return {{UdpReceive::Status::Datagram, GoodResponse(id, address)}};
    };
}

// What a fake saw, readable while its source threads still run.
template <typename T>
class Recorded {
public:
    void add(T item) {
        std::lock_guard lock(mutex_);
        items_.push_back(std::move(item));
    }
    std::vector<T> operator()() const {
        std::lock_guard lock(mutex_);
        return items_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<T> items_;
};

class FakeUdp : public platform::UdpNetwork {
public:
    std::map<std::string, Behaviour> servers;
    bool refuseSockets = false;
    struct Sent {
        Bytes bytes;
        Clock::time_point at;
    };
    Recorded<Sent> sent;
    Recorded<std::string> resolved;
    Recorded<Ipv4Endpoint> peers;

    // Each host has two addresses; the last octet tells which server it is.
    std::vector<Ipv4Endpoint> resolve(const std::string& host, std::uint16_t port) override {
        resolved.add(host);
        const auto found = servers.find(host);
        if (found == servers.end()) return {};
        const auto index = static_cast<std::uint8_t>(std::distance(servers.begin(), found));
        return {{{10, 0, 0, index}, port}, {{10, 0, 1, index}, port}};
    }

    std::unique_ptr<platform::UdpSocket> connect(const Ipv4Endpoint& peer) override {
        peers.add(peer);
        if (refuseSockets) return nullptr;
        return std::make_unique<Socket>(sent, std::next(servers.begin(), peer.address[3])->second);
    }

private:
    class Socket : public platform::UdpSocket {
    public:
        Socket(Recorded<Sent>& sent, Behaviour behaviour) : sent_(sent), behaviour_(std::move(behaviour)) {}
        bool send(const Bytes& datagram) override {
            sent_.add({datagram, Clock::now()});
            for (auto& answer : behaviour_(datagram, sends_++)) queue_.push_back(std::move(answer));
            return true;
        }
        UdpReceive receive(std::chrono::milliseconds timeout) override {
            if (queue_.empty()) {
                std::this_thread::sleep_for(timeout);
                return {};
            }
            UdpReceive next = queue_.front();
            queue_.erase(queue_.begin());
            return next;
        }

    private:
        Recorded<Sent>& sent_;
        Behaviour behaviour_;
        std::vector<UdpReceive> queue_;
        int sends_ = 0;
    };
};

class FakeHttp : public platform::HttpClient {
public:
    struct Service {
        std::optional<HttpReply> reply;
        std::chrono::milliseconds delay{0};
    };
    std::map<std::string, Service> services;
    struct Call {
        std::string url;
        std::size_t maxBodyBytes;
        std::chrono::milliseconds timeout;
    };
    Recorded<Call> calls;

    std::optional<HttpReply> get(const std::string& url, std::size_t maxBodyBytes,
                                 std::chrono::milliseconds timeout) override {
        calls.add({url, maxBodyBytes, timeout});
        const auto found = services.find(url);
        if (found == services.end()) return std::nullopt;
        std::this_thread::sleep_for(std::min(found->second.delay, timeout));
        if (found->second.delay > timeout) return std::nullopt;
        return found->second.reply;
    }
};

class FakeRandom : public platform::RandomSource {
public:
    bool fill(std::span<std::uint8_t> bytes) override {
        if (broken) return false;
        for (auto& b : bytes) b = next++;
        return true;
    }
    std::atomic<std::uint8_t> next{0x40};
    bool broken = false;
};

long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// ---- the race --------------------------------------------------------------

Source After(std::chrono::milliseconds delay, const std::optional<std::string>& answer) {
    return [=](const SourceContext&) {
        std::this_thread::sleep_for(delay);
        return answer;
    };
}

Source UntilStopped() {
    return [](const SourceContext& context) -> std::optional<std::string> {
        while (!context.over()) std::this_thread::sleep_for(2ms);
        return std::nullopt;
    };
}

TEST(Race, TheFirstWellFormedAnswerWinsAndBadOnesAreIgnored) {
    const auto start = Clock::now();
    std::vector<Source> sources = {After(0ms, "not an address"), After(10ms, "0.0.0.0"), After(60ms, "203.0.113.9"),
                                   After(1000ms, "198.51.100.1"), After(20ms, std::nullopt), UntilStopped()};
    sources.push_back([](const SourceContext&) -> std::optional<std::string> { throw std::runtime_error("x"); });
    EXPECT_EQ(Race(std::move(sources), 3000ms), "203.0.113.9");
    // Decided by the winner: neither the slower source nor the deadline is waited for.
    EXPECT_LT(MsSince(start), 900);
}

TEST(Race, EndsAtTheDeadlineWhenNoSourceAnswers) {
    const auto start = Clock::now();
    // One source ignores the race entirely and sleeps on: it must not hold us up.
    EXPECT_EQ(Race({UntilStopped(), After(1500ms, "203.0.113.9"), After(5ms, "junk")}, 200ms), std::nullopt);
    const auto took = MsSince(start);
    EXPECT_GE(took, 195);
    EXPECT_LT(took, 700);
}

TEST(Race, EndsEarlyWhenEverySourceHasGivenUp) {
    const auto start = Clock::now();
    EXPECT_EQ(Race({After(10ms, std::nullopt), After(20ms, "1.2.3")}, 5000ms), std::nullopt);
    EXPECT_EQ(Race({}, 5000ms), std::nullopt);
    EXPECT_LT(MsSince(start), 1000);
}

// ---- one STUN server -------------------------------------------------------

class StunSourceTest : public ::testing::Test {
protected:
    std::optional<std::string> Ask(std::chrono::milliseconds deadline, std::chrono::milliseconds firstTimeout = 20ms,
                                   const HostPort& server = {"stun.test", 3478}) {
        const SourceContext context{Clock::now() + deadline, &stop};
        return AskStunServer(udp, random, server, context, firstTimeout);
    }
    FakeUdp udp;
    FakeRandom random;
    std::atomic<bool> stop{false};
};

TEST_F(StunSourceTest, SendsABindingRequestWithAFreshTransactionAndReadsTheAnswer) {
    udp.servers["stun.test"] = AnswerWith({198, 51, 100, 23});
    EXPECT_EQ(Ask(2000ms), "198.51.100.23");
    ASSERT_EQ(udp.sent().size(), 1u);
    Bytes expected = {0x00, 0x01, 0x00, 0x00, 0x21, 0x12, 0xA4, 0x42};
    for (std::uint8_t b = 0x40; b < 0x4C; ++b) expected.push_back(b);
    EXPECT_EQ(udp.sent()[0].bytes, expected);
    // The first address the name has, at the server's port.
    ASSERT_EQ(udp.peers().size(), 1u);
    EXPECT_EQ(udp.peers()[0], (Ipv4Endpoint{{10, 0, 0, 0}, 3478}));

    // The next server asked gets another transaction ID.
    udp.servers["stun.test"] = AnswerWith({198, 51, 100, 24});
    EXPECT_EQ(Ask(2000ms), "198.51.100.24");
    ASSERT_EQ(udp.sent().size(), 2u);
    EXPECT_NE(udp.sent()[1].bytes, udp.sent()[0].bytes);
}

TEST_F(StunSourceTest, RetransmitsWithADoublingTimeoutUntilTheDeadline) {
    udp.servers["stun.test"] = [](const Bytes&, int) { return std::vector<UdpReceive>{}; };
    const auto start = Clock::now();
    // Sends due at 0, 40, 120, 280 and 600 ms; the next (1240) is past the deadline.
    EXPECT_EQ(Ask(800ms, 40ms), std::nullopt);
    EXPECT_GE(MsSince(start), 795);
    const auto sent = udp.sent();
    ASSERT_EQ(sent.size(), 5u);
    for (std::size_t i = 1; i < sent.size(); ++i) {
        EXPECT_EQ(sent[i].bytes, sent[0].bytes) << "a retransmission keeps its transaction";
        const auto gap = std::chrono::duration_cast<std::chrono::milliseconds>(sent[i].at - sent[i - 1].at);
        EXPECT_GE(gap.count(), (40 << (i - 1)) - 1) << i;
    }
}

TEST_F(StunSourceTest, AcceptsAnAnswerToALaterRetransmission) {
    udp.servers["stun.test"] = AnswerWith({203, 0, 113, 1}, 2);
    EXPECT_EQ(Ask(2000ms), "203.0.113.1");
    EXPECT_EQ(udp.sent().size(), 3u);
}

TEST_F(StunSourceTest, SkipsBadDatagramsAndWaitsForTheRightOne) {
    udp.servers["stun.test"] = [](const Bytes& request, int) {
        TransactionId id, other;
        std::copy(request.begin() + 8, request.begin() + 20, id.begin());
        other = id;
        other[0] ^= 0x80;
        return std::vector<UdpReceive>{{UdpReceive::Status::Datagram, GoodResponse(other, {6, 6, 6, 6})},
                                       {UdpReceive::Status::Datagram, Bytes{1, 2, 3}},
                                       {UdpReceive::Status::Datagram, Message(0x0111, id, {})},
                                       {UdpReceive::Status::Datagram, GoodResponse(id, {203, 0, 113, 2})}};
    };
    EXPECT_EQ(Ask(2000ms), "203.0.113.2");
    EXPECT_EQ(udp.sent().size(), 1u);
}

TEST_F(StunSourceTest, OnlyBadDatagramsMeanNoAnswerByTheDeadline) {
    udp.servers["stun.test"] = [](const Bytes& request, int) {
        TransactionId other;
        std::copy(request.begin() + 8, request.begin() + 20, other.begin());
        other[11] ^= 1;
        return std::vector<UdpReceive>{{UdpReceive::Status::Datagram, GoodResponse(other, {6, 6, 6, 6})}};
    };
    const auto start = Clock::now();
    EXPECT_EQ(Ask(300ms), std::nullopt);
    EXPECT_LT(MsSince(start), 600);
}

TEST_F(StunSourceTest, GivesUpAtOnceWhenTheNetworkSaysNo) {
    const auto start = Clock::now();
    // A name that does not resolve: no socket.
    EXPECT_EQ(Ask(5000ms, 20ms, {"nowhere.test", 1}), std::nullopt);
    EXPECT_TRUE(udp.peers().empty());

    // A receive error, such as the port-unreachable a closed port brings.
    udp.servers["stun.test"] = [](const Bytes&, int) {
        return std::vector<UdpReceive>{{UdpReceive::Status::Failed, {}}};
    };
    EXPECT_EQ(Ask(5000ms), std::nullopt);
    EXPECT_EQ(udp.sent().size(), 1u);

    // No random numbers: no predictable transaction goes out instead.
    random.broken = true;
    EXPECT_EQ(Ask(5000ms), std::nullopt);
    EXPECT_EQ(udp.sent().size(), 1u);

    random.broken = false;
    udp.refuseSockets = true;
    EXPECT_EQ(Ask(5000ms), std::nullopt);
    EXPECT_LT(MsSince(start), 1000);
}

// ---- one HTTP service --------------------------------------------------------

TEST(HttpSource, AsksForABoundedBodyWithinTheTimeLeft) {
    FakeHttp http;
    http.services["http://echo.test/"] = {HttpReply{200, "203.0.113.7\r\n"}, 0ms};
    http.services["http://down.test/"] = {HttpReply{503, "203.0.113.7\r\n"}, 0ms};
    std::atomic<bool> stop{false};
    const SourceContext context{Clock::now() + 1500ms, &stop};
    EXPECT_EQ(AskHttpService(http, "http://echo.test/", context), "203.0.113.7");
    EXPECT_EQ(AskHttpService(http, "http://down.test/", context), std::nullopt);
    EXPECT_EQ(AskHttpService(http, "http://none.test/", context), std::nullopt);
    const auto calls = http.calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].url, "http://echo.test/");
    EXPECT_EQ(calls[0].maxBodyBytes, kMaxHttpBody + 1);
    EXPECT_LE(calls[0].timeout, 1500ms);
    EXPECT_GT(calls[0].timeout, 1000ms);
}

// ---- the whole program -------------------------------------------------------

class ProgramTest : public ::testing::Test {
protected:
    Outcome Run(const std::vector<std::string>& args) { return RunIpExe(args, {udp, http, random}, settings); }
    std::optional<std::string> Stored() { return settings.getSetting("KESTRUM", "PROPERTIES", "IP"); }

    std::shared_ptr<FakeUdp> udp = std::make_shared<FakeUdp>();
    std::shared_ptr<FakeHttp> http = std::make_shared<FakeHttp>();
    std::shared_ptr<FakeRandom> random = std::make_shared<FakeRandom>();
    testing::FakeSettings settings;
};

TEST_F(ProgramTest, StoresTheFirstAnswerAndExitsZero) {
    udp->servers["slow.test"] = AnswerWith({198, 51, 100, 99}, 3);
    udp->servers["fast.test"] = AnswerWith({198, 51, 100, 23});
    http->services["http://echo.test/"] = {HttpReply{200, "203.0.113.7\n"}, 400ms};
    const auto start = Clock::now();
    const Outcome outcome = Run({"--stun", "slow.test:1", "--stun", "fast.test:2", "--url", "http://echo.test/",
                                 "--deadline", "3000"});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_TRUE(outcome.message.empty());
    EXPECT_EQ(Stored(), "198.51.100.23");
    EXPECT_EQ(settings.writes.size(), 1u);
    EXPECT_LT(MsSince(start), 350);
}

TEST_F(ProgramTest, AnHttpAnswerWinsWhenNoStunServerAnswers) {
    udp->servers["silent.test"] = [](const Bytes&, int) { return std::vector<UdpReceive>{}; };
    http->services["http://bad.test/"] = {HttpReply{200, std::string(100000, 'x')}, 0ms};
    http->services["http://echo.test/"] = {HttpReply{200, "203.0.113.7\n"}, 50ms};
    const Outcome outcome = Run({"--stun", "silent.test:1", "--url", "http://bad.test/", "--url",
                                 "http://echo.test/", "--deadline", "2000"});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(Stored(), "203.0.113.7");
}

TEST_F(ProgramTest, NothingAnsweringInTimeWritesNothing) {
    settings.values[{"KESTRUM", "PROPERTIES", "IP"}] = "1.2.3.4";  // an earlier run's
    udp->servers["silent.test"] = [](const Bytes&, int) { return std::vector<UdpReceive>{}; };
    http->services["http://late.test/"] = {HttpReply{200, "203.0.113.7\n"}, 5000ms};
    const auto start = Clock::now();
    const Outcome outcome =
        Run({"--stun", "silent.test:1", "--url", "http://late.test/", "--deadline", "300", "--quiet"});
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_TRUE(settings.writes.empty());
    EXPECT_EQ(Stored(), "1.2.3.4");
    const auto took = MsSince(start);
    EXPECT_GE(took, 295);
    EXPECT_LT(took, 800);
}

TEST_F(ProgramTest, WithoutOptionsAsksTheBuiltInSources) {
    // None of them resolves or answers here, so the race ends as soon as all gave up.
    const Outcome outcome = Run({});
    EXPECT_EQ(outcome.exitCode, 1);
    auto resolved = udp->resolved();
    std::sort(resolved.begin(), resolved.end());
    std::vector<std::string> hosts;
    for (const auto& server : DefaultStunServers()) hosts.push_back(server.host);
    std::sort(hosts.begin(), hosts.end());
    EXPECT_EQ(resolved, hosts);
    std::vector<std::string> urls;
    for (const auto& call : http->calls()) urls.push_back(call.url);
    std::sort(urls.begin(), urls.end());
    auto expected = DefaultUrls();
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(urls, expected);
}

TEST_F(ProgramTest, ABadCommandLineShowsTheUsageAndTouchesNothing) {
    Outcome outcome = Run({"--stun", "nohost"});
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_TRUE(outcome.messageIsError);
    EXPECT_NE(outcome.message.find("nohost"), std::string::npos);
    EXPECT_NE(outcome.message.find(UsageText()), std::string::npos);

    outcome = Run({"--bogus", "--quiet"});
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_TRUE(outcome.message.empty());

    outcome = Run({"--help"});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.message, UsageText());

    EXPECT_TRUE(settings.writes.empty());
    EXPECT_TRUE(udp->resolved().empty());
    EXPECT_TRUE(http->calls().empty());
}

TEST_F(ProgramTest, AStoreThatRefusesIsNotSuccess) {
    udp->servers["fast.test"] = AnswerWith({198, 51, 100, 23});
    settings.refuseWrites = true;
    EXPECT_EQ(Run({"--stun", "fast.test:2"}).exitCode, 3);
}

}  // namespace
}  // namespace kestrum::ipexe
