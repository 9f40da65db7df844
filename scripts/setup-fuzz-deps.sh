#!/usr/bin/env bash
# Installs what `make fuzz` needs beyond the build's own packages: clang and its sanitizer and
# libFuzzer runtimes. Idempotent, like setup-deps.sh, which does the work.
set -euo pipefail
exec bash "$(dirname "$0")/setup-deps.sh" clang libclang-rt-dev
