#!/bin/bash
# The web page: builds the web preset, runs the engine's tests under node
# (ctest --preset web), then the page's tests in Debian's Chromium with
# playwright-core, installed from the committed lock into build/web/npm
# (no browser is downloaded).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset web
cmake --build --preset web
scripts/ctest-run.sh web

npm_dir=build/web/npm
lock=tests/web/browser/package-lock.json
if ! cmp -s "$lock" "$npm_dir/package-lock.json" || [ ! -d "$npm_dir/node_modules/playwright-core" ]; then
    rm -rf "$npm_dir"
    mkdir -p "$npm_dir"
    cp tests/web/browser/package.json "$lock" "$npm_dir/"
    (cd "$npm_dir" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund)
fi

# The test waits for Chromium's last process to go before it passes.
WENDREL_PAGE_DIR=$PWD/build/web/page NODE_PATH=$PWD/$npm_dir/node_modules \
    node --test tests/web/browser/page_test.js
