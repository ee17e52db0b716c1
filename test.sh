#!/usr/bin/env bash
# Installs what is missing, builds the test build (AddressSanitizer and UBSan) and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
cmake --preset test >/dev/null
cmake --build --preset test
ctest --preset test -j2
