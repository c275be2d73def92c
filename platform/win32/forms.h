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
    void showModal(const platform::FormDef& layout, const MakeLogic& makeLogic) override;

private:
    BackgroundWork* jobs_;
};

// The main window and its logic. Declared after what the logic uses, so that both
// go before it.
class MainForm {
public:
    explicit MainForm(BackgroundWork* jobs) : jobs_(jobs) {}
    MainForm(const MainForm&) = delete;
    MainForm& operator=(const MainForm&) = delete;
    ~MainForm();

    // Loads the window with the program's icon and shows it; false when it could
    // not be made. Closing it ends the program's message loop.
    bool show(const platform::FormDef& layout, int iconResource, const platform::Forms::MakeLogic& makeLogic);

private:
    BackgroundWork* jobs_;
    std::unique_ptr<FormWindow> window_;
    std::unique_ptr<platform::FormEvents> logic_;
};

}  // namespace kestrum::win32
