// The System Information launcher against the real registry of the local machine
// and a stand-in for the program, placed where the registry says.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "info/StartSysInfo.h"
#include "platform/win32/text.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system.h"
#include "tests/support/recording_ui.h"

namespace kestrum::win32 {
namespace {

const wchar_t kTestKey[] = L"SOFTWARE\\Kestrum Test";
const wchar_t kPlace1[] = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const wchar_t kPlace2[] = L"SOFTWARE\\Microsoft\\Shared Tools Location";

std::wstring BuildFolder() {
    wchar_t path[MAX_PATH * 2] = {};
    std::wstring folder(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH * 2));
    return folder.substr(0, folder.find_last_of(L'\\'));
}

bool SetValue(const wchar_t* key, const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
    HKEY opened = nullptr;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const bool ok = ::RegSetValueExW(opened, name, 0, type, static_cast<const BYTE*>(data), bytes) == ERROR_SUCCESS;
    ::RegCloseKey(opened);
    return ok;
}

bool SetText(const wchar_t* key, const wchar_t* name, const std::wstring& text) {
    return SetValue(key, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// Puts a value of the machine back as it was, or removes it if there was none.
class SavedValue {
public:
    SavedValue(const wchar_t* key, const wchar_t* name) : key_(key), name_(name) {
        DWORD bytes = 0;
        if (::RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_ANY | RRF_NOEXPAND, &type_, nullptr, &bytes) ==
            ERROR_SUCCESS) {
            data_.emplace(bytes);
            ::RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_ANY | RRF_NOEXPAND, &type_, data_->data(), &bytes);
        }
        ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, key, name);
    }
    ~SavedValue() {
        ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, key_, name_);
        if (data_) SetValue(key_, name_, type_, data_->data(), static_cast<DWORD>(data_->size()));
    }
    SavedValue(const SavedValue&) = delete;
    SavedValue& operator=(const SavedValue&) = delete;

private:
    const wchar_t* key_;
    const wchar_t* name_;
    DWORD type_ = 0;
    std::optional<std::vector<BYTE>> data_;
};

class GetKeyValueOnWine : public testing::Test {
protected:
    void TearDown() override { ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kTestKey); }
    bool Read(const wchar_t* name, std::string& text) {
        return info::GetKeyValue(registry, platform::RegistryRoot::LocalMachine, "SOFTWARE\\Kestrum Test",
                                 Narrow(name), text);
    }
    Win32Registry registry;
};

TEST_F(GetKeyValueOnWine, ReadsTextWithOrWithoutItsTerminatorInUtf8) {
    const std::wstring path = L"C:\\Program Files\\Kestrüm\\日本\\msinfo32.exe";
    ASSERT_TRUE(SetText(kTestKey, L"Terminated", path));
    ASSERT_TRUE(SetValue(kTestKey, L"Bare", REG_SZ, path.c_str(), static_cast<DWORD>(path.size() * sizeof(wchar_t))));
    std::string text;
    ASSERT_TRUE(Read(L"Terminated", text));
    EXPECT_EQ(text, Narrow(path));
    text.clear();
    ASSERT_TRUE(Read(L"Bare", text));
    EXPECT_EQ(text, Narrow(path));

    text = "before";
    EXPECT_FALSE(Read(L"Missing", text));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(info::GetKeyValue(registry, platform::RegistryRoot::LocalMachine, "SOFTWARE\\Kestrum No Such Key",
                                   "PATH", text));
}

TEST_F(GetKeyValueOnWine, NumbersOtherTypesAndEmptyValues) {
    const DWORD number = 0x0A01;
    ASSERT_TRUE(SetValue(kTestKey, L"Number", REG_DWORD, &number, sizeof number));
    const BYTE blob[] = {1, 2, 3};
    ASSERT_TRUE(SetValue(kTestKey, L"Blob", REG_BINARY, blob, sizeof blob));
    ASSERT_TRUE(SetValue(kTestKey, L"Empty", REG_SZ, L"", 0));
    std::string text;
    ASSERT_TRUE(Read(L"Number", text));
    EXPECT_EQ(text, "2561");
    text = "before";
    ASSERT_TRUE(Read(L"Blob", text));
    EXPECT_EQ(text, "before");
    EXPECT_THROW(Read(L"Empty", text), info::EmptyRegistryValue);
}

TEST_F(GetKeyValueOnWine, TheBufferHoldsOneThousandTwentyFourBytesOfUtf8) {
    ASSERT_TRUE(SetText(kTestKey, L"Fits", std::wstring(1023, L'x')));
    ASSERT_TRUE(SetText(kTestKey, L"TooLong", std::wstring(1024, L'x')));
    // 341 three-byte characters and the terminator are 1024 bytes in UTF-8 (and
    // only 684 in UTF-16); one more does not fit.
    ASSERT_TRUE(SetText(kTestKey, L"WideFits", std::wstring(341, L'日')));
    ASSERT_TRUE(SetText(kTestKey, L"WideTooLong", std::wstring(342, L'日')));
    std::string text;
    ASSERT_TRUE(Read(L"Fits", text));
    EXPECT_EQ(text, std::string(1023, 'x'));
    EXPECT_FALSE(Read(L"TooLong", text));
    EXPECT_EQ(text, "");
    ASSERT_TRUE(Read(L"WideFits", text));
    EXPECT_EQ(text, Narrow(std::wstring(341, L'日')));
    EXPECT_FALSE(Read(L"WideTooLong", text));
}

std::wstring ReadLog(const std::wstring& path, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    do {
        if (FILE* in = _wfopen(path.c_str(), L"rb")) {
            std::wstring text;
            wchar_t c;
            while (fread(&c, sizeof c, 1, in) == 1) text += c;
            fclose(in);
            if (text.find(L'\n') != std::wstring::npos && text.back() != L'\n') return text;
        }
        ::Sleep(50);
    } while (::GetTickCount64() < deadline);
    return {};
}

// The stand-in placed in a folder with blanks and non-ASCII letters in its name,
// with a decoy where an unquoted command line would look first.
class StartSysInfoOnWine : public testing::Test {
protected:
    void SetUp() override {
        root_ = BuildFolder() + L"\\sysinfo test";
        folder_ = root_ + L"\\Prögram Files";
        ::CreateDirectoryW(root_.c_str(), nullptr);
        ::CreateDirectoryW(folder_.c_str(), nullptr);
        empty_ = root_ + L"\\Empty Folder";
        ::CreateDirectoryW(empty_.c_str(), nullptr);
        const std::wstring stand_in = BuildFolder() + L"\\doubles\\MSINFO32.EXE";
        ASSERT_TRUE(::CopyFileW(stand_in.c_str(), program().c_str(), FALSE));
        ASSERT_TRUE(::CopyFileW(stand_in.c_str(), (root_ + L"\\Prögram.exe").c_str(), FALSE));
        log_ = root_ + L"\\msinfo-log.txt";
        ::DeleteFileW(log_.c_str());
        ::SetEnvironmentVariableW(L"KESTRUM_MSINFO_LOG", log_.c_str());
    }
    std::wstring program() const { return folder_ + L"\\MSINFO32.EXE"; }
    void Run() {
        info::StartSysInfo(info::SysInfoServices{registry, files, system, ui});
    }

    SavedValue path_{kPlace1, L"PATH"};
    SavedValue folderValue_{kPlace2, L"MSINFO"};
    std::wstring root_, folder_, empty_, log_;
    Win32Registry registry;
    Win32Files files;
    Win32System system;
    testsupport::RecordingUi ui;
};

TEST_F(StartSysInfoOnWine, StartsExactlyTheFileThatPlaceOneNamesWithItsPathQuoted) {
    ASSERT_TRUE(SetText(kPlace1, L"PATH", program()));
    Run();
    EXPECT_TRUE(ui.messages.empty());
    const std::wstring log = ReadLog(log_, 10000);
    ASSERT_FALSE(log.empty()) << "the stand-in did not run";
    const std::wstring ran = log.substr(0, log.find(L'\n'));
    const std::wstring commandLine = log.substr(log.find(L'\n') + 1);
    EXPECT_EQ(_wcsicmp(ran.c_str(), program().c_str()), 0) << Narrow(ran);  // not the decoy
    EXPECT_EQ(commandLine, L"\"" + program() + L"\"") << Narrow(commandLine);
}

TEST_F(StartSysInfoOnWine, PlaceTwoNamesTheFolder) {
    ASSERT_TRUE(SetText(kPlace2, L"MSINFO", folder_));
    Run();
    EXPECT_TRUE(ui.messages.empty());
    const std::wstring log = ReadLog(log_, 10000);
    ASSERT_FALSE(log.empty()) << "the stand-in did not run";
    EXPECT_EQ(_wcsicmp(log.substr(0, log.find(L'\n')).c_str(), program().c_str()), 0);
}

TEST_F(StartSysInfoOnWine, AFolderWithoutTheProgramOrNoPlaceAtAllIsTheMessage) {
    ASSERT_TRUE(SetText(kPlace2, L"MSINFO", empty_));
    Run();
    EXPECT_EQ(ui.messages, (std::vector<std::string>{"System Information Is Unavailable At This Time"}));

    ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kPlace2, L"MSINFO");
    ui.messages.clear();
    Run();
    EXPECT_EQ(ui.messages, (std::vector<std::string>{"System Information Is Unavailable At This Time"}));
    EXPECT_TRUE(ReadLog(log_, 500).empty()) << "something was started";
}

TEST(FilesOnWine, OnlyNormalFilesCount) {
    const std::wstring folder = BuildFolder() + L"\\files test";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring plain = folder + L"\\plain.txt", hidden = folder + L"\\hidden.txt";
    for (const std::wstring& file : {plain, hidden}) {
        HANDLE h = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        ::CloseHandle(h);
    }
    ::SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    Win32Files files;
    EXPECT_TRUE(files.normalFileExists(Narrow(plain)));
    EXPECT_FALSE(files.normalFileExists(Narrow(hidden)));
    EXPECT_FALSE(files.normalFileExists(Narrow(folder)));  // a folder is not a file
    EXPECT_FALSE(files.normalFileExists(Narrow(folder + L"\\missing.txt")));
}

}  // namespace
}  // namespace kestrum::win32
