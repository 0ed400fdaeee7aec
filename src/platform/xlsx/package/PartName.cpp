#include "platform/xlsx/package/PartName.h"

#include "platform/xlsx/package/ZipArchive.h"

#include <vector>

namespace tavorin::xlsx::PartName {
namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Targets are URIs: %XX stands for a byte.
std::optional<std::string> percentDecoded(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out.push_back(text[i]);
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        int high = hexValue(text[i + 1]), low = hexValue(text[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out.push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    return out;
}

} // namespace

std::string relationshipsOf(std::string_view part)
{
    if (part.empty())
        return "_rels/.rels";
    return folderOf(part) + "_rels/" + fileNameOf(part) + ".rels";
}

std::string folderOf(std::string_view part)
{
    auto slash = part.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(part.substr(0, slash + 1));
}

std::string fileNameOf(std::string_view part)
{
    auto slash = part.rfind('/');
    return std::string(slash == std::string_view::npos ? part : part.substr(slash + 1));
}

std::string extensionOf(std::string_view part)
{
    std::string name = fileNameOf(part);
    auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : foldedPartName(name.substr(dot + 1));
}

std::optional<std::string> resolve(std::string_view source, std::string_view target)
{
    if (target.empty() || target.size() > 4096 || target.find("://") != std::string_view::npos)
        return std::nullopt;
    if (auto cut = target.find_first_of("#?"); cut != std::string_view::npos)
        target = target.substr(0, cut);
    auto decoded = percentDecoded(target);
    if (!decoded || decoded->empty())
        return std::nullopt;
    std::string path = decoded->front() == '/' ? decoded->substr(1) : folderOf(source) + *decoded;
    std::vector<std::string> segments;
    std::size_t start = 0;
    while (start <= path.size()) {
        auto end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        std::string segment = path.substr(start, end - start);
        if (segment == "..") {
            if (segments.empty())
                return std::nullopt; // above the package root
            segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(std::move(segment));
        }
        start = end + 1;
    }
    if (segments.empty())
        return std::nullopt;
    std::string joined;
    for (const auto& segment : segments) {
        if (!joined.empty())
            joined.push_back('/');
        joined += segment;
    }
    return joined;
}

} // namespace tavorin::xlsx::PartName
