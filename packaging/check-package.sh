#!/usr/bin/env bash
# Makes the Debian package from a build folder, into a folder of its own, and checks it as a
# user's machine would take it: what it installs, the desktop entry, the AppStream metadata,
# lintian, the dependencies, and tavorin-batch and its manual page run from an unpacked copy.
# Usage: packaging/check-package.sh BUILD_DIR APP_ID
set -euo pipefail

build=$(realpath "$1")
app_id=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

if ! cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    fail "cpack could not make the package"
    exit 1
fi
debs=("$work"/tavorin_*.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || { fail "expected one tavorin_*.deb, found: ${debs[*]}"; exit 1; }
deb=${debs[0]}
echo "package: $(basename "$deb")"

root="$work/root"
dpkg-deb -x "$deb" "$root"

expected=(
    usr/bin/tavorin usr/bin/tavorin-batch
    "usr/share/applications/$app_id.desktop" "usr/share/metainfo/$app_id.metainfo.xml"
    "usr/share/icons/hicolor/scalable/apps/$app_id.svg"
    usr/share/man/man1/tavorin.1.gz usr/share/man/man1/tavorin-batch.1.gz
    usr/share/doc/tavorin/copyright usr/share/doc/tavorin/changelog.gz
)
for size in 16 32 48 64 128 256; do
    expected+=("usr/share/icons/hicolor/${size}x$size/apps/$app_id.png")
done
for file in "${expected[@]}"; do
    [[ -f "$root/$file" ]] || fail "the package lacks /$file"
done
# System libraries come from their own packages, never as copies in this one.
bundled=$(find "$root" -name '*.so*' -printf '/%P\n')
[[ -z "$bundled" ]] || fail "the package carries libraries: $bundled"

desktop-file-validate "$root/usr/share/applications/$app_id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" || fail "appstreamcli validate"
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian reports errors"

# The libraries come from the binaries (dpkg-shlibdeps), the run-time additions from CMake.
depends=$(dpkg-deb --field "$deb" Depends)
echo "Depends: $depends"
for dependency in libqt6widgets6 libqt6gui6 libqt6core6 libc6 qt6-image-formats-plugins fonts-ipafont-gothic; do
    grep -Eq "(^|, )$dependency( |,|$)" <<<"$depends" || fail "Depends lacks $dependency"
done
apt-get install --simulate --no-install-recommends "$deb" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log" >&2; fail "apt-get cannot install the package here"; }

for program in tavorin tavorin-batch; do
    if ldd "$root/usr/bin/$program" | grep -q 'not found'; then
        fail "$program misses libraries: $(ldd "$root/usr/bin/$program" | grep 'not found')"
    fi
done
help=$("$root/usr/bin/tavorin-batch" --help) || fail "tavorin-batch --help exits with $?"
grep -q '^Usage: tavorin-batch COMMAND' <<<"$help" || fail "tavorin-batch --help prints no usage: $help"
manual=$(MANPATH="$root/usr/share/man" MANWIDTH=100 man tavorin-batch 2>&1) || fail "man tavorin-batch: $manual"
for section in SYNOPSIS '--per-sheet N|ALL' EXAMPLES; do
    grep -qF -- "$section" <<<"$manual" || fail "the manual page lacks $section"
done

[[ $failed -eq 0 ]] && echo "the package checks passed"
exit "$failed"
