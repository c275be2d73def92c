// The Help menu: the How-To window, the Connection Check and the About box, each
// shown modally.

#include "app/frm_kestrum.h"
#include "info/frm_about.h"
#include "info/frm_how_to.h"
#include "reach/frm_connection_check.h"

namespace kestrum::app {

void frmKestrum::mnuAbout_Click() {
    services_.forms.showModal(info::AboutLayout(), [this](platform::FormView& box) {
        const info::SysInfoServices sysInfo{services_.registry, services_.files, services_.system, services_.ui};
        return std::make_unique<info::frmAbout>(box, view_.windowHandle(),
                                                info::AboutServices{services_.ui, services_.systemColors, sysInfo});
    });
    // The main window is the active one again: its activation rules run.
    Form_Activate();
}

void frmKestrum::mnuHowTO_Click() {
    services_.forms.showModal(info::HowToLayout(), [this](platform::FormView& window) {
        return std::make_unique<info::frmHowTo>(
            window, main_.AppPath, info::HowToServices{services_.ui, services_.systemColors, services_.shell});
    });
    Form_Activate();
}

void frmKestrum::mnuCheck_Click() {
    services_.forms.showModal(reach::ConnectionCheckLayout(), [this](platform::FormView& window) {
        return std::make_unique<reach::frmConnectionCheck>(
            window, reach::CheckServices{services_.ui, services_.systemColors,
                                         reach::ObserveServices{services_.registry, services_.settings, services_.link,
                                                                services_.local, services_.pinhole},
                                         services_.portMapping});
    });
    Form_Activate();
}

}  // namespace kestrum::app
