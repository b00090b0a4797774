#!/usr/bin/env bash
# Installs what is missing, builds the tool and shows its window (under Xvfb, with a screenshot,
# when there is no display).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build -DTALLOWIND_TESTS=OFF -DTALLOWIND_BENCH=OFF
exec bash scripts/run-window.sh "$PWD/build/app/tallowind"
