#include "info/frm_about.h"

#include <string>

#include "paint/apply_gradient.h"
#include "platform/identity.h"

namespace kestrum::info {

frmAbout::frmAbout(platform::FormView& view, const AboutServices& services)
    : view_(view),
      services_(services),
      lblTitle(view.control(Id(AboutId::lblTitle))),
      lblVersion(view.control(Id(AboutId::lblVersion))) {}

void frmAbout::Form_Load() {
    PaintForm();
    view_.setPictureToMainWindowIcon(Id(AboutId::picIcon));
    std::string caption = "About ";
    caption += platform::kAppTitle;
    view_.setCaption(caption);
    std::string version = "Version ";
    version += std::to_string(platform::kVersionMajor);
    version += '.';
    version += std::to_string(platform::kVersionMinor);
    version += '.';
    version += std::to_string(platform::kVersionRevision);
    lblVersion.setText(version);
    lblTitle.setText(platform::kAppTitle);
}

// The box keeps its size: it is resized only at a new dpi, where its background and
// icon are painted again.
void frmAbout::Form_Resize() {
    PaintForm();
    view_.setPictureToMainWindowIcon(Id(AboutId::picIcon));
}

void frmAbout::onClick(int id) {
    switch (static_cast<AboutId>(id)) {
        case AboutId::cmdOK: cmdOK_Click(); break;
        case AboutId::cmdSysInfo: cmdSysInfo_Click(); break;
        default: break;
    }
}

void frmAbout::cmdOK_Click() { view_.unload(); }

void frmAbout::cmdSysInfo_Click() { StartSysInfo(services_.sysInfo); }

void frmAbout::PaintForm() { paint::ApplyGradient(view_.paintTarget(), services_.gradient); }

}  // namespace kestrum::info
