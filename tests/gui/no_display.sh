#!/usr/bin/env bash
# The desktop program without a display: a message that names quillow-cli
# and status 2, never Qt's abort (134). Without DISPLAY and WAYLAND_DISPLAY,
# and with a DISPLAY no X server answers at.
#
# usage: bash no_display.sh PATH_OF_QUILLOW
set -u
app=${1:?usage: no_display.sh PATH_OF_QUILLOW}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
for display in "" ":97"; do
    env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY="$display" XDG_CONFIG_HOME="$work" LANGUAGE=en \
        "$app" >"$work/out" 2>"$work/err" </dev/null
    status=$?
    message=$(grep '^quillow: ' "$work/err")
    if [ "$status" -ne 2 ] || [[ $message != "quillow: cannot open a display ("*"); quillow-cli does the same job without one" ]]; then
        echo "FAIL: DISPLAY='$display': status $status, stderr:"
        cat "$work/err"
        failures=$((failures + 1))
    fi
done
# The message of an unset display names both variables.
env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u DISPLAY LANGUAGE=en "$app" 2>&1 </dev/null |
    grep -q "neither DISPLAY nor WAYLAND_DISPLAY is set" || { echo "FAIL: no reason given"; failures=$((failures + 1)); }
exit $((failures > 0))
