// The How-To window as a user meets it: opened from the Help menu and with
// Ctrl+T, read, resized, minimised and closed with Esc.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/frmKestrum_layout.h"
#include "info/frmHowTo_layout.h"
#include "tests/e2e/help_windows.h"
#include "tests/e2e/running_kestrum.h"
#include "tests/support/loopback_http.h"

namespace kestrum::e2e {
namespace {

using HowToWindow = RunningKestrum;

struct Layout {
    RECT box, close, link;
};

Layout Read(HWND window) {
    return {RectInParent(FindControl(window, info::rtfHowTo)), RectInParent(FindControl(window, info::cmdClose)),
            RectInParent(FindControl(window, info::Label1))};
}

// What the layout rule gives for the window's client size now, in pixels: the
// box 240 twips from the left, top and right edges and 480 above the bottom, the
// button and the label 180 twips below the box, the button's right edge on the
// box's, the label on the box's left edge.
Layout Expected(HWND window) {
    RECT client;
    ::GetClientRect(window, &client);
    const double w = Twips(client.right, window), h = Twips(client.bottom, window);
    const double boxWidth = w - 480, boxHeight = h - 960;
    const double buttonTop = boxHeight + 240 + 180;
    auto rect = [&](double left, double top, double width, double height) {
        const int l = Px(left, window), t = Px(top, window);
        return RECT{l, t, l + Px(width, window), t + Px(height, window)};
    };
    const RECT box = rect(240, 240, boxWidth, boxHeight);
    // The button's width is whole pixels, so its left is found from the box's
    // right edge in pixels.
    const int buttonWidth = Px(1215, window);
    const RECT button{box.right - buttonWidth, Px(buttonTop, window), box.right,
                      Px(buttonTop, window) + Px(375, window)};
    return {box, button, rect(240, buttonTop, 4560, 465)};
}

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void ExpectLaidOut(HWND window) {
    const bool settled = WaitUntil([&] {
        const Layout seen = Read(window), wanted = Expected(window);
        return Same(seen.box, wanted.box) && Same(seen.close, wanted.close) && Same(seen.link, wanted.link);
    }, 5000);
    const Layout seen = Read(window), wanted = Expected(window);
    EXPECT_TRUE(settled) << "box " << seen.box.left << "," << seen.box.top << "," << seen.box.right << ","
                         << seen.box.bottom << " wanted " << wanted.box.left << "," << wanted.box.top << ","
                         << wanted.box.right << "," << wanted.box.bottom << "; button " << seen.close.left << ","
                         << seen.close.top << " wanted " << wanted.close.left << "," << wanted.close.top
                         << "; label " << seen.link.left << "," << seen.link.top << " wanted " << wanted.link.left
                         << "," << wanted.link.top;
}

TEST_F(HowToWindow, OpensFromTheMenuWithTheDocumentFollowsItsSizeAndEscClosesIt) {
    HWND main = StartOffline();
    ASSERT_NE(main, nullptr);
    ChooseMenu(main, app::mnuHowTO);
    HWND howTo = kestrum_->waitForWindow(kHowToCaption, 15000);
    ASSERT_NE(howTo, nullptr) << "no window captioned HOW TO...";
    EXPECT_FALSE(::IsWindowEnabled(main));
    EXPECT_TRUE(::GetWindowLongPtrW(howTo, GWL_STYLE) & WS_THICKFRAME);

    // The design size, and the controls where the design puts them.
    RECT client;
    ::GetClientRect(howTo, &client);
    EXPECT_EQ(client.right, Px(12270, howTo));
    EXPECT_EQ(client.bottom, Px(7680, howTo));
    const Layout design = Read(howTo);
    EXPECT_TRUE(Same(design.box, RECT{Px(240, howTo), Px(240, howTo), Px(240, howTo) + Px(11790, howTo),
                                      Px(240, howTo) + Px(6720, howTo)}));
    // The button's right edge on the box's: its left is the design's to a pixel of rounding.
    EXPECT_EQ(design.close.right, design.box.right);
    EXPECT_NEAR(design.close.left, Px(10815, howTo), 1);
    EXPECT_EQ(design.close.top, Px(7140, howTo));
    EXPECT_EQ(design.link.left, Px(240, howTo));
    EXPECT_EQ(design.link.top, Px(7140, howTo));

    // The document, read from the box as plain text.
    HWND box = FindControl(howTo, info::rtfHowTo);
    const std::wstring document = WindowText(box);
    EXPECT_EQ(document.rfind(L"KESTRUM 1.2", 0), 0u) << "the document does not start with its title";
    EXPECT_NE(document.find(L"REMOTE CONNECTION UTILITY FOR THE INTERNET"), std::wstring::npos);
    EXPECT_NE(document.find(L"THANK YOU FOR USING KESTRUM."), std::wstring::npos);
    EXPECT_EQ(WindowText(FindControl(howTo, info::Label1)), L"Additional Information");
    EXPECT_EQ(WindowText(FindControl(howTo, info::cmdClose)), L"&Close");
    EXPECT_TRUE(SaveScreenshot(howTo, ScreenshotFolder() + L"\\howto_window.bmp"));

    // Larger: the box grows with the window, the button and the label follow its edges.
    RECT frame;
    ::GetWindowRect(howTo, &frame);
    ::SetWindowPos(howTo, nullptr, 0, 0, frame.right - frame.left + 150, frame.bottom - frame.top + 90,
                   SWP_NOMOVE | SWP_NOZORDER);
    ::GetClientRect(howTo, &client);
    EXPECT_EQ(client.right, Px(12270, howTo) + 150);
    ExpectLaidOut(howTo);
    EXPECT_TRUE(SaveScreenshot(howTo, ScreenshotFolder() + L"\\howto_window_larger.bmp"));

    // Smaller than designed.
    ::SetWindowPos(howTo, nullptr, 0, 0, frame.right - frame.left - 300, frame.bottom - frame.top - 200,
                   SWP_NOMOVE | SWP_NOZORDER);
    ExpectLaidOut(howTo);

    // Minimised and back: nothing to report, and laid out again.
    ::ShowWindow(howTo, SW_MINIMIZE);
    EXPECT_FALSE(WaitForMessageBox(kestrum_->id(), 1000).has_value());
    ::ShowWindow(howTo, SW_RESTORE);
    ExpectLaidOut(howTo);

    PressKey(howTo, VK_ESCAPE);
    EXPECT_TRUE(BackToMainWindow(howTo, main)) << "the window did not close, or the main window is not active again";
}

TEST_F(HowToWindow, CtrlTOpensItAndEscClosesItFromTheDocument) {
    HWND main = StartOffline();
    ASSERT_NE(main, nullptr);
    PressCtrlShortcut(main, 'T');
    HWND howTo = kestrum_->waitForWindow(kHowToCaption, 15000);
    ASSERT_NE(howTo, nullptr);
    EXPECT_FALSE(WindowText(FindControl(howTo, info::rtfHowTo)).empty());
    // The document has the focus first; Esc still closes the window.
    ::Sleep(300);
    PressKey(howTo, VK_ESCAPE);
    EXPECT_TRUE(BackToMainWindow(howTo, main));
    EXPECT_EQ(WaitForStatus(main, 60000), kOffline);
}

}  // namespace
}  // namespace kestrum::e2e
