// Pictures as phones and the web make them, through the whole run on both engines: a phone's
// HEIC (coded sideways, turned by its own box), a HEIC made by heif-enc, WebP with and without
// transparency, each stored as what LibreOffice then decodes (JPEG, or PNG for transparency) at
// the size it shows; the date caption from the date taken or, without one, the file's creation;
// and pictures that cannot be placed told in Japanese.

#include "platform/pictures/PhotoTakenTime.h"
#include "run/InsertionRun.h"
#include "support/EngineRun.h"
#include "support/Files.h"
#include "support/Oracles.h"
#include "support/RunBlock.h"
#include "support/PhotoSamples.h"
#include "support/ProcessResult.h"
#include "support/TemporaryFolder.h"
#include "support/TestPaths.h"

#include "platform/AnyFormatApplication.h"

#include <QDate>
#include <QJsonArray>
#include <QPainter>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cstring>

namespace tavorin::test {
namespace {

const QSize shownSize(120, 192);
const CalendarDateTime created{2001, 3, 14, 13, 30, 0, 0};

// The serial number a spreadsheet stores for a date and time (days since 1899-12-30).
double serialOf(int year, int month, int day, int hour, int minute, int second)
{
    return double(QDate(1899, 12, 30).daysTo(QDate(year, month, day))) + (hour * 3600 + minute * 60 + second) / 86400.0;
}
const double createdSerial = serialOf(2001, 3, 14, 13, 30, 0);

struct Kind {
    const char* file;
    const char* mime; // as LibreOffice decodes the stored picture; null: not placed
    double takenSerial; // what the date caption shows when it shows the date taken
};

// Writes the pictures of the table into folder.
void writePictures(const std::filesystem::path& folder)
{
    const QImage upright = uprightPhoto(shownSize);
    writeHeic(folder / "IMG_0001.HEIC", storedPixels(upright, 6), 6, exifTiff({6, "2019:07:21 08:15:42", true}));
    writeFile(folder / "source.jpg", jpegWithExif(upright, {1, "2020:01:02 03:04:05", false}));
    const ProcessResult made = runProcess(QStringLiteral("heif-enc"), {"-q", "90", "-o", pathText(folder / "made.heif"),
                                                                       pathText(folder / "source.jpg")});
    EXPECT_TRUE(made.finished && made.exitCode == 0) << "heif-enc (libheif-examples): " << made.standardError.toStdString();
    writeFile(folder / "opaque.WEBP", encodedImage(upright, "webp"));
    QImage clear = upright.convertToFormat(QImage::Format_ARGB32);
    {
        QPainter painter(&clear);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(QRect(QPoint(20, 80), QSize(40, 40)), Qt::transparent);
    }
    writeFile(folder / "clear.webp", encodedImage(clear, "webp"));
    writeFile(folder / "camera.jpg", jpegWithExif(upright, {std::nullopt, "2018:05:06 07:08:09", false}));
    writeFile(folder / "plain.jpg", jpegWithExif(upright, {}));
    const Bytes heic = fileBytes(folder / "IMG_0001.HEIC");
    writeFile(folder / "cut.heic", Bytes(heic.begin(), heic.begin() + 300));
    writeText(folder / "notes.webp", "these are notes, not a picture\n");
}

const std::vector<Kind> kinds{
    {"IMG_0001.HEIC", "image/jpeg", serialOf(2019, 7, 21, 8, 15, 42)},
    {"made.heif", "image/jpeg", serialOf(2020, 1, 2, 3, 4, 5)},
    {"opaque.WEBP", "image/jpeg", createdSerial},
    {"clear.webp", "image/png", createdSerial},
    {"camera.jpg", "image/jpeg", serialOf(2018, 5, 6, 7, 8, 9)},
    {"plain.jpg", "image/jpeg", createdSerial},
    {"cut.heic", nullptr, createdSerial},
    {"notes.webp", nullptr, createdSerial},
};

// Blocks of rows 2-9, 11-18, ... in columns B:E; each picture's date below its block, in column B.
RunOptions optionsFor(const std::filesystem::path& workbook, const QStringList& sheets, int sheet,
                      const std::filesystem::path& pictures, DateSource source)
{
    RunOptions options = EngineRun::optionsFor(workbook, sheets, sheet);
    setBlock(options, 2, 5, 2, 9, 1);
    options.dateCaption = {true, 10, 2};
    options.dateFormat = 3;
    options.dateSource = source;
    for (const Kind& kind : kinds)
        options.pictures.push_back(EngineRun::pictureRow(pictures / kind.file, QStringLiteral("○")));
    return options;
}

QString dateCell(std::size_t index) { return QStringLiteral("B%1").arg(10 + 9 * int(index)); }

// The run as the window starts it, with the date taken read from the photos and a fixed clock.
RunOutcome runWithDates(const RunOptions& options)
{
    EngineRun observer;
    RunEnvironment environment;
    environment.workbookOpenElsewhere = [](const std::filesystem::path&) { return std::optional<WorkbookUser>(); };
    environment.createApplication = [](FitFor fitFor) { return std::make_unique<AnyFormatApplication>(fitFor); };
    environment.fileCreationTime = [](const std::filesystem::path&) { return std::optional(created); };
    environment.photoTakenTime = &pictures::photoTakenTime;
    environment.longDateToday = [] { return QStringLiteral("2026年12月7日"); };
    environment.observer = &observer;
    return runInsertion(options, environment);
}

struct EngineCase {
    const char* workbook;
    QStringList sheets;
    int sheet;
    DateSource source;
};

std::string engineName(const ::testing::TestParamInfo<EngineCase>& info)
{
    return std::string(std::filesystem::path(info.param.workbook).extension() == ".xls" ? "Xls" : "Xlsx") +
           (info.param.source == DateSource::PhotoTaken ? "DateTaken" : "DateCreated");
}

class PhotoKinds : public ::testing::TestWithParam<EngineCase> {};

TEST_P(PhotoKinds, StoredAsLibreOfficeDecodesThemDatedAndRefusedInJapanese)
{
    const EngineCase& engine = GetParam();
    TemporaryFolder folder;
    writePictures(folder.path());
    const auto workbook = folder / engine.workbook;
    std::filesystem::copy_file(workbookFixture(engine.workbook), workbook);
    const RunOutcome outcome = runWithDates(optionsFor(workbook, engine.sheets, engine.sheet, folder.path(), engine.source));

    EXPECT_TRUE(outcome.saved) << outcome.saveError.toStdString();
    EXPECT_EQ(outcome.placed, 6);
    ASSERT_EQ(outcome.unplaced.size(), 2u);
    EXPECT_TRUE(outcome.unplaced[0].reason.startsWith(QStringLiteral("画像が壊れているか、読み取れない種類のファイルです")))
        << outcome.unplaced[0].reason.toStdString();
    EXPECT_TRUE(outcome.unplaced[1].reason.startsWith(QStringLiteral("対応していない形式のファイルです")))
        << outcome.unplaced[1].reason.toStdString();
    // After "  処理終了！" each picture left out is named with its reason, in Japanese up to any
    // technical detail in brackets.
    const QString listed = outcome.message.section(QStringLiteral("配置できなかった画像："), 1);
    for (const char* name : {"cut.heic … ", "notes.webp … "}) {
        const qsizetype at = listed.indexOf(QString::fromUtf8(name));
        ASSERT_GE(at, 0) << name << " is not listed in: " << outcome.message.toStdString();
        const QString sentence = listed.mid(at + qsizetype(std::strlen(name))).section(QStringLiteral("（"), 0, 0).section('\r', 0, 0);
        EXPECT_FALSE(sentence.contains(QRegularExpression(QStringLiteral("[A-Za-z]")))) << sentence.toStdString();
    }

    QStringList dateCells;
    for (std::size_t i = 0; i < kinds.size(); ++i)
        dateCells << engine.sheets[engine.sheet] + '!' + dateCell(i);
    const auto report = libreOfficeReport(workbook, dateCells);
    ASSERT_TRUE(report);
    const QJsonObject sheet = sheetNamed(*report, engine.sheets[engine.sheet], "LibreOffice");
    const QJsonArray graphics = sheet["graphics"].toArray();
    ASSERT_EQ(graphics.size(), 6);
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        SCOPED_TRACE(kinds[i].file);
        if (kinds[i].mime != nullptr) {
            const QJsonObject graphic = graphics[int(i)].toObject();
            EXPECT_EQ(graphic["mimeType"].toString().toStdString(), kinds[i].mime);
            EXPECT_EQ(graphic["pixelWidth"].toInt(), shownSize.width());
            EXPECT_EQ(graphic["pixelHeight"].toInt(), shownSize.height());
        }
        const double expected = engine.source == DateSource::PhotoTaken ? kinds[i].takenSerial : createdSerial;
        EXPECT_NEAR(cellOf(sheet, dateCell(i))["value"].toDouble(), expected, 1e-6);
    }
}

INSTANTIATE_TEST_SUITE_P(Photos, PhotoKinds,
                         ::testing::Values(EngineCase{"plain.xls", {"Sheet1"}, 0, DateSource::PhotoTaken},
                                           EngineCase{"ledger.xlsx", {"Sheet1", "My Sheet"}, 1, DateSource::FileCreated}),
                         engineName);

} // namespace
} // namespace tavorin::test
