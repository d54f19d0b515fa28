#!/usr/bin/env bash
# The vardimo-data program's command line: help, exit codes and one-line messages.
# Usage: vardimo_data_test.sh PATH-TO-vardimo-data
set -u
tool=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
failures=0
passes=0

# expect CODE LINES ARGS...: runs the tool and checks its exit code and how many lines it wrote
# to stderr.
expect() {
  local code=$1 lines=$2
  shift 2
  "$tool" "$@" >out.txt 2>err.txt
  local got=$? got_lines
  got_lines=$(wc -l <err.txt)
  if [[ $got -ne $code || $got_lines -ne $lines ]]; then
    echo "FAILED: vardimo-data $*: exit $got (want $code), $got_lines stderr lines (want $lines)"
    cat err.txt
    failures=$((failures + 1))
  else
    passes=$((passes + 1))
  fi
}

expect 0 0 --help
for command in import export describe sample; do expect 0 0 "$command" --help; done
expect 2 1
expect 2 1 frobnicate
expect 2 1 import Funcionarios
expect 2 1 export Funcionarios f.Tps --kye CODIGO
expect 2 1 export Funcionarios f.Tps --key
expect 2 1 describe
expect 2 1 sample db --companies 0
expect 2 1 sample db --year 20x4
expect 2 1 sample db --seed -1

printf 'CODIGO,NOME\n1,Ana\n2,Jo\xc3\xa3o\n' >good.csv
printf 'CODIGO,NOME\n3,Bia\n3,Bia\n' >bad.csv
expect 1 1 import Funcionario f.Tps good.csv
expect 1 1 import Funcionarios f.Tps bad.csv
[[ -e f.Tps ]] && { echo "FAILED: a failed import created the data file"; failures=$((failures + 1)); }
mkdir folder.csv
expect 1 1 import Funcionarios f.Tps folder.csv
[[ -e f.Tps ]] && { echo "FAILED: a folder as the CSV created the data file"; failures=$((failures + 1)); }
expect 0 0 import Funcionarios f.Tps good.csv
expect 1 1 import Funcionarios f.Tps good.csv
expect 0 0 export Funcionarios f.Tps
[[ $(wc -l <out.txt) -eq 3 ]] || { echo "FAILED: export wrote $(wc -l <out.txt) lines"; failures=$((failures + 1)); }
expect 1 1 export Funcionarios missing.Tps
expect 1 1 export Funcionarios f.Tps --key FUN:KEY:NONE
expect 0 0 describe Movimento
expect 1 1 describe Moviment
expect 0 0 sample db --companies 1 --employees 5 --year 2014 --seed=7
expect 1 1 sample db --companies 1 --employees 5 --year 2014

echo "$passes passed, $failures failed"
[[ $failures -eq 0 ]]
