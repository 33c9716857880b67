#!/bin/bash
# The Debian package built by CPack from a build tree, unpacked into a temporary root: its name,
# version and dependencies, the validators, and whether the desktop entry and the systemd user
# unit find what they name. Also an install with another prefix.
# Usage: package.sh BUILD_DIR VERSION
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"
build=$1
version=$2
WORK="$E2E_TMP/work"
root="$E2E_TMP/root"
mkdir -p "$WORK" "$root"

# all_in TEXT WORD...: every word occurs in the text.
all_in() {
    text=$1
    shift
    for word in "$@"; do
        case "$text" in *"$word"*) ;; *) return 1 ;; esac
    done
}

file_is() {
    [ "$(cat "$1")" = "$2" ]
}

renders_cleanly() {
    [ -z "$(MANWIDTH=80 man --warnings -l "$1" 2>&1 >/dev/null)" ]
}

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$E2E_TMP/out" >"$E2E_TMP/cpack.log" 2>&1 ||
    fail "cpack failed: $(tail -20 "$E2E_TMP/cpack.log" "$E2E_TMP"/out/_CPack_Packages/*/DEB/*.log)"
deb="$E2E_TMP/out/peerwell_${version}_$(dpkg --print-architecture).deb"
expect "the package is named peerwell_<version>_<arch>.deb" 0 test -f "$deb" ||
    fail "no $deb among: $(ls "$E2E_TMP/out")"
expect "its control file names the package and the project version" 0 \
    test "$(dpkg-deb -f "$deb" Package Version | tr '\n' ' ')" = "Package: peerwell Version: $version " ||
    true
depends=$(dpkg-deb -f "$deb" Depends)
expect "it depends on the Qt widgets and libcanberra runtime packages" 0 \
    all_in "$depends" libqt6widgets6 libcanberra0 || echo "  Depends: $depends" >&2
expect "lintian reports no errors" 0 lintian --fail-on error "$deb" || true

dpkg -x "$deb" "$root"
entry="$root/usr/share/applications/peerwell.desktop"
unit="$root/usr/lib/systemd/user/peerwell-watch.service"
expect "the desktop entry validates" 0 desktop-file-validate "$entry" || true
expect "the metainfo validates" 0 appstreamcli validate --no-net \
    "$root/usr/share/metainfo/org.peerwell.Peerwell.metainfo.xml" || true
expect "the metainfo carries the project version" 0 \
    grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/org.peerwell.Peerwell.metainfo.xml" ||
    true
expect "peerwell-watch --version prints it" 0 \
    test "$("$root/usr/bin/peerwell-watch" --version)" = "peerwell-watch $version" || true

# Exec of the entry: sh -c "... exec \"/usr/bin/peerwell\""
program=$(sed -n 's/^Exec=.*exec \\\\"\([^\\]*\)\\\\"".*/\1/p' "$entry")
expect "the desktop entry starts the packaged program" 0 test -x "$root$program" ||
    echo "  Exec names \"$program\"" >&2
for size in 16 22 24 32 48 64 128 256; do
    png="$root/usr/share/icons/hicolor/${size}x${size}/apps/$(sed -n 's/^Icon=//p' "$entry").png"
    file "$png" | grep -q "PNG image data, $size x $size" || missing="${missing:-} $size"
done
expect "its icon is in the hicolor theme at every size" 0 test -z "${missing:-}" ||
    echo "  missing or wrong:$missing" >&2

# The entry run by the desktop's own launcher, its program replaced by one that tells where it ran.
printf '#!/bin/sh\npwd >"%s"\n' "$WORK/started-in" >"$WORK/stand-in"
chmod +x "$WORK/stand-in"
sed "s|$program|$WORK/stand-in|" "$entry" >"$WORK/peerwell.desktop"
gio launch "$WORK/peerwell.desktop" >/dev/null 2>&1 || true
expect "launched, it starts in ~/.config/peerwell, creating it" 15 \
    file_is "$WORK/started-in" "$HOME/.config/peerwell" || true

exec_start=$(sed -n 's/^ExecStart="\(.*\)"$/\1/p' "$unit")
expect "the unit starts the packaged peerwell-watch" 0 test -x "$root$exec_start" ||
    echo "  ExecStart names \"$exec_start\"" >&2
expect "in the same directory as the desktop entry" 0 \
    grep -qx 'WorkingDirectory=%h/.config/peerwell' "$unit" || true
sed "s|$exec_start|$root$exec_start|" "$unit" >"$WORK/peerwell-watch.service"
expect "systemd accepts the unit and finds its program and manual page" 0 \
    env MANPATH="$root/usr/share/man" systemd-analyze verify "$WORK/peerwell-watch.service" || true

for page in peerwell peerwell-watch; do
    man="$root/usr/share/man/man1/$page.1.gz"
    expect "the manual page of $page renders without warnings" 0 renders_cleanly "$man" || true
    for text in peer.cfg '\x5C' fs.inotify.max_user_instances fs.inotify.max_user_watches \
        .config/peerwell; do
        MANWIDTH=200 man -l "$man" 2>/dev/null | grep -qF -- "$text" || absent="${absent:-} $text"
    done
    expect "and tells of peer.cfg, the escape, the inotify limits and the directory" 0 \
        test -z "${absent:-}" || echo "  missing:$absent" >&2
done
expect "the package carries its copyright and change log" 0 \
    test -f "$root/usr/share/doc/peerwell/copyright" -a -f "$root/usr/share/doc/peerwell/changelog.gz" ||
    true

prefix="$E2E_TMP/prefix"
cmake --install "$build" --prefix "$prefix" >"$E2E_TMP/install.log" 2>&1 ||
    fail "cmake --install failed: $(tail -20 "$E2E_TMP/install.log")"
expect "cmake --install with another prefix points the desktop entry into it" 0 \
    file_contains "$prefix/share/applications/peerwell.desktop" "exec \\\\\"$prefix/bin/peerwell\\\\\"" ||
    true
expect "and the unit" 0 \
    grep -qx "ExecStart=\"$prefix/bin/peerwell-watch\"" "$prefix/lib/systemd/user/peerwell-watch.service" ||
    true

finish
