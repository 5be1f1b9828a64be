#!/usr/bin/env bash
# The checks a Debian maintainer runs on the package: lintian (no error, no warning that is not
# overridden with its reason in debian/), desktop-file-validate, appstreamcli on the metainfo
# and on the installed tree, systemd-analyze verify on the unit as installed beside the
# system's own units; then what ties the files together: one version, the menu entry's command
# and the polkit action, the unit's and the command's executables, the icon sizes.
# Usage: package_checks_test.sh <vigiax_*.deb>
set -euo pipefail
deb=$(realpath "${1:?vigiax_*.deb}")
work=$(mktemp -d /tmp/vgx-package-checks-XXXXXX)
trap 'rm -rf "$work"' EXIT
root=$work/root
dpkg-deb -x "$deb" "$root"

failed=0
fail() {
  printf 'FAIL %s\n' "$*"
  failed=1
}
# Runs a checker; it passes when it succeeds and prints nothing but the lines matching $1.
clean() {
  local allowed=$1 out status=0
  shift
  out=$("$@" 2>&1) || status=$?
  printf '$ %s\n%s\n' "$*" "$out"
  if [[ $status -ne 0 ]] || grep -v -E -e "$allowed" <<<"$out" | grep -q .; then
    fail "$*"
  fi
}

clean '^[NI]: |^$|^running with root privileges is not recommended!$' lintian --display-info --fail-on error,warning "$deb"
desktop=$root/usr/share/applications/vigiax.desktop
clean '^$' desktop-file-validate "$desktop"
metainfo=$(echo "$root"/usr/share/metainfo/*.metainfo.xml)
appstream_ok='^ *I: |^$|Validation was successful|^[^ ]*\.metainfo\.xml$'
clean "$appstream_ok" appstreamcli validate --no-net "$metainfo"
clean "$appstream_ok" appstreamcli validate-tree --no-net "$root"

# The unit among the system's own units, its executables and manual page from the package.
units=$work/units
mkdir -p "$units/usr/lib/systemd"
cp -a /lib/systemd/system "$units/usr/lib/systemd/"
ln -s usr/lib "$units/lib"
cp "$root/lib/systemd/system/vigiax.service" "$units/usr/lib/systemd/system/"
cp -a "$root/usr/lib/vigiax" "$units/usr/lib/"
[[ -x $root/usr/lib/vigiax/vigiaxd ]] || fail "no /usr/lib/vigiax/vigiaxd in the package"
clean '^$' env MANPATH="$root/usr/share/man" systemd-analyze verify --root="$units" vigiax.service

# One version: the package's, the metainfo's newest release, the program's.
version=$(dpkg-deb -f "$deb" Version)
release=$(grep -o -m1 '<release version="[^"]*"' "$metainfo" | cut -d'"' -f2)
[[ $release == "$version" ]] || fail "metainfo release $release, package $version"
strings -n 4 "$root/usr/lib/vigiax/vigiax" | grep -xF "$version" >/dev/null ||
  fail "the program holds no version string $version"

# The menu entry runs, through pkexec, the command the polkit action names, which is in the
# package and runs the program on its data folder.
exec_line=$(grep -m1 '^Exec=' "$desktop" | cut -d= -f2-)
read -r runner command _ <<<"$exec_line"
[[ $runner == pkexec ]] || fail "the menu entry runs $exec_line, not through pkexec"
policy=$(echo "$root"/usr/share/polkit-1/actions/*.policy)
path=$(grep -o 'policykit.exec.path">[^<]*' "$policy" | cut -d'>' -f2)
[[ $path == "$command" ]] || fail "polkit exec.path $path, menu entry command $command"
grep -q 'policykit.exec.allow_gui">true<' "$policy" || fail "polkit action without allow_gui"
grep -q '<allow_active>auth_admin_keep</allow_active>' "$policy" ||
  fail "polkit action not auth_admin_keep for the active session"
[[ -x $root$command ]] || fail "$command is not an executable of the package"
grep -qx 'exec /usr/lib/vigiax/vigiax --data-dir /var/lib/vigiax "$@"' "$root/usr/bin/vigiax" ||
  fail "/usr/bin/vigiax does not run the program on /var/lib/vigiax"

# The unit's program and options.
unit=$root/lib/systemd/system/vigiax.service
for line in 'ExecStart=/usr/lib/vigiax/vigiaxd --data-dir /var/lib/vigiax' Type=notify \
  WatchdogSec=120s Restart=on-failure; do
  grep -qxF "$line" "$unit" || fail "the unit has no $line"
done

# The icons, each with the size of its folder.
for n in 16 22 24 32 48 64 128 256; do
  png=$root/usr/share/icons/hicolor/${n}x$n/apps/vigiax.png
  [[ $(file -b "$png") == "PNG image data, $n x $n,"* ]] || fail "icon ${n}x$n: $(file -b "$png")"
done

if [[ $failed -ne 0 ]]; then
  exit 1
fi
echo "package checks: all passed"
