// tavorin-batch's picture size options as its help states them: --picture-dpi 50 to 600 (none: pictures
// as they are), --jpeg-quality 1 to 100 (default 85); anything else is a wrong command line.
#include "InsertArguments.h"

#include <gtest/gtest.h>

using namespace tavorin::batch;

namespace {

struct SizeArguments {
    const char* name;
    std::vector<std::string> options;
    int dpi, quality;
    const char* error; // a piece of the message; null when the line is right
};
class PictureSizeOptions : public ::testing::TestWithParam<SizeArguments> {};
TEST_P(PictureSizeOptions, AreReadAsTheHelpSays)
{
    const SizeArguments& expected = GetParam();
    std::vector<std::string> arguments = expected.options;
    arguments.insert(arguments.end(), {"book.xls", "IMG_0001.JPG"});
    const InsertParse parse = parseInsertArguments(arguments);
    if (expected.error != nullptr) {
        EXPECT_FALSE(parse.arguments.has_value());
        EXPECT_NE(parse.error.find(expected.error), std::string::npos) << parse.error;
        return;
    }
    ASSERT_TRUE(parse.arguments.has_value()) << parse.error;
    EXPECT_EQ(parse.arguments->options.pictureDpi, expected.dpi);
    EXPECT_EQ(parse.arguments->options.jpegQuality, expected.quality);
}
INSTANTIATE_TEST_SUITE_P(
    Batch, PictureSizeOptions,
    ::testing::Values(SizeArguments{"Defaults", {}, 0, 85, nullptr},
                      SizeArguments{"Dpi150", {"--picture-dpi", "150"}, 150, 85, nullptr},
                      SizeArguments{"LowestAndHighest", {"--picture-dpi", "50", "--jpeg-quality", "100"}, 50, 100, nullptr},
                      SizeArguments{"Dpi600Quality1", {"--jpeg-quality", "1", "--picture-dpi", "600"}, 600, 1, nullptr},
                      SizeArguments{"DpiTooLow", {"--picture-dpi", "49"}, 0, 85, "'49' is not a whole number from 50 to 600"},
                      SizeArguments{"DpiTooHigh", {"--picture-dpi", "601"}, 0, 85, "from 50 to 600"},
                      SizeArguments{"DpiNotANumber", {"--picture-dpi", "150dpi"}, 0, 85, "--picture-dpi"},
                      SizeArguments{"QualityZero", {"--jpeg-quality", "0"}, 0, 85, "from 1 to 100"},
                      SizeArguments{"DpiLeftOut", {"--picture-dpi"}, 0, 85, "'book.xls' is not a whole number"}),
    [](const auto& run) { return std::string(run.param.name); });

} // namespace
