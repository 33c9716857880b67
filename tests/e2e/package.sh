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

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$E2E_TMP/out" >"$E2E_TMP/cpack.log" 2>&1 ||
    fail "cpack failed: $(tail -20 "$E2E_TMP/cpack.log" "$E2E_TMP"/out/_CPack_Packages/*/DEB/*.log)"
deb="$E2E_TMP/out/peerwell_${version}_$(dpkg --print-architecture).deb"
expect "the package is named peerwell_<version>_<arch>.deb" 0 test -f "$deb" ||
    fail "no $deb among: $(ls "$E2E_TMP/out")"
depends=$(dpkg-deb -f "$deb" Depends)
expect "it depends on the Qt widgets and libcanberra runtime packages" 0 \
    grep -Eq 'libqt6widgets6.*libcanberra0|libcanberra0.*libqt6widgets6' <<<"$depends" ||
    echo "  Depends: $depends" >&2
expect "lintian reports no errors" 0 lintian --fail-on error "$deb" || true

dpkg -x "$deb" "$root"
entry="$root/usr/share/applications/peerwell.desktop"
unit="$root/usr/lib/systemd/user/peerwell-watch.service"
expect "the desktop entry validates" 0 desktop-file-validate "$entry" || true
expect "the metainfo validates" 0 appstreamcli validate --no-net \
    "$root/usr/share/metainfo/org.peerwell.Peerwell.metainfo.xml" || true
expect "peerwell-watch --version prints the project version" 0 \
    test "$("$root/usr/bin/peerwell-watch" --version)" = "peerwell-watch $version" || true

# Exec of the entry: sh -c "... exec \"/usr/bin/peerwell\""
program=$(sed -n 's/^Exec=.*exec \\\\"\([^\\]*\)\\\\"".*/\1/p' "$entry")
expect "the desktop entry starts the packaged program" 0 test -x "$root$program" ||
    echo "  Exec names \"$program\"" >&2
icon=$(sed -n 's/^Icon=//p' "$entry")
expect "its icon is in the hicolor theme" 0 \
    test -f "$root/usr/share/icons/hicolor/48x48/apps/$icon.png" || true

# The entry run by the desktop's own launcher, its program replaced by one that tells where it ran.
printf '#!/bin/sh\npwd >"%s"\n' "$WORK/started-in" >"$WORK/stand-in"
chmod +x "$WORK/stand-in"
sed "s|$program|$WORK/stand-in|" "$entry" >"$WORK/peerwell.desktop"
gio launch "$WORK/peerwell.desktop" >/dev/null 2>&1 || true
expect "launched, it starts in ~/.config/peerwell, creating it" 15 \
    test "$(cat "$WORK/started-in" 2>/dev/null)" = "$HOME/.config/peerwell" || true

exec_start=$(sed -n 's/^ExecStart="\(.*\)"$/\1/p' "$unit")
expect "the unit starts the packaged peerwell-watch" 0 test -x "$root$exec_start" ||
    echo "  ExecStart names \"$exec_start\"" >&2
sed "s|$exec_start|$root$exec_start|" "$unit" >"$WORK/peerwell-watch.service"
expect "systemd accepts the unit and finds its program and manual page" 0 \
    env MANPATH="$root/usr/share/man" systemd-analyze verify "$WORK/peerwell-watch.service" || true
for page in peerwell peerwell-watch; do
    expect "the manual page of $page renders without warnings" 0 \
        test -z "$(MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)" ||
        true
done

prefix="$E2E_TMP/prefix"
cmake --install "$build" --prefix "$prefix" >"$E2E_TMP/install.log" 2>&1 ||
    fail "cmake --install failed: $(tail -20 "$E2E_TMP/install.log")"
expect "cmake --install with another prefix points the desktop entry into it" 0 \
    grep -qF "exec \\\\\"$prefix/bin/peerwell\\\\\"" "$prefix/share/applications/peerwell.desktop" ||
    true
expect "and the unit" 0 \
    grep -qx "ExecStart=\"$prefix/bin/peerwell-watch\"" "$prefix/lib/systemd/user/peerwell-watch.service" ||
    true

finish
