#!/usr/bin/env bash
# Runs the kernel tests: every GoogleTest program BUILD_DIR/bin/kernel_test_*
# (default build/), in one boot of the virtual machine of scripts/in-vm.sh,
# where /dev/uinput and the evdev devices are real. Each program has its own
# time limit and its own empty HOME; Qt runs offscreen. Every program's output
# is shown; the counts are those of the GoogleTest cases, and a program that
# crashes, runs out of time or ends badly without a failed case counts as one
# failed test more.
# Ends with the line "kernel tests: N passed, M failed" and a non-zero exit
# status when anything failed, when there is no kernel test or when the
# machine could not run them (then the line before says why).
#
#   scripts/kernel-tests.sh [BUILD_DIR]
#
# Environment:
#   CORVANE_KERNEL_TEST_TIMEOUT  seconds each program may take (default 300)
#   and those of scripts/in-vm.sh (CORVANE_VM_DIR, CORVANE_VM_VERBOSE, ...)
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
limit=${CORVANE_KERNEL_TEST_TIMEOUT:-300}

# inside BIN_DIR LIMIT: runs in the guest, one program after the other. Each
# process costs time in the emulated machine: the loop uses bash's own.
inside() {
  local bin=$1 limit=$2 passed=0 failed=0 program
  export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 GTEST_COLOR=no
  for program in "$bin"/kernel_test_*; do
    local name=${program##*/} folder=/tmp/kernel-tests/${program##*/} status good=0 bad=0 line start tenths
    mkdir -p "$folder/home"
    printf '\n==== %s\n' "$name"
    start=${EPOCHREALTIME//[!0-9]/}
    HOME=$folder/home timeout -k 10 "$limit" "$program" 2>&1 | tee "$folder/output"
    status=${PIPESTATUS[0]}
    tenths=$(((${EPOCHREALTIME//[!0-9]/} - start) / 100000))
    echo "---- $name: $((tenths / 10)).$((tenths % 10)) s"
    # GoogleTest's closing lines: "[  PASSED  ] 3 tests." and, when some
    # failed, "[  FAILED  ] 1 test, listed below:".
    while IFS= read -r line; do
      [[ $line =~ ^\[\ \ PASSED\ \ \]\ ([0-9]+)\ tests?\. ]] && good=${BASH_REMATCH[1]}
      [[ $line =~ ^\[\ \ FAILED\ \ \]\ ([0-9]+)\ tests?,\ listed\ below ]] && bad=${BASH_REMATCH[1]}
    done <"$folder/output"
    passed=$((passed + good))
    failed=$((failed + bad))
    if ((status == 124)); then
      echo "*** $name: did not end within $limit s"
    elif ((status > 128)); then
      echo "*** $name: ended by signal $((status - 128))"
    elif ((status != 0 && bad == 0)); then
      echo "*** $name: ended with status $status and no failed test"
    elif ((status == 0 && good == 0)); then
      echo "*** $name: ran no test"
    else
      continue
    fi
    # A program that ended this way counts as one failure more.
    failed=$((failed + 1))
  done
  printf '\n'
  echo "kernel tests: $passed passed, $failed failed"
  ((failed == 0))
}

if [[ ${1:-} == --inside ]]; then
  inside "$2" "$3"
  exit
fi

build=$(cd "$root" && realpath -m "${1:-build}")
summary() {
  echo "kernel tests: $1"
  echo "kernel tests: 0 passed, 1 failed"
  exit 1
}
programs=("$build"/bin/kernel_test_*)
[[ -x ${programs[0]} ]] || summary "no kernel_test_* programs in $build/bin (build them first)"
# The guest has a /tmp of its own, with only the working folder of the host's.
cd "$root" || summary "cannot enter $root"
[[ $build != /tmp/* || $build == "$root"/* ]] ||
  summary "$build is in /tmp but not in $root: the virtual machine does not see it"

# The machine's own limit: every program's and two minutes for the boot.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
command=$(printf '%q ' bash "$root/scripts/kernel-tests.sh" --inside "$build/bin" "$limit")
CORVANE_VM_TIMEOUT=$((${#programs[@]} * (limit + 15) + 120)) bash "$root/scripts/in-vm.sh" "$command" 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
counts=$(grep -E '^kernel tests: [0-9]+ passed, [0-9]+ failed$' "$log" | tail -n 1)
if [[ -n $counts && (status -eq 0 || status -eq 1) ]]; then
  exit "$status"
fi
# The machine failed: its message is above, and the line with the counts
# (if the programs came that far) was not the last.
passed=0
failed=1
if [[ $counts =~ ([0-9]+)\ passed,\ ([0-9]+)\ failed ]]; then
  passed=${BASH_REMATCH[1]}
  failed=$((BASH_REMATCH[2] + 1))
fi
echo "kernel tests: the virtual machine failed (scripts/in-vm.sh ended with status $status)"
echo "kernel tests: $passed passed, $failed failed"
exit 1
