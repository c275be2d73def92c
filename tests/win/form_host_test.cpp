// The form host building the main window from its table, in this process, so the
// menus (which the platform keeps per process) can be read back.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "app/frmKestrum_layout.h"
#include "platform/win32/form_host.h"
#include "platform/win32/message_loop.h"
#include "platform/win32/resource.h"
#include "tests/support/child_windows.h"

namespace kestrum::win32 {
namespace {

using testsupport::FindControl;
using testsupport::RectInParent;

struct MenuEntry {
    std::wstring text;
    bool enabled;
    bool separator;
    bool operator==(const MenuEntry&) const = default;
};

std::vector<MenuEntry> ReadMenu(HMENU menu) {
    std::vector<MenuEntry> entries;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        wchar_t buffer[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING | MIIM_STATE | MIIM_FTYPE;
        info.dwTypeData = buffer;
        info.cch = 255;
        ::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        entries.push_back({buffer, !(info.fState & MFS_GRAYED), (info.fType & MFT_SEPARATOR) != 0});
    }
    return entries;
}

class Recorder : public platform::FormEvents {
public:
    void Form_Load() override { events.push_back("load"); }
    void Form_Resize() override { events.push_back("resize"); }
    void Form_Activate() override { events.push_back("activate"); }
    void Form_DpiChanged() override { events.push_back("dpi"); }
    void onClick(int id) override { events.push_back("click " + std::to_string(id)); }
    void onChange(int id) override { events.push_back("change " + std::to_string(id)); }
    std::vector<std::string> events;
};

class FormHostTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(form.create(nullptr));
        form.setEvents(&recorder);
    }
    FormWindow form{app::KestrumLayout(), IDI_KESTRUM};
    Recorder recorder;
};

TEST_F(FormHostTest, BuildsTheMenusWithShortcutsAndStartStates) {
    HMENU bar = ::GetMenu(form.hwnd());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(ReadMenu(bar), (std::vector<MenuEntry>{{L"&Action", true, false}, {L"&Help", true, false}}));
    // "Get IP" starts hidden.
    EXPECT_EQ(ReadMenu(::GetSubMenu(bar, 0)), (std::vector<MenuEntry>{{L"&Remote Desktop\tCtrl+R", false, false},
                                                                       {L"&Browse Shared Folder\tCtrl+B", false, false},
                                                                       {L"", true, true},
                                                                       {L"E&xit\tCtrl+Q", true, false}}));
    EXPECT_EQ(ReadMenu(::GetSubMenu(bar, 1)),
              (std::vector<MenuEntry>{{L"How &To...\tCtrl+T", true, false}, {L"&About\tCtrl+A", true, false}}));

    // Shown, it takes its place in the table's order; hidden again, it leaves.
    form.control(app::mnuGetIP).setVisible(true);
    form.control(app::mnuGetIP).setEnabled(true);
    const std::vector<MenuEntry> withGetIp = ReadMenu(::GetSubMenu(bar, 0));
    ASSERT_EQ(withGetIp.size(), 5u);
    EXPECT_EQ(withGetIp[2], (MenuEntry{L"&Get IP\tCtrl+G", true, false}));
    form.control(app::mnuRD).setEnabled(true);
    EXPECT_TRUE(ReadMenu(::GetSubMenu(bar, 0))[0].enabled);
    EXPECT_TRUE(form.control(app::mnuRD).enabled());
    form.control(app::mnuGetIP).setVisible(false);
    EXPECT_EQ(ReadMenu(::GetSubMenu(bar, 0)).size(), 4u);
    EXPECT_FALSE(form.control(app::mnuGetIP).visible());
}

TEST_F(FormHostTest, CarriesItsIconInBothSizes) {
    auto big = reinterpret_cast<HICON>(::SendMessageW(form.hwnd(), WM_GETICON, ICON_BIG, 0));
    auto small = reinterpret_cast<HICON>(::SendMessageW(form.hwnd(), WM_GETICON, ICON_SMALL, 0));
    ASSERT_NE(big, nullptr);
    ASSERT_NE(small, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(big, &info));
    BITMAP bitmap{};
    ::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 32);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
}

TEST_F(FormHostTest, DeliversLoadResizeThenActivationAndControlEvents) {
    form.show();
    PumpPendingMessages();
    ASSERT_GE(recorder.events.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(recorder.events.begin(), recorder.events.begin() + 3),
              (std::vector<std::string>{"load", "resize", "activate"}));

    recorder.events.clear();
    form.control(app::txtRemoteIP).setText("14-27-39-21");
    EXPECT_EQ(form.control(app::txtRemoteIP).text(), "14-27-39-21");
    form.control(app::cmdCreateSession).setEnabled(true);
    ::SendMessageW(::GetDlgItem(::GetDlgItem(form.hwnd(), app::picRemote), app::cmdCreateSession), BM_CLICK, 0, 0);
    ::SendMessageW(form.hwnd(), WM_COMMAND, MAKEWPARAM(app::mnuAbout, 1), 0);  // a shortcut
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"change " + std::to_string(app::txtRemoteIP),
                                                         "click " + std::to_string(app::cmdCreateSession),
                                                         "click " + std::to_string(app::mnuAbout)}));
}

TEST_F(FormHostTest, ControlsReportWhatWasSetOnThem) {
    platform::Control& status = form.control(app::lblConnection);
    EXPECT_EQ(status.text(), "Try to connecting...");
    EXPECT_EQ(status.foreColor(), 0xC00000u);
    status.setText("My Computer is online.");
    status.setForeColor(0x00FF00);
    EXPECT_EQ(status.text(), "My Computer is online.");
    EXPECT_EQ(status.foreColor(), 0x00FF00u);

    platform::Control& retry = form.control(app::cmdTRY);
    EXPECT_FALSE(retry.visible());
    retry.setVisible(true);
    EXPECT_TRUE(retry.visible());

    // Text of any length, in any script.
    const std::string longId(100000, '7');
    form.control(app::txtRemoteIP).setText(longId);
    EXPECT_EQ(form.control(app::txtRemoteIP).text(), longId);
    form.control(app::txtRemoteIP).setText("Grüße-日本-1-2");
    EXPECT_EQ(form.control(app::txtRemoteIP).text(), "Grüße-日本-1-2");
}

TEST_F(FormHostTest, UnloadDestroysTheWindow) {
    HWND hwnd = form.hwnd();
    form.unload();
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(form.hwnd(), nullptr);
    // The main window's end posts the quit message; take it off the queue again.
    MSG msg;
    EXPECT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

std::wstring Text(HWND hwnd) {
    wchar_t buffer[256] = {};
    ::GetWindowTextW(hwnd, buffer, 256);
    return buffer;
}

int IconWidth(HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) return 0;
    BITMAP bitmap{};
    ::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

// The Try Again button where the logic may put it, in twips from the left.
constexpr int kMovedLeft = 1000;

// Every control where its twips fall at the dpi, its font in points at the dpi.
void ExpectLaidOutAt(FormWindow& form, int dpi) {
    for (const platform::ControlSpec& c : app::KestrumLayout().controls) {
        HWND control = FindControl(form.hwnd(), c.id);
        const RECT place = RectInParent(control);
        const int left = c.id == app::cmdTRY ? kMovedLeft : c.left;
        const RECT wanted{platform::TwipsToPixels(left, dpi), platform::TwipsToPixels(c.top, dpi),
                          platform::TwipsToPixels(left, dpi) + platform::TwipsToPixels(c.width, dpi),
                          platform::TwipsToPixels(c.top, dpi) + platform::TwipsToPixels(c.height, dpi)};
        EXPECT_TRUE(::EqualRect(&place, &wanted)) << c.name << " at " << place.left << "," << place.top << ","
                                                  << place.right << "," << place.bottom << " at dpi " << dpi;
        if (c.kind == platform::ControlKind::PictureBox) continue;  // shows no text
        const platform::FontSpec font = c.font ? *c.font : app::KestrumLayout().font;
        LOGFONTW log{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof log, &log);
        EXPECT_EQ(log.lfHeight, -platform::PointsToPixels(font.points, dpi)) << c.name << " at dpi " << dpi;
    }
    RECT client;
    ::GetClientRect(form.hwnd(), &client);
    EXPECT_EQ(client.right, platform::TwipsToPixels(app::KestrumLayout().clientWidth, dpi));
    EXPECT_EQ(client.bottom, platform::TwipsToPixels(app::KestrumLayout().clientHeight, dpi));
    // The window's image covers the client area in pixels.
    BITMAP image{};
    ::GetObjectW(::GetCurrentObject(form.imageDc(), OBJ_BITMAP), sizeof image, &image);
    EXPECT_EQ(image.bmWidth, client.right);
    EXPECT_EQ(image.bmHeight, client.bottom);
    auto big = reinterpret_cast<HICON>(::SendMessageW(form.hwnd(), WM_GETICON, ICON_BIG, 0));
    EXPECT_EQ(IconWidth(big), ::GetSystemMetricsForDpi(SM_CXICON, static_cast<UINT>(dpi)));
}

void ChangeDpi(FormWindow& form, int dpi, POINT at) {
    RECT suggested{at.x, at.y, at.x + 300, at.y + 200};  // the size is the window's to choose
    ::SendMessageW(form.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

TEST_F(FormHostTest, OnAMonitorOfAnotherDpiEverythingKeepsItsTwipsAndTheLogicRepaints) {
    form.show();
    PumpPendingMessages();
    const int start = form.dpi();
    // A place the logic chose outlives the move as well as the table's do.
    form.control(app::cmdTRY).setLeft(kMovedLeft);
    ExpectLaidOutAt(form, start);
    recorder.events.clear();

    for (int dpi : {144, 192, 120, start}) {
        ChangeDpi(form, dpi, {40, 30});
        EXPECT_EQ(form.dpi(), dpi);
        RECT frame;
        ::GetWindowRect(form.hwnd(), &frame);
        EXPECT_EQ(frame.left, 40);
        EXPECT_EQ(frame.top, 30);
        // Back at the start, not a pixel has drifted.
        ExpectLaidOutAt(form, dpi);
        // Told once, after the controls and the window have their new sizes.
        EXPECT_EQ(recorder.events, (std::vector<std::string>{"resize", "dpi"}));
        recorder.events.clear();
    }
}

// Accessibility events of this process, as a screen reader is told of them.
struct SeenEvent {
    DWORD event;
    HWND hwnd;
    LONG object, child;
    bool operator==(const SeenEvent&) const = default;
};
std::vector<SeenEvent> seenEvents;
void CALLBACK RecordEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    seenEvents.push_back({event, hwnd, object, child});
}

TEST_F(FormHostTest, TheIdBoxesAreNamedByTheirLabelsAndTheStatusLineIsReadOut) {
    // A screen reader names a text box after the label just before it.
    const std::pair<int, const wchar_t*> named[] = {
        {app::txtLocalIP, L"Local ID"}, {app::txtRemoteIP, L"Enter ID of Remote Computer"},
        {app::txtAlternateID, L"Alternate ID"}};
    for (const auto& [box, label] : named) {
        HWND before = ::GetWindow(FindControl(form.hwnd(), box), GW_HWNDPREV);
        ASSERT_NE(before, nullptr) << box;
        wchar_t windowClass[32] = {};
        ::GetClassNameW(before, windowClass, 32);
        EXPECT_EQ(_wcsicmp(windowClass, L"Static"), 0) << box;
        EXPECT_EQ(Text(before), label);
    }

    // A new status is announced: its name changed, and it is a live region.
    seenEvents.clear();
    HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
                                           RecordEvent, ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    HWND status = FindControl(form.hwnd(), app::lblConnection);
    form.control(app::lblConnection).setText("My Computer is online.");
    PumpPendingMessages();
    ::UnhookWinEvent(hook);
    const auto seen = [&](DWORD event) {
        return std::count(seenEvents.begin(), seenEvents.end(), SeenEvent{event, status, OBJID_CLIENT, CHILDID_SELF});
    };
    EXPECT_GE(seen(EVENT_OBJECT_NAMECHANGE), 1);
    EXPECT_EQ(seen(EVENT_OBJECT_LIVEREGIONCHANGED), 1);
}

}  // namespace
}  // namespace kestrum::win32
