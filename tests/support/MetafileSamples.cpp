#include "support/MetafileSamples.h"

#include "support/SamplePictures.h"

namespace tavorin::test {

MetafileSamples writeMetafileSamples(const std::filesystem::path& folder)
{
    MetafileSamples samples{folder / "square.wmf", folder / "wide.emf", folder / "square.wmz", folder / "wide.emz"};
    writePictureFile(samples.wmf, squareWmf());
    writePictureFile(samples.emf, wideEmf());
    writePictureFile(samples.wmz, gzipped(squareWmf()));
    writePictureFile(samples.emz, gzipped(wideEmf()));
    return samples;
}

} // namespace tavorin::test
