#pragma once
// Controls of the Connection Check window, and its table.

#include "platform/form_layout.h"

namespace kestrum::reach {

inline constexpr int kFindingRows = 5;

enum class CheckId : int {
    cmdClose = 101,
    cmdPort,
    lblQuestion,
    lblProgress,
    lblSubject0,                             // one row a finding: its subject,
    lblState0 = lblSubject0 + kFindingRows,  // its state,
    lblFinding0 = lblState0 + kFindingRows,  // and what was found
    cmdPort6 = lblFinding0 + kFindingRows,   // the IPv6 door
    lblIpv6Id,
    txtIpv6Id,
    cmdCopy,
};

const platform::FormDef& ConnectionCheckLayout();

}  // namespace kestrum::reach
