#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Debian package from the build folder $1 into $2 and unpacks it into
# $2/root as dpkg would install it, without installing anything.
#   package_build.sh <build folder> <package folder>
set -euo pipefail
build=$1 out=$2
rm -rf "$out"
mkdir -p "$out"
cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 ||
    { cat "$out/cpack.log" >&2; echo "FAIL: cpack failed" >&2; exit 1; }
debs=("$out"/chronivel_*.deb)
((${#debs[@]} == 1)) && [[ -f ${debs[0]} ]] || { echo "FAIL: no single chronivel_*.deb in $out: ${debs[*]}" >&2; exit 1; }
version=$(dpkg-deb -f "${debs[0]}" Version)
arch=$(dpkg-deb -f "${debs[0]}" Architecture)
[[ $(basename "${debs[0]}") == "chronivel_${version}_${arch}.deb" ]] ||
    { echo "FAIL: the package is named $(basename "${debs[0]}"), not chronivel_${version}_${arch}.deb" >&2; exit 1; }
dpkg -x "${debs[0]}" "$out/root"
echo "PASS: ${debs[0]}"
