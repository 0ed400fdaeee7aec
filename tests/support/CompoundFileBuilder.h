#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tavorin::test {

// A compound file holding the given streams in its root, written by the program's own compound
// file writer (whose layout its own tests and olefile judge), for tests that need workbooks no
// fixture has.
class CompoundFileBuilder {
public:
    void addStream(std::u16string name, std::vector<std::uint8_t> bytes);
    std::vector<std::uint8_t> build() const;

private:
    std::vector<std::pair<std::u16string, std::vector<std::uint8_t>>> streams_;
};

} // namespace tavorin::test
