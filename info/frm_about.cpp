#include "info/frm_about.h"

#include <string>

#include "paint/apply_gradient.h"
#include "platform/identity.h"

namespace kestrum::info {

frmAbout::frmAbout(platform::FormView& view, std::uintptr_t mainWindow, AboutServices services)
    : view_(view),
      mainWindow_(mainWindow),
      services_(services),
      lblTitle(view.control(Id(AboutId::lblTitle))),
      lblVersion(view.control(Id(AboutId::lblVersion))) {}

void frmAbout::Form_Load() {
    PaintForm();
    view_.setPictureToIconOf(Id(AboutId::picIcon), mainWindow_);
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

// The gradient and the icon are painted once, at load: at a new dpi, again.
void frmAbout::onDpiChanged() {
    PaintForm();
    view_.setPictureToIconOf(Id(AboutId::picIcon), mainWindow_);
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
