#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What the package installs: every file where a desktop looks for it, the
# desktop entry and metainfo valid, the man page and changelog compressed,
# the Depends worked out, and nothing of the tests.
#   package_files.sh <package folder, with root/ unpacked by package_build.sh>
set -euo pipefail
out=$1 root=$1/root
deb=$(echo "$out"/chronivel_*.deb)
fail() { echo "FAIL: $*" >&2; exit 1; }

id=org.orvantis.Chronivel
expected=(
    usr/bin/chronivel
    usr/share/applications/$id.desktop
    usr/share/metainfo/$id.metainfo.xml
    usr/share/icons/hicolor/scalable/apps/$id.svg
    usr/share/man/man1/chronivel.1.gz
    usr/share/chronivel/help/index.html
    usr/share/doc/chronivel/copyright
    usr/share/doc/chronivel/changelog.gz
)
for size in 16 32 48 64 128 256; do
    expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$id.png")
done
for f in "${expected[@]}"; do
    [[ -f $root/$f ]] || fail "the package does not install /$f"
done

# Nothing else than the program in bin, and nothing of the build's tests.
[[ $(ls "$root/usr/bin") == chronivel ]] || fail "/usr/bin holds $(ls "$root/usr/bin" | tr '\n' ' ')"
unexpected=$(cd "$root" && find . -type f | grep -E 'test|bench|gallery|\.a$|\.h$' || true)
[[ -z $unexpected ]] || fail "the package installs $unexpected"

desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop-file-validate rejects the desktop entry"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" || fail "appstreamcli rejects the metainfo"

# gzip -n leaves out the name and time, so a rebuilt package has the same bytes.
for gz in usr/share/man/man1/chronivel.1.gz usr/share/doc/chronivel/changelog.gz; do
    gzip -t "$root/$gz" || fail "/$gz is not a gzip file"
    [[ $(od -An -tu4 -j4 -N4 "$root/$gz" | tr -d ' ') == 0 ]] || fail "/$gz carries a time stamp"
done

# Owned by root, readable by all, executable only where it is a program or folder.
listing=$(dpkg-deb -c "$deb")
awk '$2 != "root/root" { print; bad = 1 } END { exit bad }' <<<"$listing" || fail "files not owned by root"
awk '{ want = ($1 ~ /^d/ || $6 == "./usr/bin/chronivel") ? "rwxr-xr-x" : "rw-r--r--" }
     substr($1, 2) != want { print; bad = 1 } END { exit bad }' <<<"$listing" ||
    fail "files or folders with permissions other than 0644 and 0755"

# dpkg-shlibdeps found the Qt libraries the program links to.
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6core6 libqt6widgets6 libqt6multimedia6 libc6; do
    grep -q "\b$lib\b" <<<"$depends" || fail "Depends does not name $lib: $depends"
done
# What a desktop may lack: the Wayland plugin, a sound server for libpulse.
recommends=$(dpkg-deb -f "$deb" Recommends)
[[ $recommends == *qt6-wayland* && $recommends == *"pipewire-pulse | pulseaudio"* ]] ||
    fail "Recommends lacks qt6-wayland or a sound server: $recommends"
[[ $(file -b "$root/usr/bin/chronivel") == *stripped* && $(file -b "$root/usr/bin/chronivel") != *"not stripped"* ]] ||
    fail "the program is not stripped: $(file -b "$root/usr/bin/chronivel")"
echo "PASS"
