#include "platform/xls/Error.h"

#include <cstdio>

namespace tavorin::xls {

std::string Error::describe() const
{
    std::string text = message;
    if (!layer.empty() || recordType || offset) {
        text += " (";
        bool first = true;
        auto add = [&](const std::string& part) {
            if (!first)
                text += ", ";
            text += part;
            first = false;
        };
        if (!layer.empty())
            add(layer);
        if (recordType) {
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "record 0x%04X", unsigned{*recordType});
            add(buffer);
        }
        if (offset)
            add("offset " + std::to_string(*offset));
        text += ")";
    }
    return text;
}

} // namespace tavorin::xls
