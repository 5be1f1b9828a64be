#!/usr/bin/env bash
# Builds the Debian package (dpkg-buildpackage -b -us -uc) and leaves
# OUTDIR/vigiax_<version>_<arch>.deb, with the build's log in OUTDIR/vigiax-build.log.
# It builds in a copy of the working tree (the files git tracks or does not ignore) under
# OUTDIR/stage, which it deletes afterwards with the .changes and .buildinfo that
# dpkg-buildpackage leaves beside it: neither the tree nor the folder above it is written.
# The build dependencies come from scripts/install-deps.sh.
# Usage: scripts/package.sh OUTDIR
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "${1:?Usage: package.sh OUTDIR}"
out=$(cd "$1" && pwd)

version=$(dpkg-parsechangelog -l "$root/debian/changelog" -S Version)
arch=$(dpkg-architecture -qDEB_HOST_ARCH)
deb=vigiax_${version}_${arch}.deb
# A fixed place, so that ccache finds the same paths from one build to the next.
stage=$out/stage
src=$stage/vigiax-$version
log=$out/vigiax-build.log

rm -rf "$stage" "${out:?}/$deb"
mkdir -p "$src"
trap 'rm -rf "$stage"' EXIT

if git -C "$root" rev-parse --git-dir >/dev/null 2>&1; then
  git -C "$root" ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' f; do
      # Files deleted in the working tree are still in the index.
      if [[ -e $root/$f || -L $root/$f ]]; then printf '%s\0' "$f"; fi
    done |
    tar -C "$root" --null -T - -cf - | tar -C "$src" -xf -
else
  tar -C "$root" --exclude='./build*' --exclude='./obj-*' -cf - . | tar -C "$src" -xf -
fi

if [[ " ${DEB_BUILD_OPTIONS:-} " != *" parallel="* ]]; then
  cores=$(nproc)
  export DEB_BUILD_OPTIONS="${DEB_BUILD_OPTIONS:+$DEB_BUILD_OPTIONS }parallel=$cores"
fi
if command -v ccache >/dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache
  # debhelper gives the build a HOME of its own: name the usual cache.
  CCACHE_DIR=$(ccache -k cache_dir)
  export CCACHE_DIR
fi
if ! (cd "$src" && dpkg-buildpackage -b -us -uc) >"$log" 2>&1; then
  tail -n 40 "$log" >&2
  echo "package.sh: dpkg-buildpackage failed; its log: $log" >&2
  exit 1
fi
mv "$stage/$deb" "$out/$deb"
echo "$out/$deb"
