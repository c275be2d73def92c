#pragma once
// Controls of the About box, and its table.

#include "platform/form_layout.h"

namespace kestrum::info {

enum class AboutId : int {
    cmdOK = 101,
    picIcon,
    cmdSysInfo,
    lblDisclaimer,
    lblTitle,
    lblVersion,
};

using platform::Id;

const platform::FormDef& AboutLayout();

}  // namespace kestrum::info
