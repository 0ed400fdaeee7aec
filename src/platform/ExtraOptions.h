#pragma once

#include "platform/DateSource.h"
#include "platform/FitFor.h"

#include <filesystem>

namespace tavorin {

// The options that came after the 49-byte settings record, which keeps its layout: they live in
// a second file beside it, "options.ini" (Qt's INI form, one key per option). A missing file, a
// missing key or a value that is no choice reads as the first-start value.
struct ExtraOptions {
    FitFor fitFor = FitFor::Excel;
    bool photoOrientation = true; // photos turned as viewers show them
    DateSource dateSource = DateSource::FileCreated;
    bool reducePictures = false;
    int pictureResolution = 150; // what they are reduced to (50 to 600 dpi), kept while reduction is off

    // The file beside the settings record.
    static std::filesystem::path fileBeside(const std::filesystem::path& settingsFile);
    static ExtraOptions read(const std::filesystem::path& file);
    // False when the file could not be written.
    bool write(const std::filesystem::path& file) const;
};

} // namespace tavorin
