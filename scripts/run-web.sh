#!/bin/bash
# Builds the web page and serves it on 127.0.0.1 on a free port (or PORT,
# the first argument), printing the address to open in a browser. Ctrl+C
# stops the server.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --without-32-bit
cmake --preset web >/dev/null
cmake --build --preset web --target wendrel_web wendrel_web_simd
exec node scripts/serve-page.js build/web/page "$@"
