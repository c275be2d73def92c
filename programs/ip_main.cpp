// IP.EXE: finds the public IPv4 address and leaves it in the settings store.
// It shows no window; only a bad command line or --help earns a message box (not with --quiet).

#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "ipexe/program.h"
#include "platform/win32/dll_search.h"
#include "platform/win32/message_box.h"
#include "platform/win32/program_file.h"
#include "platform/win32/settings.h"
#include "platform/win32/text.h"
#include "platform/win32/udp_http_random.h"
#include "platform/win32/unique_handle.h"

namespace {

std::vector<std::string> CommandLineTokens() {
    int count = 0;
    const kestrum::win32::UniqueLocalMemory<LPWSTR> list(::CommandLineToArgvW(::GetCommandLineW(), &count));
    std::vector<std::string> tokens;
    for (int i = 0; list && i < count; ++i) tokens.push_back(kestrum::win32::Narrow(list.get()[i]));
    return tokens;
}

// The address is in the registry by now: nothing of ours is left to flush. The
// losing sources may still sit in a name lookup or a web request, holding locks of
// the C runtime, Winsock or WinINet. ExitProcess (and exit, and quick_exit, which
// end in it) would stop them where they stand and then run every DLL's detach code
// and our static destructors, which may wait on those locks or free what the
// stopped threads were using. TerminateProcess ends every thread at once and runs
// no more code of this process; it does not return.
void EndProcess(int exitCode) { ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(exitCode)); }

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace kestrum;
    win32::LockDllSearchToSystemFolder();  // before anything else is loaded
    try {
        const ipexe::Network network{std::make_shared<win32::WinsockUdpNetwork>(),
                                     std::make_shared<win32::WininetHttpClient>(),
                                     std::make_shared<win32::SystemRandom>()};
        win32::RegistrySettings settings;
        const ipexe::Outcome outcome =
            ipexe::RunIpExe(ipexe::ProgramArguments(CommandLineTokens(), win32::ProgramFile()), network, settings);
        // Not through the Ui adapter, which would link the whole window host into a
        // program without windows.
        if (!outcome.message.empty())
            win32::ShowMessageBox(nullptr, outcome.message,
                                  MB_OK | (outcome.messageIsError ? MB_ICONERROR : MB_ICONINFORMATION), "IP.EXE");
        EndProcess(outcome.exitCode);  // here, so that nothing above is destroyed first
    } catch (...) {
        // Out of memory, say: no answer, and the stored value as it was.
    }
    EndProcess(ipexe::kNoAnswer);
    return ipexe::kNoAnswer;
}
