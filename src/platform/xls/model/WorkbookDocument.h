#pragma once

#include "platform/xls/compound/OutputSink.h"
#include "platform/xls/Result.h"
#include "platform/xls/model/WorkbookFile.h"
#include "platform/xls/model/WorkbookModel.h"

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

namespace tavorin::xls {

// An .xls file opened for editing: the compound file it came from (its other streams and
// storages are copied through on save) and the model of its Workbook stream.
class WorkbookDocument {
public:
    // Makes the sink a save writes into; the default creates the file (which must not exist).
    using SinkFactory = std::function<Result<std::unique_ptr<OutputSink>>(const std::filesystem::path&)>;

    static Result<std::unique_ptr<WorkbookDocument>> open(const std::filesystem::path& path);

    WorkbookModel& model() { return model_; }
    const WorkbookModel& model() const { return model_; }

    // Writes the whole compound file into out (finish() is left to the caller).
    Status write(OutputSink& out) const;

    // Replaces the file at path atomically: the workbook is written to a temporary file in the
    // same folder, synced, and renamed over path. On any failure the temporary file is removed
    // and a file already at path is left as it was. Saving over the file the workbook was read
    // from fails (layer changedOnDiskLayer) when that file changed or was replaced since it was
    // read: it is checked before writing and again just before the rename.
    Status saveAs(const std::filesystem::path& path, const SinkFactory& createSink = {}) const;

private:
    // A file as it was at one moment: the same stamp means the same file, unchanged.
    struct FileStamp {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};
    };

    WorkbookDocument(WorkbookFile file, WorkbookModel model);
    static std::optional<FileStamp> stampOf(const std::filesystem::path& path);
    Status checkSourceUnchanged(const std::filesystem::path& target) const;

    WorkbookFile file_;
    WorkbookModel model_;
    // The file read, stamped before reading (a change while reading counts as a change). A save
    // over it moves the stamp to the file written.
    std::filesystem::path sourcePath_;
    mutable std::optional<FileStamp> sourceStamp_;
};

} // namespace tavorin::xls
