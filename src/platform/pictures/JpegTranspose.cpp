#include "platform/pictures/JpegTranspose.h"

#include <turbojpeg.h>

namespace tavorin::pictures {

std::optional<std::vector<std::uint8_t>> transposedJpeg(std::span<const std::uint8_t> jpeg, std::string& error)
{
    tjhandle handle = tjInitTransform();
    if (handle == nullptr) {
        error = "libjpeg-turbo cannot start";
        return std::nullopt;
    }
    tjtransform transform{};
    transform.op = TJXOP_TRANSPOSE;
    transform.options = TJXOPT_PERFECT;
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    const int status = tjTransform(handle, jpeg.data(), static_cast<unsigned long>(jpeg.size()), 1, &out, &outSize,
                                   &transform, 0);
    std::optional<std::vector<std::uint8_t>> result;
    if (status == 0 && out != nullptr)
        result.emplace(out, out + outSize);
    else
        error = tjGetErrorStr2(handle);
    tjFree(out);
    tjDestroy(handle);
    return result;
}

} // namespace tavorin::pictures
