// How long the sheet listing takes on a workbook of about 200 MB (goal: under 20 ms).
//
// The workbook is made here: the Workbook stream of a fixture (ledger.xls) with six large filler
// worksheets appended (rows of MULBLANK records) and a BoundSheet8 for each, in a compound file
// written sector by sector with its FAT and DIFAT. Only the globals at the front of the stream
// should be read, so the figure must not grow with the sheets.
//   build/bench/sheet_listing [MEGABYTES]
#include "platform/xls/records/BiffString.h"
#include "platform/xls/compound/CompoundFile.h"
#include "platform/xls/records/RecordReader.h"
#include "platform/xls/records/RecordType.h"
#include "platform/xls/model/WorkbookFile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace xls = tavorin::xls;

namespace {

constexpr std::uint32_t sectorSize = 512;
constexpr std::uint32_t entriesPerSector = sectorSize / 4;
constexpr std::uint32_t endOfChain = 0xFFFFFFFE;
constexpr std::uint32_t fatMark = 0xFFFFFFFD;
constexpr std::uint32_t difatMark = 0xFFFFFFFC;
constexpr std::uint32_t freeSector = 0xFFFFFFFF;

void putU16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void putU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    putU16(out, static_cast<std::uint16_t>(value));
    putU16(out, static_cast<std::uint16_t>(value >> 16));
}

void setU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void putRecord(std::vector<std::uint8_t>& out, std::uint16_t type, const std::vector<std::uint8_t>& data)
{
    putU16(out, type);
    putU16(out, static_cast<std::uint16_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
}

// One filler worksheet: BOF, 65536 rows of 256 blank cells (one MULBLANK each), EOF.
struct FillerSheet {
    static constexpr std::uint32_t rows = 65536;
    static std::vector<std::uint8_t> bof()
    {
        std::vector<std::uint8_t> data;
        putU16(data, 0x0600);
        putU16(data, 0x0010);
        putU16(data, 0x0DBB);
        putU16(data, 0x07CC);
        putU32(data, 0);
        putU32(data, 6);
        std::vector<std::uint8_t> out;
        putRecord(out, xls::RecordType::Bof, data);
        return out;
    }
    static std::vector<std::uint8_t> row(std::uint16_t index)
    {
        std::vector<std::uint8_t> data;
        putU16(data, index);
        putU16(data, 0);
        for (int column = 0; column < 256; ++column)
            putU16(data, 15);
        putU16(data, 255);
        std::vector<std::uint8_t> out;
        putRecord(out, 0x00BE, data);
        return out;
    }
    static std::uint64_t size() { return bof().size() + std::uint64_t{rows} * row(0).size() + 4; }
};

std::vector<std::uint8_t> boundSheet(const std::string& name, std::uint32_t position)
{
    std::vector<std::uint8_t> data;
    putU32(data, position);
    data.push_back(0);
    data.push_back(0);
    data.push_back(static_cast<std::uint8_t>(name.size()));
    data.push_back(0);
    data.insert(data.end(), name.begin(), name.end());
    std::vector<std::uint8_t> out;
    putRecord(out, xls::RecordType::BoundSheet8, data);
    return out;
}

// The fixture's stream with a BoundSheet8 per filler sheet added after its own, and every sheet
// position moved by what was inserted.
std::vector<std::uint8_t> prefixWithFillers(const std::vector<std::uint8_t>& original, int fillers)
{
    std::vector<std::uint8_t> inserted;
    for (int i = 0; i < fillers; ++i)
        inserted.resize(inserted.size() + boundSheet("Filler " + std::to_string(i + 1), 0).size());
    std::uint32_t shift = static_cast<std::uint32_t>(inserted.size());

    std::vector<std::uint8_t> out;
    xls::RecordReader records(original);
    bool added = false;
    while (!records.atEnd()) {
        auto record = records.next();
        if (!record) {
            std::fprintf(stderr, "fixture unreadable: %s\n", record.error().describe().c_str());
            std::exit(1);
        }
        bool lastSheet = record->type == xls::RecordType::BoundSheet8 &&
                         records.peekType() != std::optional<std::uint16_t>(xls::RecordType::BoundSheet8);
        std::vector<std::uint8_t> data(record->data.begin(), record->data.end());
        if (record->type == xls::RecordType::BoundSheet8)
            setU32(data, 0, static_cast<std::uint32_t>(data[0] | (data[1] << 8) | (data[2] << 16) | (data[3] << 24)) +
                                shift);
        putRecord(out, record->type, data);
        if (lastSheet && !added) {
            std::uint64_t position = original.size() + shift;
            for (int i = 0; i < fillers; ++i) {
                auto sheet = boundSheet("Filler " + std::to_string(i + 1), static_cast<std::uint32_t>(position));
                out.insert(out.end(), sheet.begin(), sheet.end());
                position += FillerSheet::size();
            }
            added = true;
        }
    }
    return out;
}

// Writes a version-3 compound file whose one stream "Workbook" is prefix followed by the filler
// sheets, without holding the stream in memory.
void writeWorkbook(const std::filesystem::path& path, const std::vector<std::uint8_t>& prefix, int fillers)
{
    std::uint64_t streamSize = prefix.size() + std::uint64_t(fillers) * FillerSheet::size();
    auto streamSectors = static_cast<std::uint32_t>((streamSize + sectorSize - 1) / sectorSize);
    std::uint32_t fatSectors = 1, difatSectors = 0;
    while (true) {
        std::uint32_t needed = (streamSectors + 1 + fatSectors + difatSectors + entriesPerSector - 1) / entriesPerSector;
        std::uint32_t difatNeeded = needed > 109 ? (needed - 109 + 126) / 127 : 0;
        if (needed <= fatSectors && difatNeeded == difatSectors)
            break;
        fatSectors = std::max(fatSectors, needed);
        difatSectors = difatNeeded;
    }
    std::uint32_t directorySector = fatSectors + difatSectors;
    std::uint32_t firstStreamSector = directorySector + 1;

    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::vector<std::uint8_t> header;
    const std::uint8_t signature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    header.insert(header.end(), std::begin(signature), std::end(signature));
    header.resize(24, 0);
    putU16(header, 0x003E);
    putU16(header, 3);
    putU16(header, 0xFFFE);
    putU16(header, 9);
    putU16(header, 6);
    header.resize(44, 0);
    putU32(header, fatSectors);
    putU32(header, directorySector);
    putU32(header, 0);
    putU32(header, 4096);
    putU32(header, endOfChain);
    putU32(header, 0);
    putU32(header, difatSectors ? fatSectors : endOfChain);
    putU32(header, difatSectors);
    for (std::uint32_t i = 0; i < 109; ++i)
        putU32(header, i < fatSectors ? i : freeSector);
    out.write(reinterpret_cast<const char*>(header.data()), static_cast<std::streamsize>(header.size()));

    // FAT: FAT sectors, DIFAT sectors, the directory (one sector), then the stream in one run.
    std::vector<std::uint8_t> fat;
    for (std::uint64_t i = 0; i < std::uint64_t{fatSectors} * entriesPerSector; ++i) {
        std::uint32_t value = freeSector;
        if (i < fatSectors)
            value = fatMark;
        else if (i < directorySector)
            value = difatMark;
        else if (i == directorySector)
            value = endOfChain;
        else if (i < firstStreamSector + std::uint64_t{streamSectors})
            value = i + 1 < firstStreamSector + std::uint64_t{streamSectors} ? static_cast<std::uint32_t>(i + 1) : endOfChain;
        putU32(fat, value);
    }
    out.write(reinterpret_cast<const char*>(fat.data()), static_cast<std::streamsize>(fat.size()));

    // DIFAT sectors: the FAT sectors after the first 109, 127 per sector, then the next DIFAT sector.
    for (std::uint32_t d = 0; d < difatSectors; ++d) {
        std::vector<std::uint8_t> sector;
        for (std::uint32_t i = 0; i < 127; ++i) {
            std::uint32_t fatIndex = 109 + d * 127 + i;
            putU32(sector, fatIndex < fatSectors ? fatIndex : freeSector);
        }
        putU32(sector, d + 1 < difatSectors ? fatSectors + d + 1 : endOfChain);
        out.write(reinterpret_cast<const char*>(sector.data()), sectorSize);
    }

    // Directory: root and the Workbook stream, then two unused entries.
    std::vector<std::uint8_t> directory(sectorSize, 0);
    auto entry = [&](std::size_t index, const std::u16string& name, std::uint8_t type, std::uint32_t child,
                     std::uint32_t start, std::uint32_t size) {
        std::size_t at = index * 128;
        for (std::size_t i = 0; i < name.size(); ++i) {
            directory[at + 2 * i] = static_cast<std::uint8_t>(name[i]);
            directory[at + 2 * i + 1] = static_cast<std::uint8_t>(name[i] >> 8);
        }
        directory[at + 64] = static_cast<std::uint8_t>((name.size() + 1) * 2);
        directory[at + 66] = type;
        directory[at + 67] = 1;
        setU32(directory, at + 68, freeSector);
        setU32(directory, at + 72, freeSector);
        setU32(directory, at + 76, child);
        setU32(directory, at + 116, start);
        setU32(directory, at + 120, size);
    };
    entry(0, u"Root Entry", 5, 1, endOfChain, 0);
    entry(1, u"Workbook", 2, freeSector, firstStreamSector, static_cast<std::uint32_t>(streamSize));
    for (std::size_t index = 2; index < 4; ++index)
        for (std::size_t field : {68, 72, 76})
            setU32(directory, index * 128 + field, freeSector);
    out.write(reinterpret_cast<const char*>(directory.data()), sectorSize);

    // The stream.
    out.write(reinterpret_cast<const char*>(prefix.data()), static_cast<std::streamsize>(prefix.size()));
    for (int sheet = 0; sheet < fillers; ++sheet) {
        auto bof = FillerSheet::bof();
        out.write(reinterpret_cast<const char*>(bof.data()), static_cast<std::streamsize>(bof.size()));
        std::vector<std::uint8_t> block;
        for (std::uint32_t row = 0; row < FillerSheet::rows; ++row) {
            auto record = FillerSheet::row(static_cast<std::uint16_t>(row));
            block.insert(block.end(), record.begin(), record.end());
            if (block.size() > (1u << 20) || row + 1 == FillerSheet::rows) {
                out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size()));
                block.clear();
            }
        }
        const std::uint8_t eof[] = {0x0A, 0x00, 0x00, 0x00};
        out.write(reinterpret_cast<const char*>(eof), sizeof eof);
    }
    std::vector<std::uint8_t> padding((sectorSize - streamSize % sectorSize) % sectorSize, 0);
    out.write(reinterpret_cast<const char*>(padding.data()), static_cast<std::streamsize>(padding.size()));
}

// Processor time of this process, which a busy machine does not inflate as it does wall time.
double processorMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char* argv[])
{
    double megabytes = argc > 1 ? std::atof(argv[1]) : 200.0;
    auto fixture = xls::CompoundFile::open(std::filesystem::path(TAVORIN_FIXTURES_DIR) / "workbooks/ledger.xls");
    if (!fixture) {
        std::fprintf(stderr, "%s\n", fixture.error().describe().c_str());
        return 1;
    }
    auto original = fixture->readStream(*fixture->find("Workbook"));
    int fillers = std::max(1, static_cast<int>(megabytes * 1e6 / static_cast<double>(FillerSheet::size()) + 0.5));
    auto prefix = prefixWithFillers(*original, fillers);

    auto path = std::filesystem::temp_directory_path() / ("tavorin-bench-" + std::to_string(getpid()) + ".xls");
    auto written = std::chrono::steady_clock::now();
    writeWorkbook(path, prefix, fillers);
    std::printf("workbook: %s, %.1f MB (%d filler sheets), written in %.0f ms\n", path.c_str(),
                static_cast<double>(std::filesystem::file_size(path)) / 1e6, fillers, millisecondsSince(written));

    std::vector<double> times;
    std::vector<double> processorTimes;
    std::vector<std::u16string> names;
    for (int run = 0; run < 25; ++run) {
        auto start = std::chrono::steady_clock::now();
        double processorStart = processorMilliseconds();
        auto listed = xls::WorkbookFile::worksheetNames(path);
        times.push_back(millisecondsSince(start));
        processorTimes.push_back(processorMilliseconds() - processorStart);
        if (!listed) {
            std::fprintf(stderr, "listing failed: %s\n", listed.error().describe().c_str());
            std::filesystem::remove(path);
            return 1;
        }
        names = std::move(*listed);
    }
    std::printf("sheets:");
    for (const auto& name : names)
        std::printf(" [%s]", xls::BiffString::toUtf8(name).c_str());
    std::printf("\n");
    double first = times.front();
    std::sort(times.begin(), times.end());
    std::printf("sheet listing: first %.2f ms, median %.2f ms, best %.2f ms, worst %.2f ms over %zu runs (goal < 20 ms)\n",
                first, times[times.size() / 2], times.front(), times.back(), times.size());
    std::sort(processorTimes.begin(), processorTimes.end());
    std::printf("processor time per listing: median %.2f ms\n", processorTimes[processorTimes.size() / 2]);
    if (std::getenv("TAVORIN_BENCH_KEEP"))
        std::printf("kept %s\n", path.c_str());
    else
        std::filesystem::remove(path);
    return times[times.size() / 2] < 20.0 ? 0 : 1;
}
