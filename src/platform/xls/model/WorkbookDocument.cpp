#include "platform/xls/model/WorkbookDocument.h"

#include "platform/xls/compound/CompoundFileCopy.h"
#include "platform/xls/compound/CompoundFileWriter.h"
#include "platform/xls/model/WorkbookStreamWriter.h"

#include <QString>

#include <cerrno>
#include <cstring>
#include <random>
#include <unistd.h>

namespace tavorin::xls {
namespace {

Error saveError(const std::string& message) { return Error{message, "save", {}, {}}; }

std::string lowered(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::filesystem::path temporaryPath(const std::filesystem::path& target, unsigned attempt)
{
    static std::mt19937 generator(std::random_device{}());
    auto name = ".~" + target.filename().string() + "." + std::to_string(generator() % 1000000u + attempt) + ".tmp";
    return target.parent_path() / name;
}

bool hasWriteBit(std::filesystem::perms permissions)
{
    using std::filesystem::perms;
    return (permissions & (perms::owner_write | perms::group_write | perms::others_write)) != perms::none;
}

} // namespace

WorkbookDocument::WorkbookDocument(WorkbookFile file, WorkbookModel model)
    : file_(std::move(file)), model_(std::move(model))
{
}

Result<std::unique_ptr<WorkbookDocument>> WorkbookDocument::open(const std::filesystem::path& path)
{
    auto stamp = stampOf(path);
    auto file = WorkbookFile::open(path);
    if (!file)
        return file.error();
    auto stream = file->compoundFile().stream(file->workbookStream());
    if (!stream)
        return stream.error();
    if (auto size = stream->settleSize(); !size)
        return size.error();
    auto bytes = ByteBuffer::allocate(static_cast<std::size_t>(stream->size()));
    if (!bytes)
        return Error{"there is not enough memory for the workbook's Workbook stream", "workbook", {}, {}};
    if (auto status = stream->read(0, bytes->bytes()); !status)
        return status.error();
    auto model = WorkbookModel::read(std::move(*bytes));
    if (!model)
        return model.error();
    std::unique_ptr<WorkbookDocument> document(new WorkbookDocument(std::move(*file), std::move(*model)));
    document->sourcePath_ = std::filesystem::absolute(path).lexically_normal();
    document->sourceStamp_ = stamp;
    return document;
}

std::optional<WorkbookDocument::FileStamp> WorkbookDocument::stampOf(const std::filesystem::path& path)
{
    struct stat information {};
    if (::stat(path.c_str(), &information) != 0)
        return std::nullopt;
    return FileStamp{information.st_dev, information.st_ino, information.st_size, information.st_mtim};
}

Status WorkbookDocument::checkSourceUnchanged(const std::filesystem::path& target) const
{
    if (!sourceStamp_)
        return success();
    auto now = stampOf(target);
    const bool sameInode = now && now->device == sourceStamp_->device && now->inode == sourceStamp_->inode;
    if (target.lexically_normal() != sourcePath_ && !sameInode)
        return success(); // another file: the source is not replaced
    if (sameInode && now->size == sourceStamp_->size && now->modified.tv_sec == sourceStamp_->modified.tv_sec &&
        now->modified.tv_nsec == sourceStamp_->modified.tv_nsec)
        return success();
    return Error{"cannot save over " + target.string() +
                     ": another program changed or replaced it after it was read; it is left as it is now",
                 changedOnDiskLayer, {}, {}};
}

Status WorkbookDocument::write(OutputSink& out) const
{
    const CompoundFile& source = file_.compoundFile();
    const DirectoryEntry& entry = source.entries()[file_.workbookStream()];
    std::string streamPath = lowered(entry.utf8Name());
    CompoundFileWriter writer;
    // The Workbook stream sits directly in the root; everything else is copied as it was. It is
    // written under the name Excel reads BIFF8 from, also when it was read from a "Book".
    copyCompoundEntries(source, writer, [&](const std::string& path) { return lowered(path) == streamPath; });
    auto stream = std::make_shared<WorkbookStreamWriter>(model_);
    writer.addStream(CompoundFileWriter::root, u"Workbook", stream->size(),
                     [stream](OutputSink& sink) { return stream->write(sink); },
                     CompoundEntryInfo{entry.clsid, entry.stateBits, entry.created, entry.modified});
    return writer.write(out);
}

Status WorkbookDocument::saveAs(const std::filesystem::path& path, const SinkFactory& createSink) const
{
    std::filesystem::path target = path.is_absolute() ? path : std::filesystem::absolute(path);
    std::error_code code;
    auto status = std::filesystem::status(target, code);
    bool exists = std::filesystem::exists(status);
    if (exists && !std::filesystem::is_regular_file(status))
        return saveError("cannot save over " + target.string() + ": it is not a regular file");
    // Read-only by its mode counts, also for a user (root) whom the system would let write.
    if (exists && (::access(target.c_str(), W_OK) != 0 || !hasWriteBit(status.permissions())))
        return saveError("cannot save over " + target.string() + ": the file is read-only");
    auto folder = target.parent_path();
    auto folderStatus = std::filesystem::status(folder, code);
    if (!std::filesystem::is_directory(folderStatus))
        return saveError("cannot save " + target.string() + ": the folder does not exist");
    if (::access(folder.c_str(), W_OK) != 0 || !hasWriteBit(folderStatus.permissions()))
        return saveError("cannot save " + target.string() + ": the folder is read-only");
    if (auto unchanged = checkSourceUnchanged(target); !unchanged)
        return unchanged;

    SinkFactory factory = createSink ? createSink : [](const std::filesystem::path& file) -> Result<std::unique_ptr<OutputSink>> {
        auto sink = FileOutputSink::create(file);
        if (!sink)
            return sink.error();
        return std::unique_ptr<OutputSink>(std::move(*sink));
    };
    std::filesystem::path temporary;
    std::unique_ptr<OutputSink> sink;
    for (unsigned attempt = 0; attempt < 16 && !sink; ++attempt) {
        temporary = temporaryPath(target, attempt);
        if (std::filesystem::exists(temporary, code))
            continue;
        auto created = factory(temporary);
        if (!created)
            return saveError("cannot save " + target.string() + ": " + created.error().message);
        sink = std::move(*created);
    }
    if (!sink)
        return saveError("cannot save " + target.string() + ": no free temporary file name");

    auto discard = [&](const Error& error) {
        sink.reset();
        std::filesystem::remove(temporary, code);
        return saveError("cannot save " + target.string() + ": " + error.message);
    };
    if (auto written = write(*sink); !written)
        return discard(written.error());
    if (auto finished = sink->finish(); !finished)
        return discard(finished.error());
    sink.reset();
    if (exists)
        std::filesystem::permissions(temporary, status.permissions(), code);
    // Another program may have saved the workbook while this one was written: its work stays.
    if (auto unchanged = checkSourceUnchanged(target); !unchanged) {
        std::filesystem::remove(temporary, code);
        return unchanged;
    }
    auto written = stampOf(temporary);
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        return discard(Error{std::strerror(errno), "file", {}, {}});
    if (target.lexically_normal() == sourcePath_)
        sourceStamp_ = written;
    return success();
}

} // namespace tavorin::xls
