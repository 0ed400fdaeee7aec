#include "platform/xlsx/model/AppProperties.h"

#include "platform/xlsx/package/XmlPart.h"

#include <cstdlib>

namespace tavorin::xlsx::AppProperties {
namespace {

std::vector<pugi::xml_node> variants(pugi::xml_node vector)
{
    std::vector<pugi::xml_node> items;
    for (pugi::xml_node item : vector.children())
        if (item.type() == pugi::node_element)
            items.push_back(item);
    return items;
}

} // namespace

std::optional<std::string> withWorksheets(std::string_view bytes, const std::vector<std::string>& before,
                                          const std::vector<std::string>& after)
{
    auto document = XmlPart::parse(bytes, "docProps/app.xml");
    if (!document)
        return std::nullopt;
    pugi::xml_node root = (*document)->document_element();
    pugi::xml_node headings = XmlPart::child(XmlPart::child(root, "HeadingPairs"), "vector");
    pugi::xml_node titles = XmlPart::child(XmlPart::child(root, "TitlesOfParts"), "vector");
    if (!headings || !titles)
        return std::nullopt;
    auto pairs = variants(headings);
    auto names = variants(titles);
    std::size_t first = 0;
    for (std::size_t i = 0; i + 1 < pairs.size(); i += 2) {
        pugi::xml_node count = XmlPart::child(pairs[i + 1], "i4");
        long n = std::strtol(count.text().get(), nullptr, 10);
        if (n < 0 || first + static_cast<std::size_t>(n) > names.size())
            return std::nullopt;
        bool match = static_cast<std::size_t>(n) == before.size();
        for (std::size_t k = 0; match && k < before.size(); ++k)
            match = before[k] == names[first + k].text().get();
        if (!match) {
            first += static_cast<std::size_t>(n);
            continue;
        }
        for (std::size_t k = 0; k < before.size(); ++k)
            titles.remove_child(names[first + k]);
        pugi::xml_node next = first + before.size() < names.size() ? names[first + before.size()] : pugi::xml_node();
        const std::string text = XmlPart::sameNamespace(titles, "lpstr");
        for (const auto& name : after) {
            pugi::xml_node item = next ? titles.insert_child_before(text.c_str(), next) : titles.append_child(text.c_str());
            item.text().set(name.c_str());
        }
        count.text().set(static_cast<long long>(after.size()));
        titles.attribute("size").set_value(static_cast<long long>(variants(titles).size()));
        return XmlPart::serialize(**document);
    }
    return std::nullopt;
}

} // namespace tavorin::xlsx::AppProperties
