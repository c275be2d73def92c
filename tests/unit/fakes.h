#pragma once
// Recording stand-ins for the platform, shared by the unit tests.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/control.h"
#include "platform/files.h"
#include "platform/form.h"
#include "platform/forms.h"
#include "platform/network.h"
#include "platform/registry.h"
#include "platform/settings.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/ui.h"

namespace kestrum::testing {

// Every call that changes something is also written to a shared journal, so tests
// can check the order of effects across fakes.
using Journal = std::vector<std::string>;

class FakeControl : public platform::Control {
public:
    FakeControl(std::string name, Journal* journal) : name_(std::move(name)), journal_(journal) {}
    std::string text() const override { return text_; }
    void setText(const std::string& value) override {
        text_ = value;
        log("text=" + value);
    }
    bool visible() const override { return visible_; }
    void setVisible(bool value) override {
        visible_ = value;
        log(value ? "visible" : "hidden");
    }
    bool enabled() const override { return enabled_; }
    void setEnabled(bool value) override {
        enabled_ = value;
        log(value ? "enabled" : "disabled");
    }
    std::uint32_t foreColor() const override { return color_; }
    void setForeColor(std::uint32_t value) override {
        color_ = value;
        log("color=" + std::to_string(value));
    }
    float left() const override { return left_; }
    float top() const override { return top_; }
    float width() const override { return width_; }
    float height() const override { return height_; }
    void setLeft(float twips) override { place(left_, "left", twips); }
    void setTop(float twips) override { place(top_, "top", twips); }
    void setWidth(float twips) override { place(width_, "width", twips); }
    void setHeight(float twips) override { place(height_, "height", twips); }

    std::string text_;
    bool visible_ = true;
    bool enabled_ = true;
    std::uint32_t color_ = 0;
    float left_ = 0, top_ = 0, width_ = 0, height_ = 0;

private:
    void log(const std::string& what) {
        if (journal_) journal_->push_back(name_ + "." + what);
    }
    void place(float& slot, const char* what, float twips) {
        slot = twips;
        std::string entry = what;
        entry += '=';
        entry += std::to_string(static_cast<long long>(twips));
        log(entry);
    }
    std::string name_;
    Journal* journal_;
};

// A form as the gradient painter sees it, and its image as a canvas: each step is
// journalled, and the lines drawn and pens still alive are counted.
class FakePaintTarget : public platform::PaintTarget, public platform::Canvas {
public:
    explicit FakePaintTarget(Journal* journal) : journal_(journal) {}
    platform::PaintTargetKind kind() const override { return platform::PaintTargetKind::Form; }
    void lockWindowUpdate(bool lock) override { log(lock ? "lock" : "unlock"); }
    bool getClientRect(int& r, int& b) override {
        r = right;
        b = bottom;
        return true;
    }
    platform::Canvas* formCanvas() override { return this; }
    std::unique_ptr<platform::Canvas> windowCanvas() override { return nullptr; }
    void setAutoRedraw(bool on) override { log(on ? "autoRedraw" : "autoRedrawOff"); }
    void refresh() override { log("refresh"); }
    void moveTo(int, int) override {}
    void lineTo(int, int) override { ++lines; }
    platform::GdiObject createPen(int, int, std::uint32_t) override { return ++pensAlive; }
    platform::GdiObject selectObject(platform::GdiObject) override { return 0; }
    void deleteObject(platform::GdiObject) override { --pensAlive; }

    int right = 0, bottom = 0;
    int lines = 0;
    platform::GdiObject pensAlive = 0;

private:
    void log(const std::string& what) {
        if (journal_) journal_->push_back("paint " + what);
    }
    Journal* journal_;
};

class FakeSystemColors : public platform::SystemColors {
public:
    std::uint32_t sysColor(int index) override { return 0x00A0B0C0u + static_cast<std::uint32_t>(index); }
};

class FakeView : public platform::FormView {
public:
    explicit FakeView(Journal* journal = nullptr) : paint(journal), journal_(journal) {}
    FakeControl& fake(int id) {
        auto& slot = controls_[id];
        if (!slot) slot = std::make_unique<FakeControl>(std::to_string(id), journal_);
        return *slot;
    }
    platform::Control& control(int id) override { return fake(id); }
    std::uintptr_t windowHandle() const override { return 0x1234; }
    void unload() override {
        ++unloads;
        if (journal_) journal_->push_back("unload");
    }
    platform::PaintTarget& paintTarget() override { return paint; }
    void setPictureFromForm(int pictureBoxId) override {
        if (journal_) journal_->push_back("picture " + std::to_string(pictureBoxId));
    }
    void setPictureToIconOf(int pictureBoxId, std::uintptr_t window) override {
        if (journal_) journal_->push_back("icon " + std::to_string(pictureBoxId) + " of " + std::to_string(window));
    }
    void setCaption(const std::string& value) override {
        caption = value;
        if (journal_) journal_->push_back("caption=" + value);
    }
    float scaleWidth() const override { return clientWidth; }
    float scaleHeight() const override { return clientHeight; }
    int unloads = 0;
    FakePaintTarget paint;
    std::string caption;
    float clientWidth = 0, clientHeight = 0;

private:
    Journal* journal_;
    std::map<int, std::unique_ptr<FakeControl>> controls_;
};

class FakeSettings : public platform::SettingsStore {
public:
    using Key = std::tuple<std::string, std::string, std::string>;
    std::optional<std::string> getSetting(const std::string& a, const std::string& s,
                                          const std::string& k) override {
        auto found = values.find({a, s, k});
        if (found == values.end()) return std::nullopt;
        return found->second;
    }
    bool saveSetting(const std::string& a, const std::string& s, const std::string& k,
                     const std::string& v) override {
        writes.push_back({a, s, k});
        if (refuseWrites) return false;
        values[{a, s, k}] = v;
        return true;
    }
    std::map<Key, std::string> values;
    std::vector<Key> writes;
    bool refuseWrites = false;
};

class FakeSystem : public platform::System {
public:
    std::string programFile() override { return programPath; }
    platform::SystemDirectoryAnswer systemDirectory(unsigned bufferChars) override {
        ++systemDirectoryCalls;
        lastBufferChars = bufferChars;
        if (failuresBeforeAnswer > 0) {
            --failuresBeforeAnswer;
            return {std::string(bufferChars, '\0'), 0};
        }
        if (systemFolder.size() >= bufferChars)  // too long: not copied
            return {std::string(bufferChars, '\0'), static_cast<unsigned>(systemFolder.size() + 1)};
        std::string buffer = systemFolder;
        buffer.resize(bufferChars, '\0');
        return {buffer, static_cast<unsigned>(systemFolder.size())};
    }
    std::optional<std::string> environmentVariable(const std::string& name) override {
        auto found = environment.find(name);
        if (found == environment.end()) return std::nullopt;
        return found->second;
    }
    void sleep(unsigned milliseconds) override {
        sleeps.push_back(milliseconds);
        if (journal) journal->push_back("sleep " + std::to_string(milliseconds));
    }
    std::string decimalSeparator() override { return separator; }
    bool startProgram(const std::string& path) override {
        started.push_back(path);
        if (journal) journal->push_back("start " + path);
        return canStart;
    }

    std::string programPath = "C:\\Program Files\\Kestrum\\kestrum.exe";
    std::string systemFolder = "C:\\Windows\\system32";
    int failuresBeforeAnswer = 0;
    int systemDirectoryCalls = 0;
    unsigned lastBufferChars = 0;
    std::map<std::string, std::string> environment;
    std::vector<unsigned> sleeps;
    std::string separator = ".";
    std::vector<std::string> started;
    bool canStart = true;
    Journal* journal = nullptr;
};

class FakeUi : public platform::Ui {
public:
    explicit FakeUi(Journal* j = nullptr) : journal(j) {}
    struct Message {
        std::string text;
        unsigned style;
        std::string title;
    };
    void messageBox(const std::string& text, unsigned style, const std::string& title) override {
        messages.push_back({text, style, title});
        if (journal) journal->push_back("message " + text);
    }
    void setBusyPointer(bool value) override {
        busy = value;
        pointerChanges.push_back(value);
        if (journal) journal->push_back(value ? "hourglass" : "default pointer");
    }
    void doEvents() override {
        ++eventRounds;
        if (journal) journal->push_back("events");
    }
    std::vector<Message> messages;
    std::vector<bool> pointerChanges;
    bool busy = false;
    int eventRounds = 0;
    Journal* journal;
};

class FakeSockets : public platform::Sockets {
public:
    explicit FakeSockets(Journal* j = nullptr) : journal(j) {}
    int startup(std::uint16_t version, platform::WsaData& data) override {
        log("startup " + std::to_string(version));
        if (startupResult == 0) {
            data = wsaData;
            ++activeStarts;
        }
        return startupResult;
    }
    int cleanup() override {
        log("cleanup");
        --activeStarts;
        return cleanupResult;
    }
    int hostName(std::string& name, int bufferLength) override {
        log("gethostname " + std::to_string(bufferLength));
        if (hostNameResult == 0) name = host;
        return hostNameResult;
    }
    std::optional<platform::HostRecord> hostByName(const std::string& name) override {
        log("gethostbyname " + name);
        return record;
    }
    int lastError() override { return error; }

    platform::WsaData wsaData{0x0101, 100};
    int startupResult = 0;
    int cleanupResult = 0;
    int hostNameResult = 0;
    std::string host = "pc1";
    std::optional<platform::HostRecord> record = platform::HostRecord{4, {{10, 0, 0, 5}, {192, 168, 1, 2}}};
    int error = 10093;
    int activeStarts = 0;  // started minus cleaned up
    Journal* journal;

private:
    void log(const std::string& what) {
        if (journal) journal->push_back(what);
    }
};

class FakeInternet : public platform::Internet {
public:
    platform::InternetHandle open(const std::string& agent, unsigned accessType, unsigned flags) override {
        opens.push_back({agent, accessType, flags});
        if (!sessionOpens) return 0;
        ++openHandles;
        return 1;
    }
    platform::InternetHandle openUrl(platform::InternetHandle session, const std::string& url,
                                     unsigned flags) override {
        urls.push_back({url, static_cast<unsigned>(session), flags});
        if (!answers) return 0;
        ++openHandles;
        return 2;
    }
    void close(platform::InternetHandle handle) override {
        closed.push_back(handle);
        --openHandles;
    }
    struct Call {
        std::string text;
        unsigned a, b;
    };
    bool sessionOpens = true;
    bool answers = true;
    std::vector<Call> opens, urls;
    std::vector<platform::InternetHandle> closed;
    int openHandles = 0;
};

class FakeHopProbe : public platform::HopProbe {
public:
    std::uint32_t inetAddr(const std::string& address) override {
        parsed.push_back(address);
        return address == "1.2.3.4" ? 0x04030201u : 0xFFFFFFFFu;
    }
    int rttAndHopCount(std::uint32_t address, unsigned maxHops) override {
        probed.push_back(address);
        lastMaxHops = maxHops;
        return reachable ? 1 : 0;
    }
    std::vector<std::string> parsed;
    std::vector<std::uint32_t> probed;
    unsigned lastMaxHops = 0;
    bool reachable = true;
};

class FakeShell : public platform::Shell {
public:
    explicit FakeShell(Journal* j = nullptr) : journal(j) {}
    struct Call {
        std::uintptr_t owner;
        std::string verb, file;
        std::optional<std::string> parameters, folder;
        int show;
    };
    std::intptr_t execute(std::uintptr_t owner, const std::string& verb, const std::string& file,
                          const std::optional<std::string>& parameters, const std::optional<std::string>& folder,
                          int show) override {
        calls.push_back({owner, verb, file, parameters, folder, show});
        if (journal) journal->push_back("shell " + verb + " " + file);
        return result;
    }
    std::vector<Call> calls;
    std::intptr_t result = 42;
    Journal* journal;
};

// The local machine's registry: keys by path, values by name, each a type and
// its bytes. Calls are journalled; opened keys are counted until closed.
class FakeRegistry : public platform::Registry {
public:
    struct Value {
        std::uint32_t type = platform::kRegSz;
        std::vector<std::uint8_t> bytes;
    };
    // A text value as it is usually stored: with its terminating zero.
    static Value Text(const std::string& text, bool terminated = true) {
        Value v{platform::kRegSz, std::vector<std::uint8_t>(text.begin(), text.end())};
        if (terminated) v.bytes.push_back(0);
        return v;
    }
    long openKey(platform::RegistryRoot root, const std::string& subKey, unsigned access,
                 platform::RegistryKey& key) override {
        calls.push_back("open " + subKey);
        lastAccess = access;
        lastRoot = root;
        auto found = keys.find(subKey);
        if (found == keys.end()) return 2;  // ERROR_FILE_NOT_FOUND
        key = nextHandle++;
        open[key] = subKey;
        return 0;
    }
    long queryValue(platform::RegistryKey key, const std::string& valueName, std::uint32_t& type,
                    std::vector<std::uint8_t>& data, std::uint32_t& size) override {
        calls.push_back("query " + valueName);
        offered = data.size();
        offeredSize = size;
        const auto& values = keys.at(open.at(key));
        auto found = values.find(valueName);
        if (found == values.end()) return 2;
        type = found->second.type;
        size = static_cast<std::uint32_t>(found->second.bytes.size());
        if (found->second.bytes.size() > data.size()) return platform::kErrorMoreData;
        std::copy(found->second.bytes.begin(), found->second.bytes.end(), data.begin());
        return 0;
    }
    long closeKey(platform::RegistryKey key) override {
        calls.push_back("close");
        return open.erase(key) ? 0 : 6;  // ERROR_INVALID_HANDLE
    }

    std::map<std::string, std::map<std::string, Value>> keys;
    std::vector<std::string> calls;
    std::map<platform::RegistryKey, std::string> open;  // not yet closed
    unsigned lastAccess = 0;
    platform::RegistryRoot lastRoot{};
    std::size_t offered = 0;
    std::uint32_t offeredSize = 0;
    platform::RegistryKey nextHandle = 0x100;
};

class FakeFiles : public platform::Files {
public:
    bool normalFileExists(const std::string& path) override {
        asked.push_back(path);
        return existing.count(path) > 0;
    }
    std::set<std::string> existing;
    std::vector<std::string> asked;
};

// Shows a window by making its logic over a fake view, loading it, and running
// whileShown (which plays the user) before it "closes".
class FakeForms : public platform::Forms {
public:
    explicit FakeForms(Journal* j = nullptr) : journal(j) {}
    void showModal(const platform::FormSpec& layout, const MakeLogic& makeLogic) override {
        const std::string name(layout.name);
        shown.push_back(name);
        if (journal) journal->push_back("show " + name);
        FakeView window(&windowJournal);
        window.clientWidth = static_cast<float>(layout.clientWidth);
        window.clientHeight = static_cast<float>(layout.clientHeight);
        const std::unique_ptr<platform::FormEvents> logic = makeLogic(window);
        logic->Form_Load();
        logic->Form_Resize();
        if (whileShown) whileShown(window, *logic);
        if (journal) journal->push_back("closed " + name);
    }
    std::vector<std::string> shown;
    std::function<void(FakeView&, platform::FormEvents&)> whileShown;
    Journal windowJournal;
    Journal* journal;
};

}  // namespace kestrum::testing
