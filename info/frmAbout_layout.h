#pragma once
// Controls of the About box, and its table.

#include "platform/form_layout.h"

namespace kestrum::info {

enum AboutId : int {
    cmdOK = 101,
    picIcon,
    cmdSysInfo,
    lblDisclaimer,
    lblTitle,
    lblVersion,
};

const platform::FormDef& AboutLayout();

}  // namespace kestrum::info
