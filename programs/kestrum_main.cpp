// kestrum.exe: the Win32 entry point. It wires the platform adapters to the
// portable start-up and main window, then runs the message loop.

#include <windows.h>

#include "app/frm_kestrum.h"
#include "app/mod_main.h"
#include "paint/gradient_state.h"
#include "platform/win32/dll_search.h"
#include "platform/win32/files.h"
#include "platform/win32/forms.h"
#include "platform/win32/local_addresses.h"
#include "platform/win32/message_loop.h"
#include "platform/win32/network.h"
#include "platform/win32/paint_target.h"
#include "platform/win32/registry.h"
#include "platform/win32/resource.h"
#include "platform/win32/router_link.h"
#include "platform/win32/settings.h"
#include "platform/win32/shell.h"
#include "platform/win32/system.h"
#include "platform/win32/ui.h"
#include "reach/lease_keeper.h"
#include "reach/pinhole.h"
#include "reach/router_port_mapping.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace kestrum;
    win32::LockDllSearchToSystemFolder();  // before anything else is loaded
    win32::Win32System system;
    win32::RegistrySettings settings;
    win32::Win32Ui ui;
    win32::Win32Sockets sockets;
    win32::WinInet internet;
    win32::IpHelperHopProbe hops;
    win32::Win32Shell shell;
    win32::Win32SystemColors systemColors;
    // The painter's settings and the painter every window is painted through.
    paint::GradientState gradient(ui, systemColors);
    win32::Win32Registry registry;
    win32::Win32Files files;
    win32::TcpPortProbe ports;
    win32::WinsockRouterLink link;
    win32::SystemLocalAddresses local;
    const reach::RouterServices routerServices{link, local, settings};
    reach::RouterPortMapping portMapping(routerServices);
    reach::Pinhole pinhole(routerServices);
    // The doors' leases, renewed at half their length while the program runs.
    const reach::LeaseKeeper leases(std::chrono::seconds(reach::kLeaseSeconds / 2), [&portMapping, &pinhole] {
        portMapping.Renew();
        pinhole.Renew();
    });
    // Declared after what the work uses, so its threads end first.
    win32::BackgroundWork jobs;
    win32::Win32Forms forms(&jobs);
    app::modMain main(system, settings);
    app::HelpWindows help(
        {forms, main, ui, gradient, system, settings, shell, registry, files, link, local, portMapping, pinhole});
    win32::MainForm mainForm(&jobs);
    bool shown = false;
    main.Main([&] {
        shown = mainForm.show(app::KestrumLayout(), IDI_KESTRUM, [&](platform::FormView& view) {
            return std::make_unique<app::frmKestrum>(
                view, app::Services{main, ui, system, settings, sockets, internet, hops, ports, shell, gradient, help});
        });
    });
    if (!shown) return 1;
    // The doors a crashed run left open on the router, closed without holding up the window.
    jobs.start([&portMapping, &pinhole] {
        portMapping.CloseLeftBehind();
        pinhole.CloseLeftBehind();
    });
    const int result = win32::RunMessageLoop();
    // The doors this run opened are closed when it ends, once no work is under way.
    jobs.joinAll();
    if (portMapping.IsOpen()) portMapping.Close();
    if (pinhole.IsOpen()) pinhole.Close();
    return result;
}
