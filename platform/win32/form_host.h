#pragma once
// Builds a window, its controls and its menus from a layout table, and delivers
// their events to the window's portable logic.

#include <windows.h>

#include <array>
#include <map>
#include <memory>
#include <vector>

#include "platform/form.h"
#include "platform/form_layout.h"
#include "platform/win32/gdi_paint.h"
#include "platform/win32/unique_handle.h"

namespace kestrum::win32 {

class FormWindow : public platform::FormView {
public:
    FormWindow(const platform::FormSpec& spec, int iconResource);
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    // Creates the window (hidden), its controls and menus. False on failure.
    bool create(HWND owner);
    // The same for a window that will be shown modally: its end is not the program's.
    bool createModal();
    void setEvents(platform::FormEvents* events) { events_ = events; }

    // Load, resize, show centred, then activation once the window is on screen.
    void show();
    // Shows the window and returns once it has been unloaded; meanwhile the
    // program's other windows take no input.
    void runModal();

    platform::Control& control(int id) override;
    std::uintptr_t windowHandle() const override { return reinterpret_cast<std::uintptr_t>(hwnd_); }
    void unload() override;
    platform::PaintTarget& paintTarget() override { return paintTarget_; }
    void setPictureFromForm(int pictureBoxId) override;
    void setPictureToIconOf(int pictureBoxId, std::uintptr_t window) override;
    void setCaption(const std::string& caption) override;
    float scaleWidth() const override;
    float scaleHeight() const override;

    HWND hwnd() const { return hwnd_; }
    int dpi() const { return dpi_; }
    // Shortcuts, Tab and dialog keys for this window; true when the message was used.
    bool preTranslate(MSG& msg);

    class Item;

    // The persistent image of the window's client area, or of a picture box's:
    // what the window shows beneath its controls, kept across covering and
    // uncovering. Drawing into it and then calling refresh() shows the result.
    HDC imageDc(int containerId = 0);
    void refresh(int containerId = 0);

private:
    struct Surface {
        UniqueMemoryDc dc;
        UniqueHbitmap bitmap;
        HGDIOBJ originalBitmap = nullptr;
        UniqueHbrush brush;  // pattern of the image, for transparent labels
        ~Surface();
    };
    Surface& surfaceFor(HWND hwnd);
    HBRUSH labelBrush(HWND label);

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ContainerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static bool RegisterClasses();
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool handleShared(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    bool createControls();
    bool createMenus();
    void applyFonts();
    HFONT fontFor(const platform::FontSpec& font);
    void loadIcons();
    void resizeToClient(float widthTwips, float heightTwips, const POINT* at);
    void keepClientSize(int width, int height);
    void changeDpi(int dpi, const RECT& suggested);
    void drawLines();
    void enableOthers();
    const platform::ControlSpec* buttonFor(bool cancel) const;
    int px(int twips) const { return platform::TwipsToPixels(twips, dpi_); }
    Item* itemForWindow(HWND hwnd);
    bool canFocus(int id);

    const platform::FormSpec& spec_;
    int iconResource_;
    HWND hwnd_ = nullptr;
    int dpi_ = 96;
    platform::FormEvents* events_ = nullptr;
    bool shown_ = false;
    LPARAM shownSize_ = 0;  // the client size the logic was last told of
    bool relayingOut_ = false;  // sizing itself: the logic hears of it once, at the end
    std::array<float, 2> clientTwips_{};  // the client area's width and height, unrounded
    bool modal_ = false;
    std::vector<HWND> disabledOthers_;  // while modal
    HMENU menuBar_ = nullptr;
    std::map<int, std::unique_ptr<Item>> items_;
    std::vector<UniqueHfont> fonts_;
    UniqueHaccel accelerators_;
    UniqueHicon bigIcon_, smallIcon_;
    std::map<HWND, std::unique_ptr<Surface>> surfaces_;
    FormPaintTarget paintTarget_{*this};
};

}  // namespace kestrum::win32
