// The two actions on a remote computer: a Remote Desktop connection and its
// shared folders in the file explorer.

#include "app/frmKestrum.h"
#include "net/codec.h"
#include "remote/launch_errors.h"

namespace kestrum::app {

namespace {

// The Remote Desktop client's command line. It is made only of the decoded
// address and the program's folder: nothing the user typed reaches it as text.
std::string RemoteDesktopParameters(const std::string& address, const std::string& appPath) {
    std::string settingsFile = appPath;
    if (settingsFile.empty() || settingsFile.back() != '\\') settingsFile += '\\';
    settingsFile += "Default.rdp";
    return "/v:" + address + " /admin /edit:\"" + settingsFile + "\"";
}

}  // namespace

void frmKestrum::cmdCreateSession_Click() {
    const std::string trimmed = Trim(txtRemoteIP.text());
    if (trimmed.empty() || trimmed.find('-') == std::string::npos) return;
    platform::Ui& ui = services_.ui;
    ui.setBusyPointer(true);
    if (CheckRemoteID(txtRemoteIP.text())) {
        const std::uintptr_t owner = view_.windowHandle();
        const std::string address = net::IDToIP(trimmed, decimalSeparator());
        const std::intptr_t result =
            services_.shell.execute(owner, "open", "MSTSC", RemoteDesktopParameters(address, main_.AppPath),
                                    std::nullopt, platform::kShowMaximized);
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
    if (CheckRemoteID(txtRemoteIP.text())) {
        const std::string target = "\\\\" + net::IDToIP(trimmed, decimalSeparator());
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

}  // namespace kestrum::app
