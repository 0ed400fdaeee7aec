#include "platform/xlsx/model/SheetReferences.h"

#include "platform/xlsx/package/ZipArchive.h"

namespace tavorin::xlsx::SheetReferences {
namespace {

bool plainCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.' ||
           static_cast<unsigned char>(c) >= 0x80;
}

} // namespace

std::string quoted(std::string_view sheetName)
{
    bool plain = !sheetName.empty() && !(sheetName.front() >= '0' && sheetName.front() <= '9');
    for (char c : sheetName)
        plain = plain && plainCharacter(c) && static_cast<unsigned char>(c) < 0x80;
    if (plain)
        return std::string(sheetName);
    std::string out = "'";
    for (char c : sheetName) {
        out.push_back(c);
        if (c == '\'')
            out.push_back('\'');
    }
    return out + "'";
}

std::string renamed(std::string_view formula, std::string_view from, std::string_view to)
{
    const std::string wanted = foldedPartName(from);
    std::string out;
    std::size_t i = 0;
    while (i < formula.size()) {
        const char c = formula[i];
        if (c == '"') { // a string literal, "" inside it
            std::size_t end = i + 1;
            while (end < formula.size() && !(formula[end] == '"' && (end + 1 >= formula.size() || formula[end + 1] != '"')))
                end += formula[end] == '"' ? 2 : 1;
            out.append(formula.substr(i, end + 1 - i));
            i = end + 1;
            continue;
        }
        if (c == '\'') { // a quoted sheet name
            std::string name;
            std::size_t end = i + 1;
            for (; end < formula.size(); ++end) {
                if (formula[end] == '\'') {
                    if (end + 1 < formula.size() && formula[end + 1] == '\'') {
                        name.push_back('\'');
                        ++end;
                        continue;
                    }
                    break;
                }
                name.push_back(formula[end]);
            }
            if (end + 1 < formula.size() && formula[end + 1] == '!' && foldedPartName(name) == wanted) {
                out += quoted(to);
            } else {
                out.append(formula.substr(i, std::min(end + 1, formula.size()) - i));
            }
            i = end + 1;
            continue;
        }
        if (plainCharacter(c) && (i == 0 || !plainCharacter(formula[i - 1]))) {
            std::size_t end = i;
            while (end < formula.size() && plainCharacter(formula[end]))
                ++end;
            if (end < formula.size() && formula[end] == '!' && foldedPartName(formula.substr(i, end - i)) == wanted)
                out += quoted(to);
            else
                out.append(formula.substr(i, end - i));
            i = end;
            continue;
        }
        out.push_back(c);
        ++i;
    }
    return out;
}

} // namespace tavorin::xlsx::SheetReferences
