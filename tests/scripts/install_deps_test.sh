#!/usr/bin/env bash
# Runs scripts/install-deps.sh against fake dpkg-query, apt-get and sudo put first on PATH, with
# its policy-rc.d in a temporary folder: nothing is installed and the machine's policy-rc.d is
# never touched. Usage: install_deps_test.sh <install-deps.sh>
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
EOF
printf '#!/bin/sh\nexec "$@"\n' >"$work/bin/sudo"
chmod +x "$work/bin/"*

export PATH="$work/bin:$PATH" VGX_POLICY_RC_D="$work/policy-rc.d" FAKE_LOG="$work/apt.log"
failed=0
expect() {
  if [[ "$2" != "$3" ]]; then
    printf 'FAIL %s\n  expected: %q\n  got:      %q\n' "$1" "$2" "$3"
    failed=1
  fi
}
# Runs the script with the missing packages $1 and the install's exit status $2.
run() {
  : >"$FAKE_LOG"
  status=0
  FAKE_MISSING=$1 FAKE_INSTALL_STATUS=$2 bash "$script" >/dev/null 2>&1 || status=$?
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

if [[ $failed -ne 0 ]]; then
  exit 1
fi
echo "install-deps.sh: all cases passed"
