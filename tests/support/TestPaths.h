#pragma once

#include <filesystem>
#include <string>

namespace tavorin::test {

// Fixture files shipped with the tests.
inline std::filesystem::path fixture(const std::string& relative)
{
    return std::filesystem::path(TAVORIN_FIXTURES_DIR) / relative;
}
inline std::filesystem::path workbookFixture(const std::string& name) { return fixture("workbooks/" + name); }
inline std::filesystem::path pictureFixture(const std::string& name) { return fixture("pictures/" + name); }

} // namespace tavorin::test
