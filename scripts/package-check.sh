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
"$unpacked/usr/bin/vellox" "$unpacked/sample.pdf" -PL
"$unpacked/usr/bin/vellox" --show "$unpacked/sample.pdr"
grep -q "$(printf '^8\tA-1 Appendix A')" <("$unpacked/usr/bin/vellox" --show "$unpacked/sample.pdr") ||
  { echo "the installed program did not label the sample's appendix A-1"; exit 1; }
# The installed program finds its installed module, which reads the same.
mv "$unpacked/sample.pdr" "$unpacked/builtin.pdr"
VELLOX_READER=qpdf "$unpacked/usr/bin/vellox" "$unpacked/sample.pdf" -PL
cmp "$unpacked/builtin.pdr" "$unpacked/sample.pdr"
echo "package check passed"
