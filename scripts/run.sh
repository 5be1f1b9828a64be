#!/usr/bin/env bash
# Installs what is missing, builds Vigiax and starts it from its program directory
# (default /opt/vigiax, or $VIGIAX_HOME), where it keeps vgx.cfg, folder.dat and logs/; the
# service copy vigiaxd goes beside it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
home=${VIGIAX_HOME:-/opt/vigiax}

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build-release" -DBUILD_TESTING=OFF -DVGX_BENCH=OFF

mkdir -p "$home"
install -m 755 "$root/build-release/src/vigiax" "$home/vigiax"
install -m 755 "$root/build-release/src/daemon/vigiaxd" "$home/vigiaxd"
echo "Vigiax em $home"
exec "$home/vigiax"
