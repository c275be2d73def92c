#pragma once
// The About box: the program's icon, title, version and a credit line, and the
// way to System Information.

#include <cstdint>

#include "info/frm_about_layout.h"
#include "info/start_sys_info.h"
#include "paint/gradient_state.h"
#include "platform/form.h"

namespace kestrum::info {

struct AboutServices {
    platform::Ui& ui;
    paint::GradientState& gradient;
    SysInfoServices sysInfo;
};

class frmAbout : public platform::FormEvents {
public:
    // mainWindow: the main window, whose icon the box shows.
    frmAbout(platform::FormView& view, std::uintptr_t mainWindow, AboutServices services);

    void onLoad() override { Form_Load(); }
    void Form_Load();
    void onDpiChanged() override;
    void onClick(int id) override;
    void cmdOK_Click();
    void cmdSysInfo_Click();

private:
    void PaintForm();

    platform::FormView& view_;
    std::uintptr_t mainWindow_;
    AboutServices services_;
    platform::Control& lblTitle;
    platform::Control& lblVersion;
};

}  // namespace kestrum::info
