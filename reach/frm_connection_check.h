#pragma once
// The Connection Check window: whether the other side can reach this computer's
// Remote Desktop, found off the window's thread, and the router's doors for it
// (port 3389 over IPv4, and over IPv6 through its firewall) opened and closed on
// request.

#include <memory>

#include "paint/gradient_state.h"
#include "platform/form.h"
#include "platform/ui.h"
#include "reach/findings.h"
#include "reach/frm_connection_check_layout.h"
#include "reach/observe.h"
#include "reach/router_port_mapping.h"

namespace kestrum::reach {

struct CheckServices {
    platform::Ui& ui;
    paint::GradientState& gradient;
    ObserveServices observe;
    RouterPortMapping& portMapping;
};

class frmConnectionCheck : public platform::FormEvents {
public:
    frmConnectionCheck(platform::FormView& view, const CheckServices& services);

    void onLoad() override { Form_Load(); }
    void Form_Load();
    void onResize() override { Form_Resize(); }
    void Form_Resize();
    void onClick(int id) override;
    void cmdPort_Click();
    void cmdPort6_Click();
    void cmdCopy_Click();
    void cmdClose_Click();

private:
    // Runs the check away from the window, then shows what it found.
    void RunCheck();
    void ShowFindings(const Observations& seen);
    // The check failed: the window leaves its busy state.
    void CheckBrokeOff();
    // The doors' buttons: close what is open, open what may be (open6: the pinhole is open).
    void ShowDoors(bool open6, bool canOpen, bool canOpen6);
    void PaintForm();
    // Asks before opening, then opens or closes away from the window; tells when the router would not.
    void OpenOrClose(bool opening, std::function<DoorChange()> change, const char* question, const std::string& what);

    platform::FormView& view_;
    CheckServices services_;
    Observations seen_;  // what the last check found
    platform::Control& cmdPort;
    platform::Control& cmdPort6;
    platform::Control& txtIpv6Id;
    platform::Control& cmdCopy;
    platform::Control& lblProgress;
};

}  // namespace kestrum::reach
