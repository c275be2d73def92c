#pragma once
// The little HTTP that a router's UPnP server speaks: its URLs, the two requests
// we send, and its answers, read within a bound.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrum::upnp {

// An http:// URL whose host is an address: IPv4 dotted, or IPv6 in brackets.
struct Url {
    std::string host;  // without brackets, IPv6 in lower case
    std::uint16_t port = 80;
    std::string path;  // from its "/", query included; printable ASCII without blanks
    bool operator==(const Url&) const = default;
};

// URLs longer than this are not a router's.
inline constexpr std::size_t kMaxUrl = 512;

// Nothing unless the text is such a URL. A host name is refused: the router is
// asked by address only.
std::optional<Url> ParseUrl(std::string_view text);
bool IsIpv6Host(std::string_view host);
// A path fit for a request line: "/" then printable ASCII without blanks.
bool IsRequestPath(std::string_view path);

std::string GetRequest(const Url& url);
std::string SoapRequest(const Url& url, std::string_view soapAction, std::string_view body);

struct Response {
    int status = 0;
    std::string headers;  // the header lines, for HeaderValue
    std::string body;     // de-chunked
};

// The answer, when it is a whole HTTP response with its body (by Content-Length,
// chunked, or until close); nothing when it is malformed or cut short.
std::optional<Response> ParseResponse(std::string_view raw);

// The value of the first header of that name (any case), blanks trimmed.
std::optional<std::string_view> HeaderValue(std::string_view headers, std::string_view name);

// Case-insensitive ASCII comparison.
bool SameText(std::string_view a, std::string_view b);

}  // namespace kestrum::upnp
