#include "platform/win32/message_loop.h"

#include <algorithm>
#include <vector>

#include "platform/win32/form_host.h"

namespace kestrum::win32 {

namespace {

std::vector<FormWindow*>& Forms() {
    static std::vector<FormWindow*> forms;
    return forms;
}

void Dispatch(MSG& msg) {
    // A copy: a shortcut may open or close a window while we walk the list.
    const std::vector<FormWindow*> forms = Forms();
    for (FormWindow* form : forms)
        if (form->preTranslate(msg)) return;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

}  // namespace

void RegisterForm(FormWindow* form) { Forms().push_back(form); }

void UnregisterForm(FormWindow* form) { std::erase(Forms(), form); }

std::vector<HWND> FormWindowsExcept(const FormWindow* form) {
    std::vector<HWND> windows;
    for (const FormWindow* other : Forms())
        if (other != form && other->hwnd()) windows.push_back(other->hwnd());
    return windows;
}

int RunMessageLoop() {
    MSG msg;
    for (;;) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(msg.wParam);
        if (got == -1) return 1;
        Dispatch(msg);
    }
}

void RunModalLoop(const FormWindow& form) {
    MSG msg;
    while (form.hwnd()) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) return;
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        Dispatch(msg);
    }
}

void PumpPendingMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        Dispatch(msg);
    }
}

}  // namespace kestrum::win32
