#include "platform/xls/compound/ByteBuffer.h"

#include <new>
#include <utility>

#include <sys/mman.h>

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
