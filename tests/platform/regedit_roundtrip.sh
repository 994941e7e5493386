#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The settings file as a registry editor sees it: texts beyond ASCII and
# beyond Windows-1252 must come through Wine's regedit exactly, both ways.
#   regedit_roundtrip.sh <regedit_settings program> <work folder>
# 1. The program's own writer saves settings; `regedit /S` imports the file
#    and `regedit /E` exports the key again, in regedit's own encoding.
# 2. `reg add` sets other texts; the program's reader loads regedit's export.
# Wine runs in a prefix of its own in the work folder (made at the first run,
# ~10 s), through tools/wine-run; its server is stopped at the end.
set -euo pipefail
tool=$1
work=$2
root=$(cd "$(dirname "$0")/../.." && pwd)

export LC_ALL=C.UTF-8  # Wine takes our arguments in the locale's character set
export WINEPREFIX=$work/wineprefix
export XDG_CONFIG_HOME=$work/config
title=RegeditTest
key="HKEY_CURRENT_USER\\Software\\Orvantis\\$title"
settings=$XDG_CONFIG_HOME/Orvantis/$title.reg

mkdir -p "$work"
cd "$work"
rm -rf "$XDG_CONFIG_HOME" export.reg
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
wine_run() { "$root/tools/wine-run" "$@"; }

# The key's values as regedit exports them, in UTF-8 without CRs.
exported() {
    rm -f export.reg
    wine_run regedit.exe /E export.reg "$key"
    [[ -f export.reg ]] || fail "regedit exported nothing of $key"
    [[ $(head -c 2 export.reg | od -An -tx1 | tr -d ' ') == fffe ]] || fail "regedit's export is not UTF-16LE"
    iconv -f UTF-16 -t UTF-8 export.reg | tr -d '\r'
}

# Expects the line exactly once in regedit's export.
expect_line() {
    local text=$1 line=$2
    [[ $(grep -cxF -- "$line" <<<"$text") == 1 ]] || fail "regedit does not read $line; its export:
$text"
}

# The key's leftovers from an earlier run would hide an import that failed.
wine_run reg.exe delete "$key" /f >/dev/null 2>&1 || true

# 1. Our file into regedit.
"$tool" write "$title" '/home/jürgen/Läufe ß €/Ω 日本.txt' 'C:\Bilder\Straße ä €\łódź Ω 日本 🏁.bmp'
wine_run regedit.exe /S "$settings"
text=$(exported)
expect_line "$text" '"FileName"="/home/jürgen/Läufe ß €/Ω 日本.txt"'
expect_line "$text" '"Fon"="C:\\Bilder\\Straße ä €\\łódź Ω 日本 🏁.bmp"'
expect_line "$text" '"CountDownT"=dword:0000ea60'

# 2. regedit's export into our reader.
wine_run reg.exe add "$key" /v FileName /t REG_SZ /d 'D:\Läufe\ł ß € Ω 日本.txt' /f >/dev/null
wine_run reg.exe add "$key" /v Fon /t REG_SZ /d 'E:\ä "Ω" 日本\🏁.bmp' /f >/dev/null
exported >/dev/null
cp export.reg "$settings"
read_back=$("$tool" read "$title") || fail "our reader refused regedit's export: $read_back"
expected='D:\Läufe\ł ß € Ω 日本.txt
E:\ä "Ω" 日本\🏁.bmp'
[[ $read_back == "$expected" ]] || fail "our reader read regedit's export as
$read_back
instead of
$expected"
echo "PASS"
