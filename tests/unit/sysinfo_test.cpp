// The System Information launcher: reading one registry value as text, and the two
// places that name the program, with a fake registry.

#include <gtest/gtest.h>

#include <algorithm>

#include "app/modMain.h"
#include "info/StartSysInfo.h"
#include "tests/unit/fakes.h"

namespace kestrum::info {
namespace {

using namespace kestrum::testing;

const char kPlace1[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const char kPlace2[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
const char kKey[] = "SOFTWARE\\Kestrum Test";

FakeRegistry::Value Bytes(std::uint32_t type, std::vector<std::uint8_t> bytes) { return {type, std::move(bytes)}; }

class GetKeyValueTest : public ::testing::Test {
protected:
    bool Read(const FakeRegistry::Value& value, std::string& text) {
        registry.keys[kKey]["V"] = value;
        return GetKeyValue(registry, platform::RegistryRoot::LocalMachine, kKey, "V", text);
    }
    std::string ReadText(const FakeRegistry::Value& value) {
        std::string text = "before";
        EXPECT_TRUE(Read(value, text));
        return text;
    }
    FakeRegistry registry;
};

TEST_F(GetKeyValueTest, OpensForReadingOnlyAndOffersTheWholeBuffer) {
    std::string text;
    ASSERT_TRUE(Read(FakeRegistry::Text("C:\\Tools\\msinfo32.exe"), text));
    EXPECT_EQ(text, "C:\\Tools\\msinfo32.exe");
    EXPECT_EQ(registry.lastRoot, platform::RegistryRoot::LocalMachine);
    EXPECT_EQ(static_cast<std::uint32_t>(registry.lastRoot), 0x80000002u);
    // KEY_READ: no KEY_SET_VALUE (2), KEY_CREATE_SUB_KEY (4) or KEY_CREATE_LINK (0x20),
    // so a user without administrator rights is not refused.
    EXPECT_EQ(registry.lastAccess, 0x20019u);
    EXPECT_EQ(registry.lastAccess & 0x26u, 0u);
    EXPECT_EQ(registry.offered, 1024u);
    EXPECT_EQ(registry.offeredSize, 1024u);
    EXPECT_EQ(registry.calls, (std::vector<std::string>{"open SOFTWARE\\Kestrum Test", "query V", "close"}));
    EXPECT_TRUE(registry.open.empty());
}

TEST_F(GetKeyValueTest, TrimsExactlyOneTerminatingZero) {
    EXPECT_EQ(ReadText(FakeRegistry::Text("abc")), "abc");
    EXPECT_EQ(ReadText(FakeRegistry::Text("abc", false)), "abc");  // nothing to trim: all kept
    EXPECT_EQ(ReadText(Bytes(platform::kRegSz, {'a', 'b', 'c', 0, 0})), std::string("abc\0", 4));
    EXPECT_EQ(ReadText(Bytes(platform::kRegSz, {0})), "");
    // UTF-8 passes through byte for byte.
    EXPECT_EQ(ReadText(FakeRegistry::Text("C:\\Prögramme\\日本")), "C:\\Prögramme\\日本");
}

TEST_F(GetKeyValueTest, ValuesUpToTheBufferFitAndLongerOnesAreNotFound) {
    EXPECT_EQ(ReadText(FakeRegistry::Text(std::string(1023, 'x'))), std::string(1023, 'x'));
    std::string text = "before";
    EXPECT_FALSE(Read(FakeRegistry::Text(std::string(1024, 'x')), text));
    EXPECT_EQ(text, "");
    EXPECT_TRUE(registry.open.empty());
}

TEST_F(GetKeyValueTest, NumbersBecomeTheirDecimalText) {
    EXPECT_EQ(ReadText(Bytes(platform::kRegDword, {1, 0, 0, 0})), "1");
    EXPECT_EQ(ReadText(Bytes(platform::kRegDword, {0, 0, 0, 0})), "0");
    EXPECT_EQ(ReadText(Bytes(platform::kRegDword, {0x01, 0x0A, 0, 0})), "2561");  // not 0xA1
    EXPECT_EQ(ReadText(Bytes(platform::kRegDword, {0x78, 0x56, 0x34, 0x12})), "305419896");
    EXPECT_EQ(ReadText(Bytes(platform::kRegDword, {0xFF, 0xFF, 0xFF, 0xFF})), "4294967295");
}

TEST_F(GetKeyValueTest, OtherTypesCountAsFoundAndLeaveTheTextAlone) {
    EXPECT_EQ(ReadText(Bytes(2, {'%', 'X', '%', 0})), "before");  // REG_EXPAND_SZ
    EXPECT_EQ(ReadText(Bytes(3, {1, 2, 3})), "before");           // REG_BINARY
    EXPECT_TRUE(registry.open.empty());
}

TEST_F(GetKeyValueTest, FailuresEmptyTheTextAndCloseWhatWasOpened) {
    std::string text = "before";
    EXPECT_FALSE(GetKeyValue(registry, platform::RegistryRoot::LocalMachine, "SOFTWARE\\Missing", "V", text));
    EXPECT_EQ(text, "");
    EXPECT_EQ(registry.calls, (std::vector<std::string>{"open SOFTWARE\\Missing"}));

    registry.calls.clear();
    registry.keys[kKey]["Other"] = FakeRegistry::Text("x");
    text = "before";
    EXPECT_FALSE(GetKeyValue(registry, platform::RegistryRoot::LocalMachine, kKey, "V", text));
    EXPECT_EQ(text, "");
    EXPECT_EQ(registry.calls, (std::vector<std::string>{"open SOFTWARE\\Kestrum Test", "query V", "close"}));
    EXPECT_TRUE(registry.open.empty());
}

TEST_F(GetKeyValueTest, AValueOfNoBytesIsAFailedReadAndTheKeyIsStillClosed) {
    std::string text = "before";
    EXPECT_THROW(Read(Bytes(platform::kRegSz, {}), text), EmptyRegistryValue);
    EXPECT_EQ(text, "before");
    EXPECT_TRUE(registry.open.empty());
    EXPECT_EQ(registry.calls.back(), "close");
}

class StartSysInfoTest : public ::testing::Test {
protected:
    void Run() { StartSysInfo(SysInfoServices{registry, files, system, ui}); }
    bool Place2Read() const {
        return std::find(registry.calls.begin(), registry.calls.end(), "open " + std::string(kPlace2)) !=
               registry.calls.end();
    }
    void ExpectTheMessageOnce() {
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, "System Information Is Unavailable At This Time");
        EXPECT_EQ(ui.messages[0].style, 0u);
        EXPECT_EQ(ui.messages[0].title, "Kestrum 1.2");
    }
    void TearDown() override { EXPECT_TRUE(registry.open.empty()) << "a key was left open"; }

    FakeRegistry registry;
    FakeFiles files;
    FakeSystem system;
    FakeUi ui;
};

TEST_F(StartSysInfoTest, ThePathOfPlaceOneIsStartedAsItIsAndPlaceTwoIsNeverRead) {
    registry.keys[kPlace1]["PATH"] = FakeRegistry::Text("C:\\Program Files\\Common Files\\msinfo32.exe");
    registry.keys[kPlace2]["MSINFO"] = FakeRegistry::Text("D:\\Other");
    Run();
    EXPECT_EQ(system.started, (std::vector<std::string>{"C:\\Program Files\\Common Files\\msinfo32.exe"}));
    EXPECT_FALSE(Place2Read());
    EXPECT_TRUE(files.asked.empty());  // no file test for place one
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(StartSysInfoTest, PlaceTwoNamesTheFolderThatHoldsTheProgram) {
    registry.keys[kPlace2]["MSINFO"] = FakeRegistry::Text("C:\\Program Files\\Tools");
    files.existing = {"C:\\Program Files\\Tools\\MSINFO32.EXE"};
    Run();
    EXPECT_EQ(registry.calls, (std::vector<std::string>{"open " + std::string(kPlace1), "open " + std::string(kPlace2),
                                                        "query MSINFO", "close"}));
    EXPECT_EQ(files.asked, (std::vector<std::string>{"C:\\Program Files\\Tools\\MSINFO32.EXE"}));
    EXPECT_EQ(system.started, (std::vector<std::string>{"C:\\Program Files\\Tools\\MSINFO32.EXE"}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(StartSysInfoTest, AFolderWithoutTheProgramIsTheMessageAndNothingStarts) {
    registry.keys[kPlace2]["MSINFO"] = FakeRegistry::Text("C:\\Tools");
    Run();
    EXPECT_EQ(files.asked, (std::vector<std::string>{"C:\\Tools\\MSINFO32.EXE"}));
    EXPECT_TRUE(system.started.empty());
    ExpectTheMessageOnce();
}

TEST_F(StartSysInfoTest, NeitherPlaceIsTheMessageOnce) {
    Run();
    EXPECT_TRUE(system.started.empty());
    EXPECT_TRUE(files.asked.empty());
    ExpectTheMessageOnce();
}

TEST_F(StartSysInfoTest, AProgramThatDoesNotStartIsTheMessage) {
    registry.keys[kPlace1]["PATH"] = FakeRegistry::Text("C:\\Gone\\msinfo32.exe");
    system.canStart = false;
    Run();
    EXPECT_EQ(system.started.size(), 1u);
    ExpectTheMessageOnce();
}

TEST_F(StartSysInfoTest, PlaceOneOfNoBytesIsTheMessageWithoutTryingPlaceTwo) {
    registry.keys[kPlace1]["PATH"] = Bytes(platform::kRegSz, {});
    registry.keys[kPlace2]["MSINFO"] = FakeRegistry::Text("C:\\Tools");
    files.existing = {"C:\\Tools\\MSINFO32.EXE"};
    Run();
    EXPECT_FALSE(Place2Read());
    EXPECT_TRUE(system.started.empty());
    ExpectTheMessageOnce();
}

TEST_F(StartSysInfoTest, PlaceOneOfAnotherTypeTriesAnEmptyPathAndNotPlaceTwo) {
    registry.keys[kPlace1]["PATH"] = Bytes(2, {'%', 'S', '%', 0});
    registry.keys[kPlace2]["MSINFO"] = FakeRegistry::Text("C:\\Tools");
    system.canStart = false;  // as an empty path cannot be started
    Run();
    EXPECT_EQ(system.started, (std::vector<std::string>{""}));
    EXPECT_FALSE(Place2Read());
    ExpectTheMessageOnce();
}

TEST_F(StartSysInfoTest, PlaceOneTooLongForTheBufferFallsBackToPlaceTwo) {
    registry.keys[kPlace1]["PATH"] = FakeRegistry::Text(std::string(1100, 'x'));
    registry.keys[kPlace2]["MSINFO"] = FakeRegistry::Text("C:\\Tools");
    files.existing = {"C:\\Tools\\MSINFO32.EXE"};
    Run();
    EXPECT_EQ(system.started, (std::vector<std::string>{"C:\\Tools\\MSINFO32.EXE"}));
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace kestrum::info
