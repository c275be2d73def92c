// The main window's gradient as it reaches the screen: its corners, both panels and
// the transparent labels, against the sweep worked out here for the same area.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/frmKestrum_layout.h"
#include "paint/clsGradient.h"
#include "tests/e2e/kestrum_process.h"
#include "tests/support/line_raster.h"

namespace kestrum::e2e {
namespace {

class NoUi : public platform::Ui {
public:
    void messageBox(const std::string&, unsigned, const std::string&) override {}
    void setBusyPointer(bool) override {}
    void doEvents() override {}
};

class NoSystemColors : public platform::SystemColors {
public:
    std::uint32_t sysColor(int) override { return 0; }
};

// What the screen shows of a window's client area, 0x00BBGGRR a pixel.
std::vector<std::uint32_t> GrabClient(HWND window, int width, int height) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, 0xFFFFFFFFu);
    POINT origin{0, 0};
    ::ClientToScreen(window, &origin);
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap) {
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        ::BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
        ::GdiFlush();
        const auto* source = static_cast<const std::uint32_t*>(bits);
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            const std::uint32_t v = source[i];
            pixels[i] = ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
        }
        ::SelectObject(memory, old);
        ::DeleteObject(bitmap);
    }
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

struct Probe {
    std::string where;
    POINT onScreen;    // in the window's client area
    POINT inGradient;  // where the window's own gradient has the colour expected there
};

TEST(MainWindowPaint, CornersPanelsAndLabelsShowTheSweepOfTheWindowsArea) {
    KestrumProcess kestrum(ThisFolder() + L"\\kestrum.exe");
    ASSERT_TRUE(kestrum.started());
    HWND window = kestrum.waitForWindow(L"Kestrum 1.2");
    ASSERT_NE(window, nullptr);
    RECT client;
    ::GetClientRect(window, &client);
    const int w = client.right, h = client.bottom;
    ASSERT_GT(w, 1);
    ASSERT_GT(h, 1);

    // The painter with the settings every window shows: the defaults.
    paint::clsGradient::ResetSettingsForTesting();
    NoUi ui;
    NoSystemColors colors;
    paint::clsGradient painter(ui, colors);
    testsupport::RasterCanvas model(w, h);
    ASSERT_GT(painter.DrawGradient(&model, w, h), 0);

    std::vector<Probe> probes = {{"top-left corner", {0, 0}, {0, 0}},
                                 {"top-right corner", {w - 1, 0}, {w - 1, 0}},
                                 {"bottom-left corner", {0, h - 1}, {0, h - 1}},
                                 {"bottom-right corner", {w - 1, h - 1}, {w - 1, h - 1}}};
    // A panel shows the window's gradient from its own top-left corner.
    auto inPanel = [&](int panel, const std::string& name, int x, int y) {
        POINT at{x, y};
        ::MapWindowPoints(FindControl(window, panel), window, &at, 1);
        probes.push_back({name, at, {x, y}});
    };
    for (int panel : {app::picLocal, app::picRemote}) {
        RECT box;
        ::GetClientRect(FindControl(window, panel), &box);
        const std::string name = panel == app::picLocal ? "picLocal" : "picRemote";
        inPanel(panel, name + " near its top-left", 2, 2);
        inPanel(panel, name + " near its bottom-right", box.right - 3, box.bottom - 3);
    }
    // Transparent labels show what lies beneath them: the bottom row under the
    // first letter is clear of text (no descender), and so is the top-left of
    // the centred status line.
    for (int label : {app::Label2_1, app::Label2_2}) {
        const RECT place = RectInParent(FindControl(window, label));
        const int panel = label == app::Label2_1 ? app::picLocal : app::picRemote;
        inPanel(panel, "label " + std::to_string(label), place.left + 1, place.bottom - 1);
    }
    const RECT status = RectInParent(FindControl(window, app::lblConnection));
    probes.push_back({"status label", {status.left + 1, status.top + 1}, {status.left + 1, status.top + 1}});

    // The window may still be reaching the screen: look until it shows or time runs out.
    std::vector<std::uint32_t> shown;
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < 15000; ::Sleep(200)) {
        shown = GrabClient(window, w, h);
        bool all = true;
        for (const Probe& p : probes)
            all = all && shown[std::size_t(p.onScreen.y) * w + p.onScreen.x] ==
                             model.pixel(p.inGradient.x, p.inGradient.y);
        if (all) break;
    }
    EXPECT_TRUE(SaveScreenshot(window, ScreenshotFolder() + L"\\main_window_gradient.bmp"));
    for (const Probe& p : probes) {
        SCOPED_TRACE(p.where);
        const std::int64_t expected = model.pixel(p.inGradient.x, p.inGradient.y);
        ASSERT_NE(expected, testsupport::RasterCanvas::kUntouched);
        EXPECT_EQ(shown[std::size_t(p.onScreen.y) * w + p.onScreen.x], std::uint32_t(expected))
            << std::hex << "expected 0x" << expected << " at " << std::dec << p.onScreen.x << ","
            << p.onScreen.y;
    }
}

}  // namespace
}  // namespace kestrum::e2e
