#pragma once

#include "platform/xls/OutputSink.h"

namespace tavorin::xls {

// Counts the bytes it is given and keeps none: the measuring pass of a writer that must know
// sizes and offsets before it writes for real.
class CountingOutputSink final : public OutputSink {
public:
    Status write(std::span<const std::uint8_t> bytes) override
    {
        written_ += bytes.size();
        return success();
    }
    Status finish() override { return success(); }
    std::uint64_t written() const override { return written_; }

private:
    std::uint64_t written_ = 0;
};

} // namespace tavorin::xls
