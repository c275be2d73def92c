#pragma once
// Showing one of the program's other windows: made from its layout table, given
// its logic, and shown modally. The program's other windows take no input until
// it has closed.

#include <functional>
#include <memory>

#include "platform/form.h"
#include "platform/form_layout.h"

namespace kestrum::platform {

class Forms {
public:
    using MakeLogic = std::function<std::unique_ptr<FormEvents>(FormView& window)>;
    virtual ~Forms() = default;
    // Loads the window anew (its logic made by makeLogic), shows it centred and
    // returns once it has been unloaded, with the window that was active before
    // active again.
    virtual void showModal(const FormDef& layout, const MakeLogic& makeLogic) = 0;
};

}  // namespace kestrum::platform
