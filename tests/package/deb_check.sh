#!/usr/bin/env bash
# The Debian package, built by cpack into a temporary folder: its files must be
# exactly those of the contents list, Depends (computed by dpkg-shlibdeps) must
# name the Qt 6 libraries, the metainfo's newest release must be the package
# version, the packaged desktop entry and AppStream data must validate, and the
# packaged (stripped) programs must start and find their English translation.
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
metainfo="$work/root/usr/share/metainfo/org.example.quillow.metainfo.xml"
newest=$(grep -o '<release [^>]*version="[^"]*"' "$metainfo" | head -n 1 | sed 's/.*version="//; s/"$//')
[ "$newest" = "$version" ] || fail "the metainfo's newest release is '$newest', the package is $version"
# validate-tree checks the metainfo as `validate` does, and also that its desktop entry is there.
appstreamcli validate-tree --no-net "$work/root" || fail "appstreamcli validate-tree"
desktop_report=$(desktop-file-validate "$work/root/usr/share/applications/quillow.desktop" 2>&1) \
  || fail "desktop-file-validate"
if grep -Eq 'error:|warning:' <<<"$desktop_report"; then fail "desktop-file-validate: $desktop_report"; fi

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
