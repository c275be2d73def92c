// The real kestrum.exe used as a person would: keys and focus, the Help windows at
// the screen's dpi, and discovery through a loopback proxy. The "Dpi" suites run
// again at 144 and 192 dpi.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/frm_kestrum_layout.h"
#include "info/frm_about_layout.h"
#include "info/frm_how_to_layout.h"
#include "net/codec.h"
#include "platform/win32/text.h"
#include "reach/frm_connection_check_layout.h"
#include "tests/e2e/kestrum_process.h"
#include "tests/support/loopback_http.h"
#include "tests/support/outside.h"

namespace kestrum::e2e {
namespace {

using platform::Id;
using enum app::KestrumId;
const wchar_t kOnline[] = L"My Computer is online.";
const wchar_t kPublicKey[] = L"Software\\VB and VBA Program Settings\\KESTRUM\\PROPERTIES";

// Each test starts the program anew: from a folder whose name has blanks and letters
// of three scripts, beside DLLs planted under the names of those it loads and an
// IP.EXE that never ends, with a proxy where nothing answers yet (the Internet
// refusing), once its first discovery is over.
class Kestrum : public testing::Test {
protected:
    void SetUp() override { StartProgram(); }
    // The program, and the IP.EXE it started, which never ends by itself.
    void TearDown() override {
        kestrum_.reset();
        if (HANDLE ipExe = IpExe()) {
            if (::TerminateProcess(ipExe, 1)) ::WaitForSingleObject(ipExe, 5000);
            ::CloseHandle(ipExe);
        }
    }

    // The running stand-in for IP.EXE, which writes its process id when it starts; null when none.
    HANDLE IpExe() const {
        unsigned long pid = 0;
        WaitUntil(10000, [&] {
            FILE* in = _wfopen(At(L"ip.txt").c_str(), L"rb");
            const bool read = in && fscanf(in, "%lu", &pid) == 1;
            if (in) fclose(in);
            return read;
        });
        return pid ? ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid) : nullptr;
    }

    std::wstring At(const std::wstring& file) const { return folder_ + L"\\" + file; }
    HWND Control(app::KestrumId id) const { return FindControl(main_, Id(id)); }
    // Closed: the main window usable and in front again and, its Local ID empty, discovery
    // run anew. A marker in the status line first: the program's own text replaces it.
    std::string BackToMain(HWND closed, WORD key) {
        ::SendMessageW(Control(lblConnection), WM_SETTEXT, 0, LPARAM(L"(marker)"));
        if (!Press(closed, {key})) return "the window to close never came to the front";
        const bool back = WaitUntil(10000, [&] {
            return !::IsWindow(closed) && ::IsWindowEnabled(main_) && ::GetForegroundWindow() == main_ &&
                   Caption(Control(lblConnection)) == kOffline;
        });
        return back ? "" : "not closed, or the main window not usable, in front and offline again";
    }
    bool NoMessageBox() const { return !FindTopLevel(kestrum_->id(), L"#32770", nullptr); }

    std::unique_ptr<Process> kestrum_;
    HWND main_ = nullptr;
    std::wstring folder_;
    unsigned short proxy_ = testsupport::ClosedLoopbackPort();

private:
    void StartProgram() {
        wchar_t temp[MAX_PATH] = {};
        folder_ = std::wstring(temp, ::GetTempPathW(MAX_PATH, temp));
        folder_ += L"Kestrum Pr\u00FCfung \u8A66\u9A13 \u03A9";
        ::CreateDirectoryW(folder_.c_str(), nullptr);
        for (const wchar_t* file : {L"planted.marker", L"ip.txt"}) ::DeleteFileW(At(file).c_str());
        const std::pair<const wchar_t*, const wchar_t*> copies[] = {{L"kestrum.exe", L"kestrum.exe"},
                                                                    {L"doubles\\hanging\\IP.EXE", L"IP.EXE"},
                                                                    {L"doubles\\planted.dll", L"msftedit.dll"},
                                                                    {L"doubles\\planted.dll", L"riched20.dll"},
                                                                    {L"doubles\\planted.dll", L"riched32.dll"}};
        for (const auto& [from, to] : copies)
            ASSERT_TRUE(::CopyFileW((ThisFolder() + L"\\" + from).c_str(), At(to).c_str(), FALSE))
                << win32::Narrow(from);
        // One proxy setting for the program's whole life: some Wine versions read it once.
        testsupport::UseLoopbackProxy(proxy_);
        ::SetEnvironmentVariableW(L"KESTRUM_HANG_LOG", At(L"ip.txt").c_str());  // where IP.EXE leaves its id
        UseStandIns(At(L"stand-in.log"));
        kestrum_ = std::make_unique<Process>(At(L"kestrum.exe"));
        ASSERT_TRUE(main_ = kestrum_->waitForWindow(kCaption)) << "no window captioned Kestrum 1.2 within 30 s";
        ASSERT_EQ(WaitForText(Control(lblConnection), kOffline, 30000), kOffline) << "within 30 s";
    }
};

// The control focused after each of Tab (or Shift+Tab) pressed steps times.
std::vector<int> Walk(HWND main, size_t steps, bool backwards) {
    std::vector<int> seen;
    for (size_t i = 0; i < steps; ++i) {
        const int from = FocusedId(main);
        if (!Press(main, backwards ? std::vector<WORD>{VK_SHIFT, VK_TAB} : std::vector<WORD>{VK_TAB})) break;
        WaitUntil(2000, [&] { return FocusedId(main) != from; });
        seen.push_back(FocusedId(main));
    }
    return seen;
}

// Started from its odd folder, it records it as it is and says nothing; the focus then
// waits in the remote ID box.
using Keyboard = Kestrum;
TEST_F(Keyboard, FocusWaitsInTheRemoteIdBoxAndTabFollowsTheTabIndexes) {
    EXPECT_EQ(UserString(L"Software\\VB and VBA Program Settings\\KESTRUM\\1.2", L"AppPath"), folder_);
    EXPECT_TRUE(NoMessageBox());
    EXPECT_TRUE(WaitUntil(5000, [&] { return FocusedId(main_) == Id(txtRemoteIP); }));
    // Nothing typed: the remote commands are disabled, so Tab passes them by.
    const std::vector<int> offline{Id(cmdTRY), Id(txtAlternateID), Id(txtLocalIP), Id(txtRemoteIP)};
    EXPECT_EQ(Walk(main_, offline.size(), false), offline);
    ASSERT_TRUE(Press(main_, {'1'}));
    EXPECT_TRUE(WaitUntil(5000, [&] { return WindowText(Control(txtRemoteIP)) == L"1"; }));
    const std::vector<int> typed{Id(cmdCreateSession), Id(cmdTRY),     Id(cmdBrowse),  Id(cmdGETIP),
                                 Id(txtAlternateID),   Id(txtLocalIP), Id(txtRemoteIP)};
    EXPECT_EQ(Walk(main_, typed.size(), false), typed);
    std::vector<int> back(typed.rbegin() + 1, typed.rend());
    back.push_back(Id(txtRemoteIP));
    EXPECT_EQ(Walk(main_, typed.size(), true), back);
}

// Every visible control of the table inside its parent and clear of its visible
// siblings. (That each caption fits its control is the Windows tier's, with the font the
// control holds.)
void ExpectNothingOverlapsOrIsCutOff(HWND window, const platform::FormDef& form) {
    SCOPED_TRACE(testing::Message() << form.name << " at dpi " << ::GetDpiForWindow(window));
    for (const platform::ControlDef& c : form.controls) {
        HWND control = FindControl(window, c.id);
        ASSERT_NE(control, nullptr) << c.name;
        if (!::IsWindowVisible(control)) continue;
        RECT place = win32::RectInParent(control), parent, inside;
        ::GetClientRect(::GetParent(control), &parent);
        ::IntersectRect(&inside, &place, &parent);
        EXPECT_TRUE(::EqualRect(&inside, &place)) << c.name << " leaves its parent";
        for (const platform::ControlDef& other : form.controls) {
            HWND sibling = FindControl(window, other.id);
            const RECT there = win32::RectInParent(sibling);
            if (&c < &other && c.container == other.container && ::IsWindowVisible(sibling)) {
                EXPECT_FALSE(::IntersectRect(&inside, &place, &there)) << c.name << " overlaps " << other.name;
            }
        }
    }
}

using DpiWindows = Kestrum;
TEST_F(DpiWindows, EveryWindowAtTheScreensDpiWithNothingOverlappingOrCutOff) {
    const int dpi = static_cast<int>(::GetDpiForWindow(main_));
    const char* wanted = std::getenv("KESTRUM_EXPECTED_DPI");
    ASSERT_EQ(dpi, wanted ? std::atoi(wanted) : 96) << "the screen's dpi did not reach the program";
    const std::wstring suffix = L"_dpi" + std::to_wstring(dpi);
    ExpectNothingOverlapsOrIsCutOff(main_, app::KestrumLayout());
    SaveScreenshot(main_, L"main_window" + suffix);
    // Each Help window opened with its Ctrl shortcut, closed with Enter (its default
    // button) or Esc (its cancel button, even from the How-To document, which has the focus first).
    const struct {
        char key;
        WORD close;
        const wchar_t* caption;
        const platform::FormDef& form;
        const wchar_t* name;
        int busy;  // a progress line to wait out first, or 0
    } windows[] = {{'A', VK_RETURN, L"About Kestrum 1.2", info::AboutLayout(), L"about_box", 0},
                   {'T', VK_ESCAPE, L"HOW TO...", info::HowToLayout(), L"howto_window", 0},
                   {'K', VK_ESCAPE, L"Connection Check", reach::ConnectionCheckLayout(), L"connection_check",
                    Id(reach::CheckId::lblProgress)}};
    for (const auto& w : windows) {
        ASSERT_TRUE(Press(main_, {VK_CONTROL, WORD(w.key)}));
        HWND window = kestrum_->waitForWindow(w.caption, 15000);
        EXPECT_FALSE(Exists(At(L"planted.marker"))) << "a DLL planted beside kestrum.exe was loaded";
        ASSERT_NE(window, nullptr) << "no window captioned " << testing::PrintToString(w.caption);
        EXPECT_TRUE(!w.busy || WaitUntil(15000, [&] { return !::IsWindowVisible(FindControl(window, w.busy)); }));
        ExpectNothingOverlapsOrIsCutOff(window, w.form);
        SaveScreenshot(window, w.name + suffix);
        ASSERT_EQ(BackToMain(window, w.close), "");
    }
}

// The ID of 127.0.0.3, where a listener of the test's takes the service's port: Wine's hop
// probe says no, the port check yes; the stand-in started receives exactly its target, then
// the command is disabled. Wine explores a UNC name only as a folder it
// can see, with the verb registered for folders: here the stand-in's.
using Launch = Kestrum;
TEST_F(Launch, AnIdWhoseServiceAnswersStartsItsProgramWithTheAddressAndDisablesTheCommand) {
    std::filesystem::create_directories(L"Z:" + win32::Widen(std::getenv("WINEPREFIX")) + L"/dosdevices/unc/127.0.0.3");
    const std::wstring doubles = ThisFolder() + L"\\doubles\\", explore = L"\"" + doubles + L"explorer.exe\" \"%1\"";
    ASSERT_EQ(ERROR_SUCCESS,
              ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\Folder\\shell\\explore\\command", nullptr,
                                REG_SZ, explore.c_str(), DWORD(explore.size() * 2 + 2)));
    const struct {
        unsigned short port;
        app::KestrumId command;
        std::wstring run;  // the program started, a line break, the end of its command line
    } launches[] = {
        {3389, cmdCreateSession, L"mstsc.exe\n /v:127.0.0.3 /admin /edit:\"" + folder_ + L"\\Default.rdp\""},
        {445, cmdBrowse, L"explorer.exe\n \"\\\\127.0.0.3\""}};
    const std::wstring id = win32::Widen(net::IPToID("127.0.0.3"));
    for (const auto& l : launches) {
        unsigned short port = l.port;
        const SOCKET listener = testsupport::Listen("127.0.0.3", port);
        ::SendMessageW(Control(txtRemoteIP), WM_SETTEXT, 0, LPARAM(id.c_str()));
        ::PostMessageW(Control(l.command), BM_CLICK, 0, 0);
        const std::wstring run = testsupport::RunOf(At(L"stand-in.log")), program = l.run.substr(0, l.run.find(' '));
        EXPECT_TRUE(run.starts_with(doubles + program) && run.ends_with(l.run.substr(program.size())))
            << win32::Narrow(run);
        EXPECT_TRUE(WaitUntil(15000, [&] { return !::IsWindowEnabled(Control(l.command)); })) << l.port;
        ::closesocket(listener);
    }
    EXPECT_TRUE(NoMessageBox());
}

// Online at last: a proxy of the test's own answers where nothing did. IP.EXE here never
// ends and leaves nothing, so what an earlier run left is shown.
using Discovery = Kestrum;
TEST_F(Discovery, TryAgainGoesOnlineWithoutWaitingForIpExeAndCtrlQEndsTheProgramWhileIpExeRuns) {
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetKeyValueW(HKEY_CURRENT_USER, kPublicKey, L"IP", REG_SZ, L"1.2.3.4", 16));
    const testsupport::LoopbackHttpServer web(
        [](const testsupport::HttpRequest&) {
            return testsupport::HttpResponse{200, "Microsoft Connect Test"};
        },
        proxy_);
    ::PostMessageW(Control(cmdTRY), BM_CLICK, 0, 0);
    EXPECT_EQ(WaitForText(Control(lblConnection), kOnline, 60000), kOnline);
    EXPECT_EQ(WindowText(Control(txtLocalIP)), L"14-27-39-21");
    EXPECT_FALSE(::IsWindowVisible(Control(cmdTRY)));
    EXPECT_TRUE(NoMessageBox());
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kPublicKey, L"IP");

    HANDLE ipExe = IpExe();
    ASSERT_NE(ipExe, nullptr) << "IP.EXE never started from " << testing::PrintToString(folder_);
    ASSERT_TRUE(Press(main_, {VK_CONTROL, 'Q'}));
    DWORD code = 1;
    EXPECT_TRUE(kestrum_->waitForExit(15000, &code)) << "still running 15 s after Ctrl+Q";
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(::WaitForSingleObject(ipExe, 0), DWORD(WAIT_TIMEOUT)) << "IP.EXE ended with it";
    ::CloseHandle(ipExe);
}

}  // namespace
}  // namespace kestrum::e2e
