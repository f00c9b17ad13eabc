#!/usr/bin/env bash
# The Debian package, built by cpack into a temporary folder: its files must be
# exactly those of the contents list, Depends (computed by dpkg-shlibdeps) must
# name the Qt 6 libraries, the metainfo's newest release must be the package
# version, the packaged desktop entry (named after the AppStream id) and
# AppStream data must validate, the packaged (stripped) programs must start and
# find their English translation, and lintian (where installed) must find no
# error or warning. With xdg-utils installed, the package installed into a
# scratch XDG setup must not become the opener of text files.
#
# usage: bash deb_check.sh CPACK CPACK_CONFIG CONTENTS_LIST VERSION
# Exits with 77 (skipped) when a tool it needs is missing.
set -euo pipefail

cpack=${1:?usage: deb_check.sh CPACK CPACK_CONFIG CONTENTS_LIST VERSION}
config=${2:?} contents=${3:?} version=${4:?}
for tool in "$cpack" dpkg-deb dpkg-shlibdeps appstreamcli desktop-file-validate; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/setup.sh installs it)"; exit 77; }
done

work=$(mktemp -d)
# cpack's install step rewrites the build tree's install_manifest.txt; leave the
# build tree as it was, including a manifest that `cmake --install` wrote.
manifest="$(dirname "$config")/install_manifest.txt"
if [ -f "$manifest" ]; then cp -p "$manifest" "$work/manifest.kept"; fi
restore() {
  if [ -f "$work/manifest.kept" ]; then mv -f "$work/manifest.kept" "$manifest"; else rm -f "$manifest"; fi
  rm -rf "$work"
}
trap restore EXIT

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if ! "$cpack" -G DEB --config "$config" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  echo "FAIL: cpack"
  exit 1
fi
debs=("$work"/out/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then echo "FAIL: cpack made no single .deb"; exit 1; fi
deb=${debs[0]}

# Packaged files and links (not folders), relative to /, against the list.
mapfile -t files < <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }')
mapfile -t patterns < <(grep -v -e '^[[:space:]]*#' -e '^[[:space:]]*$' "$contents")
matches() { # PATH PATTERN...: whether PATH matches one of the shell patterns
  local path=$1 pattern
  shift
  for pattern; do
    # shellcheck disable=SC2053 # the pattern is a glob on purpose
    [[ $path == $pattern ]] && return 0
  done
  return 1
}
for pattern in "${patterns[@]}"; do
  found=0
  for file in "${files[@]}"; do matches "$file" "$pattern" && { found=1; break; }; done
  ((found)) || fail "nothing in the package matches '$pattern'"
done
for file in "${files[@]}"; do
  matches "$file" "${patterns[@]}" || fail "$file is in the package but not in $(basename "$contents")"
done

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = quillow ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), expected $version"
depends=$(field Depends)
# Svg is loaded as a plugin for the SVG icons, so the linker alone would miss it.
for lib in libqt6core6 libqt6gui6 libqt6widgets6 libqt6svg6; do
  grep -Eq "(^|[ ,|])$lib([ ,(]|$)" <<<"$depends" || fail "Depends does not name $lib: $depends"
done

dpkg-deb -x "$deb" "$work/root"
app_id=org.example.quillow
metainfo="$work/root/usr/share/metainfo/$app_id.metainfo.xml"
newest=$(grep -o '<release [^>]*version="[^"]*"' "$metainfo" | head -n 1 | sed 's/.*version="//; s/"$//')
[ "$newest" = "$version" ] || fail "the metainfo's newest release is '$newest', the package is $version"
# validate-tree checks the metainfo as `validate` does, and also that its desktop entry is there.
appstreamcli validate-tree --no-net "$work/root" || fail "appstreamcli validate-tree"
desktop="$work/root/usr/share/applications/$app_id.desktop"
desktop_report=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate"
if grep -Eq 'error:|warning:' <<<"$desktop_report"; then fail "desktop-file-validate: $desktop_report"; fi
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" \
  || fail "the metainfo does not launch $app_id.desktop"
for field in Maintainer Homepage; do
  [ -n "$(field $field)" ] || fail "no $field"
done

# No claim to open text files: in an XDG setup of its own (no other
# application installed, the MIME cache built as a package install builds
# it), xdg-mime must name no opener for text/plain.
if command -v xdg-mime >/dev/null; then
  xdg="$work/xdg"
  mkdir -p "$xdg/config" "$xdg/data" "$xdg/share"
  cp -r "$work/root/usr/share/applications" "$xdg/share/"
  if command -v update-desktop-database >/dev/null; then update-desktop-database "$xdg/share/applications"; fi
  opener=$(env -i PATH="$PATH" HOME="$xdg" XDG_CONFIG_HOME="$xdg/config" XDG_CONFIG_DIRS="$xdg/config" \
    XDG_DATA_HOME="$xdg/data" XDG_DATA_DIRS="$xdg/share" xdg-mime query default text/plain 2>&1) || true
  [ -z "$opener" ] || fail "xdg-mime names an opener for text/plain: $opener"
fi

# Debian's own checks, errors and warnings alike (information and
# overrides aside).
if command -v lintian >/dev/null; then
  lintian_report=$(lintian --fail-on none "$deb" 2>&1) || true
  if grep -Eq '^(E|W): ' <<<"$lintian_report"; then fail "lintian: $lintian_report"; fi
fi

for program in quillow quillow-cli; do
  # The translation is found from where the program is installed.
  help=$(LANG=C "$work/root/usr/bin/$program" --help) || fail "$program --help from the package"
  [[ $help == "Usage: "* ]] || fail "$program --help from the package speaks no English: ${help%%$'\n'*}"
  help=$(LANGUAGE=zh_CN "$work/root/usr/bin/$program" --help) || true
  [[ $help == "用法："* ]] || fail "$program --help under LANGUAGE=zh_CN speaks no Chinese: ${help%%$'\n'*}"
  # man finds the English page for C and the Chinese one for zh_CN and zh_TW.
  for locale in C:NAME zh_CN:名称 zh_TW:名称; do
    page=$(MANPATH="$work/root/usr/share/man" LANG=C man -L "${locale%%:*}" "$program" 2>&1) || true
    [[ $page == *"${locale#*:}"* ]] || fail "man $program under ${locale%%:*}: ${page:0:200}"
  done
done

if ((failures)); then
  echo "Package contents:"
  printf '  %s\n' "${files[@]}"
  echo "Depends: $depends"
  exit 1
fi
echo "ok: $(basename "$deb"), ${#files[@]} files; Depends: $depends"
