// The form host building the windows from their tables in this process, where places
// in pixels, fonts, menus, keys, modal showing, the GDI pixels of the gradient sweep
// and the objects the windows hold can be read back.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/frm_kestrum_layout.h"
#include "info/frm_about_layout.h"
#include "info/frm_how_to_layout.h"
#include "paint/apply_gradient.h"
#include "platform/win32/form_host.h"
#include "platform/win32/forms.h"
#include "platform/win32/message_loop.h"
#include "platform/win32/resource.h"
#include "platform/win32/system.h"
#include "platform/win32/text.h"
#include "tests/support/child_windows.h"
#include "tests/support/fakes.h"

namespace kestrum::win32 {
namespace {

using platform::Id;
using enum app::KestrumId;
using enum info::AboutId;
using enum info::HowToId;
using testing::operator+;  // NOLINT(misc-unused-using-decls): clang-tidy does not see GCC use it
using testsupport::FindControl;

class Recorder : public platform::FormEvents {
public:
    void onLoad() override { events.push_back("load"); }
    void onResize() override { events.push_back("resize"); }
    void onActivate() override { events.push_back("activate"); }
    void onClick(int id) override { events.push_back("click " + std::to_string(id)); }
    void onChange(int id) override { events.push_back("change " + std::to_string(id)); }
    std::vector<std::string> events;
};

std::string Click(int id) { return "click " + std::to_string(id); }

// The menu bar as the platform shows it, and as its entries' states say: "text" or
// "text|grey" each, "-" for a line, each menu followed by its entries.
std::string Entry(HMENU menu, int i) {
    wchar_t text[64] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
    const UINT state = ::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
    return (state & MF_SEPARATOR) ? "-" : Narrow(text) + ((state & MF_GRAYED) ? "|grey" : "");
}
std::vector<std::string> Shown(HMENU bar) {
    std::vector<std::string> entries;
    for (int i = 0; i < ::GetMenuItemCount(bar); ++i) {
        entries.push_back(Entry(bar, i));
        HMENU menu = ::GetSubMenu(bar, i);
        for (int j = 0; j < ::GetMenuItemCount(menu); ++j) entries.push_back(Entry(menu, j));
    }
    return entries;
}
// The lines a recording canvas saw, drawn here with plain GDI calls into a w by h image,
// black at first: what the program's drawing through its canvas must show.
class Replay {
public:
    Replay(const std::vector<testing::Line>& lines, int w, int h)
        : old_(::SelectObject(dc_, ::CreateBitmap(w, h, 1, 32, nullptr))) {
        const RECT all{0, 0, w, h};
        ::FillRect(dc_, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        for (const auto& [x1, y1, x2, y2, color] : lines) {
            HGDIOBJ before = ::SelectObject(dc_, ::CreatePen(PS_SOLID, 1, static_cast<COLORREF>(color)));
            ::MoveToEx(dc_, static_cast<int>(x1), static_cast<int>(y1), nullptr);
            ::LineTo(dc_, static_cast<int>(x2), static_cast<int>(y2));
            ::DeleteObject(::SelectObject(dc_, before));
        }
    }
    ~Replay() {
        ::DeleteObject(::SelectObject(dc_, old_));
        ::DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    // Pixels of dc's top-left w by h unlike these; the first few described.
    std::string mismatches(HDC dc, int w, int h) const {
        std::string report;
        int count = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (const COLORREF got = ::GetPixel(dc, x, y); got != ::GetPixel(dc_, x, y) && ++count <= 3)
                    report += " (" + std::to_string(x) + "," + std::to_string(y) + ")=" + std::to_string(got);
        return count ? std::to_string(count) + " pixels differ:" + report : "";
    }

private:
    HDC dc_ = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old_;
};

// What a window can hold on to: the GDI objects the program owns, and the thread's windows.
std::pair<long, int> Held() {
    PumpPendingMessages();
    int windows = 0;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(), [](HWND, LPARAM total) CALLBACK { return BOOL(++*reinterpret_cast<int*>(total)); },
        reinterpret_cast<LPARAM>(&windows));
    return {HeldGdiObjects::Count(), windows};
}

class FormHost : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(main.create(nullptr));
        main.setEvents(&recorder);
    }
    void TearDown() override {
        main.unload();
        MSG quit;  // the main window's end
        EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_EQ(ui.log, testing::Log{}) << "a message was shown";
    }
    FormWindow main{app::KestrumLayout(), IDI_KESTRUM};
    Recorder recorder;
    testing::FakePlatform ui;  // answers no colours: the painter's are its defaults
    Win32SystemColors colors;
    paint::GradientState gradient{ui, colors};
};

TEST_F(FormHost, DeliversTheEventsMenusShowTheirEntriesAndEveryShortcutClicksItsEntry) {
    main.show();
    PumpPendingMessages();
    main.control(Id(txtRemoteIP)).setText("140-25-36-19 Grüße 日本");
    EXPECT_EQ(main.control(Id(txtRemoteIP)).text(), "140-25-36-19 Grüße 日本");
    // A new status is read out by screen readers: its name changed, and it is a live region.
    static std::vector<DWORD> announced;
    static HWND status;
    status = FindControl(main.hwnd(), Id(lblConnection));
    HWINEVENTHOOK hook = ::SetWinEventHook(
        EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
        [](HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD, DWORD) CALLBACK {
            if (hwnd == status && object == OBJID_CLIENT && child == CHILDID_SELF) announced.push_back(event);
        },
        ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    main.control(Id(lblConnection)).setText("My Computer is online.");
    PumpPendingMessages();
    ::UnhookWinEvent(hook);
    EXPECT_EQ(std::count(announced.begin(), announced.end(), DWORD(EVENT_OBJECT_LIVEREGIONCHANGED)), 1);
    EXPECT_GE(std::count(announced.begin(), announced.end(), DWORD(EVENT_OBJECT_NAMECHANGE)), 1);
    ::SendMessageW(FindControl(main.hwnd(), Id(cmdCreateSession)), BM_CLICK, 0, 0);  // inside a picture box
    std::vector<std::string> wanted{"load", "resize", "activate", "change " + std::to_string(Id(txtRemoteIP)),
                                    Click(Id(cmdCreateSession))};

    // The menus as the user sees them: Get IP hidden at first, and About second in Help, where it always was.
    const testing::Log exit = {"-", "E&xit\tCtrl+Q"},
                       help = {"&Help", "How &To...\tCtrl+T", "&About\tCtrl+A", "&Connection Check...\tCtrl+K"};
    const testing::Log firstAction = {"&Action", "&Remote Desktop\tCtrl+R|grey", "&Browse Shared Folder\tCtrl+B|grey"};
    EXPECT_EQ(Shown(::GetMenu(main.hwnd())), firstAction + exit + help);
    main.control(Id(mnuGetIP)).setVisible(true);  // enters between its elder and younger siblings
    for (int id : {Id(mnuRD), Id(mnuBrowse), Id(mnuGetIP)}) main.control(id).setEnabled(true);
    const testing::Log action = {"&Action", "&Remote Desktop\tCtrl+R", "&Browse Shared Folder\tCtrl+B"};
    EXPECT_EQ(Shown(::GetMenu(main.hwnd())), action + testing::Log{"&Get IP\tCtrl+G"} + exit + help);
    BYTE keys[256] = {};
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    const std::pair<char, app::KestrumId> shortcuts[] = {{'R', mnuRD},   {'B', mnuBrowse}, {'G', mnuGetIP},
                                                         {'Q', mnuExit}, {'T', mnuHowTO},  {'A', mnuAbout},
                                                         {'K', mnuCheck}};
    for (const auto& [key, entry] : shortcuts) {
        MSG press{FindControl(main.hwnd(), Id(txtRemoteIP)), WM_KEYDOWN, static_cast<WPARAM>(key), 0, 0, {}};
        EXPECT_TRUE(main.preTranslate(press)) << key;
        wanted.push_back(Click(Id(entry)));
    }
    keys[VK_CONTROL] = 0;
    ::SetKeyboardState(keys);
    EXPECT_EQ(recorder.events, wanted);
    main.control(Id(mnuGetIP)).setVisible(false);
    EXPECT_EQ(Shown(::GetMenu(main.hwnd())), action + exit + help);
    // A button that hides or disables itself with the focus hands it on in tab order (past the disabled ones).
    for (const auto take : {&platform::Control::setVisible, &platform::Control::setEnabled}) {
        main.control(Id(cmdTRY)).setVisible(true);
        main.control(Id(cmdTRY)).setEnabled(true);
        ::SetFocus(FindControl(main.hwnd(), Id(cmdTRY)));
        (main.control(Id(cmdTRY)).*take)(false);
        EXPECT_EQ(::GetDlgCtrlID(::GetFocus()), Id(txtAlternateID));
    }
    // A menu of the bar that is hidden is out of the bar, and goes with its window all the same.
    HMENU popup = nullptr;
    {
        FormWindow other(app::KestrumLayout(), 0);
        ASSERT_TRUE(other.createModal());
        popup = ::GetSubMenu(::GetMenu(other.hwnd()), 0);
        other.control(Id(mnuAction)).setVisible(false);
        EXPECT_TRUE(::IsMenu(popup));
    }
    EXPECT_FALSE(::IsMenu(popup));
}

// Every control where its twips fall at the dpi (moved: at kMovedLeft), in the face its table
// names and a height that follows the dpi from the first one seen (heights: by control, that dpi
// and height); the client area, its image and the frame's kind.
constexpr int kMovedLeft = 1000;
using Heights = std::map<std::string, std::pair<int, LONG>>;
void ExpectLaidOutAt(FormWindow& form, const platform::FormDef& formDef, int dpi, int moved, Heights& heights) {
    const auto px = [dpi](int twips) { return platform::TwipsToPixels(twips, dpi); };
    for (const platform::ControlDef& c : formDef.controls) {
        SCOPED_TRACE(::testing::Message() << formDef.name << "." << c.name << " at dpi " << dpi);
        HWND control = FindControl(form.hwnd(), c.id);
        const RECT place = RectInParent(control);
        const int left = c.id == moved ? kMovedLeft : c.left;
        const RECT wanted{px(left), px(c.top), px(left) + px(c.width), px(c.top) + px(c.height)};
        EXPECT_TRUE(::EqualRect(&place, &wanted))
            << place.left << "," << place.top << "," << place.right << "," << place.bottom;
        if (c.kind == platform::ControlKind::PictureBox || c.kind == platform::ControlKind::RichText) continue;
        LOGFONTW font{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
        const std::string_view face = (c.font ? *c.font : formDef.font).face;
        EXPECT_TRUE(face.empty() || Narrow(font.lfFaceName) == face) << Narrow(font.lfFaceName);
        const auto [first, _] = heights.emplace(std::string(c.name), std::pair(dpi, font.lfHeight));
        const auto& [firstDpi, firstHeight] = first->second;
        EXPECT_NEAR(font.lfHeight, double(firstHeight) * dpi / firstDpi, dpi == firstDpi ? 0 : 1);
        // Big enough for its caption in its own font: a label wraps it within its width, a
        // button keeps it on one line within its edges.
        const bool label = c.kind == platform::ControlKind::Label;
        wchar_t text[512] = {};
        const std::wstring caption(text, ::GetWindowTextW(control, text, 512));
        if ((!label && c.kind != platform::ControlKind::Button) || caption.empty()) continue;
        RECT client, needed{};
        ::GetClientRect(control, &client);
        needed.right = client.right - (label ? 0 : 2 * ::GetSystemMetricsForDpi(SM_CXEDGE, UINT(dpi)));
        const LONG room = needed.right;
        HDC dc = ::GetDC(control);
        HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
        ::DrawTextW(dc, caption.c_str(), -1, &needed, DT_CALCRECT | (label ? DT_WORDBREAK : DT_SINGLELINE));
        ::SelectObject(dc, old);
        ::ReleaseDC(control, dc);
        EXPECT_TRUE(needed.right <= room && needed.bottom <= client.bottom)
            << "too small for its text: " << needed.right << " by " << needed.bottom;
    }
    RECT client;
    ::GetClientRect(form.hwnd(), &client);
    BITMAP image{};
    ::GetObjectW(::GetCurrentObject(form.imageDc(), OBJ_BITMAP), sizeof image, &image);
    EXPECT_EQ(std::vector<LONG>({client.right, client.bottom, image.bmWidth, image.bmHeight}),
              std::vector<LONG>({px(formDef.clientWidth), px(formDef.clientHeight), client.right, client.bottom}));
    const bool sizable = ::GetWindowLongPtrW(form.hwnd(), GWL_STYLE) & WS_THICKFRAME;
    const bool tool = ::GetWindowLongPtrW(form.hwnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW;
    EXPECT_EQ(sizable, formDef.border == platform::Border::Sizable);
    EXPECT_EQ(tool, formDef.border == platform::Border::FixedToolWindow);
}

TEST_F(FormHost, AtAnyDpiEveryWindowKeepsItsTwipsAndPointsAndTheLogicRepaintsOnce) {
    main.show();
    PumpPendingMessages();
    FormWindow about(info::AboutLayout(), 0), howTo(info::HowToLayout(), 0);
    ASSERT_TRUE(about.createModal() && howTo.createModal());
    const std::pair<FormWindow*, const platform::FormDef*> forms[] = {
        {&main, &app::KestrumLayout()}, {&about, &info::AboutLayout()}, {&howTo, &info::HowToLayout()}};
    main.control(Id(cmdTRY)).setLeft(kMovedLeft);  // a place the logic chose outlives the moves
    recorder.events.clear();
    const int dpis[] = {main.dpi(), 120, 144, 192, main.dpi()};  // back at the start, not a pixel has drifted
    std::pair<long, int> afterFirstMove;                         // which made the icons of its own
    std::map<FormWindow*, Heights> heights;
    for (int i = 0; i < 5; ++i) {
        for (auto [form, formDef] : forms) {
            RECT suggested{40, 30, 340, 230}, frame;  // the size is the window's to choose
            if (i) ::SendMessageW(form->hwnd(), WM_DPICHANGED, MAKEWPARAM(dpis[i], dpis[i]), LPARAM(&suggested));
            ::GetWindowRect(form->hwnd(), &frame);
            EXPECT_TRUE(!i || (frame.left == 40 && frame.top == 30)) << formDef->name;
            ExpectLaidOutAt(*form, *formDef, dpis[i], form == &main ? Id(cmdTRY) : 0, heights[form]);
        }
        EXPECT_EQ(recorder.events, (i ? std::vector<std::string>{"resize"} : std::vector<std::string>{}));
        recorder.events.clear();
        if (i == 1) afterFirstMove = Held();
    }
    EXPECT_EQ(Held(), afterFirstMove) << "fonts, images and icons of the other dpis kept";
    // The About box's icon box shows the main window's icon.
    about.setPictureToMainWindowIcon(Id(picIcon));
    int drawn = 0;
    for (int i = 0; i < 32 * 32; ++i)
        drawn += ::GetPixel(about.imageDc(Id(picIcon)), i % 32, i / 32) != ::GetSysColor(COLOR_BTNFACE);
    EXPECT_GT(drawn, 100);
    // The How-To window holds the whole document; its link reports clicks and shows the hand.
    HWND box = FindControl(howTo.hwnd(), Id(rtfHowTo)), link = FindControl(howTo.hwnd(), Id(Label1));
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(box)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(box, text.data(), static_cast<int>(text.size()))));
    EXPECT_TRUE(text.starts_with(L"KESTRUM 1.2") && text.find(L"THANK YOU FOR USING KESTRUM.") != text.npos);
    howTo.setEvents(&recorder);
    ::SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    howTo.setEvents(nullptr);
    EXPECT_EQ(recorder.events, std::vector<std::string>{Click(Id(Label1))});
    ::SendMessageW(howTo.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, 0));
    EXPECT_EQ(::GetCursor(), ::LoadImageW(::GetModuleHandleW(nullptr), L"HANDPOINTER", IMAGE_CURSOR, 0, 0,
                                          LR_DEFAULTSIZE | LR_SHARED));
}

// Work that throws is told of in a box with the window's caption; its completion runs all the same.
TEST_F(FormHost, WorkThatFailsIsToldOfAndItsCompletionRunsAllTheSame) {
    static std::vector<std::string> boxes;  // "title|text" of each message box, closed as it comes up
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) CALLBACK {
        wchar_t title[64] = {}, text[64] = {};
        HWND box = ::GetActiveWindow();
        if (::GetDlgItemTextW(box, 0xFFFF, text, 64) && ::GetWindowTextW(box, title, 64) && ::EndDialog(box, IDOK))
            boxes.push_back(Narrow(title) + "|" + Narrow(text));
    });
    const auto record = [this](bool worked) { recorder.events.push_back(worked ? "worked" : "failed"); };
    main.runInBackground([] { throw std::runtime_error("No router answered"); }, record);
    main.runInBackground([] {}, record);
    PumpPendingMessages();
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(boxes, std::vector<std::string>{std::string(app::KestrumLayout().caption) + "|No router answered"});
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"failed", "worked"}));
}

// Presses Enter (to the window) and Esc (to a control) once it is on screen, and unloads
// it at the second click: the default and the cancel button's.
class ClosedByKeys : public Recorder {
public:
    explicit ClosedByKeys(platform::FormView& view) : view_(view) {}
    void onActivate() override {
        const auto window = reinterpret_cast<HWND>(view_.windowHandle());
        mainTookInput = ::IsWindowEnabled(main) != FALSE;
        ::PostMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
        ::PostMessageW(::GetWindow(window, GW_CHILD), WM_KEYDOWN, VK_ESCAPE, 0);
    }
    void onClick(int id) override {
        clicks.push_back(id);
        if (clicks.size() == 2) view_.unload();
    }
    static inline HWND main = nullptr;
    static inline bool mainTookInput = true;
    static inline std::vector<int> clicks;

private:
    platform::FormView& view_;
};

TEST_F(FormHost, AModalWindowKeepsTheOthersDisabledUntilUnloadedAndEnterAndEscClickItsButtons) {
    main.show();
    PumpPendingMessages();
    ClosedByKeys::main = main.hwnd();
    Win32Forms().showModal(info::AboutLayout(),
                           [](platform::FormView& view) { return std::make_unique<ClosedByKeys>(view); });
    EXPECT_EQ(ClosedByKeys::clicks, (std::vector<int>{Id(cmdOK), Id(cmdOK)}));
    EXPECT_FALSE(ClosedByKeys::mainTookInput);
    EXPECT_TRUE(::IsWindowEnabled(main.hwnd()));
    EXPECT_EQ(::GetActiveWindow(), main.hwnd());
    MSG quit;
    EXPECT_FALSE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "a modal window ended the program";
}

// The main window's image holds exactly the sweep's lines (the unit tests see every
// octant and the pens), its panels the top-left part, its labels show it, unlocked.
TEST_F(FormHost, TheWindowShowsExactlyThePixelsOfTheSweepAndLabelsShowIt) {
    paint::ApplyGradient(main.paintTarget(), gradient);
    const std::pair<long, int> painted = Held();
    paint::clsGradient(gradient).CustomizeForm(main.paintTarget());  // swept again: ApplyGradient would not
    EXPECT_EQ(Held(), painted) << "painting again kept objects";
    for (int panel : {Id(picLocal), Id(picRemote)}) main.setPictureFromForm(panel);
    EXPECT_TRUE(::LockWindowUpdate(main.hwnd())) << "the window was left locked";
    ::LockWindowUpdate(nullptr);
    RECT client;
    ::GetClientRect(main.hwnd(), &client);
    testing::FakePlatform seen;
    ASSERT_GT(paint::clsGradient(gradient).DrawGradient(&seen, client.right, client.bottom), 0);
    const Replay sweep(seen.lines, client.right, client.bottom);
    EXPECT_EQ(sweep.mismatches(main.imageDc(), client.right, client.bottom), "");
    for (int panel : {Id(picLocal), Id(picRemote)}) {
        ::GetClientRect(FindControl(main.hwnd(), panel), &client);
        EXPECT_EQ(sweep.mismatches(main.imageDc(panel), client.right, client.bottom), "") << panel;
    }
    // A label without text shows just what lies beneath it: on the window, or in a panel.
    for (auto [label, parent] : {std::pair{Id(lblConnection), 0}, {Id(Label2_1), Id(picLocal)}}) {
        main.control(label).setText("");
        HWND hwnd = FindControl(main.hwnd(), label);
        const RECT at = RectInParent(hwnd);
        const Replay printed({}, at.right - at.left, at.bottom - at.top);
        ::SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(printed.dc()), PRF_CLIENT | PRF_ERASEBKGND);
        HDC beneath = main.imageDc(parent);
        ::SetViewportOrgEx(beneath, at.left, at.top, nullptr);  // its pixels read from the label's corner
        EXPECT_EQ(printed.mismatches(beneath, at.right - at.left, at.bottom - at.top), "") << label;
        ::SetViewportOrgEx(beneath, 0, 0, nullptr);
    }
}

}  // namespace
}  // namespace kestrum::win32
