#!/bin/sh
# The peer a user would otherwise write: the same steps as unattended, as a
# POSIX shell script on the same drive mapping. $1 is the setup program.
c="$WINEPREFIX/dosdevices/c:"
echo "Starting unattended installation."
if ! mkdir -p "$c/torvask"; then
  echo "Error while creating C:\\Torvask."
  exit 1
fi
printf '[ResponseResult]\r\nResultCode=999\r\n' > "$c/torvask/setup.log"
if ! "$1" -s '-f2C:\Torvask\setup.log'; then :; fi
while :; do
  sleep 1
  code=$(sed -n 's/^ResultCode=\([-0-9]*\).*/\1/p' "$c/torvask/setup.log")
  [ -n "$code" ] && [ "$code" != 999 ] && break
done
if [ "$code" = 0 ]; then echo "Installation succeeded."; else echo "Installation failed $code."; fi
exit "$code"
