#include "support/DrawingCensus.h"

#include "support/SavedWorkbook.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace tavorin::test {
namespace {

constexpr std::uint16_t bof = 0x0809, eof = 0x000A, continued = 0x003C, drawingGroup = 0x00EB,
                        drawing = 0x00EC, objectRecord = 0x005D;

using Bytes = std::vector<std::uint8_t>;

std::uint32_t u16(const Bytes& b, std::size_t at)
{
    return at + 2 <= b.size() ? b[at] | (b[at + 1] << 8) : 0;
}
std::uint32_t u32(const Bytes& b, std::size_t at)
{
    return u16(b, at) | (u16(b, at + 2) << 16);
}

// Calls visit(type, instance, body, length) for every atom, going down into containers.
template <typename Visit> void walk(const Bytes& data, std::size_t from, std::size_t to, const Visit& visit)
{
    while (from + 8 <= to) {
        const std::uint32_t verInstance = u16(data, from), type = u16(data, from + 2);
        const std::size_t body = from + 8, end = std::min<std::size_t>(to, body + u32(data, from + 4));
        if ((verInstance & 0xF) == 0xF)
            walk(data, body, end, visit);
        else
            visit(type, verInstance >> 4, body);
        from = body + u32(data, from + 4);
    }
}

} // namespace

DrawingCensus DrawingCensus::of(const std::filesystem::path& workbook)
{
    const Bytes stream = workbookStreamOf(workbook);
    Bytes group;
    std::vector<Bytes> sheets;
    Bytes* last = nullptr; // where a CONTINUE goes on
    int depth = 0;
    for (std::size_t at = 0; at + 4 <= stream.size(); at += 4 + u16(stream, at + 2)) {
        const std::uint32_t type = u16(stream, at);
        const auto data = stream.begin() + static_cast<std::ptrdiff_t>(at + 4);
        const auto end = data + std::min<std::ptrdiff_t>(u16(stream, at + 2), stream.end() - data);
        if (type == bof && ++depth == 1 && at > 0)
            sheets.emplace_back();
        depth -= type == eof;
        // A drawing goes on in CONTINUE records after its OBJ records too; a TXO's are its text.
        Bytes* target = type == drawingGroup                               ? &group
                        : type == drawing && depth == 1 && !sheets.empty() ? &sheets.back()
                        : type == continued                                ? last
                                                                           : nullptr;
        if (target)
            target->insert(target->end(), data, end);
        if (type != objectRecord || sheets.empty() || last != &sheets.back())
            last = target;
    }
    DrawingCensus census;
    walk(group, 0, group.size(), [&](std::uint32_t type, std::uint32_t, std::size_t body) {
        if (type == 0xF006) { // FDGGBlock: spidMax, cidcl, cspSaved, cdgSaved, then cidcl - 1 clusters
            census.maximumShapeId = u32(group, body);
            census.savedDrawings = u32(group, body + 12);
            for (std::uint32_t i = 1; i < u32(group, body + 4); ++i)
                census.clusters.push_back({u32(group, body + 8 + 8 * i), u32(group, body + 12 + 8 * i)});
        } else if (type == 0xF007) { // FBSE: btWin32 first, cRef at 24
            census.pictures.push_back({group[body], u32(group, body + 24)});
        }
    });
    for (const Bytes& sheet : sheets) {
        if (sheet.empty())
            continue;
        Drawing found;
        walk(sheet, 0, sheet.size(), [&](std::uint32_t type, std::uint32_t instance, std::size_t body) {
            if (type == 0xF008) { // FDG: the drawing id is its instance; csp, spidCur
                found.id = instance;
                found.shapeCount = u32(sheet, body);
                found.lastShapeId = u32(sheet, body + 4);
            } else if (type == 0xF00A) { // FSP: spid first
                found.shapeIds.push_back(u32(sheet, body));
            }
        });
        census.drawings.push_back(found);
    }
    return census;
}

std::string DrawingCensus::idProblems() const
{
    std::string problems;
    auto problem = [&](const std::string& text) { problems += text + "\n"; };
    std::set<std::uint32_t> drawingIds, shapeIds;
    for (const Drawing& d : drawings) {
        const std::string name = "drawing " + std::to_string(d.id);
        if (!drawingIds.insert(d.id).second)
            problem(name + " appears twice");
        if (d.shapeCount != d.shapeIds.size())
            problem(name + " counts " + std::to_string(d.shapeCount) + " shapes, holds " +
                    std::to_string(d.shapeIds.size()));
        if (!d.shapeIds.empty() && d.lastShapeId < *std::max_element(d.shapeIds.begin(), d.shapeIds.end()))
            problem(name + " names " + std::to_string(d.lastShapeId) +
                    ", below one of its ids, as its last shape id");
        for (std::uint32_t id : d.shapeIds) {
            const std::size_t cluster = id / 1024;
            if (!shapeIds.insert(id).second)
                problem("shape id " + std::to_string(id) + " is used twice");
            if (cluster < 1 || cluster > clusters.size() || clusters[cluster - 1].drawingId != d.id ||
                id % 1024 >= clusters[cluster - 1].used)
                problem("shape id " + std::to_string(id) + " of " + name + " lies outside its clusters");
            if (id > maximumShapeId)
                problem("shape id " + std::to_string(id) + " is above the group's largest, " +
                        std::to_string(maximumShapeId));
        }
    }
    if (savedDrawings != drawings.size())
        problem("the group counts " + std::to_string(savedDrawings) + " drawings; the sheets hold " +
                std::to_string(drawings.size()));
    return problems;
}

} // namespace tavorin::test
