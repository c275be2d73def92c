// Start-up, the main window and the Help menu's windows, each driven through its events with the
// platform faked; the host address lookup; the layout arithmetic every window shares.

#include <gtest/gtest.h>

#include "app/frm_kestrum.h"
#include "info/frm_about.h"
#include "info/frm_how_to.h"
#include "info/start_sys_info.h"
#include "net/winsock_2.h"
#include "tests/support/fake_router.h"
#include "tests/support/fakes.h"

namespace kestrum {
namespace {

using namespace app;
using namespace kestrum::testing;
using enum KestrumId;
using enum info::AboutId;
using enum info::HowToId;

TEST(Startup, RecordsTheFoldersThenShowsTheMainWindow) {
    FakePlatform p;
    p.systemFolder = "  C:\\WINDOWS\\system32 ";
    p.refusals = 2;
    p.appData = " C:\\Users\\ann ";
    modMain main(p, p);
    main.Main([&] { p.log.push_back("show"); });
    EXPECT_EQ(p.log, (Log(3, "systemDirectory 255") + Log{"save KESTRUM/1.2/AppPath=C:\\Program Files\\Kestrum",
                                                          "save KESTRUM/1.2/SysPath=C:\\WINDOWS\\system32",
                                                          "save KESTRUM/1.2/AppData= C:\\Users\\ann ", "show"}));
    // Refusals are not reported: the folder is asked for a few times only, the store keeps nothing.
    p.refusals = 1000;
    p.refuseWrites = true;
    main.Main([&] { p.log.push_back("show"); });
    EXPECT_EQ(std::tuple(p.log.back(), p.refusals > 990, main.SysPath), std::tuple("show", true, ""));
}

class MainWindow : public ::testing::Test {
protected:
    MainWindow() {
        p.settings["KESTRUM/PROPERTIES/IP"] = "1.2.3.4";
        main.AppPath = "C:\\Tools";
    }

    FakePlatform p{&KestrumLayout()};
    paint::GradientState gradient{p, p};
    modMain main{p, p};
    testing::FakeRouter router;
    reach::RouterPortMapping portMapping{{router, p, p}};
    reach::Pinhole pinhole{{router, p, p}};
    HelpWindows help{{p, main, p, gradient, p, p, p, p, p, router, p, portMapping, pinhole}};
    frmKestrum form{p, Services{main, p, p, p, p, p, p, p, p, gradient, help}};
};

TEST_F(MainWindow, DiscoveryStartsIpExeAndShowsBothIdsOrSaysItIsOffline) {
    // clang-format off
    const Log asking = {"busy", "lblConnection.text=Try to connecting...", "lblConnection.color=16711680",
                        "events", "sleep 500", "open Kestrum 1.2 0 0"};  // preconfigured proxy, synchronous
    // clang-format on
    main.AppPath = "E:\\";  // a drive's root
    p.canStart = false;     // IP.EXE missing: what an earlier run stored is shown
    form.GetIP();
    // Reload, no cache write, keep connection: a page from a cache would say online with the cable out.
    EXPECT_EQ(p.log, (asking + Log{"url http://www.msftconnecttest.com/connecttest.txt 84400000", "close 2", "close 1",
                                   "cmdTRY.hidden", "start E:\\IP.EXE", "sleep 10000", "txtLocalIP.text=14-27-39-21",
                                   "startup 257", "cleanup", "txtAlternateID.text=23-25-36-22",
                                   "lblConnection.color=65280", "lblConnection.text=My Computer is online.", "idle"}));
    // No public address stored, or nothing at all: the Alternate ID, or no ID.
    using Stored = std::pair<const char*, const char*>;
    for (const auto& [stored, local] : {Stored{"0.0.0.0", "23-25-36-22"}, Stored{nullptr, ""}}) {
        p.settings.erase("KESTRUM/PROPERTIES/IP");
        if (stored) p.settings["KESTRUM/PROPERTIES/IP"] = stored;
        form.GetIP();
        EXPECT_EQ(p.fake(txtLocalIP).text_, local);
    }
    EXPECT_EQ(p.lastMessage.second, "") << "no message box";
    p.log.clear();
    p.online = false;
    form.onClick(Id(cmdTRY));
    EXPECT_EQ(p.log,
              (asking + Log{"cmdTRY.shown", "lblConnection.color=255", "txtLocalIP.text=", "txtAlternateID.text=",
                            "lblConnection.text=My Computer is offline. (Check Internet or try it again)", "idle"}));
}

TEST_F(MainWindow, AMenuEntryThatIsHiddenOrDisabledDoesNothing) {
    for (const auto& [visible, enabled] : {std::pair{true, false}, {false, true}, {true, true}}) {
        std::tie(p.fake(mnuExit).visible_, p.fake(mnuExit).enabled_) = std::tie(visible, enabled);
        form.onClick(Id(mnuExit));
    }
    EXPECT_EQ(p.log, Log{"unload"});
}

TEST_F(MainWindow, TheRemoteCommandsAreEnabledForAnyIdButOurOwn) {
    p.fake(txtLocalIP).text_ = "14-27-39-21";
    p.fake(txtAlternateID).text_ = " 23-25-36-22 ";
    for (const auto& [typed, ready] :
         {std::pair{"14-27-39-2", true}, {"   ", false}, {" 14-27-39-21 ", false}, {"23-25-36-22", false}}) {
        p.fake(txtRemoteIP).text_ = typed;
        form.onChange(Id(txtRemoteIP));
        for (const KestrumId id : {cmdCreateSession, cmdBrowse, cmdGETIP, mnuRD, mnuBrowse, mnuGetIP})
            EXPECT_EQ(p.fake(id).enabled_, ready) << "[" << typed << "] " << Id(id);
    }
}

TEST_F(MainWindow, EachRemoteCommandChecksTheIdThenActsOnTheDecodedAddress) {
    const std::string rd = "shell 4660 open MSTSC /v:1.2.3.4 /admin /edit:\"C:\\Tools\\Default.rdp\"";
    const std::string explore = "shell 0 explore \\\\1.2.3.4";
    const struct {
        KestrumId command;
        std::string typed;
        Log log;
        unsigned style = platform::kInformation;
        bool reachable = true;
        std::intptr_t shell = 42;
        std::string appPath = "C:\\Tools";
        std::set<std::uint16_t> listening = {};
    } cases[] = {
        // clang-format off
        {cmdGETIP, " 14-27-39-21 ",
         {"busy", "probe 1.2.3.4", "sleep 2000", "idle", "message Remote IP is : 1.2.3.4"}, platform::kOkOnly},
        // Four parts, empty ones included, or it is no ID: more parts are never probed.
        {mnuGetIP, "14-27-39", {"busy", "message Wrong ID", "idle"}},
        {cmdBrowse, "14-27-39-21-5", {"busy", "message Wrong ID", "idle"}},
        {cmdGETIP, "-", {"busy", "message Wrong ID", "idle"}},
        {mnuRD, "14--39-21", {"busy", "probe 1.-25.3.4", "probe 1.-25.3.4",
          "message This Remote ID [14--39-21] is not available on Internet", "idle"}},
        {cmdGETIP, "14.27.39.21", {}},
        {mnuRD, "14-27-39-21\" /restricted", {"busy", "probe 1.2.3.4", rd, "cmdCreateSession.disabled",
                                              "mnuRD.disabled", "idle"}},  // only numbers reach it
        {cmdCreateSession, " 14-27-39-21 ",
         {"busy", "probe 1.2.3.4", "shell 4660 open MSTSC /v:1.2.3.4 /admin /edit:\"E:\\Default.rdp\"",
          "cmdCreateSession.disabled", "mnuRD.disabled", "idle"}, 0, true, 42, "E:\\"},
        // The hop probe says no: the service's own port decides, Remote Desktop's or the shared folders'.
        {cmdCreateSession, " 14-27-39-21  ", {"busy", "probe 1.2.3.4", "probe 1.2.3.4", "connect 3389 within 3000",
          "message This Remote ID [ 14-27-39-21  ] is not available on Internet", "idle"}, 64, false, 42, "C:\\Tools",
         {445}},  // the ID as typed, blanks and all
        {cmdGETIP, "14-27-39-21", {"busy", "probe 1.2.3.4", "probe 1.2.3.4", "connect 3389 within 3000", "sleep 2000",
          "idle", "message Remote IP is : 1.2.3.4"}, platform::kOkOnly, false, 42, "C:\\Tools", {3389}},
        {cmdBrowse, "14-27-39-21", {"busy", "probe 1.2.3.4", "probe 1.2.3.4", "connect 445 within 3000", explore,
          "events", "sleep 10000", "cmdBrowse.disabled", "mnuBrowse.disabled", "idle"}, 64, false, 42, "C:\\Tools", {445}},
        {cmdBrowse, "14.27.39.21", {"busy", "message Wrong ID", "idle"}},
        {cmdBrowse, "   ", {}},
        // An IPv6 ID: only the service's port is asked, over IPv6; a link-local one is no IPv6 ID.
        {mnuRD, " 2001-DB8-77--2 ", {"busy", "connect [2001:db8:77::2]:3389 within 3000",
          "shell 4660 open MSTSC /v:[2001:db8:77::2] /admin /edit:\"C:\\Tools\\Default.rdp\"",
          "cmdCreateSession.disabled", "mnuRD.disabled", "idle"}, 64, true, 42, "C:\\Tools", {3389}},
        {cmdCreateSession, "2001-db8-77--2", {"busy", "connect [2001:db8:77::2]:3389 within 3000",
          "message This Remote ID [2001-db8-77--2] is not available on Internet", "idle"}, 64, true, 42, "C:\\Tools", {445}},
        {cmdBrowse, "2001-db8-77--2", {"busy", "connect [2001:db8:77::2]:445 within 3000",
          "shell 0 explore \\\\2001-db8-77--2.ipv6-literal.net", "events", "sleep 10000", "cmdBrowse.disabled",
          "mnuBrowse.disabled", "idle"}, 64, true, 42, "C:\\Tools", {445}},
        {cmdGETIP, "2001-db8-0077-0-0-0-0-2 ", {"busy", "connect [2001:db8:77::2]:3389 within 3000", "sleep 2000",
          "idle", "message Remote IP is : 2001:db8:77::2"}, platform::kOkOnly, false, 42, "C:\\Tools", {3389}},
        // clang-format on
    };
    for (const auto& c : cases) {
        p.log.clear();
        p.lastMessage = {};
        p.fake(c.command).enabled_ = p.fake(c.command).visible_ = true;
        p.fake(txtRemoteIP).text_ = c.typed;
        p.reachable = c.reachable;
        p.listening = c.listening;
        p.shellResult = c.shell;
        main.AppPath = c.appPath;
        form.onClick(Id(c.command));
        EXPECT_EQ(p.log, c.log) << c.typed;
        if (!p.lastMessage.second.empty()) {
            EXPECT_EQ(p.lastMessage, std::pair(c.style, std::string(kAppTitle))) << c.typed;
        }
    }
}

// Every result the shell can give up to 32, and one above: a code of the launch table says its own
// sentence and the launch counts as refused; any other takes the success path, as 33 does.
TEST_F(MainWindow, ALaunchRefusedByTheShellIsReportedAndNeverTakenAsStarted) {
    const std::set<std::intptr_t> refusals = {0, 2, 3, 5, 8, 11, 26, 27, 28, 29, 30, 31, 32};
    std::set<std::string> sentences;
    p.fake(txtRemoteIP).text_ = "14-27-39-21";
    for (const KestrumId command : {cmdCreateSession, cmdBrowse})
        for (std::intptr_t code = 0; code <= 33; ++code) {
            p.log.clear();
            p.fake(command).enabled_ = true;
            p.shellResult = code;
            form.onClick(Id(command));
            const std::string next = p.log.at(3).starts_with("message ") ? p.log[3] : "";
            EXPECT_EQ(std::pair(next.empty(), p.fake(command).enabled_),
                      std::pair(!refusals.count(code), !next.empty()))
                << Id(command) << " " << code << ": " << p.log[3];  // enabled: not taken as started
            sentences.insert(next);
        }
    // One sentence a code, the same for both commands, and "" for the others.
    EXPECT_EQ(sentences.size(), refusals.size() + 1);
}

// Each window repaints at a new dpi; closed, the main window's activation rules run:
// Get ID shown, and discovery while no Local ID is.
TEST_F(MainWindow, TheHelpWindowsAreModalAndTheMainWindowIsActivatedAfterwards) {
    p.fake(txtLocalIP).text_ = "14-27-39-21";
    p.whileShown = [](FakePlatform&, platform::FormEvents& box) {
        box.onResize();
        box.onClick(Id(cmdSysInfo));
        box.onClick(Id(cmdOK));
    };
    p.registry["SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"]["PATH"] = {platform::kRegSz, {'m', 0}};
    form.onClick(Id(mnuAbout));
    const Log icon = {"icon picIcon of the main window"};
    EXPECT_EQ(p.log,
              (Log{"show frmAbout"} + Painted() + icon +
               Log{"caption=About Kestrum 1.2", "lblVersion.text=Version 1.2.0", "lblTitle.text=Kestrum 1.2"} +
               Painted() + icon + Log{"start m", "unload", "closed frmAbout", "cmdGETIP.shown", "mnuGetIP.shown"}));

    p.log.clear();
    p.online = false;
    p.fake(txtLocalIP).text_ = "   ";
    main.AppPath = "D:\\";
    p.whileShown = [](FakePlatform&, platform::FormEvents& window) { window.onClick(Id(Label1)); };
    form.onClick(Id(mnuHowTO));
    p.log.resize(12);
    EXPECT_EQ(p.log, (Log{"show frmHowTo"} + Painted() +
                      Log{"shell 0 open D:\\Info.doc", "closed frmHowTo", "cmdGETIP.shown", "mnuGetIP.shown", "busy"}));
}

TEST_F(MainWindow, LoadAndResizePaintTheWindowAndShowItInBothPanels) {
    form.Form_Load();
    form.Form_Resize();
    const Log once = Painted() + Log{"picture picLocal", "picture picRemote"};
    EXPECT_EQ(p.log, once + once);
    EXPECT_FALSE(p.lines.empty());
}

TEST(HostLookup, GivesTheFirstAddressOrSaysWhyNot) {
    const struct {
        std::function<void(FakePlatform&)> setUp;
        const char* address;
        Log log;
    } cases[] = {
        // clang-format off
        {[](FakePlatform&) {}, "10.0.0.5", {"startup 257", "cleanup"}},
        {[](FakePlatform& p) { p.startupResult = 10091; }, "",
         {"startup 257", "message The 32-bit Windows Socket is not responding."}},
        {[](FakePlatform& p) { p.wsa = {0x0001, 0}; }, "",  // the socket count is looked at first
         {"startup 257", "message This application requires a minimum of 1 supported sockets.", "cleanup"}},
        {[](FakePlatform& p) { p.hostNameResult = -1; }, "",
         {"startup 257",
          "message Windows Sockets error  10093 has occurred. Unable to successfully get Host Name.", "cleanup"}},
        {[](FakePlatform& p) { p.host.reset(); }, "", {"startup 257",
         "message Windows Sockets are not responding. Unable to successfully get Host Name.", "cleanup"}},
        // clang-format on
    };
    for (const auto& c : cases) {
        FakePlatform p;
        c.setUp(p);
        EXPECT_EQ(net::Winsock2(p, p).GetHostIP(), c.address);
        EXPECT_EQ(p.log, c.log);
        if (!p.lastMessage.second.empty()) {
            EXPECT_EQ(p.lastMessage, std::pair(unsigned(platform::kOkOnly), std::string(kAppTitle)));
        }
    }
}

TEST(SysInfo, TheFirstPlaceInTheRegistryThatNamesSystemInformationStartsIt) {
    using Value = std::pair<std::uint32_t, std::vector<std::uint8_t>>;
    const std::string unavailable = "message System Information Is Unavailable At This Time";
    const struct {
        std::optional<Value> first;  // the program's path
        bool fileThere, starts;
        Log log;
    } cases[] = {
        {std::nullopt, true, true, {"start C:\\MSINFO32.EXE"}},  // the second names the folder
        {std::nullopt, false, true, {unavailable}},
        {Value{platform::kRegSz, {'m', 0}}, true, false, {"start m", unavailable}},
    };
    for (const auto& c : cases) {
        FakePlatform p;
        if (c.first) p.registry["SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"]["PATH"] = *c.first;
        p.registry["SOFTWARE\\Microsoft\\Shared Tools Location"]["MSINFO"] = {platform::kRegSz, {'C', ':', 0}};
        if (c.fileThere) p.files = {"C:\\MSINFO32.EXE"};
        p.canStart = c.starts;
        info::StartSysInfo({p, p, p, p});
        EXPECT_EQ(p.log, c.log);
        EXPECT_EQ(std::count(p.opened.begin(), p.opened.end(), ""), long(p.opened.size())) << "a key left open";
    }
}

TEST_F(MainWindow, TheHowToWindowPlacesItsControlsForEverySize) {
    FakePlatform window(&info::HowToLayout(), &p.log);
    info::frmHowTo howTo(window, info::HowToServices{gradient, p, "C:\\Program Files\\Kestrum"});
    // The box's width and height; Close's left and top; the link's left and top.
    const std::tuple<float, float, std::array<float, 6>> cases[] = {
        {12270, 7680, {11790, 6720, 10815, 7140, 240, 7140}},
        {300, 7680, {11775, 6720, 10800, 7140, 240, 7140}},  // too narrow: the box keeps its width
        {0, 0, {11775, 6495, 10800, 6915, 240, 6915}},       // minimised
    };
    for (const auto& [width, height, places] : cases) {
        for (const platform::ControlDef& s : info::HowToLayout().controls)
            window.fake(s.id).place = {float(s.left), float(s.top), float(s.width), float(s.height)};
        window.clientTwips = {width, height};
        howTo.Form_Resize();
        const auto &box = window.fake(rtfHowTo).place, &close = window.fake(cmdClose).place;
        const auto& link = window.fake(Label1).place;
        EXPECT_EQ((std::array{box[2], box[3], close[0], close[1], link[0], link[1]}), places) << width;
    }
    EXPECT_EQ(p.log.size(), 3 * Painted().size());
    p.log.clear();
    p.shellResult = 2;  // no Info.doc: nothing more is said
    howTo.onClick(Id(Label1));
    howTo.onClick(Id(cmdClose));
    EXPECT_EQ(p.log, (Log{"shell 0 open C:\\Program Files\\Kestrum\\Info.doc", "unload"}));
}

// Whole pixels to the nearest, halves away from zero.
TEST(Layout, LengthsBecomeWholePixelsRoundedToTheNearest) {
    const std::tuple<int, int, int> cases[] = {{7, 96, 0}, {8, 96, 1}, {10365, 144, 1037}, {-8, 96, -1}, {-7, 96, 0}};
    for (const auto& [twips, dpi, pixels] : cases) {
        EXPECT_EQ(platform::TwipsToPixels(twips, dpi), pixels) << twips << " at " << dpi;
        EXPECT_EQ(platform::TwipsToPixels(float(twips), dpi), pixels) << twips << " at " << dpi;
    }
    EXPECT_EQ(platform::PointsToPixels(14.25, 96), 19);
    EXPECT_EQ(platform::PointsToPixels(15.75, 192), 42);
}

}  // namespace
}  // namespace kestrum
