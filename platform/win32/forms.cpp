#include "platform/win32/forms.h"

#include <windows.h>

namespace kestrum::win32 {

// The logic goes before its window.
Win32Forms::~Win32Forms() {
    if (main_) main_->setEvents(nullptr);
}

bool Win32Forms::showMain(const platform::FormDef& layout, int iconResource, const MakeLogic& makeLogic) {
    main_ = std::make_unique<FormWindow>(layout, iconResource);
    if (!main_->create(nullptr)) return false;
    mainLogic_ = makeLogic(*main_);
    main_->setEvents(mainLogic_.get());
    main_->setBackgroundWork(jobs_);
    main_->show();
    return true;
}

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
