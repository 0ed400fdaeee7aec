// tavorin-batch's options for photos, as its help states them: photos turned as viewers show
// them unless --ignore-orientation, the date caption from the file's creation unless
// --date-source taken; anything else is a wrong command line.
#include "InsertArguments.h"

#include <gtest/gtest.h>

using namespace tavorin;
using namespace tavorin::batch;

namespace {

struct PhotoArguments {
    const char* name;
    std::vector<std::string> options;
    bool photoOrientation;
    DateSource dateSource;
    const char* error; // a piece of the message; null when the line is right
};

std::string caseName(const ::testing::TestParamInfo<PhotoArguments>& info) { return info.param.name; }

class PhotoOptions : public ::testing::TestWithParam<PhotoArguments> {};

TEST_P(PhotoOptions, AreReadAsTheHelpSays)
{
    const PhotoArguments& expected = GetParam();
    std::vector<std::string> arguments = expected.options;
    arguments.insert(arguments.end(), {"book.xls", "IMG_0001.HEIC"});
    const InsertParse parse = parseInsertArguments(arguments);
    if (expected.error != nullptr) {
        EXPECT_FALSE(parse.arguments.has_value());
        EXPECT_NE(parse.error.find(expected.error), std::string::npos) << parse.error;
        return;
    }
    ASSERT_TRUE(parse.arguments.has_value()) << parse.error;
    EXPECT_EQ(parse.arguments->options.photoOrientation, expected.photoOrientation);
    EXPECT_EQ(parse.arguments->options.dateSource, expected.dateSource);
}

INSTANTIATE_TEST_SUITE_P(
    Batch, PhotoOptions,
    ::testing::Values(
        PhotoArguments{"Defaults", {}, true, DateSource::FileCreated, nullptr},
        PhotoArguments{"IgnoreOrientation", {"--ignore-orientation"}, false, DateSource::FileCreated, nullptr},
        PhotoArguments{"DateTaken", {"--date-source", "taken"}, true, DateSource::PhotoTaken, nullptr},
        PhotoArguments{"DateCreated", {"--date-source", "taken", "--date-source", "created"}, true,
                       DateSource::FileCreated, nullptr},
        PhotoArguments{"Both", {"--date-source", "taken", "--ignore-orientation"}, false, DateSource::PhotoTaken, nullptr},
        PhotoArguments{"UnknownSource", {"--date-source", "exif"}, true, DateSource::FileCreated, "created or taken"},
        PhotoArguments{"SourceLeftOut", {"--date-source"}, true, DateSource::FileCreated, "'book.xls' is not created or taken"}),
    caseName);

} // namespace
