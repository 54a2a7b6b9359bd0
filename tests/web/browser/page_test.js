// The web page in Debian's Chromium (headless, driven by playwright-core):
// the canvas shows the engine's golden frames, the saver ends as the native
// one does, bad parameters fall back, reduced motion holds a still frame,
// and nothing is asked of any server but the page's own.
// Run by scripts/test-web.sh: WENDREL_PAGE_DIR names the built page.
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const zlib = require('node:zlib');
const { after, before, describe, test } = require('node:test');
const { chromium } = require('playwright-core');
const { servePage } = require('../../../scripts/serve-page.js');

const PAGE_DIR = process.env.WENDREL_PAGE_DIR;
// FNV-1a of the frame in the engine's layout, as tests/scene/golden_test.cpp.
const BACKGROUND = '0xedbd654971512051';
const SEED_4 = { 739: '0x5cc27b6f707f600a', 2000: '0x954341b746122981' };

// requestAnimationFrame by hand: each step is one browser frame `ms` after
// the last, so the test knows exactly how many ticks the page owes.
function frameDriver() {
  let now = 1000;
  let next = 1;
  const waiting = new Map();
  window.requestAnimationFrame = (callback) => {
    waiting.set(next, callback);
    return next++;
  };
  window.cancelAnimationFrame = (id) => waiting.delete(id);
  window.testFrames = (ms, count = 1) => {
    for (let i = 0; i < count; ++i) {
      now += ms;
      const due = [...waiting.values()];
      waiting.clear();
      for (const callback of due) callback(now);
    }
  };
  window.testFramesWaiting = () => waiting.size;
  // The canvas back in the engine's layout (bottom-up blue-green-red), hashed.
  window.testCanvasHash = () => {
    const canvas = document.getElementById('scene');
    const rgba = canvas.getContext('2d').getImageData(0, 0, 640, 480).data;
    const prime = 0x100000001b3n;
    let hash = 0xcbf29ce484222325n;
    const mix = (byte) => {
      hash = BigInt.asUintN(64, (hash ^ BigInt(byte)) * prime);
    };
    for (let y = 479; y >= 0; --y) {
      for (let x = 0; x < 640; ++x) {
        const at = (y * 640 + x) * 4;
        mix(rgba[at + 2]);
        mix(rgba[at + 1]);
        mix(rgba[at]);
      }
    }
    return '0x' + hash.toString(16).padStart(16, '0');
  };
}

// The page's frames are driven by hand, so waits poll on a timer instead.
const POLL = { polling: 20, timeout: 10000 };
let browser;
let site;
const requested = new Set();

async function openPage(query = '', { reducedMotion = 'no-preference', noSimd = false } = {}) {
  const context = await browser.newContext({ reducedMotion, viewport: { width: 800, height: 600 } });
  const page = await context.newPage();
  const warnings = [];
  const errors = [];
  page.on('console', (message) => {
    // Chromium's own advice (on getImageData, say) is not the page's.
    if (message.type() === 'warning' && message.text().startsWith('wendrel:')) warnings.push(message.text());
    if (message.type() === 'error') errors.push(message.text());
  });
  page.on('pageerror', (error) => errors.push(error.message));
  page.on('request', (request) => requested.add(request.url()));
  await page.addInitScript(frameDriver);
  if (noSimd) await page.addInitScript(() => { WebAssembly.validate = () => false; });
  await page.goto(site.url + query);
  await page.waitForFunction(() => window.wendrel && window.wendrel.state !== 'loading', null, POLL);
  const close = async () => {
    assert.deepEqual(await context.cookies(), [], 'the page set a cookie');
    assert.equal(await page.evaluate(() => localStorage.length + sessionStorage.length), 0, 'the page stored data');
    await context.close();
  };
  return { page, warnings, errors, close };
}

const state = (page) => page.evaluate(() => ({ state: wendrel.state, ticks: wendrel.ticks }));

async function startSaver(page) {
  await page.click('#start');
  await page.waitForFunction(() => document.fullscreenElement !== null, null, POLL);
  assert.equal((await state(page)).state, 'saver');
  assert.equal(await page.evaluate(() => getComputedStyle(document.getElementById('scene')).cursor), 'none');
}

// The saver has ended: out of full screen, its Start button back, and no
// tick after it.
async function assertEnded(page) {
  await page.waitForFunction(() => document.fullscreenElement === null && wendrel.state === 'stopped', null, POLL);
  const { ticks } = await state(page);
  assert.equal(await page.evaluate(() => testFramesWaiting()), 0, 'a frame is still requested');
  await page.evaluate(() => testFrames(10, 20));
  assert.equal((await state(page)).ticks, ticks, 'it went on ticking');
  assert.ok(await page.isVisible('#start'));
}

before(async () => {
  assert.ok(PAGE_DIR && fs.existsSync(`${PAGE_DIR}/index.html`), 'WENDREL_PAGE_DIR names no built page');
  site = await servePage(PAGE_DIR);
  browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    // Root (CI) has no user namespace sandbox to give.
    args: process.getuid && process.getuid() === 0 ? ['--no-sandbox'] : [],
  });
});

// /proc/PID/stat's fields after the command's name: state, parent, group,
// session, ... of every process there is.
function processes() {
  const list = [];
  for (const name of fs.readdirSync('/proc')) {
    if (!/^[0-9]+$/.test(name)) continue;
    try {
      const stat = fs.readFileSync(`/proc/${name}/stat`, 'utf8');
      const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      list.push({ pid: Number(name), parent: Number(fields[1]), session: Number(fields[3]) });
    } catch {
      // It ended while we looked.
    }
  }
  return list;
}

// Chromium runs in a session of its own, led by the browser process that
// playwright started; its helpers may take a moment to go after it closes.
async function closeBrowserAndWait() {
  const sessions = processes()
    .filter((p) => p.parent === process.pid && p.session === p.pid)
    .map((p) => p.session);
  assert.notEqual(sessions.length, 0, 'the browser process was not found');
  await browser.close();
  const deadline = Date.now() + 10000;
  let left = [];
  for (;;) {
    left = processes().filter((p) => sessions.includes(p.session));
    if (left.length === 0 || Date.now() > deadline) break;
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
  assert.deepEqual(left.map((p) => p.pid), [], 'Chromium processes outlived the browser by 10 s');
}

after(async () => {
  if (browser) await closeBrowserAndWait();
  if (site) await new Promise((resolve) => site.server.close(resolve));
  const origin = site ? site.url : '';
  const own = new Set(['', 'wendrel.js', 'wendrel.wasm', 'wendrel-simd.wasm']);
  for (const url of requested) {
    assert.ok(url.startsWith(origin) && own.has(new URL(url).pathname.slice(1)), `the page asked for ${url}`);
  }
});

describe('frames', () => {
  for (const noSimd of [false, true]) {
    test(`seed 4 gives the engine's frames at ticks 739 and 2000 (${noSimd ? 'plain' : 'SIMD'} module)`, async () => {
      const { page, warnings, errors, close } = await openPage('?seed=4', { noSimd });
      assert.equal((await state(page)).state, 'ticking');
      await page.evaluate(() => testFrames(10, 1));  // the first frame only sets the clock
      assert.equal(await page.evaluate(() => testCanvasHash()), BACKGROUND);
      await page.evaluate(() => testFrames(10, 739));
      assert.equal((await state(page)).ticks, 739);
      assert.equal(await page.evaluate(() => testCanvasHash()), SEED_4[739]);
      // Slower browser frames owe several ticks each, drawn together.
      await page.evaluate(() => testFrames(30, 420));
      await page.evaluate(() => testFrames(5, 2));
      assert.equal((await state(page)).ticks, 2000);
      assert.equal(await page.evaluate(() => testCanvasHash()), SEED_4[2000]);
      assert.deepEqual([warnings, errors], [[], []]);
      const module = noSimd ? 'wendrel.wasm' : 'wendrel-simd.wasm';
      assert.ok([...requested].some((url) => url.endsWith('/' + module)), `${module} was not loaded`);
      await close();
    });
  }

  test('a long pause is caught up by a quarter of a second at most', async () => {
    const { page, close } = await openPage('?seed=9');
    await page.evaluate(() => testFrames(10, 3));
    await page.evaluate(() => testFrames(60000, 1));
    assert.equal((await state(page)).ticks, 2 + 25);
    await close();
  });
});

describe('the saver', () => {
  test('a move of 5 pixels, or of 6 on one axis only, does not end it; 6 on both axes does', async () => {
    const { page, close } = await openPage('?seed=1');
    await startSaver(page);
    const box = await page.locator('#scene').boundingBox();
    const x = Math.round(box.x + box.width / 2);
    const y = Math.round(box.y + box.height / 2);
    for (const [dx, dy] of [[0, 0], [5, 5], [-5, -5], [6, 0], [0, -6], [-6, 5]]) {
      await page.mouse.move(x + dx, y + dy);
      assert.equal((await state(page)).state, 'saver', `a move by ${dx}, ${dy} ended it`);
    }
    await page.evaluate(() => testFrames(10, 1));
    const before = (await state(page)).ticks;
    await page.evaluate(() => testFrames(10, 5));
    assert.equal((await state(page)).ticks, before + 5, 'the saver does not tick');
    await page.mouse.move(x + 6, y - 6);
    await assertEnded(page);
    await close();
  });

  const endings = {
    'a key': (page) => page.keyboard.press('KeyA'),
    'a button': (page) => page.mouse.down(),
    'the wheel': (page) => page.mouse.wheel(0, 120),
    'leaving full screen': (page) => page.evaluate(() => document.exitFullscreen()),
    'the tab being hidden': (page) => page.evaluate(() => {
      Object.defineProperty(document, 'hidden', { value: true, configurable: true });
      document.dispatchEvent(new Event('visibilitychange'));
    }),
  };
  for (const [name, act] of Object.entries(endings)) {
    test(`${name} ends it`, async () => {
      const { page, close } = await openPage('?seed=2');
      await startSaver(page);
      await page.evaluate(() => testFrames(10, 3));
      await act(page);
      await assertEnded(page);
      await close();
    });
  }
});

describe('parameters', () => {
  for (const bad of ['abc', '-1', '4294967296', '1e3', '']) {
    test(`seed=${bad} gives the time in seconds and one warning`, async () => {
      const from = Math.floor(Date.now() / 1000);
      const { page, warnings, close } = await openPage(`?seed=${bad}`);
      const to = Math.floor(Date.now() / 1000);
      const seed = Number((await page.textContent('#seed')).replace('Seed ', ''));
      assert.ok(seed >= from && seed <= to, `seed ${seed} is not the time`);
      assert.equal(warnings.length, 1, warnings.join('\n'));
      assert.match(warnings[0], /seed/);
      assert.equal((await state(page)).state, 'ticking');
      await close();
    });
  }

  test('the largest seed is taken as it is', async () => {
    const { page, warnings, close } = await openPage('?seed=4294967295');
    assert.equal(await page.textContent('#seed'), 'Seed 4294967295');
    assert.deepEqual(warnings, []);
    await close();
  });
});

test('the server gives the page\'s files, .wasm as application/wasm, and nothing else', async () => {
  const cases = {
    '': [200, 'text/html; charset=utf-8'],
    'wendrel.wasm': [200, 'application/wasm'],
    'wendrel.js?x=1': [200, 'text/javascript; charset=utf-8'],
    '%E0%A4%A': [404, 'text/plain'],
    '..%2fCMakeCache.txt': [404, 'text/plain'],
    'missing.js': [404, 'text/plain'],
  };
  for (const [name, expected] of Object.entries(cases)) {
    const response = await fetch(site.url + name);
    await response.arrayBuffer();
    assert.deepEqual([response.status, response.headers.get('content-type')], expected, name);
  }
});

test('what a browser loads is at most 300 KB compressed', () => {
  const gzipped = (name) => zlib.gzipSync(fs.readFileSync(`${PAGE_DIR}/${name}`), { level: 9 }).length;
  for (const module of ['wendrel.wasm', 'wendrel-simd.wasm']) {
    const total = gzipped('index.html') + gzipped('wendrel.js') + gzipped(module);
    assert.ok(total <= 300 * 1024, `the page with ${module} is ${total} bytes compressed`);
  }
});

describe('reduced motion', () => {
  test('a still frame until Start', async () => {
    const { page, close } = await openPage('?seed=4', { reducedMotion: 'reduce' });
    assert.equal((await state(page)).state, 'still');
    await page.evaluate(() => testFrames(10, 50));
    assert.deepEqual(await state(page), { state: 'still', ticks: 0 });
    assert.equal(await page.evaluate(() => testCanvasHash()), BACKGROUND);
    await startSaver(page);
    await page.evaluate(() => testFrames(10, 4));
    assert.equal((await state(page)).ticks, 3);
    await close();
  });

  test('autostart ticks all the same', async () => {
    const { page, close } = await openPage('?seed=4&autostart=1', { reducedMotion: 'reduce' });
    await page.evaluate(() => testFrames(10, 11));
    assert.deepEqual(await state(page), { state: 'ticking', ticks: 10 });
    await close();
  });
});
