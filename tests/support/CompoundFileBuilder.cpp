#include "support/CompoundFileBuilder.h"

#include "platform/xls/compound/CompoundFileWriter.h"

#include <gtest/gtest.h>

namespace tavorin::test {

void CompoundFileBuilder::addStream(std::u16string name, std::vector<std::uint8_t> bytes)
{
    streams_.emplace_back(std::move(name), std::move(bytes));
}

std::vector<std::uint8_t> CompoundFileBuilder::build() const
{
    xls::CompoundFileWriter writer;
    for (const auto& [name, bytes] : streams_)
        writer.addStream(xls::CompoundFileWriter::root, name, bytes);
    xls::MemoryOutputSink out;
    auto written = writer.write(out);
    EXPECT_TRUE(written.ok()) << (written.ok() ? "" : written.error().describe());
    return out.take();
}

} // namespace tavorin::test
