#!/bin/sh
# Restarts the local web servers: each one that is installed is stopped and started
# again, through systemd when it runs the machine, else through its init script.
# Usage: <tool> /restart
if [ "$1" != "/restart" ]; then
    echo "uso: $0 /restart" >&2
    exit 2
fi

servers="apache2 nginx lighttpd httpd"
status=0
if [ -d /run/systemd/system ] && command -v systemctl >/dev/null 2>&1; then
    for s in $servers; do
        if systemctl is-enabled --quiet "$s.service" 2>/dev/null ||
            systemctl is-active --quiet "$s.service" 2>/dev/null; then
            systemctl restart "$s.service" || status=1
        fi
    done
else
    for s in $servers; do
        if [ -x "/etc/init.d/$s" ]; then
            "/etc/init.d/$s" restart || status=1
        fi
    done
fi
exit $status
