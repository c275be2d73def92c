#pragma once
// Finding a window's controls and the font their table gives them,
// for the tests that look at windows of this process or of the program.

#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>

#include "platform/form_layout.h"

namespace kestrum::testsupport {

// The child window of the given control identifier anywhere below parent.
inline HWND FindControl(HWND parent, int id) {
    std::pair<int, HWND> search{id, nullptr};
    const WNDENUMPROC match = [](HWND child, LPARAM found) CALLBACK -> BOOL {
        auto& [wanted, window] = *reinterpret_cast<std::pair<int, HWND>*>(found);
        if (::GetDlgCtrlID(child) == wanted) window = child;
        return window == nullptr;
    };
    ::EnumChildWindows(parent, match, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

// The folder that holds the test program, the programs under test and the stand-ins.
inline std::wstring ThisFolder() {
    wchar_t path[MAX_PATH * 4] = {};
    const std::wstring exe(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH * 4));
    return exe.substr(0, exe.find_last_of(L'\\'));
}

// The font a control of the table is meant to show at the dpi: its own or its window's,
// in points; the system's message font where the table names no face.
inline LOGFONTW TableFont(const platform::FormDef& form, const platform::ControlDef& c, int dpi) {
    const platform::FontDef& font = c.font ? *c.font : form.font;
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi));
    if (font.face.empty()) return metrics.lfMessageFont;
    LOGFONTW log{.lfHeight = -platform::PointsToPixels(font.points, dpi),
                 .lfWeight = font.bold ? FW_BOLD : FW_NORMAL,
                 .lfUnderline = font.underline,
                 .lfCharSet = DEFAULT_CHARSET};
    std::copy(font.face.begin(), font.face.end(), log.lfFaceName);
    return log;
}

}  // namespace kestrum::testsupport
