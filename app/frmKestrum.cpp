#include "app/frmKestrum.h"

namespace kestrum::app {

frmKestrum::frmKestrum(platform::FormView& view, const modMain& main)
    : view_(view),
      main_(main),
      cmdGETIP(view.control(KestrumId::cmdGETIP)),
      mnuGetIP(view.control(KestrumId::mnuGetIP)) {}

void frmKestrum::Form_Activate() {
    cmdGETIP.setVisible(true);
    mnuGetIP.setVisible(true);
}

void frmKestrum::onClick(int id) {
    // A shortcut reaches here even for an entry that is hidden or disabled;
    // such an entry does nothing, as if it could not be chosen.
    if (FindMenu(KestrumLayout(), id)) {
        const platform::Control& entry = view_.control(id);
        if (!entry.visible() || !entry.enabled()) return;
    }
    switch (id) {
        case KestrumId::mnuExit: mnuExit_Click(); break;
        default: break;
    }
}

void frmKestrum::mnuExit_Click() { view_.unload(); }

}  // namespace kestrum::app
