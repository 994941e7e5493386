#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Lintian's verdict on the package: no errors. Its warnings are printed for
# whoever reads the log.
#   package_lintian.sh <package folder>
set -euo pipefail
deb=$(echo "$1"/chronivel_*.deb)
status=0
report=$(lintian --no-cfg --display-info "$deb" 2>&1) || status=$?
echo "$report"
if grep -q '^E: ' <<<"$report" || ((status != 0)); then
    echo "FAIL: lintian reports errors (status $status)" >&2
    exit 1
fi
echo "PASS"
