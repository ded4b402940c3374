#pragma once

#include <libxml/tree.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tesslow {

// A parsed XML document from an untrusted source (a web answer, a file a user
// may have edited). Parsing never touches the network, refuses any document
// type declaration (so no DTD is loaded and no entity but the five predefined
// ones and character references exists), and refuses input above a size
// limit. Errors are never printed.
//
// Owns the libxml2 tree; the nodes it hands out live as long as the document.
// Any thread may parse; one document is used by one thread at a time.
class XmlDocument {
public:
    // Nothing when the bytes are larger than `maxBytes`, not well-formed, or
    // carry a document type declaration.
    static std::optional<XmlDocument> Parse(std::string_view bytes, std::size_t maxBytes);

    const xmlNode* Root() const;

private:
    struct Free {
        void operator()(xmlDoc* doc) const;
    };
    explicit XmlDocument(xmlDoc* doc) : doc_(doc) {}
    std::unique_ptr<xmlDoc, Free> doc_;
};

// Element children of `parent` whose local name is `name` (namespaces are not
// compared), in document order.
std::vector<const xmlNode*> ChildElements(const xmlNode* parent, std::string_view name);
const xmlNode* FirstChildElement(const xmlNode* parent, std::string_view name);

// The element's text content with references decoded, UTF-8; empty for null.
std::string ElementText(const xmlNode* element);

// The attribute's value, or nothing when the element does not carry it.
std::optional<std::string> AttributeValue(const xmlNode* element, const char* name);

}  // namespace tesslow
