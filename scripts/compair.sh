#!/usr/bin/env bash
# Links a socat pty pair into the Wine prefix as two COM ports, so a test can
# talk from one port to the other over a real serial path.
#   compair.sh start A B   links comA <-> comB (background socat, pid file)
#   compair.sh stop A B    stops that pair and removes the links
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
prefix=${PELMORA_WINEPREFIX:-$here/../build/wineprefix}
cmd=$1 a=$2 b=$3
dev=$prefix/dosdevices
pidfile=$prefix/compair-$a-$b.pid
case $cmd in
start)
  rm -f "$dev/com$a" "$dev/com$b"
  setsid socat pty,raw,echo=0,link="$dev/com$a" pty,raw,echo=0,link="$dev/com$b" \
    </dev/null >/dev/null 2>&1 &
  echo $! >"$pidfile"
  for _ in $(seq 100); do
    [ -e "$dev/com$a" ] && [ -e "$dev/com$b" ] && exit 0
    sleep 0.05
  done
  echo "socat did not link com$a/com$b" >&2
  exit 1 ;;
stop)
  [ -f "$pidfile" ] && kill "$(cat "$pidfile")" 2>/dev/null
  rm -f "$pidfile" "$dev/com$a" "$dev/com$b"
  exit 0 ;;
esac
echo "usage: compair.sh start|stop A B" >&2
exit 2
