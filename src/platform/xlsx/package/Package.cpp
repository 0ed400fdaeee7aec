#include "platform/xlsx/package/Package.h"

#include "platform/xlsx/package/PartName.h"

#include <algorithm>

namespace tavorin::xlsx {

Result<Package> Package::open(const std::filesystem::path& path)
{
    auto archive = ZipArchive::open(path);
    if (!archive)
        return archive.error();
    const auto* entry = archive->find(ContentTypes::partName);
    if (!entry)
        return packageError("the zip file is no Office package: it lists no content types ([Content_Types].xml)");
    auto bytes = archive->read(*entry);
    if (!bytes)
        return bytes.error();
    auto types = ContentTypes::parse(*bytes);
    if (!types)
        return types.error();
    return Package(std::move(*archive), std::move(*types));
}

std::string Package::keyOf(std::string_view part) const
{
    if (const auto* entry = archive_.find(part))
        return entry->name;
    if (auto found = addedByFolded_.find(foldedPartName(part)); found != addedByFolded_.end())
        return found->second;
    return std::string(part);
}

bool Package::exists(std::string_view part) const
{
    if (removed(part))
        return false;
    return archive_.find(part) != nullptr || changed_.contains(keyOf(part));
}

Result<std::string> Package::read(std::string_view part) const
{
    if (auto found = changed_.find(keyOf(part)); found != changed_.end()) {
        if (const auto* text = std::get_if<std::string>(&found->second))
            return *text;
        return packageError("the part is a picture added by this program, not a part to read", std::string(part));
    }
    const auto* entry = archive_.find(part);
    if (!entry)
        return packageError("the part is missing", std::string(part));
    return archive_.read(*entry);
}

Result<Relationships> Package::relationshipsOf(std::string_view part) const
{
    std::string name = PartName::relationshipsOf(part);
    if (!exists(name))
        return Relationships{};
    auto bytes = read(name);
    if (!bytes)
        return bytes.error();
    return Relationships::parse(*bytes, name);
}

void Package::write(const std::string& part, std::string bytes)
{
    removed_.erase(foldedPartName(part));
    std::string key = keyOf(part);
    if (!archive_.find(key) && !changed_.contains(key)) {
        added_.push_back(key);
        addedByFolded_.emplace(foldedPartName(key), key);
    }
    changed_[key] = std::move(bytes);
}

void Package::remove(std::string_view part)
{
    changed_.erase(keyOf(part));
    removed_.insert(foldedPartName(part));
}

void Package::writeFile(const std::string& part, FileRange range)
{
    std::string key = keyOf(part);
    if (!archive_.find(key) && !changed_.contains(key)) {
        added_.push_back(key);
        addedByFolded_.emplace(foldedPartName(key), key);
    }
    changed_[key] = std::move(range);
}

void Package::writeRelationships(std::string_view part, const Relationships& relationships)
{
    write(PartName::relationshipsOf(part), relationships.serialize());
}

std::string Package::freeName(const std::string& folder, const std::string& stem, const std::string& extension) const
{
    std::size_t& next = nextFree_[foldedPartName(folder + stem + "*." + extension)];
    for (std::size_t n = std::max<std::size_t>(next, 1);; ++n) {
        std::string name = folder + stem + std::to_string(n) + "." + extension;
        if (!exists(name)) {
            next = n;
            return name;
        }
    }
}

} // namespace tavorin::xlsx
