#include "reach/frm_connection_check.h"

#include <string>

#include "paint/apply_gradient.h"
#include "platform/identity.h"

namespace kestrum::reach {

using platform::Id;

namespace {

constexpr const char* kOpenQuestion4 =
    "Anyone on the Internet can then try to sign in to this computer with Remote Desktop. "
    "Give your account a strong password, and close the port again when the session is over.\n\n"
    "Open port 3389 on the router?";
constexpr const char* kOpenQuestion6 =
    "Anyone on the Internet can then try to sign in to this computer with Remote Desktop. "
    "Give your account a strong password, and close the port again when the session is over.\n\n"
    "Open port 3389 for IPv6 in the router's firewall?";

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

}  // namespace

frmConnectionCheck::frmConnectionCheck(platform::FormView& view, const CheckServices& services)
    : view_(view),
      services_(services),
      cmdPort(view.control(Id(CheckId::cmdPort))),
      cmdPort6(view.control(Id(CheckId::cmdPort6))),
      txtIpv6Id(view.control(Id(CheckId::txtIpv6Id))),
      cmdCopy(view.control(Id(CheckId::cmdCopy))),
      lblProgress(view.control(Id(CheckId::lblProgress))) {}

void frmConnectionCheck::Form_Load() {
    PaintForm();
    RunCheck();
}

// The window keeps its size: it is resized only at a new dpi, where its background
// is painted again.
void frmConnectionCheck::Form_Resize() { PaintForm(); }

void frmConnectionCheck::onClick(int id) {
    switch (static_cast<CheckId>(id)) {
        case CheckId::cmdPort: cmdPort_Click(); break;
        case CheckId::cmdPort6: cmdPort6_Click(); break;
        case CheckId::cmdCopy: cmdCopy_Click(); break;
        case CheckId::cmdClose: cmdClose_Click(); break;
        default: break;
    }
}

void frmConnectionCheck::cmdPort_Click() {
    RouterPortMapping& mapping = services_.portMapping;
    const bool opening = !mapping.IsOpen();
    OpenOrClose(
        opening, [&mapping, opening] { return opening ? mapping.Open() : DoorChange{mapping.Close()}; }, kOpenQuestion4,
        "port 3389");
}

void frmConnectionCheck::cmdPort6_Click() {
    Pinhole& pinhole = services_.observe.pinhole;
    const bool opening = !pinhole.IsOpen();
    OpenOrClose(
        opening, [&pinhole, opening] { return opening ? pinhole.Open() : DoorChange{pinhole.Close()}; }, kOpenQuestion6,
        "port 3389 for IPv6");
}

void frmConnectionCheck::cmdCopy_Click() {
    if (!services_.ui.copyText(txtIpv6Id.text()))
        services_.ui.messageBox("The IPv6 ID could not be put on the clipboard.", platform::kExclamation,
                                platform::kAppTitle);
}

void frmConnectionCheck::cmdClose_Click() { view_.unload(); }

void frmConnectionCheck::OpenOrClose(bool opening, std::function<DoorChange()> change, const char* question,
                                     const std::string& what) {
    if (opening && !services_.ui.confirm(question, platform::kExclamation, platform::kAppTitle)) return;
    cmdPort.setEnabled(false);
    cmdPort6.setEnabled(false);
    auto outcome = std::make_shared<DoorChange>();
    view_.runInBackground(
        [change = std::move(change), outcome] { *outcome = change(); },
        [this, opening, what, outcome](bool worked) {
            if (worked && !outcome->done) {
                std::string text = opening ? "The router did not open " : "The router did not close ";
                text += what + '.';
                // Appended a piece at a time: GCC 12 warns falsely of overlap on " " + text.
                for (const std::string& more : {outcome->why, outcome->providerInFront ? InsteadOfIpv4(seen_) : ""})
                    if (!more.empty()) text.append(1, ' ').append(more);
                services_.ui.messageBox(text, platform::kExclamation, platform::kAppTitle);
            }
            RunCheck();
        });
}

void frmConnectionCheck::RunCheck() {
    cmdPort.setEnabled(false);
    cmdPort6.setEnabled(false);
    lblProgress.setVisible(true);
    auto seen = std::make_shared<Observations>();
    view_.runInBackground([services = services_.observe, seen] { *seen = Observe(services); },
                          [this, seen](bool worked) {
                              if (worked) ShowFindings(*seen);
                              else CheckBrokeOff();
                          });
}

// The window has told why. What an earlier check found stays on show, and both
// doors can be tried: either way the check runs again afterwards.
void frmConnectionCheck::CheckBrokeOff() {
    lblProgress.setVisible(false);
    ShowDoors(services_.observe.pinhole.IsOpen(), true, true);
}

void frmConnectionCheck::ShowFindings(const Observations& seen) {
    seen_ = seen;
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
    txtIpv6Id.setText(seen.ipv6Id);
    cmdCopy.setEnabled(!seen.ipv6Id.empty());
    ShowDoors(seen.pinholeOpen, seen.mappings.has_value(),
              seen.firewall && seen.firewall->enabled && seen.firewall->pinholesAllowed);
}

void frmConnectionCheck::ShowDoors(bool open6, bool canOpen, bool canOpen6) {
    const bool open = services_.portMapping.IsOpen();
    cmdPort.setText(open ? "Close port 3389" : "Open port 3389 on the router");
    cmdPort.setEnabled(open || canOpen);
    cmdPort6.setText(open6 ? "Close port 3389 for IPv6" : "Open port 3389 for IPv6");
    cmdPort6.setEnabled(open6 || canOpen6);
}

void frmConnectionCheck::PaintForm() { paint::ApplyGradient(view_.paintTarget(), services_.gradient); }

}  // namespace kestrum::reach
