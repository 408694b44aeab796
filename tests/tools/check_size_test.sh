#!/usr/bin/env bash
# tools/check-size on a small tree made here: each limit from both sides, what the exceptions
# let through, and a stale exception. Prints "check-size OK" when all hold.
#   check_size_test.sh CHECK_SIZE
set -euo pipefail
check_size=$1
dir=$(mktemp -d "${TMPDIR:-/tmp}/check-size-XXXXXX")
trap 'rm -rf "$dir"' EXIT
mkdir -p "$dir/src/one" "$dir/src/other"

# A function of `lines` lines from its first line to its closing brace.
function_of() {
  local name=$1 lines=$2
  echo "int $name(int n) {"
  for ((i = 0; i < lines - 3; ++i)); do echo "  ++n;"; done
  echo "  return n;"
  echo "}"
}
# A file of `lines` lines, none of them a function.
file_of() {
  for ((i = 0; i < $1; ++i)); do echo "// line $((i + 1))"; done
}

{ function_of Fits 60; function_of TooLong 61; } >"$dir/src/one/functions.cpp"
file_of 450 >"$dir/src/one/fits.h"
file_of 451 >"$dir/src/one/too_long.h"
file_of 10 >"$dir/src/other/small.h"

failures=0
# Runs check-size and compares its exit code and output with what is expected.
expect() {
  local what=$1 code=$2 expected=$3
  shift 3
  local out status=0
  out=$("$check_size" "$@" 2>&1) || status=$?
  if [ "$status" != "$code" ] || [ "$out" != "$expected" ]; then
    echo "FAIL $what: exit $status (wanted $code), output:"
    echo "$out"
    echo "wanted:"
    echo "$expected"
    failures=1
  fi
}

none="$dir/none.txt"
: >"$none"
expect "without exceptions" 1 "$dir/src/one/too_long.h: 451 lines (file over 450)
$dir/src/one/functions.cpp:61: TooLong 61 lines (function over 60)" \
  --exceptions "$none" "$dir/src"

listed="$dir/listed.txt"
printf '# known\n\n  %s  \n%s # until it is split\n' "$dir/src/one/too_long.h" \
  "$dir/src/one/functions.cpp:TooLong" >"$listed"
expect "with both excepted" 0 "" --exceptions "$listed" "$dir/src"

stale="$dir/stale.txt"
printf '%s\n%s\n%s\n%s\n' "$dir/src/one/too_long.h" "$dir/src/one/fits.h" \
  "$dir/src/one/functions.cpp:Fits" "$dir/src/one/functions.cpp:Gone" >"$stale"
expect "with stale exceptions" 1 "$dir/src/one/functions.cpp:61: TooLong 61 lines (function over 60)
$stale:2: stale exception: $dir/src/one/fits.h is not over its limit
$stale:3: stale exception: $dir/src/one/functions.cpp:Fits is not over its limit
$stale:4: stale exception: $dir/src/one/functions.cpp:Gone is not over its limit" \
  --exceptions "$stale" "$dir/src"

# A folder looked at alone judges only the exceptions under it.
expect "another folder" 0 "" --exceptions "$stale" "$dir/src/other"

[ "$failures" = 0 ] && echo "check-size OK"
