#!/usr/bin/env bash
# Builds Corvane three ways and runs every test:
#   build/       RelWithDebInfo, the CTest suite, the kernel tests (its
#                kernel_test_* programs in a virtual machine with /dev/uinput,
#                scripts/kernel-tests.sh), then the Debian package built from
#                it and checked (scripts/check-package.sh);
#   build-asan/  g++ with AddressSanitizer and UBSan, the CTest suite again;
#   build-fuzz/  clang with libFuzzer, every fuzz_* target for 30 seconds.
# Ends with the line "tests: N passed, M failed" (the CTest and kernel test
# counts, with any failed build or fuzz run counted as a failure) and a
# non-zero exit status when anything failed.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

jobs=2
fuzz_seconds=30
passed=0
failed=0
problems=()

section() { printf '\n==== %s\n' "$*"; }

problem() {
  problems+=("$1")
  failed=$((failed + 1))
  printf '*** FAILED: %s\n' "$1"
}

# build LABEL DIR [cmake options...]: configures and builds DIR.
build() {
  local label=$1 dir=$2
  shift 2
  section "$label: build in $dir"
  if ! cmake -S "$root" -B "$root/$dir" -G Ninja "$@"; then
    problem "$label: configure"
    return 1
  fi
  if ! cmake --build "$root/$dir" -j"$jobs"; then
    problem "$label: build"
    return 1
  fi
}

# run_ctest LABEL DIR: runs the suite in DIR and adds up its counts.
run_ctest() {
  local label=$1 dir=$2 log="$root/$2/ctest-output.log"
  section "$label: ctest in $dir"
  ctest --test-dir "$root/$dir" --output-on-failure --no-tests=error 2>&1 | tee "$log"
  local status=${PIPESTATUS[0]}
  local counts
  counts=$(grep -Eo '[0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [[ -z $counts ]]; then
    problem "$label: ctest ran no test (status $status)"
    return
  fi
  local bad=${counts%% *} total=${counts##* }
  passed=$((passed + total - bad))
  failed=$((failed + bad))
  if ((bad > 0)); then
    problems+=("$label: $bad of $total tests failed")
  elif ((status != 0)); then
    problem "$label: ctest ended with status $status"
  fi
}

# run_kernel_tests DIR: runs the kernel tests of DIR and adds up their counts.
run_kernel_tests() {
  local dir=$1 log="$root/$1/kernel-tests.log"
  section "kernel tests in $dir (a virtual machine)"
  bash "$root/scripts/kernel-tests.sh" "$root/$dir" 2>&1 | tee "$log"
  local status=${PIPESTATUS[0]}
  if [[ ! $(tail -n 1 "$log") =~ ^kernel\ tests:\ ([0-9]+)\ passed,\ ([0-9]+)\ failed$ ]]; then
    problem "kernel tests: no counts (status $status)"
    return
  fi
  local good=${BASH_REMATCH[1]} bad=${BASH_REMATCH[2]}
  passed=$((passed + good))
  failed=$((failed + bad))
  if ((bad > 0)); then
    problems+=("kernel tests: $bad failed (output in $log)")
  elif ((status != 0)); then
    problem "kernel tests: ended with status $status"
  fi
}

# fuzz_all DIR: runs each fuzz target once over the hostile inputs of
# fuzz/hostile/<target> (large inputs that must stay cheap: each has the
# per-input time limit), then for $fuzz_seconds, growing its corpus under
# DIR/corpus (seeded from fuzz/corpus/<target> when that exists).
fuzz_all() {
  local dir=$1 targets=() target
  mapfile -t targets < <(find "$root/$dir/bin" -maxdepth 1 -type f -name 'fuzz_*' -perm -u+x 2>/dev/null | sort)
  if ((${#targets[@]} == 0)); then
    problem "fuzz: no fuzz_* targets were built"
    return
  fi
  for target in "${targets[@]}"; do
    local name corpus artifacts log seeds=()
    name=$(basename "$target")
    corpus="$root/$dir/corpus/$name"
    artifacts="$root/$dir/artifacts/$name"
    log="$root/$dir/$name.log"
    mkdir -p "$corpus" "$artifacts"
    [[ -d $root/fuzz/corpus/$name ]] && seeds=("$root/fuzz/corpus/$name")
    section "fuzz: $name for ${fuzz_seconds} s"
    local status=0 hostile=()
    [[ -d $root/fuzz/hostile/$name ]] && mapfile -t hostile < <(find "$root/fuzz/hostile/$name" -type f | sort)
    if ((${#hostile[@]} > 0)); then
      ASAN_OPTIONS="$asan_options" UBSAN_OPTIONS="$ubsan_options" LSAN_OPTIONS="$lsan_options" \
        "$target" -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$artifacts/" "${hostile[@]}" >"$log.hostile" 2>&1 ||
        status=$?
      if ((status != 0)); then
        tail -n 30 "$log.hostile"
        problem "fuzz: $name on its hostile inputs (status $status; output in $log.hostile)"
        continue
      fi
      echo "$name: ${#hostile[@]} hostile input(s) within the time limit"
    fi
    ASAN_OPTIONS="$asan_options" UBSAN_OPTIONS="$ubsan_options" LSAN_OPTIONS="$lsan_options" \
      "$target" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$artifacts/" "$corpus" "${seeds[@]}" >"$log" 2>&1 || status=$?
    if ((status != 0)) || grep -Eq 'ERROR: |runtime error:|SUMMARY: ' "$log"; then
      tail -n 60 "$log"
      problem "fuzz: $name (status $status; inputs kept in $artifacts, output in $log)"
    else
      grep -E '^stat::number_of_executed_units|^Done ' "$log" || true
      echo "$name: no crash, leak or sanitizer report"
    fi
  done
}

# Any sanitizer report ends the process with a failure status.
lsan_suppressions="$root/scripts/lsan-suppressions.txt"
asan_options="halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
ubsan_options="halt_on_error=1:print_stacktrace=1"
lsan_options="print_suppressions=0"
[[ -f $lsan_suppressions ]] && lsan_options="suppressions=$lsan_suppressions:$lsan_options"

# The end-to-end tests move the pointer: without DISPLAY, scripts/with-display.sh
# gives each a private Xvfb instead of the display this script was started on.
unset DISPLAY
SECONDS=0

section "dependencies"
bash "$root/scripts/install-deps.sh" || problem "installing the dependencies"

if build "release" build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_TESTS=ON; then
  run_ctest "release" build
  run_kernel_tests build
  section "package: build, check and run the Debian package"
  if bash "$root/scripts/check-package.sh"; then
    passed=$((passed + 1))
  else
    problem "package check (scripts/check-package.sh)"
  fi
fi

sanitize="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
if CC=gcc CXX=g++ build "asan" build-asan -DCMAKE_BUILD_TYPE=Debug -DCORVANE_TESTS=ON -DCORVANE_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$sanitize -O1" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"; then
  ASAN_OPTIONS="$asan_options" UBSAN_OPTIONS="$ubsan_options" LSAN_OPTIONS="$lsan_options" run_ctest "asan" build-asan
fi

if CC=clang CXX=clang++ build "fuzz" build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_CORE_ONLY=ON \
  -DCORVANE_FUZZ=ON -DCORVANE_TESTS=OFF -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined"; then
  fuzz_all build-fuzz
fi

section "summary ($((SECONDS / 60)) min $((SECONDS % 60)) s)"
for item in "${problems[@]}"; do
  echo "failed: $item"
done
echo "tests: $passed passed, $failed failed"
((failed == 0 && ${#problems[@]} == 0))
