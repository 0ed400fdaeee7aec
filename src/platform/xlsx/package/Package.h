#pragma once

#include "platform/xlsx/XlsxError.h"
#include "platform/xlsx/package/ContentTypes.h"
#include "platform/xlsx/package/FileRange.h"
#include "platform/xlsx/package/Relationships.h"
#include "platform/xlsx/package/ZipArchive.h"

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

namespace tavorin::xlsx {

// An Open Packaging Conventions package opened from a zip file: its parts as read, and the parts
// this program wrote or added since. Parts nobody wrote stay in the source zip and go into the
// new package with their compressed bytes unchanged.
class Package {
public:
    using Content = std::variant<std::string, FileRange>;

    static Result<Package> open(const std::filesystem::path& path);

    bool exists(std::string_view part) const;
    // The part's bytes: as last written here, else as read from the zip.
    Result<std::string> read(std::string_view part) const;
    // The relationships of a part (none when it has no relationships part).
    Result<Relationships> relationshipsOf(std::string_view part) const;

    // Writes a part (an XML part, deflated when saved) or adds a file's bytes (stored as they are).
    void write(const std::string& part, std::string bytes);
    void writeFile(const std::string& part, FileRange range);
    void writeRelationships(std::string_view part, const Relationships& relationships);
    // Leaves a part out of the new package.
    void remove(std::string_view part);
    bool removed(std::string_view name) const { return removed_.contains(foldedPartName(name)); }

    ContentTypes& contentTypes() { return contentTypes_; }
    const ContentTypes& contentTypes() const { return contentTypes_; }

    // A name no part has: folder + stem + n + "." + extension with the smallest n from 1 on.
    std::string freeName(const std::string& folder, const std::string& stem, const std::string& extension) const;

    const ZipArchive& archive() const { return archive_; }
    // What was written or added, in the order new parts go into the package.
    const std::map<std::string, Content>& changed() const { return changed_; }
    const std::vector<std::string>& added() const { return added_; }

private:
    Package(ZipArchive archive, ContentTypes types) : archive_(std::move(archive)), contentTypes_(std::move(types)) {}
    // The key of a part in changed_: the zip's own spelling for a part it holds.
    std::string keyOf(std::string_view part) const;

    ZipArchive archive_;
    ContentTypes contentTypes_;
    std::map<std::string, Content> changed_;
    std::vector<std::string> added_;
    std::unordered_map<std::string, std::string> addedByFolded_;
    std::set<std::string> removed_; // folded names
    // Where the search for a free name of a folder and stem goes on from.
    mutable std::map<std::string, std::size_t> nextFree_;
};

} // namespace tavorin::xlsx
