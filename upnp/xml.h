#pragma once
// Just enough XML to read a router's device description and SOAP answers: tags
// found one after another, elements' direct children, and entities. Malformed
// text gives nothing rather than a guess.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrum::upnp::xml {

struct Tag {
    enum class Kind { Open, Close, Empty };
    Kind kind = Kind::Open;
    std::string_view name;  // without its namespace prefix
    std::size_t begin = 0;  // at its "<"
    std::size_t end = 0;    // just past its ">"
};

// The next element tag at or after `at`, past comments, declarations and CDATA;
// nothing at the end of the text or at a tag that does not close.
std::optional<Tag> NextTag(std::string_view text, std::size_t at);

// The next tag at or after `at` that opens (or is) an element of that name.
std::optional<Tag> FindOpen(std::string_view text, std::string_view name, std::size_t at);

struct Child {
    std::string_view name;
    std::string_view content;  // raw, entities not decoded
    bool nested = false;       // holds elements of its own
};

// The direct children of the element `open` starts, in order; nothing when the
// element does not close properly.
std::optional<std::vector<Child>> Children(std::string_view text, const Tag& open);

// Text with the five named entities and character references decoded; a
// reference it cannot read is kept as written.
std::string Decode(std::string_view text);
std::string Escape(std::string_view text);

}  // namespace kestrum::upnp::xml
