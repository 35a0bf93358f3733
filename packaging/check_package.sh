#!/usr/bin/env bash
# Checks a built Debian package without installing it: unpacks it into a scratch folder
# and looks at what an operator's desktop would see. usage: check_package.sh KESTREL.deb
set -uo pipefail
deb=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root
dpkg -x "$deb" "$root" || { echo "cannot unpack $deb"; exit 1; }

passed=0 failed=0
check() {  # check NAME COMMAND...: the command's output is shown only when it fails
    local name=$1; shift
    if out=$("$@" 2>&1); then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $name"; [ -n "$out" ] && sed 's/^/    /' <<<"$out"
    fi
}
no_output() { local out; out=$("$@" 2>&1 >/dev/null) && [ -z "$out" ] || { echo "$out"; false; }; }
png_is() {  # png_is FILE SIZE: width and height from the PNG header
    [ "$(od -An -tu1 -j16 -N8 "$1" | awk '{print $3*256+$4 "x" $7*256+$8}')" = "$2x$2" ]
}

share=$root/usr/share
id=org.example.kestrel_packet.kestrel
version=$(dpkg-deb -f "$deb" Version)
check "program --version" test "$("$root/usr/bin/kestrel" --version)" = "kestrel $version"
check "--help names the settings file" grep -q SETTINGS <("$root/usr/bin/kestrel" --help)
check "Depends computed from the libraries" grep -q libqt6widgets6 <(dpkg-deb -f "$deb" Depends)
check "Recommends the IPA fonts" grep -q fonts-ipafont-gothic <(dpkg-deb -f "$deb" Recommends)
check "desktop entry" desktop-file-validate "$share/applications/kestrel.desktop"
check "Japanese name" grep -q '^Name\[ja\]=' "$share/applications/kestrel.desktop"
check "metainfo" appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml"
check "metainfo version" grep -q "version=\"$version\"" "$share/metainfo/$id.metainfo.xml"
page=$share/man/man1/kestrel.1.gz
check "manual page renders without warnings" \
    no_output env LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page"
check "manual page's NAME line" lexgrog "$page"
check "scalable icon" test -s "$share/icons/hicolor/scalable/apps/kestrel.svg"
for size in 16 24 32 48 64 128 256; do
    check "icon ${size}px" png_is "$share/icons/hicolor/${size}x${size}/apps/kestrel.png" "$size"
done
if [ -f "$(dirname "$0")/../docs/manual/index.html" ]; then
    check "HTML manual" test -f "$share/kestrel/manual/index.html"
fi
echo "package: $passed passed, $failed failed"
[ "$failed" = 0 ]
