#!/usr/bin/env bash
# vardimo in a real window on a virtual X server: it draws, writes its file and exits 0; when the
# display goes away while the window is up, or while a message waits for its answer, it goes on
# without a screen (messages on standard error), still writes its file and exits 0.
# Usage: vardimo_display_test.sh PATH-TO-vardimo PATH-TO-vardimo-data
set -u
vardimo=$(realpath "$1")
data_tool=$(realpath "$2")
scratch=$(mktemp -d)
server=
trap '[[ -n $server ]] && kill "$server" 2>/dev/null; rm -rf "$scratch"' EXIT
failures=0

fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

# Starts a virtual X server on a free display number; sets `display` and `server`.
start_server() {
  for number in $(seq $((100 + RANDOM % 400)) 600); do
    [[ -e /tmp/.X11-unix/X$number || -e /tmp/.X$number-lock ]] && continue
    Xvfb ":$number" -screen 0 640x480x24 -nolisten tcp >/dev/null 2>&1 &
    server=$!
    display=:$number
    for _ in $(seq 50); do
      [[ -e /tmp/.X11-unix/X$number ]] && return 0
      kill -0 "$server" 2>/dev/null || break
      sleep 0.1
    done
  done
  echo "cannot start Xvfb" >&2
  exit 1
}

"$data_tool" sample "$scratch/db" --companies 1 --employees 12 --year 2014 >/dev/null || exit 1
cnpj=$("$data_tool" export Empresa "$scratch/db/BComuns/Empresas.Tps" | sed -n 2p | cut -d, -f16 |
  tr -d '"')
hand_over() {
  printf '[Quelbrix]\r\nEMPID=1\r\nEMPCOD=1\r\nEMPCNPJ=%s\r\nEMPANO=2014\r\n' "$cnpj" \
    >"$scratch/db/Quelbrix.ini"
}

# 1. Drawn and closed by itself.
start_server
hand_over
(cd "$scratch/db" && DISPLAY=$display VARDIMO_BACKEND=fltk timeout 60 "$vardimo" 2>"$scratch/err")
code=$?
[[ $code -eq 0 ]] || fail "a run in a window ended with $code"
[[ -s $scratch/db/Temp/DASN.TXT ]] || fail "a run in a window wrote no summary"
[[ -e $scratch/db/Quelbrix.ini ]] && fail "a run in a window left the hand-over"
[[ -s $scratch/err ]] && fail "a run in a window wrote to standard error: $(cat "$scratch/err")"
expected=$(cat "$scratch/db/Temp/DASN.TXT")

# Runs vardimo in `folder` on the display, ends the X server two seconds later and waits for the
# program; sets `code`.
run_and_lose_display() {
  local folder=$1
  (cd "$folder" && DISPLAY=$display VARDIMO_BACKEND=fltk VARDIMO_WINDOW_HOLD=10 \
    timeout 60 "$vardimo" 2>"$scratch/err") &
  local program=$!
  sleep 2
  kill "$server"
  wait "$server" 2>/dev/null
  server=
  wait "$program"
  code=$?
}

# 2. The display goes away while the window is held on screen.
hand_over
rm -f "$scratch/db/Temp/DASN.TXT"
run_and_lose_display "$scratch/db"
[[ $code -eq 0 ]] || fail "a run whose display went away ended with $code"
[[ $(cat "$scratch/db/Temp/DASN.TXT" 2>/dev/null) == "$expected" ]] ||
  fail "a run whose display went away did not write the same summary"

# 3. The display goes away while a message waits for its answer: the messages go on to stderr.
start_server
mkdir -p "$scratch/empty/BComuns"
run_and_lose_display "$scratch/empty"
[[ $code -eq 0 ]] || fail "a run whose display went away during a message ended with $code"
grep -q "Empresa n.o encontrada" "$scratch/err" ||
  fail "the message after the display went away is not on standard error: $(cat "$scratch/err")"

if ((failures)); then exit 1; fi
echo "vardimo on a display: all passed"
