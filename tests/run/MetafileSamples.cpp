#include "MetafileSamples.h"

#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace tavorin::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& b, unsigned v)
{
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(Bytes& b, std::uint32_t v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

// Placeable header (bounds 1440 x 1440 at 1440 units per inch), then a WMF header and EOF.
Bytes squareWmf()
{
    Bytes b;
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

// EMR_HEADER with the frame 0,0 - 5080,2540 (hundredths of a millimetre), then EMR_EOF.
Bytes wideEmf()
{
    Bytes b;
    put32(b, 1);
    put32(b, 88);
    for (std::uint32_t v : {0u, 0u, 191u, 95u, 0u, 0u, 5080u, 2540u, 0x464D4520u, 0x10000u, 108u, 2u})
        put32(b, v);
    put32(b, 1);
    for (std::uint32_t v : {0u, 0u, 0u, 1024u, 768u, 320u, 240u})
        put32(b, v);
    for (std::uint32_t v : {14u, 20u, 0u, 16u, 20u})
        put32(b, v);
    return b;
}

void writeFile(const std::filesystem::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

void writeGzip(const std::filesystem::path& path, const Bytes& bytes)
{
    gzFile file = gzopen(path.c_str(), "wb9");
    if (file == nullptr)
        throw std::runtime_error("cannot write " + path.string());
    const int written = gzwrite(file, bytes.data(), static_cast<unsigned>(bytes.size()));
    if (gzclose(file) != Z_OK || written != static_cast<int>(bytes.size()))
        throw std::runtime_error("cannot compress into " + path.string());
}

} // namespace

MetafileSamples writeMetafileSamples(const std::filesystem::path& folder)
{
    MetafileSamples samples{folder / "square.wmf", folder / "wide.emf", folder / "square.wmz", folder / "wide.emz"};
    writeFile(samples.wmf, squareWmf());
    writeFile(samples.emf, wideEmf());
    writeGzip(samples.wmz, squareWmf());
    writeGzip(samples.emz, wideEmf());
    return samples;
}

} // namespace tavorin::test
