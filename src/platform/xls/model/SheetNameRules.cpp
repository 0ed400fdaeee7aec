#include "platform/xls/model/SheetNameRules.h"

#include <QString>

#include <algorithm>

namespace tavorin::xls::SheetNameRules {
namespace {

Error nameError(const std::string& message) { return Error{message, "sheet name", {}, {}}; }

std::u16string suffixed(const std::u16string& base, int number)
{
    std::u16string suffix = u" (" + QString::number(number).toStdU16String() + u")";
    std::u16string shortened = base.substr(0, maximumLength - std::min(maximumLength, suffix.size()));
    return shortened + suffix;
}

} // namespace

bool sameName(const std::u16string& a, const std::u16string& b)
{
    return QString::fromStdU16String(a).compare(QString::fromStdU16String(b), Qt::CaseInsensitive) == 0;
}

Status check(const std::u16string& name, const std::vector<std::u16string>& others)
{
    if (name.empty())
        return nameError("a sheet name cannot be empty");
    if (name.size() > maximumLength)
        return nameError("a sheet name has at most 31 characters");
    if (name.find_first_of(u":\\/?*[]") != std::u16string::npos)
        return nameError("a sheet name cannot contain : \\ / ? * [ or ]");
    if (name.front() == u'\'' || name.back() == u'\'')
        return nameError("a sheet name cannot begin or end with an apostrophe");
    for (const auto& other : others)
        if (sameName(name, other))
            return nameError("the sheet name \"" + QString::fromStdU16String(name).toStdString() +
                             "\" is already in use");
    return success();
}

std::u16string copyName(const std::u16string& original, const std::vector<std::u16string>& existing)
{
    std::u16string base = original;
    // "Sheet1 (2)" is copied as "Sheet1 (3)", not "Sheet1 (2) (2)".
    if (base.size() > 4 && base.back() == u')') {
        auto open = base.rfind(u" (");
        if (open != std::u16string::npos && open + 2 < base.size() - 1 &&
            std::all_of(base.begin() + static_cast<std::ptrdiff_t>(open + 2), base.end() - 1,
                        [](char16_t c) { return c >= u'0' && c <= u'9'; }))
            base = base.substr(0, open);
    }
    for (int number = 2;; ++number) {
        std::u16string candidate = suffixed(base, number);
        bool used = std::any_of(existing.begin(), existing.end(),
                                [&](const std::u16string& name) { return sameName(name, candidate); });
        if (!used)
            return candidate;
    }
}

} // namespace tavorin::xls::SheetNameRules
