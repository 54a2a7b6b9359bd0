// Wendrel in a browser: the engine's WebAssembly module composes the frames,
// this script ticks it from requestAnimationFrame and draws what changed.
//
// URL parameters: seed (0 ... 4294967295, default the time in seconds) gives
// the same frames as `wendrel-render --seed`; autostart=1 ticks at once,
// even where the system asks for reduced motion (kiosks). Start puts the
// scene in full screen as the saver: a key, a button, the wheel, a mouse
// movement of more than 5 pixels on both axes, leaving full screen or
// hiding the tab ends it, and ticking stops.
'use strict';

(() => {
  const WIDTH = 640;
  const HEIGHT = 480;
  const TICK_MS = 10;
  // After a slow frame or a hidden tab, catch up at most this much.
  const MOST_CATCH_UP_MS = 250;
  const LARGEST_SEED = 4294967295;

  const params = new URLSearchParams(window.location.search);

  // A bad parameter gives its default and one warning, never a blank page.
  function readSeed() {
    const fallback = Math.floor(Date.now() / 1000) % (LARGEST_SEED + 1);
    if (!params.has('seed')) return fallback;
    const text = params.get('seed');
    if (/^[0-9]{1,10}$/.test(text) && Number(text) <= LARGEST_SEED) return Number(text);
    console.warn(`wendrel: seed "${text}" is not a whole number from 0 to ${LARGEST_SEED}; using ${fallback}`);
    return fallback;
  }

  function readAutostart() {
    if (!params.has('autostart')) return false;
    const text = params.get('autostart');
    if (text === '' || text === '1' || text === 'true') return true;
    if (text === '0' || text === 'false') return false;
    console.warn(`wendrel: autostart "${text}" is not 1, true, 0 or false; not starting`);
    return false;
  }

  // The smallest module with a SIMD instruction: validates where the
  // browser has WebAssembly SIMD.
  const SIMD_PROBE = new Uint8Array([
    0, 97, 115, 109, 1, 0, 0, 0, 1, 5, 1, 96, 0, 1, 123, 3, 2, 1, 0, 10, 10, 1, 8, 0, 65, 0, 253, 15, 253, 98, 11,
  ]);

  async function loadEngine() {
    const simd = WebAssembly.validate(SIMD_PROBE);
    const url = simd ? 'wendrel-simd.wasm' : 'wendrel.wasm';
    let memory = null;
    const decoder = new TextDecoder();
    const nosys = () => 52;
    const imports = {
      env: { emscripten_notify_memory_growth: () => {} },
      wasi_snapshot_preview1: {
        // The engine writes only a line on stderr when it gives up.
        fd_write: (fd, iovs, count, written) => {
          const view = new DataView(memory.buffer);
          let text = '';
          let total = 0;
          for (let i = 0; i < count; ++i) {
            const base = view.getUint32(iovs + 8 * i, true);
            const length = view.getUint32(iovs + 8 * i + 4, true);
            text += decoder.decode(new Uint8Array(memory.buffer, base, length));
            total += length;
          }
          console.error(text.trimEnd());
          view.setUint32(written, total, true);
          return 0;
        },
        fd_close: nosys,
        fd_seek: nosys,
        proc_exit: (code) => {
          throw new Error(`wendrel: the engine stopped (${code})`);
        },
      },
    };
    const response = await fetch(url);
    if (!response.ok) throw new Error(`${url}: ${response.status} ${response.statusText}`);
    const { instance } = (response.headers.get('Content-Type') || '').startsWith('application/wasm')
      ? await WebAssembly.instantiateStreaming(response, imports)
      : await WebAssembly.instantiate(await response.arrayBuffer(), imports);
    const engine = instance.exports;
    memory = engine.memory;
    engine._initialize();
    return { engine, memory, simd };
  }

  const stage = document.getElementById('stage');
  const canvas = document.getElementById('scene');
  const context = canvas.getContext('2d', { alpha: false });
  const controls = document.getElementById('controls');
  const startButton = document.getElementById('start');
  const seedLink = document.getElementById('seed');

  let engine = null;
  let memory = null;
  let image = null;
  let ticks = 0;
  let state = 'loading';  // still, ticking, saver or stopped
  let frameRequest = 0;
  let lastTime = null;
  let owedMs = 0;

  // The module's frame as an ImageData; made anew when its memory grows.
  function frameImage() {
    if (!image || image.data.buffer !== memory.buffer) {
      const pixels = new Uint8ClampedArray(memory.buffer, engine.wendrel_frame_rgba(), WIDTH * HEIGHT * 4);
      image = new ImageData(pixels, WIDTH, HEIGHT);
    }
    return image;
  }

  function draw() {
    const count = engine.wendrel_take_dirty();
    if (count === 0) return;
    const frame = frameImage();
    if (count < 0) {
      context.putImageData(frame, 0, 0);
      return;
    }
    const rects = new Int32Array(memory.buffer, engine.wendrel_dirty_rects(), 4 * count);
    for (let i = 0; i < rects.length; i += 4) {
      const [left, top, right, bottom] = rects.subarray(i, i + 4);
      context.putImageData(frame, 0, 0, left, top, right - left, bottom - top);
    }
  }

  function onFrame(now) {
    frameRequest = 0;
    if (state !== 'ticking' && state !== 'saver') return;
    if (lastTime !== null) owedMs += Math.min(now - lastTime, MOST_CATCH_UP_MS);
    lastTime = now;
    while (owedMs >= TICK_MS) {
      engine.wendrel_tick();
      ++ticks;
      owedMs -= TICK_MS;
    }
    draw();
    frameRequest = requestAnimationFrame(onFrame);
  }

  function startTicking() {
    if (frameRequest) return;
    lastTime = null;
    owedMs = 0;
    frameRequest = requestAnimationFrame(onFrame);
  }

  function stopTicking() {
    if (frameRequest) cancelAnimationFrame(frameRequest);
    frameRequest = 0;
  }

  // What ends the saver, while it runs.
  function onMouseMove(event) {
    if (engine.wendrel_mouse_moved(Math.round(event.screenX), Math.round(event.screenY))) endSaver();
  }
  function onFullscreenChange() {
    if (!document.fullscreenElement) endSaver();
  }
  function onVisibilityChange() {
    if (document.hidden) endSaver();
  }
  const endings = [
    [document, 'keydown', endSaver],
    [document, 'pointerdown', endSaver],
    [document, 'wheel', endSaver],
    [document, 'mousemove', onMouseMove],
    [document, 'fullscreenchange', onFullscreenChange],
    [document, 'visibilitychange', onVisibilityChange],
  ];

  function startSaver() {
    engine.wendrel_mouse_reset();
    state = 'saver';
    controls.classList.add('hidden');
    stage.classList.add('saver');
    for (const [target, type, handler] of endings) target.addEventListener(type, handler, { capture: true });
    startTicking();
    // Full screen may be refused (no gesture, a frame that forbids it):
    // the saver then runs in the window, ending as it would in full screen.
    if (stage.requestFullscreen) stage.requestFullscreen({ navigationUI: 'hide' }).catch(() => {});
  }

  function endSaver(event) {
    if (state !== 'saver') return;
    if (event && event.type !== 'mousemove') event.preventDefault();
    state = 'stopped';
    for (const [target, type, handler] of endings) target.removeEventListener(type, handler, { capture: true });
    stopTicking();
    stage.classList.remove('saver');
    controls.classList.remove('hidden');
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
  }

  async function main() {
    const seed = readSeed();
    const autostart = readAutostart();
    ({ engine, memory } = await loadEngine());
    if (!engine.wendrel_start(seed >>> 0, 0)) console.warn('wendrel: the background picture could not be loaded');
    draw();
    seedLink.textContent = `Seed ${seed}`;
    seedLink.href = `?seed=${seed}`;
    startButton.addEventListener('click', startSaver);
    controls.classList.remove('hidden');
    const still = window.matchMedia('(prefers-reduced-motion: reduce)').matches && !autostart;
    state = still ? 'still' : 'ticking';
    if (!still) startTicking();
  }

  // For tests and the curious: what the page is doing, read-only.
  window.wendrel = Object.freeze({
    get ticks() { return ticks; },
    get state() { return state; },
  });

  main().catch((error) => {
    state = 'failed';
    console.error(error);
    const problem = document.getElementById('problem');
    problem.textContent = `Wendrel could not start: ${error.message}`;
    problem.hidden = false;
  });
})();
