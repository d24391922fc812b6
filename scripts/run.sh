#!/usr/bin/env bash
# Builds Korvane (release) and runs it with the given arguments.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh >&2
cmake --preset release >/dev/null
cmake --build --preset release >&2
exec build/release/korvane "$@"
