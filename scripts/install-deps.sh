#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Tavorin need, and only
# those that are missing. Runs apt-get directly as root, through sudo otherwise.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ make pkg-config ccache clang libclang-rt-14-dev clang-format
  qt6-base-dev qt6-base-dev-tools libgtest-dev googletest libbenchmark-dev zlib1g-dev libxxhash-dev
  # the .xlsx engine: zip packages and their XML parts
  libzip-dev libpugixml-dev
  # HEIC/HEIF photos (libheif decodes them); mirrored photos transposed without loss (libjpeg-turbo)
  libheif-dev libturbojpeg0-dev
  # running the window, its picture readers and its faces
  qt6-qpa-plugins qt6-image-formats-plugins fonts-ipafont-gothic fonts-ipafont-mincho
  # the Debian package (CPack, dpkg-shlibdeps, manual pages) and its checks; icon renders
  dpkg-dev file help2man man-db desktop-file-utils appstream lintian librsvg2-bin
  # screenshots under a virtual display
  xvfb xauth x11-apps imagemagick
  # the picture reduction benchmark compares with djpeg (libjpeg-turbo) and ImageMagick
  libjpeg-turbo-progs
  # independent readers that the tests use as oracles
  python3 python3-xlrd python3-olefile libreoffice-calc-nogui python3-uno libapache-poi-java default-jre-headless
  # openpyxl (with Pillow to load pictures): a second reader for .xlsx packages
  python3-openpyxl python3-pil
  # Carlito has Calibri's metrics: LibreOffice then draws Calibri workbooks' columns as Excel does
  fonts-crosextra-carlito
  # Gnumeric's ssconvert: a fourth reader for the pictures
  gnumeric
  # test photos: EXIF tags written and read by exiftool, HEIC made by heif-enc; pdftoppm turns
  # LibreOffice's PDF of a workbook into pixels
  libimage-exiftool-perl libheif-examples poppler-utils
  # PoiDump.java runs as a single-file source program: needs the compiler of a JDK
  default-jdk-headless
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "These packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
