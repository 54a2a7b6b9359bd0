// What the web page costs: a tick of the engine in WebAssembly (plain and
// SIMD, in node and in Chromium) beside the native BM_RealRun/0 of the same
// run (the first 5,000 ticks of seed 1 at the stretched pace), and drawing
// frames with putImageData in Chromium. Run by bench/web-bench.sh.
'use strict';

const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');
const { chromium } = require('playwright-core');
const { servePage } = require('../scripts/serve-page.js');

const [pageDir, nativeBench] = process.argv.slice(2);
const TICKS = 5000;
const ROUNDS = 7;

// Runs in node and, as source, in the page: the best per-tick time of
// ROUNDS runs of TICKS ticks of seed 1, in milliseconds. The best, as with
// the native figure: what other programs on the machine add is noise.
async function measureTicks(bytes, ticks, rounds) {
  let memory = null;
  const fail = () => 52;
  const imports = {
    env: { emscripten_notify_memory_growth: () => {} },
    wasi_snapshot_preview1: { fd_write: fail, fd_close: fail, fd_seek: fail, proc_exit: fail },
  };
  const { instance } = await WebAssembly.instantiate(bytes, imports);
  const engine = instance.exports;
  memory = engine.memory;
  engine._initialize();
  const times = [];
  for (let r = 0; r < rounds; ++r) {
    engine.wendrel_start(1, 0);
    const start = performance.now();
    engine.wendrel_run_ticks(ticks);
    times.push((performance.now() - start) / ticks);
  }
  return { perTick: Math.min(...times), memory: memory.buffer.byteLength };
}

// In the page: putImageData of the whole frame, and of one tick's dirty
// rectangles, each timed until the canvas has taken them (a one-pixel read).
async function measureDrawing(bytes) {
  const imports = {
    env: { emscripten_notify_memory_growth: () => {} },
    wasi_snapshot_preview1: { fd_write: () => 52, fd_close: () => 52, fd_seek: () => 52, proc_exit: () => 52 },
  };
  const { instance } = await WebAssembly.instantiate(bytes, imports);
  const engine = instance.exports;
  engine._initialize();
  engine.wendrel_start(1, 0);
  engine.wendrel_run_ticks(500);
  engine.wendrel_take_dirty();
  const canvas = document.createElement('canvas');
  canvas.width = 640;
  canvas.height = 480;
  document.body.appendChild(canvas);
  const context = canvas.getContext('2d', { alpha: false });
  const image = new ImageData(
    new Uint8ClampedArray(engine.memory.buffer, engine.wendrel_frame_rgba(), 640 * 480 * 4), 640, 480);
  // The browser's clock is coarse: time many frames together.
  const frames = 200;
  let start = performance.now();
  for (let i = 0; i < frames; ++i) {
    context.putImageData(image, 0, 0);
    context.getImageData(0, 0, 1, 1);
  }
  const whole = (performance.now() - start) / frames;
  // Each tick's drawing timed alone, the clock's coarseness averaging out.
  let rectCount = 0;
  let drawing = 0;
  for (let i = 0; i < frames; ++i) {
    engine.wendrel_tick();
    const count = engine.wendrel_take_dirty();
    const rects = new Int32Array(engine.memory.buffer, engine.wendrel_dirty_rects(), 4 * Math.max(count, 0));
    start = performance.now();
    if (count < 0) context.putImageData(image, 0, 0);
    for (let r = 0; r < rects.length; r += 4)
      context.putImageData(image, 0, 0, rects[r], rects[r + 1], rects[r + 2] - rects[r], rects[r + 3] - rects[r + 1]);
    context.getImageData(0, 0, 1, 1);
    drawing += performance.now() - start;
    rectCount += rects.length / 4;
  }
  const dirty = drawing / frames;
  return { whole, dirty, rects: rectCount / frames };
}

function nativePerTick() {
  const out = execFileSync(nativeBench, ['--benchmark_filter=BM_RealRun/0$', '--benchmark_format=json',
    `--benchmark_repetitions=${ROUNDS}`], { encoding: 'utf8' });
  const runs = JSON.parse(out).benchmarks.filter((b) => b.run_type === 'iteration');
  return Math.min(...runs.map((b) => b.per_tick)) * 1000;  // seconds to milliseconds
}

const ms = (value) => `${value.toFixed(4)} ms`;

async function main() {
  const modules = ['wendrel.wasm', 'wendrel-simd.wasm'];
  const native = nativePerTick();
  console.log(`native BM_RealRun/0          ${ms(native)} a tick`);
  for (const module of modules) {
    const bytes = fs.readFileSync(path.join(pageDir, module));
    const { perTick } = await measureTicks(bytes, TICKS, ROUNDS);
    console.log(`node ${module.padEnd(24)}${ms(perTick)} a tick, ${(perTick / native).toFixed(2)}x native`);
  }
  const site = await servePage(pageDir);
  const browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: process.getuid && process.getuid() === 0 ? ['--no-sandbox'] : [],
  });
  try {
    // The page's own policy forbids compiling the measuring code it is sent.
    const page = await (await browser.newContext({ bypassCSP: true })).newPage();
    await page.goto(site.url);
    for (const module of modules) {
      const perTick = await page.evaluate(async ([source, url, ticks, rounds]) => {
        const measure = new Function(`return (${source})`)();
        const bytes = await (await fetch(url)).arrayBuffer();
        return (await measure(bytes, ticks, rounds)).perTick;
      }, [measureTicks.toString(), module, TICKS, ROUNDS]);
      console.log(`chromium ${module.padEnd(20)}${ms(perTick)} a tick, ${(perTick / native).toFixed(2)}x native`);
    }
    const drawing = await page.evaluate(async ([source, url]) => {
      const measure = new Function(`return (${source})`)();
      return measure(await (await fetch(url)).arrayBuffer());
    }, [measureDrawing.toString(), 'wendrel.wasm']);
    console.log(`chromium drawing             ${ms(drawing.whole)} a whole frame, ${ms(drawing.dirty)} a tick's changes (${drawing.rects.toFixed(1)} rectangles)`);
  } finally {
    await browser.close();
    await new Promise((resolve) => site.server.close(resolve));
  }
}

main().catch((error) => {
  console.error(`web_bench.js: ${error.message}`);
  process.exit(1);
});
