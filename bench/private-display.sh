# Sourced by the benchmark scripts: starts a virtual display of frametime.sh's size (1280 x 1024) on a number
# of its own, sets display to that number, and on exit stops it and removes the folder $work.
display=$(for d in $(seq 110 160); do [ -e /tmp/.X$d-lock ] || [ -e /tmp/.X11-unix/X$d ] || { echo $d; break; }; done)
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
