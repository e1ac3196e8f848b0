#!/usr/bin/env bash
# Builds the tested image (the shipped 32-bit image where this machine runs
# it, else the 64-bit build; scripts/lib/tested-build.sh) and runs every
# benchmark on it, one at a time: bench_flow (click to installed against curl
# plus a direct silent setup and against the platform's download call, program
# sizes, peak working set against bare layered windows, idle CPU), bench_ui
# (start-up to first frame against a bare layered window), bench_tasks (the
# framework's loops against raw Windows queues) and bench_report (raising a
# report against an empty post, and sending). Each figure is printed with its
# baseline from the same run; nothing fails on a figure.
# Arguments go to CTest (e.g. -R bench_ui).
set -euo pipefail
# shellcheck source=lib/tested-build.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib/tested-build.sh"

prepare_machine
echo "Benchmarked image: $TESTED_IMAGE"
tested_build
cd "$TESTED_BUILD"
status=0
# One lane: the benchmarks run one at a time anyway, and nothing else runs beside them.
PW_TEST_LANES=1 ctest -L bench --verbose "$@" || status=$?
echo "Benchmarked image: $TESTED_IMAGE"
exit $status
