# Debian packages the project needs, and a function that installs whichever are missing.
# Sourced by scripts/run and scripts/test.

BUILD_PACKAGES=(
  cmake g++ make pkg-config
  libsdl2-dev libvorbis-dev libdeflate-dev libsndfile1-dev libaubio-dev libenet-dev
  libgl-dev libgl1-mesa-dri libegl-mesa0 libglx-mesa0
)
TEST_PACKAGES=(
  libgtest-dev libgmock-dev libbenchmark-dev libpng-dev zlib1g-dev libspng-dev
  python3 python3-numpy python3-pil sox vorbis-tools flac
  desktop-file-utils appstream dpkg-dev file
  xvfb openbox x11-xkb-utils xdotool
)

# The long runs of scripts/soak need these too.
SOAK_PACKAGES=(xvfb)
# Only scripts/loadtest needs these.
LOADTEST_PACKAGES=(xvfb pulseaudio pulseaudio-utils libpulse-dev vorbis-tools python3 python3-numpy xdotool)
# Only tools/songs/make_test_songs needs these, to remake the test songs in every format.
SONG_PACKAGES=(python3 python3-numpy vorbis-tools flac lame)
# Only scripts/record-replays needs these: its player watches the window and presses keys.
RECORD_PACKAGES=(xvfb openbox xdotool python3 python3-numpy python3-scipy python3-pil python3-xlib)

install_missing() {
  local missing=()
  local package
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$package")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing Debian packages: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
  fi
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
}
