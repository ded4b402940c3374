#include "metadata/xml_document.h"

#include <libxml/parser.h>

#include <climits>
#include <mutex>

namespace tesslow {

namespace {

std::string_view Name(const xmlNode* node) { return reinterpret_cast<const char*>(node->name); }

struct ParseState {
    bool sawDoctype = false;
};

// Called for any <!DOCTYPE ...>: such a document is refused before its
// declarations can define or expand anything.
void RefuseDoctype(void* context, const xmlChar*, const xmlChar*, const xmlChar*)
{
    auto* parser = static_cast<xmlParserCtxt*>(context);
    static_cast<ParseState*>(parser->_private)->sawDoctype = true;
    xmlStopParser(parser);
}

void IgnoreError(void*, xmlError*) {}

struct FreeXmlString {
    void operator()(xmlChar* text) const { xmlFree(text); }
};
using XmlString = std::unique_ptr<xmlChar, FreeXmlString>;

}  // namespace

void XmlDocument::Free::operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }

std::optional<XmlDocument> XmlDocument::Parse(std::string_view bytes, std::size_t maxBytes)
{
    if (bytes.size() > maxBytes || bytes.size() > INT_MAX) return std::nullopt;
    static std::once_flag initialised;
    std::call_once(initialised, xmlInitParser);

    std::unique_ptr<xmlParserCtxt, void (*)(xmlParserCtxt*)> parser(xmlNewParserCtxt(), xmlFreeParserCtxt);
    if (!parser) throw std::bad_alloc();
    ParseState state;
    parser->_private = &state;
    parser->sax->internalSubset = RefuseDoctype;
    parser->sax->externalSubset = RefuseDoctype;
    parser->sax->serror = IgnoreError;

    const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    xmlDoc* doc = xmlCtxtReadMemory(parser.get(), bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
                                    options);
    XmlDocument document(doc);
    if (!doc || state.sawDoctype || !parser->wellFormed || !xmlDocGetRootElement(doc)) return std::nullopt;
    return document;
}

const xmlNode* XmlDocument::Root() const { return xmlDocGetRootElement(doc_.get()); }

std::vector<const xmlNode*> ChildElements(const xmlNode* parent, std::string_view name)
{
    std::vector<const xmlNode*> found;
    if (!parent) return found;
    for (const xmlNode* child = parent->children; child; child = child->next)
        if (child->type == XML_ELEMENT_NODE && Name(child) == name) found.push_back(child);
    return found;
}

const xmlNode* FirstChildElement(const xmlNode* parent, std::string_view name)
{
    if (!parent) return nullptr;
    for (const xmlNode* child = parent->children; child; child = child->next)
        if (child->type == XML_ELEMENT_NODE && Name(child) == name) return child;
    return nullptr;
}

std::string ElementText(const xmlNode* element)
{
    if (!element) return {};
    XmlString content(xmlNodeGetContent(element));
    return content ? std::string(reinterpret_cast<const char*>(content.get())) : std::string();
}

std::optional<std::string> AttributeValue(const xmlNode* element, const char* name)
{
    if (!element) return std::nullopt;
    XmlString value(xmlGetNoNsProp(element, reinterpret_cast<const xmlChar*>(name)));
    if (!value) return std::nullopt;
    return std::string(reinterpret_cast<const char*>(value.get()));
}

}  // namespace tesslow
