#!/usr/bin/env bash
# Installs what is missing, builds the release build and starts the application.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
if [ -x build/release/bin/spinalyst ]; then
  exec build/release/bin/spinalyst "$@"
fi
# Without the desktop program (built without Qt), set up the databases with the command-line tool.
exec build/release/bin/spinalyst-cli init build/release/bin
