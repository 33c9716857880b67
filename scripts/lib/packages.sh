# Sourced by the scripts: installs Debian packages only when they are missing.

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# ensure_packages PKG...: apt-get install the ones dpkg does not report as installed.
ensure_packages() {
    missing=""
    for pkg in "$@"; do
        status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
        case "$status" in
        *"install ok installed"*) ;;
        *) missing="$missing $pkg" ;;
        esac
    done
    [ -z "$missing" ] && return 0
    echo "Installing:$missing"
    as_root apt-get update -qq
    # shellcheck disable=SC2086
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
}

# ensure_architecture ARCH: lets dpkg install packages of a foreign architecture (wine32 needs
# i386) and refreshes the package lists.
ensure_architecture() {
    dpkg --print-architecture | grep -qx "$1" && return 0
    dpkg --print-foreign-architectures | grep -qx "$1" && return 0
    echo "Adding the $1 architecture"
    as_root dpkg --add-architecture "$1"
    as_root apt-get update -qq
}

BUILD_PACKAGES="cmake g++ make pkg-config qt6-base-dev libcanberra-dev libasound2-dev"
RUN_PACKAGES="$BUILD_PACKAGES sound-theme-freedesktop libcanberra0"
TEST_PACKAGES="$RUN_PACKAGES googletest libgtest-dev libgmock-dev clang-format xvfb openbox trayer xdotool x11-utils imagemagick alsa-utils dpkg-dev lintian desktop-file-utils appstream libglib2.0-bin systemd man-db file clang-14 libclang-rt-14-dev bindfs fuse3"
WINDOWS_BUILD_PACKAGES="cmake make googletest g++-mingw-w64-i686-posix"
WINDOWS_PACKAGES="$WINDOWS_BUILD_PACKAGES wine wine64 xvfb openbox"
