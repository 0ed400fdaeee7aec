#include "platform/xlsx/package/ContentTypes.h"

#include "platform/xlsx/package/PartName.h"
#include "platform/xlsx/package/XmlPart.h"
#include "platform/xlsx/package/ZipArchive.h"

namespace tavorin::xlsx {
namespace {

std::string withoutSlash(std::string_view name) { return std::string(name.starts_with('/') ? name.substr(1) : name); }

} // namespace

Result<ContentTypes> ContentTypes::parse(std::string_view bytes)
{
    auto document = XmlPart::parse(bytes, partName);
    if (!document)
        return document.error();
    if (XmlPart::localName((*document)->document_element().name()) != "Types")
        return packageError("the part lists no content types", partName);
    ContentTypes types;
    types.document_ = std::move(*document);
    return types;
}

std::string ContentTypes::typeOf(std::string_view part) const
{
    const std::string wanted = foldedPartName(part);
    const std::string extension = PartName::extensionOf(part);
    std::string byExtension;
    for (pugi::xml_node node : document_->document_element().children()) {
        auto kind = XmlPart::localName(node.name());
        if (kind == "Override" && foldedPartName(withoutSlash(node.attribute("PartName").value())) == wanted)
            return node.attribute("ContentType").value();
        if (kind == "Default" && byExtension.empty() && foldedPartName(node.attribute("Extension").value()) == extension)
            byExtension = node.attribute("ContentType").value();
    }
    return byExtension;
}

void ContentTypes::setOverride(std::string_view part, std::string_view type)
{
    const std::string wanted = foldedPartName(part);
    pugi::xml_node root = document_->document_element();
    for (pugi::xml_node node : root.children()) {
        if (XmlPart::localName(node.name()) == "Override" &&
            foldedPartName(withoutSlash(node.attribute("PartName").value())) == wanted) {
            node.attribute("ContentType").set_value(std::string(type).c_str());
            return;
        }
    }
    pugi::xml_node node = root.append_child(XmlPart::sameNamespace(root, "Override").c_str());
    node.append_attribute("PartName") = ("/" + std::string(part)).c_str();
    node.append_attribute("ContentType") = std::string(type).c_str();
}

void ContentTypes::removeOverride(std::string_view part)
{
    const std::string wanted = foldedPartName(part);
    pugi::xml_node root = document_->document_element();
    for (pugi::xml_node node : root.children())
        if (XmlPart::localName(node.name()) == "Override" &&
            foldedPartName(withoutSlash(node.attribute("PartName").value())) == wanted) {
            root.remove_child(node);
            return;
        }
}

void ContentTypes::ensureDefault(std::string_view extension, std::string_view type)
{
    pugi::xml_node root = document_->document_element();
    for (pugi::xml_node node : root.children())
        if (XmlPart::localName(node.name()) == "Default" &&
            foldedPartName(node.attribute("Extension").value()) == foldedPartName(extension))
            return;
    // Defaults come before the overrides.
    pugi::xml_node first = root.first_child();
    pugi::xml_node node = first ? root.insert_child_before(XmlPart::sameNamespace(root, "Default").c_str(), first)
                                : root.append_child(XmlPart::sameNamespace(root, "Default").c_str());
    node.append_attribute("Extension") = std::string(extension).c_str();
    node.append_attribute("ContentType") = std::string(type).c_str();
}

std::string ContentTypes::serialize() const { return XmlPart::serialize(*document_); }

} // namespace tavorin::xlsx
