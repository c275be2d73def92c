#pragma once
// The program's windows, each made from its layout table and given its logic:
// the main window, which lives until the program ends, and the others, shown
// modally.

#include <memory>

#include "platform/forms.h"
#include "platform/win32/background_work.h"
#include "platform/win32/form_host.h"

namespace kestrum::win32 {

class Win32Forms : public platform::Forms {
public:
    // jobs: the threads the windows' background work runs on; none: on the window's.
    explicit Win32Forms(BackgroundWork* jobs = nullptr) : jobs_(jobs) {}
    Win32Forms(const Win32Forms&) = delete;
    Win32Forms& operator=(const Win32Forms&) = delete;
    ~Win32Forms() override;

    // Loads the main window with the program's icon and shows it; false when it
    // could not be made. Closing it ends the program's message loop.
    bool showMain(const platform::FormDef& layout, int iconResource, const MakeLogic& makeLogic);
    void showModal(const platform::FormDef& layout, const MakeLogic& makeLogic) override;

private:
    BackgroundWork* jobs_;
    std::unique_ptr<FormWindow> main_;
    std::unique_ptr<platform::FormEvents> mainLogic_;
};

}  // namespace kestrum::win32
