#!/usr/bin/env bash
# Builds the tested image (scripts/lib/tested-build.sh) and runs every test
# under Wine through CTest, side by side in lanes of their own (an Xvfb, a
# prefix and a network namespace each). Benchmarks are not run here
# (scripts/bench.sh); their smoke tests are. The first and the last line say
# which image was tested. Arguments go to CTest (e.g. -R installer_).
#   PW_TEST_LANES: lanes and parallel tests (4); PW_TEST_PORT: the package
#   service's port the tested builds are made for (18650).
set -euo pipefail
# shellcheck source=lib/tested-build.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib/tested-build.sh"

prepare_machine
echo "Tested image: $TESTED_IMAGE"
tested_build
cd "$TESTED_BUILD"
rm -f Testing/junit.xml
status=0
ctest --output-on-failure -j"$LANES" -LE bench --output-junit "$TESTED_BUILD/Testing/junit.xml" \
  --test-output-size-passed 65536 "$@" || status=$?
# The counts come from the run's own record, so that a test that did not run counts as one.
summary="$(python3 - "$TESTED_BUILD/Testing/junit.xml" <<'PY'
import sys
import xml.etree.ElementTree as ET
try:
    cases = ET.parse(sys.argv[1]).getroot().iter("testcase")
except (OSError, ET.ParseError):
    print("no test ran")
    sys.exit(0)
status = [c.get("status") for c in cases]
print("%d of %d tests passed" % (status.count("run"), len(status)))
PY
)"
echo "Tested image: $TESTED_IMAGE; $summary"
exit $status
