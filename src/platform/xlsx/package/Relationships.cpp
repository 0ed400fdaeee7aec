#include "platform/xlsx/package/Relationships.h"

#include "platform/xlsx/package/XmlPart.h"

#include <set>

namespace tavorin::xlsx {

Result<Relationships> Relationships::parse(std::string_view bytes, const std::string& part)
{
    Relationships result;
    if (bytes.empty())
        return result;
    auto document = XmlPart::parse(bytes, part);
    if (!document)
        return document.error();
    pugi::xml_node root = (*document)->document_element();
    if (XmlPart::localName(root.name()) != "Relationships")
        return packageError("the part is not a relationships part", part);
    std::set<std::string> ids;
    for (pugi::xml_node node = root.first_child(); node; node = node.next_sibling()) {
        if (node.type() != pugi::node_element || XmlPart::localName(node.name()) != "Relationship")
            continue;
        Link link{node.attribute("Id").value(), node.attribute("Type").value(), node.attribute("Target").value(),
                  std::string_view(node.attribute("TargetMode").value()) == "External"};
        if (link.id.empty() || !ids.insert(link.id).second)
            return packageError("a relationship has no id or the id of another", part);
        if (result.links_.size() >= maximumLinks)
            return packageError("the part holds too many relationships", part);
        result.links_.push_back(std::move(link));
    }
    return result;
}

const Relationships::Link* Relationships::find(std::string_view id) const
{
    for (const auto& link : links_)
        if (link.id == id)
            return &link;
    return nullptr;
}

bool Relationships::isKind(const Link& link, std::string_view kind)
{
    std::string_view type(link.type);
    return type.size() > kind.size() && type.ends_with(kind) && type[type.size() - kind.size() - 1] == '/';
}

const Relationships::Link* Relationships::firstOfKind(std::string_view kind) const
{
    for (const auto& link : links_)
        if (isKind(link, kind))
            return &link;
    return nullptr;
}

std::string Relationships::add(const std::string& type, const std::string& target)
{
    for (std::size_t n = links_.size() + 1;; ++n) {
        std::string id = "rId" + std::to_string(n);
        if (!find(id)) {
            links_.push_back(Link{id, type, target, false});
            return id;
        }
    }
}

void Relationships::retarget(std::string_view id, const std::string& target)
{
    for (auto& link : links_)
        if (link.id == id)
            link.target = target;
}

void Relationships::remove(std::string_view id)
{
    std::erase_if(links_, [&](const Link& link) { return link.id == id; });
}

std::string Relationships::serialize() const
{
    pugi::xml_document document;
    pugi::xml_node root = document.append_child("Relationships");
    root.append_attribute("xmlns") = "http://schemas.openxmlformats.org/package/2006/relationships";
    for (const auto& link : links_) {
        pugi::xml_node node = root.append_child("Relationship");
        node.append_attribute("Id") = link.id.c_str();
        node.append_attribute("Type") = link.type.c_str();
        node.append_attribute("Target") = link.target.c_str();
        if (link.external)
            node.append_attribute("TargetMode") = "External";
    }
    return XmlPart::serialize(document);
}

} // namespace tavorin::xlsx
