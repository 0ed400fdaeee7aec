#include "platform/xls/records/SharedStringTable.h"

#include "platform/xls/compound/ByteReader.h"
#include "platform/xls/records/WorkbookRecordType.h"

#include <algorithm>
#include <array>

namespace tavorin::xls {
namespace {

constexpr std::uint8_t highByteFlag = 0x01;
constexpr std::uint8_t extFlag = 0x04;
constexpr std::uint8_t richFlag = 0x08;

Error sstError(const std::string& message, std::uint64_t offset)
{
    return Error{message, "shared strings", RecordType::Sst, offset};
}

// Collects the SST and its CONTINUE records: one piece at a time, each at most 8224 bytes.
// When measuring, the pieces are only counted.
class PieceWriter {
public:
    explicit PieceWriter(RecordWriter& out) : out_(out), keep_(!out.countsOnly()) {}
    std::size_t room() const { return RecordWriter::maxDataSize - size_; }
    // Stream offset of the next byte put, and its offset from the current record's header.
    std::uint64_t nextOffset() const { return out_.offset() + 4 + size_; }
    std::uint16_t offsetInRecord() const { return static_cast<std::uint16_t>(4 + size_); }
    void put(std::span<const std::uint8_t> bytes)
    {
        size_ += bytes.size();
        if (keep_)
            piece_.insert(piece_.end(), bytes.begin(), bytes.end());
    }
    void putByte(std::uint8_t byte)
    {
        ++size_;
        if (keep_)
            piece_.push_back(byte);
    }
    void flush()
    {
        std::uint16_t type = first_ ? RecordType::Sst : RecordType::Continue;
        if (keep_)
            out_.write(type, piece_);
        else
            out_.write(type, std::span<const std::uint8_t>(measured_).first(size_));
        first_ = false;
        piece_.clear();
        size_ = 0;
    }

private:
    RecordWriter& out_;
    bool keep_;
    std::vector<std::uint8_t> piece_;
    std::size_t size_ = 0;
    bool first_ = true;
    // What a measuring writer is given in place of a piece: only its length is looked at.
    static inline const std::array<std::uint8_t, RecordWriter::maxDataSize> measured_{};
};

} // namespace

namespace {

// Reads through the pieces of the SST one byte at a time where a piece may end.
class PieceCursor {
public:
    explicit PieceCursor(const std::vector<std::span<const std::uint8_t>>& pieces) : pieces_(pieces) {}
    bool pieceExhausted() const { return piece_ >= pieces_.size() || at_ >= pieces_[piece_].size(); }
    // Moves over exhausted pieces; false at the end of the data.
    bool settle()
    {
        while (piece_ < pieces_.size() && at_ >= pieces_[piece_].size()) {
            ++piece_;
            at_ = 0;
        }
        return piece_ < pieces_.size();
    }
    std::size_t piece() const { return piece_; }
    const std::uint8_t* here() const { return pieces_[piece_].data() + at_; }
    std::size_t leftInPiece() const { return pieces_[piece_].size() - at_; }
    std::optional<std::uint8_t> byte()
    {
        if (!settle())
            return std::nullopt;
        return pieces_[piece_][at_++];
    }
    std::optional<std::uint32_t> integer(int bytes)
    {
        std::uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            auto b = byte();
            if (!b)
                return std::nullopt;
            value |= std::uint32_t{*b} << (8 * i);
        }
        return value;
    }
    void skip(std::size_t count) { at_ += count; }

private:
    const std::vector<std::span<const std::uint8_t>>& pieces_;
    std::size_t piece_ = 0;
    std::size_t at_ = 0;
};

// The length of the string at bytes when it ends within the available bytes; nothing when
// it runs on into the next piece (or is damaged, which the careful reading then reports).
std::optional<std::size_t> lengthInPiece(std::span<const std::uint8_t> piece)
{
    ByteReader reader(piece);
    if (!reader.has(3))
        return std::nullopt;
    std::size_t count = reader.u16();
    std::uint8_t flags = reader.u8();
    if (!reader.has(((flags & richFlag) ? 2 : 0) + ((flags & extFlag) ? 4 : 0)))
        return std::nullopt;
    std::size_t runs = (flags & richFlag) ? reader.u16() : 0;
    std::size_t ext = (flags & extFlag) ? reader.u32() : 0;
    std::size_t length = reader.position() + count * ((flags & highByteFlag) ? 2 : 1) + runs * 4 + ext;
    if (length > piece.size())
        return std::nullopt;
    return length;
}

} // namespace

Result<SharedStringTable> SharedStringTable::read(std::span<const std::uint8_t> stream,
                                                  const std::vector<std::span<const std::uint8_t>>& pieces,
                                                  std::uint64_t offset)
{
    SharedStringTable table;
    table.stream_ = stream.data();
    table.readAt_ = offset;
    for (const auto& piece : pieces)
        table.pieces_.push_back({static_cast<std::uint32_t>(piece.data() - stream.data()),
                                 static_cast<std::uint32_t>(piece.size())});
    PieceCursor cursor(pieces);
    auto total = cursor.integer(4);
    auto unique = cursor.integer(4);
    if (!total || !unique)
        return sstError("the shared string table is shorter than its header", offset);
    table.totalReferences_ = *total;
    table.announced_ = *unique;
    table.stringsRead_ = false;
    return table;
}

void SharedStringTable::keepIndexRecord(std::span<const std::uint8_t> data)
{
    if (stream_ && !pieces_.empty())
        readIndex_ = Piece{static_cast<std::uint32_t>(data.data() - stream_), static_cast<std::uint32_t>(data.size())};
}

std::span<const std::uint8_t> SharedStringTable::pieceBytes(Piece piece) const { return {stream_ + piece.offset, piece.length}; }

Status SharedStringTable::readStrings()
{
    if (stringsRead_)
        return success();
    std::vector<std::span<const std::uint8_t>> pieces;
    for (Piece piece : pieces_)
        pieces.push_back(pieceBytes(piece));
    const std::uint8_t* stream = stream_;
    const std::uint64_t offset = readAt_;
    PieceCursor cursor(pieces);
    (void)cursor.integer(4); // the header, read before
    (void)cursor.integer(4);
    auto fail = [&](const std::string& what) {
        auto error = sstError("string " + std::to_string(entries_.size()) + " of the shared string table " + what,
                              offset);
        entries_.clear();
        data_.clear();
        return error;
    };
    std::vector<std::uint8_t> copy;
    // Each string consumes at least three bytes, so the loop ends with the data.
    for (std::uint32_t i = 0; i < announced_; ++i) {
        if (!cursor.settle())
            break;
        std::size_t firstPiece = cursor.piece();
        const std::uint8_t* start = cursor.here();
        // Most strings lie whole in one piece: they are measured and left where they are.
        if (auto length = lengthInPiece({start, cursor.leftInPiece()})) {
            cursor.skip(*length);
            entries_.push_back({static_cast<std::uint32_t>(start - stream), static_cast<std::uint32_t>(*length)});
            continue;
        }
        auto count = cursor.integer(2);
        auto flags = cursor.byte();
        if (!count || !flags)
            return fail("is cut off in its header");
        std::optional<std::uint32_t> runs = 0, ext = 0;
        if (*flags & richFlag)
            runs = cursor.integer(2);
        if (*flags & extFlag)
            ext = cursor.integer(4);
        if (!runs || !ext)
            return fail("is cut off in its header");
        // Characters, possibly over several pieces, each piece starting with its own option byte.
        std::u16string characters;
        characters.reserve(*count);
        bool wide = (*flags & highByteFlag) != 0;
        bool anyWide = wide;
        while (characters.size() < *count) {
            if (cursor.pieceExhausted()) {
                auto option = cursor.byte();
                if (!option)
                    return fail("runs past the end of the table");
                wide = (*option & highByteFlag) != 0;
                anyWide = anyWide || wide;
                continue;
            }
            std::size_t width = wide ? 2 : 1;
            std::size_t fit = std::min<std::size_t>(*count - characters.size(), cursor.leftInPiece() / width);
            if (fit == 0)
                return fail("has a character cut between two records");
            const std::uint8_t* bytes = cursor.here();
            for (std::size_t c = 0; c < fit; ++c)
                characters.push_back(wide ? static_cast<char16_t>(bytes[2 * c] | (bytes[2 * c + 1] << 8))
                                          : char16_t{bytes[c]});
            cursor.skip(fit * width);
        }
        std::size_t tail = std::size_t{*runs} * 4 + *ext;
        copy.clear();
        for (std::size_t b = 0; b < tail; ++b) {
            auto value = cursor.byte();
            if (!value)
                return fail("runs past the end of the table");
            copy.push_back(*value);
        }
        if (cursor.piece() == firstPiece || (cursor.pieceExhausted() && cursor.piece() == firstPiece)) {
            auto length = static_cast<std::uint32_t>(cursor.here() - start);
            entries_.push_back({static_cast<std::uint32_t>(start - stream), length});
            continue;
        }
        // Cut by a CONTINUE: kept joined, in one width.
        auto& out = data_;
        Entry entry{static_cast<std::uint32_t>(out.size()), 0};
        putU16(out, *count);
        putU8(out, static_cast<std::uint8_t>((*flags & ~highByteFlag) | (anyWide ? highByteFlag : 0)));
        if (*flags & richFlag)
            putU16(out, *runs);
        if (*flags & extFlag)
            putU32(out, *ext);
        for (char16_t c : characters) {
            if (anyWide)
                putU16(out, c);
            else
                putU8(out, c);
        }
        out.insert(out.end(), copy.begin(), copy.end());
        entry.length = static_cast<std::uint32_t>(out.size() - entry.offset) | copied;
        entries_.push_back(entry);
    }
    if (entries_.size() < announced_) {
        auto error = sstError("the shared string table holds " + std::to_string(entries_.size()) + " strings, " +
                                  std::to_string(announced_) + " announced",
                              offset);
        entries_.clear();
        data_.clear();
        return error;
    }
    stringsRead_ = true;
    return success();
}

std::span<const std::uint8_t> SharedStringTable::bytesOf(std::uint32_t index) const
{
    const Entry& entry = entries_[index];
    if (entry.length & copied)
        return std::span<const std::uint8_t>(data_).subspan(entry.offset, entry.length & ~copied);
    return {stream_ + entry.offset, entry.length};
}

SharedStringTable::Layout SharedStringTable::layoutOf(std::uint32_t index) const
{
    auto bytes = bytesOf(index);
    Layout layout;
    layout.characterCount = ByteReader::u16At(bytes, 0);
    std::uint8_t flags = bytes[2];
    layout.highByte = (flags & highByteFlag) != 0;
    layout.headerSize = 3;
    if (flags & richFlag) {
        layout.runBytes = std::size_t{ByteReader::u16At(bytes, 3)} * 4;
        layout.headerSize += 2;
    }
    if (flags & extFlag) {
        layout.extBytes = ByteReader::u32At(bytes, layout.headerSize);
        layout.headerSize += 4;
    }
    return layout;
}

std::u16string SharedStringTable::text(std::uint32_t index)
{
    if (!readStrings() || index >= size())
        return {};
    Layout layout = layoutOf(index);
    auto bytes = bytesOf(index).subspan(layout.headerSize, layout.characterCount * (layout.highByte ? 2 : 1));
    std::u16string text;
    text.reserve(layout.characterCount);
    for (std::size_t i = 0; i < layout.characterCount; ++i)
        text.push_back(layout.highByte ? ByteReader::u16At(bytes, 2 * i) : char16_t{bytes[i]});
    return text;
}

Result<std::uint32_t> SharedStringTable::add(const std::u16string& text)
{
    if (auto read = readStrings(); !read)
        return read.error();
    changed_ = true;
    if (!indexed_) {
        for (std::uint32_t i = 0; i < size(); ++i) {
            Layout layout = layoutOf(i);
            if (layout.runBytes == 0 && layout.extBytes == 0)
                plainIndex_.emplace(this->text(i), i);
        }
        indexed_ = true;
    }
    if (auto found = plainIndex_.find(text); found != plainIndex_.end())
        return found->second;
    std::size_t count = std::min<std::size_t>(text.size(), 0xFFFF);
    bool wide = std::any_of(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(count),
                            [](char16_t c) { return c > 0xFF; });
    auto index = size();
    Entry entry{static_cast<std::uint32_t>(data_.size()), 0};
    putU16(data_, static_cast<unsigned>(count));
    putU8(data_, wide ? highByteFlag : 0);
    for (std::size_t i = 0; i < count; ++i) {
        if (wide)
            putU16(data_, text[i]);
        else
            putU8(data_, text[i]);
    }
    entry.length = static_cast<std::uint32_t>(data_.size() - entry.offset) | copied;
    entries_.push_back(entry);
    plainIndex_.emplace(text, index);
    return index;
}

std::uint16_t SharedStringTable::bucketSize() const
{
    // At most 128 buckets, at least 8 strings each ([MS-XLS] 2.4.107).
    std::uint32_t perBucket = (size() + 127) / 128;
    return static_cast<std::uint16_t>(std::clamp<std::uint32_t>(perBucket, 8, 0xFFFF));
}

void SharedStringTable::writeAsRead(RecordWriter& out) const
{
    // EXTSST gives the stream positions of strings in the table: they move with it.
    const std::uint64_t position = out.offset();
    const std::uint64_t end = pieces_.back().offset + std::uint64_t{pieces_.back().length};
    std::vector<std::uint8_t> first(pieceBytes(pieces_.front()).begin(), pieceBytes(pieces_.front()).end());
    if (first.size() >= 4) // else the header goes on in a CONTINUE; it was never changed then
        setU32(first, 0, totalReferences_);
    out.write(RecordType::Sst, first);
    for (std::size_t i = 1; i < pieces_.size(); ++i)
        out.write(RecordType::Continue, pieceBytes(pieces_[i]));
    if (!readIndex_)
        return;
    auto stored = pieceBytes(*readIndex_);
    std::vector<std::uint8_t> index(stored.begin(), stored.end());
    for (std::size_t field = 2; field + 4 <= index.size(); field += 8) {
        std::uint32_t at = ByteReader::u32At(index, field);
        if (at >= readAt_ && at < end)
            setU32(index, field, static_cast<std::uint32_t>(at - readAt_ + position));
    }
    out.write(RecordType::ExtSst, index);
}

void SharedStringTable::write(RecordWriter& out) const
{
    // A table nobody added to goes back as it was read; so does one whose strings cannot be
    // read (nothing could be added to it).
    if (!pieces_.empty() && ((!changed_ && readIndex_) || !stringsRead_)) {
        writeAsRead(out);
        return;
    }
    struct Bucket {
        std::uint64_t streamOffset;
        std::uint16_t offsetInRecord;
    };
    std::vector<Bucket> buckets;
    std::uint16_t perBucket = bucketSize();

    PieceWriter pieces(out);
    std::vector<std::uint8_t> header;
    putU32(header, totalReferences_);
    putU32(header, size());
    pieces.put(header);
    for (std::uint32_t i = 0; i < size(); ++i) {
        Layout layout = layoutOf(i);
        std::size_t width = layout.highByte ? 2 : 1;
        const std::uint8_t* bytes = bytesOf(i).data();
        // The header and the first character stay together: a string never starts in one
        // record and has its characters begin in the next.
        std::size_t firstPart = layout.headerSize + (layout.characterCount > 0 ? width : 0);
        if (pieces.room() < firstPart)
            pieces.flush();
        if (i % perBucket == 0)
            buckets.push_back({pieces.nextOffset(), pieces.offsetInRecord()});
        pieces.put({bytes, layout.headerSize});
        const std::uint8_t* characters = bytes + layout.headerSize;
        std::size_t left = layout.characterCount;
        while (left > 0) {
            std::size_t fit = std::min(left, pieces.room() / width);
            if (fit == 0) {
                // The characters go on in a CONTINUE that repeats the option byte.
                pieces.flush();
                pieces.putByte(layout.highByte ? highByteFlag : 0);
                continue;
            }
            pieces.put({characters, fit * width});
            characters += fit * width;
            left -= fit;
        }
        // Formatting runs are never cut.
        const std::uint8_t* runs = characters;
        for (std::size_t r = 0; r < layout.runBytes; r += 4) {
            if (pieces.room() < 4)
                pieces.flush();
            pieces.put({runs + r, 4});
        }
        // Phonetic data: whole in one record when it fits in one.
        const std::uint8_t* ext = runs + layout.runBytes;
        std::size_t extLeft = layout.extBytes;
        if (extLeft > pieces.room() && extLeft <= RecordWriter::maxDataSize)
            pieces.flush();
        while (extLeft > 0) {
            if (pieces.room() == 0)
                pieces.flush();
            std::size_t fit = std::min(extLeft, pieces.room());
            pieces.put({ext, fit});
            ext += fit;
            extLeft -= fit;
        }
    }
    pieces.flush();

    std::vector<std::uint8_t> index;
    putU16(index, perBucket);
    for (const auto& bucket : buckets) {
        putU32(index, static_cast<std::uint32_t>(bucket.streamOffset));
        putU16(index, bucket.offsetInRecord);
        putU16(index, 0);
    }
    out.write(RecordType::ExtSst, index);
}

} // namespace tavorin::xls
