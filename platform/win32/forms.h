#pragma once

#include "platform/forms.h"

namespace kestrum::win32 {

class Win32Forms : public platform::Forms {
public:
    void showModal(const platform::FormDef& layout, const MakeLogic& makeLogic) override;
};

}  // namespace kestrum::win32
