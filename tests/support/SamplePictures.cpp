#include "SamplePictures.h"

#include <zlib.h>

#include <fstream>
#include <stdexcept>

namespace tavorin::test {
namespace {

void put16(PictureBytes& b, unsigned v)
{
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(PictureBytes& b, std::uint32_t v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

constexpr std::size_t placeableHeaderSize = 22;

} // namespace

PictureBytes squareWmf()
{
    PictureBytes b;
    put32(b, 0x9AC6CDD7);
    put16(b, 0);
    for (unsigned v : {0u, 0u, 1440u, 1440u})
        put16(b, v);
    put16(b, 1440);
    put32(b, 0);
    std::uint16_t checksum = 0;
    for (std::size_t i = 0; i < 20; i += 2)
        checksum ^= static_cast<std::uint16_t>(b[i] | (b[i + 1] << 8));
    put16(b, checksum);
    for (unsigned v : {1u, 9u, 0x300u, 12u, 0u, 0u, 3u, 0u, 3u, 0u, 0u})
        put16(b, v);
    return b;
}

PictureBytes squareWmfWithoutPlaceableHeader()
{
    PictureBytes whole = squareWmf();
    return {whole.begin() + placeableHeaderSize, whole.end()};
}

PictureBytes wideEmf()
{
    PictureBytes b;
    put32(b, 1);
    put32(b, 88);
    for (std::uint32_t v : {0u, 0u, 191u, 95u, 0u, 0u, 5080u, 2540u, 0x464D4520u, 0x10000u, 108u, 2u})
        put32(b, v);
    put32(b, 1); // handles, reserved
    for (std::uint32_t v : {0u, 0u, 0u, 1024u, 768u, 320u, 240u})
        put32(b, v);
    for (std::uint32_t v : {14u, 20u, 0u, 16u, 20u})
        put32(b, v);
    return b;
}

PictureBytes gzipped(const PictureBytes& bytes)
{
    z_stream stream{};
    // 15 + 16: a gzip header and trailer around the deflate data.
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("zlib cannot start compressing");
    PictureBytes out(deflateBound(&stream, static_cast<uLong>(bytes.size())) + 32);
    stream.next_in = const_cast<Bytef*>(bytes.data());
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    int result = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    if (result != Z_STREAM_END)
        throw std::runtime_error("zlib could not compress the picture");
    return out;
}

void writePictureFile(const std::filesystem::path& path, const PictureBytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace tavorin::test
