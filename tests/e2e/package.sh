#!/bin/bash
# The Debian package built by CPack from a build tree: lintian, the validators of its desktop
# entry, metainfo, systemd user unit and manual pages, and the packaged programs they name.
# Usage: package.sh BUILD_DIR VERSION
build=$1
version=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failed=0
check() { # check DESCRIPTION COMMAND...: runs the command, reports it when it fails
    if "${@:2}" >"$tmp/out" 2>&1; then echo "ok: $1"; else
        echo "FAILED: $1" >&2
        sed 's/^/  /' "$tmp/out" >&2
        failed=1
    fi
}

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$tmp/out-deb" >"$tmp/cpack.log" 2>&1 ||
    { tail -20 "$tmp/cpack.log" >&2; exit 1; }
deb="$tmp/out-deb/peerwell_${version}_$(dpkg --print-architecture).deb"
check "the package is named peerwell_<version>_<arch>.deb" test -f "$deb" || exit 1
check "lintian reports nothing" lintian --fail-on error,warning "$deb"

root="$tmp/root"
dpkg -x "$deb" "$root"
entry="$root/usr/share/applications/peerwell.desktop"
unit="$root/usr/lib/systemd/user/peerwell-watch.service"
check "the desktop entry validates" desktop-file-validate "$entry"
check "the metainfo validates" appstreamcli validate --no-net \
    "$root/usr/share/metainfo/org.peerwell.Peerwell.metainfo.xml"
check "peerwell-watch --version prints the project version" \
    test "$("$root/usr/bin/peerwell-watch" --version)" = "peerwell-watch $version"
exec_start=$(sed -n 's/^ExecStart="\(.*\)"$/\1/p' "$unit")
sed "s|$exec_start|$root$exec_start|" "$unit" >"$tmp/peerwell-watch.service"
check "systemd accepts the unit and finds its program and manual page" \
    env MANPATH="$root/usr/share/man" systemd-analyze verify "$tmp/peerwell-watch.service"
for page in peerwell peerwell-watch; do
    check "the manual page of $page renders without warnings" test -z \
        "$(MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)"
done
exit $failed
