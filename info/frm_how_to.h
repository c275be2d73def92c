#pragma once
// The How-To window: the instructions in a rich-text box that fills the window,
// a Close button, and a link to the companion document Info.doc.

#include <string>

#include "info/frm_how_to_layout.h"
#include "paint/gradient_state.h"
#include "platform/form.h"
#include "platform/shell.h"

namespace kestrum::info {

struct HowToServices {
    paint::GradientState& gradient;
    platform::Shell& shell;
    std::string appPath;  // the program's folder, where Info.doc lies
};

// Info.doc in the program's folder: one backslash between them, also at the
// root of a drive, whose folder already ends in one.
std::string InfoDocPath(const std::string& appPath);

class frmHowTo : public platform::FormEvents {
public:
    frmHowTo(platform::FormView& view, const HowToServices& services);

    void onLoad() override { Form_Load(); }
    void Form_Load();
    void onResize() override { Form_Resize(); }
    void Form_Resize();
    void onClick(int id) override;
    void cmdClose_Click();
    void Label1_Click();

private:
    void PaintForm();

    platform::FormView& view_;
    HowToServices services_;
    platform::Control& rtfHowTo;
    platform::Control& cmdClose;
    platform::Control& Label1;
};

}  // namespace kestrum::info
