#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a user and another program get:
# every file in its place, the desktop files valid, the MIME package declaring the .t58 glob and
# magic, the C libraries usable by another program (pkg-config and find_package), and installed
# programs that run from the prefix alone, with nothing pointing into the build folder.
#
#   CheckInstall.sh --build DIR --source DIR --cmake CMAKE --cc CC --libdir LIBDIR
#                   --version X.Y --icon-sizes "16 22 ..."
set -uo pipefail

while [ $# -gt 0 ]; do
  case "$1" in
    --build) build=$2 ;;
    --source) source=$2 ;;
    --cmake) cmake=$2 ;;
    --cc) cc=$2 ;;
    --libdir) libdir=$2 ;;
    --version) version=$2 ;;
    --icon-sizes) icon_sizes=$2 ;;
    *) echo "CheckInstall.sh: unknown argument $1" >&2; exit 2 ;;
  esac
  shift 2
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

if ! "$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log" >&2
  echo "FAIL: cmake --install failed" >&2
  exit 1
fi

# --- Every file in its place --------------------------------------------------------------------
expected=(
  bin/tr58link bin/tr58 bin/tr58sim bin/cablewatch bin/snapstart bin/kterm
  "$libdir/libkestrune.so" "$libdir/libterminal.so" "$libdir/libKSMON.so"
  "$libdir/libkestrune.so.1" "$libdir/libterminal.so.1" "$libdir/libKSMON.so.1"
  include/tr58/kestrune.h include/tr58/terminal.h include/tr58/ksmon.h
  "$libdir/cmake/TR58Terminal/TR58TerminalConfig.cmake"
  "$libdir/cmake/TR58Terminal/TR58TerminalConfigVersion.cmake"
  "$libdir/cmake/TR58Terminal/TR58TerminalTargets.cmake"
  "$libdir/pkgconfig/kestrune.pc" "$libdir/pkgconfig/terminal.pc" "$libdir/pkgconfig/KSMON.pc"
  share/tr58link/README
  share/applications/tr58link.desktop share/applications/cablewatch.desktop
  share/mime/packages/tr58link.xml
  share/metainfo/tr58link.metainfo.xml
)
for icon in apps/tr58link apps/cablewatch mimetypes/application-x-tr58; do
  expected+=("share/icons/hicolor/scalable/$icon.svg")
  for size in $icon_sizes; do expected+=("share/icons/hicolor/${size}x${size}/$icon.png"); done
done
# The manual pages and the completion the source tree holds.
for page in "$source"/data/man/*.1; do
  [ -e "$page" ] && expected+=("share/man/man1/$(basename "$page")")
done
for completion in "$source"/data/completion/*; do
  name=$(basename "$completion")
  [ -e "$completion" ] && [[ "$name" != *.* ]] && expected+=("share/bash-completion/completions/$name")
done
for file in "${expected[@]}"; do
  [ -f "$prefix/$file" ] || fail "not installed: $file"
done
for program in tr58link tr58 tr58sim cablewatch snapstart kterm; do
  [ -x "$prefix/bin/$program" ] || fail "not executable: bin/$program"
done

# The libraries carry their interface generation in their SONAME.
for lib in kestrune terminal KSMON; do
  soname=$(readelf -d "$prefix/$libdir/lib$lib.so" 2>/dev/null | sed -n 's/.*Library soname: \[\(.*\)\]/\1/p')
  [ "$soname" = "lib$lib.so.1" ] || fail "lib$lib.so has SONAME '$soname', not lib$lib.so.1"
done

# Icons: PNGs of their nominal size, SVGs that are SVG.
for icon in apps/tr58link apps/cablewatch mimetypes/application-x-tr58; do
  for size in $icon_sizes; do
    png="$prefix/share/icons/hicolor/${size}x${size}/$icon.png"
    [ -f "$png" ] || continue
    file -b "$png" | grep -q "PNG image data, $size x $size," ||
      fail "$png is not a $size x $size PNG: $(file -b "$png")"
  done
  svg="$prefix/share/icons/hicolor/scalable/$icon.svg"
  [ -f "$svg" ] && ! grep -q "<svg" "$svg" && fail "$svg is no SVG"
done

# --- The desktop's files ------------------------------------------------------------------------
for entry in tr58link cablewatch; do
  desktop="$prefix/share/applications/$entry.desktop"
  [ -f "$desktop" ] || continue
  desktop-file-validate "$desktop" || fail "desktop-file-validate refuses $entry.desktop"
  # The launcher's program and icon are among what was installed.
  exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  [ -x "$prefix/bin/$exec_program" ] || fail "$entry.desktop runs '$exec_program', not installed"
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  [ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] ||
    fail "$entry.desktop shows icon '$icon', not installed"
done
metainfo="$prefix/share/metainfo/tr58link.metainfo.xml"
if [ -f "$metainfo" ]; then
  appstreamcli validate --no-net "$metainfo" || fail "appstreamcli refuses the metainfo"
fi

# The MIME package, compiled by shared-mime-info's own tool: the glob and the magic of the first
# tag line of a .t58 file must reach the database.
mime_xml="$prefix/share/mime/packages/tr58link.xml"
if [ -f "$mime_xml" ]; then
  mkdir -p "$work/mime/packages"
  cp "$mime_xml" "$work/mime/packages/"
  if update-mime-database "$work/mime" >"$work/mime.log" 2>&1; then
    grep -q "^[0-9]*:application/x-tr58:\*\.t58$" "$work/mime/globs2" ||
      fail "the MIME package declares no *.t58 glob for application/x-tr58"
    grep -q "application/x-tr58" "$work/mime/magic" &&
      grep -aqF "$(printf '#TR58\tBeginDataFile')" "$work/mime/magic" ||
      fail "the MIME package declares no magic on the first tag line"
    grep -q "^application/x-tr58:application-x-tr58$" "$work/mime/icons" ||
      fail "the MIME package names no icon for application/x-tr58"
    grep -q "application/x-tr58" "$prefix/share/applications/tr58link.desktop" ||
      fail "tr58link.desktop does not take application/x-tr58"
  else
    cat "$work/mime.log" >&2
    fail "update-mime-database refuses the MIME package"
  fi
fi

# --- Another program uses terminal and KSMON -----------------------------------------------------
consumer="$source/tests/install/consumer"
# With pkg-config, as a Makefile would.
pcflags=$(PKG_CONFIG_PATH="$prefix/$libdir/pkgconfig" PKG_CONFIG_LIBDIR= pkg-config --cflags --libs terminal KSMON) ||
  fail "pkg-config does not know terminal and KSMON"
case "$pcflags" in
  *"$build"*) fail "pkg-config points into the build folder: $pcflags" ;;
esac
# shellcheck disable=SC2086 # the flags are words
if "$cc" -Wall -Werror -o "$work/uses_pkgconfig" "$consumer/uses_libraries.c" $pcflags \
     -Wl,-rpath,"$prefix/$libdir"; then
  out=$(env -i "$work/uses_pkgconfig") || fail "the pkg-config program failed: $out"
  [ "$out" = "ok" ] || fail "the pkg-config program said '$out'"
else
  fail "a program cannot be built with pkg-config's flags: $pcflags"
fi
# With find_package(TR58Terminal), as a CMake project would.
if "$cmake" -S "$consumer" -B "$work/consumer" -DCMAKE_PREFIX_PATH="$prefix" \
     -DCMAKE_C_COMPILER="$cc" >"$work/consumer.log" 2>&1 &&
   "$cmake" --build "$work/consumer" >>"$work/consumer.log" 2>&1; then
  out=$(env -i "$work/consumer/uses_libraries") || fail "the CMake program failed: $out"
  [ "$out" = "ok" ] || fail "the CMake program said '$out'"
else
  cat "$work/consumer.log" >&2
  fail "a program cannot be built with find_package(TR58Terminal)"
fi

# --- Installed programs stand on the prefix alone ------------------------------------------------
for binary in "$prefix"/bin/* "$prefix/$libdir"/lib*.so.1; do
  [ -f "$binary" ] || continue
  runpath=$(readelf -d "$binary" | grep -E "RUNPATH|RPATH" || true)
  case "$runpath" in
    *"$build"* | *"$source"*) fail "$(basename "$binary") keeps a path into the build: $runpath" ;;
  esac
done
# Moved elsewhere (the build folder out of reach as well), every program still finds our libraries
# in the prefix's library folder.
moved=$work/moved
mv "$prefix" "$moved"
for binary in "$moved"/bin/*; do
  resolved=$(env -i ldd "$binary" 2>&1)
  if grep -q "not found" <<<"$resolved"; then
    fail "$(basename "$binary") misses libraries: $(grep "not found" <<<"$resolved" | tr -d '\t')"
  fi
  while read -r lib; do
    case "$lib" in
      "$moved"/*) ;;
      *) fail "$(basename "$binary") takes one of our libraries from $lib" ;;
    esac
  done < <(sed -n 's/.*lib\(kestrune\|terminal\|KSMON\)\.so\.1 => \([^ ]*\).*/\2/p' <<<"$resolved")
done
out=$(env -i HOME="$work" "$moved/bin/tr58" --version 2>&1)
[ "$out" = "tr58 $version" ] || fail "installed tr58 --version says '$out'"
out=$(env -i HOME="$work" "$moved/bin/tr58link" --version 2>&1)
[ "$out" = "tr58link $version" ] || fail "installed tr58link --version says '$out'"

if [ "$failures" -gt 0 ]; then
  echo "$failures install check(s) failed" >&2
  exit 1
fi
echo "install: ${#expected[@]} files in place, desktop files valid, libraries usable, programs run"
