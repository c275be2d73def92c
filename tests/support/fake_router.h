#pragma once
// A home router for the unit tests, spoken to over the router link as the real one
// is: it answers the SSDP search of either family, serves a description with an
// IPv4 connection service and an IPv6 firewall service, and carries out the SOAP
// actions Kestrum sends on a table of mappings and pinholes. The check asks both
// families at once, from two threads: one call at a time is carried out.

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/router_link.h"

namespace kestrum::testing {

class FakeRouter : public platform::RouterLink {
public:
    struct Mapping {
        std::string client, description, lease;
        bool operator==(const Mapping&) const = default;
    };
    bool answers = true;                             // to the search, in both families
    std::optional<std::string> outside = "5.6.7.8";  // none: GetExternalIPAddress fails
    std::map<std::string, Mapping> mappings;         // by "port protocol"
    std::map<std::string, std::string> pinholes;     // UniqueID to "client lease"
    std::map<std::string, int> refuse;               // action to the fault it answers
    std::string firewall = "1 1";                    // FirewallEnabled, InboundPinholeAllowed
    std::vector<std::string> asked;                  // "Action from source", in order

    std::optional<std::string> search(const std::string& source, const std::string&, std::size_t,
                                      std::chrono::milliseconds) override {
        const std::lock_guard lock(mutex_);
        if (!answers) return std::nullopt;
        const bool v6 = source.find(':') != std::string::npos;
        return "HTTP/1.1 200 OK\r\nST: upnp:rootdevice\r\nLOCATION: http://" +
               std::string(v6 ? "[2001:db8:1::1]" : "192.168.1.1") + ":5000/desc.xml\r\n\r\n";
    }

    std::optional<std::string> exchange(const std::string& source, const std::string&, std::uint16_t,
                                        const std::string& request, std::size_t, std::chrono::milliseconds) override {
        const std::lock_guard lock(mutex_);
        if (request.starts_with("GET")) return Answer("200 OK", kDescription);
        const std::size_t hash = request.find('#'), quote = request.find('"', hash);
        const std::string action = request.substr(hash + 1, quote - hash - 1);
        asked.push_back(action + " from " + source);
        if (refuse.count(action)) return Fault(refuse[action]);
        const auto arg = [&](const std::string& name) {
            const std::size_t from = request.find("<" + name + ">") + name.size() + 2;
            return request.substr(from, request.find("</" + name + ">") - from);
        };
        std::string out;
        const std::string key = arg("NewExternalPort") + " " + arg("NewProtocol");
        if (action == "GetExternalIPAddress") {
            if (!outside) return Fault(501);
            out = Out("NewExternalIPAddress", *outside);
        } else if (action == "AddPortMapping") {
            mappings[key] = {arg("NewInternalClient"), arg("NewPortMappingDescription"), arg("NewLeaseDuration")};
        } else if (action == "GetSpecificPortMappingEntry" || action == "DeletePortMapping") {
            if (!mappings.count(key)) return Fault(714);
            const Mapping m = mappings[key];
            if (action == "DeletePortMapping") mappings.erase(key);
            out = Out("NewInternalPort", key.substr(0, key.find(' '))) + Out("NewInternalClient", m.client) +
                  Out("NewEnabled", "1") + Out("NewPortMappingDescription", m.description) +
                  Out("NewLeaseDuration", m.lease);
        } else if (action == "GetFirewallStatus") {
            out = Out("FirewallEnabled", firewall.substr(0, 1)) + Out("InboundPinholeAllowed", firewall.substr(2));
        } else if (action == "AddPinhole") {
            const std::string id = std::to_string(++lastId_);
            pinholes[id] = arg("InternalClient") + " " + arg("LeaseTime");
            out = Out("UniqueID", id);
        } else if (action == "UpdatePinhole" || action == "DeletePinhole") {
            const std::string id = arg("UniqueID");
            if (!pinholes.count(id)) return Fault(704);
            if (action == "DeletePinhole") pinholes.erase(id);
            else pinholes[id] = pinholes[id].substr(0, pinholes[id].find(' ') + 1) + arg("NewLeaseTime");
        }
        return Answer("200 OK",
                      "<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\"><s:Body><u:" + action +
                          "Response xmlns:u=\"urn:x\">" + out + "</u:" + action + "Response></s:Body></s:Envelope>");
    }

private:
    static std::string Out(const std::string& name, const std::string& value) {
        return "<" + name + ">" + value + "</" + name + ">";
    }
    static std::string Answer(const std::string& status, const std::string& body) {
        return "HTTP/1.1 " + status + "\r\nContent-Type: text/xml\r\nContent-Length: " + std::to_string(body.size()) +
               "\r\n\r\n" + body;
    }
    static std::string Fault(int code) {
        return Answer("500 Internal Server Error",
                      "<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\"><s:Body><s:Fault>"
                      "<faultcode>s:Client</faultcode><faultstring>UPnPError</faultstring><detail>"
                      "<UPnPError xmlns=\"urn:schemas-upnp-org:control-1-0\"><errorCode>" +
                          std::to_string(code) +
                          "</errorCode><errorDescription>Refused</errorDescription></UPnPError></detail>"
                          "</s:Fault></s:Body></s:Envelope>");
    }
    static constexpr const char* kDescription =
        "<?xml version=\"1.0\"?><root xmlns=\"urn:schemas-upnp-org:device-1-0\"><device><deviceList><device>"
        "<serviceList><service><serviceType>urn:schemas-upnp-org:service:WANIPConnection:2</serviceType>"
        "<controlURL>/ctl/IPConn</controlURL></service><service>"
        "<serviceType>urn:schemas-upnp-org:service:WANIPv6FirewallControl:1</serviceType>"
        "<controlURL>/ctl/IP6FCtl</controlURL></service></serviceList></device></deviceList></device></root>";
    int lastId_ = 0;
    std::mutex mutex_;
};

}  // namespace kestrum::testing
