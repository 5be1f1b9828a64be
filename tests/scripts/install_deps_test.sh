#!/usr/bin/env bash
# Runs scripts/install-deps.sh against fake dpkg-query, apt-get, dpkg-deb and sudo put first on
# PATH, with its policy-rc.d and tools folder in a temporary folder: nothing is installed or
# downloaded and the machine's policy-rc.d is never touched. Usage: install_deps_test.sh <script>
set -euo pipefail
script=$(realpath "${1:?install-deps.sh}")
work=$(mktemp -d /tmp/vgx-deps-test-XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"

cat >"$work/bin/dpkg-query" <<'EOF'
#!/bin/sh
# Every package is installed except those listed in FAKE_MISSING.
for package; do :; done
case " $FAKE_MISSING " in *" $package "*) exit 1 ;; esac
printf 'install ok installed'
EOF
cat >"$work/bin/apt-get" <<'EOF'
#!/bin/sh
# Records the call and whether a policy-rc.d was holding the services back at that moment.
policy=absent
if [ -e "$VGX_POLICY_RC_D" ]; then policy=present; fi
echo "$* ($policy)" >>"$FAKE_LOG"
if [ "$1" = install ]; then exit "$FAKE_INSTALL_STATUS"; fi
if [ "$1" = download ]; then
  # Fails while FAKE_DOWNLOAD_FAILS (a count in a file) is above zero; else one .deb a package.
  left=$(cat "$FAKE_DOWNLOAD_FAILS")
  if [ "$left" -gt 0 ]; then
    echo $((left - 1)) >"$FAKE_DOWNLOAD_FAILS"
    echo "E: Can't select candidate" >&2
    exit 100
  fi
  pwd >"$FAKE_DOWNLOAD_DIR"
  shift
  for p; do
    case $p in -*) ;; *) echo "deb of $p" >"${p}_1.0_amd64.deb" ;; esac
  done
fi
EOF
cat >"$work/bin/dpkg-deb" <<'EOF'
#!/bin/sh
# dpkg-deb -x <deb> <dir>: every binary of the package, each holding the package's name.
echo "dpkg-deb $1 $(basename "$2")" >>"$FAKE_LOG"
case $(basename "$2") in
  prometheus_*) bins="prometheus promtool" ;;
  prometheus-node-exporter_*) bins=prometheus-node-exporter ;;
  monit_*) bins=monit ;;
esac
mkdir -p "$3/usr/bin"
for b in $bins; do
  printf '#!/bin/sh\n# %s\n' "$(basename "$2")" >"$3/usr/bin/$b"
  chmod 755 "$3/usr/bin/$b"
done
EOF
printf '#!/bin/sh\nexec "$@"\n' >"$work/bin/sudo"
chmod +x "$work/bin/"*

export PATH="$work/bin:$PATH" VGX_POLICY_RC_D="$work/policy-rc.d" FAKE_LOG="$work/apt.log"
export VGX_TOOLS_DIR="$work/tools" FAKE_DOWNLOAD_FAILS="$work/download-fails"
export FAKE_DOWNLOAD_DIR="$work/download-dir"
mkdir "$VGX_TOOLS_DIR" "$work/cwd"
# The tools are there unless a case removes them.
place_tools() {
  for t in promtool node_exporter monit; do
    printf '#!/bin/sh\n' >"$VGX_TOOLS_DIR/$t"
    chmod 755 "$VGX_TOOLS_DIR/$t"
  done
}
place_tools
failed=0
expect() {
  if [[ "$2" != "$3" ]]; then
    printf 'FAIL %s\n  expected: %q\n  got:      %q\n' "$1" "$2" "$3"
    failed=1
  fi
}
# Runs the script from an empty folder with the missing packages $1, the install's exit status
# $2 and $3 failing downloads before they work (default none).
run() {
  : >"$FAKE_LOG"
  echo "${3:-0}" >"$FAKE_DOWNLOAD_FAILS"
  rm -f "$FAKE_DOWNLOAD_DIR"
  status=0
  out=$(cd "$work/cwd" && FAKE_MISSING=$1 FAKE_INSTALL_STATUS=$2 bash "$script" 2>&1) || status=$?
  calls=$(cat "$FAKE_LOG")
  policy=$(cat "$VGX_POLICY_RC_D" 2>/dev/null || echo "(none)")
}

installed='update -qq (present)
install -y -qq --no-install-recommends shellcheck (present)'

printf 'kept\n' >"$VGX_POLICY_RC_D"
run shellcheck 0
expect "policy-rc.d already there: status" 0 "$status"
expect "policy-rc.d already there: apt-get" "$installed" "$calls"
expect "policy-rc.d already there: left as it was" kept "$policy"

rm "$VGX_POLICY_RC_D"
run shellcheck 0
expect "no policy-rc.d: status" 0 "$status"
expect "no policy-rc.d: apt-get, services held back" "$installed" "$calls"
expect "no policy-rc.d: removed again" "(none)" "$policy"

run shellcheck 100
expect "failed install: status" 100 "$status"
expect "failed install: policy-rc.d removed again" "(none)" "$policy"

run "" 0
expect "nothing missing: status" 0 "$status"
expect "nothing missing: apt-get not called" "" "$calls"
expect "nothing missing: quiet" "" "$out"

unpacked='download -qq prometheus prometheus-node-exporter monit (absent)
dpkg-deb -x prometheus_1.0_amd64.deb
dpkg-deb -x prometheus-node-exporter_1.0_amd64.deb
dpkg-deb -x monit_1.0_amd64.deb'
rm "$VGX_TOOLS_DIR"/*
run "" 0
expect "tools missing: status" 0 "$status"
expect "tools missing: downloaded and unpacked, nothing installed" "$unpacked" "$calls"
expect "tools missing: promtool from its package" "# prometheus_1.0_amd64.deb" \
  "$(tail -n 1 "$VGX_TOOLS_DIR/promtool")"
expect "tools missing: node_exporter from its package" "# prometheus-node-exporter_1.0_amd64.deb" \
  "$(tail -n 1 "$VGX_TOOLS_DIR/node_exporter")"
expect "tools missing: only the tools kept" "monit node_exporter promtool" \
  "$(shopt -s dotglob && cd "$VGX_TOOLS_DIR" && echo *)"
expect "tools missing: executable" "yes" \
  "$([[ -x $VGX_TOOLS_DIR/promtool && -x $VGX_TOOLS_DIR/node_exporter ]] && echo yes)"
expect "tools missing: no .deb left in the caller's folder" "" "$(ls "$work/cwd")"
expect "tools missing: download folder removed" "no" \
  "$([[ -e $(cat "$FAKE_DOWNLOAD_DIR") ]] && echo yes || echo no)"

run "" 0
expect "tools there: nothing called" "" "$calls"
expect "tools there: quiet" "" "$out"

rm "$VGX_TOOLS_DIR/node_exporter"
run "" 0 1
expect "no package lists: status" 0 "$status"
expect "no package lists: updated once, then downloaded" "download -qq prometheus-node-exporter (absent)
update -qq (absent)
download -qq prometheus-node-exporter (absent)
dpkg-deb -x prometheus-node-exporter_1.0_amd64.deb" "$calls"

rm "$VGX_TOOLS_DIR"/*
run shellcheck 0
expect "packages and tools missing: lists updated once, services held back only for the install" "update -qq (present)
install -y -qq --no-install-recommends shellcheck (present)
download -qq prometheus prometheus-node-exporter monit (absent)
dpkg-deb -x prometheus_1.0_amd64.deb
dpkg-deb -x prometheus-node-exporter_1.0_amd64.deb
dpkg-deb -x monit_1.0_amd64.deb" "$calls"
expect "packages and tools missing: policy-rc.d removed again" "(none)" "$policy"

rm "$VGX_TOOLS_DIR"/*
run "" 0 2
expect "download fails: status" 1 "$status"
expect "download fails: lists updated once" "download -qq prometheus prometheus-node-exporter monit (absent)
update -qq (absent)
download -qq prometheus prometheus-node-exporter monit (absent)" "$calls"
expect "download fails: the reason shown" "yes" \
  "$([[ $out == *"Can't select candidate"* ]] && echo yes)"
expect "download fails: no tool left behind" "" "$(ls -A "$VGX_TOOLS_DIR")"
place_tools

if [[ $failed -ne 0 ]]; then
  exit 1
fi
echo "install-deps.sh: all cases passed"
