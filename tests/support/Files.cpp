#include "support/Files.h"

#include "support/TestPaths.h"

#include <QCryptographicHash>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace tavorin::test {

Bytes fileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::filesystem::path& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

QString md5Hex(const Bytes& bytes)
{
    const QByteArrayView view(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    return QString::fromLatin1(QCryptographicHash::hash(view, QCryptographicHash::Md5).toHex());
}

std::vector<std::string> namesIn(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::filesystem::path copyWorkbook(const std::filesystem::path& folder, const std::string& fixture, const std::string& as)
{
    const auto path = folder / (as.empty() ? fixture : as);
    std::filesystem::copy_file(workbookFixture(fixture), path, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    return path;
}

} // namespace tavorin::test
