#pragma once
// Controls of the How-To window, and its table.

#include "platform/form_layout.h"

namespace kestrum::info {

enum class HowToId : int {
    rtfHowTo = 121,
    cmdClose,
    Label1,
};

using platform::Id;

// The name of the program's resource that holds the How-To document.
inline constexpr const char* kHowToDocument = "HOWTO";

const platform::FormDef& HowToLayout();

}  // namespace kestrum::info
