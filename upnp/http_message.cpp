#include "upnp/http_message.h"

#include <algorithm>

#include "net/ipv4.h"
#include "platform/text_helpers.h"

namespace kestrum::upnp {

namespace {

constexpr std::string_view kBlanks = " \t";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view Trim(std::string_view text) { return platform::Trimmed(text, kBlanks); }

// A decimal number of at most `digits` digits, nothing else.
std::optional<std::size_t> Decimal(std::string_view text, std::size_t digits) {
    if (text.empty() || text.size() > digits) return std::nullopt;
    std::size_t value = 0;
    for (const char c : text) {
        if (!IsDigit(c)) return std::nullopt;
        value = value * 10 + static_cast<std::size_t>(c - '0');
    }
    return value;
}

// One line of `text` from `at`, without its line end; `at` moves past it.
std::optional<std::string_view> NextLine(std::string_view text, std::size_t& at) {
    const std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) return std::nullopt;
    std::string_view line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    at = end + 1;
    return line;
}

std::optional<std::string> Dechunk(std::string_view raw) {
    std::string body;
    for (std::size_t at = 0;;) {
        const auto line = NextLine(raw, at);
        if (!line) return std::nullopt;
        const std::string_view digits = Trim(line->substr(0, line->find(';')));
        if (digits.empty() || digits.size() > 7) return std::nullopt;
        std::size_t size = 0;
        for (const char c : digits) {
            const char l = Lower(c);
            if (!IsDigit(l) && (l < 'a' || l > 'f')) return std::nullopt;
            size = size * 16 + static_cast<std::size_t>(IsDigit(l) ? l - '0' : l - 'a' + 10);
        }
        if (size == 0) return body;  // trailers, if any, say nothing we need
        if (raw.size() - at < size + 2 || raw.substr(at + size, 2) != "\r\n") return std::nullopt;
        body.append(raw.substr(at, size));
        at += size + 2;
    }
}

std::string HostHeader(const Url& url) {
    const std::string host = IsIpv6Host(url.host) ? "[" + url.host + "]" : url.host;
    return host + ":" + std::to_string(url.port);
}

}  // namespace

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

bool IsIpv6Host(std::string_view host) {
    if (host.size() < 2 || host.size() > 45 || std::count(host.begin(), host.end(), ':') < 2) return false;
    return std::all_of(host.begin(), host.end(), [](char c) {
        const char l = Lower(c);
        return IsDigit(l) || (l >= 'a' && l <= 'f') || l == ':' || l == '.';
    });
}

bool IsRequestPath(std::string_view path) {
    return !path.empty() && path[0] == '/' && path.size() <= kMaxUrl &&
           std::all_of(path.begin(), path.end(), [](char c) { return c > ' ' && c < 0x7F; });
}

std::optional<Url> ParseUrl(std::string_view text) {
    constexpr std::string_view kScheme = "http://";
    if (text.size() > kMaxUrl || !SameText(text.substr(0, kScheme.size()), kScheme)) return std::nullopt;
    text.remove_prefix(kScheme.size());
    const std::size_t slash = std::min(text.find('/'), text.size());
    std::string_view authority = text.substr(0, slash);
    Url url;
    const std::string_view path = text.substr(slash, text.find('#') - slash);
    url.path = path.empty() ? std::string(1, '/') : std::string(path);
    // "[v6]:port" or "v4:port": the host ends at the "]", or at the ":".
    const bool v6 = authority.starts_with('[');
    const std::size_t hostEnd = v6 ? authority.find(']') : std::min(authority.find(':'), authority.size());
    if (hostEnd == std::string_view::npos) return std::nullopt;
    const std::string_view host = v6 ? authority.substr(1, hostEnd - 1) : authority.substr(0, hostEnd);
    authority.remove_prefix(v6 ? hostEnd + 1 : hostEnd);
    if (!(v6 ? IsIpv6Host(host) : net::IsPlainIpv4(host)) || (!authority.empty() && authority[0] != ':'))
        return std::nullopt;
    if (!authority.empty()) {
        const auto port = Decimal(authority.substr(1), 5);
        if (!port || *port == 0 || *port > 65535) return std::nullopt;
        url.port = static_cast<std::uint16_t>(*port);
    }
    url.host.resize(host.size());
    std::transform(host.begin(), host.end(), url.host.begin(), Lower);
    if (!IsRequestPath(url.path)) return std::nullopt;
    return url;
}

std::string GetRequest(const Url& url) {
    return "GET " + url.path + " HTTP/1.1\r\nHost: " + HostHeader(url) + "\r\nConnection: close\r\n\r\n";
}

std::string SoapRequest(const Url& url, std::string_view soapAction, std::string_view body) {
    std::string request = "POST " + url.path + " HTTP/1.1\r\nHost: " + HostHeader(url) +
                          "\r\nContent-Type: text/xml; charset=\"utf-8\"\r\nSOAPAction: \"";
    request.append(soapAction);
    request += "\"\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
    request.append(body);
    return request;
}

std::optional<std::string_view> HeaderValue(std::string_view headers, std::string_view name) {
    std::size_t at = 0;
    while (const auto line = NextLine(headers, at)) {
        const std::size_t colon = line->find(':');
        if (colon != std::string_view::npos && SameText(Trim(line->substr(0, colon)), name))
            return Trim(line->substr(colon + 1));
    }
    return std::nullopt;
}

std::optional<Response> ParseResponse(std::string_view raw) {
    std::size_t at = 0;
    const auto start = NextLine(raw, at);
    // "HTTP/1.1 200 OK": the version, a blank, three digits, then a blank or the end.
    if (!start || start->size() < 12 || start->substr(0, 7) != "HTTP/1." || (*start)[8] != ' ' ||
        (start->size() > 12 && (*start)[12] != ' '))
        return std::nullopt;
    const auto status = Decimal(start->substr(9, 3), 3);
    if (!status) return std::nullopt;
    Response response;
    response.status = static_cast<int>(*status);
    const std::size_t headersAt = at;
    while (true) {
        const auto line = NextLine(raw, at);
        if (!line) return std::nullopt;  // cut short inside the headers
        if (line->empty()) break;
    }
    response.headers = std::string(raw.substr(headersAt, at - headersAt));
    const std::string_view rest = raw.substr(at);
    if (const auto coding = HeaderValue(response.headers, "Transfer-Encoding")) {
        if (!SameText(*coding, "chunked")) return std::nullopt;
        auto body = Dechunk(rest);
        if (!body) return std::nullopt;
        response.body = std::move(*body);
    } else if (const auto length = HeaderValue(response.headers, "Content-Length")) {
        const auto size = Decimal(*length, 9);
        if (!size || *size > rest.size()) return std::nullopt;
        response.body = std::string(rest.substr(0, *size));
    } else {
        response.body = std::string(rest);
    }
    return response;
}

}  // namespace kestrum::upnp
