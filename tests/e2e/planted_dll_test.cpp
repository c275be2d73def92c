// A DLL dropped beside the program (a download folder, say) under the name of one
// the program loads is never loaded: not at start-up, not when the How-To window
// brings in the rich-text control.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "info/frmHowTo_layout.h"
#include "tests/e2e/kestrum_process.h"
#include "tests/support/loopback_http.h"

namespace kestrum::e2e {
namespace {

bool Closes(HWND window) {
    for (int i = 0; i < 200 && ::IsWindow(window); ++i) ::Sleep(50);
    return !::IsWindow(window);
}

class PlantedDll : public testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        folder_ = std::wstring(temp, ::GetTempPathW(MAX_PATH, temp)) + L"Kestrum planted DLL";
        Clean();
        ASSERT_TRUE(::CreateDirectoryW(folder_.c_str(), nullptr));
        ASSERT_TRUE(::CopyFileW((ThisFolder() + L"\\kestrum.exe").c_str(), (folder_ + L"\\kestrum.exe").c_str(),
                                FALSE));
        const std::wstring planted = ThisFolder() + L"\\doubles\\planted.dll";
        for (const wchar_t* name : {L"\\msftedit.dll", L"\\Msftedit.dll", L"\\riched20.dll", L"\\riched32.dll"})
            ASSERT_TRUE(::CopyFileW(planted.c_str(), (folder_ + name).c_str(), FALSE)) << "no " << planted;
        testsupport::UseLoopbackProxy(testsupport::ClosedLoopbackPort());
    }
    void TearDown() override {
        testsupport::UseLoopbackProxy(0);
        Clean();
    }
    void Clean() {
        for (const wchar_t* name : {L"\\kestrum.exe", L"\\msftedit.dll", L"\\Msftedit.dll", L"\\riched20.dll",
                                    L"\\riched32.dll", L"\\planted.marker"})
            ::DeleteFileW((folder_ + name).c_str());
        ::RemoveDirectoryW(folder_.c_str());
    }
    bool MarkerWritten() const {
        return ::GetFileAttributesW((folder_ + L"\\planted.marker").c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    std::wstring folder_;
};

TEST_F(PlantedDll, BesideTheProgramIsNeverLoaded) {
    KestrumProcess kestrum(folder_ + L"\\kestrum.exe");
    ASSERT_TRUE(kestrum.started());
    HWND main = kestrum.waitForWindow(L"Kestrum 1.2");
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(MarkerWritten()) << "loaded at start-up";

    PressCtrlShortcut(main, 'T');
    HWND howTo = kestrum.waitForWindow(L"HOW TO...", 15000);
    EXPECT_FALSE(MarkerWritten()) << "loaded with the rich-text control";
    ASSERT_NE(howTo, nullptr) << "the How-To window did not open";
    // The system's control shows the document; the planted one could not.
    EXPECT_FALSE(WindowText(FindControl(howTo, info::rtfHowTo)).empty());
    ::PostMessageW(howTo, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Closes(howTo));
    EXPECT_FALSE(MarkerWritten());

    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(kestrum.waitForExit(15000));
}

}  // namespace
}  // namespace kestrum::e2e
