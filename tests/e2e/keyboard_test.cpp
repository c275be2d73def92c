// The main window used from the keyboard alone: the focus waits in the remote ID
// box, typing goes there, and Tab walks the controls in the layout's tab order.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <vector>

#include "app/frmKestrum_layout.h"
#include "tests/e2e/running_kestrum.h"

namespace kestrum::e2e {
namespace {

// Keys pressed through the input queue, as a person would; each pair down, up.
void Press(HWND window, std::vector<WORD> keys) {
    ::SetForegroundWindow(window);
    ::Sleep(100);
    std::vector<INPUT> events;
    for (WORD key : keys) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wVk = key;
        events.push_back(down);
    }
    std::reverse(keys.begin(), keys.end());
    for (WORD key : keys) {
        INPUT up{};
        up.type = INPUT_KEYBOARD;
        up.ki.wVk = key;
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        events.push_back(up);
    }
    ::SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
}

// The control that has the keyboard focus in the window's thread; 0 when none.
int FocusedId(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) || !info.hwndFocus) return 0;
    return ::GetDlgCtrlID(info.hwndFocus);
}

int WaitForFocusOtherThan(HWND window, int previous) {
    for (int i = 0; i < 100 && FocusedId(window) == previous; ++i) ::Sleep(20);
    return FocusedId(window);
}

// Boxes and buttons that are shown and enabled now, in the table's tab order.
std::vector<int> TabStopsFromTable(HWND window) {
    std::vector<const platform::ControlSpec*> stops;
    for (const platform::ControlSpec& c : app::KestrumLayout().controls) {
        if (c.kind != platform::ControlKind::TextBox && c.kind != platform::ControlKind::Button) continue;
        HWND hwnd = FindControl(window, c.id);
        if (hwnd && ::IsWindowVisible(hwnd) && ::IsWindowEnabled(hwnd)) stops.push_back(&c);
    }
    std::sort(stops.begin(), stops.end(), [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
    std::vector<int> ids;
    ids.reserve(stops.size());
    for (auto* c : stops) ids.push_back(c->id);
    return ids;
}

// Tab (or Shift+Tab) pressed steps times; the control focused after each.
std::vector<int> WalkWithTab(HWND window, size_t steps, bool backwards) {
    std::vector<int> seen;
    int focus = FocusedId(window);
    for (size_t i = 0; i < steps; ++i) {
        Press(window, backwards ? std::vector<WORD>{VK_SHIFT, VK_TAB} : std::vector<WORD>{VK_TAB});
        focus = WaitForFocusOtherThan(window, focus);
        seen.push_back(focus);
    }
    return seen;
}

// The order the table gives, starting after the given control and wrapping.
std::vector<int> Following(const std::vector<int>& order, int from, size_t steps, bool backwards) {
    const auto at = std::find(order.begin(), order.end(), from);
    if (at == order.end()) return {};
    const size_t n = order.size();
    size_t index = static_cast<size_t>(at - order.begin());
    std::vector<int> ids;
    for (size_t i = 0; i < steps; ++i) {
        index = backwards ? (index + n - 1) % n : (index + 1) % n;
        ids.push_back(order[index]);
    }
    return ids;
}

class Keyboard : public RunningKestrum {};

TEST_F(Keyboard, FocusStartsInTheRemoteIdBoxAndTabFollowsTheLayout) {
    testsupport::UseLoopbackProxy(testsupport::ClosedLoopbackPort());
    HWND main = Start();
    ASSERT_NE(main, nullptr);
    // On screen, before and after the first discovery: the remote ID box.
    for (int i = 0; i < 100 && FocusedId(main) == 0; ++i) ::Sleep(20);
    EXPECT_EQ(FocusedId(main), app::txtRemoteIP);
    ASSERT_EQ(WaitForStatus(main, 60000), kOffline);
    EXPECT_EQ(FocusedId(main), app::txtRemoteIP);

    // Offline and no remote ID: the commands for it are disabled, Try Again shown.
    const std::vector<int> offline = TabStopsFromTable(main);
    EXPECT_EQ(offline, (std::vector<int>{app::txtLocalIP, app::txtRemoteIP, app::cmdTRY, app::txtAlternateID}));
    // Once round: back in the remote ID box.
    EXPECT_EQ(WalkWithTab(main, offline.size(), false), Following(offline, app::txtRemoteIP, offline.size(), false));
    ASSERT_EQ(FocusedId(main), app::txtRemoteIP);

    // Typed into the remote ID box: the commands for it take part too.
    Press(main, {'1'});
    EXPECT_EQ(WaitForText(FindControl(main, app::txtRemoteIP), {L"1"}, 5000), L"1");
    const std::vector<int> typed = TabStopsFromTable(main);
    EXPECT_EQ(typed, (std::vector<int>{app::txtLocalIP, app::txtRemoteIP, app::cmdCreateSession, app::cmdTRY,
                                       app::cmdBrowse, app::cmdGETIP, app::txtAlternateID}));
    EXPECT_EQ(WalkWithTab(main, typed.size() + 1, false), Following(typed, app::txtRemoteIP, typed.size() + 1, false));
    const int from = FocusedId(main);
    EXPECT_EQ(WalkWithTab(main, typed.size(), true), Following(typed, from, typed.size(), true));
}

}  // namespace
}  // namespace kestrum::e2e
