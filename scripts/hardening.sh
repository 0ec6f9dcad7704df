#!/usr/bin/env bash
# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer, then each fuzz
# target for a bounded time on its corpus. FUZZ_SECONDS sets the time per target (default 60).
# Run after scripts/test.sh (which installs what the builds need).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="$(nproc)"
fuzz_seconds="${FUZZ_SECONDS:-60}"

cmake --preset asan
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

cmake --preset fuzz
cmake --build --preset fuzz -j "$jobs"
# The kept corpora seed each run; what a run discovers goes to a scratch folder, so the
# repository stays as it is.
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
for target in riff avi loadwav song; do
    mkdir -p "$scratch/$target"
    echo "fuzzing $target for ${fuzz_seconds} s"
    "build-fuzz/fuzz/${target}_fuzz" -max_total_time="$fuzz_seconds" -print_final_stats=1 \
        -artifact_prefix="$scratch/$target-" "$scratch/$target" "fuzz/corpus/$target" \
        2>&1 | tail -n 12
done
