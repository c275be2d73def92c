#include "info/frmHowTo.h"

#include "paint/ApplyGradient.h"

namespace kestrum::info {

namespace {

// Sizes below zero are refused: that step of the layout fails, changes nothing,
// and the next step runs.
void SetWidth(platform::Control& control, float twips) {
    if (twips >= 0) control.setWidth(twips);
}

void SetHeight(platform::Control& control, float twips) {
    if (twips >= 0) control.setHeight(twips);
}

}  // namespace

std::string InfoDocPath(const std::string& appPath) {
    std::string path = appPath;
    if (path.empty() || path.back() != '\\') path += '\\';
    path += "Info.doc";
    return path;
}

frmHowTo::frmHowTo(platform::FormView& view, const std::string& appPath, HowToServices services)
    : view_(view),
      appPath_(appPath),
      services_(services),
      rtfHowTo(view.control(HowToId::rtfHowTo)),
      cmdClose(view.control(HowToId::cmdClose)),
      Label1(view.control(HowToId::Label1)) {}

void frmHowTo::Form_Load() { PaintForm(); }

// In single precision throughout; each step reads what the steps before it set.
void frmHowTo::Form_Resize() {
    const float W = view_.scaleWidth();
    const float H = view_.scaleHeight();
    SetWidth(rtfHowTo, W - 2 * rtfHowTo.left());
    SetHeight(rtfHowTo, H - 2 * rtfHowTo.top() - 480);
    cmdClose.setTop(rtfHowTo.height() + rtfHowTo.top() + 180);
    cmdClose.setLeft(rtfHowTo.width() + rtfHowTo.left() - cmdClose.width());
    Label1.setTop(cmdClose.top());
    Label1.setLeft(rtfHowTo.left());
    PaintForm();
}

void frmHowTo::onClick(int id) {
    switch (id) {
        case HowToId::cmdClose: cmdClose_Click(); break;
        case HowToId::Label1: Label1_Click(); break;
        default: break;
    }
}

void frmHowTo::cmdClose_Click() { view_.unload(); }

// Missing, or nothing to open it with: the shell's answer is not looked at.
void frmHowTo::Label1_Click() {
    services_.shell.execute(0, "open", InfoDocPath(appPath_), std::nullopt, std::nullopt,
                            platform::kShowMaximized);
}

void frmHowTo::PaintForm() { paint::ApplyGradient(view_.paintTarget(), services_.ui, services_.systemColors); }

}  // namespace kestrum::info
