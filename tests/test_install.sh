#!/usr/bin/env bash
# cmake --install into a temporary prefix puts the program, a desktop entry
# that passes the desktop's own checker, and the icon in every size where
# desktops look for them.
# usage: test_install.sh BUILD-DIR
set -euo pipefail
prefix=$(mktemp -d "${TMPDIR:-/tmp}/vorlane-install.XXXXXX")
trap 'rm -rf -- "$prefix"' EXIT
cmake --install "${1:?usage: test_install.sh BUILD-DIR}" --prefix "$prefix" >/dev/null
for f in bin/vorlane share/icons/hicolor/scalable/apps/vorlane.svg \
    share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/vorlane.png; do
    [[ -s $prefix/$f ]] || { echo "FAIL: not installed: $f" >&2; exit 1; }
done
desktop-file-validate "$prefix/share/applications/vorlane.desktop"
grep -qx 'Icon=vorlane' "$prefix/share/applications/vorlane.desktop"
