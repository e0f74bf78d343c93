#!/usr/bin/env bash
# Installs the Debian packages Ruvizaro needs to build, run and test.
# This is the one place that lists them. Idempotent: when everything is
# present it only asks dpkg and returns at once.
set -euo pipefail

PAQUETS=(
  # build
  g++ cmake ninja-build pkg-config
  # fuzz targets: clang and its libFuzzer and sanitizer runtimes
  clang libclang-rt-14-dev
  # user interface; Qt's own texts in French; the skin generator's SVG icon
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl1-mesa-dri
  qt6-translations-l10n qt6-svg-dev
  adwaita-icon-theme shared-mime-info
  fonts-dejavu-core fonts-liberation2 fonts-comic-neue
  # the desktop: applications registered for a type (GIO), the file manager over D-Bus
  libglib2.0-dev
  # pictures
  libjpeg62-turbo-dev
  # sound
  libavformat-dev libavcodec-dev libswresample-dev libavutil-dev libsdl2-dev
  libfluidsynth-dev timgm6mb-soundfont libfftw3-dev ffmpeg
  # video
  libmpv-dev
  # benchmarks: the cold-cache yardstick (fdfind)
  fd-find
  # tests: unit tests, real windows, real input, screenshots
  libgtest-dev xvfb xauth x11-utils xdotool imagemagick trayer
  # tests: the files' menu against a private bus, a stand-in file manager
  # and the X clipboard
  dbus-daemon libglib2.0-bin python3-dbus python3-gi gir1.2-glib-2.0 xclip
  # tests: GTK windows, as file managers are: one takes a drop from the trees,
  # one drags a folder onto the window
  gir1.2-gtk-3.0
  # tests: the program under the GTK platform theme with a dark GTK theme
  qt6-gtk-platformtheme
  # packaging and its checks: dpkg-shlibdeps, desktop entry, metainfo, manual page
  dpkg-dev file lintian desktop-file-utils appstream man-db libxml2-utils
  # what the package recommends, installed so the checks can name its owner:
  # the desktop's opener of documents, Qt's SVG plugins
  xdg-utils libqt6svg6
)

manquants=()
for p in "${PAQUETS[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    manquants+=("$p")
  fi
done

if [ ${#manquants[@]} -gt 0 ]; then
  echo "setup: installing ${manquants[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${manquants[@]}" >/dev/null
fi
