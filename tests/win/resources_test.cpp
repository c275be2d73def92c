// The information windows give back all they take: resized again and again, or
// opened and closed again and again, the process holds no more GDI objects, user
// objects, handles or windows than after the first time. The platform's counters
// are used where it keeps them; the GDI objects the program holds through its own
// owners, and the thread's windows, are counted always.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/frmKestrum_layout.h"
#include "info/frmAbout.h"
#include "info/frmHowTo.h"
#include "paint/ApplyGradient.h"
#include "paint/clsGradient.h"
#include "platform/win32/form_host.h"
#include "platform/win32/gdi_paint.h"
#include "platform/win32/message_loop.h"
#include "platform/win32/resource.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_forms.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_system.h"
#include "tests/support/recording_ui.h"

namespace kestrum::win32 {
namespace {

// A counter the platform keeps, if it keeps it: one more object of its kind must
// move it by one.
template <typename Read, typename Make, typename Free>
std::optional<DWORD> PlatformCount(Read read, Make make, Free free) {
    const DWORD before = read();
    auto probe = make();
    const DWORD with = read();
    free(probe);
    if (with != before + 1) return std::nullopt;
    return read();
}

DWORD GuiObjects(DWORD kind) { return ::GetGuiResources(::GetCurrentProcess(), kind); }

DWORD Handles() {
    DWORD count = 0;
    return ::GetProcessHandleCount(::GetCurrentProcess(), &count) ? count : 0;
}

// The process's entries in the system's list of open handles: the handle count
// where the platform does not keep one of its own.
DWORD ListedHandles() {
    using Query = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
    static const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    constexpr ULONG kExtendedHandleInformation = 64;
    constexpr LONG kLengthMismatch = static_cast<LONG>(0xC0000004);
    std::vector<ULONG_PTR> buffer(4096);
    LONG status;
    while ((status = query(kExtendedHandleInformation, buffer.data(),
                           static_cast<ULONG>(buffer.size() * sizeof(ULONG_PTR)), nullptr)) == kLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status != 0) return 0;
    // The number of entries and a reserved word; then each entry: the object, the
    // process and the handle, pointer-sized, and 16 bytes of access and flags.
    constexpr size_t kFirst = 2 * sizeof(ULONG_PTR), kEntry = 3 * sizeof(ULONG_PTR) + 16;
    const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data());
    DWORD count = 0;
    for (ULONG_PTR i = 0; i < buffer[0]; ++i) {
        ULONG_PTR process = 0;
        std::memcpy(&process, bytes + kFirst + i * kEntry + sizeof(ULONG_PTR), sizeof process);
        count += process == ::GetCurrentProcessId();
    }
    return count;
}

BOOL CALLBACK CountOne(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

BOOL CALLBACK CountWithDescendants(HWND window, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    ::EnumChildWindows(window, CountOne, count);
    return TRUE;
}

struct Figures {
    std::optional<DWORD> gdi, user, handles;
    bool handlesListed = false;  // counted from the system's list
    long heldGdi = 0;
    int windows = 0;

    static Figures Now() {
        PumpPendingMessages();
        Figures now;
        now.gdi = PlatformCount([] { return GuiObjects(GR_GDIOBJECTS); },
                                [] { return ::CreatePen(PS_SOLID, 1, 0); }, [](HPEN pen) { ::DeleteObject(pen); });
        now.user = PlatformCount([] { return GuiObjects(GR_USEROBJECTS); }, [] { return ::CreateMenu(); },
                                 [](HMENU menu) { ::DestroyMenu(menu); });
        const auto event = [] { return ::CreateEventW(nullptr, TRUE, FALSE, nullptr); };
        const auto close = [](HANDLE handle) { ::CloseHandle(handle); };
        now.handles = PlatformCount(Handles, event, close);
        if (!now.handles) {
            now.handles = PlatformCount(ListedHandles, event, close);
            now.handlesListed = now.handles.has_value();
        }
        now.heldGdi = HeldGdiObjects::Count();
        ::EnumThreadWindows(::GetCurrentThreadId(), CountWithDescendants, reinterpret_cast<LPARAM>(&now.windows));
        return now;
    }
};

std::string Change(long first, long last) {
    std::string text = std::to_string(first);
    text += "->";
    text += std::to_string(last);
    return text;
}

std::string Change(const std::optional<DWORD>& first, const std::optional<DWORD>& last) {
    if (!first || !last) return "not counted";
    return Change(static_cast<long>(*first), static_cast<long>(*last));
}

// Prints the figures and checks that the last round left no more than the first.
void ExpectNothingKept(const std::string& what, const Figures& first, const Figures& last) {
    std::cout << "resources: " << what << ": gdi " << Change(first.gdi, last.gdi) << ", user "
              << Change(first.user, last.user) << ", handles " << Change(first.handles, last.handles)
              << (last.handlesListed ? " (system handle list)" : "")
              << ", live owned GDI " << Change(first.heldGdi, last.heldGdi) << ", windows "
              << Change(first.windows, last.windows) << std::endl;
    const auto expectNoMore = [&](const char* counter, const std::optional<DWORD>& before,
                                  const std::optional<DWORD>& after) {
        if (before && after) {
            EXPECT_LE(*after, *before) << what << ": " << counter << " " << Change(before, after);
        }
    };
    expectNoMore("GDI objects", first.gdi, last.gdi);
    expectNoMore("user objects", first.user, last.user);
    expectNoMore("handles", first.handles, last.handles);
    EXPECT_EQ(last.heldGdi, first.heldGdi) << what << ": owned GDI objects " << Change(first.heldGdi, last.heldGdi);
    EXPECT_LE(last.windows, first.windows) << what << ": windows " << Change(first.windows, last.windows);
}

// A window's own logic, watched: its loads and sizes are counted, and it is closed
// as soon as it is on screen, by Esc (its cancel button) or by the close box in turns.
class Watched : public platform::FormEvents {
public:
    Watched(platform::FormView& view, std::unique_ptr<platform::FormEvents> logic, bool closeWhenShown)
        : view_(view), logic_(std::move(logic)), closeWhenShown_(closeWhenShown) {}
    void Form_Load() override {
        ++loads;
        logic_->Form_Load();
    }
    void Form_Resize() override {
        ++resizes;
        logic_->Form_Resize();
    }
    void Form_DpiChanged() override { logic_->Form_DpiChanged(); }
    void Form_Activate() override {
        if (!closeWhenShown_) return;
        const auto window = reinterpret_cast<HWND>(view_.windowHandle());
        if (loads % 2) ::PostMessageW(::GetFocus() ? ::GetFocus() : window, WM_KEYDOWN, VK_ESCAPE, 0);
        else ::PostMessageW(window, WM_CLOSE, 0, 0);
    }
    void onClick(int id) override { logic_->onClick(id); }
    void onChange(int id) override { logic_->onChange(id); }

    static inline int loads = 0;
    static inline int resizes = 0;

private:
    platform::FormView& view_;
    std::unique_ptr<platform::FormEvents> logic_;
    bool closeWhenShown_;
};

constexpr int kOpenings = 100;

class Resources : public testing::Test {
protected:
    void SetUp() override { Watched::loads = Watched::resizes = 0; }
    void TearDown() override {
        paint::ResetSharedPainterForTesting();
        paint::clsGradient::ResetSettingsForTesting();
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    std::unique_ptr<platform::FormEvents> HowTo(platform::FormView& view) {
        return std::make_unique<info::frmHowTo>(view, "C:\\Kestrum", info::HowToServices{ui, colors, shell});
    }
    std::unique_ptr<platform::FormEvents> About(platform::FormView& view, HWND main) {
        return std::make_unique<info::frmAbout>(view, reinterpret_cast<std::uintptr_t>(main),
                                                info::AboutServices{ui, colors, {registry, files, system, ui}});
    }
    // Opens the window as the Help menu does, a hundred times; returns the figures
    // after the first opening and after the last.
    std::pair<Figures, Figures> OpenAHundredTimes(const platform::FormSpec& layout, bool about) {
        FormWindow main(app::KestrumLayout(), IDI_KESTRUM);
        EXPECT_TRUE(main.create(nullptr));
        main.show();
        Win32Forms forms;
        Figures first;
        for (int i = 1; i <= kOpenings; ++i) {
            forms.showModal(layout, [&](platform::FormView& view) {
                return std::make_unique<Watched>(view, about ? About(view, main.hwnd()) : HowTo(view), true);
            });
            if (i == 1) first = Figures::Now();
        }
        EXPECT_EQ(Watched::loads, kOpenings);
        return {first, Figures::Now()};
    }
    testsupport::RecordingUi ui;
    Win32SystemColors colors;
    Win32Shell shell;
    Win32Registry registry;
    Win32Files files;
    Win32System system;
};

TEST_F(Resources, TheHowToWindowKeepsNothingAcrossFiveHundredResizes) {
    const long heldBefore = HeldGdiObjects::Count();
    {
        FormWindow window(info::HowToLayout(), 0);
        ASSERT_TRUE(window.createModal());
        Watched logic(window, HowTo(window), false);
        window.setEvents(&logic);
        window.show();
        PumpPendingMessages();
        EXPECT_GT(HeldGdiObjects::Count(), heldBefore) << "the window's fonts and image are not counted";
        RECT frame;
        ::GetWindowRect(window.hwnd(), &frame);
        const int width = frame.right - frame.left, height = frame.bottom - frame.top;
        Figures first;
        for (int i = 1; i <= 500; ++i) {
            // From two fifths of the designed size to eight fifths, a new size each time.
            ::SetWindowPos(window.hwnd(), nullptr, 0, 0, width * (40 + i * 37 % 121) / 100,
                           height * (40 + i * 61 % 121) / 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            PumpPendingMessages();
            if (i == 1) first = Figures::Now();
        }
        EXPECT_EQ(Watched::resizes, 501);  // the first size, from show(), and every one after
        ExpectNothingKept("How-To 500 resizes", first, Figures::Now());
        window.setEvents(nullptr);
    }
    EXPECT_EQ(HeldGdiObjects::Count(), heldBefore) << "the window's end let go of everything it held";
}

TEST_F(Resources, TheAboutBoxKeepsNothingAcrossAHundredOpenings) {
    const auto [first, last] = OpenAHundredTimes(info::AboutLayout(), true);
    ExpectNothingKept("About box 100 openings", first, last);
}

TEST_F(Resources, TheHowToWindowKeepsNothingAcrossAHundredOpenings) {
    const auto [first, last] = OpenAHundredTimes(info::HowToLayout(), false);
    ExpectNothingKept("How-To 100 openings", first, last);
}

}  // namespace
}  // namespace kestrum::win32
