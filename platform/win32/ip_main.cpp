// IP.EXE: finds the public IPv4 address and leaves it in the settings store.
// It shows no window; only a bad command line earns a message box (not with --quiet).

#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "ipexe/program.h"
#include "platform/win32/registry_settings.h"
#include "platform/win32/system_random.h"
#include "platform/win32/text.h"
#include "platform/win32/udp_exchange.h"
#include "platform/win32/wininet_get.h"

namespace {

struct LocalFreer {
    void operator()(LPWSTR* list) const { ::LocalFree(list); }
};

std::vector<std::string> CommandLineTokens() {
    int count = 0;
    const std::unique_ptr<LPWSTR, LocalFreer> list(::CommandLineToArgvW(::GetCommandLineW(), &count));
    std::vector<std::string> tokens;
    for (int i = 0; list && i < count; ++i) tokens.push_back(kestrum::win32::Narrow(list.get()[i]));
    return tokens;
}

std::string ProgramPath() {
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return kestrum::win32::Narrow(path);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Before anything else is loaded: DLLs from the system folder only, never
    // from the current folder or beside the exe (a download folder, say).
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    ::SetDllDirectoryW(L"");
    using namespace kestrum;
    const ipexe::Network network{std::make_shared<win32::WinsockUdpNetwork>(),
                                 std::make_shared<win32::WininetHttpClient>(),
                                 std::make_shared<win32::SystemRandom>()};
    win32::RegistrySettings settings;
    const ipexe::Outcome outcome =
        ipexe::RunIpExe(ipexe::ProgramArguments(CommandLineTokens(), ProgramPath()), network, settings);
    if (!outcome.message.empty())
        ::MessageBoxW(nullptr, win32::Widen(outcome.message).c_str(), L"IP.EXE",
                      MB_OK | (outcome.messageIsError ? MB_ICONERROR : MB_ICONINFORMATION));
    // The losing sources may sit in a name lookup or a web request for a long
    // while yet; end them with the process rather than wait (or risk a DLL's
    // clean-up meeting one of them half-way).
    ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(outcome.exitCode));
    return outcome.exitCode;
}
