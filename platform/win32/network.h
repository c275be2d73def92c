#pragma once

#include "platform/network.h"

namespace kestrum::win32 {

class Win32Sockets : public platform::Sockets {
public:
    int startup(std::uint16_t version, platform::WsaData& data) override;
    int cleanup() override;
    int hostName(std::string& name, int bufferLength) override;
    std::optional<platform::HostRecord> hostByName(const std::string& name) override;
    int lastError() override;
};

class WinInet : public platform::Internet {
public:
    platform::InternetHandle open(const std::string& agent, unsigned accessType, unsigned flags) override;
    platform::InternetHandle openUrl(platform::InternetHandle session, const std::string& url, unsigned flags) override;
    void close(platform::InternetHandle handle) override;
};

class TcpPortProbe : public platform::PortProbe {
public:
    bool connects(std::uint32_t address, std::uint16_t port, unsigned timeoutMs) override;
    bool connects6(const platform::Ipv6Bytes& address, std::uint16_t port, unsigned timeoutMs) override;
};

class IpHelperHopProbe : public platform::HopProbe {
public:
    std::uint32_t inetAddr(const std::string& address) override;
    int rttAndHopCount(std::uint32_t address, unsigned maxHops) override;
};

}  // namespace kestrum::win32
