#!/usr/bin/env bash
# Installs the Debian packages Vigiax needs to build, run and test, and unpacks the test tools
# promtool and node_exporter, and monit (the service benchmark's peer), into the project's
# .cache/tools/ without installing their packages (which would enable and start their
# services). Idempotent; quiet when everything is already there. Services shipped by the installed packages (nginx) are not started by the install.
# VGX_POLICY_RC_D names the policy-rc.d file, VGX_TOOLS_DIR the tools folder (tests only).
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config clang libclang-rt-14-dev
  qt6-base-dev qt6-translations-l10n libgl-dev libcurl4-openssl-dev libsystemd-dev
  libgtest-dev libgmock-dev libbenchmark-dev shellcheck
  xvfb xauth xdotool trayer libx11-dev fonts-liberation2
  nginx-light iproute2 iputils-ping procps bc
  debhelper scdoc lintian desktop-file-utils appstream mmdebstrap
)

# Tool name in the tools folder, Debian package, path of the binary inside the package.
tools=(
  "promtool prometheus usr/bin/promtool"
  "node_exporter prometheus-node-exporter usr/bin/prometheus-node-exporter"
  "monit monit usr/bin/monit"
)
tools_dir=${VGX_TOOLS_DIR:-$(cd "$(dirname "$0")/.." && pwd)/.cache/tools}

if [[ $(id -u) -ne 0 ]]; then
  sudo=(sudo)
else
  sudo=()
fi
export DEBIAN_FRONTEND=noninteractive
updated=0

install_packages() {
  local missing=() p status
  for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    if [[ "$status" != "install ok installed" ]]; then
      missing+=("$p")
    fi
  done
  if [[ ${#missing[@]} -eq 0 ]]; then
    return 0
  fi

  echo "Instalando pacotes: ${missing[*]}"
  # Keep package scripts from starting services during the install.
  policy=${VGX_POLICY_RC_D:-/usr/sbin/policy-rc.d}
  if [[ ! -e $policy && ! -L $policy ]]; then
    placed_policy=1
    printf '#!/bin/sh\nexit 101\n' | "${sudo[@]}" tee "$policy" >/dev/null
    "${sudo[@]}" chmod 755 "$policy"
  fi
  "${sudo[@]}" apt-get update -qq
  updated=1
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  remove_policy
}

# Downloads the packages of the missing tools as the invoking user and copies only their
# binaries out: the packages are never installed, so no service is enabled or started.
unpack_tools() {
  local missing=() t name package member
  for t in "${tools[@]}"; do
    read -r name package member <<<"$t"
    if [[ ! -x $tools_dir/$name ]]; then
      missing+=("$t")
    fi
  done
  if [[ ${#missing[@]} -eq 0 ]]; then
    return 0
  fi

  local names=() packs=()
  for t in "${missing[@]}"; do
    read -r name package member <<<"$t"
    names+=("$name")
    packs+=("$package")
  done
  echo "Desempacotando ferramentas de teste em $tools_dir: ${names[*]}"
  work=$(mktemp -d)
  # apt-get download needs the package lists; fetch them once if it cannot find a package.
  if ! (cd "$work" && apt-get download -qq "${packs[@]}") >"$work/download.log" 2>&1; then
    if [[ $updated -eq 1 ]]; then
      cat "$work/download.log" >&2
      return 1
    fi
    "${sudo[@]}" apt-get update -qq
    updated=1
    if ! (cd "$work" && apt-get download -qq "${packs[@]}") >"$work/download.log" 2>&1; then
      cat "$work/download.log" >&2
      return 1
    fi
  fi
  mkdir -p "$tools_dir"
  for t in "${missing[@]}"; do
    read -r name package member <<<"$t"
    local debs=("$work/${package}"_*.deb)
    dpkg-deb -x "${debs[0]}" "$work/root-$package"
    # Through a temporary name, so that an interrupted copy never looks like a usable tool.
    install -m 755 "$work/root-$package/$member" "$tools_dir/.$name.part"
    mv -f "$tools_dir/.$name.part" "$tools_dir/$name"
  done
}

placed_policy=0
work=
remove_policy() {
  if [[ $placed_policy -eq 1 ]]; then
    "${sudo[@]}" rm -f "$policy"
    placed_policy=0
  fi
}
# The trap's own status never becomes the script's: it always ends with a true command.
cleanup() {
  remove_policy
  if [[ -n $work ]]; then
    rm -rf "$work"
  fi
  return 0
}
trap cleanup EXIT

install_packages
unpack_tools
