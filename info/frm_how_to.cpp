#include "info/frm_how_to.h"

#include "info/how_to_resize.h"
#include "paint/apply_gradient.h"
#include "platform/text_helpers.h"

namespace kestrum::info {

std::string InfoDocPath(const std::string& appPath) { return platform::JoinPath(appPath, "Info.doc"); }

frmHowTo::frmHowTo(platform::FormView& view, const HowToServices& services)
    : view_(view),
      services_(services),
      rtfHowTo(view.control(Id(HowToId::rtfHowTo))),
      cmdClose(view.control(Id(HowToId::cmdClose))),
      Label1(view.control(Id(HowToId::Label1))) {}

void frmHowTo::Form_Load() { PaintForm(); }

// Each step reads what the steps before it set: the controls hold their places
// in whole pixels.
void frmHowTo::Form_Resize() {
    const BoxSize size = HowToBoxSize(view_.scaleWidth(), view_.scaleHeight(), rtfHowTo.left(), rtfHowTo.top());
    if (size.width) rtfHowTo.setWidth(*size.width);
    if (size.height) rtfHowTo.setHeight(*size.height);
    const BelowBox below =
        HowToBelowBox(rtfHowTo.left(), rtfHowTo.top(), rtfHowTo.width(), rtfHowTo.height(), cmdClose.width());
    cmdClose.setTop(below.closeTop);
    cmdClose.setLeft(below.closeLeft);
    Label1.setTop(below.linkTop);
    Label1.setLeft(below.linkLeft);
    PaintForm();
}

void frmHowTo::onClick(int id) {
    switch (static_cast<HowToId>(id)) {
        case HowToId::cmdClose: cmdClose_Click(); break;
        case HowToId::Label1: Label1_Click(); break;
        default: break;
    }
}

void frmHowTo::cmdClose_Click() { view_.unload(); }

// Missing, or nothing to open it with: the shell's answer is not looked at.
void frmHowTo::Label1_Click() {
    services_.shell.execute(0, "open", InfoDocPath(services_.appPath), std::nullopt, std::nullopt,
                            platform::kShowMaximized);
}

void frmHowTo::PaintForm() { paint::ApplyGradient(view_.paintTarget(), services_.gradient); }

}  // namespace kestrum::info
