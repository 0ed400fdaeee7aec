#include "platform/xls/drawing/ContentKey.h"

#define XXH_STATIC_LINKING_ONLY // the state lives inside State, no allocation that could fail
#include <xxhash.h>

#include <algorithm>

namespace tavorin::xls {
namespace {

ContentKey::Key canonical(XXH128_hash_t hash)
{
    XXH128_canonical_t bytes;
    XXH128_canonicalFromHash(&bytes, hash);
    ContentKey::Key key{};
    std::copy_n(bytes.digest, key.size(), key.begin());
    return key;
}

} // namespace

struct ContentKey::State {
    XXH3_state_t xxh;
};

ContentKey::ContentKey() : state_(std::make_unique<State>()) { XXH3_128bits_reset(&state_->xxh); }

ContentKey::~ContentKey() = default;

void ContentKey::add(std::span<const std::uint8_t> bytes)
{
    if (!bytes.empty())
        XXH3_128bits_update(&state_->xxh, bytes.data(), bytes.size());
}

ContentKey::Key ContentKey::finish() const { return canonical(XXH3_128bits_digest(&state_->xxh)); }

ContentKey::Key ContentKey::of(std::span<const std::uint8_t> bytes)
{
    return canonical(XXH3_128bits(bytes.data(), bytes.size()));
}

} // namespace tavorin::xls
