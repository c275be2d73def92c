#pragma once
// A test fixture that starts the real kestrum.exe with the Internet played by
// a loopback proxy (or by nothing), and waits for its discovery to end.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/frmKestrum_layout.h"
#include "tests/e2e/kestrum_process.h"
#include "tests/support/loopback_http.h"

namespace kestrum::e2e {

inline const wchar_t kOnline[] = L"My Computer is online.";
inline const wchar_t kOffline[] = L"My Computer is offline. (Check Internet or try it again)";
inline const wchar_t kPublicKey[] = L"Software\\VB and VBA Program Settings\\KESTRUM\\PROPERTIES";

class RunningKestrum : public testing::Test {
protected:
    void SetUp() override { ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kPublicKey, L"IP"); }
    void TearDown() override { testsupport::UseLoopbackProxy(0); }

    HWND Start() {
        kestrum_ = std::make_unique<KestrumProcess>(ThisFolder() + L"\\kestrum.exe");
        HWND window = kestrum_->waitForWindow(L"Kestrum 1.2");
        EXPECT_NE(window, nullptr);
        return window;
    }
    // Started with the Internet refusing (a quick start), after its discovery.
    HWND StartOffline() {
        testsupport::UseLoopbackProxy(testsupport::ClosedLoopbackPort());
        HWND main = Start();
        if (main) {
            EXPECT_EQ(WaitForStatus(main, 60000), kOffline);
        }
        return main;
    }
    // Waits for discovery to end; a message box on the way is a failure.
    std::wstring WaitForStatus(HWND window, DWORD timeoutMs) {
        std::wstring status =
            WaitForText(FindControl(window, app::lblConnection), {kOnline, kOffline}, timeoutMs);
        if (auto box = WaitForMessageBox(kestrum_->id(), 0)) {
            ADD_FAILURE() << "unexpected message box: " << testing::PrintToString(box->text);
            PressOk(*box);
        }
        return status;
    }
    std::unique_ptr<KestrumProcess> kestrum_;
};

}  // namespace kestrum::e2e
