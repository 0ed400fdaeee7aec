#include "support/LibreOfficePages.h"

#include "support/Files.h"
#include "support/ProcessResult.h"

#include <QDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <set>

namespace tavorin::test {

std::vector<std::vector<QImage>> libreOfficePages(const std::vector<std::filesystem::path>& workbooks,
                                                  const std::filesystem::path& folder, int dpi)
{
    std::vector<std::vector<QImage>> pages(workbooks.size());
    // One folder takes every PDF: two workbooks of one name would print over each other.
    std::set<std::filesystem::path> stems;
    for (const auto& workbook : workbooks)
        if (!stems.insert(workbook.stem()).second) {
            ADD_FAILURE() << "two workbooks named " << workbook.stem() << " would be printed into one PDF";
            return pages;
        }
    const std::filesystem::path out = folder / "rendered";
    std::filesystem::create_directories(out);
    QStringList arguments{QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(pathText(folder / "profile")).toString(),
                          "--headless", "--norestore", "--convert-to", "pdf", "--outdir", pathText(out)};
    for (const auto& workbook : workbooks)
        arguments << pathText(workbook);
    const ProcessResult converted = runProcess(QStringLiteral("soffice"), arguments, 300000);
    if (!converted.finished || converted.exitCode != 0) {
        ADD_FAILURE() << "LibreOffice (soffice) did not convert the workbooks to PDF: "
                      << converted.standardError.toStdString();
        return pages;
    }
    for (std::size_t i = 0; i < workbooks.size(); ++i) {
        const std::filesystem::path pdf = out / workbooks[i].filename().replace_extension(".pdf");
        const std::filesystem::path prefix = out / ("page-" + std::to_string(i));
        const ProcessResult drawn =
            runProcess(QStringLiteral("pdftoppm"), {"-png", "-r", QString::number(dpi), pathText(pdf), pathText(prefix)});
        if (!drawn.finished || drawn.exitCode != 0) {
            ADD_FAILURE() << "pdftoppm (poppler-utils) did not draw " << pdf << ": " << drawn.standardError.toStdString();
            continue;
        }
        const QStringList names =
            QDir(pathText(out)).entryList({QString::fromStdString(prefix.filename().string()) + "-*.png"}, QDir::Files, QDir::Name);
        for (const QString& name : names)
            pages[i].push_back(QImage(pathText(out) + '/' + name));
    }
    return pages;
}

} // namespace tavorin::test
