// The three windows at the screen's dpi (run at 96, 144 and 192): every control
// inside its window, none over another, every caption fitting its control, and a
// screenshot of each window for a person to look at.

#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/frmKestrum_layout.h"
#include "info/frmAbout_layout.h"
#include "info/frmHowTo_layout.h"
#include "tests/e2e/help_windows.h"
#include "tests/e2e/running_kestrum.h"

namespace kestrum::e2e {
namespace {

using HighDpi = RunningKestrum;

std::wstring DpiName(HWND window) { return L"dpi" + std::to_wstring(::GetDpiForWindow(window)); }

// The dpi the test run set for the screen, when it set one.
int WantedDpi() {
    const char* wanted = std::getenv("KESTRUM_EXPECTED_DPI");
    return wanted ? std::atoi(wanted) : 0;
}

// The font a control of the table shows its text in, made here from its points.
HFONT MakeFont(const platform::FormSpec& form, const platform::ControlSpec& c, int dpi) {
    const platform::FontSpec& font = c.font ? *c.font : form.font;
    if (font.face.empty()) {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        ::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi));
        return ::CreateFontIndirectW(&metrics.lfMessageFont);
    }
    LOGFONTW log{};
    log.lfHeight = -static_cast<LONG>(std::lround(font.points * dpi / 72.0));
    log.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    log.lfUnderline = font.underline;
    log.lfCharSet = DEFAULT_CHARSET;
    const std::wstring face(font.face.begin(), font.face.end());
    wcsncpy(log.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    return ::CreateFontIndirectW(&log);
}

// The room a caption needs when drawn within the given width.
SIZE TextExtent(HFONT font, const std::wstring& text, int width, bool wrap) {
    HDC dc = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, font);
    RECT room{0, 0, width, 0};
    ::DrawTextW(dc, text.c_str(), -1, &room, DT_CALCRECT | (wrap ? DT_WORDBREAK : DT_SINGLELINE));
    ::SelectObject(dc, old);
    ::ReleaseDC(nullptr, dc);
    return {room.right - room.left, room.bottom - room.top};
}

bool Overlap(const RECT& a, const RECT& b) {
    RECT common;
    return ::IntersectRect(&common, &a, &b) != FALSE;
}

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// Every visible control of the table inside its parent, clear of its visible
// siblings, and big enough for its caption at the window's dpi.
void ExpectNothingOverlapsOrIsCutOff(HWND window, const platform::FormSpec& form) {
    const int dpi = static_cast<int>(::GetDpiForWindow(window));
    struct Placed {
        const platform::ControlSpec* spec;
        HWND hwnd;
        RECT rect;
    };
    std::vector<Placed> shown;
    for (const platform::ControlSpec& c : form.controls) {
        HWND control = FindControl(window, c.id);
        ASSERT_NE(control, nullptr) << c.name;
        if (!::IsWindowVisible(control)) continue;
        shown.push_back({&c, control, RectInParent(control)});
    }
    for (const Placed& p : shown) {
        RECT parent;
        ::GetClientRect(::GetParent(p.hwnd), &parent);
        RECT inside;
        ::IntersectRect(&inside, &p.rect, &parent);
        EXPECT_TRUE(::EqualRect(&inside, &p.rect))
            << p.spec->name << " at " << Describe(p.rect) << " leaves its parent " << Describe(parent) << " at dpi "
            << dpi;
        for (const Placed& q : shown) {
            if (p.spec < q.spec && p.spec->container == q.spec->container) {
                EXPECT_FALSE(Overlap(p.rect, q.rect)) << p.spec->name << " overlaps " << q.spec->name << " at dpi "
                                                      << dpi;
            }
        }

        const bool label = p.spec->kind == platform::ControlKind::Label;
        if (!label && p.spec->kind != platform::ControlKind::Button) continue;
        const std::wstring caption = WindowText(p.hwnd);
        if (caption.empty()) continue;
        RECT client;
        ::GetClientRect(p.hwnd, &client);
        HFONT font = MakeFont(form, *p.spec, dpi);
        // A label wraps within its width; a button's caption stands on one line
        // within its edges.
        const int edges = label ? 0 : 2 * ::GetSystemMetricsForDpi(SM_CXEDGE, static_cast<UINT>(dpi));
        const SIZE needed = TextExtent(font, caption, client.right - edges, label);
        ::DeleteObject(font);
        EXPECT_LE(needed.cx, client.right - edges) << p.spec->name << " is too narrow at dpi " << dpi;
        EXPECT_LE(needed.cy, client.bottom) << p.spec->name << " is too small for its text at dpi " << dpi;
    }
}

// Where the table puts a control, scaled to the window's dpi.
void ExpectAtTablePlace(HWND window, const platform::FormSpec& form, int id) {
    const platform::ControlSpec& c = *platform::FindControl(form, id);
    const RECT seen = RectInParent(FindControl(window, id));
    const RECT wanted{Px(c.left, window), Px(c.top, window), Px(c.left, window) + Px(c.width, window),
                      Px(c.top, window) + Px(c.height, window)};
    EXPECT_TRUE(::EqualRect(&seen, &wanted)) << c.name << " at " << Describe(seen) << ", not " << Describe(wanted);
}

TEST_F(HighDpi, EveryWindowIsLaidOutAtTheScreensDpiWithNothingOverlappingOrCutOff) {
    HWND main = StartOffline();
    ASSERT_NE(main, nullptr);
    if (WantedDpi()) {
        ASSERT_EQ(static_cast<int>(::GetDpiForWindow(main)), WantedDpi()) << "the screen's dpi did not reach the program";
    }
    const std::wstring dpi = DpiName(main);
    ExpectNothingOverlapsOrIsCutOff(main, app::KestrumLayout());
    EXPECT_TRUE(SaveScreenshot(main, ScreenshotFolder() + L"\\main_window_" + dpi + L".bmp"));

    ChooseMenu(main, app::mnuAbout);
    HWND about = kestrum_->waitForWindow(kAboutCaption, 15000);
    ASSERT_NE(about, nullptr);
    ExpectNothingOverlapsOrIsCutOff(about, info::AboutLayout());
    for (const platform::ControlSpec& c : info::AboutLayout().controls)
        ExpectAtTablePlace(about, info::AboutLayout(), c.id);
    EXPECT_TRUE(SaveScreenshot(about, ScreenshotFolder() + L"\\about_box_" + dpi + L".bmp"));
    PressKey(about, VK_ESCAPE);
    ASSERT_TRUE(BackToMainWindow(about, main));

    ChooseMenu(main, app::mnuHowTO);
    HWND howTo = kestrum_->waitForWindow(kHowToCaption, 15000);
    ASSERT_NE(howTo, nullptr);
    ExpectNothingOverlapsOrIsCutOff(howTo, info::HowToLayout());
    // Its controls follow the window's size (checked in detail by the How-To
    // window's own tests); here, that the box keeps its corner at any dpi.
    const RECT box = RectInParent(FindControl(howTo, info::rtfHowTo));
    EXPECT_EQ(box.left, Px(240, howTo));
    EXPECT_EQ(box.top, Px(240, howTo));
    EXPECT_TRUE(SaveScreenshot(howTo, ScreenshotFolder() + L"\\howto_window_" + dpi + L".bmp"));
    PressKey(howTo, VK_ESCAPE);
    EXPECT_TRUE(BackToMainWindow(howTo, main));
}

}  // namespace
}  // namespace kestrum::e2e
