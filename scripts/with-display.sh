#!/usr/bin/env bash
# Runs a command with a display: the one already set, or a private virtual one when there is none.
set -euo pipefail
if [ -n "${DISPLAY:-}" ] && [ -z "${LINKMAP_FORCE_XVFB:-}" ]; then
    exec "$@"
fi
# -noreset keeps the server up between the windows of successive runs.
exec xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24 -noreset" "$@"
