#pragma once
// The main window's behaviour: what its events do to its controls.

#include "app/frm_kestrum_layout.h"
#include "app/mod_main.h"
#include "platform/files.h"
#include "platform/form.h"
#include "platform/forms.h"
#include "platform/local_addresses.h"
#include "platform/network.h"
#include "platform/registry.h"
#include "platform/router_link.h"
#include "platform/settings.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "reach/pinhole.h"
#include "reach/router_port_mapping.h"

namespace kestrum::app {

// What the main window needs of the platform.
struct Services {
    platform::Ui& ui;
    platform::System& system;
    platform::SettingsStore& settings;
    platform::Sockets& sockets;
    platform::Internet& internet;
    platform::HopProbe& hops;
    platform::PortProbe& ports;
    platform::Shell& shell;
    platform::SystemColors& systemColors;
    // The Help menu's windows, and what the About box reads.
    platform::Forms& forms;
    platform::Registry& registry;
    platform::Files& files;
    // The Connection Check: the router, this computer's addresses, and the doors
    // Kestrum may open on the router.
    platform::RouterLink& link;
    platform::LocalAddresses& local;
    reach::RouterPortMapping& portMapping;
    reach::Pinhole& pinhole;
};

// How long discovery gives IP.EXE before it reads the address IP.EXE stored.
inline constexpr unsigned kIpExeWaitMs = 10000;

inline constexpr std::uint32_t kStatusStartColor = 0xC00000;  // dark blue
inline constexpr std::uint32_t kStatusBusyColor = 0xFF0000;   // blue
inline constexpr std::uint32_t kStatusOnlineColor = 0x00FF00;
inline constexpr std::uint32_t kStatusOfflineColor = 0x0000FF;

class frmKestrum : public platform::FormEvents {
public:
    frmKestrum(platform::FormView& view, const modMain& main, Services services);

    void onLoad() override { Form_Load(); }
    void Form_Load();
    void onResize() override { Form_Resize(); }
    void Form_Resize();
    void onActivate() override { Form_Activate(); }
    void Form_Activate();
    void onClick(int id) override;
    void onChange(int id) override;

    // Local ID discovery.
    void GetIP();
    void cmdTRY_Click();
    void cmdGETIP_Click();
    void mnuGetIP_Click();
    void mnuExit_Click();

    // Remote ID entry and check.
    void txtRemoteIP_Change();
    // servicePort: the port of the service the action will use.
    bool CheckRemoteID(const std::string& id, std::uint16_t servicePort);

    // The two actions on a remote computer.
    void cmdCreateSession_Click();
    void mnuRD_Click();
    void cmdBrowse_Click();
    void mnuBrowse_Click();

    // The Help menu: each window shown modally.
    void mnuAbout_Click();
    void mnuHowTO_Click();
    void mnuCheck_Click();

private:
    std::string decimalSeparator() const;
    // Paints the window's background and shows it in the two panels.
    void PaintForm();

    platform::FormView& view_;
    const modMain& main_;
    Services services_;

    platform::Control& lblConnection;
    platform::Control& cmdTRY;
    platform::Control& txtLocalIP;
    platform::Control& txtAlternateID;
    platform::Control& txtRemoteIP;
    platform::Control& cmdCreateSession;
    platform::Control& cmdBrowse;
    platform::Control& cmdGETIP;
    platform::Control& mnuRD;
    platform::Control& mnuBrowse;
    platform::Control& mnuGetIP;
};

}  // namespace kestrum::app
