#!/usr/bin/env node
// Serves a built web page folder on 127.0.0.1, on a free port unless one is
// given, as any static server would: its files only, .wasm as
// application/wasm. Run: serve-page.js DIR [PORT]; it prints the address.
// The browser test uses servePage() the same way.
'use strict';

const fs = require('fs');
const http = require('http');
const path = require('path');

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
};

function servePage(dir, port = 0) {
  const root = fs.realpathSync(dir);
  const server = http.createServer((request, response) => {
    let name = null;
    try {
      name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    } catch {
      // A malformed address names no file.
    }
    const file = name === null ? '' : path.join(root, name === '/' ? 'index.html' : name);
    const type = TYPES[path.extname(file)];
    if (request.method !== 'GET' || !type || path.dirname(file) !== root || !fs.existsSync(file)) {
      response.writeHead(404, { 'Content-Type': 'text/plain' });
      response.end('not found\n');
      return;
    }
    response.writeHead(200, { 'Content-Type': type, 'Cache-Control': 'no-cache' });
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', () => resolve({ server, url: `http://127.0.0.1:${server.address().port}/` }));
  });
}

module.exports = { servePage };

if (require.main === module) {
  const [dir, port] = process.argv.slice(2);
  if (!dir || !fs.existsSync(path.join(dir, 'index.html')) || (port && !/^[0-9]{1,5}$/.test(port))) {
    console.error('usage: serve-page.js DIR [PORT] (DIR holding index.html)');
    process.exit(2);
  }
  servePage(dir, Number(port || 0)).then(
    ({ url }) => console.log(`Wendrel is at ${url} (Ctrl+C stops the server)`),
    (error) => {
      console.error(`serve-page.js: ${error.message}`);
      process.exit(1);
    });
}
