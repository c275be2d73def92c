// The form host building the About box and the How-To window from their tables:
// lines, default and cancel buttons, rich text, clickable labels, the hand pointer,
// layout by the logic, and modal showing.

#include <gtest/gtest.h>

#include <windows.h>

#include <commdlg.h>
#include <richedit.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "app/frmKestrum_layout.h"
#include "info/frmAbout.h"
#include "info/frmAbout_layout.h"
#include "info/frmHowTo_layout.h"
#include "paint/ApplyGradient.h"
#include "paint/clsGradient.h"
#include "platform/win32/form_host.h"
#include "platform/win32/gdi_paint.h"
#include "platform/win32/message_loop.h"
#include "platform/win32/resource.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_forms.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system.h"
#include "tests/support/child_windows.h"
#include "tests/support/recording_ui.h"

namespace kestrum::win32 {
namespace {

using testsupport::RectInParent;

class Recorder : public platform::FormEvents {
public:
    void Form_Resize() override { ++resizes; }
    void onClick(int id) override { clicks.push_back(id); }
    std::vector<int> clicks;
    int resizes = 0;
};

void DropQuitMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

class InfoWindowHost : public testing::Test {
protected:
    void TearDown() override {
        paint::ResetSharedPainterForTesting();
        paint::clsGradient::ResetSettingsForTesting();
        DropQuitMessages();
    }
    int Px(int twips, const FormWindow& form) { return platform::TwipsToPixels(twips, form.dpi()); }
    Recorder recorder;
};

TEST_F(InfoWindowHost, TheAboutBoxIsAFixedToolWindowOfItsSize) {
    FormWindow about(info::AboutLayout(), 0);
    ASSERT_TRUE(about.createModal());
    const LONG_PTR style = ::GetWindowLongPtrW(about.hwnd(), GWL_STYLE);
    const LONG_PTR exStyle = ::GetWindowLongPtrW(about.hwnd(), GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    RECT client;
    ::GetClientRect(about.hwnd(), &client);
    EXPECT_EQ(client.right, Px(5730, about));
    EXPECT_EQ(client.bottom, Px(3555, about));
    EXPECT_NEAR(about.scaleWidth(), 5730, 15);
    EXPECT_NEAR(about.scaleHeight(), 3555, 15);
    EXPECT_EQ(::SendMessageW(about.hwnd(), WM_GETICON, ICON_BIG, 0), 0);  // none of its own

    about.setCaption("About Kestrüm");
    wchar_t caption[64] = {};
    ::GetWindowTextW(about.hwnd(), caption, 64);
    EXPECT_STREQ(caption, L"About Kestrüm");

    // Controls without a font of their own get the platform's dialog font.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                             static_cast<UINT>(about.dpi())));
    LOGFONTW font{};
    auto titleFont = reinterpret_cast<HFONT>(::SendMessageW(::GetDlgItem(about.hwnd(), info::lblTitle), WM_GETFONT, 0, 0));
    ASSERT_NE(titleFont, nullptr);
    ::GetObjectW(titleFont, sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, metrics.lfMessageFont.lfFaceName);

    // The credit line has room for several lines and wraps; the version has one.
    EXPECT_EQ(::GetWindowLongPtrW(::GetDlgItem(about.hwnd(), info::lblDisclaimer), GWL_STYLE) & SS_TYPEMASK, SS_LEFT);
    EXPECT_EQ(::GetWindowLongPtrW(::GetDlgItem(about.hwnd(), info::lblVersion), GWL_STYLE) & SS_TYPEMASK,
              SS_LEFTNOWORDWRAP);
}

TEST_F(InfoWindowHost, TheSeparatorLiesOverWhateverWasPaintedBeneathIt) {
    FormWindow about(info::AboutLayout(), 0);
    ASSERT_TRUE(about.createModal());
    HDC image = about.imageDc();
    RECT client;
    ::GetClientRect(about.hwnd(), &client);
    ::FillRect(image, &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    about.refresh();
    const int x = Px(2000, about);
    const int white = Px(2460, about), grey = Px(2445, about);
    // The grey line is drawn last, over the white one's upper row.
    EXPECT_EQ(::GetPixel(image, x, grey), 0x808080u);
    EXPECT_EQ(::GetPixel(image, x, white), 0xFFFFFFu);
    EXPECT_EQ(::GetPixel(image, x, white + 2), 0x000000u);
    EXPECT_EQ(::GetPixel(image, x, grey - 2), 0x000000u);
    EXPECT_EQ(::GetPixel(image, Px(60, about), white), 0x000000u);  // they start at 90 and 105 twips
}

TEST_F(InfoWindowHost, OkIsTheDefaultAndTheCancelButtonAndEscReachesItFromAnyControl) {
    FormWindow about(info::AboutLayout(), 0);
    ASSERT_TRUE(about.createModal());
    about.setEvents(&recorder);
    EXPECT_EQ(::SendMessageW(about.hwnd(), DM_GETDEFID, 0, 0), MAKELRESULT(info::cmdOK, DC_HASDEFID));
    EXPECT_TRUE(::GetWindowLongPtrW(::GetDlgItem(about.hwnd(), info::cmdOK), GWL_STYLE) & BS_DEFPUSHBUTTON);
    EXPECT_FALSE(::GetWindowLongPtrW(::GetDlgItem(about.hwnd(), info::cmdSysInfo), GWL_STYLE) & BS_DEFPUSHBUTTON);

    // Esc as the dialog keys report it, and as it arrives at the System Info button.
    ::SendMessageW(about.hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    MSG esc{::GetDlgItem(about.hwnd(), info::cmdSysInfo), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_TRUE(about.preTranslate(esc));
    EXPECT_EQ(recorder.clicks, (std::vector<int>{info::cmdOK, info::cmdOK}));

    // Enter with the focus on no button: the default button's click.
    recorder.clicks.clear();
    about.show();
    PumpPendingMessages();
    ::SetFocus(about.hwnd());
    MSG enter{about.hwnd(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    about.preTranslate(enter);
    EXPECT_EQ(recorder.clicks, (std::vector<int>{info::cmdOK}));
}

TEST_F(InfoWindowHost, AWindowWithoutACancelButtonLeavesEscAlone) {
    FormWindow main(app::KestrumLayout(), IDI_KESTRUM);
    ASSERT_TRUE(main.create(nullptr));
    main.setEvents(&recorder);
    MSG esc{main.hwnd(), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    main.preTranslate(esc);
    EXPECT_TRUE(recorder.clicks.empty());
    EXPECT_EQ(::SendMessageW(main.hwnd(), DM_GETDEFID, 0, 0), 0);
}

TEST_F(InfoWindowHost, TheIconBoxShowsTheMainWindowsIcon) {
    FormWindow main(app::KestrumLayout(), IDI_KESTRUM);
    ASSERT_TRUE(main.create(nullptr));
    FormWindow about(info::AboutLayout(), 0);
    ASSERT_TRUE(about.createModal());
    about.setPictureToIconOf(info::picIcon, main.windowHandle());

    // The same icon drawn on the same background, for comparison.
    auto icon = reinterpret_cast<HICON>(::SendMessageW(main.hwnd(), WM_GETICON, ICON_BIG, 0));
    ASSERT_NE(icon, nullptr);
    HDC screen = ::GetDC(nullptr);
    HDC reference = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 32, 32);
    HGDIOBJ old = ::SelectObject(reference, bitmap);
    RECT all{0, 0, 32, 32};
    ::FillRect(reference, &all, ::GetSysColorBrush(COLOR_BTNFACE));
    ::DrawIconEx(reference, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    HDC box = about.imageDc(info::picIcon);
    int differing = 0, notBackground = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            differing += ::GetPixel(box, x, y) != ::GetPixel(reference, x, y);
            notBackground += ::GetPixel(box, x, y) != ::GetSysColor(COLOR_BTNFACE);
        }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(notBackground, 100);
    ::SelectObject(reference, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(reference);
    ::ReleaseDC(nullptr, screen);
}

std::wstring BoxText(HWND box) {
    const int length = ::GetWindowTextLengthW(box);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(box, text.data(), length + 1)));
    return text;
}

// Selects the first occurrence of what and reads its character and paragraph formats.
bool FormatOf(HWND box, const std::wstring& what, CHARFORMAT2W& chars, PARAFORMAT2& para) {
    FINDTEXTEXW find{};
    find.chrg = {0, -1};
    find.lpstrText = what.c_str();
    const LRESULT at = ::SendMessageW(box, EM_FINDTEXTEXW, FR_DOWN | FR_MATCHCASE, reinterpret_cast<LPARAM>(&find));
    if (at < 0) return false;
    ::SendMessageW(box, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&find.chrgText));
    chars = {};
    chars.cbSize = sizeof chars;
    chars.dwMask = CFM_BOLD | CFM_UNDERLINE | CFM_COLOR | CFM_SIZE | CFM_FACE;
    ::SendMessageW(box, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&chars));
    para = {};
    para.cbSize = sizeof para;
    para.dwMask = PFM_STARTINDENT | PFM_OFFSET;
    ::SendMessageW(box, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&para));
    return true;
}

TEST_F(InfoWindowHost, TheHowToBoxHoldsTheDocumentInCapitalsWithItsFormatting) {
    FormWindow howTo(info::HowToLayout(), 0);
    ASSERT_TRUE(howTo.createModal());
    HWND box = ::GetDlgItem(howTo.hwnd(), info::rtfHowTo);
    ASSERT_NE(box, nullptr);
    wchar_t className[64] = {};
    ::GetClassNameW(box, className, 64);
    EXPECT_TRUE(_wcsicmp(className, L"RICHEDIT50W") == 0 || _wcsicmp(className, L"RichEdit20W") == 0) << className;
    EXPECT_TRUE(::GetWindowLongPtrW(box, GWL_STYLE) & ES_READONLY);
    EXPECT_TRUE(::GetWindowLongPtrW(box, GWL_STYLE) & ES_MULTILINE);

    const std::wstring text = BoxText(box);
    ASSERT_GT(text.size(), 1000u);
    EXPECT_EQ(text.find(L"KESTRUM 1.2"), 0u);
    for (const wchar_t* topic : {L"REMOTE CONNECTION UTILITY FOR THE INTERNET", L"RUN AS ADMINISTRATOR",
                                 L"ALTERNATE ID", L"1.\tREMOTE DESKTOP", L"2.\tBROWSE SHARED FOLDER",
                                 L"SYSTEM PROPERTIES", L"BOTH COMPUTERS", L"PRODUCES THE LOCAL ID",
                                 L"SERVER OPERATING SYSTEMS", L"CANNOT BE REACHED BY REMOTE DESKTOP",
                                 L"THANK YOU FOR USING KESTRUM."})
        EXPECT_NE(text.find(topic), std::wstring::npos) << Narrow(topic);
    EXPECT_FALSE(std::any_of(text.begin(), text.end(), [](wchar_t c) { return std::iswlower(c); }));

    CHARFORMAT2W chars{};
    PARAFORMAT2 para{};
    ASSERT_TRUE(FormatOf(box, L"KESTRUM 1.2", chars, para));
    EXPECT_TRUE(chars.dwEffects & CFE_BOLD);
    EXPECT_TRUE(chars.dwEffects & CFE_UNDERLINE);
    EXPECT_EQ(chars.yHeight, 320);  // 16 pt in twips
    EXPECT_STREQ(chars.szFaceName, L"Verdana");

    ASSERT_TRUE(FormatOf(box, L"RUN AS ADMINISTRATOR", chars, para));
    EXPECT_EQ(chars.crTextColor, 0x0000FFu);  // red
    EXPECT_EQ(chars.yHeight, 200);            // 10 pt
    EXPECT_GT(para.dxOffset, 0);              // a hanging indent
    ASSERT_TRUE(FormatOf(box, L"SERVER OPERATING SYSTEMS", chars, para));
    EXPECT_EQ(chars.crTextColor, 0x008000u);  // green

    ASSERT_TRUE(FormatOf(box, L"REMOTE DESKTOP\t", chars, para));
    EXPECT_GT(para.dxOffset, 0);
    ASSERT_TRUE(FormatOf(box, L"REMOTE DESKTOP", chars, para));
    FINDTEXTEXW heading{};
    heading.chrg = {0, -1};
    heading.lpstrText = L"REMOTE DESKTOP\tREACHES";
    ASSERT_GE(::SendMessageW(box, EM_FINDTEXTEXW, FR_DOWN | FR_MATCHCASE, reinterpret_cast<LPARAM>(&heading)), 0);
    CHARRANGE name{heading.chrgText.cpMin, heading.chrgText.cpMin + 14};
    ::SendMessageW(box, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&name));
    chars.dwMask = CFM_BOLD | CFM_UNDERLINE;
    ::SendMessageW(box, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&chars));
    EXPECT_TRUE(chars.dwMask & CFM_BOLD);  // the same all along the heading
    EXPECT_TRUE(chars.dwEffects & CFE_BOLD);
    EXPECT_TRUE(chars.dwEffects & CFE_UNDERLINE);
}

TEST_F(InfoWindowHost, TheLinkReportsClicksAndShowsTheHand) {
    FormWindow howTo(info::HowToLayout(), 0);
    ASSERT_TRUE(howTo.createModal());
    howTo.setEvents(&recorder);
    HWND link = ::GetDlgItem(howTo.hwnd(), info::Label1);
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(::GetWindowLongPtrW(link, GWL_STYLE) & SS_NOTIFY);
    // One line high: cut at the right rather than wrapped out of sight.
    EXPECT_EQ(::GetWindowLongPtrW(link, GWL_STYLE) & SS_TYPEMASK, SS_LEFTNOWORDWRAP);
    ::SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(recorder.clicks, (std::vector<int>{info::Label1}));

    auto hand = static_cast<HCURSOR>(
        ::LoadImageW(::GetModuleHandleW(nullptr), L"HANDPOINTER", IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    ASSERT_NE(hand, nullptr) << "the hand cursor resource is missing";
    EXPECT_EQ(::SendMessageW(howTo.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
    EXPECT_EQ(::GetCursor(), hand);
    // Elsewhere the window's own pointer.
    EXPECT_EQ(::SendMessageW(howTo.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(::GetDlgItem(howTo.hwnd(), info::cmdClose)),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              FALSE);
}

TEST_F(InfoWindowHost, ControlsMoveInTwipsAndLaterSizesReachTheLogic) {
    FormWindow howTo(info::HowToLayout(), 0);
    ASSERT_TRUE(howTo.createModal());
    howTo.setEvents(&recorder);
    platform::Control& close = howTo.control(info::cmdClose);
    EXPECT_NEAR(close.left(), 10800, 15);
    EXPECT_NEAR(close.width(), 1215, 15);
    close.setLeft(1500);
    close.setTop(3000);
    close.setWidth(2250);
    close.setHeight(600);
    const RECT place = RectInParent(::GetDlgItem(howTo.hwnd(), info::cmdClose));
    EXPECT_EQ(place.left, Px(1500, howTo));
    EXPECT_EQ(place.top, Px(3000, howTo));
    EXPECT_EQ(place.right - place.left, Px(2250, howTo));
    EXPECT_EQ(place.bottom - place.top, Px(600, howTo));
    EXPECT_NEAR(close.left(), 1500, 15);
    EXPECT_NEAR(close.height(), 600, 15);
    EXPECT_EQ(howTo.control(info::Label1).width(), platform::PixelsToTwips(Px(4560, howTo), howTo.dpi()));

    EXPECT_TRUE(::GetWindowLongPtrW(howTo.hwnd(), GWL_STYLE) & WS_THICKFRAME);
    howTo.show();
    EXPECT_EQ(recorder.resizes, 1);  // the first size, from show()
    RECT frame;
    ::GetWindowRect(howTo.hwnd(), &frame);
    ::SetWindowPos(howTo.hwnd(), nullptr, 0, 0, frame.right - frame.left + 60, frame.bottom - frame.top + 30,
                   SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(recorder.resizes, 2);
    ::SetWindowPos(howTo.hwnd(), nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);  // moved, same size
    EXPECT_EQ(recorder.resizes, 2);
}

// Closes the window with Esc as soon as it is active, as a user would.
class EscOnActivate : public platform::FormEvents {
public:
    EscOnActivate(platform::FormView& view, std::unique_ptr<platform::FormEvents> inner, HWND main)
        : view_(view), inner_(std::move(inner)), main_(main) {}
    void Form_Load() override { inner_->Form_Load(); }
    void Form_Activate() override {
        mainEnabledWhileShown = ::IsWindowEnabled(main_) != FALSE;
        window = reinterpret_cast<HWND>(view_.windowHandle());
        ::PostMessageW(::GetFocus() ? ::GetFocus() : window, WM_KEYDOWN, VK_ESCAPE, 0);
    }
    void onClick(int id) override {
        clicks.push_back(id);
        inner_->onClick(id);
    }
    platform::FormView& view_;
    std::unique_ptr<platform::FormEvents> inner_;
    HWND main_;
    static inline bool mainEnabledWhileShown = true;
    static inline HWND window = nullptr;
    static inline std::vector<int> clicks;
};

TEST_F(InfoWindowHost, AModalWindowKeepsTheOthersDisabledUntilItIsUnloaded) {
    DropQuitMessages();
    FormWindow main(app::KestrumLayout(), IDI_KESTRUM);
    ASSERT_TRUE(main.create(nullptr));
    main.show();
    PumpPendingMessages();

    testsupport::RecordingUi ui;
    Win32SystemColors colors;
    Win32Registry registry;
    Win32Files files;
    Win32System system;
    EscOnActivate::clicks.clear();
    Win32Forms forms;
    forms.showModal(info::AboutLayout(), [&](platform::FormView& box) {
        auto about = std::make_unique<info::frmAbout>(
            box, main.windowHandle(), info::AboutServices{ui, colors, {registry, files, system, ui}});
        return std::make_unique<EscOnActivate>(box, std::move(about), main.hwnd());
    });
    // Esc clicked OK, which unloaded the box; only then did showModal return.
    EXPECT_EQ(EscOnActivate::clicks, (std::vector<int>{info::cmdOK}));
    EXPECT_FALSE(EscOnActivate::mainEnabledWhileShown);
    ASSERT_NE(EscOnActivate::window, nullptr);
    EXPECT_FALSE(::IsWindow(EscOnActivate::window));
    EXPECT_TRUE(::IsWindowEnabled(main.hwnd()));
    EXPECT_EQ(::GetActiveWindow(), main.hwnd());
    MSG quit;
    EXPECT_FALSE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "a modal window ended the program";
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace kestrum::win32
