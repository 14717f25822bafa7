#!/usr/bin/env bash
# make test: install, build, start the null sink when no audio server answers, run every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
source scripts/audio-server.sh
cd build
ctest --output-on-failure --timeout 300 -j "$(nproc)"
