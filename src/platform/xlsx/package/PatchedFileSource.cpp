#include "platform/xlsx/package/PatchedFileSource.h"

#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <span>
#include <fcntl.h>
#include <unistd.h>

namespace tavorin::xlsx {
namespace {

struct State {
    FileRange range;
    int descriptor = -1;
    std::uint64_t position = 0;
    zip_error_t error{};

    void close()
    {
        if (descriptor >= 0)
            ::close(descriptor);
        descriptor = -1;
    }
};

zip_int64_t fail(State& state, int code)
{
    zip_error_set(&state.error, code, errno);
    return -1;
}

zip_int64_t read(State& state, void* data, zip_uint64_t length)
{
    const std::uint64_t wanted = std::min<std::uint64_t>(length, state.range.length - state.position);
    auto* into = static_cast<std::uint8_t*>(data);
    std::uint64_t done = 0;
    while (done < wanted) {
        const ssize_t count = ::pread(state.descriptor, into + done, wanted - done,
                                      static_cast<off_t>(state.range.offset + state.position + done));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return fail(state, ZIP_ER_READ);
        done += static_cast<std::uint64_t>(count);
    }
    pictures::applyPatches(std::span(into, static_cast<std::size_t>(done)), state.range.offset + state.position,
                           state.range.patches);
    state.position += done;
    return static_cast<zip_int64_t>(done);
}

zip_int64_t callback(void* user, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    auto& state = *static_cast<State*>(user);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        state.close();
        state.descriptor = ::open(state.range.file.c_str(), O_RDONLY | O_CLOEXEC);
        state.position = 0;
        return state.descriptor < 0 ? fail(state, ZIP_ER_OPEN) : 0;
    case ZIP_SOURCE_READ:
        return read(state, data, length);
    case ZIP_SOURCE_CLOSE:
        state.close();
        return 0;
    case ZIP_SOURCE_STAT: {
        auto* stat = static_cast<zip_stat_t*>(data);
        zip_stat_init(stat);
        stat->size = state.range.length;
        stat->valid |= ZIP_STAT_SIZE;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&state.error, data, length);
    case ZIP_SOURCE_FREE:
        state.close();
        zip_error_fini(&state.error);
        delete &state;
        return 0;
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                              ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    default:
        zip_error_set(&state.error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

} // namespace

zip_source* PatchedFileSource::make(zip* archive, const FileRange& range)
{
    auto* state = new State{range};
    zip_error_init(&state->error);
    zip_source* source = zip_source_function(archive, callback, state);
    if (source == nullptr) {
        zip_error_fini(&state->error);
        delete state;
    }
    return source;
}

} // namespace tavorin::xlsx
