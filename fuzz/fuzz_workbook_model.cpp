// Feeds arbitrary bytes to the editing engine as a Workbook stream: the model is read, every
// other sheet is read with its drawing, the first sheet is copied and edited, and the whole
// stream is written again. Whatever the input, each step must either work or return an error.
#include "platform/xls/model/CellEditor.h"
#include "platform/xls/compound/OutputSink.h"
#include "platform/xls/model/SheetCopier.h"
#include "platform/xls/model/WorkbookDrawings.h"
#include "platform/xls/model/WorkbookModel.h"
#include "platform/xls/model/WorkbookStreamWriter.h"

#include <cstddef>
#include <cstdint>
#include <vector>

using namespace tavorin::xls;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto model = WorkbookModel::read(std::vector<std::uint8_t>(data, data + size));
    if (!model)
        return 0;

    (void)WorkbookDrawings::group(*model);
    // Every other sheet is read (with its drawing); the rest stay unread and are written back
    // as they lie in the stream.
    for (std::size_t i = 0; i < model->sheets.size(); i += 2)
        (void)WorkbookDrawings::drawingOf(*model, *model->sheets[i]);
    if (model->sharedStrings)
        (void)model->sharedStrings->readStrings();

    if (!model->sheets.empty()) {
        SheetCopier copier(*model);
        auto copy = copier.copyAfter(0, model->sheets.size() - 1);
        auto& sheet = *model->sheets[copy ? *copy : 0];
        CellEditor cells(*model, sheet);
        (void)cells.setText(2, 3, u"写真 1");
        (void)cells.setDate(3, 3, 36964.5625);
        (void)cells.setNumberFormat(3, 3, u"yyyy/m/d");
        (void)cells.setNumber(70, 1, 12.5);
    }

    WorkbookStreamWriter writer(*model);
    MemoryOutputSink out;
    (void)writer.write(out);
    return 0;
}
