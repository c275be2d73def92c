#pragma once
// Controls of the Connection Check window, and its table.

#include "platform/form_layout.h"

namespace kestrum::reach {

inline constexpr int kFindingRows = 4;

enum class CheckId : int {
    cmdClose = 101,
    cmdPort,
    lblQuestion,
    lblProgress,
    lblSubject0,                             // one row a finding: its subject,
    lblState0 = lblSubject0 + kFindingRows,  // its state,
    lblFinding0 = lblState0 + kFindingRows,  // and what was found
};

const platform::FormDef& ConnectionCheckLayout();

}  // namespace kestrum::reach
