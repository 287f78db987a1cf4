#!/usr/bin/env bash
# Starts the program from a build folder. The database lives beside the
# executable (domain.mdb); the first run creates it.
set -euo pipefail
build_dir=${1:-build}
exec "$build_dir/src/pelmora-cli" list
