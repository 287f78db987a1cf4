#!/usr/bin/env bash
# Starts the desktop program from a build folder. The database lives beside the
# executable (domain.mdb); the first run creates it.
set -euo pipefail
build_dir=${1:-build}
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<'MSG'
No display found, so the window cannot open here.
  - On a desktop: run `make run` from a terminal inside the desktop session.
  - On a server: `xvfb-run -a make run` starts it on a virtual display.
  - Without any display the command line works: build/src/pelmora-cli list
MSG
  if [ ! -e "$build_dir/src/domain.mdb" ]; then
    echo "There is no database yet: the first start of the window creates $build_dir/src/domain.mdb." >&2
    exit 0
  fi
  echo "First page of the listing, from the command line:" >&2
  exec "$build_dir/src/pelmora-cli" list
fi
exec "$build_dir/src/pelmora"
