#pragma once

#include <filesystem>

namespace tavorin::test {

// Small vector pictures written into a folder for runs that need every supported kind:
// square.wmf (placeable WMF, 1 x 1 inch), wide.emf (EMF with a 2 x 1 inch frame) and their
// gzip-compressed twins square.wmz and wide.emz. They draw nothing; only their frames matter.
struct MetafileSamples {
    std::filesystem::path wmf, emf, wmz, emz;
};

MetafileSamples writeMetafileSamples(const std::filesystem::path& folder);

} // namespace tavorin::test
