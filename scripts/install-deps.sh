#!/usr/bin/env bash
# Installs the Debian packages Vigiax needs to build, run and test. Idempotent; quiet
# when everything is already there. Services shipped by the packages (nginx) are not
# started by the install. VGX_POLICY_RC_D names the policy-rc.d file (tests only).
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config clang libclang-rt-14-dev
  qt6-base-dev qt6-translations-l10n libgl-dev libcurl4-openssl-dev libsystemd-dev
  libgtest-dev libgmock-dev libbenchmark-dev shellcheck
  xvfb xauth xdotool trayer libx11-dev fonts-liberation2
  nginx-light iproute2 iputils-ping procps bc
  debhelper scdoc lintian desktop-file-utils appstream mmdebstrap
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  if [[ "$status" != "install ok installed" ]]; then
    missing+=("$p")
  fi
done
if [[ ${#missing[@]} -eq 0 ]]; then
  exit 0
fi

if [[ $(id -u) -ne 0 ]]; then
  sudo=(sudo)
else
  sudo=()
fi

echo "Instalando pacotes: ${missing[*]}"
# Keep package scripts from starting services during the install.
policy=${VGX_POLICY_RC_D:-/usr/sbin/policy-rc.d}
placed_policy=0
# The trap's own status never becomes the script's: it always ends with a true command.
cleanup() {
  if [[ $placed_policy -eq 1 ]]; then
    "${sudo[@]}" rm -f "$policy"
  fi
  return 0
}
trap cleanup EXIT
if [[ ! -e $policy && ! -L $policy ]]; then
  placed_policy=1
  printf '#!/bin/sh\nexit 101\n' | "${sudo[@]}" tee "$policy" >/dev/null
  "${sudo[@]}" chmod 755 "$policy"
fi

export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
