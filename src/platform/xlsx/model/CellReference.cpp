#include "platform/xlsx/model/CellReference.h"

#include <algorithm>

namespace tavorin::xlsx {

std::optional<CellReference> CellReference::parse(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && text[i] == '$')
        ++i;
    long column = 0;
    std::size_t letters = 0;
    for (; i < text.size() && letters < 4; ++i, ++letters) {
        char c = text[i];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c < 'A' || c > 'Z')
            break;
        column = column * 26 + (c - 'A' + 1);
    }
    if (letters == 0 || column > maximumColumn)
        return std::nullopt;
    if (i < text.size() && text[i] == '$')
        ++i;
    long row = 0;
    std::size_t digits = 0;
    for (; i < text.size() && digits < 8; ++i, ++digits) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        row = row * 10 + (text[i] - '0');
    }
    if (digits == 0 || i != text.size() || row < 1 || row > maximumRow)
        return std::nullopt;
    return CellReference{static_cast<int>(row), static_cast<int>(column)};
}

std::string CellReference::columnName(int column)
{
    std::string name;
    for (column = std::clamp(column, 1, maximumColumn); column > 0; column = (column - 1) / 26)
        name.insert(name.begin(), static_cast<char>('A' + (column - 1) % 26));
    return name;
}

std::optional<CellArea> CellArea::parse(std::string_view text)
{
    auto colon = text.find(':');
    auto first = CellReference::parse(text.substr(0, colon));
    auto last = colon == std::string_view::npos ? first : CellReference::parse(text.substr(colon + 1));
    if (!first || !last)
        return std::nullopt;
    return CellArea{{std::min(first->row, last->row), std::min(first->column, last->column)},
                    {std::max(first->row, last->row), std::max(first->column, last->column)}};
}

} // namespace tavorin::xlsx
