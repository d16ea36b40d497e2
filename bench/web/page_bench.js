// Figures for the browser build, measured in headless Chromium over N runs (medians):
//   the page script and its .wasm together, raw and gzipped;
//   the time from the page's load (navigation start) to the first pixels reaching a
//   canvas on examples/index.html (the plug-in's empty box, before its file arrives),
//   and to the first drawing shown (a canvas receiving pixels of more than one colour);
//   the time from a pointer move onto a link symbol to its status text (and cursor).
// Not a test: it asserts nothing and is not in ctest.
//   VK_DIST=folder of brightfen.js [VK_RUNS=15] [VK_CHROMIUM=/usr/bin/chromium] node bench/web/page_bench.js
'use strict';
const fs = require('fs');
const http = require('http');
const path = require('path');
const zlib = require('zlib');
const {chromium} = require(path.resolve(__dirname, '../../web/node_modules/playwright-core'));

const root = path.resolve(__dirname, '../..');
const dist = path.resolve(process.env.VK_DIST || path.join(root, 'build-web/dist'));
const runs = Number(process.env.VK_RUNS || 15);
const folders = {'/dist/': dist, '/examples/': path.join(root, 'examples'),
                 '/pages/': path.join(root, 'web/test/pages'), '/': path.join(root, 'tests/e2e')};
const types = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.txt': 'text/plain'};

const median = (values) => {
  const sorted = values.slice().sort((a, b) => a - b);
  const middle = sorted.length >> 1;
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};

function serve() {
  const server = http.createServer((request, response) => {
    const url = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const prefix = Object.keys(folders).find((p) => url.startsWith(p));
    const file = prefix && path.join(folders[prefix], url.slice(prefix.length));
    if (!file || !file.startsWith(folders[prefix]) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404);
      response.end();
      return;
    }
    let body = fs.readFileSync(file);
    if (url === '/examples/index.html')  // the old page, with the one tag a site adds
      body = body.toString().replace('<head>', '<head><script src="/dist/brightfen.js"></script>');
    response.writeHead(200, {'content-type': types[path.extname(file)] || 'application/octet-stream',
                             'cache-control': 'no-store'});
    response.end(body);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// Installed before the page's own scripts: when pixels first reach a drawing's canvas,
// and when each status text arrives.
const probes = `
  window.firstPixels = null;
  window.firstDrawing = null;
  const put = CanvasRenderingContext2D.prototype.putImageData;
  const oneColour = (data) => {
    for (let i = 4; i < data.length; i += 4)
      if (data[i] !== data[0] || data[i + 1] !== data[1] || data[i + 2] !== data[2]) return false;
    return true;
  };
  CanvasRenderingContext2D.prototype.putImageData = function (...args) {
    put.apply(this, args);
    const now = performance.now();
    if (window.firstPixels === null) window.firstPixels = now;
    if (window.firstDrawing === null && !oneColour(args[0].data)) window.firstDrawing = now;
  };
  window.statusTimes = [];
  document.addEventListener('brightfen-status', (e) => statusTimes.push({text: e.detail.text, at: performance.now()}));
  window.moveTimes = [];
  document.addEventListener('pointermove', (e) => moveTimes.push(e.timeStamp), true);`;

async function firstPaint(browser, origin) {
  const page = await browser.newPage();
  await page.addInitScript(probes);
  await page.goto(origin + '/examples/index.html');
  await page.waitForFunction(() => window.firstDrawing !== null, null, {timeout: 30000});
  const at = await page.evaluate(() => [window.firstPixels, window.firstDrawing]);
  await page.close();
  return at;
}

// Off the drawing's links, then onto one: from the move's event to its status text.
async function hoverLatencies(browser, origin) {
  const page = await browser.newPage();
  await page.addInitScript(probes);
  await page.goto(origin + '/pages/inplace.html');
  await page.waitForFunction(() => document.querySelectorAll('span.brightfen canvas').length >= 2 &&
                                   window.firstPixels !== null, null, {timeout: 30000});
  await page.waitForTimeout(300);
  const box = await page.locator('span.brightfen canvas').nth(1).boundingBox();
  const latencies = [];
  for (let i = 0; i < runs; ++i) {
    await page.mouse.move(box.x + 250, box.y + 50);
    await page.waitForTimeout(50);
    await page.evaluate(() => { statusTimes.length = 0; moveTimes.length = 0; });
    await page.mouse.move(box.x + 50, box.y + 50);
    await page.waitForFunction(() => statusTimes.some((s) => s.text === 'Go to page two'), null, {timeout: 5000});
    const cursor = await page.evaluate(() => document.querySelectorAll('span.brightfen canvas')[1].style.cursor);
    if (cursor !== 'pointer') throw new Error(`the cursor over the link is "${cursor}"`);
    latencies.push(await page.evaluate(() =>
      statusTimes.find((s) => s.text === 'Go to page two').at - moveTimes[moveTimes.length - 1]));
  }
  await page.close();
  return latencies;
}

async function main() {
  const script = fs.readFileSync(path.join(dist, 'brightfen.js'));
  const wasm = fs.readFileSync(path.join(dist, 'brightfen.wasm'));
  const raw = script.length + wasm.length;
  const gzipped = zlib.gzipSync(script, {level: 9}).length + zlib.gzipSync(wasm, {level: 9}).length;

  const server = await serve();
  const origin = `http://127.0.0.1:${server.address().port}`;
  const browser = await chromium.launch({
    executablePath: process.env.VK_CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync'],
  });
  try {
    const paints = [];
    for (let i = 0; i < runs; ++i) paints.push(await firstPaint(browser, origin));
    const hovers = await hoverLatencies(browser, origin);
    const load = fs.readFileSync('/proc/loadavg', 'utf8').split(' ').slice(0, 3).join(' ');
    console.log(`runs: ${runs}, load average: ${load}`);
    console.log(`brightfen.js + brightfen.wasm: ${(raw / 1024).toFixed(1)} KiB, gzipped ${(gzipped / 1024).toFixed(1)} KiB`);
    const spread = (values) => `median ${median(values).toFixed(1)} ms` +
                               ` (min ${Math.min(...values).toFixed(1)}, max ${Math.max(...values).toFixed(1)})`;
    console.log(`load to first pixels on a canvas (examples/index.html): ${spread(paints.map((p) => p[0]))}`);
    console.log(`load to first drawing shown (examples/index.html): ${spread(paints.map((p) => p[1]))}`);
    console.log(`pointer move onto a link to its status and cursor: median ${median(hovers).toFixed(2)} ms` +
                ` (${(median(hovers) / (1000 / 60)).toFixed(2)} animation frames of 16.7 ms)`);
  } finally {
    await browser.close();
    server.close();
  }
}

main().catch((error) => { console.error(error); process.exit(1); });
