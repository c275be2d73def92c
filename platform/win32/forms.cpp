#include "platform/win32/forms.h"

#include <windows.h>

#include "platform/win32/form_host.h"

namespace kestrum::win32 {

void Win32Forms::showModal(const platform::FormDef& layout, const MakeLogic& makeLogic) {
    const HWND active = ::GetActiveWindow();
    FormWindow window(layout, 0);
    window.setBackgroundWork(jobs_);
    if (!window.createModal()) return;
    const std::unique_ptr<platform::FormEvents> logic = makeLogic(window);
    window.setEvents(logic.get());
    window.runModal();
    window.setEvents(nullptr);  // the logic goes first
    if (active && ::IsWindow(active)) ::SetActiveWindow(active);
}

}  // namespace kestrum::win32
