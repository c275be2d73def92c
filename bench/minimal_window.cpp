// The smallest Win32 window program: the floor against which kestrum.exe's start
// under Wine is measured. Given a client size in pixels ("minimal_window W H"), a
// WM_COMMAND of id 1 also opens a second window of that size, the floor for a
// window opened from a click.

#include <windows.h>

#include <cwchar>

namespace {

constexpr wchar_t kClass[] = L"MinimalWindow";
int secondWidth = 0, secondHeight = 0;

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == 1 && secondWidth > 0) {
        const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
        RECT rect{0, 0, secondWidth, secondHeight};
        ::AdjustWindowRect(&rect, style, FALSE);
        // Shown as it is made; the opener only waits to see it.
        static_cast<void>(::CreateWindowW(kClass, L"Minimal Second", style | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                          rect.right - rect.left, rect.bottom - rect.top, hwnd, nullptr,
                                          ::GetModuleHandleW(nullptr), nullptr));
        return 0;
    }
    if (message == WM_DESTROY && !::GetWindow(hwnd, GW_OWNER)) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    std::swscanf(commandLine, L"%d %d", &secondWidth, &secondHeight);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClass;
    if (!::RegisterClassW(&windowClass)) return 1;
    HWND hwnd = ::CreateWindowW(kClass, L"Minimal Window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT,
                                CW_USEDEFAULT, 400, 300, nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 1;
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
