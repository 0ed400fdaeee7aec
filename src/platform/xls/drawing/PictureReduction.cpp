#include "platform/xls/drawing/PictureReduction.h"

namespace tavorin::xls {

ReducedPictures reducedPictures(const std::vector<ShownPicture>& shown, const pictures::ReductionOptions& options,
                                const pictures::PictureReducer::Progress& progress)
{
    ReducedPictures reduced;
    reduced.pictures.resize(shown.size());
    std::vector<pictures::ReductionJob> jobs;
    std::vector<std::size_t> jobOf;
    for (std::size_t i = 0; i < shown.size() && options.on(); ++i) {
        const PictureFile& picture = *shown[i].picture;
        const bool jpeg = picture.blipType() == PictureFile::BlipType::Jpeg;
        if (!jpeg && picture.blipType() != PictureFile::BlipType::Png)
            continue;
        const PictureHeader& header = picture.header();
        auto target = pictures::reducedPixelSize(QSize(header.pixelWidth, header.pixelHeight),
                                                 QSizeF(shown[i].widthPoints, shown[i].heightPoints), options.dpi);
        if (!target)
            continue;
        const BlipPayload& payload = picture.payload();
        jobs.push_back({payload.file, payload.offset, payload.length, jpeg, *target});
        jobOf.push_back(i);
    }
    auto results = pictures::PictureReducer::reduceAll(jobs, options.jpegQuality, progress);
    for (std::size_t j = 0; j < results.size(); ++j) {
        const PictureFile& picture = *shown[jobOf[j]].picture;
        if (!results[j].ok()) {
            reduced.failed.push_back(picture.path());
            continue;
        }
        reduced.pictures[jobOf[j]] = std::make_shared<const PictureFile>(picture.storedAs(
            results[j].file, results[j].length, results[j].keepAlive, results[j].pixels.width(), results[j].pixels.height()));
    }
    return reduced;
}

} // namespace tavorin::xls
