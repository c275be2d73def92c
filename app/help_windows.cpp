#include "app/help_windows.h"

#include <memory>

#include "info/frm_about.h"
#include "info/frm_how_to.h"
#include "reach/frm_connection_check.h"

namespace kestrum::app {

void HelpWindows::ShowAbout() {
    const Services& s = services_;
    s.forms.showModal(info::AboutLayout(), [&s](platform::FormView& view) {
        return std::make_unique<info::frmAbout>(view,
                                                info::AboutServices{s.gradient, {s.registry, s.files, s.system, s.ui}});
    });
}

void HelpWindows::ShowHowTo() {
    const Services& s = services_;
    s.forms.showModal(info::HowToLayout(), [&s](platform::FormView& view) {
        return std::make_unique<info::frmHowTo>(view, info::HowToServices{s.gradient, s.shell, s.main.AppPath});
    });
}

void HelpWindows::ShowConnectionCheck() {
    const Services& s = services_;
    s.forms.showModal(reach::ConnectionCheckLayout(), [&s](platform::FormView& view) {
        return std::make_unique<reach::frmConnectionCheck>(
            view, reach::CheckServices{
                      s.ui, s.gradient, {s.registry, s.settings, s.link, s.local, s.pinhole}, s.portMapping});
    });
}

}  // namespace kestrum::app
