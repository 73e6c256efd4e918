#!/usr/bin/env bash
# Fuzzes every decoder of outside input: builds the targets of tests/fuzz/ with clang's
# libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer in build-fuzz/ and runs
# each for SECONDS (default 60), one after the other.
#
#   bash scripts/fuzz.sh [SECONDS] [TARGET ...]
#
# With TARGET names (e.g. config_file) only those targets run. Inputs may grow to 4096
# bytes, or to twice the largest seed of a target whose seeds are longer (a configuration
# file is over 6 KB).
#
# Each target starts from its checked-in corpus (tests/fuzz/corpus/<name>/, left
# unchanged); what it learns goes to build-fuzz/corpus/<name>/. A crash, a leak, a
# failed check or an input that takes over 10 s stops that target and leaves the input
# in build-fuzz/artifacts/<name>/; add it to the checked-in corpus once fixed, so the
# normal tests replay it. Ends with one line per target (runs, new inputs, outcome)
# and exits 1 when a target failed.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
case "$seconds" in
  '' | *[!0-9]*) echo "usage: scripts/fuzz.sh [SECONDS] [TARGET ...]" >&2; exit 2 ;;
esac
shift || true
only=("$@")

# What the build needs, then clang with its libFuzzer and sanitizer runtimes (Debian 12).
bash scripts/setup.sh clang libclang-rt-14-dev

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DVX_FUZZ=ON >/dev/null
cmake --build build-fuzz --target vx_fuzz_targets --parallel "${JOBS:-$(nproc)}"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:symbolize=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
# The settings target writes small files; keep them off the disk where possible.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR="$(mktemp -d /dev/shm/vextora-fuzz.XXXXXX)"
  trap 'rm -rf "$TMPDIR"' EXIT
fi

summary=()
failed=0
for binary in build-fuzz/fuzz/fuzz_*; do
  [ -x "$binary" ] || continue
  name="$(basename "$binary")"
  name="${name#fuzz_}"
  if [ ${#only[@]} -gt 0 ] && [[ ! " ${only[*]} " =~ " $name " ]]; then
    continue
  fi
  seeds="tests/fuzz/corpus/$name"
  largest="$(find "$seeds" -type f -printf '%s\n' 2>/dev/null | sort -n | tail -1)"
  max_len=4096
  if [ -n "$largest" ] && [ "$largest" -gt 2048 ]; then
    max_len=$((2 * largest))
  fi
  work="build-fuzz/corpus/$name"
  artifacts="build-fuzz/artifacts/$name"
  log="build-fuzz/$name.log"
  mkdir -p "$work" "$artifacts"
  echo "== $name: ${seconds}s"
  status=0
  "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" \
    -print_final_stats=1 -artifact_prefix="$artifacts/" "$work" "$seeds" >"$log" 2>&1 || status=$?
  runs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)"
  speed="$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)"
  found="$(find "$work" -type f | wc -l)"
  if [ "$status" -eq 0 ]; then
    outcome="no crash"
  else
    outcome="FAILED (exit $status), see $log and $artifacts/"
    failed=1
    grep -E "ERROR|fuzz check failed|runtime error|SUMMARY" "$log" | head -5 || true
  fi
  summary+=("$(printf '%-16s %12s runs %8s/s %6s inputs in %s  %s' "$name" "${runs:-?}" "${speed:-?}" "$found" "$work" "$outcome")")
done

echo
echo "Fuzzing, ${seconds}s a target:"
printf '  %s\n' "${summary[@]}"
exit "$failed"
