// The real IP.EXE, started as its own process against servers of ours on loopback:
// a STUN responder, and an HTTP echo reached only through the proxy settings.

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

#include "platform/win32/registry_settings.h"
#include "platform/win32/unique_handle.h"
#include "tests/support/loopback_http.h"
#include "tests/support/stun_responder.h"

namespace kestrum::win32 {
namespace {

using testsupport::ClosedLoopbackPort;
using testsupport::ClosedUdpLoopbackPort;
using testsupport::HttpRequest;
using testsupport::HttpResponse;
using testsupport::LoopbackHttpServer;
using testsupport::StunResponder;
using testsupport::UseLoopbackProxy;

struct IpRun {
    bool finished = false;
    DWORD exitCode = 0;
    long long ms = 0;
};

// IP.EXE sits beside this test program in the build folder.
std::wstring IpExePath() {
    wchar_t path[MAX_PATH] = {};
    std::wstring self(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH));
    return self.substr(0, self.find_last_of(L'\\') + 1) + L"IP.EXE";
}

// commandLine as given: quoting is the caller's business, as it is Kestrum's.
IpRun Start(const std::wstring& path, std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const auto start = std::chrono::steady_clock::now();
    if (!::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info))
        return {};
    const UniqueKernelHandle process(info.hProcess), thread(info.hThread);
    IpRun run;
    run.finished = ::WaitForSingleObject(process.get(), 30000) == WAIT_OBJECT_0;
    run.ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    if (!run.finished) ::TerminateProcess(process.get(), 99);
    ::GetExitCodeProcess(process.get(), &run.exitCode);
    return run;
}

IpRun RunIpExe(const std::wstring& args) { return Start(IpExePath(), L"\"" + IpExePath() + L"\" --quiet " + args); }

class IpExeTest : public ::testing::Test {
protected:
    // The value may hold a real earlier answer: keep it and put it back.
    void SetUp() override {
        earlier_ = store_.getSetting("KESTRUM", "PROPERTIES", "IP");
        Forget();
    }
    void TearDown() override {
        UseLoopbackProxy(0);
        Forget();
        if (earlier_) store_.saveSetting("KESTRUM", "PROPERTIES", "IP", *earlier_);
    }
    void Forget() {
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\KESTRUM\\PROPERTIES", L"IP");
    }
    std::optional<std::string> Stored() { return store_.getSetting("KESTRUM", "PROPERTIES", "IP"); }
    void Report(const char* what, const IpRun& run) {
        RecordProperty(what, std::to_string(run.ms));
        std::printf("[ figures  ] %s: %lld ms\n", what, run.ms);
    }

private:
    RegistrySettings store_;
    std::optional<std::string> earlier_;
};

TEST_F(IpExeTest, StoresTheAddressALoopbackStunServerReports) {
    StunResponder server(StunResponder::Mode::Answer, {198, 51, 100, 23});
    const std::wstring args = L"--stun 127.0.0.1:" + std::to_wstring(server.port()) + L" --deadline 8000";
    const IpRun run = RunIpExe(args);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(Stored(), "198.51.100.23");
    Report("stun_answer_ms", run);

    // What arrived was a Binding request: type, no attributes, the magic cookie.
    auto requests = server.requests();
    ASSERT_GE(requests.size(), 1u);
    const std::vector<std::uint8_t> head(requests[0].begin(), requests[0].begin() + 8);
    EXPECT_EQ(requests[0].size(), 20u);
    EXPECT_EQ(head, (std::vector<std::uint8_t>{0x00, 0x01, 0x00, 0x00, 0x21, 0x12, 0xA4, 0x42}));

    // A second run asks with a transaction ID of its own.
    ASSERT_EQ(RunIpExe(args).exitCode, 0u);
    requests = server.requests();
    ASSERT_GE(requests.size(), 2u);
    EXPECT_NE(std::vector<std::uint8_t>(requests.front().begin() + 8, requests.front().end()),
              std::vector<std::uint8_t>(requests.back().begin() + 8, requests.back().end()));
}

TEST_F(IpExeTest, FindsItsArgumentsBehindAnUnquotedPathWithBlanks) {
    // Kestrum starts us by our path alone, unquoted; installed under "Program
    // Files", that path has a blank in it.
    wchar_t temp[MAX_PATH] = {};
    const std::wstring folder = std::wstring(temp, ::GetTempPathW(MAX_PATH, temp)) + L"Kestrum IP test";
    const std::wstring copy = folder + L"\\IP.EXE";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileW(IpExePath().c_str(), copy.c_str(), FALSE));
    StunResponder server(StunResponder::Mode::Answer, {198, 51, 100, 42});
    const IpRun run = Start(copy, copy + L" --quiet --stun 127.0.0.1:" + std::to_wstring(server.port()));
    ::DeleteFileW(copy.c_str());
    ::RemoveDirectoryW(folder.c_str());
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(Stored(), "198.51.100.42");
}

TEST_F(IpExeTest, WrongStunAnswersAreNoAnswer) {
    StunResponder stranger(StunResponder::Mode::WrongTransaction, {203, 0, 113, 66});
    StunResponder garbage(StunResponder::Mode::Garbage);
    const IpRun run = RunIpExe(L"--stun 127.0.0.1:" + std::to_wstring(stranger.port()) + L" --stun 127.0.0.1:" +
                             std::to_wstring(garbage.port()) + L" --deadline 1500");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(Stored(), std::nullopt);
    EXPECT_LT(run.ms, 2500);
    // It went on asking (500 ms, then 1000 ms later) instead of taking or choking on them.
    EXPECT_GE(stranger.requests().size(), 2u);
    EXPECT_GE(garbage.requests().size(), 2u);
}

TEST_F(IpExeTest, StoresTheAddressAnHttpEchoReportsThroughTheProxy) {
    // Wine's WinINet names the default port in the proxy request, Windows does not.
    LoopbackHttpServer proxy([](const HttpRequest& request) {
        if (request.target == "http://echo.invalid/" || request.target == "http://echo.invalid:80/")
            return HttpResponse{200, "203.0.113.7\r\n"};
        return HttpResponse{404, "no"};
    });
    UseLoopbackProxy(proxy.port());
    const IpRun run = RunIpExe(L"--url http://echo.invalid/ --deadline 8000");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(Stored(), "203.0.113.7");
    Report("http_answer_ms", run);

    const auto requests = proxy.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target.substr(0, 19), "http://echo.invalid");
    EXPECT_NE(requests[0].headers.find("User-Agent: Kestrum 1.2\r\n"), std::string::npos) << requests[0].headers;
}

TEST_F(IpExeTest, HttpErrorsAndJunkBodiesAreNoAnswer) {
    LoopbackHttpServer proxy([](const HttpRequest& request) {
        if (request.target.starts_with("http://error.invalid")) return HttpResponse{503, "203.0.113.7\r\n"};
        if (request.target.starts_with("http://huge.invalid"))
            return HttpResponse{200, "203.0.113.7" + std::string(70000, '\n')};
        return HttpResponse{200, std::string("\x89PNG\r\n\x1a\n\0\0" "203.0.113.7", 21)};
    });
    UseLoopbackProxy(proxy.port());
    const IpRun run = RunIpExe(L"--url http://error.invalid/ --url http://huge.invalid/ --url http://binary.invalid/ "
                             L"--deadline 5000");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_EQ(Stored(), std::nullopt);
    EXPECT_EQ(proxy.requests().size(), 3u);
}

TEST_F(IpExeTest, WithEverySourceDeadItEndsWithinTheDeadlineAndWritesNothing) {
    UseLoopbackProxy(ClosedLoopbackPort());
    const IpRun run = RunIpExe(L"--stun 127.0.0.1:" + std::to_wstring(ClosedUdpLoopbackPort()) +
                             L" --url http://echo.invalid/ --deadline 3000");
    ASSERT_TRUE(run.finished);
    EXPECT_NE(run.exitCode, 0u);
    EXPECT_LT(run.ms, 3000 + 1000);
    EXPECT_EQ(Stored(), std::nullopt);
    Report("dead_sources_exit_ms", run);
}

TEST_F(IpExeTest, WithEverySourceSilentItEndsAtTheDeadline) {
    StunResponder silent(StunResponder::Mode::Silent);
    LoopbackHttpServer proxy([](const HttpRequest&) {
        HttpResponse response;
        response.hang = true;
        return response;
    });
    UseLoopbackProxy(proxy.port());
    const IpRun run = RunIpExe(L"--stun 127.0.0.1:" + std::to_wstring(silent.port()) +
                             L" --url http://echo.invalid/ --deadline 2000");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 1u);
    EXPECT_LT(run.ms, 2000 + 1000);
    EXPECT_EQ(Stored(), std::nullopt);
    EXPECT_GE(silent.requests().size(), 2u);
    EXPECT_EQ(proxy.requests().size(), 1u);
    Report("silent_sources_exit_ms", run);
}

TEST_F(IpExeTest, ABadCommandLineEndsWithCodeTwo) {
    const IpRun run = RunIpExe(L"--stun nohost --deadline 500");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_EQ(Stored(), std::nullopt);
}

}  // namespace
}  // namespace kestrum::win32
