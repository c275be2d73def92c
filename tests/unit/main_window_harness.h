#pragma once
// The main window's logic with every platform service faked, the fakes that
// change something writing to one journal so tests can check the order of effects.

#include <string>
#include <vector>

#include "app/frmKestrum.h"
#include "tests/unit/fakes.h"

namespace kestrum::testing {

struct MainWindowHarness {
    MainWindowHarness() { system.journal = &journal; }

    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& m : ui.messages) texts.push_back(m.text);
        return texts;
    }

    Journal journal;
    FakeView view{&journal};
    FakeUi ui{&journal};
    FakeSystem system;
    FakeSettings settings;
    FakeSockets sockets;
    FakeInternet internet;
    FakeHopProbe hops;
    FakeShell shell{&journal};
    FakeSystemColors colors;
    FakeForms forms{&journal};
    FakeRegistry registry;
    FakeFiles files;
    app::modMain main{system, settings};
    app::frmKestrum form{view, main,
                         app::Services{ui, system, settings, sockets, internet, hops, shell, colors, forms, registry, files}};
};

}  // namespace kestrum::testing
