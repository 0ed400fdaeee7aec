#include "platform/xlsx/package/XmlPart.h"

#include <cstring>

namespace tavorin::xlsx::XmlPart {

Result<std::unique_ptr<pugi::xml_document>> parse(std::string_view bytes, const std::string& part)
{
    auto document = std::make_unique<pugi::xml_document>();
    // Whitespace that is a text node's only content is kept: <t xml:space="preserve"> </t>.
    const unsigned options = pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single;
    pugi::xml_parse_result result = document->load_buffer(bytes.data(), bytes.size(), options);
    if (!result)
        return packageError(std::string("the XML is malformed (") + result.description() + " at byte " +
                                std::to_string(result.offset) + ")",
                            part);
    if (!document->document_element())
        return packageError("the XML holds no element", part);
    return document;
}

std::string serialize(const pugi::xml_document& document)
{
    struct Writer final : pugi::xml_writer {
        std::string text;
        void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
    } writer;
    bool declared = false;
    for (pugi::xml_node node : document.children())
        if (node.type() == pugi::node_declaration)
            declared = true;
    if (!declared)
        writer.text = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
    document.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return std::move(writer.text);
}

std::string_view localName(const char* name)
{
    std::string_view text(name);
    auto colon = text.find(':');
    return colon == std::string_view::npos ? text : text.substr(colon + 1);
}

pugi::xml_node child(pugi::xml_node node, std::string_view local)
{
    for (pugi::xml_node item = node.first_child(); item; item = item.next_sibling())
        if (item.type() == pugi::node_element && localName(item.name()) == local)
            return item;
    return {};
}

pugi::xml_attribute attribute(pugi::xml_node node, std::string_view local)
{
    for (pugi::xml_attribute item = node.first_attribute(); item; item = item.next_attribute())
        if (localName(item.name()) == local && std::strncmp(item.name(), "xmlns", 5) != 0)
            return item;
    return {};
}

std::optional<std::string> prefixFor(pugi::xml_node node, std::string_view uri)
{
    int depth = 0;
    for (pugi::xml_node scope = node; scope && scope.type() == pugi::node_element && depth < 256;
         scope = scope.parent(), ++depth) {
        for (pugi::xml_attribute item = scope.first_attribute(); item; item = item.next_attribute()) {
            std::string_view name(item.name());
            if (uri != item.value())
                continue;
            if (name == "xmlns")
                return std::string();
            if (name.starts_with("xmlns:"))
                return std::string(name.substr(6));
        }
    }
    return std::nullopt;
}

pugi::xml_attribute relationshipAttribute(pugi::xml_node node, std::string_view local)
{
    for (auto uri : {relationshipsNamespace, strictRelationshipsNamespace}) {
        auto prefix = prefixFor(node, uri);
        if (!prefix || prefix->empty())
            continue;
        if (auto found = node.attribute((*prefix + ":" + std::string(local)).c_str()))
            return found;
    }
    return {};
}

std::string sameNamespace(pugi::xml_node like, std::string_view local)
{
    std::string_view name(like.name());
    auto colon = name.find(':');
    if (colon == std::string_view::npos)
        return std::string(local);
    return std::string(name.substr(0, colon + 1)) + std::string(local);
}

} // namespace tavorin::xlsx::XmlPart
