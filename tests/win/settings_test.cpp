// The settings store and kernel adapters against the real registry and system.

#include <gtest/gtest.h>

#include <windows.h>

#include "platform/win32/registry_settings.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_system.h"

namespace kestrum::win32 {
namespace {

const char kApp[] = "KESTRUM-WIN-TEST";

class RegistrySettingsTest : public testing::Test {
protected:
    void TearDown() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\KESTRUM-WIN-TEST");
    }
    RegistrySettings store;
};

TEST_F(RegistrySettingsTest, RoundTripsTextUnderTheClassicKey) {
    ASSERT_TRUE(store.saveSetting(kApp, "1.2", "AppPath", "C:\\Program Files\\Kestrum"));
    EXPECT_EQ(store.getSetting(kApp, "1.2", "AppPath"), "C:\\Program Files\\Kestrum");

    // Other tools find it as a plain REG_SZ at the classic place.
    wchar_t raw[64] = {};
    DWORD bytes = sizeof raw, type = 0;
    ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\KESTRUM-WIN-TEST\\1.2",
                             L"AppPath", RRF_RT_ANY, &type, raw, &bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(raw, L"C:\\Program Files\\Kestrum");

    // Overwritten, not appended; empty and non-ASCII text survive.
    ASSERT_TRUE(store.saveSetting(kApp, "1.2", "AppPath", ""));
    EXPECT_EQ(store.getSetting(kApp, "1.2", "AppPath"), "");
    ASSERT_TRUE(store.saveSetting(kApp, "1.2", "AppData", "C:\\Users\\Zoë\\Ĝis\\日本"));
    EXPECT_EQ(store.getSetting(kApp, "1.2", "AppData"), "C:\\Users\\Zoë\\Ĝis\\日本");
}

TEST_F(RegistrySettingsTest, ReadsLargeValuesWhole) {
    const std::string big(70000, 'x');
    ASSERT_TRUE(store.saveSetting(kApp, "PROPERTIES", "IP", big));
    EXPECT_EQ(store.getSetting(kApp, "PROPERTIES", "IP"), big);
}

TEST_F(RegistrySettingsTest, MissingOrNonTextValuesReadAsNothing) {
    EXPECT_EQ(store.getSetting(kApp, "PROPERTIES", "IP"), std::nullopt);
    ASSERT_TRUE(store.saveSetting(kApp, "PROPERTIES", "Other", "1"));
    EXPECT_EQ(store.getSetting(kApp, "PROPERTIES", "IP"), std::nullopt);

    const DWORD number = 1234;
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\KESTRUM-WIN-TEST\\PROPERTIES",
                                L"IP", REG_DWORD, &number, sizeof number),
              ERROR_SUCCESS);
    EXPECT_EQ(store.getSetting(kApp, "PROPERTIES", "IP"), std::nullopt);
}

TEST(Win32SystemTest, AnswersFromTheRunningSystem) {
    Win32System system;
    const std::string file = system.programFile();
    EXPECT_NE(file.find("kestrum_win_tests.exe"), std::string::npos) << file;

    const platform::SystemDirectoryAnswer answer = system.systemDirectory(255);
    ASSERT_GT(answer.length, 0u);
    EXPECT_EQ(answer.buffer.size(), 255u);
    EXPECT_EQ(answer.buffer.substr(0, answer.length), [] {
        wchar_t folder[MAX_PATH] = {};
        return Narrow(std::wstring(folder, ::GetSystemDirectoryW(folder, MAX_PATH)));
    }());
    EXPECT_EQ(answer.buffer[answer.length], '\0');

    ::SetEnvironmentVariableW(L"KESTRUM_TEST_VAR", L" spaced ");
    EXPECT_EQ(system.environmentVariable("KESTRUM_TEST_VAR"), " spaced ");
    ::SetEnvironmentVariableW(L"KESTRUM_TEST_VAR", L"");
    EXPECT_EQ(system.environmentVariable("KESTRUM_TEST_VAR"), "");
    ::SetEnvironmentVariableW(L"KESTRUM_TEST_VAR", nullptr);
    EXPECT_EQ(system.environmentVariable("KESTRUM_TEST_VAR"), std::nullopt);

    EXPECT_FALSE(system.decimalSeparator().empty());
}

}  // namespace
}  // namespace kestrum::win32
