#pragma once

// What the engine tests share: the engine, the readers and checks of tests/support, and helpers to open
// a document, take the Workbook stream out of a file, judge its positions, find POI's picture.

#include "platform/xls/compound/CompoundFile.h"
#include "platform/xls/model/CellEditor.h"
#include "platform/xls/model/WorkbookDocument.h"
#include "platform/xls/model/WorkbookFile.h"
#include "platform/xls/model/WorkbookStreamWriter.h"

#include "support/BiffStreamBuilder.h"
#include "support/CompoundFileBuilder.h"
#include "support/DrawingCensus.h"
#include "support/ExcelGrid.h"
#include "support/Files.h"
#include "support/OpenedWorkbook.h"
#include "support/Oracles.h"
#include "support/PngWithResolution.h"
#include "support/SamplePictures.h"
#include "support/SavedWorkbook.h"
#include "support/StreamLayout.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonObject>

#include <cmath>
#include <set>

#include <gtest/gtest.h>

namespace tavorin::test {

inline std::unique_ptr<xls::WorkbookDocument> openDocument(const std::filesystem::path& path)
{
    auto document = xls::WorkbookDocument::open(path);
    EXPECT_TRUE(document.ok()) << (document.ok() ? "" : document.error().describe());
    return document.ok() ? std::move(*document) : nullptr;
}

// A report without the file name, which differs between a workbook and its copy.
inline QJsonObject withoutFileName(std::optional<QJsonObject> report)
{
    if (!report)
        return {};
    report->remove("file");
    return *report;
}

// What POI reports of the picture of that name; POI keeps the name's terminating zero.
inline QJsonObject poiPicture(const QJsonObject& sheet, const std::string& name)
{
    for (const auto& value : sheet["pictures"].toArray())
        if (value.toObject()["name"].toString().remove(QChar(0)).toStdString() == name)
            return value.toObject();
    ADD_FAILURE() << "POI finds no picture " << name << " on " << sheet["name"].toString().toStdString();
    return {};
}

} // namespace tavorin::test
