#!/usr/bin/env bash
# The vardimo program end to end: a sample database, a hand-over, one run, the summary file;
# then the runs that find no company and that get no hand-over.
# Usage: vardimo_test.sh PATH-TO-vardimo PATH-TO-vardimo-data
set -u
export LC_ALL=C  # the summary holds Windows-1252 bytes
vardimo=$1
data_tool=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
failures=0

fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

"$data_tool" sample . --companies 2 --employees 20 --year 2014 --seed 3 >/dev/null || fail "sample"
cnpj=$("$data_tool" export Empresa BComuns/Empresas.Tps | awk -F, 'NR == 1 {
    for (i = 1; i <= NF; i++) if ($i == "EMP:CGC") column = i }
  NR == 3 { print $column }')

# Company 2, found by its CNPJ alone (the id and code match no company).
printf '[Quelbrix]\r\nEMPID=77\r\nEMPCOD=78\r\nEMPCNPJ=%s\r\nEMPANO=2014\r\n' "$cnpj" >Quelbrix.ini
"$vardimo" 2>err.txt || fail "exit code $? (want 0)"
[[ -e Quelbrix.ini ]] && fail "the hand-over was not deleted"
[[ -s err.txt ]] && fail "unexpected messages: $(cat err.txt)"
head -c 7 Temp/DASN.TXT | grep -q '^DASN_F|' || fail "no DASN_F line first"
grep -c $'^DASN_S|.*\r$' Temp/DASN.TXT | grep -q '^[1-9]' || fail "no partner line ending in CR LF"
cp Temp/DASN.TXT first.txt

# No company matches: a message, and the summary of the earlier run stays as it was.
printf '[Quelbrix]\r\nEMPID=1\r\nEMPCOD=1\r\nEMPCNPJ=1\r\nEMPANO=2014\r\n' >Quelbrix.ini
"$vardimo" 2>err.txt || fail "exit code $? (want 0)"
grep -q 'Empresa n.*o encontrada ID 1 Codigo 1' err.txt || fail "no 'not found' message: $(cat err.txt)"
cmp -s first.txt Temp/DASN.TXT || fail "the earlier summary changed"
[[ -e Quelbrix.ini ]] && fail "the hand-over was not deleted"

# No hand-over at all: the incomplete-values message, then the not-found one; exit code 0.
"$vardimo" 2>err.txt || fail "exit code $? (want 0)"
grep -q 'Informa.*es referente a empresa n.*o encontrada ID 0' err.txt ||
  fail "no incomplete hand-over message: $(cat err.txt)"

# A folder named like the hand-over: read as no hand-over (the same two messages), never a crash,
# and the folder is left alone.
mkdir Quelbrix.ini
"$vardimo" 2>err.txt || fail "exit code $? with a Quelbrix.ini folder (want 0)"
grep -q 'Informa.*es referente a empresa n.*o encontrada ID 0' err.txt ||
  fail "no incomplete hand-over message for a Quelbrix.ini folder: $(cat err.txt)"
[[ -d Quelbrix.ini ]] || fail "the Quelbrix.ini folder was deleted"
rmdir Quelbrix.ini

"$vardimo" --help | grep -q Quelbrix.ini || fail "--help does not describe the hand-over"

if ((failures)); then exit 1; fi
echo "vardimo end to end: all checks passed"
