#!/usr/bin/env bash
# Installs the Debian packages the build, the program and its tests need.
# Only missing packages are installed; nothing happens when all are present.
set -euo pipefail

packages=(
  cmake ninja-build g++ ccache make pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libxcb1-dev
  libhunspell-dev hunspell-en-us hunspell-en-gb
  liblink-grammar-dev link-grammar-dictionaries-en
  fonts-material-design-icons-iconfont fonts-inter fonts-quicksand fonts-dejavu-core
  libbenchmark-dev clang libclang-rt-dev
  xvfb xauth dbus xdotool
  libqt6svg6 qt6-svg-dev
  zlib1g-dev libzip-dev python3-docx
  qt6-pdf-dev poppler-utils
  qt6-multimedia-dev libavcodec-dev libavformat-dev libswresample-dev libavutil-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav gstreamer1.0-pulseaudio
  # The recorder's transcription; the English language model also tells
  # automatic spelling correction how common each word is.
  libpocketsphinx-dev libsphinxbase-dev pocketsphinx-en-us pocketsphinx-testdata
  libpulse-dev pulseaudio pulseaudio-utils sox espeak-ng
  libicu-dev
  libxcb-damage0-dev libxcb-shm0-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  SUDO=""
elif command -v sudo >/dev/null 2>&1; then
  SUDO="sudo"
else
  echo "Missing packages (${missing[*]}) and neither root nor sudo is available." >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
