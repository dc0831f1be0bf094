#!/usr/bin/env bash
# Builds the Debian package from a clean copy of the committed tree (HEAD),
# checks its control data and contents, unpacks it into a scratch root with
# dpkg -x and starts the unpacked program under a virtual X display
# (scripts/check-installed.sh). The package is left in WORKDIR/out.
#
#   scripts/package-test.sh [WORKDIR]
#
# WORKDIR defaults to build/package-test inside the repository; the clean tree
# keeps the repository's layout, so ccache reuses the objects of the usual build.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
work=${1:-$repo/build/package-test}
src=$work/src
out=$work/out
root=$work/root

rm -rf "$src" "$root" "$out"
mkdir -p "$src" "$out" "$root"
git -C "$repo" archive --format=tar HEAD | tar -x -C "$src"

echo "== building the package from a clean tree ($src)"
cmake -S "$src" -B "$src/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSPURWERK_BUILD_TESTS=OFF -DSPURWERK_BUILD_BENCH=OFF >/dev/null
cmake --build "$src/build" -j"${JOBS:-2}" >/dev/null
(cd "$src/build" && cpack -G DEB -B "$out" >/dev/null)
deb=$(ls "$out"/spurwerk_*.deb)
echo "package: $deb"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

echo "== control data"
dpkg-deb -f "$deb" Package Version Architecture Depends Recommends
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libusb-1.0-0 libqt6widgets6 libqt6printsupport6 libc6; do
    grep -q "\b$needed\b" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -q '^./postinst$' || fail "no postinst"

echo "== contents"
dpkg-deb -c "$deb" | awk '{print $6}' >"$out/contents.txt"
for path in ./usr/bin/spurwerk ./usr/share/spurwerk/spurwerk.html \
    ./usr/share/applications/spurwerk.desktop \
    ./usr/share/icons/hicolor/scalable/apps/spurwerk.svg \
    ./usr/share/icons/hicolor/48x48/apps/spurwerk.png \
    ./usr/lib/udev/rules.d/70-spurwerk-k8055.rules \
    ./usr/share/mime/packages/spurwerk.xml ./usr/share/man/man1/spurwerk.1.gz \
    ./usr/share/doc/spurwerk/copyright ./usr/share/doc/spurwerk/changelog.gz \
    ./usr/share/doc/spurwerk/examples/i2c-uart.sr; do
    grep -qx "$path" "$out/contents.txt" || fail "$path is not in the package"
done
grep -q '/spurwerk/libspurwerk_k8055.so$' "$out/contents.txt" || fail "no board library"
grep -q '^\./usr/lib/.*spurwerk/spurwerk-window$' "$out/contents.txt" || fail "no window program"
grep -q '^\./usr/lib/.*spurwerk/spurwerk-commands$' "$out/contents.txt" || fail "no commands' program"
grep -q '/spurwerk/libspurwerk_k8055sim.so$' "$out/contents.txt" || fail "no simulated board library"
if grep -E '^\./usr/lib/([^/]*-linux-gnu/)?lib[^/]*$' "$out/contents.txt"; then
    fail "a board library lies on the system's library path"
fi

echo "== dependencies resolvable here (apt-get --simulate)"
apt-get install --simulate "$deb" >"$out/apt-simulate.txt" 2>&1 || {
    cat "$out/apt-simulate.txt" >&2
    fail "apt cannot install the package"
}

echo "== unpacked into $root"
dpkg -x "$deb" "$root"
# The entry must validate without a single remark, and its MIME types must be
# known: .DIG and VCD from our own MIME file, .sr from libsigrok's.
validation=$(desktop-file-validate "$root/usr/share/applications/spurwerk.desktop" 2>&1) ||
    fail "desktop-file-validate: $validation"
[[ -z $validation ]] || fail "desktop-file-validate: $validation"
mimes=$(mktemp -d)
mkdir -p "$mimes/packages"
cp /usr/share/mime/packages/*.xml "$root/usr/share/mime/packages/spurwerk.xml" "$mimes/packages/"
update-mime-database "$mimes" >/dev/null 2>&1 || fail "update-mime-database refuses spurwerk.xml"
for type in $(sed -n 's/^MimeType=//p' "$root/usr/share/applications/spurwerk.desktop" | tr ';' ' '); do
    grep -q ":$type:" "$mimes/globs2" || fail "the desktop entry's type $type is unknown"
done
grep -q ':application/x-spurwerk-dig:\*\.dig$' "$mimes/globs2" || fail ".DIG has no MIME type"
rm -rf "$mimes"
zcat "$root/usr/share/man/man1/spurwerk.1.gz" | grep -q '^\.TH SPURWERK 1' || fail "no manual page"
"$repo/scripts/check-installed.sh" "$root/usr"
echo "PASS: package $deb"
