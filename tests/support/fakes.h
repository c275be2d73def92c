#pragma once
// One recording stand-in for the whole platform: its services, a window and the
// window's image. What it is asked to do goes to one log, so tests check effects
// and their order; its answers are set through its public fields.

#include <algorithm>
#include <array>
#include <charconv>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "net/ipv6.h"
#include "platform/files.h"
#include "platform/form_layout.h"
#include "platform/forms.h"
#include "platform/local_addresses.h"
#include "platform/network.h"
#include "platform/registry.h"
#include "platform/settings.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/ui.h"

namespace kestrum::testing {

using namespace kestrum::platform;
using Log = std::vector<std::string>;
using Text = const std::string&;

// What painting a window with the gradient does to it.
inline Log Painted() { return {"autoRedraw", "lock", "rect", "canvas", "unlock", "refresh"}; }

inline Log operator+(Log a, const Log& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class FakeControl : public Control {
public:
    FakeControl(std::string name, Log& log) : name_(std::move(name)), log_(log) {}
    std::string text() const override { return text_; }
    void setText(Text v) override { set(text_, v, "text=" + v); }
    bool visible() const override { return visible_; }
    void setVisible(bool v) override { set(visible_, v, v ? "shown" : "hidden"); }
    bool enabled() const override { return enabled_; }
    void setEnabled(bool v) override { set(enabled_, v, v ? "enabled" : "disabled"); }
    std::uint32_t foreColor() const override { return color_; }
    void setForeColor(std::uint32_t v) override { set(color_, v, "color=" + std::to_string(v)); }
    float left() const override { return place[0]; }
    float top() const override { return place[1]; }
    float width() const override { return place[2]; }
    float height() const override { return place[3]; }
    void setLeft(float twips) override { place[0] = twips; }
    void setTop(float twips) override { place[1] = twips; }
    void setWidth(float twips) override { place[2] = twips; }
    void setHeight(float twips) override { place[3] = twips; }

    std::string text_;
    bool visible_ = true, enabled_ = true;
    std::uint32_t color_ = 0;
    std::array<float, 4> place{};  // left, top, width, height

private:
    template <typename T>
    void set(T& slot, T value, Text what) {
        slot = value;
        log_.push_back(name_ + "." + what);
    }
    std::string name_;
    Log& log_;
};

using Line = std::array<long long, 5>;  // from x, y to x, y in the colour of the pen selected

// clang-format off
class FakePlatform : public Ui, public System, public SettingsStore, public Sockets, public Internet,
                     public HopProbe, public Shell, public SystemColors, public Forms, public Registry,
                     public Files, public FormView, public PaintTarget, public Canvas, public PortProbe,
                     public LocalAddresses {
    // clang-format on
public:
    // Controls are named as in layout; a window shown modally writes to its shower's log.
    explicit FakePlatform(const FormDef* layout = nullptr, Log* shared = nullptr)
        : log(shared ? *shared : own_), layout_(layout) {}
    void messageBox(Text text, unsigned style, Text title) override {
        lastMessage = {style, title};
        step("message " + text);
    }
    bool confirm(Text text, unsigned style, Text title) override {
        lastMessage = {style, title};
        return step("confirm " + text, confirmed);
    }
    bool copyText(Text text) override {
        clipboard = text;
        return true;
    }
    void setBusyPointer(bool busy) override { note(busy ? "busy" : "idle"); }
    void doEvents() override { note("events"); }
    std::string programFile() override { return programPath; }
    SystemDirectoryAnswer systemDirectory(unsigned n) override {
        const unsigned length = refusals-- > 0 ? 0 : unsigned(systemFolder.size());
        return step("systemDirectory " + std::to_string(n),
                    SystemDirectoryAnswer{systemFolder + std::string(n - systemFolder.size(), '\0'), length});
    }
    std::optional<std::string> environmentVariable(Text) override { return appData; }
    void sleep(unsigned ms) override { note("sleep " + std::to_string(ms)); }
    std::string decimalSeparator() override { return "."; }
    bool startProgram(Text path) override { return step("start " + path, canStart); }
    std::optional<std::string> getSetting(Text a, Text s, Text k) override {
        const std::string key = a + "/" + s + "/" + k;
        return settings.count(key) ? std::optional(settings[key]) : std::nullopt;
    }
    bool saveSetting(Text a, Text s, Text k, Text v) override {
        if (!refuseWrites) settings[a + "/" + s + "/" + k] = v;
        return step("save " + a + "/" + s + "/" + k + "=" + v, !refuseWrites);
    }
    int startup(std::uint16_t version, WsaData& data) override {
        data = wsa;
        return step("startup " + std::to_string(version), startupResult);
    }
    int cleanup() override { return step("cleanup"); }
    int hostName(std::string&, int) override { return hostNameResult; }
    std::optional<HostRecord> hostByName(Text) override { return host; }
    int lastError() override { return 10093; }
    // Handles: 1 for the session, 2 for the request; the request's flags in hex.
    InternetHandle open(Text agent, unsigned type, unsigned flags) override {
        return step("open " + agent + " " + std::to_string(type) + " " + std::to_string(flags), online ? 1 : 0);
    }
    InternetHandle openUrl(InternetHandle, Text url, unsigned flags) override {
        char hex[8];
        return step("url " + url + " " + std::string(hex, std::to_chars(hex, hex + 8, flags, 16).ptr), online ? 2 : 0);
    }
    void close(InternetHandle handle) override { note("close " + std::to_string(handle)); }
    // The remote computer: 1.2.3.4, 20 hops away.
    std::uint32_t inetAddr(Text a) override { return step("probe " + a, a == "1.2.3.4" ? 0x04030201u : ~0u); }
    int rttAndHopCount(std::uint32_t to, unsigned hops) override { return reachable && to == 0x04030201 && hops >= 20; }
    using MaybeText = const std::optional<std::string>&;
    std::intptr_t execute(std::uintptr_t owner, Text verb, Text file, MaybeText arguments, MaybeText folder,
                          int) override {
        const std::string call = "shell " + std::to_string(owner) + " " + verb + " " + file;
        return step(call + (arguments ? " " + *arguments : "") + (folder ? " in " + *folder : ""), shellResult);
    }
    // Listening on the ports in listening, there only (over IPv6 at any address).
    bool connects(std::uint32_t to, std::uint16_t port, unsigned ms) override {
        return step("connect " + std::to_string(port) + " within " + std::to_string(ms),
                    to == 0x04030201 && listening.count(port) > 0);
    }
    bool connects6(const Ipv6Bytes& to, std::uint16_t port, unsigned ms) override {
        return step("connect [" + net::Ipv6Text(to) + "]:" + std::to_string(port) + " within " + std::to_string(ms),
                    listening.count(port) > 0);
    }
    std::string gatewayLinkIpv4() override { return lanAddress; }
    std::vector<LocalIpv6> ipv6() override { return ipv6Addresses; }
    std::uint32_t sysColor(int i) override { return step("sysColor " + std::to_string(i), 0xA0B0C0u + i); }
    void showModal(const FormDef& layout, const MakeLogic& makeLogic) override {
        note("show " + std::string(layout.name));
        FakePlatform window(&layout, &log);
        const std::unique_ptr<FormEvents> logic = makeLogic(window);
        logic->onLoad();
        if (whileShown) whileShown(window, *logic);
        note("closed " + std::string(layout.name));
    }
    // As for a user without administrator rights: anything more than reading is refused.
    long openKey(RegistryRoot, Text subKey, unsigned access, RegistryKey& key) override {
        if (!registry.count(subKey) || access != kKeyRead) return 2;
        opened.push_back(subKey);
        key = opened.size();
        return 0;
    }
    long queryValue(RegistryKey key, Text name, std::uint32_t& type, std::vector<std::uint8_t>& data,
                    std::uint32_t& size) override {
        const auto& values = registry.at(opened.at(key - 1));
        if (!values.count(name)) return 2;
        const auto& [valueType, bytes] = values.at(name);
        std::tie(type, size) = std::tuple(valueType, std::uint32_t(bytes.size()));
        if (bytes.size() > data.size()) return kErrorMoreData;
        std::copy(bytes.begin(), bytes.end(), data.begin());
        return 0;
    }
    long closeKey(RegistryKey key) override { return std::exchange(opened.at(key - 1), "").empty() ? 6 : 0; }
    bool normalFileExists(Text path) override { return files.count(path) > 0; }
    Control& control(int id) override { return fake(id); }
    FakeControl& fake(int id) {
        if (!controls_[id]) controls_[id] = std::make_unique<FakeControl>(nameOf(id), log);
        return *controls_[id];
    }
    FakeControl& fake(auto id) { return fake(Id(id)); }  // a control id of a window's enum
    std::uintptr_t windowHandle() const override { return 0x1234; }
    void unload() override { note("unload"); }
    PaintTarget& paintTarget() override { return *this; }
    void setPictureFromForm(int id) override { note("picture " + nameOf(id)); }
    void setPictureToMainWindowIcon(int id) override { note("icon " + nameOf(id) + " of the main window"); }
    void setCaption(Text caption) override { note("caption=" + caption); }
    float scaleWidth() const override { return clientTwips.first; }
    float scaleHeight() const override { return clientTwips.second; }
    void runInBackground(std::function<void()> work, std::function<void(bool)> done) override {
        if (!failAt.count("work")) work();  // else as work that throws
        done(!failAt.count("work"));
    }
    PaintTargetKind kind() const override { return PaintTargetKind::Form; }
    void lockWindowUpdate(bool lock) override { step(lock ? "lock" : "unlock"); }
    bool getClientRect(int& right, int& bottom) override {
        std::tie(right, bottom) = clientPixels;
        return step("rect", rectOk);
    }
    Canvas* formCanvas() override { return step("canvas", this); }
    void setAutoRedraw(bool on) override { step(on ? "autoRedraw" : "autoRedrawOff"); }
    void refresh() override { step("refresh"); }
    std::uint64_t imageVersion() const override { return imageVersionNow; }
    void moveTo(int x, int y) override { at_ = {x, y}; }
    void lineTo(int x, int y) override { lines.push_back({at_.first, at_.second, x, y, pens.at(selected)}); }
    GdiObject createPen(int style, int width, std::uint32_t color) override {
        pens[++lastPen] = style == 0 && width == 1 ? color : 0xBAD;  // solid, one pixel
        return lastPen;
    }
    GdiObject selectObject(GdiObject object) override { return std::exchange(selected, object); }
    void deleteObject(GdiObject pen) override { pens.erase(pen == selected ? 0 : pen); }  // unless selected

    Log own_;
    Log& log;
    std::set<std::string> failAt;                  // the steps that throw
    std::pair<unsigned, std::string> lastMessage;  // style and title
    std::string programPath = "C:\\Program Files\\Kestrum\\kestrum.exe", systemFolder = "C:\\Windows\\system32";
    std::optional<std::string> appData;
    std::map<std::string, std::string> settings;
    std::set<std::uint16_t> listening;
    std::string lanAddress = "192.168.1.7";
    std::vector<LocalIpv6> ipv6Addresses;
    std::string clipboard;
    bool confirmed = true;
    bool canStart = true, refuseWrites = false, online = true, reachable = true, rectOk = true;
    WsaData wsa{0x0101, 100};
    int refusals = 0, startupResult = 0, hostNameResult = 0;
    std::optional<HostRecord> host = HostRecord{4, {{10, 0, 0, 5}, {192, 168, 1, 2}}};
    std::intptr_t shellResult = 42;
    std::function<void(FakePlatform& window, FormEvents& logic)> whileShown;
    std::map<std::string, std::map<std::string, std::pair<std::uint32_t, std::vector<std::uint8_t>>>> registry;
    std::vector<std::string> opened;  // the keys by handle - 1, emptied when closed
    std::set<std::string> files;
    std::pair<float, float> clientTwips;
    std::uint64_t imageVersionNow = 0;  // of the form's image
    std::pair<int, int> clientPixels = {9, 6};
    std::vector<Line> lines;
    std::map<GdiObject, std::uint32_t> pens = {{7, 0}};  // alive; 7 is the window's own
    GdiObject selected = 7, lastPen = 100;

private:
    void note(Text entry) { log.push_back(entry); }
    template <typename T = int>
    T step(Text entry, T answer = {}) {
        note(entry);
        if (failAt.count(entry)) throw std::runtime_error("Failed at " + entry);
        return answer;
    }
    std::string nameOf(int id) const {
        if (const auto* c = layout_ ? FindControl(*layout_, id) : nullptr) return std::string(c->name);
        if (const auto* m = layout_ ? FindMenu(*layout_, id) : nullptr) return std::string(m->name);
        return std::to_string(id);
    }
    const FormDef* layout_;
    std::map<int, std::unique_ptr<FakeControl>> controls_;
    std::pair<int, int> at_;
};

}  // namespace kestrum::testing
