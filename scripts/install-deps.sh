#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
set -euo pipefail

PACKAGES=(
    build-essential cmake ninja-build pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev libsqlite3-dev
    clang libclang-rt-14-dev
    libdw-dev
    libcli11-dev
    nlohmann-json3-dev
    libcurl4-openssl-dev
    libhpdf-dev poppler-utils
    faketime
    libgrpc++-dev libprotobuf-dev protobuf-compiler protobuf-compiler-grpc
    libabsl-dev
    binutils openssl
)

missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
