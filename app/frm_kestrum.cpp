// The main window's events, its background, and the discovery of this computer's own IDs.

#include "app/frm_kestrum.h"

#include <algorithm>

#include "net/codec.h"
#include "net/probes.h"
#include "net/winsock_2.h"
#include "paint/apply_gradient.h"

namespace kestrum::app {

namespace {
using platform::kPublicAddressKey;
using platform::kPublicAddressSection;
// What discovery gives for the address 0.0.0.0: no public address at all.
constexpr const char* kNoAddressId = "13-25-36-17";
}  // namespace

frmKestrum::frmKestrum(platform::FormView& view, const Services& services)
    : view_(view),
      services_(services),
      lblConnection(view.control(Id(KestrumId::lblConnection))),
      cmdTRY(view.control(Id(KestrumId::cmdTRY))),
      txtLocalIP(view.control(Id(KestrumId::txtLocalIP))),
      txtAlternateID(view.control(Id(KestrumId::txtAlternateID))),
      txtRemoteIP(view.control(Id(KestrumId::txtRemoteIP))),
      cmdCreateSession(view.control(Id(KestrumId::cmdCreateSession))),
      cmdBrowse(view.control(Id(KestrumId::cmdBrowse))),
      cmdGETIP(view.control(Id(KestrumId::cmdGETIP))),
      mnuRD(view.control(Id(KestrumId::mnuRD))),
      mnuBrowse(view.control(Id(KestrumId::mnuBrowse))),
      mnuGetIP(view.control(Id(KestrumId::mnuGetIP))) {}

std::string frmKestrum::decimalSeparator() const { return services_.system.decimalSeparator(); }

void frmKestrum::Form_Load() { PaintForm(); }

void frmKestrum::Form_Resize() { PaintForm(); }

// The panels show the window's gradient from their own top-left corners, not the
// part of it that lies under them.
void frmKestrum::PaintForm() {
    paint::ApplyGradient(view_.paintTarget(), services_.gradient);
    view_.setPictureFromForm(Id(KestrumId::picLocal));
    view_.setPictureFromForm(Id(KestrumId::picRemote));
}

void frmKestrum::Form_Activate() {
    cmdGETIP.setVisible(true);
    mnuGetIP.setVisible(true);
    // Discovery runs until a Local ID is shown.
    if (Trim(txtLocalIP.text()).empty()) GetIP();
}

void frmKestrum::onClick(int id) {
    // A shortcut reaches here even for an entry that is hidden or disabled;
    // such an entry does nothing, as if it could not be chosen.
    if (FindMenu(KestrumLayout(), id)) {
        const platform::Control& entry = view_.control(id);
        if (!entry.visible() || !entry.enabled()) return;
    }
    switch (static_cast<KestrumId>(id)) {
        case KestrumId::cmdTRY: cmdTRY_Click(); break;
        case KestrumId::cmdCreateSession: cmdCreateSession_Click(); break;
        case KestrumId::mnuRD: mnuRD_Click(); break;
        case KestrumId::cmdBrowse: cmdBrowse_Click(); break;
        case KestrumId::mnuBrowse: mnuBrowse_Click(); break;
        case KestrumId::cmdGETIP: cmdGETIP_Click(); break;
        case KestrumId::mnuGetIP: mnuGetIP_Click(); break;
        case KestrumId::mnuExit: mnuExit_Click(); break;
        case KestrumId::mnuAbout: mnuAbout_Click(); break;
        case KestrumId::mnuHowTO: mnuHowTO_Click(); break;
        case KestrumId::mnuCheck: mnuCheck_Click(); break;
        default: break;
    }
}

void frmKestrum::onChange(int id) {
    if (static_cast<KestrumId>(id) == KestrumId::txtRemoteIP) txtRemoteIP_Change();
}

void frmKestrum::GetIP() {
    platform::Ui& ui = services_.ui;
    platform::System& system = services_.system;
    ui.setBusyPointer(true);
    lblConnection.setText("Try to connecting...");
    lblConnection.setForeColor(kStatusBusyColor);
    ui.doEvents();  // so the new status is painted
    system.sleep(500);

    const bool online = net::IsOnline(services_.internet);
    cmdTRY.setVisible(!online);
    std::string status;
    if (online) {
        // Missing or not startable: discovery goes on with whatever value an
        // earlier run left, or none.
        system.startProgram(platform::JoinPath(services_.main.AppPath, "IP.EXE"));
        system.sleep(kIpExeWaitMs);

        std::string value =
            services_.settings.getSetting(kSettingsApplication, kPublicAddressSection, kPublicAddressKey).value_or("");
        std::erase(value, '\n');
        const std::string separator = decimalSeparator();
        txtLocalIP.setText(net::IPToID(value, separator));
        net::Winsock2 winsock(services_.sockets, ui);
        txtAlternateID.setText(net::IPToID(winsock.GetHostIP(), separator));
        if (txtLocalIP.text() == kNoAddressId) txtLocalIP.setText(txtAlternateID.text());
        status = "My Computer is online.";
        lblConnection.setForeColor(kStatusOnlineColor);
    } else {
        status = "My Computer is offline. (Check Internet or try it again)";
        lblConnection.setForeColor(kStatusOfflineColor);
        txtLocalIP.setText("");
        txtAlternateID.setText("");
    }
    lblConnection.setText(status);
    ui.setBusyPointer(false);
}

void frmKestrum::cmdTRY_Click() { GetIP(); }

// Each Help window is modal: once it has closed, the main window is the active one
// again and its activation rules run.
void frmKestrum::mnuAbout_Click() {
    services_.help.ShowAbout();
    Form_Activate();
}

void frmKestrum::mnuHowTO_Click() {
    services_.help.ShowHowTo();
    Form_Activate();
}

void frmKestrum::mnuCheck_Click() {
    services_.help.ShowConnectionCheck();
    Form_Activate();
}

void frmKestrum::mnuExit_Click() { view_.unload(); }

}  // namespace kestrum::app
