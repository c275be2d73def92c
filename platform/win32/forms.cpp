#include "platform/win32/forms.h"

#include <windows.h>

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

// The logic goes before its window.
MainForm::~MainForm() {
    if (window_) window_->setEvents(nullptr);
}

bool MainForm::show(const platform::FormDef& layout, int iconResource, const platform::Forms::MakeLogic& makeLogic) {
    window_ = std::make_unique<FormWindow>(layout, iconResource);
    if (!window_->create(nullptr)) return false;
    logic_ = makeLogic(*window_);
    window_->setEvents(logic_.get());
    window_->setBackgroundWork(jobs_);
    window_->show();
    return true;
}

}  // namespace kestrum::win32
