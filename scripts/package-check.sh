#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a fresh folder root and runs
# the installed program once. BUILD_ROOT as in scripts/test-all.sh.
source "$(dirname "$0")/lib.sh"
cd "$repo_root"
build="$build_root/package"

vellox_build "$build" -DCMAKE_BUILD_TYPE=Release -DVELLOX_BUILD_TESTS=OFF
(cd "$build" && rm -f vellox_*.deb && cpack -G DEB)
deb="$(ls "$build"/vellox_*.deb)"

depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
case "$depends" in *libqpdf*) ;; *) echo "the package does not depend on qpdf's library"; exit 1 ;; esac
# apt would find every dependency on this machine's sources.
apt-get install -s "$(realpath "$deb")" >/dev/null

unpacked="$(mktemp -d)"
trap 'rm -rf "$unpacked"' EXIT
dpkg -x "$deb" "$unpacked"
test -f "$unpacked/usr/share/man/man1/vellox.1.gz"
grep -q "Apache License" "$unpacked/usr/share/doc/vellox/copyright"
module="$(find "$unpacked/usr/lib" -name vellox-qpdf.so)"
test -n "$module"
echo "qpdf reader module: ${module#$unpacked}"
# The program itself does not load qpdf; the module does, when asked to.
if ldd "$unpacked/usr/bin/vellox" | grep -q libqpdf; then
  echo "the program links qpdf's library; only its module should"; exit 1
fi
"$unpacked/usr/bin/vellox" --version
cp samples/sample.pdf "$unpacked/sample.pdf"
"$unpacked/usr/bin/vellox" "$unpacked/sample.pdf"
"$unpacked/usr/bin/vellox" --show "$unpacked/sample.pdr"
# The installed program finds its installed module.
VELLOX_READER=qpdf "$unpacked/usr/bin/vellox" "$unpacked/sample.pdf"
echo "package check passed"
