#include "upnp/xml.h"

#include <array>
#include <utility>

namespace kestrum::upnp::xml {

namespace {

// What ends a tag name.
constexpr std::string_view kNameEnd = " \t\r\n/>";

constexpr std::array<std::pair<std::string_view, char>, 5> kEntities = {
    {{"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}}};

// A character reference "#NNN" or "#xHH" below 128 (all a router needs to say);
// nothing otherwise.
std::optional<char> Reference(std::string_view name) {
    if (name.size() < 2 || name[0] != '#') return std::nullopt;
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 6) return std::nullopt;
    unsigned value = 0;
    for (const char c : digits) {
        unsigned digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (hex && c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (hex && c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return std::nullopt;
        }
        value = value * (hex ? 16 : 10) + digit;
    }
    if (value == 0 || value >= 0x80) return std::nullopt;
    return static_cast<char>(value);
}

}  // namespace

std::optional<Tag> NextTag(std::string_view text, std::size_t at) {
    while (true) {
        at = text.find('<', at);
        if (at == std::string_view::npos) return std::nullopt;
        const std::string_view rest = text.substr(at);
        // Comments, CDATA, declarations and processing instructions carry no elements.
        std::string_view skipEnd;
        if (rest.starts_with("<!--")) {
            skipEnd = "-->";
        } else if (rest.starts_with("<![CDATA[")) {
            skipEnd = "]]>";
        } else if (rest.starts_with("<!") || rest.starts_with("<?")) {
            skipEnd = ">";
        }
        if (!skipEnd.empty()) {
            const std::size_t end = text.find(skipEnd, at + 2);
            if (end == std::string_view::npos) return std::nullopt;
            at = end + skipEnd.size();
            continue;
        }
        const std::size_t close = text.find('>', at);
        if (close == std::string_view::npos) return std::nullopt;
        Tag tag;
        tag.begin = at;
        tag.end = close + 1;
        std::string_view inside = text.substr(at + 1, close - at - 1);
        if (inside.starts_with('/')) {
            tag.kind = Tag::Kind::Close;
            inside.remove_prefix(1);
        } else if (inside.ends_with('/')) {
            tag.kind = Tag::Kind::Empty;
        }
        std::string_view name = inside.substr(0, inside.find_first_of(kNameEnd));
        name.remove_prefix(name.find(':') + 1);  // npos + 1 is 0: no prefix
        if (name.empty()) return std::nullopt;
        tag.name = name;
        return tag;
    }
}

std::optional<Tag> FindOpen(std::string_view text, std::string_view name, std::size_t at) {
    while (const auto tag = NextTag(text, at)) {
        if (tag->kind != Tag::Kind::Close && tag->name == name) return tag;
        at = tag->end;
    }
    return std::nullopt;
}

std::optional<std::vector<Child>> Children(std::string_view text, const Tag& open) {
    std::vector<Child> children;
    if (open.kind == Tag::Kind::Empty) return children;
    int depth = 0;
    std::optional<Tag> child;  // the direct child open at depth 1
    for (std::size_t at = open.end;;) {
        const auto tag = NextTag(text, at);
        if (!tag) return std::nullopt;
        at = tag->end;
        if (tag->kind == Tag::Kind::Empty) {
            if (depth == 0) children.push_back({tag->name, {}, false});
            if (depth == 1) children.back().nested = true;
        } else if (tag->kind == Tag::Kind::Open) {
            if (depth == 0) {
                child = tag;
                children.push_back({tag->name, {}, false});
            } else if (depth == 1) {
                children.back().nested = true;
            }
            ++depth;
        } else {
            if (depth == 0) return tag->name == open.name ? std::optional(children) : std::nullopt;
            if (depth == 1) {
                if (tag->name != child->name) return std::nullopt;
                children.back().content = text.substr(child->end, tag->begin - child->end);
            }
            --depth;
        }
    }
}

std::string Decode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        // Entities are short: looking further for the ";" would make "&&&&..." slow.
        const std::size_t semicolon = text[at] == '&' ? text.substr(at, 10).find(';') : std::string_view::npos;
        if (semicolon != std::string_view::npos) {
            const std::string_view name = text.substr(at + 1, semicolon - 1);
            std::optional<char> decoded = Reference(name);
            for (const auto& [entity, c] : kEntities)
                if (name == entity) decoded = c;
            if (decoded) {
                out += *decoded;
                at += semicolon + 1;
                continue;
            }
        }
        out += text[at++];
    }
    return out;
}

std::string Escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        bool escaped = false;
        for (const auto& [entity, plain] : kEntities) {
            if (c == plain) {
                out += '&';
                out.append(entity);
                out += ';';
                escaped = true;
            }
        }
        if (!escaped) out += c;
    }
    return out;
}

}  // namespace kestrum::upnp::xml
