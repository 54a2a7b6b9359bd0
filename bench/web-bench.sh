#!/bin/bash
# What the web page costs against the native engine, in one run: builds the
# linux preset's benchmarks and the web page, then runs bench/web_bench.js
# (playwright-core from build/web/npm, as scripts/test-web.sh installs it).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset linux >/dev/null
cmake --build --preset linux --target wendrel_benchmarks
cmake --preset web >/dev/null
cmake --build --preset web --target wendrel_web wendrel_web_simd
if [ ! -d build/web/npm/node_modules/playwright-core ]; then
    echo "web-bench.sh: playwright-core is not installed; scripts/test-web.sh installs it" >&2
    exit 1
fi
NODE_PATH=$PWD/build/web/npm/node_modules exec node bench/web_bench.js build/web/page \
    build/linux/bench/wendrel_benchmarks
