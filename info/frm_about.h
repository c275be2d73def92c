#pragma once
// The About box: the program's icon, title, version and a credit line, and the
// way to System Information.

#include "info/frm_about_layout.h"
#include "info/start_sys_info.h"
#include "paint/gradient_state.h"
#include "platform/form.h"

namespace kestrum::info {

struct AboutServices {
    paint::GradientState& gradient;
    SysInfoServices sysInfo;
};

class frmAbout : public platform::FormEvents {
public:
    frmAbout(platform::FormView& view, const AboutServices& services);

    void onLoad() override { Form_Load(); }
    void Form_Load();
    void onResize() override { Form_Resize(); }
    void Form_Resize();
    void onClick(int id) override;
    void cmdOK_Click();
    void cmdSysInfo_Click();

private:
    void PaintForm();

    platform::FormView& view_;
    AboutServices services_;
    platform::Control& lblTitle;
    platform::Control& lblVersion;
};

}  // namespace kestrum::info
