#include "reach/frm_connection_check.h"

#include <string>

#include "info/start_sys_info.h"
#include "paint/apply_gradient.h"
#include "platform/identity.h"

namespace kestrum::reach {

using platform::Id;

namespace {

constexpr const char* kWarning =
    "Anyone on the Internet can then try to sign in to this computer with Remote Desktop. "
    "Give your account a strong password, and close the port again when the session is over.\n\n"
    "Open port 3389 on the router?";

struct StateLook {
    const char* text;
    std::uint32_t color;  // 0x00BBGGRR
};

StateLook LookOf(State state) {
    switch (state) {
        case State::Good: return {"Good", 0x008000};
        case State::Problem: return {"Problem", 0x0000C0};
        case State::Unknown: break;
    }
    return {"Unknown", 0x606060};
}

std::optional<std::string> ReadMachineValue(platform::Registry& registry, const std::string& key,
                                            const std::string& value) {
    std::string text;
    if (info::GetKeyValue(registry, platform::RegistryRoot::LocalMachine, key, value, text) !=
        platform::ValueRead::Read)
        return std::nullopt;
    return text;
}

}  // namespace

Observations Observe(const CheckServices& services) {
    Observations seen;
    if (const auto deny = ReadMachineValue(services.registry, "SYSTEM\\CurrentControlSet\\Control\\Terminal Server",
                                           "fDenyTSConnections"))
        seen.remoteDesktopOn = *deny == "0";
    // Home editions ("Core...") can start Remote Desktop connections but not accept them.
    if (const auto edition =
            ReadMachineValue(services.registry, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "EditionID"))
        seen.editionAccepts = edition->rfind("Core", 0) != 0;
    seen.publicAddress =
        services.settings
            .getSetting(platform::kSettingsApplication, platform::kPublicAddressSection, platform::kPublicAddressKey)
            .value_or("");
    seen.mappings = services.router.mappings();
    seen.localAddress = services.router.localAddress();
    return seen;
}

frmConnectionCheck::frmConnectionCheck(platform::FormView& view, const CheckServices& services)
    : view_(view),
      services_(services),
      cmdPort(view.control(Id(CheckId::cmdPort))),
      lblProgress(view.control(Id(CheckId::lblProgress))) {}

void frmConnectionCheck::onLoad() {
    PaintForm();
    RunCheck();
}

void frmConnectionCheck::onDpiChanged() { PaintForm(); }

void frmConnectionCheck::onClick(int id) {
    switch (static_cast<CheckId>(id)) {
        case CheckId::cmdPort: cmdPort_Click(); break;
        case CheckId::cmdClose: cmdClose_Click(); break;
        default: break;
    }
}

void frmConnectionCheck::cmdPort_Click() {
    Door& door = services_.door;
    const bool opening = !door.IsOpen();
    if (opening && !services_.ui.confirm(kWarning, platform::kExclamation, platform::kAppTitle)) return;
    cmdPort.setEnabled(false);
    auto done = std::make_shared<bool>(false);
    view_.runInBackground([&door, opening, done] { *done = opening ? door.Open() : door.Close(); },
                          [this, opening, done] {
                              if (!*done)
                                  services_.ui.messageBox(opening ? "The router did not open port 3389."
                                                                  : "The router did not close port 3389.",
                                                          platform::kExclamation, platform::kAppTitle);
                              RunCheck();
                          });
}

void frmConnectionCheck::cmdClose_Click() { view_.unload(); }

void frmConnectionCheck::RunCheck() {
    cmdPort.setEnabled(false);
    lblProgress.setVisible(true);
    auto seen = std::make_shared<Observations>();
    view_.runInBackground([services = services_, seen] { *seen = Observe(services); },
                          [this, seen] { ShowFindings(*seen); });
}

void frmConnectionCheck::ShowFindings(const Observations& seen) {
    const std::vector<Finding> findings = Findings(seen);
    for (int row = 0; row < kFindingRows && row < static_cast<int>(findings.size()); ++row) {
        const Finding& finding = findings[static_cast<std::size_t>(row)];
        const StateLook look = LookOf(finding.state);
        view_.control(Id(CheckId::lblSubject0) + row).setText(finding.subject);
        platform::Control& state = view_.control(Id(CheckId::lblState0) + row);
        state.setText(look.text);
        state.setForeColor(look.color);
        view_.control(Id(CheckId::lblFinding0) + row).setText(finding.text);
    }
    lblProgress.setVisible(false);
    const bool open = services_.door.IsOpen();
    cmdPort.setText(open ? "Close port 3389" : "Open port 3389 on the router");
    cmdPort.setEnabled(open || seen.mappings.has_value());
}

void frmConnectionCheck::PaintForm() {
    paint::ApplyGradient(view_.paintTarget(), services_.ui, services_.systemColors);
}

}  // namespace kestrum::reach
