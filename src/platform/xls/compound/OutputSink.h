#pragma once

#include "platform/xls/Result.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

namespace tavorin::xls {

// Where written bytes go: a file being saved, or memory in tests.
class OutputSink {
public:
    virtual ~OutputSink() = default;
    virtual Status write(std::span<const std::uint8_t> bytes) = 0;
    // Everything written reaches its destination (for a file: flushed and synced to disk).
    virtual Status finish() = 0;
    virtual std::uint64_t written() const = 0;
};

// Collects the bytes in memory.
class MemoryOutputSink final : public OutputSink {
public:
    Status write(std::span<const std::uint8_t> bytes) override;
    Status finish() override { return success(); }
    std::uint64_t written() const override { return bytes_.size(); }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::vector<std::uint8_t> take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

// Writes into a file that it creates (it must not exist yet), through a buffer.
class FileOutputSink final : public OutputSink {
public:
    static Result<std::unique_ptr<FileOutputSink>> create(const std::filesystem::path& path);
    ~FileOutputSink() override;
    FileOutputSink(const FileOutputSink&) = delete;
    FileOutputSink& operator=(const FileOutputSink&) = delete;

    Status write(std::span<const std::uint8_t> bytes) override;
    // Replaces bytes written before (position + size within written()): in the buffer while they
    // are still there, else in the file. Zip writers go back to complete a header this way.
    Status overwrite(std::uint64_t position, std::span<const std::uint8_t> bytes);
    Status finish() override;
    std::uint64_t written() const override { return written_; }

private:
    FileOutputSink(int descriptor, std::filesystem::path path);
    Status writeFully(std::span<const std::uint8_t> bytes, std::uint64_t position, bool positioned);
    Status flushBuffer();
    void startWriteBack();

    int descriptor_;
    std::filesystem::path path_;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t written_ = 0;
    std::uint64_t writeBackStart_ = 0; // the file's bytes before it are on their way to the disk
};

} // namespace tavorin::xls
