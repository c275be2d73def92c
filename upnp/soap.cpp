#include "upnp/soap.h"

#include <algorithm>
#include <optional>

#include "platform/text_helpers.h"
#include "upnp/xml.h"

namespace kestrum::upnp {

namespace {

constexpr std::string_view kBlanks = " \t\r\n";

std::string_view Trim(std::string_view text) { return platform::Trimmed(text, kBlanks); }

bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }

// The router's words, fit to show: printable ASCII, line ends as blanks, bounded.
std::string Clean(std::string_view content) {
    std::string out;
    for (const char c : xml::Decode(Trim(content))) {
        if (c == '\t' || c == '\r' || c == '\n') {
            out += ' ';
        } else if (!IsControl(c) && static_cast<unsigned char>(c) < 0x80) {
            out += c;
        }
        if (out.size() == kMaxFaultText) break;
    }
    return std::string(Trim(out));
}

Reply ReadFault(std::string_view body, std::size_t at) {
    Reply reply;
    reply.status = Reply::Status::Fault;
    const auto error = xml::FindOpen(body, "UPnPError", at);
    const auto children = error ? xml::Children(body, *error) : std::nullopt;
    if (!children) return reply;
    for (const xml::Child& child : *children) {
        if (child.nested) continue;
        const std::string_view text = Trim(child.content);
        if (child.name == "errorCode" && !text.empty() && text.size() <= 6 &&
            std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
            reply.faultCode = std::stoi(std::string(text));
        if (child.name == "errorDescription") reply.faultText = Clean(child.content);
    }
    return reply;
}

}  // namespace

std::string Envelope(std::string_view serviceType, std::string_view action, const Arguments& arguments) {
    std::string body =
        "<?xml version=\"1.0\"?>\r\n<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\" "
        "s:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\"><s:Body><u:";
    body.append(action);
    body += " xmlns:u=\"" + xml::Escape(serviceType) + "\">";
    for (const auto& [name, value] : arguments)
        body.append("<").append(name).append(">").append(xml::Escape(value)).append("</").append(name).append(">");
    body += "</u:";
    body.append(action);
    body += "></s:Body></s:Envelope>\r\n";
    return body;
}

Reply ReadReply(const Response& response, std::string_view action) {
    const std::string_view body = response.body;
    if (body.size() > kMaxSoapAnswer) return {};
    if (const auto fault = xml::FindOpen(body, "Fault", 0)) return ReadFault(body, fault->end);
    const auto answer =
        response.status == 200 ? xml::FindOpen(body, std::string(action) + "Response", 0) : std::nullopt;
    const auto children = answer ? xml::Children(body, *answer) : std::nullopt;
    if (!children) return {};
    Reply reply;
    reply.status = Reply::Status::Done;
    for (const xml::Child& child : *children) {
        if (child.nested || reply.values.size() == kMaxValues) continue;
        std::string value = xml::Decode(Trim(child.content));
        if (value.size() > kMaxValue || std::any_of(value.begin(), value.end(), IsControl)) continue;
        reply.values.emplace_back(std::string(child.name), std::move(value));
    }
    return reply;
}

}  // namespace kestrum::upnp
