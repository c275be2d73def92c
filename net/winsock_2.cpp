#include "net/winsock_2.h"

#include "platform/identity.h"

namespace kestrum::net {

namespace {
constexpr std::uint16_t kVersion11 = 0x0101;
constexpr int kMinimumSockets = 1;
constexpr int kHostNameBuffer = 256;
constexpr int kSocketError = -1;
}  // namespace

int LowByte(std::uint16_t word) { return word & 0xFF; }

int HighByte(std::uint16_t word) {
    const auto quotient = static_cast<std::int16_t>(word) / 256;  // truncates toward zero
    return quotient & 0xFF;
}

void Winsock2::Show(const std::string& text) { ui_.messageBox(text, platform::kOkOnly, platform::kAppTitle); }

platform::StartedSockets Winsock2::StartSockets() {
    platform::WsaData data;
    if (sockets_.startup(kVersion11, data) != 0) {
        Show("The 32-bit Windows Socket is not responding.");
        return {};
    }
    platform::StartedSockets started(sockets_, [this] { Show("Socket error occurred in Cleanup."); });
    if (data.iMaxSockets < kMinimumSockets) {
        Show("This application requires a minimum of " + std::to_string(kMinimumSockets) + " supported sockets.");
        return {};
    }
    const int major = LowByte(data.wVersion);
    const int minor = HighByte(data.wVersion);
    if (major < 1 || (major == 1 && minor < 1)) {
        Show("Sockets version " + std::to_string(major) + "." + std::to_string(minor) +
             " is not supported by 32-bit Windows Sockets.");
        return {};
    }
    return started;
}

std::string Winsock2::GetHostIP() {
    const platform::StartedSockets started = StartSockets();
    if (!started) return {};

    std::string name;
    if (sockets_.hostName(name, kHostNameBuffer) == kSocketError) {
        const int error = sockets_.lastError();
        // A number that is not negative is written with a leading blank.
        // Appended, not prefixed: MinGW's GCC 12 gives a false -Wrestrict on " " + string.
        std::string number = error >= 0 ? " " : "";
        number += std::to_string(error);
        Show("Windows Sockets error " + number + " has occurred. Unable to successfully get Host Name.");
        return {};
    }

    const std::optional<platform::HostRecord> record = sockets_.hostByName(name);
    // A record without addresses, or with addresses of no length, is as good as none.
    if (!record || record->addresses.empty() || record->addressLength <= 0 ||
        record->addresses.front().size() < static_cast<size_t>(record->addressLength)) {
        Show(std::string("Windows Sockets are not responding. ") + "Unable to successfully get Host Name.");
        return {};
    }

    std::string text;
    const std::vector<std::uint8_t>& address = record->addresses.front();
    for (int i = 0; i < record->addressLength; ++i) text += std::to_string(address[i]) + ".";
    text.pop_back();
    return text;
}

}  // namespace kestrum::net
