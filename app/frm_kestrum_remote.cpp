// The remote ID entry, the check every remote action passes, and the actions:
// a Remote Desktop connection, the shared folders in the file explorer, and the
// decoded address for a VPN.

#include "app/frm_kestrum.h"
#include "remote/launch_errors.h"
#include "remote/launch_parameters.h"
#include "remote/remote_id.h"

namespace kestrum::app {

void frmKestrum::txtRemoteIP_Change() {
    const std::string remote = Trim(txtRemoteIP.text());
    // Ready for something typed that is not one of this computer's own IDs.
    const bool ready = !remote.empty() && remote != Trim(txtLocalIP.text()) && remote != Trim(txtAlternateID.text());
    for (platform::Control* command : {&cmdCreateSession, &cmdBrowse, &cmdGETIP, &mnuRD, &mnuBrowse, &mnuGetIP})
        command->setEnabled(ready);
}

bool frmKestrum::CheckRemoteID(const std::string& id, std::uint16_t servicePort) {
    const remote::RemoteIdCheck result =
        remote::CheckRemoteID(id, decimalSeparator(), {services_.hops, services_.ports, servicePort});
    if (result == remote::RemoteIdCheck::Available) return true;
    services_.ui.messageBox(remote::RemoteIdCheckText(result, id), platform::kInformation, kAppTitle);
    return false;
}

void frmKestrum::cmdCreateSession_Click() {
    const std::string trimmed = Trim(txtRemoteIP.text());
    if (!remote::LooksLikeId(trimmed)) return;
    platform::Ui& ui = services_.ui;
    ui.setBusyPointer(true);
    if (CheckRemoteID(txtRemoteIP.text(), remote::kRemoteDesktopPort)) {
        const std::uintptr_t owner = view_.windowHandle();
        const remote::RemoteAddress address = remote::DecodeRemoteID(trimmed, decimalSeparator());
        const std::intptr_t result = services_.shell.execute(
            owner, "open", "MSTSC", remote::RemoteDesktopParameters(address, services_.main.AppPath), std::nullopt,
            platform::kShowMaximized);
        const std::string failure = remote::LaunchErrorText(result);
        if (!failure.empty()) {
            ui.messageBox(failure, platform::kInformation, kAppTitle);
        } else {
            cmdCreateSession.setEnabled(false);
            mnuRD.setEnabled(false);
        }
    }
    ui.setBusyPointer(false);
}

void frmKestrum::mnuRD_Click() { cmdCreateSession_Click(); }

void frmKestrum::cmdBrowse_Click() {
    const std::string trimmed = Trim(txtRemoteIP.text());
    // No "-" test here: such an ID reaches the check and its "Wrong ID".
    if (trimmed.empty()) return;
    platform::Ui& ui = services_.ui;
    ui.setBusyPointer(true);
    if (CheckRemoteID(txtRemoteIP.text(), remote::kSharedFoldersPort)) {
        const std::string target = remote::SharedFoldersPath(remote::DecodeRemoteID(trimmed, decimalSeparator()));
        const std::intptr_t result =
            services_.shell.execute(0, "explore", target, std::nullopt, std::nullopt, platform::kShowMaximized);
        const std::string failure = remote::LaunchErrorText(result);
        if (!failure.empty()) {
            ui.messageBox(failure, platform::kInformation, kAppTitle);
        } else {
            // A click queued during the launch still runs, before the pause and
            // while the commands are enabled.
            ui.doEvents();
            services_.system.sleep(10000);
            cmdBrowse.setEnabled(false);
            mnuBrowse.setEnabled(false);
        }
    }
    ui.setBusyPointer(false);
}

void frmKestrum::mnuBrowse_Click() { cmdBrowse_Click(); }

void frmKestrum::cmdGETIP_Click() {
    const std::string trimmed = Trim(txtRemoteIP.text());
    if (!remote::LooksLikeId(trimmed)) return;
    platform::Ui& ui = services_.ui;
    ui.setBusyPointer(true);
    if (!CheckRemoteID(txtRemoteIP.text(), remote::kRemoteDesktopPort)) {
        ui.setBusyPointer(false);
        return;
    }
    services_.system.sleep(2000);
    ui.setBusyPointer(false);
    ui.messageBox(
        "Remote IP is : " + remote::AddressText(remote::DecodeRemoteID(txtRemoteIP.text(), decimalSeparator())),
        platform::kOkOnly, kAppTitle);
}

void frmKestrum::mnuGetIP_Click() { cmdGETIP_Click(); }

}  // namespace kestrum::app
