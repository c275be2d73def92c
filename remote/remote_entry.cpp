// The main window's remote ID entry and the check every remote action passes.

#include "app/frmKestrum.h"
#include "net/codec.h"
#include "net/probes.h"
#include "remote/remote_id.h"

namespace kestrum::app {

void frmKestrum::txtRemoteIP_Change() {
    const std::string remote = Trim(txtRemoteIP.text());
    // Ready for something typed that is not one of this computer's own IDs.
    const bool ready = !remote.empty() && remote != Trim(txtLocalIP.text()) && remote != Trim(txtAlternateID.text());
    for (platform::Control* command : {&cmdCreateSession, &cmdBrowse, &cmdGETIP, &mnuRD, &mnuBrowse, &mnuGetIP})
        command->setEnabled(ready);
}

bool frmKestrum::CheckRemoteID(const std::string& id) {
    std::string message = "Wrong ID";
    if (remote::HasFourParts(id)) {
        const std::string address = net::IDToIP(id, decimalSeparator());
        if (net::IsReachable(services_.hops, address)) return true;
        message = "This Remote ID [" + id + "] is not available on Internet";
    }
    services_.ui.messageBox(message, platform::kInformation, kAppTitle);
    return false;
}

}  // namespace kestrum::app
