#!/usr/bin/env bash
# Checks an installed Quintora under PREFIX (a staging folder's usr/ or the
# system's /usr): the program, a valid desktop entry and AppStream metainfo
# that name each other, the icon at every size in the hicolor theme, the
# manual page, the copyright and the changelog.
# Usage: check_tree.sh PREFIX [APP_ID]
set -uo pipefail

prefix="$1"
app_id="${2:-org.example.quintora}"
desktop="$prefix/share/applications/$app_id.desktop"
metainfo="$prefix/share/metainfo/$app_id.metainfo.xml"
failures=0
fail() { echo "  FAIL: $*"; failures=$((failures + 1)); }

entry() { sed -n "s/^$1=//p" "$desktop"; }

[ -x "$prefix/bin/quintora" ] || fail "no program $prefix/bin/quintora"

if [ -f "$desktop" ]; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
  [ "$(entry Name)" = "Quintora" ] || fail "Name is '$(entry Name)'"
  [ "$(entry Exec)" = "quintora" ] || fail "Exec is '$(entry Exec)'"
  [ "$(entry Categories)" = "Utility;Calculator;Qt;" ] || fail "Categories are '$(entry Categories)'"
  [ -n "$(entry Comment)" ] && [ -n "$(entry 'Comment\[es\]')" ] || fail "no English and Spanish Comment"
  # The class part of the window's WM_CLASS, which the application name sets.
  [ "$(entry StartupWMClass)" = "Quintora" ] || fail "StartupWMClass is '$(entry StartupWMClass)'"
  icon=$(entry Icon)
  [ "$icon" = "$app_id" ] || fail "Icon is '$icon'"
else
  fail "no desktop entry $desktop"
fi

for size in 16 32 48 64 128 256; do
  png="$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
  if [ -f "$png" ]; then
    file -b "$png" | grep -q "^PNG image data, $size x $size," || fail "$png is $(file -b "$png")"
  else
    fail "no icon $png"
  fi
done

if [ -f "$metainfo" ]; then
  grep -q "<id>$app_id</id>" "$metainfo" || fail "metainfo id is not $app_id"
  grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "metainfo does not launch $app_id.desktop"
  grep -q "<metadata_license>" "$metainfo" || fail "metainfo has no metadata licence"
  grep -q "<project_license>MIT</project_license>" "$metainfo" || fail "metainfo's project licence is not MIT"
  grep -q "<screenshot type=\"default\">" "$metainfo" || fail "metainfo has no screenshot"
else
  fail "no metainfo $metainfo"
fi

for doc in share/man/man1/quintora.1.gz share/doc/quintora/copyright share/doc/quintora/changelog.gz; do
  [ -f "$prefix/$doc" ] || fail "no $prefix/$doc"
done

[ "$failures" -eq 0 ]
