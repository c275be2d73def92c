// The router's UPnP gateway, over a scripted link: the exact requests, which service
// is chosen, and what the router's answers (good, faulty, malformed) come to.

#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "upnp/description.h"
#include "upnp/gateway.h"
#include "upnp/http_message.h"
#include "upnp/soap.h"
#include "upnp/ssdp.h"

namespace kestrum::upnp {
namespace {

using namespace std::chrono_literals;
using Answer = std::optional<std::string>;

// Records every datagram and request; answers each from its script, in turn.
class ScriptedLink : public platform::RouterLink {
public:
    std::deque<Answer> answers;
    std::vector<std::string> sent;  // "search from SOURCE\nTEXT" or "HOST PORT from SOURCE\nTEXT"

    Answer search(const std::string& source, const std::string& message, std::size_t maxBytes,
                  std::chrono::milliseconds) override {
        return Next("search from " + source + "\n" + message, maxBytes);
    }
    Answer exchange(const std::string& source, const std::string& host, std::uint16_t port, const std::string& request,
                    std::size_t maxBytes, std::chrono::milliseconds) override {
        return Next(host + " " + std::to_string(port) + " from " + source + "\n" + request, maxBytes);
    }

private:
    Answer Next(std::string what, std::size_t maxBytes) {
        sent.push_back(std::move(what));
        if (answers.empty()) return std::nullopt;
        Answer answer = std::move(answers.front());
        answers.pop_front();
        if (answer && answer->size() > maxBytes) answer->resize(maxBytes);  // as a socket read would
        return answer;
    }
};

std::string Http(const std::string& body, int status = 200) {
    return "HTTP/1.1 " + std::to_string(status) + " X\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
           body;
}

std::string Ssdp(const std::string& location) {
    return "HTTP/1.1 200 OK\r\nCACHE-CONTROL: max-age=120\r\nlocation: " + location + "\r\n\r\n";
}

// A device description with these services (type, control URL), nested as a gateway nests them.
std::string Description(const std::vector<std::pair<std::string, std::string>>& services,
                        const std::string& urlBase = "") {
    std::string xml = "<?xml version=\"1.0\"?><root xmlns=\"urn:schemas-upnp-org:device-1-0\">";
    if (!urlBase.empty()) xml += "<URLBase>" + urlBase + "</URLBase>";
    xml += "<device><deviceList><device><serviceList>\n";
    for (const auto& [type, url] : services)
        xml.append("<service><serviceType>urn:schemas-upnp-org:service:")
            .append(type)
            .append("</serviceType>\n")
            .append("<controlURL> " + url + " </controlURL><eventSubURL/></service>");
    return xml + "</serviceList></device></deviceList></device></root>";
}

std::string Envelope(const std::string& inBody) {
    return "<?xml version=\"1.0\"?>\r\n<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\"><s:Body>" +
           inBody + "</s:Body></s:Envelope>";
}

std::string FaultBody(const std::string& detail) {
    return Envelope("<s:Fault><faultcode>s:Client</faultcode><faultstring>UPnPError</faultstring><detail>" + detail +
                    "</detail></s:Fault>");
}

TEST(UpnpHttp, UrlsAreAddressesWithPortAndPath) {
    EXPECT_EQ(ParseUrl("HTTP://[2001:DB8:77::1]:5555/rootDesc.xml?a#b"),
              (Url{"2001:db8:77::1", 5555, "/rootDesc.xml?a"}));
    EXPECT_EQ(ParseUrl("http://192.168.77.1"), (Url{"192.168.77.1", 80, "/"}));
    for (const char* bad : {"https://192.168.77.1/", "http://router.lan:5555/", "http://[2001:db8::1:5555/",
                            "http://192.168.77.1:65536/", "http://192.168.77.01/", "http://u@192.168.77.1/",
                            "http://192.168.77.1/a b", "http://192.168.77.1/a\r\nX: y"})
        EXPECT_FALSE(ParseUrl(bad)) << bad;
}

TEST(UpnpHttp, AnAnswerIsReadWholeOrNotAtAll) {
    const std::string head = "HTTP/1.1 200 OK\r\n";
    const struct {
        std::string raw;
        Answer body;
    } rows[] = {
        {head + "content-length: 3\r\n\r\nabcdef", "abc"},
        {head + "Server: x\r\n\r\nuntil close", "until close"},
        {"HTTP/1.0 500\nContent-Length: 0\n\n", ""},
        {head + "Transfer-Encoding: Chunked\r\n\r\n3;x=1\r\nabc\r\nA\r\n0123456789\r\n0\r\nT: 1\r\n\r\n",
         "abc0123456789"},
        {head + "Content-Length: 9\r\n\r\nabc", std::nullopt},                    // cut short
        {head + "Transfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n", std::nullopt},  // no last chunk
        {head + "Content-Length: 3\r\n", std::nullopt},                           // headers never end
        {"<html>200</html>", std::nullopt},
    };
    for (const auto& row : rows) {
        const auto response = ParseResponse(row.raw);
        EXPECT_EQ(response ? Answer(response->body) : std::nullopt, row.body) << row.raw;
    }
}

TEST(UpnpDescription, ThePreferredServiceAndAControlUrlOnTheSameHostOnly) {
    const Url at{"192.168.77.1", 5555, "/dev/root.xml"};
    const std::string_view types[] = {"urn:schemas-upnp-org:service:WANIPConnection:2",
                                      "urn:schemas-upnp-org:service:WANIPConnection:1"};
    const struct {
        std::string description;
        std::optional<Service> found;
    } rows[] = {
        {Description({{"WANIPConnection:1", "/one"}, {"WANIPConnection:2", "/two"}}),
         Service{"192.168.77.1", 5555, "/two", std::string(types[0])}},
        {Description({{"WANPPPConnection:1", "/ppp"}, {"WANIPConnection:1", "ctl/one?a=1&amp;b"}}),
         Service{"192.168.77.1", 5555, "/dev/ctl/one?a=1&b", std::string(types[1])}},
        {Description({{"WANIPConnection:1", "c"}}, "http://192.168.77.1:6000/base/"),
         Service{"192.168.77.1", 6000, "/base/c", std::string(types[1])}},
        {Description({{"WANIPConnection:1", "http://192.168.77.1:7000/c"}}),
         Service{"192.168.77.1", 7000, "/c", std::string(types[1])}},
        {Description({{"WANIPConnection:1", "http://192.168.77.9:5555/c"}}), std::nullopt},
        {Description({{"WANIPConnection:1", "/c"}}, "http://192.168.77.9/"), std::nullopt},
        {Description({{"WANIPv6FirewallControl:1", "/c"}}), std::nullopt},
    };
    for (const auto& row : rows) EXPECT_EQ(FindService(row.description, at, types), row.found) << row.description;
}

// A gateway found over IPv6 and the requests that found it, then each failure of the search.
TEST(UpnpGateway, FindAsksTheGroupThenTheDescriptionAndPicksTheFamilysService) {
    ScriptedLink link;
    link.answers = {Ssdp("http://[2001:DB8:77::1]:5555/rootDesc.xml"),
                    Http(Description({{"WANIPConnection:2", "/ctl/IPConn"}, {"WANIPv6FirewallControl:1", "/ctl/6"}}))};
    const auto gateway = Gateway::Find(link, "2001:db8:77::2", Family::Ipv6);
    ASSERT_TRUE(gateway);
    EXPECT_EQ(gateway->service(),
              (Service{"2001:db8:77::1", 5555, "/ctl/6", "urn:schemas-upnp-org:service:WANIPv6FirewallControl:1"}));
    EXPECT_EQ(link.sent,
              (std::vector<std::string>{
                  "search from 2001:db8:77::2\nM-SEARCH * HTTP/1.1\r\nHOST: [FF02::C]:1900\r\nMAN: "
                  "\"ssdp:discover\"\r\nMX: 1\r\nST: urn:schemas-upnp-org:service:WANIPv6FirewallControl:1\r\n\r\n",
                  "2001:db8:77::1 5555 from 2001:db8:77::2\nGET /rootDesc.xml HTTP/1.1\r\nHost: "
                  "[2001:db8:77::1]:5555\r\nConnection: close\r\n\r\n"}));

    const std::string v4 = Ssdp("http://192.168.77.1:5555/d.xml"),
                      description = Description(
                          {{"WANPPPConnection:1", "/p"}, {"WANIPConnection:1", "/c1"}, {"WANIPConnection:2", "/c2"}});
    const struct {
        Family family;
        std::vector<Answer> answers;
    } failures[] = {
        {Family::Ipv4, {}},
        {Family::Ipv6, {v4, Http(description)}},
        {Family::Ipv4, {v4 + std::string(kMaxSearchAnswer, ' '), Http(description)}},
        {Family::Ipv4, {v4, "HTTP/1.1 200 OK\r\n\r\n" + description + std::string(kMaxDescription, ' ')}},
        {Family::Ipv4, {v4, std::nullopt}},
    };
    for (const auto& row : failures) {
        ScriptedLink failing;
        failing.answers.assign(row.answers.begin(), row.answers.end());
        EXPECT_FALSE(Gateway::Find(failing, "192.168.77.2", row.family)) << row.answers.size();
    }
    ScriptedLink good;
    good.answers = {v4, Http(description)};
    const auto ipv4 = Gateway::Find(good, "192.168.77.2", Family::Ipv4);
    ASSERT_TRUE(ipv4);
    EXPECT_NE(good.sent[0].find("HOST: 239.255.255.250:1900\r\n"), std::string::npos);
    EXPECT_NE(good.sent[0].find("ST: urn:schemas-upnp-org:device:InternetGatewayDevice:1\r\n"), std::string::npos);
}

TEST(UpnpGateway, EachActionSendsItsArgumentsInOrder) {
    ScriptedLink link;
    const Gateway v4(link, "192.168.77.2", {"192.168.77.1", 5555, "/ctl/IPConn", "urn:x:WANIPConnection:2"});
    const Gateway v6(link, "2001:db8:77::2", {"2001:db8:77::1", 5555, "/ctl/6", "urn:x:WANIPv6FirewallControl:1"});
    const std::string entry =
        "<NewRemoteHost></NewRemoteHost><NewExternalPort>3389</NewExternalPort><NewProtocol>TCP</NewProtocol>";
    const struct {
        std::function<Reply()> call;
        std::string action, arguments;
    } rows[] = {
        {[&] { return GetExternalIPAddress(v4); }, "GetExternalIPAddress", ""},
        {[&] { return AddPortMapping(v4, 3389, "TCP", "192.168.77.2", "Kestrum <R&D>", 3600); }, "AddPortMapping",
         entry +
             "<NewInternalPort>3389</NewInternalPort><NewInternalClient>192.168.77.2</NewInternalClient><NewEnabled>"
             "1</NewEnabled><NewPortMappingDescription>Kestrum &lt;R&amp;D&gt;</NewPortMappingDescription>"
             "<NewLeaseDuration>3600</NewLeaseDuration>"},
        {[&] { return GetSpecificPortMappingEntry(v4, 3389, "TCP"); }, "GetSpecificPortMappingEntry", entry},
        {[&] { return DeletePortMapping(v4, 3389, "TCP"); }, "DeletePortMapping", entry},
        {[&] { return GetFirewallStatus(v6); }, "GetFirewallStatus", ""},
        {[&] { return AddPinhole(v6, "2001:db8:77::2", 3389, 7200); }, "AddPinhole",
         "<RemoteHost></RemoteHost><RemotePort>0</RemotePort><InternalClient>2001:db8:77::2</InternalClient>"
         "<InternalPort>3389</InternalPort><Protocol>6</Protocol><LeaseTime>7200</LeaseTime>"},
        {[&] { return UpdatePinhole(v6, "17", 7200); }, "UpdatePinhole",
         "<UniqueID>17</UniqueID><NewLeaseTime>7200</NewLeaseTime>"},
        {[&] { return DeletePinhole(v6, "17"); }, "DeletePinhole", "<UniqueID>17</UniqueID>"},
    };
    for (const auto& row : rows) {
        EXPECT_FALSE(row.call().done());  // no answer scripted
        const std::string& sent = link.sent.back();
        const bool six = sent.starts_with("2001");
        const std::string type = six ? "urn:x:WANIPv6FirewallControl:1" : "urn:x:WANIPConnection:2";
        EXPECT_TRUE(sent.starts_with(six ? "2001:db8:77::1 5555 from 2001:db8:77::2\nPOST /ctl/6 HTTP/1.1\r\nHost: "
                                           "[2001:db8:77::1]:5555\r\n"
                                         : "192.168.77.1 5555 from 192.168.77.2\nPOST /ctl/IPConn HTTP/1.1\r\nHost: "
                                           "192.168.77.1:5555\r\n"))
            << sent;
        for (const std::string& part :
             {"\r\nSOAPAction: \"" + type + "#" + row.action + "\"\r\n", std::string("\r\nConnection: close\r\n"),
              "\r\nContent-Length: " + std::to_string(sent.size() - sent.find("\r\n\r\n") - 4) + "\r\n",
              "<s:Body><u:" + row.action + " xmlns:u=\"" + type + "\">" + row.arguments + "</u:" + row.action +
                  "></s:Body>"})
            EXPECT_NE(sent.find(part), std::string::npos) << part << " in\n" << sent;
    }
}

TEST(UpnpGateway, AServiceThatWouldBreakTheHeadersIsNotCalled) {
    ScriptedLink link;
    for (const Service& service :
         {Service{"192.168.77.1", 5555, "/c\r\nX: y", "urn:x"}, Service{"192.168.77.1", 5555, "/c", "urn:x\"\r\nX: y"},
          Service{"192.168.77.1\r\nX: y", 5555, "/c", "urn:x"}})
        Gateway(link, "192.168.77.2", service).Call("AddPinhole", {});
    EXPECT_TRUE(link.sent.empty());
}

TEST(UpnpGateway, AnswersComeToDoneFaultOrNothing) {
    const auto response = [](const std::string& values) {
        return Envelope("<u:AddPinholeResponse xmlns:u=\"urn:x\">" + values + "</u:AddPinholeResponse>");
    };
    const auto error = [](const std::string& code, const std::string& text) {
        return FaultBody("<UPnPError xmlns=\"urn:schemas-upnp-org:control-1-0\"><errorCode>" + code +
                         "</errorCode><errorDescription>" + text + "</errorDescription></UPnPError>");
    };
    using enum Reply::Status;
    const std::string longText(150, 'x');
    const struct {
        Answer raw;
        Reply reply;
    } rows[] = {
        {Http(response("<UniqueID> 17 </UniqueID>\n<Note>a &amp; b&#33;</Note><Big>" + std::string(kMaxValue + 1, '9') +
                       "</Big><Nested><x>1</x></Nested><Nested><y/></Nested><Bad>a&#1;b</Bad><Empty/>")),
         {Done, 0, "", {{"UniqueID", "17"}, {"Note", "a & b!"}, {"Empty", ""}}}},
        {Http(error("606", "Action not authorized"), 500), {Fault, 606, "Action not authorized", {}}},
        {Http(error(" 501 ", "\tbad\x01\xC3\xA9&lt;\r\n" + longText), 500),
         {Fault, 501, ("bad<  " + longText).substr(0, kMaxFaultText), {}}},
        {Http(FaultBody(""), 500), {Fault, 0, "", {}}},
        {"HTTP/1.1 200 OK\r\n\r\n" + response("<UniqueID>3</UniqueID>" + std::string(kMaxSoapAnswer, ' ')), {}},
        {Http("<html>Not Found</html>", 404), {}},
        {std::nullopt, {}},
    };
    for (const auto& row : rows) {
        ScriptedLink link;
        link.answers = {row.raw};
        const Reply reply = Gateway(link, "192.168.77.2", {"192.168.77.1", 5555, "/c", "urn:x"}).Call("AddPinhole", {});
        EXPECT_EQ(reply.status, row.reply.status) << row.raw.value_or("(none)");
        EXPECT_EQ(reply.faultCode, row.reply.faultCode);
        EXPECT_EQ(reply.faultText, row.reply.faultText);
        EXPECT_EQ(reply.values, row.reply.values);
    }
}

}  // namespace
}  // namespace kestrum::upnp
