#pragma once

#include "platform/xlsx/XlsxError.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavorin::xlsx {

// One relationships part (_rels/*.rels): the links from a part to the parts it uses.
class Relationships {
public:
    struct Link {
        std::string id;
        std::string type;   // the full relationship type URI
        std::string target; // as written
        bool external = false;
    };

    static constexpr std::size_t maximumLinks = 100000;

    // An absent relationships part reads as one without links.
    static Result<Relationships> parse(std::string_view bytes, const std::string& part);

    const std::vector<Link>& links() const { return links_; }
    const Link* find(std::string_view id) const;
    // The first link whose type ends with "/" + kind ("worksheet", "drawing", "image", ...):
    // the transitional and strict type URIs end alike.
    const Link* firstOfKind(std::string_view kind) const;
    static bool isKind(const Link& link, std::string_view kind);

    // Adds a link with a fresh id (rIdN) and returns that id.
    std::string add(const std::string& type, const std::string& target);
    void retarget(std::string_view id, const std::string& target);
    void remove(std::string_view id);

    std::string serialize() const;

private:
    std::vector<Link> links_;
};

} // namespace tavorin::xlsx
