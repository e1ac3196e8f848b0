#!/usr/bin/env bash
# Runs the tests N times in a row, each run the way CI runs them (in
# parallel lanes, benchmarks left out), and prints per test how many runs
# failed. The random-input test gets a new seed each run; the seeds are
# printed, and PW_RANDOM_SEED=<seed> replays one.
#   soak.sh N [ctest arguments...]      (e.g. soak.sh 5 -R installer_)
set -euo pipefail
runs="${1:?usage: soak.sh N [ctest arguments...]}"
shift
# shellcheck source=lib/tested-build.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib/tested-build.sh"

prepare_machine
echo "Soaked image: $TESTED_IMAGE"
tested_build
cd "$TESTED_BUILD"
results="$TESTED_BUILD/Testing/soak"
rm -rf "$results"
mkdir -p "$results"
seeds=()
for run in $(seq "$runs"); do
  seed="$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')"
  seeds+=("$seed")
  echo "== run $run of $runs: random-input seed $seed"
  PW_RANDOM_SEED="$seed" ctest -j"$LANES" -LE bench --output-on-failure \
    --output-junit "$results/run$run.xml" "$@" >"$results/run$run.log" 2>&1 || true
  tail -n 3 "$results/run$run.log"
done
python3 - "$results" "$runs" "${seeds[*]}" <<'PY'
import os
import sys
import xml.etree.ElementTree as ET

folder, runs, seeds = sys.argv[1], int(sys.argv[2]), sys.argv[3].split()
failed, seen = {}, {}
for run in range(1, runs + 1):
    path = os.path.join(folder, "run%d.xml" % run)
    try:
        cases = list(ET.parse(path).getroot().iter("testcase"))
    except (OSError, ET.ParseError):
        print("run %d left no record (%s)" % (run, path))
        continue
    for case in cases:
        name = case.get("name")
        seen[name] = seen.get(name, 0) + 1
        if case.get("status") != "run":
            failed.setdefault(name, []).append(run)
print()
print("%-40s %s" % ("test", "failed runs"))
for name in sorted(seen):
    runs_failed = failed.get(name, [])
    detail = " (runs %s)" % ", ".join(map(str, runs_failed)) if runs_failed else ""
    print("%-40s %d of %d%s" % (name, len(runs_failed), seen[name], detail))
print()
print("random-input seeds: %s" % ", ".join("run %d: %s" % (i + 1, s) for i, s in enumerate(seeds)))
total = sum(len(v) for v in failed.values())
print("soak: %d runs, %d failed test runs" % (runs, total))
sys.exit(1 if total else 0)
PY
