#pragma once

#include "platform/forms.h"
#include "platform/win32/background_work.h"

namespace kestrum::win32 {

class Win32Forms : public platform::Forms {
public:
    // jobs: the threads the windows' background work runs on; none: on the window's.
    explicit Win32Forms(BackgroundWork* jobs = nullptr) : jobs_(jobs) {}
    void showModal(const platform::FormDef& layout, const MakeLogic& makeLogic) override;

private:
    BackgroundWork* jobs_;
};

}  // namespace kestrum::win32
