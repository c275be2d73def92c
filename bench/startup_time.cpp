// How long kestrum.exe takes to put its windows on screen, against a minimal
// window program, measured side by side in alternating runs:
// - from the start of the process until its main window is visible;
// - from a menu command (About, How-To) until that window is visible, against the
//   minimal program opening a plain window of the same client size.
// Prints medians, bests and ratios; asserts nothing. Usage: startup_time [RUNS].

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/frm_kestrum_layout.h"
#include "info/frm_about_layout.h"
#include "info/frm_how_to_layout.h"
#include "platform/identity.h"

namespace {

using namespace kestrum;

std::wstring Wide(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }

double Now() {
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// A visible top-level window of the process with that caption, or null.
HWND FindVisible(DWORD processId, const std::wstring& caption) {
    struct Search {
        DWORD processId;
        const std::wstring& caption;
        HWND found;
    } search{processId, caption, nullptr};
    ::EnumWindows(
        [](HWND hwnd, LPARAM param) CALLBACK -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(hwnd, &owner);
            wchar_t text[128] = {};
            ::GetWindowTextW(hwnd, text, 128);
            if (owner != s->processId || !::IsWindowVisible(hwnd) || s->caption != text) return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Polls until the condition holds; false after 30 s.
bool WaitFor(const std::function<bool()>& condition) {
    const double start = Now();
    while (!condition()) {
        if (Now() - start > 30000) return false;
        ::Sleep(1);
    }
    return true;
}

class Process {
public:
    Process(const std::wstring& exe, const std::wstring& arguments) {
        std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started_ = Now();
        if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &info_))
            info_ = {};
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process() {
        if (!info_.hProcess) return;
        ::TerminateProcess(info_.hProcess, 0);
        ::WaitForSingleObject(info_.hProcess, 5000);
        ::CloseHandle(info_.hProcess);
        ::CloseHandle(info_.hThread);
    }
    DWORD id() const { return info_.dwProcessId; }
    double started() const { return started_; }

private:
    PROCESS_INFORMATION info_{};
    double started_ = 0;
};

// Milliseconds from CreateProcess to a visible window with the caption, or -1.
double TimeToWindow(const std::wstring& exe, const std::wstring& caption) {
    Process process(exe, L"");
    HWND found = nullptr;
    if (!process.id() || !WaitFor([&] { return (found = FindVisible(process.id(), caption)) != nullptr; })) return -1;
    return Now() - process.started();
}

// The main window's status line, read through the window's children.
bool ChildTextStarts(HWND window, const wchar_t* prefix) {
    struct Search {
        const wchar_t* prefix;
        bool found;
    } search{prefix, false};
    ::EnumChildWindows(
        window,
        [](HWND child, LPARAM param) CALLBACK -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            wchar_t text[128] = {};
            ::GetWindowTextW(child, text, 128);
            s->found = std::wcsncmp(text, s->prefix, std::wcslen(s->prefix)) == 0;
            return !s->found;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Milliseconds from a menu command posted to the program's idle main window to
// the visible window it opens, or -1. A fresh process each time, so that each
// run opens the window for the first time, as a user does.
double TimeToOpen(const std::wstring& exe, const std::wstring& arguments, const std::wstring& mainCaption, int command,
                  const std::wstring& caption, const wchar_t* idleStatus) {
    Process process(exe, arguments);
    HWND main = nullptr;
    if (!process.id() || !WaitFor([&] { return (main = FindVisible(process.id(), mainCaption)) != nullptr; }))
        return -1;
    // kestrum.exe's first discovery blocks its window until the status says how it went.
    if (idleStatus && !WaitFor([&] { return ChildTextStarts(main, idleStatus); })) return -1;
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    ::Sleep(100);  // settled
    const double start = Now();
    ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    if (!WaitFor([&] { return FindVisible(process.id(), caption) != nullptr; })) return -1;
    return Now() - start;
}

struct Figures {
    double median, best;
};

Figures Summary(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.front()};
}

// Both measurements taken in turn, each run of one followed by a run of the other.
void Compare(const wchar_t* what, int runs, const std::function<double()>& floor, const std::function<double()>& ours) {
    std::vector<double> a, b;
    for (int i = 0; i < runs; ++i) {
        a.push_back(floor());
        b.push_back(ours());
    }
    const Figures f = Summary(a), o = Summary(b);
    std::wprintf(
        L"%-22ls minimal median %4.0f best %4.0f | kestrum median %4.0f best %4.0f | ratio median %.2f "
        L"best %.2f (%d runs each)\n",
        what, f.median, f.best, o.median, o.best, o.median / f.median, o.best / f.best, runs);
    std::fflush(stdout);
}

int ClientPixels(int twips) { return platform::TwipsToPixels(twips, 96); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 15;
    wchar_t path[MAX_PATH * 2] = {};
    std::wstring folder(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH * 2));
    if (const auto slash = folder.find_last_of(L'\\'); slash != std::wstring::npos) folder.resize(slash);
    const std::wstring minimal = folder + L"\\minimal_window.exe", kestrum = folder + L"\\kestrum.exe";
    const std::wstring title = Wide(platform::kAppTitle);

    Compare(
        L"start to main window", runs, [&] { return TimeToWindow(minimal, L"Minimal Window"); },
        [&] { return TimeToWindow(kestrum, title); });

    struct Opened {
        const wchar_t* name;
        const platform::FormDef& layout;
        int command;
        std::wstring caption;
    };
    const Opened opened[] = {
        {L"click to About", info::AboutLayout(), app::Id(app::KestrumId::mnuAbout), L"About " + title},
        {L"click to How-To", info::HowToLayout(), app::Id(app::KestrumId::mnuHowTO), Wide(info::HowToLayout().caption)},
    };
    for (const Opened& o : opened) {
        const std::wstring size = std::to_wstring(ClientPixels(o.layout.clientWidth)) + L" " +
                                  std::to_wstring(ClientPixels(o.layout.clientHeight));
        Compare(
            o.name, runs, [&] { return TimeToOpen(minimal, size, L"Minimal Window", 1, L"Minimal Second", nullptr); },
            [&] { return TimeToOpen(kestrum, L"", title, o.command, o.caption, L"My Computer is"); });
    }
    return 0;
}
