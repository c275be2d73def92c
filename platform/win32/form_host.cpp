#include "platform/win32/form_host.h"

#include <richedit.h>

#include <algorithm>
#include <array>

#include "platform/win32/message_loop.h"
#include "platform/win32/rich_text.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_ui.h"

namespace kestrum::win32 {

using platform::ControlKind;
using platform::ControlSpec;
using platform::MenuSpec;

namespace {

constexpr wchar_t kFormClass[] = L"KestrumForm";
constexpr wchar_t kContainerClass[] = L"KestrumPictureBox";
constexpr UINT kActivateMessage = WM_APP + 1;

HINSTANCE Instance() { return ::GetModuleHandleW(nullptr); }

RECT RectInParent(HWND hwnd) {
    RECT rect;
    ::GetWindowRect(hwnd, &rect);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(hwnd), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

FormWindow* FormOf(HWND hwnd) {
    return reinterpret_cast<FormWindow*>(::GetWindowLongPtrW(::GetAncestor(hwnd, GA_ROOT), GWLP_USERDATA));
}

// The program's own hand (shared, never destroyed), or the system's.
HCURSOR HandPointer() {
    static const HCURSOR hand = [] {
        auto own = static_cast<HCURSOR>(
            ::LoadImageW(Instance(), L"HANDPOINTER", IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
        return own ? own : ::LoadCursorW(nullptr, IDC_HAND);
    }();
    return hand;
}

}  // namespace

// One control or menu entry as the portable logic sees it.
class FormWindow::Item : public platform::Control {
public:
    Item(FormWindow& form, const ControlSpec* control, const MenuSpec* menu)
        : form_(form), control_(control), menu_(menu) {
        if (menu) {
            text_ = std::string(menu->caption);
            visible_ = menu->visible;
            enabled_ = menu->enabled;
        }
        if (control) {
            color_ = control->foreColor;
            place_ = {static_cast<float>(control->left), static_cast<float>(control->top),
                      static_cast<float>(control->width), static_cast<float>(control->height)};
        }
    }

    const ControlSpec* spec() const { return control_; }
    const MenuSpec* menuSpec() const { return menu_; }
    HWND hwnd = nullptr;     // controls
    HMENU popup = nullptr;   // top-level menus: the menu they open

    std::string text() const override {
        if (menu_) return text_;
        const int length = ::GetWindowTextLengthW(hwnd);
        std::wstring value(static_cast<size_t>(length) + 1, L'\0');
        value.resize(static_cast<size_t>(::GetWindowTextW(hwnd, value.data(), length + 1)));
        return Narrow(value);
    }

    void setText(const std::string& value) override {
        if (menu_) {
            text_ = value;
            if (visible_) reinsert();
            return;
        }
        ::SetWindowTextW(hwnd, Widen(value).c_str());
        if (control_->kind != ControlKind::Label) return;
        repaintBackground();
        // A label's new text (the status line's, say) is read out by screen readers.
        ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd, OBJID_CLIENT, CHILDID_SELF);
        ::NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, hwnd, OBJID_CLIENT, CHILDID_SELF);
    }

    bool visible() const override {
        if (menu_) return visible_;
        return (::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
    }

    void setVisible(bool value) override {
        if (!menu_) {
            ::ShowWindow(hwnd, value ? SW_SHOWNA : SW_HIDE);
            return;
        }
        if (value == visible_) return;
        if (value) {
            visible_ = true;
            insert();
        } else {
            remove();
            visible_ = false;
        }
        ::DrawMenuBar(form_.hwnd());
    }

    bool enabled() const override {
        if (menu_) return enabled_;
        return ::IsWindowEnabled(hwnd) != FALSE;
    }

    void setEnabled(bool value) override {
        if (!menu_) {
            ::EnableWindow(hwnd, value);
            return;
        }
        enabled_ = value;
        if (visible_) {
            ::EnableMenuItem(parentMenu(), static_cast<UINT>(menu_->id),
                             MF_BYCOMMAND | (value ? MF_ENABLED : MF_GRAYED));
            if (!menu_->parent) ::DrawMenuBar(form_.hwnd());
        }
    }

    std::uint32_t foreColor() const override {
        return color_.value_or(::GetSysColor(COLOR_WINDOWTEXT));
    }

    void setForeColor(std::uint32_t value) override {
        color_ = value;
        if (hwnd) {
            if (control_->kind == ControlKind::Label) repaintBackground();
            else ::InvalidateRect(hwnd, nullptr, TRUE);
        }
    }

    float left() const override { return edge(0); }
    float top() const override { return edge(1); }
    float width() const override { return edge(2); }
    float height() const override { return edge(3); }
    void setLeft(float twips) override { setEdge(0, twips); }
    void setTop(float twips) override { setEdge(1, twips); }
    void setWidth(float twips) override { setEdge(2, twips); }
    void setHeight(float twips) override { setEdge(3, twips); }

    // Menu entries enter their menu when shown and leave it when hidden.
    void insert() {
        const std::wstring caption = Widen(platform::MenuText(*menu_));
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE;
        info.wID = static_cast<UINT>(menu_->id);
        info.fState = enabled_ ? MFS_ENABLED : MFS_GRAYED;
        if (menu_->caption == "-") {
            info.fType = MFT_SEPARATOR;
        } else {
            info.fType = MFT_STRING;
            info.fMask |= MIIM_STRING;
            info.dwTypeData = const_cast<wchar_t*>(caption.c_str());
        }
        if (popup) {
            info.fMask |= MIIM_SUBMENU;
            info.hSubMenu = popup;
        }
        const int position = platform::MenuPosition(
            form_.spec_, menu_->id, [this](int id) { return id != menu_->id && form_.control(id).visible(); });
        ::InsertMenuItemW(parentMenu(), static_cast<UINT>(position), TRUE, &info);
    }

    void remove() { ::RemoveMenu(parentMenu(), static_cast<UINT>(menu_->id), MF_BYCOMMAND); }

    // Puts the control where its twips fall at the window's dots per inch now.
    void placeAtDpi() {
        const int dpi = form_.dpi_;
        ::SetWindowPos(hwnd, nullptr, platform::TwipsToPixels(place_[0], dpi), platform::TwipsToPixels(place_[1], dpi),
                       platform::TwipsToPixels(place_[2], dpi), platform::TwipsToPixels(place_[3], dpi),
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }

private:
    HMENU parentMenu() const {
        if (!menu_->parent) return form_.menuBar_;
        return static_cast<Item&>(form_.control(menu_->parent)).popup;
    }

    // Left, top, width and height in pixels within the parent.
    std::array<int, 4> bounds() const {
        const RECT r = RectInParent(hwnd);
        return {r.left, r.top, r.right - r.left, r.bottom - r.top};
    }
    float edge(int which) const {
        if (menu_) return 0;
        return platform::PixelsToTwips(bounds()[static_cast<size_t>(which)], form_.dpi_);
    }
    void setEdge(int which, float twips) {
        if (menu_) return;
        place_[static_cast<size_t>(which)] = twips;
        auto b = bounds();
        b[static_cast<size_t>(which)] = platform::TwipsToPixels(twips, form_.dpi_);
        ::SetWindowPos(hwnd, nullptr, b[0], b[1], b[2], b[3], SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void reinsert() {
        remove();
        insert();
        ::DrawMenuBar(form_.hwnd());
    }

    // A transparent label shows what lies under it: that must be painted afresh
    // or the old text stays visible behind the new one.
    void repaintBackground() {
        const RECT rect = RectInParent(hwnd);
        ::InvalidateRect(::GetParent(hwnd), &rect, TRUE);
        ::InvalidateRect(hwnd, nullptr, TRUE);
    }

    FormWindow& form_;
    const ControlSpec* control_;
    const MenuSpec* menu_;
    std::string text_;
    bool visible_ = true;
    bool enabled_ = true;
    std::optional<std::uint32_t> color_;
    // Left, top, width and height in twips as last set: kept, not read back from
    // pixels, so moving between monitors of different dpi never drifts.
    std::array<float, 4> place_{};
};

FormWindow::Surface::~Surface() {
    if (dc && originalBitmap) ::SelectObject(dc.get(), originalBitmap);
}

// Made on first use at the window's client size, filled with the dialog colour.
FormWindow::Surface& FormWindow::surfaceFor(HWND hwnd) {
    auto& slot = surfaces_[hwnd];
    RECT client;
    ::GetClientRect(hwnd, &client);
    if (slot) {
        BITMAP bitmap{};
        ::GetObjectW(slot->bitmap.get(), sizeof bitmap, &bitmap);
        if (bitmap.bmWidth == client.right && bitmap.bmHeight == client.bottom) return *slot;
    }
    slot = std::make_unique<Surface>();
    WindowDc screen(hwnd);
    slot->dc.reset(::CreateCompatibleDC(screen.get()));
    slot->bitmap.reset(::CreateCompatibleBitmap(screen.get(), std::max<LONG>(client.right, 1),
                                                std::max<LONG>(client.bottom, 1)));
    slot->originalBitmap = ::SelectObject(slot->dc.get(), slot->bitmap.get());
    ::FillRect(slot->dc.get(), &client, ::GetSysColorBrush(COLOR_BTNFACE));
    return *slot;
}

HDC FormWindow::imageDc(int containerId) {
    HWND target = containerId ? static_cast<Item&>(control(containerId)).hwnd : hwnd_;
    Surface& surface = surfaceFor(target);
    surface.brush.reset();  // about to change: the labels' pattern is made anew
    return surface.dc.get();
}

void FormWindow::refresh(int containerId) {
    if (!containerId) drawLines();
    HWND target = containerId ? static_cast<Item&>(control(containerId)).hwnd : hwnd_;
    ::RedrawWindow(target, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// Like a picture set from the form's image: its top-left part, unscaled.
void FormWindow::setPictureFromForm(int pictureBoxId) {
    RECT box;
    ::GetClientRect(static_cast<Item&>(control(pictureBoxId)).hwnd, &box);
    HDC image = surfaceFor(hwnd_).dc.get();
    ::BitBlt(imageDc(pictureBoxId), 0, 0, box.right, box.bottom, image, 0, 0, SRCCOPY);
    refresh(pictureBoxId);
}

void FormWindow::setPictureToIconOf(int pictureBoxId, std::uintptr_t window) {
    const auto icon =
        reinterpret_cast<HICON>(::SendMessageW(reinterpret_cast<HWND>(window), WM_GETICON, ICON_BIG, 0));
    if (icon) ::DrawIconEx(imageDc(pictureBoxId), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    refresh(pictureBoxId);
}

void FormWindow::setCaption(const std::string& caption) { ::SetWindowTextW(hwnd_, Widen(caption).c_str()); }

float FormWindow::scaleWidth() const {
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    return platform::PixelsToTwips(client.right, dpi_);
}

float FormWindow::scaleHeight() const {
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    return platform::PixelsToTwips(client.bottom, dpi_);
}

// Lines lie on top of whatever was painted beneath them, so they go into the
// image last, each time it is shown afresh.
void FormWindow::drawLines() {
    if (spec_.lines.empty() || !hwnd_) return;
    HDC image = imageDc();
    for (const platform::LineSpec& line : spec_.lines) {
        UniqueHpen pen(::CreatePen(PS_SOLID, line.widthPixels, line.color));
        SelectionRestorer selected(image, pen.get());
        ::MoveToEx(image, px(line.x1), px(line.y1), nullptr);
        ::LineTo(image, px(line.x2), px(line.y2));
    }
}

// A transparent label is filled with the part of its parent's image that lies
// under it, so it shows whatever the parent shows there.
HBRUSH FormWindow::labelBrush(HWND label) {
    Surface& surface = surfaceFor(::GetParent(label));
    if (!surface.brush) surface.brush.reset(::CreatePatternBrush(surface.bitmap.get()));
    return surface.brush.get();
}

FormWindow::FormWindow(const platform::FormSpec& spec, int iconResource)
    : spec_(spec), iconResource_(iconResource) {}

FormWindow::~FormWindow() {
    enableOthers();
    if (hwnd_) ::DestroyWindow(hwnd_);
    UnregisterForm(this);
}

bool FormWindow::RegisterClasses() {
    static const bool registered = [] {
        WNDCLASSEXW form{};
        form.cbSize = sizeof form;
        form.lpfnWndProc = WindowProc;
        form.hInstance = Instance();
        form.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        form.lpszClassName = kFormClass;
        WNDCLASSEXW container = form;
        container.lpfnWndProc = ContainerProc;
        container.lpszClassName = kContainerClass;
        return ::RegisterClassExW(&form) != 0 && ::RegisterClassExW(&container) != 0;
    }();
    return registered;
}

bool FormWindow::create(HWND owner) {
    if (!RegisterClasses()) return false;
    DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    DWORD exStyle = WS_EX_CONTROLPARENT;
    switch (spec_.border) {
        case platform::Border::FixedDialog: break;
        case platform::Border::FixedToolWindow: exStyle |= WS_EX_TOOLWINDOW; break;
        case platform::Border::Sizable: style |= WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX; break;
    }
    hwnd_ = ::CreateWindowExW(exStyle, kFormClass, Widen(spec_.caption).c_str(), style, CW_USEDEFAULT,
                              CW_USEDEFAULT, 100, 100, owner, nullptr, Instance(), this);
    if (!hwnd_) return false;
    dpi_ = static_cast<int>(::GetDpiForWindow(hwnd_));
    if (dpi_ <= 0) dpi_ = 96;

    loadIcons();
    if (!createMenus() || !createControls()) return false;

    resizeToClient(static_cast<float>(spec_.clientWidth), static_cast<float>(spec_.clientHeight), nullptr);
    RegisterForm(this);
    return true;
}

// The icons drawn at the sizes the system uses at the window's dpi.
void FormWindow::loadIcons() {
    if (!iconResource_) return;
    auto load = [this](int widthMetric, int heightMetric) {
        return static_cast<HICON>(::LoadImageW(Instance(), MAKEINTRESOURCEW(iconResource_), IMAGE_ICON,
                                               ::GetSystemMetricsForDpi(widthMetric, static_cast<UINT>(dpi_)),
                                               ::GetSystemMetricsForDpi(heightMetric, static_cast<UINT>(dpi_)), 0));
    };
    UniqueHicon big(load(SM_CXICON, SM_CYICON)), small(load(SM_CXSMICON, SM_CYSMICON));
    ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
    ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
    bigIcon_ = std::move(big);  // the old ones go once the window no longer shows them
    smallIcon_ = std::move(small);
}

// Sizes the window so its client area is the given twips at its dpi; at the
// given place, or where it is.
void FormWindow::resizeToClient(float widthTwips, float heightTwips, const POINT* at) {
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
    const int clientWidth = platform::TwipsToPixels(widthTwips, dpi_);
    const int clientHeight = platform::TwipsToPixels(heightTwips, dpi_);
    RECT rect{0, 0, clientWidth, clientHeight};
    ::AdjustWindowRectExForDpi(&rect, style, menuBar_ != nullptr, exStyle, static_cast<UINT>(dpi_));
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (at ? 0 : SWP_NOMOVE);
    relayingOut_ = true;
    const int x = at ? at->x : 0, y = at ? at->y : 0;
    ::SetWindowPos(hwnd_, nullptr, x, y, rect.right - rect.left, rect.bottom - rect.top, flags);
    // A menu bar that wraps onto a second line, or a frame that differs from the
    // one foreseen, takes or gives client area: make up the difference.
    RECT client;
    ::GetClientRect(hwnd_, &client);
    const int wider = clientWidth - client.right, taller = clientHeight - client.bottom;
    if (wider || taller)
        ::SetWindowPos(hwnd_, nullptr, x, y, rect.right - rect.left + wider, rect.bottom - rect.top + taller, flags);
    relayingOut_ = false;
    clientTwips_ = {widthTwips, heightTwips};
}

// A size the user gave the window, in twips; one it gave itself is already kept
// there unrounded.
void FormWindow::keepClientSize(int width, int height) {
    if (width == platform::TwipsToPixels(clientTwips_[0], dpi_) &&
        height == platform::TwipsToPixels(clientTwips_[1], dpi_))
        return;
    clientTwips_ = {platform::PixelsToTwips(width, dpi_), platform::PixelsToTwips(height, dpi_)};
}

// Moved to a monitor of another dpi: the controls keep their places and fonts in
// twips and points, the client area its size in twips, and the logic paints the
// window's images afresh at the new size.
void FormWindow::changeDpi(int dpi, const RECT& suggested) {
    const auto [width, height] = clientTwips_;
    dpi_ = dpi;
    applyFonts();
    for (auto& [id, item] : items_)
        if (item->hwnd) item->placeAtDpi();
    loadIcons();
    if (::IsZoomed(hwnd_) || ::IsIconic(hwnd_)) {
        relayingOut_ = true;
        ::SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                       suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
        relayingOut_ = false;
    } else {
        const POINT at{suggested.left, suggested.top};
        resizeToClient(width, height, &at);
    }
    RECT client;
    ::GetClientRect(hwnd_, &client);
    shownSize_ = MAKELPARAM(client.right, client.bottom);
    if (events_ && shown_) {
        events_->Form_Resize();
        events_->Form_DpiChanged();
    }
    ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
}

HFONT FormWindow::fontFor(const platform::FontSpec& font) {
    LOGFONTW log{};
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (font.face.empty() &&
        ::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi_))) {
        fonts_.emplace_back(::CreateFontIndirectW(&metrics.lfMessageFont));
        return fonts_.back().get();
    }
    log.lfHeight = -platform::PointsToPixels(font.face.empty() ? 8 : font.points, dpi_);
    log.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    log.lfUnderline = font.underline;
    log.lfCharSet = DEFAULT_CHARSET;
    log.lfQuality = CLEARTYPE_QUALITY;
    const std::wstring face = font.face.empty() ? L"MS Shell Dlg" : Widen(font.face);
    wcsncpy(log.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    fonts_.emplace_back(::CreateFontIndirectW(&log));
    return fonts_.back().get();
}

bool FormWindow::createControls() {
    for (const ControlSpec& c : spec_.controls) {
        const wchar_t* windowClass = L"STATIC";
        DWORD style = WS_CHILD | (c.visible ? WS_VISIBLE : 0) | (c.enabled ? 0 : WS_DISABLED);
        DWORD exStyle = 0;
        switch (c.kind) {
            case ControlKind::Label:
                style |= (c.align == platform::TextAlign::Center ? SS_CENTER : SS_LEFT);
                // Without it a static control lets clicks and the pointer pass through.
                if (c.reportsClicks || c.pointer != platform::Pointer::Default) style |= SS_NOTIFY;
                break;
            case ControlKind::TextBox:
                windowClass = L"EDIT";
                style |= WS_TABSTOP | ES_AUTOHSCROLL | (c.readOnly ? ES_READONLY : 0);
                exStyle = WS_EX_CLIENTEDGE;
                break;
            case ControlKind::Button:
                windowClass = L"BUTTON";
                style |= WS_TABSTOP | (c.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
                break;
            case ControlKind::PictureBox:
                windowClass = kContainerClass;
                style |= WS_CLIPCHILDREN;
                exStyle = WS_EX_CLIENTEDGE | WS_EX_CONTROLPARENT;
                break;
            case ControlKind::RichText:
                windowClass = RichEditClass();
                if (!windowClass) return false;
                style |= WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL;
                exStyle = WS_EX_CLIENTEDGE;
                break;
        }
        HWND parent = c.container ? static_cast<Item&>(control(c.container)).hwnd : hwnd_;
        if (!parent) return false;
        auto item = std::make_unique<Item>(*this, &c, nullptr);
        item->hwnd = ::CreateWindowExW(exStyle, windowClass, Widen(c.text).c_str(), style, px(c.left),
                                       px(c.top), px(c.width), px(c.height), parent,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), Instance(), nullptr);
        if (!item->hwnd) return false;
        if (c.kind == ControlKind::RichText) {
            if (!c.document.empty() && !LoadRtfDocument(item->hwnd, c.document)) return false;
            if (c.readOnly) ::SendMessageW(item->hwnd, EM_SETREADONLY, TRUE, 0);
        }
        // Text boxes take text of any length.
        if (c.kind == ControlKind::TextBox) ::SendMessageW(item->hwnd, EM_SETLIMITTEXT, 0, 0);
        items_[c.id] = std::move(item);
    }
    applyFonts();
    return true;
}

// Fonts in points at the window's dpi; the ones they replace go afterwards.
void FormWindow::applyFonts() {
    const auto replaced = static_cast<std::ptrdiff_t>(fonts_.size());
    HFONT formFont = fontFor(spec_.font);
    for (auto& [id, item] : items_) {
        const ControlSpec* c = item->spec();
        if (!c) continue;
        if (c->kind == ControlKind::RichText) {
            // The document brings its own fonts (a window font would override them)
            // and is drawn at the system's dpi; zoomed, it matches the window's.
            const auto systemDpi = static_cast<int>(::GetDpiForSystem());
            if (systemDpi == dpi_ || systemDpi <= 0) ::SendMessageW(item->hwnd, EM_SETZOOM, 0, 0);
            else ::SendMessageW(item->hwnd, EM_SETZOOM, static_cast<WPARAM>(dpi_), systemDpi);
            continue;
        }
        HFONT font = c->font ? fontFor(*c->font) : formFont;
        ::SendMessageW(item->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        // A label one line high shows one line: text a little wider than the box
        // (fonts differ between systems) is cut at the right instead of losing
        // its last word to a second line that cannot be seen.
        if (c->kind == ControlKind::Label && c->align == platform::TextAlign::Left) {
            WindowDc dc(item->hwnd);
            SelectionRestorer selected(dc.get(), font);
            TEXTMETRICW metrics{};
            const LONG_PTR style = ::GetWindowLongPtrW(item->hwnd, GWL_STYLE) & ~SS_TYPEMASK;
            if (::GetTextMetricsW(dc.get(), &metrics))
                ::SetWindowLongPtrW(item->hwnd, GWL_STYLE,
                                    style | (2 * metrics.tmHeight > px(c->height) ? SS_LEFTNOWORDWRAP : SS_LEFT));
        }
    }
    fonts_.erase(fonts_.begin(), fonts_.begin() + replaced);
}

bool FormWindow::createMenus() {
    if (spec_.menus.empty()) return true;
    menuBar_ = ::CreateMenu();
    if (!menuBar_) return false;
    std::vector<ACCEL> shortcuts;
    for (const MenuSpec& m : spec_.menus) {
        auto item = std::make_unique<Item>(*this, nullptr, &m);
        if (!m.parent) item->popup = ::CreatePopupMenu();
        if (m.shortcut.key)
            shortcuts.push_back({FVIRTKEY | FCONTROL, static_cast<WORD>(m.shortcut.key), static_cast<WORD>(m.id)});
        items_[m.id] = std::move(item);
    }
    // Inserted in table order, so each entry lands after its visible elder siblings.
    for (const MenuSpec& m : spec_.menus)
        if (m.visible) static_cast<Item&>(control(m.id)).insert();
    ::SetMenu(hwnd_, menuBar_);
    if (!shortcuts.empty())
        accelerators_.reset(::CreateAcceleratorTableW(shortcuts.data(), static_cast<int>(shortcuts.size())));
    return true;
}

void FormWindow::show() {
    if (events_) {
        events_->Form_Load();
        events_->Form_Resize();
    }
    // Centred on the work area of the monitor the window is on.
    RECT window;
    ::GetWindowRect(hwnd_, &window);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcWork;
    const int width = window.right - window.left, height = window.bottom - window.top;
    ::SetWindowPos(hwnd_, nullptr, area.left + (area.right - area.left - width) / 2,
                   area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT client;
    ::GetClientRect(hwnd_, &client);
    shownSize_ = MAKELPARAM(client.right, client.bottom);
    shown_ = true;
    ::ShowWindow(hwnd_, SW_SHOW);
    // The focus starts where the table says, else on the first control in tab
    // order that can take it.
    int first = spec_.firstFocus;
    if (!first || !canFocus(first))
        first = platform::NextTabStop(spec_, 0, false, [this](int id) { return canFocus(id); });
    if (first) ::SetFocus(static_cast<Item&>(control(first)).hwnd);
    ::UpdateWindow(hwnd_);
    // Activation runs from the message loop, once the window is painted.
    ::PostMessageW(hwnd_, kActivateMessage, 0, 0);
}

bool FormWindow::createModal() {
    modal_ = true;
    return create(nullptr);
}

void FormWindow::runModal() {
    for (HWND other : FormWindowsExcept(this)) {
        if (!::IsWindowEnabled(other)) continue;
        ::EnableWindow(other, FALSE);
        disabledOthers_.push_back(other);
    }
    show();
    RunModalLoop(*this);
    enableOthers();
}

void FormWindow::enableOthers() {
    for (HWND other : disabledOthers_)
        if (::IsWindow(other)) ::EnableWindow(other, TRUE);
    disabledOthers_.clear();
}

const ControlSpec* FormWindow::buttonFor(bool cancel) const {
    for (const ControlSpec& c : spec_.controls)
        if (cancel ? c.cancelButton : c.defaultButton) return &c;
    return nullptr;
}

platform::Control& FormWindow::control(int id) { return *items_.at(id); }

void FormWindow::unload() {
    // The others come back first: destroyed while they are disabled, a modal
    // window would hand the activation to some other program.
    enableOthers();
    if (hwnd_) ::DestroyWindow(hwnd_);
}

FormWindow::Item* FormWindow::itemForWindow(HWND hwnd) {
    const int id = ::GetDlgCtrlID(hwnd);
    auto found = items_.find(id);
    if (found == items_.end() || found->second->hwnd != hwnd) return nullptr;
    return found->second.get();
}

bool FormWindow::canFocus(int id) {
    const Item& item = static_cast<Item&>(control(id));
    if (!item.spec()) return false;
    const ControlKind kind = item.spec()->kind;
    return (kind == ControlKind::TextBox || kind == ControlKind::Button || kind == ControlKind::RichText) &&
           ::IsWindowVisible(item.hwnd) &&
           ::IsWindowEnabled(item.hwnd);
}

bool FormWindow::preTranslate(MSG& msg) {
    if (!hwnd_ || (msg.hwnd != hwnd_ && !::IsChild(hwnd_, msg.hwnd))) return false;
    if (accelerators_ && ::TranslateAcceleratorW(hwnd_, accelerators_.get(), &msg)) return true;
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && !(::GetKeyState(VK_CONTROL) & 0x8000)) {
        // Tab follows the table's tab order across the picture boxes, which the
        // platform's own dialog navigation (z-order within each parent) cannot.
        const Item* current = itemForWindow(::GetFocus());
        const bool backwards = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
        const int next = platform::NextTabStop(spec_, current && current->spec() ? current->spec()->id : 0,
                                               backwards, [this](int id) { return canFocus(id); });
        if (next) {
            HWND target = static_cast<Item&>(control(next)).hwnd;
            ::SetFocus(target);
            if (static_cast<Item&>(control(next)).spec()->kind == ControlKind::TextBox)
                ::SendMessageW(target, EM_SETSEL, 0, -1);
        }
        return true;
    }
    // Esc is the cancel button's, wherever the focus is (a rich-text box would
    // otherwise keep it for itself).
    const ControlSpec* cancel = buttonFor(true);
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && cancel) {
        const platform::Control& button = control(cancel->id);
        if (events_ && button.visible() && button.enabled()) events_->onClick(cancel->id);
        return true;
    }
    return ::IsDialogMessageW(hwnd_, &msg) != FALSE;
}

// Messages that the form and its picture boxes answer alike.
bool FormWindow::handleShared(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_SETCURSOR: {
            const Item* item = itemForWindow(reinterpret_cast<HWND>(wParam));
            const bool hand = item && item->spec() && item->spec()->pointer == platform::Pointer::Hand &&
                              LOWORD(lParam) == HTCLIENT;
            if (!Win32Ui::Busy() && !hand) return false;
            ::SetCursor(Win32Ui::Busy() ? ::LoadCursorW(nullptr, IDC_WAIT) : HandPointer());
            result = TRUE;
            return true;
        }
        case WM_CTLCOLORSTATIC: {
            Item* item = itemForWindow(reinterpret_cast<HWND>(lParam));
            if (!item || item->spec()->kind != ControlKind::Label) return false;
            HDC dc = reinterpret_cast<HDC>(wParam);
            ::SetTextColor(dc, item->foreColor());
            ::SetBkMode(dc, TRANSPARENT);
            const RECT place = RectInParent(item->hwnd);
            ::SetBrushOrgEx(dc, -place.left, -place.top, nullptr);
            result = reinterpret_cast<LRESULT>(labelBrush(item->hwnd));
            return true;
        }
        case WM_ERASEBKGND: {
            Surface& surface = surfaceFor(hwnd);
            RECT client;
            ::GetClientRect(hwnd, &client);
            ::BitBlt(reinterpret_cast<HDC>(wParam), 0, 0, client.right, client.bottom, surface.dc.get(), 0, 0,
                     SRCCOPY);
            result = TRUE;
            return true;
        }
        case WM_COMMAND: {
            if (!events_) return false;
            int id = LOWORD(wParam);
            const int code = HIWORD(wParam);
            // Esc as the dialog keys report it: the cancel button's click.
            if (id == IDCANCEL && hwnd == hwnd_) {
                const ControlSpec* cancel = buttonFor(true);
                if (!cancel) return false;
                id = cancel->id;
            }
            if (!lParam || code == BN_CLICKED) {  // a menu entry or shortcut (no lParam), or a button
                events_->onClick(id);
            } else if (code == EN_CHANGE) {
                events_->onChange(id);
            } else {
                return false;
            }
            result = 0;
            return true;
        }
        default: return false;
    }
}

LRESULT FormWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (handleShared(hwnd_, message, wParam, lParam, result)) return result;
    switch (message) {
        case kActivateMessage:
            if (events_) events_->Form_Activate();
            return 0;
        case DM_GETDEFID:  // asked by the dialog keys: Enter clicks the default button
            if (const ControlSpec* button = buttonFor(false)) return MAKELRESULT(button->id, DC_HASDEFID);
            return 0;
        case WM_SIZE:
            if (!relayingOut_ && wParam != SIZE_MINIMIZED) keepClientSize(LOWORD(lParam), HIWORD(lParam));
            // Every later change of size reaches the logic; show() reports the first.
            if (events_ && shown_ && !relayingOut_ && lParam != shownSize_) {
                shownSize_ = lParam;
                events_->Form_Resize();
            }
            return 0;
        case WM_DPICHANGED:
            changeDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_CLOSE:
            unload();
            return 0;
        case WM_DESTROY:
            // The main window's end is the program's end.
            if (!modal_ && !::GetWindow(hwnd_, GW_OWNER)) ::PostQuitMessage(0);
            return 0;
        default: return ::DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

LRESULT CALLBACK FormWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* createStruct = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<FormWindow*>(createStruct->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<FormWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->menuBar_ = nullptr;  // destroyed with the window
        self->surfaces_.clear();
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->handleMessage(message, wParam, lParam);
}

LRESULT CALLBACK FormWindow::ContainerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    FormWindow* form = FormOf(hwnd);
    LRESULT result = 0;
    if (form && form->handleShared(hwnd, message, wParam, lParam, result)) return result;
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace kestrum::win32
