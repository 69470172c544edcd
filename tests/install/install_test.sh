#!/usr/bin/env bash
# Installs the build into a temporary prefix, moves the installed tree
# somewhere else (it must not depend on where it was installed, nor on the
# build tree), and runs the programs from there: devicectl, an unattended
# backup and restore by both editions, and tessaly's window with the Qt
# module, which a second start brings forward. Checks the desktop entries
# (with desktop-file-validate where it is installed) and the manual pages.
#
# Usage: install_test.sh BUILD_DIR WITH_QT(ON|OFF)
set -euo pipefail

build=$1
with_qt=${2:-ON}

work=$(mktemp -d)
started=""
cleanup() {
  if [ -n "$started" ]; then kill "$started" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cmake --install "$build" --prefix "$work/installed" >"$work/install.log" ||
  fail "cmake --install: $(cat "$work/install.log")"
mv "$work/installed" "$work/moved"
prefix=$work/moved

# ---- What the tree holds ----
for file in bin/tessaly bin/tessbook bin/devicectl \
  share/tessaly/help/tessaly.htm \
  share/applications/tessaly.desktop share/applications/tessbook.desktop \
  share/man/man1/tessaly.1 share/man/man1/tessbook.1 share/man/man1/devicectl.1; do
  [ -f "$prefix/$file" ] || fail "the installed tree has no $file"
done
for size in 16 32 48 64 128 256; do
  for edition in tessaly tessbook; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/$edition.png
    [ -f "$icon" ] || fail "no ${size}x${size} icon for $edition"
    header=$(head -c 24 "$icon" | od -An -tx1 | tr -d ' \n')
    # The PNG's own width and height (IHDR) match the folder it is in.
    [ "${header:32:8}" = "$(printf '%08x' "$size")" ] || fail "$icon is not $size pixels wide"
  done
done
if [ "$with_qt" = ON ]; then
  module=$(find "$prefix" -name tessaly-qt.so)
  [ -n "$module" ] || fail "the Qt module is not installed"
  case "$module" in "$prefix"/bin/*) fail "the Qt module lies among the programs: $module" ;; esac
fi

# ---- The desktop entries ----
for edition in tessaly tessbook; do
  entry=$prefix/share/applications/$edition.desktop
  grep -qx "Exec=$edition" "$entry" || fail "$edition.desktop does not start $edition"
  grep -qx "Icon=$edition" "$entry" || fail "$edition.desktop does not show the $edition icon"
  grep -qx "StartupWMClass=$edition" "$entry" || fail "$edition.desktop names another window class"
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entry" || fail "$edition.desktop does not validate"
  fi
done

# ---- The manual pages: they format without warnings, and devicectl's
# lists every command its usage lists ----
if command -v groff >/dev/null; then
  for page in tessaly tessbook devicectl; do
    warnings=$(groff -man -Tutf8 -ww -z "$prefix/share/man/man1/$page.1" 2>&1)
    [ -z "$warnings" ] || fail "$page.1: $warnings"
  done
  manual=$(groff -man -Tascii -P-cbou "$prefix/share/man/man1/devicectl.1" 2>/dev/null)
  while read -r command verb _; do
    case "$verb" in
      list | get | set | delete | backup | restore | send | receive | show | verify | c\|d) ;;
      *) verb="" ;;
    esac
    grep -q -- "^ *$command${verb:+ $verb}\\b" <<<"$manual" ||
      fail "devicectl.1 does not describe \"$command${verb:+ $verb}\""
  done < <("$prefix/bin/devicectl" --help | sed -n 's/^  \([a-z]\)/\1/p')
fi

# ---- devicectl and an unattended tessaly from the moved tree ----
export TESSALY_DEVICE=$work/device TESSALY_IR_ROOM=$work/ir
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM TESSALY_HELP_DIR
"$prefix/bin/devicectl" create Installed --type 42 >/dev/null || fail "devicectl create"
"$prefix/bin/devicectl" add Installed 1:TEXT=kept 2:LONG=7 >/dev/null || fail "devicectl add"
"$prefix/bin/tessaly" /B "$work/all.bkp" /D /I || fail "tessaly /B ended with status $?"
"$prefix/bin/devicectl" archive verify "$work/all.bkp" >/dev/null || fail "the backup does not verify"
"$prefix/bin/devicectl" delete Installed >/dev/null || fail "devicectl delete"
"$prefix/bin/tessbook" /R "$work/all.bkp" /D /I || fail "tessbook /R ended with status $?"
"$prefix/bin/devicectl" dump Installed | grep -q kept || fail "the restored database lost its record"

# ---- tessaly's window, with the installed Qt module ----
if [ "$with_qt" = ON ]; then
  # The running window is announced on an abstract socket named after the
  # device directory (FNV-1a of its path) and the window class.
  device=$(realpath -m "$TESSALY_DEVICE")
  hash=1469598103934665603
  for ((i = 0; i < ${#device}; i++)); do
    printf -v code '%d' "'${device:i:1}"
    hash=$(((hash ^ code) * 1099511628211))
  done
  printf -v socket '@tessaly/%016x/maindbdeleteclass' "$hash"
  QT_QPA_PLATFORM=offscreen "$prefix/bin/tessaly" 2>"$work/window.err" &
  started=$!
  for ((i = 0; i < 300; i++)); do
    grep -q "$socket" /proc/net/unix && break
    kill -0 "$started" 2>/dev/null || fail "tessaly's window did not stay open: $(cat "$work/window.err")"
    sleep 0.1
  done
  grep -q "$socket" /proc/net/unix || fail "tessaly's window did not open within 30 seconds"
  ! grep -q "cannot be shown" "$work/window.err" || fail "$(cat "$work/window.err")"
  # A second start finds the first and brings it forward.
  QT_QPA_PLATFORM=offscreen timeout 20 "$prefix/bin/tessaly" || fail "a second start ended with status $?"
  kill "$started"
  wait "$started" 2>/dev/null || true
  started=""
fi

echo "installed tree works: $prefix"
