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

# In a process group of its own, so that a browser process that outlives
# the test is seen (Chromium's helpers may take a moment after it closes).
WENDREL_PAGE_DIR=$PWD/build/web/page NODE_PATH=$PWD/$npm_dir/node_modules \
    setsid node --test tests/web/browser/page_test.js &
test_pid=$!
status=0
wait "$test_pid" || status=$?
for _ in $(seq 100); do
    pgrep -g "$test_pid" >/dev/null || break
    sleep 0.1
done
if pgrep -g "$test_pid" >/dev/null; then
    echo "test-web.sh: processes of the browser test are still running after 10 s; ending them" >&2
    kill -- "-$test_pid" 2>/dev/null || true
    status=1
fi
exit $status
