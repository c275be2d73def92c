#pragma once
// Recording stand-ins for the platform, shared by the unit tests.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/control.h"
#include "platform/form.h"
#include "platform/settings.h"
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

    std::string text_;
    bool visible_ = true;
    bool enabled_ = true;
    std::uint32_t color_ = 0;

private:
    void log(const std::string& what) {
        if (journal_) journal_->push_back(name_ + "." + what);
    }
    std::string name_;
    Journal* journal_;
};

class FakeView : public platform::FormView {
public:
    explicit FakeView(Journal* journal = nullptr) : journal_(journal) {}
    FakeControl& fake(int id) {
        auto& slot = controls_[id];
        if (!slot) slot = std::make_unique<FakeControl>(std::to_string(id), journal_);
        return *slot;
    }
    platform::Control& control(int id) override { return fake(id); }
    void unload() override {
        ++unloads;
        if (journal_) journal_->push_back("unload");
    }
    int unloads = 0;

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

    std::string programPath = "C:\\Program Files\\Kestrum\\kestrum.exe";
    std::string systemFolder = "C:\\Windows\\system32";
    int failuresBeforeAnswer = 0;
    int systemDirectoryCalls = 0;
    unsigned lastBufferChars = 0;
    std::map<std::string, std::string> environment;
    std::vector<unsigned> sleeps;
    std::string separator = ".";
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

}  // namespace kestrum::testing
