#pragma once
// The Connection Check window: whether the other side can reach this computer's
// Remote Desktop, found off the window's thread, and the router's door for it
// opened and closed on request.

#include <memory>

#include "platform/form.h"
#include "platform/paint_target.h"
#include "platform/registry.h"
#include "platform/router.h"
#include "platform/settings.h"
#include "platform/ui.h"
#include "reach/door.h"
#include "reach/findings.h"
#include "reach/frm_connection_check_layout.h"

namespace kestrum::reach {

struct CheckServices {
    platform::Ui& ui;
    platform::SystemColors& systemColors;
    platform::Registry& registry;
    platform::SettingsStore& settings;
    platform::Router& router;
    Door& door;
};

// Everything the check learns, each part within its own bounded wait.
Observations Observe(const CheckServices& services);

class frmConnectionCheck : public platform::FormEvents {
public:
    frmConnectionCheck(platform::FormView& view, const CheckServices& services);

    void onLoad() override;
    void onDpiChanged() override;
    void onClick(int id) override;
    void cmdPort_Click();
    void cmdClose_Click();

private:
    // Runs the check away from the window, then shows what it found.
    void RunCheck();
    void ShowFindings(const Observations& seen);
    void PaintForm();

    platform::FormView& view_;
    CheckServices services_;
    platform::Control& cmdPort;
    platform::Control& lblProgress;
};

}  // namespace kestrum::reach
