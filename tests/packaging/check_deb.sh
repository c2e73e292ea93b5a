#!/usr/bin/env bash
# One check of the .deb as it ships. Usage: check_deb.sh CHECK DEB VERSION APP_ID
#   tree       its files: program, desktop entry, metainfo and icons (valid,
#              naming each other, AppStream's checks on the whole tree), the
#              manual page, copyright and changelog, and the screenshot the
#              metainfo shows is one of ours
#   control    control fields and dependencies, and nothing else in it
#   documents  DEP-5 copyright with LICENSE's text, changelog and manual page
#              gzipped reproducibly, the manual page without man's warnings
#   lintian    no lintian error or warning (pedantic)
#   release    the changelog's last entry is this version, released the day
#              the metainfo says
# Run from the source folder.
set -uo pipefail
check="$1" deb="$2" version="$3" app_id="$4"
[ -f "$deb" ] || { echo "FAIL: no $deb"; exit 1; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Text as one line of words, for comparing texts wrapped differently.
words() { tr -s '[:space:]' ' ' | sed 's/^ //; s/ $//'; }
# The licence paragraph of a machine-readable copyright file, as plain text.
copyright_licence() {
  awk 'BEGIN { RS = "" }
       /^License:/ { n = split($0, line, "\n")
                     for (i = 2; i <= n; i++) { sub(/^ /, "", line[i]); print (line[i] == "." ? "" : line[i]) } }' "$1"
}
release_of() {  # field of the metainfo's newest release
  sed -n "s/.*<release version=\"\([^\"]*\)\" date=\"\([^\"]*\)\".*/\\$1/p" "$dir/usr/share/metainfo/$app_id.metainfo.xml" | head -1
}

dpkg-deb -x "$deb" "$dir" || exit 1
case "$check" in
  tree)
    tests/packaging/check_tree.sh "$dir/usr" "$app_id" || fail "the tree"
    out=$(appstreamcli validate-tree --pedantic --no-net "$dir" 2>&1) || fail "appstreamcli validate-tree"
    grep '^[EWIP]: ' <<<"$out" && fail "AppStream issues"
    shot=$(sed -n 's|.*<image>.*/\([^/]*\)</image>.*|\1|p' "$dir/usr/share/metainfo/$app_id.metainfo.xml")
    [ -n "$shot" ] && [ -f "docs/$shot" ] || fail "the screenshot '$shot' is not in docs/"
    ;;
  control)
    while IFS='|' read -r field expected; do
      got=$(dpkg-deb -f "$deb" "$field")
      [ "$got" = "$expected" ] || fail "$field is '$got', expected '$expected'"
    done <<FIELDS
Package|quintora
Version|$version
Architecture|$(dpkg --print-architecture)
Maintainer|Quintora developers <quintora@example.org>
Section|utils
Recommends|qt6-wayland
FIELDS
    # The fonts named by hand, and the libraries dpkg-shlibdeps found in the
    # program: without those the package would install but not start.
    depends=$(dpkg-deb -f "$deb" Depends)
    echo "Depends: $depends"
    for dep in fonts-comic-neue fonts-liberation fonts-dejavu-core libc6 libstdc++6 \
               libqt6core6 libqt6gui6 libqt6widgets6; do
      [[ ", $depends," == *", $dep "* || ", $depends," == *", $dep,"* ]] || fail "Depends lacks $dep"
    done
    unexpected=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '/$' |
      grep -Ev "^\./usr/(bin/quintora|share/applications/$app_id\.desktop|share/metainfo/$app_id\.metainfo\.xml|share/icons/hicolor/[0-9]+x[0-9]+/apps/$app_id\.png|share/man/man1/quintora\.1\.gz|share/doc/quintora/(copyright|changelog\.gz))$")
    [ -z "$unexpected" ] || fail "unexpected files: $unexpected"
    ;;
  documents)
    copyright="$dir/usr/share/doc/quintora/copyright"
    changelog="$dir/usr/share/doc/quintora/changelog.gz"
    manpage="$dir/usr/share/man/man1/quintora.1.gz"
    head -1 "$copyright" | grep -qx "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ||
      fail "the copyright file is not machine-readable"
    [ "$(copyright_licence "$copyright" | words)" = "$(sed -n '/^Permission/,$p' LICENSE | words)" ] ||
      fail "the copyright's licence is not LICENSE's text"
    for path in "$changelog" "$manpage"; do  # gzip -n: no file name (flags 0), no time stamp
      [ "$(od -An -tx1 -j3 -N5 "$path" | tr -d ' \n')" = 0000000000 ] || fail "${path#"$dir"} keeps a name or time stamp"
    done
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$manpage" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man warns: $warnings"
    sections=$(zcat "$manpage" | sed -n 's/^\.SH "\{0,1\}\([^"]*\)"\{0,1\}$/\1/p' | tr '\n' ' ')
    for section in NAME SYNOPSIS DESCRIPTION OPTIONS KEYS FILES; do
      [[ " $sections" == *" $section "* ]] || fail "the manual page has no $section section"
    done
    zcat "$manpage" | grep -q "^\.TH QUINTORA 1 .*\"Quintora $version\"" || fail "the manual page is not of $version"
    ;;
  lintian)
    out=$(lintian --display-info --pedantic "$deb" 2>&1 | grep -v "running with root privileges")
    [ -z "$out" ] || echo "$out"
    grep -q '^[EW]: ' <<<"$out" && fail "lintian errors or warnings"
    ;;
  release)
    zcat "$dir/usr/share/doc/quintora/changelog.gz" >"$dir/changelog"
    [ "$(dpkg-parsechangelog -l "$dir/changelog" -S Version)" = "$version" ] ||
      fail "the changelog's last entry is not $version"
    [ "$(release_of 1)" = "$version" ] || fail "the metainfo's newest release is $(release_of 1)"
    released=$(date -u -d "@$(dpkg-parsechangelog -l "$dir/changelog" -S Timestamp)" +%F)
    [ "$released" = "$(release_of 2)" ] || fail "released $released in the changelog, $(release_of 2) in the metainfo"
    ;;
  *) echo "usage: check_deb.sh tree|control|documents|lintian|release DEB VERSION APP_ID" >&2; exit 2 ;;
esac
[ "$failures" -eq 0 ] && echo "ok: $check"
[ "$failures" -eq 0 ]
