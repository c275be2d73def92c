#include "ipexe/options.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "platform/identity.h"

namespace kestrum::ipexe {

namespace {

std::optional<unsigned long> Decimal(std::string_view text, unsigned long max) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    unsigned long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned long>(c - '0');
    }
    if (value == 0 || value > max) return std::nullopt;
    return value;
}

std::optional<HostPort> ParseHostPort(std::string_view text) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos || colon == 0) return std::nullopt;
    const std::string_view host = text.substr(0, colon);
    const bool hostOk = std::all_of(host.begin(), host.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
               c == '_';
    });
    const auto port = Decimal(text.substr(colon + 1), 65535);
    if (!hostOk || !port) return std::nullopt;
    return HostPort{std::string(host), static_cast<std::uint16_t>(*port)};
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char p, char t) { return Lower(p) == Lower(t); });
}

bool EqualsNoCase(std::string_view a, std::string_view b) { return a.size() == b.size() && StartsWithNoCase(a, b); }

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

bool IsUrl(std::string_view text) {
    const std::size_t scheme = StartsWithNoCase(text, "http://") ? 7 : StartsWithNoCase(text, "https://") ? 8 : 0;
    return scheme != 0 && text.size() > scheme &&
           std::none_of(text.begin(), text.end(), [](char c) { return c <= ' ' || c == 0x7F; });
}

}  // namespace

std::vector<HostPort> DefaultStunServers() {
    return {{"stun.l.google.com", 19302}, {"stun1.l.google.com", 19302}, {"stun.cloudflare.com", 3478}};
}

std::vector<std::string> DefaultUrls() {
    return {"http://api.ipify.org/", "http://checkip.amazonaws.com/", "http://ipv4.icanhazip.com/"};
}

std::vector<std::string> ProgramArguments(const std::vector<std::string>& argv, std::string_view programPath) {
    // Our path is the tokens that join into it, or (when the starter wrote it
    // another way, say with short names) the tokens up to one ending in our name.
    std::string ending = "\\";
    ending += programPath.substr(programPath.find_last_of('\\') + 1);
    std::string joined;
    for (std::size_t i = 0; i < argv.size() && !argv[i].starts_with('-'); ++i) {
        if (i > 0) joined += ' ';
        joined += argv[i];
        const bool ours = EqualsNoCase(joined, programPath) || EndsWithNoCase(argv[i], ending);
        if (i > 0 && ours) return {argv.begin() + static_cast<std::ptrdiff_t>(i) + 1, argv.end()};
    }
    if (argv.empty()) return {};
    return {argv.begin() + 1, argv.end()};
}

Options ParseOptions(const std::vector<std::string>& args) {
    Options options;
    // Known before anything else, so even a bad command line can be quiet about it.
    options.quiet = std::find(args.begin(), args.end(), "--quiet") != args.end();
    for (std::size_t i = 0; i < args.size() && options.error.empty(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (const std::size_t equals = name.find('='); name.starts_with("--") && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        if (name == "--quiet" || name == "--help" || name == "-h" || name == "/?") {
            if (value) options.error = name + " takes no value";
            options.help = options.help || name != "--quiet";
            continue;
        }
        if (name != "--stun" && name != "--url" && name != "--deadline") {
            options.error = "unknown option " + args[i];
            continue;
        }
        if (!value) {
            if (i + 1 == args.size()) {
                options.error = name + " needs a value";
                continue;
            }
            value = args[++i];
        }
        if (name == "--stun") {
            if (const auto server = ParseHostPort(*value)) options.stunServers.push_back(*server);
            else options.error = "--stun wants HOST:PORT, not " + *value;
        } else if (name == "--url") {
            if (IsUrl(*value)) options.urls.push_back(*value);
            else options.error = "--url wants an http:// or https:// address, not " + *value;
        } else if (const auto ms = Decimal(*value, static_cast<unsigned long>(kMaxDeadline.count()))) {
            options.deadline = std::chrono::milliseconds(*ms);
        } else {
            options.error = "--deadline wants milliseconds from 1 to " + std::to_string(kMaxDeadline.count());
        }
    }
    if (options.stunServers.empty() && options.urls.empty()) {
        options.stunServers = DefaultStunServers();
        options.urls = DefaultUrls();
    }
    return options;
}

std::string UsageText() {
    using namespace platform;
    using std::to_string;
    return std::string(
               "IP.EXE [--stun HOST:PORT]... [--url URL]... [--deadline MS] [--quiet]\n"
               "\n"
               "Learns this computer's public IPv4 address and stores it in the settings\n"
               "under ") +
           kSettingsApplication + " / " + kPublicAddressSection + " / " + kPublicAddressKey +
           ".\n"
           "\n"
           "  --stun HOST:PORT  ask this STUN server over UDP (repeatable)\n"
           "  --url URL         ask this http:// or https:// address echo (repeatable)\n"
           "  --deadline MS     give up after MS milliseconds, 1 to " +
           to_string(kMaxDeadline.count()) + " (default " + to_string(kDefaultDeadline.count()) +
           ")\n"
           "  --quiet           show no message about the command line\n"
           "  --help            show this text\n"
           "\n"
           "Naming any --stun or --url replaces the built-in public sources.\n"
           "Exit code: " +
           to_string(kStored) + " stored, " + to_string(kNoAnswer) + " no answer in time, " +
           to_string(kBadCommandLine) + " bad command line,\n" + to_string(kStoreRefused) +
           " the settings store refused the address.\n";
}

}  // namespace kestrum::ipexe
