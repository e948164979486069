# shellcheck shell=bash disable=SC2034
# Sourced by the scripts: installs the Debian 12 packages a command needs, only those missing.
#   source scripts/needs.sh; needs "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

# Building and running the program: the build tools and the libraries it links.
RUN_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev libpulse-dev
              flite1-dev)
# What the tests use besides: the validators of the installed desktop entry, AppStream metainfo
# and manual pages, the fonts the layouts are measured with on the offscreen platform, and a
# private sound server for the speakers' tests.
TEST_PACKAGES=(desktop-file-utils appstream man-db fonts-dejavu-core pulseaudio pulseaudio-utils)

needs() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
