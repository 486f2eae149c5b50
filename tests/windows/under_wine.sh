#!/usr/bin/env bash
# Runs the Windows build's version probe under Wine and checks what the file
# properties show. Exits 77 (skipped) where this machine cannot run Wine's
# 32-bit code at all.
set -euo pipefail
windows_dir=$1
if ! timeout 30 /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "skipped: this machine cannot run 32-bit (i386) programs, so wine32 cannot start"
  exit 77
fi
prefix=$(mktemp -d /tmp/unattended-wine-XXXXXX)
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$prefix"' EXIT
wineboot -i >/dev/null 2>&1
shown=$(wine "$windows_dir/version_probe.exe" "$windows_dir/unattended.exe" | tr -d '\r')
echo "$shown"
grep -qx 'FileVersion 1.0.0.1' <<<"$shown"
grep -qx 'FileVersion: Version 1.0' <<<"$shown"
grep -qx 'ProductVersion: Version 1.0' <<<"$shown"
