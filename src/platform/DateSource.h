#pragma once

namespace tavorin {

// Which date the date caption shows: when the picture file was created (the first-start
// choice), or when the photo was taken (EXIF DateTimeOriginal), falling back to the file's
// creation for a picture that records none.
enum class DateSource { FileCreated, PhotoTaken };

} // namespace tavorin
