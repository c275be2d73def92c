// IP.EXE's portable part: STUN messages, what counts as an address, the command
// line, and the race of its sources under one deadline, over a fake network.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <new>
#include <span>
#include <thread>

#include "app/frm_kestrum.h"
#include "ipexe/address.h"
#include "ipexe/program.h"
#include "ipexe/stun.h"
#include "net/ipv4.h"
#include "tests/support/fakes.h"

namespace kestrum::ipexe {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using platform::UdpReceive;

const TransactionId kId = {0xb7, 0xe7, 0xa7, 0x01, 0xbc, 0x34, 0xd6, 0x86, 0xfa, 0x87, 0xdf, 0xae};

std::uint8_t Byte(unsigned value, int shift = 0) { return std::uint8_t(value >> shift); }

// A message of the given type for a transaction, its attributes after the header.
Bytes Message(std::uint16_t type, const TransactionId& id, const std::vector<Bytes>& attributes,
              unsigned cookie = 0x2112A442) {
    Bytes body;
    for (const Bytes& attribute : attributes) body.insert(body.end(), attribute.begin(), attribute.end());
    // clang-format off
    Bytes out = {Byte(type, 8), Byte(type), Byte(unsigned(body.size()), 8), Byte(unsigned(body.size())),
                 Byte(cookie, 24), Byte(cookie, 16), Byte(cookie, 8), Byte(cookie)};
    // clang-format on
    out.reserve(20 + body.size());  // else MinGW's GCC 12 warns falsely of an overrun (-Warray-bounds)
    out.insert(out.end(), id.begin(), id.end());
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

// An attribute, padded to four bytes; claimed: the length it says it has.
Bytes Attribute(std::uint16_t type, const Bytes& value, int claimed = -1) {
    const unsigned length = claimed < 0 ? unsigned(value.size()) : unsigned(claimed);
    Bytes out = {Byte(type, 8), Byte(type), Byte(length, 8), Byte(length)};
    for (const std::uint8_t b : value) out.push_back(b);
    out.resize((out.size() + 3) / 4 * 4);
    return out;
}

// XOR-MAPPED-ADDRESS, or else MAPPED-ADDRESS, of an IPv4 endpoint.
Bytes Mapped(const std::array<std::uint8_t, 4>& a, unsigned port = 40000, bool xored = true) {
    const unsigned mask = xored ? 0x2112A442 : 0;
    Bytes value = {0, 1, Byte(port ^ mask >> 16, 8), Byte(port ^ mask >> 16)};
    for (int i = 0; i < 4; ++i) value.push_back(Byte(a[i] ^ mask >> (24 - 8 * i)));
    return Attribute(xored ? 0x0020 : 0x0001, value);
}

TEST(Stun, TheRequestIsTheHeaderAloneAndTheAnswerItsMappedAddressAndNothingElse) {
    EXPECT_EQ(EncodeBindingRequest(kId), Message(0x0001, kId, {}));
    // XOR-MAPPED-ADDRESS wherever it stands, else MAPPED-ADDRESS; an IPv6 one is no use.
    const Bytes plain = Mapped({203, 0, 113, 5}, 1234, false), ipv6 = Attribute(0x0020, Bytes(20, 2));
    const auto parse = [](const std::vector<Bytes>& attributes) {
        return ParseBindingResponse(Message(0x0101, kId, attributes), kId).value_or(platform::Ipv4Endpoint{});
    };
    EXPECT_EQ(parse({plain}), (platform::Ipv4Endpoint{{203, 0, 113, 5}, 1234}));
    EXPECT_EQ(parse({plain, Mapped({198, 51, 100, 23}, 5)}), (platform::Ipv4Endpoint{{198, 51, 100, 23}, 5}));
    EXPECT_EQ(parse({ipv6, plain}).port, 1234);
    // Each case spoils a good answer in one way (another type or transaction: the fuzzer's property).
    const Bytes good = Message(0x0101, kId, {Mapped({198, 51, 100, 23})});
    Bytes longer = good, shorter = good, odd = good;
    longer[3] += 4;
    shorter.resize(good.size() + 4);
    odd[3] += 1;
    odd.push_back(0);
    const Bytes cases[] = {
        // clang-format off
        Bytes(good.begin(), good.begin() + 19), longer, shorter, odd, Message(0x0101, kId, {}),
        Message(0x0101, kId, {Mapped({1, 2, 3, 4})}, 0x2112A443),
        Message(0x0101, kId, {Attribute(0x0020, Bytes(8, 1), 12)}),
        Message(0x0101, kId, {Attribute(0x0020, {0, 1, 0, 1, 1, 2})}),
        Message(0x0101, kId, {Attribute(0x0020, {0, 7, 0, 1, 1, 2, 3, 4})}),
        // clang-format on
    };
    for (const Bytes& message : cases) EXPECT_FALSE(ParseBindingResponse(message, kId)) << &message - cases;
}

TEST(Address, OnlyAnAddressAloneInA200ReplyOfAFewBytesCounts) {
    for (const char* bad : {"1.2.3", "1.2.3.4.5", "256.1.1.1", "1234.1.1.1", "1..3.4", "1.2.3.4 ", "01.2.3.4",
                            "0.0.0.0", "255.255.255.255"})
        EXPECT_FALSE(IsWellFormedIpv4(bad)) << bad;
    EXPECT_TRUE(IsWellFormedIpv4("255.0.10.254"));
    const std::string padded = "203.0.113.7" + std::string(kMaxHttpBody - 11, '\n');
    EXPECT_EQ(AddressFromHttpReply({200, " \t203.0.113.7\r\n"}), "203.0.113.7");
    EXPECT_EQ(AddressFromHttpReply({200, padded}), "203.0.113.7");
    for (const platform::HttpReply& reply : {platform::HttpReply{200, padded + "\n"},
                                             {200, "IP: 203.0.113.7"},
                                             {200, "\r\n"},
                                             {404, "203.0.113.7"},
                                             {503, "203.0.113.7\r\n"}})
        EXPECT_EQ(AddressFromHttpReply(reply), std::nullopt) << reply.body.size();
}

TEST(Options, NamedSourcesReplaceTheBuiltInOnesAndMistakesAreRefused) {
    const Options named = ParseOptions({"--stun", "127.0.0.1:3478", "--stun=h:65535", "--deadline", "60000", "/?"});
    EXPECT_EQ(named.stunServers, (std::vector<HostPort>{{"127.0.0.1", 3478}, {"h", 65535}}));
    EXPECT_EQ(std::tuple(named.urls.size(), named.deadline, named.help), std::tuple(0u, 60000ms, true));
    // Kestrum reads the address after its wait for IP.EXE: by then IP.EXE must have given up.
    EXPECT_LT(ParseOptions({}).deadline, std::chrono::milliseconds(app::kIpExeWaitMs));
    // clang-format off
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--bogus"}, {"--stun"}, {"--stun", "host"}, {"--stun", ":1"}, {"--stun", "h:65536"},
             {"--stun", "h st:1"}, {"--url", "ftp://x/"}, {"--url", "http://"}, {"--url", "http://a b/"},
             {"--deadline", "60001"}, {"--quiet=yes"}})
        // clang-format on
        EXPECT_NE(ParseOptions(bad).error, "") << bad[0] << " " << bad.back();
    EXPECT_TRUE(ParseOptions({"--bogus", "--quiet"}).quiet);  // wherever it stands
    // Our own path, unquoted, comes split at its blanks, and perhaps in short names.
    const std::string path = "C:\\Program Files\\Kestrum\\IP.EXE";
    using Args = std::vector<std::string>;
    EXPECT_EQ(ProgramArguments({"c:\\program", "files\\kestrum\\ip.exe", "-h"}, path), Args{"-h"});
    EXPECT_EQ(ProgramArguments({"C:\\Program", "Files\\Kestrum\\IP.EXE", "x"}, "C:\\PROGRA~1\\KESTRUM\\IP.EXE"),
              Args{"x"});
    EXPECT_EQ(ProgramArguments({"IP", "--url=x"}, path), Args{"--url=x"});
}

// ---- the race of sources ---------------------------------------------------

// Sources held until the test lets them go (or a few seconds at most), then answering.
struct Held {
    std::shared_ptr<std::promise<void>> release = std::make_shared<std::promise<void>>();
    std::shared_future<void> released = release->get_future().share();
    std::shared_ptr<std::atomic<int>> done = std::make_shared<std::atomic<int>>(0);
    Source source(const std::string& answer) const {
        return [released = released, done = done, answer](const SourceContext&) {
            released.wait_for(5s);
            ++*done;
            return std::optional(answer);
        };
    }
};

Source Answer(const std::optional<std::string>& answer) {
    return [answer](const SourceContext&) { return answer; };
}

TEST(Race, TheFirstWellFormedAnswerWinsAndNothingElseIsWaitedFor) {
    const Held slow;
    std::vector<Source> sources = {Answer("not an address"), Answer("0.0.0.0"), Answer(std::nullopt),
                                   slow.source("198.51.100.1"), Answer("203.0.113.9")};
    sources.push_back([](const SourceContext&) -> std::optional<std::string> { throw std::bad_alloc(); });
    EXPECT_EQ(Race(std::move(sources), 60s), "203.0.113.9");
    EXPECT_EQ(Race({slow.source("198.51.100.1"), Answer("junk")}, 100ms), std::nullopt);
    EXPECT_EQ(*slow.done, 0) << "the race waited for a source after its answer or its deadline";
    slow.release->set_value();
    // On a thread left behind if the race never ends: the test then fails instead of hanging.
    const auto result = std::make_shared<std::promise<std::optional<std::string>>>();
    auto ended = result->get_future();
    std::thread([result] { result->set_value(Race({Answer({}), Answer("1.2.3")}, 30s)); }).detach();
    ASSERT_EQ(ended.wait_for(10s), std::future_status::ready) << "the race waited with every source given up";
    EXPECT_EQ(ended.get(), std::nullopt);
}

// ---- one STUN server, over a fake network ------------------------------------

// A server that answers from the given request on (numbered from 0); before the
// answer it may send a stranger's response and a scrap.
class FakeStun : public platform::UdpNetwork, public platform::RandomSource {
public:
    FakeStun(int answerFrom, bool noiseFirst) : answerFrom_(answerFrom), noise_(noiseFirst) {}
    std::vector<platform::Ipv4Endpoint> resolve(const std::string& host, std::uint16_t port) override {
        if (host != "stun.test") return {};
        return {{{10, 0, 0, 1}, port}, {{10, 0, 0, 2}, port}};
    }
    std::unique_ptr<platform::UdpSocket> connect(const platform::Ipv4Endpoint& peer) override {
        log.push_back("connect " + net::FormatIpv4(peer.address) + ":" + std::to_string(peer.port));
        return std::make_unique<Socket>(*this);
    }
    bool fill(std::span<std::uint8_t> bytes) override {
        for (auto& b : bytes) b = next_++;
        return true;
    }
    std::optional<std::string> Ask() {
        return AskStunServer(*this, *this, {"stun.test", 3478}, SourceContext(Clock::now() + 2s), 50ms);
    }

    testing::Log log;
    UdpReceive::Status answer = UdpReceive::Status::Datagram;

private:
    struct Socket : platform::UdpSocket {  // the socket each ask owns
        explicit Socket(FakeStun& server) : server_(server) {}
        bool send(const Bytes& request) override {
            server_.log.push_back("send " + std::to_string(request[19]));
            TransactionId id, other = {};
            std::copy(request.begin() + 8, request.begin() + 20, id.begin());
            const auto datagram = UdpReceive::Status::Datagram;
            if (server_.answer != datagram) queue_.push_back({server_.answer, {}});
            if (server_.noise_) {
                queue_.push_back({datagram, Message(0x0101, other, {Mapped({6, 6, 6, 6})})});
                queue_.push_back({datagram, Bytes{1, 2, 3}});
            }
            if (++sent_ > server_.answerFrom_)
                queue_.push_back({datagram, Message(0x0101, id, {Mapped({198, 51, 100, 23})})});
            return true;
        }
        UdpReceive receive(std::chrono::milliseconds timeout) override {
            server_.log.push_back("wait " + std::to_string(timeout.count()));
            if (queue_.empty()) {
                std::this_thread::sleep_for(timeout);  // nothing comes
                return {};
            }
            UdpReceive next = queue_.front();
            queue_.erase(queue_.begin());
            return next;
        }
        FakeStun& server_;
        int sent_ = 0;
        std::vector<UdpReceive> queue_;
    };
    int answerFrom_;
    bool noise_;
    std::uint8_t next_ = 0x40;
};

TEST(StunSource, AsksAgainWithTheSameTransactionAndWaitsThatDoubleTillTheAnswer) {
    FakeStun lossy(3, false);  // the fourth request is answered
    EXPECT_EQ(lossy.Ask(), "198.51.100.23");
    EXPECT_EQ(lossy.log[0], "connect 10.0.0.1:3478");  // the first address the name has
    EXPECT_EQ(std::count(lossy.log.begin(), lossy.log.end(), "send 75"), 4);
    EXPECT_TRUE(std::any_of(lossy.log.begin(), lossy.log.end(), [](auto& entry) {
        return entry.starts_with("wait") && std::stoi(entry.substr(5)) > 50;
    })) << "the wait for an answer doubles with every request";
    FakeStun noisy(0, true);  // strangers first: skipped, and the same request's answer taken
    EXPECT_EQ(noisy.Ask(), "198.51.100.23");
    EXPECT_EQ(std::count(noisy.log.begin(), noisy.log.end(), "send 75"), 1);
    FakeStun refusing(0, false);  // it gives up at the first refusal, as from a closed port
    refusing.answer = UdpReceive::Status::Failed;
    EXPECT_EQ(refusing.Ask(), std::nullopt);
    EXPECT_EQ(refusing.log, (testing::Log{"connect 10.0.0.1:3478", "send 75", "wait 50"}));
}

// ---- the whole program (the Windows tests run it against loopback servers) -----

class FakeHttp : public platform::HttpClient {
public:
    std::optional<platform::HttpReply> get(const std::string& url, std::size_t maxBytes,
                                           std::chrono::milliseconds) override {
        const std::string body = url == "http://big.test/" ? "1.2.3.4" + std::string(5000, '\n') : "203.0.113.7\n";
        return platform::HttpReply{200, body.substr(0, maxBytes)};
    }
};

TEST(IpExe, SaysHowItEndedAndWhyTheCommandLineIsWrong) {
    const Network network{nullptr, std::make_shared<FakeHttp>(), nullptr};
    testing::FakePlatform store;
    // An echo of more than a few bytes is no address, however it starts.
    EXPECT_EQ(RunIpExe({"--url", "http://big.test/", "--deadline", "300"}, network, store).exitCode, kNoAnswer);
    store.refuseWrites = true;
    EXPECT_EQ(RunIpExe({"--url", "http://echo.test/"}, network, store).exitCode, kStoreRefused);
    EXPECT_EQ(store.log, testing::Log{"save KESTRUM/PROPERTIES/IP=203.0.113.7"});
    const Outcome bad = RunIpExe({"--stun", "nohost", "--url", "http://echo.test/"}, network, store);
    EXPECT_EQ(std::tuple(bad.exitCode, bad.messageIsError, store.log.size()), std::tuple(kBadCommandLine, true, 1u));
    EXPECT_EQ(RunIpExe({"--bogus", "--quiet"}, network, store).message, "");
    // The mistake, then how to use the program.
    const std::string help = RunIpExe({"--help"}, network, store).message;
    EXPECT_TRUE(bad.message.find("nohost") < bad.message.size() - help.size() && bad.message.ends_with(help));
}

}  // namespace
}  // namespace kestrum::ipexe
