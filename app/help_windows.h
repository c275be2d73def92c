#pragma once
// The Help menu's windows: each made anew with what it needs and shown modally.

#include "app/mod_main.h"
#include "paint/gradient_state.h"
#include "platform/files.h"
#include "platform/forms.h"
#include "platform/local_addresses.h"
#include "platform/registry.h"
#include "platform/router_link.h"
#include "platform/settings.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "reach/pinhole.h"
#include "reach/router_port_mapping.h"

namespace kestrum::app {

class HelpWindows {
public:
    struct Services {
        platform::Forms& forms;
        const modMain& main;  // the program's folder, recorded at start-up
        platform::Ui& ui;
        paint::GradientState& gradient;
        platform::System& system;
        platform::SettingsStore& settings;
        platform::Shell& shell;
        platform::Registry& registry;
        platform::Files& files;
        // The Connection Check: the router, this computer's addresses, and the doors
        // Kestrum may open on the router.
        platform::RouterLink& link;
        platform::LocalAddresses& local;
        reach::RouterPortMapping& portMapping;
        reach::Pinhole& pinhole;
    };

    explicit HelpWindows(const Services& services) : services_(services) {}

    // Each returns once its window has closed.
    void ShowAbout();
    void ShowHowTo();
    void ShowConnectionCheck();

private:
    Services services_;
};

}  // namespace kestrum::app
