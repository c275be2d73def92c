#include "upnp/description.h"

#include <string>

#include "platform/text_helpers.h"
#include "upnp/xml.h"

namespace kestrum::upnp {

namespace {

constexpr std::string_view kBlanks = " \t\r\n";
// A gateway lists a handful of services; a description with more is not read further.
constexpr int kMaxServices = 64;

std::string Text(std::string_view content) { return xml::Decode(platform::Trimmed(content, kBlanks)); }

// The text of the first element of that name that holds no other element.
std::optional<std::string> FirstText(std::string_view description, std::string_view name) {
    const auto open = xml::FindOpen(description, name, 0);
    if (!open) return std::nullopt;
    if (open->kind == xml::Tag::Kind::Empty) return std::string();
    const auto close = xml::NextTag(description, open->end);
    if (!close || close->kind != xml::Tag::Kind::Close || close->name != name) return std::nullopt;
    return Text(description.substr(open->end, close->begin - open->end));
}

}  // namespace

std::optional<Url> ResolveUrl(const Url& base, std::string_view reference) {
    if (reference.size() > kMaxUrl) return std::nullopt;
    if (reference.starts_with("//")) return ParseUrl("http:" + std::string(reference));
    if (reference.find("://") != std::string_view::npos) return ParseUrl(reference);
    Url url = base;
    if (reference.starts_with('/')) {
        url.path = std::string(reference);
    } else {
        // Relative to the base's folder; its query goes.
        url.path = url.path.substr(0, url.path.find('?'));
        url.path = url.path.substr(0, url.path.rfind('/') + 1).append(reference);
    }
    url.path = url.path.substr(0, url.path.find('#'));
    if (!IsRequestPath(url.path)) return std::nullopt;
    return url;
}

std::optional<Service> FindService(std::string_view description, const Url& descriptionUrl,
                                   std::span<const std::string_view> types) {
    if (description.size() > kMaxDescription) return std::nullopt;
    Url base = descriptionUrl;
    if (const auto urlBase = FirstText(description, "URLBase"); urlBase && !urlBase->empty()) {
        const auto parsed = ParseUrl(*urlBase);
        if (!parsed) return std::nullopt;
        base = *parsed;
    }
    for (const std::string_view type : types) {
        int count = 0;
        for (auto open = xml::FindOpen(description, "service", 0); open && count < kMaxServices;
             open = xml::FindOpen(description, "service", open->end), ++count) {
            const auto children = xml::Children(description, *open);
            if (!children) return std::nullopt;
            std::optional<std::string> serviceType, controlUrl;
            for (const xml::Child& child : *children) {
                if (child.nested) continue;
                if (child.name == "serviceType") serviceType = Text(child.content);
                if (child.name == "controlURL") controlUrl = Text(child.content);
            }
            if (serviceType != type || !controlUrl || controlUrl->empty()) continue;
            const auto control = ResolveUrl(base, *controlUrl);
            if (!control || control->host != descriptionUrl.host) return std::nullopt;
            return Service{control->host, control->port, control->path, std::string(type)};
        }
    }
    return std::nullopt;
}

}  // namespace kestrum::upnp
