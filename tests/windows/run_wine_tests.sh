#!/usr/bin/env bash
# Cross-builds vellox for 64- and 32-bit Windows and runs the Windows tests
# of the 64-bit build under Wine: the unit tests, then vellox.exe against a
# registered test component (see test_component.cc) and, with none
# registered, with its built-in reader against what the native (Linux)
# build writes for the same PDFs (see builtin_reader_wine_test.cc). Both
# builds are zipped as users download them, and the 64-bit zip's program
# converts the sample (check_zip_packages.sh). The 32-bit build is built,
# zipped and link-checked only (running it would need wine32:i386).
#
# Needs, on Debian 12 (this script installs nothing; scripts/install-deps.sh
# --all does):
#   apt-get install -y --no-install-recommends \
#     mingw-w64 libz-mingw-w64-dev wine wine64 cmake ninja-build googletest \
#     locales g++ pkg-config libqpdf-dev qpdf
#
# Usage: tests/windows/run_wine_tests.sh [BUILD_ROOT]
#   builds into BUILD_ROOT/build-win64, BUILD_ROOT/build-win32 and
#   BUILD_ROOT/build-native (default: the repository). Ends with
#   "N passed, M failed"; exits non-zero on any failure.
source "$(dirname "$0")/../../scripts/lib.sh"
unset VELLOX_READER  # each test chooses the reader itself

source_dir=$repo_root
build_root=${1:-$source_dir}
mkdir -p "$build_root"
build_root=$(cd "$build_root" && pwd)
win64=$build_root/build-win64
win32=$build_root/build-win32
native=$build_root/build-native

passed=0
failed=0
pass() { passed=$((passed + $1)); }
fail() { failed=$((failed + $1)); echo "FAILED: $2"; }
check() {  # check NAME COMMAND...: one pass or one failure
  local name=$1
  shift
  if "$@"; then pass 1; else fail 1 "$name"; fi
}

# --- Build ------------------------------------------------------------------
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
build() {  # build DIR TOOLCHAIN|- TARGET...: "-" for the native build
  local dir=$1 toolchain=$2 options=()
  shift 2
  if [ "$toolchain" = - ]; then options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLOX_BUILD_TESTS=OFF)
  else
    # cpack packs the program built here, without building every target.
    options=(-DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/$toolchain" -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON)
  fi
  vellox_build "$dir" "${generator[@]}" "${options[@]}" -- "$@"
}
summary() { echo "$passed passed, $failed failed"; [ "$failed" = 0 ]; }
mkdir -p "$win64" "$win32" "$native"
build "$win64" mingw-w64-x86_64.cmake \
  vellox vellox_unit_tests vellox_test_component vellox_wine_end_to_end_tests ||
  { fail 1 "the 64-bit build"; summary; exit 1; }
# The 32-bit side: the program and the component, whose exports and calls
# take the 32-bit stdcall convention.
build "$win32" mingw-w64-i686.cmake vellox vellox_test_component ||
  { fail 1 "the 32-bit build"; summary; exit 1; }
# The native build, whose output the built-in reader's must equal.
build "$native" - vellox vellox_qpdf_module ||
  { fail 1 "the native build"; summary; exit 1; }

# --- Link checks --------------------------------------------------------------
# Only the system's own DLLs may be imported: the program is copied alone.
system_dlls='^(KERNEL32|msvcrt|ole32|OLEAUT32|SHLWAPI|SHELL32|USER32|ADVAPI32|api-ms-win-crt-[a-z0-9-]+)\.dll$'
imports_only_system_dlls() {  # FILE OBJDUMP
  local dlls
  dlls=$("$2" -p "$1" | sed -n 's/^\tDLL Name: //p')
  [ -n "$dlls" ] && ! grep -Ev "$system_dlls" <<<"$dlls"
}
is_console_program() {  # FILE OBJDUMP FORMAT ARCHITECTURE: machine type and subsystem
  local headers
  headers=$("$2" -p -f "$1")
  grep -q "file format $3" <<<"$headers" && grep -q "^architecture: $4," <<<"$headers" &&
    grep -Eq '^Subsystem.*Windows CUI' <<<"$headers"
}
# The program asks the component library first (component/
# registered_component.cc); the class context it asks with is checked
# where it is set (platform/com_windows.cc). It is imported to be loaded at
# the first call (cmake/delay_load.cmake), which the symbols show.
asks_component_library() {  # FILE OBJDUMP
  local symbols
  symbols=$("${2%objdump}nm" "$1")
  grep -Eq ' T _?CoCreateInstance(@20)?$' <<<"$symbols" &&
    grep -q '__DELAY_IMPORT_DESCRIPTOR_libole32_windows_delay_a$' <<<"$symbols"
}
# Until the first call, each delay-loaded function's slot leads to its
# loading stub; a zero slot (a stub the linker dropped) would crash there.
delay_slots_lead_to_stubs() {  # FILE OBJDUMP
  local symbols function slot value
  symbols=$("${2%objdump}nm" "$1")
  for function in $(sed -n 's/^\([A-Za-z][A-Za-z0-9_]*\)@[0-9]*$/\1/p' \
    "$source_dir"/platform/*_windows.def); do
    slot=$(sed -n "s/^\([0-9a-f]*\) I __imp__\{0,1\}$function\(@[0-9]*\)\{0,1\}$/\1/p" <<<"$symbols")
    [ -n "$slot" ] || { echo "$function: not imported"; return 1; }
    value=$("$2" -s --start-address="0x$slot" --stop-address="$(printf '0x%x' $((0x$slot + 4)))" "$1" |
      awk 'END { print $2 }')
    [ "${value:-00000000}" != 00000000 ] || { echo "$function: no stub"; return 1; }
  done
}
# None of the component libraries, nor what they load, is loaded at start.
loads_no_component_library_at_start() {  # FILE OBJDUMP
  ! "$2" -p "$1" | grep -Ei '^\s*DLL Name: (ole32|oleaut32|shell32|shlwapi|user32|gdi32)\.dll$'
}
exports_component_entries() {  # FILE OBJDUMP
  local table
  table=$("$2" -p "$1")
  grep -Eq '\] DllGetClassObject$' <<<"$table" && grep -Eq '\] DllCanUnloadNow$' <<<"$table"
}
for width in 64 32; do
  if [ $width = 64 ]; then
    dir=$win64 objdump=x86_64-w64-mingw32-objdump format=pei-x86-64 machine=i386:x86-64
  else
    dir=$win32 objdump=i686-w64-mingw32-objdump format=pei-i386 machine=i386
  fi
  check "win$width vellox.exe is a $format ($machine) console program" \
    is_console_program "$dir/vellox.exe" $objdump $format $machine
  check "win$width vellox.exe imports system DLLs only (zlib linked in)" \
    imports_only_system_dlls "$dir/vellox.exe" $objdump
  check "win$width vellox.exe asks the component library for the component" \
    asks_component_library "$dir/vellox.exe" $objdump
  check "win$width vellox.exe loads the component libraries only when a run needs them" \
    loads_no_component_library_at_start "$dir/vellox.exe" $objdump
  check "win$width vellox.exe finds each delay-loaded function's loading stub" \
    delay_slots_lead_to_stubs "$dir/vellox.exe" $objdump
  check "win$width vellox.exe declares itself long-path aware" \
    grep -aq '<ws2:longPathAware>true</ws2:longPathAware>' "$dir/vellox.exe"
  check "win$width test component exports its entry points" \
    exports_component_entries "$dir/tests/windows/vellox_test_component.dll" $objdump
done

# --- Reference output ---------------------------------------------------------
# PDFs for the built-in reader, and what the native build writes for them
# (see builtin_reader_wine_test.cc for the layout).
fixtures=$win64/reader-fixtures
rm -rf "$fixtures"
mkdir -p "$fixtures/clean" "$fixtures/western" "$fixtures/unreadable" "$fixtures/encrypted"
corpus=$source_dir/fuzz/corpus/pdf
reference() {  # NAME FOLDER: a clean read on the native build
  local name=$1 folder=$fixtures/$2
  cp "$corpus/$name" "$folder/$name.pdf"
  (cd "$folder" && "$native/vellox" "$name.pdf" >/dev/null 2>"$name.err" && [ ! -s "$name.err" ] &&
    "$native/vellox" --show "$name.pdf" >"$name.show" && rm "$name.err") || return 1
  if [ "$2" = clean ]; then  # titles in ASCII
    ! LC_ALL=C grep -qP '[\x80-\xFF]' "$folder/$name.show"
  else  # titles in code page 1252, as vellox.exe writes them there
    rm "$folder/$name.pdr" &&
      iconv -f UTF-8 -t CP1252 "$folder/$name.show" >"$folder/$name.show.1252" &&
      mv "$folder/$name.show.1252" "$folder/$name.show"
  fi
}
for name in destinations-loop names-loop pages-loop outline-loop-first-root \
  outline-loop-first-self outline-loop-next-circle outline-loop-next-to-parent \
  outline-shared-child; do
  check "the native build reads $name cleanly, titles in ASCII" reference $name clean
done
for name in book book-object-stream book-top-level; do
  check "the native build reads $name cleanly" reference $name western
done
cp "$corpus/book-truncated" "$fixtures/unreadable/damaged-truncated.pdf"
check "qpdf encrypts the sample with a password" qpdf --encrypt user owner 256 -- \
  "$source_dir/samples/sample.pdf" "$fixtures/unreadable/password-aes256.pdf"
# Encrypted with the empty user password every way qpdf knows, each beside
# its original: NAME.pdf and NAME--CIPHER.pdf.
encrypt_originals() {
  local name original cipher streams
  for name in sample book; do
    original=$corpus/$name
    [ $name = sample ] && original=$source_dir/samples/sample.pdf
    cp "$original" "$fixtures/encrypted/$name.pdf" || return 1
    for streams in preserve generate; do
      for cipher in 40 128 "128 --cleartext-metadata" "128 --use-aes=y" \
        "128 --use-aes=y --cleartext-metadata" 256 "256 --cleartext-metadata" "256 --force-R5"; do
        # shellcheck disable=SC2086 # the cipher's words are options
        qpdf --allow-weak-crypto --object-streams=$streams --encrypt "" owner $cipher -- \
          "$original" "$fixtures/encrypted/$name--$(tr -d ' =-' <<<"$cipher")-$streams.pdf" ||
          return 1
      done
    done
  done
}
check "qpdf encrypts the sample and a book without a password" encrypt_originals
export VELLOX_WINE_FIXTURES=$fixtures
# The 32-bit test component, which the 64-bit program cannot load.
export VELLOX_WINE_COMPONENT32=$win32/tests/windows/vellox_test_component.dll

# --- Wine ---------------------------------------------------------------------
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
export WINEPREFIX=$win64/wine-prefix WINEDEBUG=-all DISPLAY= WAYLAND_DISPLAY=
export WINEDLLOVERRIDES='mscoree,mshtml='  # no Mono or Gecko installers
stop_wine() { WINEPREFIX=$WINEPREFIX wineserver -k >/dev/null 2>&1 || true; }
trap stop_wine EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$wine" wineboot -i >"$win64/wineboot.log" 2>&1
  # The Wine server wineboot started stays, with the services it started,
  # and would keep every run that asks for an unregistered component
  # waiting 5 to 10 s: the tests start a fresh one.
  stop_wine
fi

# Runs a test executable under Wine and counts its tests.
gtest() {  # gtest LABEL EXE ARGS...
  local label=$1 log
  log=$win64/$label.log
  shift
  local status=0
  LC_ALL=${gtest_locale:-C.UTF-8} timeout 900 "$wine" "$@" --gtest_color=no 2>&1 |
    tr -d '\r' >"$log" || status=$?
  local ok bad
  ok=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\.$/\1/p' "$log")
  bad=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\{0,1\}, listed below:$/\1/p' "$log")
  pass "${ok:-0}"
  if [ "${bad:-0}" != 0 ]; then
    fail "$bad" "$label: $(grep '^\[  FAILED  \] [A-Z]' "$log" | sed 's/^\[  FAILED  \] //' |
      sed 's/ (.*//' | sort -u | tr '\n' ' ')(log: $log)"
  elif [ $status != 0 ] || [ -z "$ok" ]; then
    fail 1 "$label exited with status $status (log: $log)"
  fi
}

# The ANSI code pages' own cases are in platform/code_page_windows_test.cc.
gtest unit-tests "$win64/tests/windows/vellox_unit_tests.exe"

# The component, registered where Wine's component library looks: Wine 8
# reads classes from HKLM\Software\Classes only (Windows also takes the
# per-user HKCU\Software\Classes).
class_key='HKLM\Software\Classes\CLSID\{5479AE9E-D618-4D2E-8496-C31B68603CB4}\InprocServer32'
component=$("$wine" winepath -w "$win64/tests/windows/vellox_test_component.dll")
"$wine" reg add "$class_key" /ve /d "$component" /f >/dev/null
"$wine" reg add "$class_key" /v ThreadingModel /d Apartment /f >/dev/null
gtest end-to-end "$win64/tests/windows/vellox_wine_end_to_end_tests.exe" \
  --gtest_filter='-BuiltinReaderTest.*'
# These need the real built-in reader (builtin_reader/).
gtest builtin-reader "$win64/tests/windows/vellox_wine_end_to_end_tests.exe" \
  --gtest_filter='BuiltinReaderTest.*'

# The downloads: both builds zipped by cpack, and the 64-bit program
# unzipped and started as a dropped PDF starts it.
check "the zips hold the programs, README.txt and LICENSE.txt; the unzipped program converts the sample" \
  bash "$source_dir/tests/windows/check_zip_packages.sh" "$win64" "$win32" "$native/vellox" \
  "$source_dir/samples/sample.pdf"

# Through a terminal Wine gives the program a console: messages must show
# names the ANSI code page lacks, and the folder's progress line must count
# the PDFs found while the folder is listed before it counts those
# converted (of them all). Wine's console draws with cursor movements, and
# wraps at the terminal's width, made wide enough for one message a line.
console_shows_names_and_progress() {
  local folder=$win64/console-folder typescript=$win64/console.typescript screen
  rm -rf "$folder" && mkdir -p "$folder"
  for i in 1 2 3 4 5 6; do cp "$source_dir/samples/sample.pdf" "$folder/s$i.pdf"; done
  echo "not a PDF" >"$folder/日本語 Βιβλίο.pdf"
  local windows_folder
  windows_folder=$("$wine" winepath -w "$folder")
  CONSOLE_WINE=$wine CONSOLE_PROGRAM=$win64/vellox.exe CONSOLE_FOLDER=$windows_folder \
    LC_ALL=C.UTF-8 VELLOX_READER=builtin timeout 300 \
    script -qc 'stty cols 400; "$CONSOLE_WINE" "$CONSOLE_PROGRAM" "$CONSOLE_FOLDER" -j 1' \
    "$typescript" \
    >/dev/null </dev/null || true
  screen=$(perl -pe 's/\e\[(\d*)C/" " x ($1 || 1)/ge; s/\e\[[0-9;?]*[A-Za-z]//g; s/\r/\n/g' \
    "$typescript")
  grep -qF "vellox: cannot read '$windows_folder\\日本語 Βιβλίο.pdf': " <<<"$screen" &&
    grep -qF "vellox: 7 PDFs: 6 converted, 0 without outline, 1 failed" <<<"$screen" &&
    awk '/^\[[0-9]+ found so far\] / { if (counted) bad = 1; listed = 1 }
         /^\[[0-9]+\/[0-9]+\] / { if (!listed || $1 !~ /\/7\]$/) bad = 1; counted = 1 }
         END { exit !(listed && !bad) }' <<<"$screen" ||
    { echo "the console showed (log: $typescript):"; echo "$screen"; return 1; }
}
check "on a console, messages show every name and the progress counts what is found first" \
  console_shows_names_and_progress

# --show on a console: the titles, in the ANSI code page, are shown as the
# code page means them ("\xE7" and "\x85" in 1252), not as the console's
# own code page reads those bytes.
console_shows_titles() {
  local pdr=$win64/console-show.pdr typescript=$win64/console-show.typescript screen
  printf '\xDE\xAD\xCA\xBB\x01\0\0\0\0\0\0\0\x01\0\0\0\0\0\0\x0C1 Fran\xE7ois \x85' >"$pdr"
  CONSOLE_WINE=$wine CONSOLE_PROGRAM=$win64/vellox.exe CONSOLE_FILE=$("$wine" winepath -w "$pdr") \
    LC_ALL=C.UTF-8 timeout 300 \
    script -qc '"$CONSOLE_WINE" "$CONSOLE_PROGRAM" --show "$CONSOLE_FILE"' "$typescript" \
    >/dev/null </dev/null || true
  screen=$(perl -pe 's/\e\[(\d*)C/" " x ($1 || 1)/ge; s/\e\[[0-9;?]*[A-Za-z]//g' "$typescript")
  grep -qF '1 François …' <<<"$screen" ||
    { echo "the console showed (log: $typescript):"; echo "$screen"; return 1; }
}
check "on a console, --show shows the titles' characters" console_shows_titles

# --help, --version and a usage error load none of the component libraries
# (the loader's trace of the program's own thread says), a conversion does.
loaded_by_vellox() {  # ARGUMENTS...: the DLLs the program's first thread loads
  local trace thread
  trace=$(WINEDEBUG=+loaddll "$wine" "$win64/vellox.exe" "$@" 2>&1 >/dev/null)
  thread=$(sed -n 's/^\([0-9a-f]*\):trace:loaddll:.*vellox\.exe".*/\1/p' <<<"$trace" | head -1)
  [ -n "$thread" ] && sed -n "s/^$thread:trace:loaddll:.*\\\\\([^\\\\]*\.dll\)\".*/\1/p" <<<"$trace" |
    tr 'A-Z' 'a-z'
}
starts_without_component_libraries() {
  local arguments loaded
  for arguments in --version --help "-PL $win64/none.pdf"; do
    # shellcheck disable=SC2086
    loaded=$(loaded_by_vellox $arguments) || return 1
    if grep -Ex '(ole32|oleaut32|shell32|shlwapi|user32|gdi32)\.dll' <<<"$loaded"; then
      echo "vellox $arguments loaded those"
      return 1
    fi
  done
  loaded=$(loaded_by_vellox --show "$("$wine" winepath -w "$source_dir/samples/sample.pdf")")
  grep -qx 'ole32.dll' <<<"$loaded" || { echo "a run loaded no ole32.dll: $loaded"; return 1; }
}
check "--help, --version and usage errors load no component library; a run does" \
  starts_without_component_libraries

# The installation (and so the zips made from it) holds the program
# without debug sections.
installs_a_stripped_program() {
  local prefix=$win64/install-check
  rm -rf "$prefix"
  cmake --install "$win64" --prefix "$prefix" >/dev/null &&
    ! x86_64-w64-mingw32-objdump -h "$prefix/vellox.exe" | grep -F '.debug_' &&
    [ "$("$wine" "$prefix/vellox.exe" --version | tr -d '\r')" = "vellox 1.0.0" ]
}
check "the installed vellox.exe is stripped and runs" installs_a_stripped_program

# Again in a double-byte code page: Wine takes the ANSI code page from the
# POSIX locale, which is built here if the system lacks it.
locales=$win64/locales
if [ -d "$locales/ja_JP.UTF-8" ] ||
  { mkdir -p "$locales" && localedef -i ja_JP -c -f UTF-8 "$locales/ja_JP.UTF-8" 2>/dev/null; }; then
  export LOCPATH=$locales
  gtest_locale=ja_JP.UTF-8 gtest unit-tests-cp932 "$win64/tests/windows/vellox_unit_tests.exe" \
    --gtest_filter='CodePageTest.*:ComTest.*:ConsoleTest.*:WidePathTest.*:WideNamesTest.*:OutputPathWindowsTest.*'
  gtest_locale=ja_JP.UTF-8 gtest end-to-end-cp932 \
    "$win64/tests/windows/vellox_wine_end_to_end_tests.exe" --gtest_filter='*CodePage*'
  unset LOCPATH
else
  fail 1 "cannot build the ja_JP.UTF-8 locale for the code page 932 runs (package locales)"
fi

summary
