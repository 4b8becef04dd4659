#!/usr/bin/env bash
# Installs the Debian packages Vorlune needs to build, play and test, and only
# those that are missing. Runs apt through sudo when not root.
set -euo pipefail

packages=(
  cmake g++ make ninja-build pkg-config ccache
  libsfml-dev libopenal-dev libbox2d-dev librapidxml-dev zlib1g-dev libzstd-dev
  # game pads (SDL's game-controller layer only)
  libsdl2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  # online play's transport
  libenet-dev
  fonts-dejavu-core
  xvfb xauth xdotool x11-utils imagemagick
  # checks the desktop entry that `cmake --install` writes
  desktop-file-utils
  libgl1-mesa-dri
  # clang and its libFuzzer runtime build the content readers' fuzz harnesses
  # (tools/fuzz), whose corpus pass is part of the test command.
  clang libclang-rt-14-dev
)

# The content generators (tools/make_content.py, tools/make_widget_test_images.py)
# need Python with numpy and PIL, and the music is encoded to Ogg Vorbis with
# oggenc (vorbis-tools); building, playing and testing do not, so
# they come only with --content.
# The map editor's command-line export and renderer (tiled --export-map,
# tmxrasterizer) remake the map test fixtures and their reference pictures
# and time the map benchmark against it; the tests themselves do not need
# them, so they come only with --tools.
for option in "$@"; do
  case "$option" in
    --content) packages+=(python3 python3-numpy python3-pil vorbis-tools) ;;
    --tools) packages+=(tiled) ;;
  esac
done

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
apt=(apt-get)
if [ "$(id -u)" -ne 0 ]; then
  apt=(sudo apt-get)
fi
export DEBIAN_FRONTEND=noninteractive
"${apt[@]}" update -qq
"${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}"
