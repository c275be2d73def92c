// The adapters against the real registry, shell, Windows Sockets and WinINet under
// Wine, with stand-ins for the programs Kestrum starts; the real IP.EXE; kestrum.exe's
// own resources.

#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>
#include <objbase.h>
#include <ws2tcpip.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "info/start_sys_info.h"
#include "net/probes.h"
#include "net/winsock_2.h"
#include "platform/registry_reader.h"
#include "platform/win32/files.h"
#include "platform/win32/local_addresses.h"
#include "platform/win32/network.h"
#include "platform/win32/registry.h"
#include "platform/win32/settings.h"
#include "platform/win32/shell.h"
#include "platform/win32/socket_owner.h"
#include "platform/win32/system.h"
#include "platform/win32/text.h"
#include "reach/observe.h"
#include "remote/launch_errors.h"
#include "tests/support/child_windows.h"
#include "tests/support/fake_router.h"
#include "tests/support/fakes.h"
#include "tests/support/loopback_http.h"
#include "tests/support/outside.h"

namespace kestrum::win32 {
namespace {

using testsupport::HttpRequest;
using testsupport::HttpResponse;
using testsupport::LoopbackHttpServer;
using testsupport::RunOf;
using testsupport::ThisFolder;
using testsupport::UseLoopbackProxy;

TEST(Settings, TextRoundTripsAsPlainRegSz) {
    const wchar_t kKey[] = L"Software\\VB and VBA Program Settings\\KESTRUM-WIN-TEST\\S";
    RegistrySettings store;
    const std::string text = "C:\\Users\\Zoë\\日本";
    for (const std::string& value : {std::string(70000, 'x'), std::string(), text}) {
        ASSERT_TRUE(store.saveSetting("KESTRUM-WIN-TEST", "S", "V", value));
        EXPECT_EQ(store.getSetting("KESTRUM-WIN-TEST", "S", "V"), value);
    }
    wchar_t raw[64] = {};
    DWORD bytes = sizeof raw, type = 0;
    ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER, kKey, L"V", RRF_RT_ANY, &type, raw, &bytes), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(Narrow(raw), text);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\KESTRUM-WIN-TEST");
}

// The Connection Check's Remote Desktop row from the local machine's keys (a key of the test's own
// stands in for them): fDenyTSConnections, a number, and EditionID, a text.
TEST(Settings, TheRemoteDesktopRowReadsTheMachinesNumberAndEdition) {
    HKEY machine = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\KESTRUM-WIN-TEST", 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, &machine, nullptr),
              0);
    ASSERT_EQ(::RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine), 0);
    testing::FakePlatform p;
    p.lanAddress.clear();  // no router asked
    testing::FakeRouter router;
    reach::Pinhole pinhole{{router, p, p}};
    Win32Registry registry;
    for (const auto& [deny, edition, on, accepts] : {std::tuple<DWORD, std::wstring, bool, bool>{0, L"Pro", true, true},
                                                     {1, L"Pro", false, true},
                                                     {0, L"CoreN", true, false}}) {
        ::RegSetKeyValueW(machine, L"SYSTEM\\CurrentControlSet\\Control\\Terminal Server", L"fDenyTSConnections",
                          REG_DWORD, &deny, sizeof deny);
        ::RegSetKeyValueW(machine, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", L"EditionID", REG_SZ,
                          edition.c_str(), static_cast<DWORD>(edition.size() * 2 + 2));
        const reach::Observations seen = reach::Observe({registry, p, router, p, pinhole});
        EXPECT_EQ(std::pair(seen.remoteDesktopOn, seen.editionAccepts),
                  std::pair(std::optional(on), std::optional(accepts)))
            << deny << " " << Narrow(edition);
    }
    ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    ::RegCloseKey(machine);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\KESTRUM-WIN-TEST");
}

TEST(Network, TheOnlineProbeAsksThroughTheProxyAndTheHostLookupGivesAnAddress) {
    WinInet internet;
    {
        LoopbackHttpServer proxy([](const HttpRequest&) { return HttpResponse{503, "busy"}; });
        UseLoopbackProxy(proxy.port());        // once: some Wine versions read it once per process
        EXPECT_TRUE(net::IsOnline(internet));  // any answer, an error page too
        ASSERT_EQ(proxy.requests().size(), 1u);
        EXPECT_TRUE(proxy.requests()[0].target.starts_with("http://www.msftconnecttest.com"))
            << proxy.requests()[0].target;
        EXPECT_NE(proxy.requests()[0].headers.find("User-Agent: Kestrum 1.2\r\n"), std::string::npos);
    }
    EXPECT_FALSE(net::IsOnline(internet));  // the proxy gone
    UseLoopbackProxy(0);

    Win32Sockets sockets;
    testing::FakePlatform ui;
    const std::string address = net::Winsock2(sockets, ui).GetHostIP();
    EXPECT_NE(IpHelperHopProbe().inetAddr(address), ~0u) << address;  // a dotted address
    EXPECT_EQ(ui.log, testing::Log{});
    EXPECT_EQ(IpHelperHopProbe().inetAddr("127.0.0.2"), 0x0200007Fu);
}

// A port that accepts, one that refuses (a no at once), and an address on a link where nothing
// answers, over IPv4 and IPv6: only the first is a yes, and the silent one ends at the bound.
TEST(Network, ThePortProbeSaysYesOnlyToAPortThatAccepts) {
    std::uint16_t open = 0, closed = 0;
    const UniqueSocket listener(testsupport::Listen("::1", open));
    ASSERT_TRUE(listener && UniqueSocket(testsupport::Listen("::1", closed))) << "no IPv6 loopback";
    const LoopbackHttpServer service([](const HttpRequest&) { return HttpResponse{}; });
    const std::uint32_t loopback = ::inet_addr("127.0.0.1");
    platform::Ipv6Bytes loopback6{};
    loopback6[15] = 1;
    TcpPortProbe probe;
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_TRUE(probe.connects(loopback, service.port(), 3000) && probe.connects6(loopback6, open, 3000));
    EXPECT_FALSE(probe.connects(loopback, testsupport::ClosedLoopbackPort(), 3000));
    EXPECT_FALSE(probe.connects6(loopback6, closed, 3000));
    EXPECT_LT(::GetTickCount64() - start, 1000u);
    // Not frozen for the system's whole connect timeout: given up at the bound (with a margin for a busy machine).
    const char *silent = std::getenv("KESTRUM_SILENT_ADDRESS"), *silent6 = std::getenv("KESTRUM_SILENT_ADDRESS6");
    if (!silent || !silent6) GTEST_SKIP() << "no silent address in this run";
    platform::Ipv6Bytes silentBytes{};
    ::inet_pton(AF_INET6, silent6, silentBytes.data());
    for (const bool v6 : {false, true}) {
        const ULONGLONG begun = ::GetTickCount64();
        EXPECT_FALSE(v6 ? probe.connects6(silentBytes, 3389, 3000) : probe.connects(::inet_addr(silent), 3389, 3000));
        const ULONGLONG took = ::GetTickCount64() - begun;
        std::printf("[ FIGURE   ] silent address %s: no after %llu ms\n", v6 ? silent6 : silent, took);
        EXPECT_LT(took, 4500u);
    }
}

// Shell extensions need COM on the calling thread: the shell adapter asks for a single-threaded
// apartment without OLE1's DDE, gives it back, and leaves one the thread already had as it was.
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"  // a COM object ends through Release
// NOLINTNEXTLINE(cppcoreguidelines-virtual-class-destructor)
struct InitializeSpy : IInitializeSpy {
    DWORD asked = 0;  // what the first CoInitializeEx asked for
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE PreInitialize(DWORD coInit, DWORD) override {
        asked = asked ? asked : coInit;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PostInitialize(HRESULT result, DWORD, DWORD) override { return result; }
    HRESULT STDMETHODCALLTYPE PreUninitialize(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostUninitialize(DWORD) override { return S_OK; }
};
TEST(Shell, RunsInASingleThreadedApartmentOfItsOwn) {
    std::thread([] {
        InitializeSpy spy;
        ULARGE_INTEGER cookie;
        APTTYPE type;
        APTTYPEQUALIFIER qualifier;
        ASSERT_EQ(::CoRegisterInitializeSpy(&spy, &cookie), S_OK);
        Win32Shell().execute(0, "open", "KESTRUM-NO-SUCH-FILE", std::nullopt, std::nullopt, 1);
        EXPECT_EQ(spy.asked, DWORD(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
        EXPECT_EQ(::CoGetApartmentType(&type, &qualifier), CO_E_NOTINITIALIZED);
        ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        Win32Shell().execute(0, "open", "KESTRUM-NO-SUCH-FILE", std::nullopt, std::nullopt, 1);
        EXPECT_TRUE(::CoGetApartmentType(&type, &qualifier) == S_OK && type == APTTYPE_MTA);
        ::CoUninitialize();
        ::CoRevokeInitializeSpy(cookie);
    }).join();
}

// A program that is not there; System Information where the registry says, in a folder
// with blanks and non-ASCII letters, quoted; registry text measured in UTF-8. (The Remote
// Desktop client found on the path is the end-to-end tests'.)
TEST(Shell, StartsTheStandInsWithExactlyTheirCommandLines) {
    const std::wstring doubles = ThisFolder() + L"\\doubles", log = ThisFolder() + L"\\stand-in.log";
    ::SetEnvironmentVariableW(L"KESTRUM_STAND_IN_LOG", log.c_str());
    EXPECT_EQ(remote::LaunchErrorText(Win32Shell().execute(0, "open", "KESTRUM-NO-SUCH-CLIENT", "", {}, 3)),
              "The specified file was not found.");

    const wchar_t kPlace[] = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
    const std::wstring root = ThisFolder() + L"\\sysinfo test", program = root + L"\\Prögram Files\\MSINFO32.EXE";
    ::CreateDirectoryW(root.c_str(), nullptr);
    ::CreateDirectoryW((root + L"\\Prögram Files").c_str(), nullptr);
    ASSERT_TRUE(::CopyFileW((doubles + L"\\MSINFO32.EXE").c_str(), program.c_str(), FALSE));
    const auto set = [&](const wchar_t* name, DWORD type, const void* data, std::size_t bytes) {
        return ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kPlace, name, type, data, static_cast<DWORD>(bytes)) == 0;
    };
    const std::wstring fits(341, L'日'), tooLong(342, L'日');  // with the zero, 1024 and 1027 bytes in UTF-8
    ASSERT_TRUE(set(L"PATH", REG_SZ, program.c_str(), program.size() * 2));  // no terminating zero
    ASSERT_TRUE(set(L"Fits", REG_SZ, fits.c_str(), fits.size() * 2 + 2));
    ASSERT_TRUE(set(L"TooLong", REG_SZ, tooLong.c_str(), tooLong.size() * 2 + 2));
    Win32Registry registry;
    Win32Files files;
    Win32System system;
    testing::FakePlatform ui;
    info::StartSysInfo(info::SysInfoServices{registry, files, system, ui});
    EXPECT_EQ(RunOf(log), program + L"\n\"" + program + L"\"");
    EXPECT_EQ(ui.log, testing::Log{});
    std::string text;
    const auto read = [&](const char* name) {
        return platform::GetKeyValue(registry, platform::RegistryRoot::LocalMachine, Narrow(kPlace), name, text);
    };
    EXPECT_TRUE(read("Fits") == platform::ValueRead::Read && text == Narrow(fits));
    EXPECT_EQ(read("TooLong"), platform::ValueRead::Missing);
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kPlace);
}

// The real IP.EXE started by its path unquoted (Kestrum quotes it; other starters may
// not), from a folder with a blank in its name: the exit code (-1: it had not ended
// after 20 s) and the address it stored.
using Ran = std::pair<long, std::optional<std::string>>;
Ran RunIpExe(const std::wstring& arguments) {
    const wchar_t kPublic[] = L"Software\\VB and VBA Program Settings\\KESTRUM\\PROPERTIES";
    wchar_t temp[MAX_PATH] = {};
    const std::wstring folder = std::wstring(temp, ::GetTempPathW(MAX_PATH, temp)) + L"Kestrum IP test";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ::CopyFileW((ThisFolder() + L"\\IP.EXE").c_str(), (folder + L"\\IP.EXE").c_str(), FALSE);
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kPublic, L"IP");
    std::wstring commandLine = folder + L"\\IP.EXE --quiet " + arguments;
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return {-2, std::nullopt};
    DWORD code = 0;
    if (::WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0) ::GetExitCodeProcess(process.hProcess, &code);
    else ::TerminateProcess(process.hProcess, code = static_cast<DWORD>(-1));
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return {static_cast<long>(code), RegistrySettings().getSetting("KESTRUM", "PROPERTIES", "IP")};
}

TEST(IpExe, StoresTheAddressAStunServerOnLoopbackSees) {
    const char* server = std::getenv("KESTRUM_STUN");
    if (!server) GTEST_SKIP() << "KESTRUM_STUN (host:port of a STUN server on loopback) is not set";
    EXPECT_EQ(RunIpExe(L"--stun " + Widen(server) + L" --deadline 8000"), Ran(0, "127.0.0.1"));
}

TEST(IpExe, TakesOnlyASuccessfulAnswerThroughTheProxyAndEndsWhenTheProxyHangs) {
    LoopbackHttpServer proxy([](const HttpRequest& request) {
        HttpResponse response{request.target.starts_with("http://echo.invalid") ? 200 : 503, "203.0.113.7\r\n"};
        response.hang = request.target.starts_with("http://hang.invalid");
        return response;
    });
    UseLoopbackProxy(proxy.port());
    const Ran failed{1, std::nullopt};
    EXPECT_EQ(RunIpExe(L"--url http://error.invalid/ --deadline 5000"), failed);
    EXPECT_EQ(RunIpExe(L"--url http://hang.invalid/ --deadline 1500"), failed) << "-1: it did not end";
    EXPECT_EQ(RunIpExe(L"--url http://echo.invalid/ --deadline 8000"), Ran(0, "203.0.113.7"));
    ASSERT_EQ(proxy.requests().size(), 3u);
    EXPECT_NE(proxy.requests()[2].headers.find("User-Agent: Kestrum 1.2\r\n"), std::string::npos);
    UseLoopbackProxy(0);
}

}  // namespace
}  // namespace kestrum::win32
