#include "platform/xls/model/WorkbookDocument.h"

#include "platform/xls/compound/CompoundFileCopy.h"
#include "platform/xls/drawing/DrawingGroup.h"
#include "platform/xls/drawing/PictureReduction.h"
#include "platform/xls/drawing/SheetDrawing.h"
#include "platform/xls/model/WorkbookStreamWriter.h"

#include <algorithm>

namespace tavorin::xls {
namespace {

// Passes bytes on and tells how much of the whole has gone, in steps of a hundredth.
class ProgressSink final : public OutputSink {
public:
    ProgressSink(OutputSink& target, std::uint64_t total, const std::function<void(double)>& progress)
        : target_(target), total_(std::max<std::uint64_t>(total, 1)), progress_(progress)
    {
    }
    Status write(std::span<const std::uint8_t> bytes) override
    {
        auto status = target_.write(bytes);
        const auto hundredths = static_cast<int>(target_.written() * 100 / total_);
        if (progress_ && hundredths != told_) {
            told_ = hundredths;
            progress_(std::min(1.0, hundredths / 100.0));
        }
        return status;
    }
    Status finish() override { return target_.finish(); }
    std::uint64_t written() const override { return target_.written(); }

private:
    OutputSink& target_;
    std::uint64_t total_;
    const std::function<void(double)>& progress_;
    int told_ = -1;
};

std::string lowered(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

} // namespace

WorkbookDocument::WorkbookDocument(WorkbookFile file, WorkbookModel model, AtomicSave save)
    : file_(std::move(file)), model_(std::move(model)), atomicSave_(std::move(save))
{
}

Result<std::unique_ptr<WorkbookDocument>> WorkbookDocument::open(const std::filesystem::path& path)
{
    AtomicSave stampBeforeReading(path);
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
    return std::unique_ptr<WorkbookDocument>(
        new WorkbookDocument(std::move(*file), std::move(*model), std::move(stampBeforeReading)));
}

CompoundFileWriter WorkbookDocument::compose() const
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
    return writer;
}

std::vector<std::filesystem::path> WorkbookDocument::reducePictures(const pictures::ReductionOptions& options,
                                                                    const pictures::PictureReducer::Progress& progress)
{
    DrawingGroup* group = model_.drawingGroupEdit.get();
    if (!options.on() || !group || group->addedPictures().empty())
        return {};
    std::vector<ShownPicture> shown;
    for (const auto& picture : group->addedPictures())
        shown.push_back({picture, 0, 0});
    const std::size_t first = group->storedBlipCount() + 1;
    for (const auto& sheet : model_.sheets) {
        if (!sheet->drawingEdit)
            continue;
        for (const PictureShape& shape : sheet->drawingEdit->pictures()) {
            if (shape.pib < first || shape.pib - first >= shown.size())
                continue;
            ShownPicture& largest = shown[shape.pib - first];
            largest.widthPoints = std::max(largest.widthPoints, shape.width);
            largest.heightPoints = std::max(largest.heightPoints, shape.height);
        }
    }
    auto reduced = reducedPictures(shown, options, progress);
    for (std::size_t i = 0; i < reduced.pictures.size(); ++i)
        if (reduced.pictures[i])
            group->replaceAdded(i, std::move(reduced.pictures[i]));
    return std::move(reduced.failed);
}

Status WorkbookDocument::write(OutputSink& out) const { return compose().write(out); }

Result<std::uint64_t> WorkbookDocument::sizeExcelOpens(const CompoundFileWriter& writer)
{
    auto size = writer.fileSize();
    if (!size)
        return size.error();
    if (*size <= largestFile && writer.largestStream() <= largestFile)
        return *size;
    constexpr std::uint64_t megabyte = 1024 * 1024;
    const std::string would = std::to_string((*size + megabyte - 1) / megabyte) + " MB";
    return Error{"the workbook would be " + would +
                     ", larger than the 2048 MB an Excel 97-2003 workbook may be; nothing was written",
                 "workbook", {}, {}}
        .ofKind(ErrorKind::WorkbookTooLarge, would);
}

Status WorkbookDocument::saveAs(const std::filesystem::path& path, const SinkFactory& createSink,
                                const std::function<void(double)>& progress) const
{
    // Measured before the temporary file exists, so that a refused workbook leaves nothing.
    const CompoundFileWriter writer = compose();
    auto size = sizeExcelOpens(writer);
    if (!size)
        return size.error();
    return atomicSave_.saveAs(path, [&](const std::filesystem::path& temporary) -> Status {
        auto created = createSink ? createSink(temporary) : [&]() -> Result<std::unique_ptr<OutputSink>> {
            auto sink = FileOutputSink::create(temporary);
            if (!sink)
                return sink.error();
            return std::unique_ptr<OutputSink>(std::move(*sink));
        }();
        if (!created)
            return created.error();
        ProgressSink told(**created, *size, progress);
        if (auto written = writer.write(told); !written)
            return written;
        return told.finish();
    });
}

} // namespace tavorin::xls
