// Picture files that cannot be placed in a workbook are refused with a message naming the file and
// saying why. (The kinds that can be placed: PictureInsertTest, in the saved workbook.)

#include "platform/xls/drawing/PictureFile.h"

#include "support/Files.h"
#include "support/SamplePictures.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

using namespace tavorin;
using namespace tavorin::xls;
using namespace tavorin::test;

namespace {

Bytes picture(const char* name)
{
    return fileBytes(pictureFixture(name));
}

struct Unplaceable {
    const char* file;
    std::optional<Bytes> bytes; // none: no such file
    const char* says;
};

Bytes cut(const char* fixture, std::size_t keep)
{
    Bytes b = picture(fixture);
    b.resize(keep);
    return b;
}
const Bytes postScript{'%', '!', 'P', 'S', 0, 1, 2, 3};

const Unplaceable unplaceable[] = {
    {"drawing.eps", postScript, "PostScript"},
    {"chart.cgm", postScript, "Metafile (.cgm)"},
    {"old.pct", postScript, "PICT"},
    {"art.wpg", postScript, "WordPerfect"},
    {"packed.bmz", postScript, "cannot be placed"},
    {"packed.emz", gzipped(picture("square.bmp")), "holds no EMF or WMF"},
    {"bare.wmf", squareWmfWithoutPlaceableHeader(), "placeable"},
    {"notes.jpg", picture("broken.jpg"), "not a picture"},
    {"cut.png", cut("portrait.png", picture("portrait.png").size() / 2), "PNG"},
    {"head.jpg", cut("land.jpg", 40), "JPEG"},
    {"short.bmp", cut("square.bmp", 200), "BMP picture: the pixel data is cut short"},
    {"flipped.png",
     [] {
         Bytes b = picture("portrait.png");
         b[20] ^= 0x40;
         return b;
     }(),
     "checksum"},
    {"empty.png", Bytes{}, ""},
    {"absent.jpg", std::nullopt, ""},
};

class UnplaceablePicture : public testing::TestWithParam<Unplaceable> {};

TEST_P(UnplaceablePicture, IsRefusedSayingWhy)
{
    TemporaryFolder folder;
    if (GetParam().bytes)
        writeFile(folder / GetParam().file, *GetParam().bytes);
    auto file = PictureFile::open(folder / GetParam().file);
    ASSERT_FALSE(file.ok());
    EXPECT_NE(file.error().message.find(GetParam().says), std::string::npos) << file.error().message;
    EXPECT_NE(file.error().message.find(GetParam().file), std::string::npos) << file.error().message;
}

std::string unplaceableName(const testing::TestParamInfo<Unplaceable>& u)
{
    std::string name = u.param.file;
    for (char& c : name)
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Files, UnplaceablePicture, testing::ValuesIn(unplaceable), unplaceableName);

} // namespace
