#include "platform/win32/form_parts.h"

#include <richedit.h>

#include <cwchar>

#include "platform/win32/rich_text.h"
#include "platform/win32/text.h"

namespace kestrum::win32 {

using platform::ControlDef;
using platform::ControlKind;

namespace {

HINSTANCE Instance() { return ::GetModuleHandleW(nullptr); }

}  // namespace

FormParts::FormParts(const platform::FormDef& formDef, int iconResource, ControlOwner& owner)
    : formDef_(formDef), iconResource_(iconResource), owner_(owner) {}

bool FormParts::build(HWND window) {
    window_ = window;
    loadIcons();
    if (!menus_.create(window) || !createControls()) return false;
    std::vector<ACCEL> keys;
    for (const platform::MenuDef& m : formDef_.menus)
        if (m.shortcut.key)
            keys.push_back({FVIRTKEY | FCONTROL, static_cast<WORD>(m.shortcut.key), static_cast<WORD>(m.id)});
    if (!keys.empty()) shortcuts_.reset(::CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size())));
    return true;
}

void FormParts::rescale() {
    applyFonts();
    for (auto& [id, each] : controls_) each->placeAtDpi();
    loadIcons();
}

platform::Control& FormParts::at(int id) {
    const auto found = controls_.find(id);
    if (found != controls_.end()) return *found->second;
    return menus_.at(id);
}

WindowControl* FormParts::controlOf(HWND hwnd) {
    const auto found = controls_.find(::GetDlgCtrlID(hwnd));
    if (found == controls_.end() || found->second->hwnd() != hwnd) return nullptr;
    return found->second.get();
}

bool FormParts::createControls() {
    for (const ControlDef& c : formDef_.controls) {
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
                windowClass = kPictureBoxClass;
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
        HWND parent = c.container ? control(c.container).hwnd() : window_;
        HWND hwnd = ::CreateWindowExW(exStyle, windowClass, Widen(c.text).c_str(), style, px(c.left), px(c.top),
                                      px(c.width), px(c.height), parent,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), Instance(), nullptr);
        if (!hwnd) return false;
        if (c.kind == ControlKind::RichText) {
            if (!c.document.empty() && !LoadRtfDocument(hwnd, c.document)) return false;
            if (c.readOnly) ::SendMessageW(hwnd, EM_SETREADONLY, TRUE, 0);
        }
        // Text boxes take text of any length.
        if (c.kind == ControlKind::TextBox) ::SendMessageW(hwnd, EM_SETLIMITTEXT, 0, 0);
        controls_[c.id] = std::make_unique<WindowControl>(c, hwnd, owner_);
    }
    applyFonts();
    return true;
}

// Fonts in points at the window's dpi; the ones they replace go afterwards.
void FormParts::applyFonts() {
    const int dpi = owner_.dpi();
    const auto replaced = static_cast<std::ptrdiff_t>(fonts_.size());
    HFONT formFont = fontFor(formDef_.font);
    // Measured on a memory DC: a window's own would cost a trip to the system each.
    const UniqueMemoryDc measuring(::CreateCompatibleDC(nullptr));
    for (auto& [id, each] : controls_) {
        const ControlDef& c = each->controlDef();
        HWND hwnd = each->hwnd();
        if (c.kind == ControlKind::RichText) {
            // The document brings its own fonts (a window font would override them)
            // and is drawn at the system's dpi; zoomed, it matches the window's.
            const auto systemDpi = static_cast<int>(::GetDpiForSystem());
            if (systemDpi == dpi || systemDpi <= 0) ::SendMessageW(hwnd, EM_SETZOOM, 0, 0);
            else ::SendMessageW(hwnd, EM_SETZOOM, static_cast<WPARAM>(dpi), systemDpi);
            continue;
        }
        HFONT font = c.font ? fontFor(*c.font) : formFont;
        // Not redrawn here: the window is either not shown yet or redrawn whole
        // after a change of dpi.
        ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        // A label one line high shows one line: text a little wider than the box
        // (fonts differ between systems) is cut at the right instead of losing
        // its last word to a second line that cannot be seen.
        if (c.kind == ControlKind::Label && c.align == platform::TextAlign::Left) {
            SelectionRestorer selected(measuring.get(), font);
            TEXTMETRICW metrics{};
            const LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE) & ~SS_TYPEMASK;
            if (::GetTextMetricsW(measuring.get(), &metrics))
                ::SetWindowLongPtrW(hwnd, GWL_STYLE,
                                    style | (2 * metrics.tmHeight > px(c.height) ? SS_LEFTNOWORDWRAP : SS_LEFT));
        }
    }
    fonts_.erase(fonts_.begin(), fonts_.begin() + replaced);
}

HFONT FormParts::fontFor(const platform::FontDef& font) {
    const int dpi = owner_.dpi();
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (font.face.empty() &&
        ::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi))) {
        if (font.bold) metrics.lfMessageFont.lfWeight = FW_BOLD;
        fonts_.emplace_back(::CreateFontIndirectW(&metrics.lfMessageFont));
        return fonts_.back().get();
    }
    LOGFONTW log{};
    log.lfHeight = -platform::PointsToPixels(font.face.empty() ? 8 : font.points, dpi);
    log.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    log.lfUnderline = font.underline;
    log.lfCharSet = DEFAULT_CHARSET;
    log.lfQuality = CLEARTYPE_QUALITY;
    const std::wstring face = font.face.empty() ? L"MS Shell Dlg" : Widen(font.face);
    wcsncpy(log.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    fonts_.emplace_back(::CreateFontIndirectW(&log));
    return fonts_.back().get();
}

// The icons drawn at the sizes the system uses at the window's dpi.
void FormParts::loadIcons() {
    if (!iconResource_) return;
    const auto dpi = static_cast<UINT>(owner_.dpi());
    auto load = [&](int widthMetric, int heightMetric) {
        return static_cast<HICON>(::LoadImageW(Instance(), MAKEINTRESOURCEW(iconResource_), IMAGE_ICON,
                                               ::GetSystemMetricsForDpi(widthMetric, dpi),
                                               ::GetSystemMetricsForDpi(heightMetric, dpi), 0));
    };
    UniqueHicon big(load(SM_CXICON, SM_CYICON)), small(load(SM_CXSMICON, SM_CYSMICON));
    ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
    ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
    bigIcon_ = std::move(big);  // the old ones go once the window no longer shows them
    smallIcon_ = std::move(small);
}

}  // namespace kestrum::win32
