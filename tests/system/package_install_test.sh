#!/usr/bin/env bash
# Plays the administrator on a fresh Debian 12: a root made by mmdebstrap from the mirror of this
# machine's apt sources, the package installed there with apt (which pulls its dependencies),
# then install, upgrade, the service copy, remove and purge, each checked; and on the same fresh
# root, the packages the project's install script asks for, resolved as apt would install them.
# systemd does not run in the root: a recording systemctl stands in for it where apt's dpkg
# finds it (/usr/bin), with /run/systemd/system present so that the maintainer scripts talk to
# it as on a booted system.
# The service copy runs in its own network namespace (no traffic) without CAP_SYS_BOOT.
# Exits 77 (skipped) when not root or when the mirror cannot be reached.
# Downloaded packages are kept in ${XDG_CACHE_HOME:-~/.cache}/vigiax/debs for the next run.
# Usage: package_install_test.sh <vigiax_*.deb>
set -euo pipefail
deb=$(realpath "${1:?vigiax_*.deb}")
skip() {
  echo "SKIPPED: $*"
  exit 77
}
[[ $(id -u) -eq 0 ]] || skip "needs root (mmdebstrap's root mode, chroot, namespaces)"

# The first source of the suite bookworm in the machine's apt sources.
mirror_of_sources() {
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [[ -f $f ]] || continue
    sed -E 's/\[[^]]*\]//' "$f" | awk '$1 == "deb" && $3 == "bookworm" { print $2; exit }'
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    [[ -f $f ]] || continue
    awk 'BEGIN { RS = ""; FS = "\n" }
      {
        uri = ""; deb = 0; suite = 0; off = 0
        for (i = 1; i <= NF; i++) {
          if ($i ~ /^Types:.*(^|[ \t:])deb([ \t]|$)/) deb = 1
          if ($i ~ /^Suites:/ && (" " $i " ") ~ /[ \t]bookworm[ \t]/) suite = 1
          if ($i ~ /^Enabled:[ \t]*no/) off = 1
          if ($i ~ /^URIs:/) { split($i, w, /[ \t]+/); uri = w[2] }
        }
        if (deb && suite && !off && uri != "") { print uri; exit }
      }' "$f"
  done
}
mirror=${VGX_DEBIAN_MIRROR:-$(mirror_of_sources | head -n 1)}
[[ -n $mirror ]] || skip "no bookworm mirror in /etc/apt/sources.list or sources.list.d"

work=$(mktemp -d /tmp/vgx-package-install-XXXXXX)
trap 'rm -rf --one-file-system "$work"' EXIT
timeout 60 /usr/lib/apt/apt-helper download-file "$mirror/dists/bookworm/InRelease" \
  "$work/InRelease" >/dev/null 2>&1 || skip "no network to the mirror $mirror"

root=$work/root
cache=${XDG_CACHE_HOME:-$HOME/.cache}/vigiax/debs
mkdir -p "$cache"
path=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
# Runs a command in the root with a /proc of its own; the mount goes with the namespace.
in_root() {
  unshare --pid --fork --mount-proc="$root/proc" chroot "$root" \
    env -i PATH=$path HOME=/root LC_ALL=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"
}
failed=0
fail() {
  printf 'FAIL %s\n' "$*"
  failed=1
}
started=$SECONDS
step() {
  printf '[%4ds] %s\n' $((SECONDS - started)) "$*"
}
calls() {
  cat "$root/var/log/vgx-systemctl.log" 2>/dev/null || true
}
status_of() {
  # shellcheck disable=SC2016 # a dpkg-query format
  in_root dpkg-query -W -f='${db:Status-Abbrev}' vigiax 2>/dev/null | tr -d ' ' || true
}
# Every entry of the root but the package tools' bookkeeping and the kernel's file systems.
list_root() {
  find "$root" -xdev \( -path "$root/proc" -o -path "$root/dev" -o -path "$root/run" -o \
    -path "$root/tmp" -o -path "$root/var/lib/dpkg" -o -path "$root/var/lib/apt" -o \
    -path "$root/var/cache" -o -path "$root/var/log" -o \
    -path "$root/var/lib/systemd/deb-systemd-helper-*" \) -prune -o -printf '%P %y %m\n' |
    sort
}

step "mmdebstrap --variant=apt bookworm ROOT $mirror"
# shellcheck disable=SC2016 # $1 is the root, for mmdebstrap's hook
if ! mmdebstrap --variant=apt --skip=cleanup/apt,essential/unlink \
  --setup-hook='mkdir -p "$1/var/cache/apt/archives"' \
  --setup-hook="sync-in $cache /var/cache/apt/archives/" \
  bookworm "$root" "$mirror" >"$work/mmdebstrap.log" 2>&1; then
  cat "$work/mmdebstrap.log"
  fail "mmdebstrap"
  exit 1
fi

cat >"$root/usr/bin/systemctl" <<'EOF'
#!/bin/sh
# Records each call and whether the program was installed at that moment.
state=gone
if [ -e /usr/lib/vigiax/vigiax ]; then state=installed; fi
echo "$* (program $state)" >>/var/log/vgx-systemctl.log
case " $* " in
  *" is-enabled "*) echo disabled; exit 1 ;;
  *" is-active "*) exit 3 ;;
esac
exit 0
EOF
chmod 755 "$root/usr/bin/systemctl"
mkdir -p "$root/run/systemd/system"
cp "$deb" "$root/tmp/vigiax.deb"

# The developer's first install on the same fresh root: every package the project's install
# script asks for exists in Debian 12 and installs with its dependencies (simulated).
step "apt-get install --simulate (the packages of scripts/install-deps.sh)"
script=$(dirname "$0")/../../scripts/install-deps.sh
# shellcheck disable=SC2016 # the list is read from the script itself, in a shell of its own
mapfile -t packages < <(bash -c 'eval "$(sed -n "/^packages=(/,/^)/p" "$1")"
  printf "%s\n" "${packages[@]}"' bash "$script")
# shellcheck disable=SC2016
mapfile -t -O "${#packages[@]}" packages < <(bash -c 'eval "$(sed -n "/^tools=(/,/^)/p" "$1")"
  for t in "${tools[@]}"; do read -r _ package _ <<<"$t"; echo "$package"; done' bash "$script")
[[ ${#packages[@]} -gt 10 ]] || fail "no package list read from $script"
in_root apt-get install --simulate -q --no-install-recommends "${packages[@]}" \
  >"$work/simulate.log" 2>&1 ||
  { cat "$work/simulate.log"; fail "the install script's packages do not install on Debian 12"; }

step "apt-get install ./vigiax.deb"
in_root apt-get install -y -q --no-install-recommends /tmp/vigiax.deb >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; fail "apt-get install"; exit 1; }
[[ $(status_of) == ii ]] || fail "after install: dpkg status $(status_of)"
[[ -f $root/lib/systemd/system/vigiax.service ]] || fail "no /lib/systemd/system/vigiax.service"
enabled=$(systemctl --root="$root" is-enabled vigiax.service 2>&1 || true)
[[ $enabled == disabled ]] || fail "the unit after install is $enabled, not disabled"
# The dependencies' own scripts call systemctl too; nothing may start or enable vigiax.
grep vigiax "$root/var/log/vgx-systemctl.log" && fail "systemctl was asked about vigiax at install"
[[ $(stat -c '%F %a %U:%G' "$root/var/lib/vigiax") == "directory 755 root:root" ]] ||
  fail "/var/lib/vigiax: $(stat -c '%F %a %U:%G' "$root/var/lib/vigiax")"

step "upgrade (the same version again)"
: >"$root/var/log/vgx-systemctl.log"
in_root apt-get install -y -q --reinstall /tmp/vigiax.deb >"$work/upgrade.log" 2>&1 ||
  { cat "$work/upgrade.log"; fail "apt-get install --reinstall"; }
grep -qx 'try-restart vigiax.service (program installed)' "$root/var/log/vgx-systemctl.log" ||
  fail "no try-restart at upgrade:" "$(calls)"
grep -E '(^| )(start|restart|stop|enable) vigiax' "$root/var/log/vgx-systemctl.log" &&
  fail "the upgrade started, stopped or enabled the service"

# The command an older unit runs, handed over to the daemon.
service=(/usr/lib/vigiax/vigiax --service --data-dir /var/lib/vigiax)
step "the service copy: ${service[*]}, 5 s, then SIGTERM"
usr_before=$(find "$root/usr" -printf '%P %y %m %s %T@\n' | sort)
status=0
setpriv --bounding-set=-sys_boot unshare --net --pid --fork --mount-proc="$root/proc" \
  chroot "$root" env -i PATH=$path HOME=/root LC_ALL=C.UTF-8 \
  timeout --preserve-status -k 10 -s TERM 5 "${service[@]}" >"$work/service.log" 2>&1 ||
  status=$?
[[ $status -eq 0 ]] || { cat "$work/service.log"; fail "the service copy ended with $status"; }
usr_after=$(find "$root/usr" -printf '%P %y %m %s %T@\n' | sort)
[[ $usr_before == "$usr_after" ]] ||
  fail "the service copy wrote under /usr:" "$(diff <(echo "$usr_before") <(echo "$usr_after"))"
for f in vgx.cfg xp.dat xp2.dat menu.dat menu2.dat vigiax.lock logs; do
  [[ -e $root/var/lib/vigiax/$f ]] || fail "no /var/lib/vigiax/$f after the service copy"
done

step "apt-get remove vigiax"
data_before=$(cd "$root/var/lib/vigiax" && find . | sort)
: >"$root/var/log/vgx-systemctl.log"
in_root apt-get remove -y -q vigiax >"$work/remove.log" 2>&1 ||
  { cat "$work/remove.log"; fail "apt-get remove"; }
[[ $(status_of) == rc ]] || fail "after remove: dpkg status $(status_of)"
grep -qx 'stop vigiax.service (program installed)' "$root/var/log/vgx-systemctl.log" ||
  fail "the service was not stopped before the files went:" "$(calls)"
for f in /usr/lib/vigiax /usr/bin/vigiax /lib/systemd/system/vigiax.service; do
  [[ ! -e $root$f ]] || fail "$f left after remove"
done
[[ -d $root/var/lib/vigiax && $(cd "$root/var/lib/vigiax" && find . | sort) == "$data_before" ]] ||
  fail "remove did not keep /var/lib/vigiax as it was"

step "apt-get purge vigiax"
root_before=$(list_root | grep -v '^var/lib/vigiax[/ ]')
in_root apt-get purge -y -q vigiax >"$work/purge.log" 2>&1 ||
  { cat "$work/purge.log"; fail "apt-get purge"; }
[[ -z $(status_of) || $(status_of) == pn ]] || fail "after purge: dpkg status $(status_of)"
[[ ! -e $root/var/lib/vigiax ]] || fail "purge left /var/lib/vigiax"
root_after=$(list_root)
[[ $root_before == "$root_after" ]] ||
  fail "purge removed more than /var/lib/vigiax:" "$(diff <(echo "$root_before") <(echo "$root_after"))"

# The packages downloaded this time, for the next run.
find "$cache" -name '*.deb' -delete
find "$root/var/cache/apt/archives" -maxdepth 1 -name '*.deb' -exec cp -t "$cache" {} +
step "done"

if [[ $failed -ne 0 ]]; then
  exit 1
fi
echo "package install, upgrade, service, remove and purge: all passed"
