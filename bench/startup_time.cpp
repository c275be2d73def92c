// How long kestrum.exe takes to put its windows on screen, against a minimal
// window program, measured side by side in alternating runs:
// - from the start of the process until its main window is visible, and until the
//   screen shows all of it painted (probe points that a first run learns);
// - from a menu command (About, How-To) until that window is visible, against the
//   minimal program opening a plain window of the same client size;
// - in a few more starts of each, read as whole frames: how often the screen showed
//   a window half painted.
// Prints medians, bests, ratios and counts; asserts nothing. Usage: startup_time [RUNS].

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/frm_kestrum_layout.h"
#include "bench/screen_frames.h"
#include "info/frm_about_layout.h"
#include "info/frm_how_to_layout.h"
#include "platform/identity.h"

namespace {

using namespace kestrum;
using namespace kestrum::bench;

std::wstring Wide(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }

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

// From a start time: when the window became visible, and when the screen first showed
// all of it painted.
struct Shown {
    double visible = -1, painted = -1;
};

// A first run only learns the look; given frames, a run watches them and is not timed.
Shown WaitUntilShown(double start, const std::function<HWND()>& find, Look& look, Frames* frames) {
    HWND window = nullptr;
    Shown shown;
    if (!WaitFor([&] { return (window = find()) != nullptr; })) return shown;
    if (look.colours.empty()) {
        Learn(look, window);
        return shown;
    }
    shown.visible = Now() - start;
    const std::vector<POINT> points = ProbePoints(window, look.layout);
    if (frames) WatchFrames(window, points, look, *frames);
    else if (WaitFor([&] { return OnScreen(window, points) == look.colours; })) shown.painted = Now() - start;
    return shown;
}

// From CreateProcess to a visible window with the caption, and to its first painted frame.
Shown TimeToWindow(const std::wstring& exe, const std::wstring& caption, Look& look, Frames* frames) {
    if (frames) frames->before = std::make_unique<ScreenArea>(ScreenArea::WholeScreen());
    Process process(exe, L"");
    if (!process.id()) return {};
    return WaitUntilShown(
        process.started(), [&] { return FindVisible(process.id(), caption); }, look, frames);
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

// From a menu command posted to the program's idle main window to the window it opens,
// visible and painted. A fresh process each time, so that each run opens the window for
// the first time, as a user does.
Shown TimeToOpen(const std::wstring& exe, const std::wstring& arguments, const std::wstring& mainCaption, int command,
                 const std::wstring& caption, const wchar_t* idleStatus, Look& look, Frames* frames) {
    Process process(exe, arguments);
    HWND main = nullptr;
    if (!process.id() || !WaitFor([&] { return (main = FindVisible(process.id(), mainCaption)) != nullptr; }))
        return {};
    // kestrum.exe's first discovery blocks its window until the status says how it went.
    if (idleStatus && !WaitFor([&] { return ChildTextStarts(main, idleStatus); })) return {};
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    ::Sleep(100);  // settled
    if (frames) frames->before = std::make_unique<ScreenArea>(ScreenArea::WholeScreen());
    const double start = Now();
    ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    return WaitUntilShown(
        start, [&] { return FindVisible(process.id(), caption); }, look, frames);
}

struct Figures {
    double median, best;
};

Figures Summary(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.front()};
}

// A start of one program's window: timed when given no frames to read.
using Start = std::function<Shown(Frames*)>;

// Both measurements taken in turn, each run of one followed by a run of the other,
// after a first run of each that learns how the window looks painted; then a few
// more starts of each, read as whole frames, for half-painted ones.
void Compare(const wchar_t* what, int runs, const Start& floor, const Start& ours) {
    floor(nullptr);
    ours(nullptr);
    std::vector<double> a[2], b[2];
    for (int i = 0; i < runs; ++i) {
        for (const auto& [take, into] : {std::pair{&floor, a}, {&ours, b}}) {
            const Shown shown = (*take)(nullptr);
            into[0].push_back(shown.visible);
            into[1].push_back(shown.painted);
        }
    }
    for (int i = 0; i < 2; ++i) {
        const Figures f = Summary(a[i]), o = Summary(b[i]);
        std::wprintf(
            L"%-16ls %-8ls minimal median %4.0f best %4.0f | kestrum median %4.0f best %4.0f | ratio median %.2f "
            L"best %.2f (%d runs each)\n",
            what, i ? L"painted" : L"visible", f.median, f.best, o.median, o.best, o.median / f.median, o.best / f.best,
            runs);
    }
    Frames fa, fb;
    for (int i = 0; i < std::max(3, runs / 3); ++i) {
        floor(&fa);
        ours(&fb);
    }
    std::wprintf(L"%-16ls half-painted frames: minimal in %d of %d starts | kestrum in %d of %d starts\n", what,
                 fa.halfPainted, fa.starts, fb.halfPainted, fb.starts);
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

    Look minimalMain, kestrumMain{&app::KestrumLayout()};
    Compare(
        L"start to main", runs, [&](Frames* f) { return TimeToWindow(minimal, L"Minimal Window", minimalMain, f); },
        [&](Frames* f) { return TimeToWindow(kestrum, title, kestrumMain, f); });

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
        Look second, window{&o.layout};
        Compare(
            o.name, runs,
            [&](Frames* f) {
                return TimeToOpen(minimal, size, L"Minimal Window", 1, L"Minimal Second", nullptr, second, f);
            },
            [&](Frames* f) {
                return TimeToOpen(kestrum, L"", title, o.command, o.caption, L"My Computer is", window, f);
            });
    }
    return 0;
}
