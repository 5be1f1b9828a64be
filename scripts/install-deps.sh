#!/usr/bin/env bash
# Installs the Debian packages Vigiax needs to build, run and test. Idempotent; quiet
# when everything is already there. Services shipped by the packages (nginx) are not
# started by the install.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config clang libclang-rt-14-dev
  qt6-base-dev libgl-dev libcurl4-openssl-dev libsystemd-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool trayer
  nginx-light iproute2 iputils-ping procps bc
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -ne 0 ]]; then
  sudo=(sudo)
else
  sudo=()
fi

echo "Instalando pacotes: ${missing[*]}"
# Keep package scripts from starting services during the install.
policy=/usr/sbin/policy-rc.d
placed_policy=0
if [[ ! -e $policy ]]; then
  printf '#!/bin/sh\nexit 101\n' | "${sudo[@]}" tee "$policy" >/dev/null
  "${sudo[@]}" chmod 755 "$policy"
  placed_policy=1
fi
cleanup() { [[ $placed_policy -eq 1 ]] && "${sudo[@]}" rm -f "$policy"; }
trap cleanup EXIT

export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
