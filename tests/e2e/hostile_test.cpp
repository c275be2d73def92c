// The real program against what others may leave for it or do to it: settings of
// any shape, an enormous paste, an odd program folder, IP.EXE missing or never
// ending, a proxy that never answers and a settings store that refuses writes.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/frmKestrum_layout.h"
#include "info/frmHowTo_layout.h"
#include "tests/e2e/help_windows.h"
#include "tests/e2e/running_kestrum.h"
#include "tests/support/loopback_http.h"

namespace kestrum::e2e {
namespace {

using testsupport::HttpRequest;
using testsupport::HttpResponse;
using testsupport::LoopbackHttpServer;
using testsupport::UseLoopbackProxy;

const wchar_t kSettingsKey[] = L"Software\\VB and VBA Program Settings\\KESTRUM";
const wchar_t kStartupKey[] = L"Software\\VB and VBA Program Settings\\KESTRUM\\1.2";

// The web as the online probe sees it; the address echo of IP.EXE answers
// only when asked to.
HttpResponse Web(const HttpRequest& request, bool echo) {
    if (request.target.find("connecttest.txt") != std::string::npos) return {200, "Microsoft Connect Test"};
    if (echo) return {200, "203.0.113.7\n"};
    return {404, "no"};
}

// This process's environment with some entries added in front.
std::vector<std::wstring> EnvironmentWith(const std::vector<std::wstring>& added) {
    std::vector<std::wstring> environment = added;
    wchar_t* block = ::GetEnvironmentStringsW();
    for (const wchar_t* entry = block; *entry; entry += wcslen(entry) + 1) environment.emplace_back(entry);
    ::FreeEnvironmentStringsW(block);
    return environment;
}

std::wstring Environment(const wchar_t* name) {
    std::wstring value(32767, L'\0');
    value.resize(::GetEnvironmentVariableW(name, value.data(), 32767));
    return value;
}

// A fresh folder under the temporary folder holding copies of the given files
// of the build (each from its own place there).
std::wstring ProgramFolder(const std::wstring& name, const std::vector<std::wstring>& files) {
    std::wstring folder = Environment(L"TEMP") + L"\\" + name;
    for (const std::wstring& file : files) ::DeleteFileW((folder + L"\\" + file.substr(file.rfind(L'\\') + 1)).c_str());
    ::CreateDirectoryW(folder.c_str(), nullptr);
    for (const std::wstring& file : files) {
        const std::wstring target = folder + L"\\" + file.substr(file.rfind(L'\\') + 1);
        EXPECT_TRUE(::CopyFileW((ThisFolder() + L"\\" + file).c_str(), target.c_str(), FALSE)) << "copying";
    }
    return folder;
}

// The bytes of a file another process writes, once it has something in it.
std::string ReadWhenWritten(const std::wstring& path, DWORD timeoutMs) {
    std::string bytes;
    WaitUntil([&] {
        FILE* in = _wfopen(path.c_str(), L"rb");
        if (!in) return false;
        bytes.clear();
        for (int c; (c = fgetc(in)) != EOF;) bytes += static_cast<char>(c);
        fclose(in);
        return !bytes.empty();
    }, timeoutMs);
    return bytes;
}

// The same for a file of UTF-16 text.
std::wstring ReadTextWhenWritten(const std::wstring& path, DWORD timeoutMs) {
    const std::string bytes = ReadWhenWritten(path, timeoutMs);
    std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
    return text;
}

// Text on the clipboard, as a copy in another program leaves it.
bool PutOnClipboard(const std::wstring& text) {
    if (!::OpenClipboard(nullptr)) return false;
    ::EmptyClipboard();
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool placed = false;
    if (memory) {
        std::memcpy(::GlobalLock(memory), text.c_str(), bytes);
        ::GlobalUnlock(memory);
        placed = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        // The clipboard takes the memory only when it took the data.
        // cppcheck-suppress doubleFree
        if (!placed) ::GlobalFree(memory);
    }
    ::CloseClipboard();
    return placed;
}

// Makes a program the opener of .doc documents for as long as it lives; the
// association that was there before comes back afterwards.
class DocumentOpener {
public:
    explicit DocumentOpener(const std::wstring& command) {
        wchar_t before[256] = {};
        LONG size = sizeof before;
        if (::RegQueryValueW(HKEY_CLASSES_ROOT, L".doc", before, &size) == ERROR_SUCCESS) before_ = before;
        ::RegSetValueW(HKEY_CLASSES_ROOT, L".doc", REG_SZ, kKind, 0);
        ::RegSetValueW(HKEY_CLASSES_ROOT, L"KestrumTest.Document\\shell\\open\\command", REG_SZ, command.c_str(), 0);
    }
    ~DocumentOpener() {
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L"KestrumTest.Document");
        if (before_) ::RegSetValueW(HKEY_CLASSES_ROOT, L".doc", REG_SZ, before_->c_str(), 0);
        else ::RegDeleteKeyValueW(HKEY_CLASSES_ROOT, L".doc", nullptr);
    }
    DocumentOpener(const DocumentOpener&) = delete;
    DocumentOpener& operator=(const DocumentOpener&) = delete;

private:
    static constexpr wchar_t kKind[] = L"KestrumTest.Document";
    std::optional<std::wstring> before_;
};

class Hostile : public RunningKestrum {
protected:
    void TearDown() override {
        RunningKestrum::TearDown();
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kPublicKey, L"IP");
    }
    HWND StartFrom(const std::wstring& folder, std::optional<std::vector<std::wstring>> environment = std::nullopt) {
        kestrum_ = std::make_unique<KestrumProcess>(folder + L"\\kestrum.exe", std::move(environment));
        HWND window = kestrum_->waitForWindow(L"Kestrum 1.2");
        EXPECT_NE(window, nullptr);
        return window;
    }
    // Online discovery to its end: the status, and how long it took from the window.
    std::wstring Discover(HWND window, ULONGLONG* tookMs = nullptr) {
        const ULONGLONG start = ::GetTickCount64();
        std::wstring status = WaitForStatus(window, 120000);
        if (tookMs) *tookMs = ::GetTickCount64() - start;
        return status;
    }
    std::wstring LocalId(HWND window) { return WindowText(FindControl(window, app::txtLocalIP)); }
    std::wstring AlternateId(HWND window) { return WindowText(FindControl(window, app::txtAlternateID)); }
};

// Settings values of every shape another program could leave under "IP". IP.EXE
// finds nothing here, so the value is read as it was left.
TEST_F(Hostile, AnIpSettingOfAnyShapeGivesAnIdOrNoneAndNeverAMessage) {
    LoopbackHttpServer web([](const HttpRequest& r) { return Web(r, false); });
    UseLoopbackProxy(web.port());
    struct Case {
        const char* what;
        DWORD type;
        std::vector<BYTE> data;
        std::function<std::wstring(HWND)> wanted;
    };
    auto text = [](const std::wstring& value) {
        const auto* bytes = reinterpret_cast<const BYTE*>(value.c_str());
        return std::vector<BYTE>(bytes, bytes + (value.size() + 1) * sizeof(wchar_t));
    };
    // 64 KiB: the last part is a number too large for any reading, read as 0.
    const std::wstring huge = L"1.2.3.4" + std::wstring(65536, L'9');
    // Control characters, unpaired surrogates and private-use letters, no dot.
    std::wstring junk;
    for (unsigned i = 0; i < 4000; ++i) {
        const auto c = static_cast<wchar_t>(i * 7919 % 0xFFFE + 1);
        junk += c == L'.' ? L'x' : c;
    }
    junk += L'\xD800';
    // Digits of another script are no digits: four parts of no number are the
    // address 0.0.0.0, whose ID gives way to the Alternate ID.
    const std::wstring arabic = L"\x0661\x0669\x0662.\x0661\x0666\x0668.\x0660.\x0661";
    const std::vector<BYTE> dword{7, 0, 0, 0};
    const std::vector<Case> cases = {
        {"64 KiB of text", REG_SZ, text(huge), [](HWND) { return std::wstring(L"14-27-39-17"); }},
        {"junk text", REG_SZ, text(junk), [](HWND) { return std::wstring(); }},
        {"non-ASCII digits", REG_SZ, text(arabic), [this](HWND w) { return AlternateId(w); }},
        {"binary bytes", REG_BINARY, {0xFF, 0x00, 0x2E, 0x80, 0x31, 0x2E}, [](HWND) { return std::wstring(); }},
        {"a number", REG_DWORD, dword, [](HWND) { return std::wstring(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, kPublicKey, L"IP", c.type, c.data.data(),
                                    static_cast<DWORD>(c.data.size())),
                  ERROR_SUCCESS);
        HWND window = Start();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(Discover(window), kOnline);  // a message box on the way fails here
        EXPECT_EQ(LocalId(window), c.wanted(window));
        ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(app::mnuExit, 0), 0);
        EXPECT_TRUE(kestrum_->waitForExit(15000));
    }
}

TEST_F(Hostile, AMegabyteIdPastedIsTakenAndAnsweredWithTheProgramsOwnMessage) {
    HWND window = StartOffline();
    ASSERT_NE(window, nullptr);
    HWND remote = FindControl(window, app::txtRemoteIP);
    // Words between the numbers: a megabyte of nothing but digits and dashes
    // keeps Wine's edit control busy for many minutes (its bidirectional-text
    // analysis of one long run of numbers and separators is quadratic).
    std::wstring id;
    while (id.size() < 1024 * 1024) id += L"remote-id-14-27-39-21-";
    ASSERT_TRUE(PutOnClipboard(id));
    const ULONGLONG pasted = ::GetTickCount64();
    ::PostMessageW(remote, WM_PASTE, 0, 0);
    auto length = [&] { return static_cast<std::size_t>(::SendMessageW(remote, WM_GETTEXTLENGTH, 0, 0)); };
    EXPECT_TRUE(WaitUntil([&] { return length() == id.size(); }, 120000)) << "the box holds " << length();
    std::printf("a 1 MiB paste took %llu ms to reach the box\n", ::GetTickCount64() - pasted);
    for (int command : {app::cmdCreateSession, app::cmdBrowse, app::cmdGETIP}) {
        const ULONGLONG start = ::GetTickCount64();
        Click(FindControl(window, command));
        auto box = WaitForMessageBox(kestrum_->id(), 60000);
        ASSERT_TRUE(box.has_value()) << "no answer to command " << command;
        EXPECT_EQ(box->text, L"Wrong ID");
        std::printf("a 1 MiB ID refused by command %d after %llu ms\n", command, ::GetTickCount64() - start);
        PressOk(*box);
    }
    EXPECT_FALSE(WaitForMessageBox(kestrum_->id(), 1000).has_value());
}

// A folder like C:\Users\Zoë\Downloads\Kestrum Prüfung 試験: IP.EXE starts from
// there, the folder is recorded as it is, and Info.doc opens by its real name.
// (No computer answers the hop-count probe under Wine, so the Remote Desktop
// command line for such a folder is checked by the unit and shell tests.)
TEST_F(Hostile, FromAFolderWithBlanksAndNonAsciiLettersEveryPathIsRight) {
    const std::wstring folder =
        ProgramFolder(L"Kestrum Pr\x00FC" L"fung \x8A66\x9A13 \x03A9", {L"kestrum.exe", L"IP.EXE", L"Info.doc"});
    const std::wstring doubles = ThisFolder() + L"\\doubles";
    const std::wstring log = folder + L"\\opened.txt";
    ::DeleteFileW(log.c_str());
    // Documents of this kind open with a stand-in that records its command line.
    const std::wstring opener = L"\"" + doubles + L"\\mstsc.exe\" \"%1\"";
    DocumentOpener kind(opener);
    LoopbackHttpServer web([](const HttpRequest& r) { return Web(r, true); });
    UseLoopbackProxy(web.port());
    HWND window = StartFrom(folder, EnvironmentWith({L"KESTRUM_MSTSC_LOG=" + log}));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Discover(window), kOnline);
    EXPECT_EQ(LocalId(window), L"216-25-149-24") << "IP.EXE did not run from the folder";
    EXPECT_EQ(ReadUserString(kStartupKey, L"AppPath"), folder);

    ChooseMenu(window, app::mnuHowTO);
    HWND howTo = kestrum_->waitForWindow(kHowToCaption, 15000);
    ASSERT_NE(howTo, nullptr);
    HWND link = FindControl(howTo, info::Label1);
    ::PostMessageW(howTo, WM_COMMAND, MAKEWPARAM(info::Label1, STN_CLICKED), reinterpret_cast<LPARAM>(link));
    const std::wstring document = ReadTextWhenWritten(log, 30000);
    EXPECT_NE(document.find(folder + L"\\Info.doc"), std::wstring::npos) << testing::PrintToString(document);
}

TEST_F(Hostile, WithoutIpExeDiscoveryGoesOnWithTheValueAnEarlierRunLeft) {
    const std::wstring folder = ProgramFolder(L"Kestrum without IP", {L"kestrum.exe"});
    const std::wstring earlier = L"198.51.100.9";
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, kPublicKey, L"IP", REG_SZ, earlier.c_str(),
                                static_cast<DWORD>((earlier.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    LoopbackHttpServer web([](const HttpRequest& r) { return Web(r, true); });
    UseLoopbackProxy(web.port());
    HWND window = StartFrom(folder);
    ASSERT_NE(window, nullptr);
    ULONGLONG took = 0;
    EXPECT_EQ(Discover(window, &took), kOnline);
    EXPECT_EQ(LocalId(window), L"211-76-136-26");
    std::printf("without IP.EXE, online discovery ended %llu ms after the window showed\n", took);
}

TEST_F(Hostile, AnIpExeThatNeverEndsHoldsUpNeitherDiscoveryNorTheEnd) {
    const std::wstring folder = ProgramFolder(L"Kestrum with a hanging IP", {L"kestrum.exe", L"doubles\\hanging\\IP.EXE"});
    const std::wstring log = folder + L"\\hanging.txt";
    ::DeleteFileW(log.c_str());
    LoopbackHttpServer web([](const HttpRequest& r) { return Web(r, true); });
    UseLoopbackProxy(web.port());
    HWND window = StartFrom(folder, EnvironmentWith({L"KESTRUM_HANG_LOG=" + log}));
    ASSERT_NE(window, nullptr);
    ULONGLONG took = 0;
    EXPECT_EQ(Discover(window, &took), kOnline);
    std::printf("with IP.EXE hanging, online discovery ended %llu ms after the window showed\n", took);
    EXPECT_LT(took, 60000u);

    const std::string pid = ReadWhenWritten(log, 5000);
    ASSERT_FALSE(pid.empty()) << "the hanging IP.EXE never started";
    const auto hanging = static_cast<DWORD>(std::strtoul(pid.c_str(), nullptr, 10));
    HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, hanging);
    ASSERT_NE(process, nullptr);
    // Exit ends the program while IP.EXE still runs.
    ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(app::mnuExit, 0), 0);
    EXPECT_TRUE(kestrum_->waitForExit(15000));
    EXPECT_EQ(::WaitForSingleObject(process, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "IP.EXE ended with it";
    ::TerminateProcess(process, 1);
    ::CloseHandle(process);
}

// A proxy that takes the request and never answers. Windows gives up after its
// 30 s receive timeout (the program sets it as well); Wine 8 takes no timeout
// for such a request and waits as long as the connection stays open. Either
// way discovery ends, without a message, once the probe gives up or the proxy
// goes away.
TEST_F(Hostile, AProxyThatNeverAnswersHoldsTheProbeUntilItGivesUpOrTheProxyGoes) {
    auto silent = std::make_unique<LoopbackHttpServer>([](const HttpRequest&) { return HttpResponse{200, "", true}; });
    UseLoopbackProxy(silent->port());
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    const ULONGLONG start = ::GetTickCount64();
    const std::wstring status = WaitForText(FindControl(window, app::lblConnection), {kOnline, kOffline}, 60000);
    if (status == kOffline)
        std::printf("a proxy that never answers: offline after %llu ms\n", ::GetTickCount64() - start);
    else
        std::printf("a proxy that never answers: still probing after %llu ms\n", ::GetTickCount64() - start);
    EXPECT_NE(status, kOnline);
    EXPECT_FALSE(silent->requests().empty()) << "the probe never reached the proxy";
    EXPECT_FALSE(WaitForMessageBox(kestrum_->id(), 0).has_value());

    // The proxy goes away, and with it the connection: the probe ends and
    // discovery with it. (Wine takes the empty reply for an answer, so the
    // status it ends with is the online one there.)
    silent.reset();
    const std::wstring ended = WaitForStatus(window, 60000);
    EXPECT_TRUE(ended == kOnline || ended == kOffline) << testing::PrintToString(ended);
    std::printf("once the proxy closed the connection: %s\n", ended == kOnline ? "online" : "offline");
}

// A settings store that refuses the start-up values: they are a record only,
// so the window comes up as always, without a message.
TEST_F(Hostile, ASettingsStoreThatRefusesWritesStillShowsTheWindow) {
    // Under a volatile key only volatile keys can be made, so the program's
    // lasting "1.2" key cannot be.
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    HKEY refusing = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                                nullptr, &refusing, nullptr),
              ERROR_SUCCESS);
    HKEY probe = nullptr;
    ASSERT_NE(::RegCreateKeyExW(refusing, L"1.2", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &probe, nullptr),
              ERROR_SUCCESS)
        << "the store does not refuse here";
    ::RegCloseKey(refusing);

    HWND window = StartOffline();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(ReadUserString(kStartupKey, L"AppPath").has_value());
    ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(app::mnuExit, 0), 0);
    DWORD code = 1;
    EXPECT_TRUE(kestrum_->waitForExit(15000, &code));
    EXPECT_EQ(code, 0u);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
}

}  // namespace
}  // namespace kestrum::e2e
