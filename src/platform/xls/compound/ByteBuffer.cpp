#include "platform/xls/compound/ByteBuffer.h"

#include <algorithm>
#include <new>
#include <utility>

#include <sys/mman.h>
#include <unistd.h>

namespace tavorin::xls {
namespace {

// Below this, the page faults cost less than a mapping of its own.
constexpr std::size_t mappedFrom = 1024 * 1024;

} // namespace

ByteBuffer::~ByteBuffer() { release(); }

ByteBuffer::ByteBuffer(ByteBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, false))
{
}

ByteBuffer& ByteBuffer::operator=(ByteBuffer&& other) noexcept
{
    if (this != &other) {
        release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        mapped_ = std::exchange(other.mapped_, false);
    }
    return *this;
}

void ByteBuffer::release()
{
    if (mapped_)
        ::munmap(data_, size_);
    else
        delete[] data_;
    data_ = nullptr;
    size_ = 0;
    mapped_ = false;
}

void ByteBuffer::release(std::size_t offset, std::size_t length)
{
    if (!mapped_ || offset >= size_)
        return;
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t end = std::min(size_, offset + std::min(length, size_ - offset));
    const std::size_t first = (offset + page - 1) / page * page, last = end / page * page;
    if (first < last)
        ::madvise(data_ + first, last - first, MADV_DONTNEED);
}

std::optional<ByteBuffer> ByteBuffer::allocate(std::size_t size)
{
    ByteBuffer buffer;
    if (size == 0)
        return buffer;
    if (size >= mappedFrom) {
        void* memory = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
        if (memory == MAP_FAILED)
            return std::nullopt;
        buffer.data_ = static_cast<std::uint8_t*>(memory);
        buffer.mapped_ = true;
    } else {
        buffer.data_ = new (std::nothrow) std::uint8_t[size];
        if (!buffer.data_)
            return std::nullopt;
    }
    buffer.size_ = size;
    return buffer;
}

} // namespace tavorin::xls
