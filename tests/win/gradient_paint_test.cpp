// The gradient sweep through the real GDI: drawn into memory bitmaps and read back
// pixel by pixel, against a model of GDI's line rule fed with the same sweep; then
// the adapters that paint the main window and its panels.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/recording_ui.h"
#include "app/frmKestrum_layout.h"
#include "paint/ApplyGradient.h"
#include "paint/clsGradient.h"
#include "platform/win32/form_host.h"
#include "platform/win32/gdi_paint.h"
#include "platform/win32/resource.h"
#include "tests/support/line_raster.h"

namespace kestrum::win32 {
namespace {

using paint::clsGradient;
using testsupport::RasterCanvas;

// Magenta: no colour between the defaults has red above 0xD0.
constexpr std::uint32_t kBackground = 0x00FF00FF;

std::uint32_t Swap(std::uint32_t c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

using testsupport::RecordingUi;

// A 32-bit top-down DIB section selected into a memory DC, filled with kBackground.
class DibSurface {
public:
    DibSurface(int width, int height) : width_(width) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_.reset(::CreateCompatibleDC(nullptr));
        void* bits = nullptr;
        bitmap_.reset(::CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<std::uint32_t*>(bits);
        previous_ = ::SelectObject(dc_.get(), bitmap_.get());
        if (bits_) std::fill(bits_, bits_ + static_cast<std::size_t>(width) * height, Swap(kBackground));
    }
    ~DibSurface() { ::SelectObject(dc_.get(), previous_); }
    bool ok() const { return dc_ && bitmap_ && bits_; }
    HDC dc() const { return dc_.get(); }
    // 0x00BBGGRR, as GDI takes colours.
    std::uint32_t pixel(int x, int y) const {
        ::GdiFlush();
        return Swap(bits_[static_cast<std::size_t>(y) * width_ + x] & 0xFFFFFF);
    }

private:
    int width_;
    UniqueMemoryDc dc_;
    UniqueHbitmap bitmap_;
    std::uint32_t* bits_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

// Pixels of `drawn` (from its origin, the area given) unlike the model's at the
// same place offset by (dx, dy); the first few are described in `report`.
int Mismatches(const DibSurface& drawn, const RasterCanvas& model, int width, int height, std::string& report,
               int dx = 0, int dy = 0) {
    int count = 0;
    std::ostringstream out;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::int64_t expected = model.pixel(x + dx, y + dy);
            const std::uint32_t want = expected == RasterCanvas::kUntouched ? kBackground : std::uint32_t(expected);
            const std::uint32_t got = drawn.pixel(x, y);
            if (got == want) continue;
            if (++count <= 5) out << std::hex << " (" << std::dec << x << "," << y << ") 0x" << std::hex << got
                                  << " not 0x" << want << ";";
        }
    report = out.str();
    return count;
}

// Every pen the sweep creates, as GDI handed it out.
class PenWatch : public platform::Canvas {
public:
    explicit PenWatch(platform::Canvas& to) : to_(to) {}
    void moveTo(int x, int y) override { to_.moveTo(x, y); }
    void lineTo(int x, int y) override { to_.lineTo(x, y); }
    platform::GdiObject createPen(int s, int w, std::uint32_t c) override {
        const platform::GdiObject pen = to_.createPen(s, w, c);
        pens.insert(pen);
        ++created;
        return pen;
    }
    platform::GdiObject selectObject(platform::GdiObject o) override { return to_.selectObject(o); }
    void deleteObject(platform::GdiObject o) override {
        ++deleted;
        to_.deleteObject(o);
    }
    std::set<platform::GdiObject> pens;
    int created = 0, deleted = 0;

private:
    platform::Canvas& to_;
};

// GDI objects of this process, or none when the platform does not count them
// (a pen made and deleted here must move the count).
std::optional<DWORD> GdiObjectCount() {
    const DWORD before = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    HPEN probe = ::CreatePen(PS_SOLID, 1, 0);
    const DWORD with = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    ::DeleteObject(probe);
    if (with != before + 1) return std::nullopt;
    return ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
}

class GdiSweep : public testing::Test {
protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset() {
        clsGradient::ResetSettingsForTesting();
        paint::ResetSharedPainterForTesting();
    }
    RecordingUi ui;
    Win32SystemColors colors;
};

TEST_F(GdiSweep, DrawsExactlyThePixelsOfTheLinesItReports) {
    const int sizes[][2] = {{2, 2}, {7, 5}, {5, 7}, {64, 48}, {691, 400}};
    // The default first; the straight sweeps; and lines in every octant.
    const float angles[] = {315, 0, 90, 180, 270, 30, 60, 120, 150, 210, 240, 300, 330};
    for (const auto& size : sizes) {
        const int w = size[0], h = size[1];
        for (float angle : angles) {
            SCOPED_TRACE(testing::Message() << w << "x" << h << " at " << angle);
            clsGradient painter(ui, colors);
            painter.setAngle(angle);
            DibSurface surface(w, h);
            ASSERT_TRUE(surface.ok());
            GdiCanvas gdi(surface.dc());
            RasterCanvas model(w, h);
            const std::int32_t drawn = painter.DrawGradient(&gdi, w, h);
            ASSERT_GT(drawn, 0);
            ASSERT_EQ(painter.DrawGradient(&model, w, h), drawn);
            ASSERT_EQ(model.lines(), drawn / 2);
            std::string report;
            EXPECT_EQ(Mismatches(surface, model, w, h, report), 0) << report;
        }
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(GdiSweep, LeavesNoPenOrOtherGdiObjectBehind) {
    clsGradient painter(ui, colors);
    DibSurface surface(691, 400);
    ASSERT_TRUE(surface.ok());
    HGDIOBJ penBefore = ::GetCurrentObject(surface.dc(), OBJ_PEN);
    GdiCanvas gdi(surface.dc());
    PenWatch watch(gdi);
    const std::optional<DWORD> objectsBefore = GdiObjectCount();
    int lines = 0;
    for (int i = 0; i < 200; ++i) lines += painter.DrawGradient(&watch, 691, 400) / 2;
    const std::optional<DWORD> objectsAfter = GdiObjectCount();

    EXPECT_EQ(watch.created, lines);
    EXPECT_EQ(watch.deleted, lines);
    EXPECT_EQ(watch.pens.count(0), 0u) << "a pen could not be made";
    // Deleted for real: no handle the sweep was given still names an object.
    int alive = 0;
    for (platform::GdiObject pen : watch.pens) alive += ::GetObjectType(reinterpret_cast<HGDIOBJ>(pen)) != 0;
    EXPECT_EQ(alive, 0);
    EXPECT_EQ(::GetCurrentObject(surface.dc(), OBJ_PEN), penBefore);
    if (objectsBefore && objectsAfter) {
        EXPECT_EQ(*objectsAfter, *objectsBefore);
    } else {
        std::printf("note: this platform does not count GDI objects; checked the pens one by one\n");
    }
}

class MainWindowPaint : public GdiSweep {
protected:
    void SetUp() override {
        GdiSweep::SetUp();
        ASSERT_TRUE(form.create(nullptr));
    }
    // The window's image (or a panel's) as a DIB, its client size in w and h.
    void Copy(HDC image, HWND window, DibSurface*& into, int& w, int& h) {
        RECT client;
        ::GetClientRect(window, &client);
        w = client.right;
        h = client.bottom;
        surfaces.push_back(std::make_unique<DibSurface>(w, h));
        into = surfaces.back().get();
        ::BitBlt(into->dc(), 0, 0, w, h, image, 0, 0, SRCCOPY);
    }
    FormWindow form{app::KestrumLayout(), IDI_KESTRUM};
    std::vector<std::unique_ptr<DibSurface>> surfaces;
};

TEST_F(MainWindowPaint, TheImageHoldsTheSweepAndThePanelsItsTopLeftPart) {
    paint::ApplyGradient(form.paintTarget(), ui, colors);
    form.setPictureFromForm(app::picLocal);
    form.setPictureFromForm(app::picRemote);
    EXPECT_TRUE(ui.messages.empty());
    // Unlocked again: another window may now be locked.
    EXPECT_TRUE(::LockWindowUpdate(form.hwnd()));
    ::LockWindowUpdate(nullptr);

    DibSurface* image = nullptr;
    int w = 0, h = 0;
    Copy(form.imageDc(), form.hwnd(), image, w, h);
    ASSERT_GT(w, 1);
    ASSERT_GT(h, 1);
    clsGradient painter(ui, colors);
    RasterCanvas model(w, h);
    ASSERT_GT(painter.DrawGradient(&model, w, h), 0);
    std::string report;
    EXPECT_EQ(Mismatches(*image, model, w, h, report), 0) << report;

    for (int panel : {app::picLocal, app::picRemote}) {
        SCOPED_TRACE(testing::Message() << "panel " << panel);
        HWND box = ::GetDlgItem(form.hwnd(), panel);
        ASSERT_NE(box, nullptr);
        DibSurface* picture = nullptr;
        int pw = 0, ph = 0;
        Copy(form.imageDc(panel), box, picture, pw, ph);
        ASSERT_GT(pw, 1);
        ASSERT_LE(pw, w);
        ASSERT_LE(ph, h);
        EXPECT_EQ(Mismatches(*picture, model, pw, ph, report), 0) << report;
    }
}

TEST_F(GdiSweep, AButtonIsPaintedThroughItsOwnDcAndUnlockedAfterwards) {
    HWND button = ::CreateWindowExW(0, L"BUTTON", L"", WS_POPUP | BS_PUSHBUTTON, 0, 0, 40, 20, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(button, nullptr);
    ButtonPaintTarget target(button);
    clsGradient painter(ui, colors);
    const std::optional<DWORD> before = GdiObjectCount();
    for (int i = 0; i < 50; ++i) EXPECT_TRUE(painter.Draw(target));
    const std::optional<DWORD> after = GdiObjectCount();
    if (before && after) {
        EXPECT_EQ(*after, *before);
    }
    EXPECT_TRUE(::LockWindowUpdate(button));
    ::LockWindowUpdate(nullptr);
    EXPECT_TRUE(ui.messages.empty());
    ::DestroyWindow(button);
}

}  // namespace
}  // namespace kestrum::win32
