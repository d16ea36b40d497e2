// The page script in headless Chromium: pages served from 127.0.0.1, the drawings'
// pixels held up against vkhost's screenshot, and a person's hand on the drawings.
//   VK_DIST=folder of brightfen.js  VK_REFERENCE_SHOT=vkhost's 32-bit screenshot of
//   examples/index.html  [VK_CHROMIUM_SHOT=where to save Chromium's]  node --test test/
'use strict';
const {test, before, after} = require('node:test');
const assert = require('node:assert');
const fs = require('fs');
const http = require('http');
const path = require('path');
const {chromium} = require('playwright-core');
const {decode} = require('../../tests/e2e/same_pixels.js');

const root = path.resolve(__dirname, '../..');
const dist = path.resolve(process.env.VK_DIST || path.join(root, 'build-web/dist'));
// /dist-untyped/ serves the program without the wasm type, /dist-without-program/ not
// at all, as some sites' servers do.
const folders = {'/dist/': dist, '/dist-untyped/': dist, '/dist-without-program/': dist,
                 '/examples/': path.join(root, 'examples'), '/pages/': path.join(__dirname, 'pages'),
                 '/': path.join(root, 'tests/e2e')};
const types = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.txt': 'text/plain'};
let server, browser, origin;
const dropped = new Set();  // paths whose transfer the server cuts off after a few bytes
const requested = [];  // every path asked for, in order

before(async () => {
  server = http.createServer((request, response) => {
    const url = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const prefix = Object.keys(folders).find((p) => url.startsWith(p));
    const file = path.join(folders[prefix], url.slice(prefix.length));
    requested.push(url);
    if (dropped.has(url)) {
      response.writeHead(200, {'content-type': 'text/plain', 'content-length': '1000'});
      response.write('12', () => request.socket.destroy());
      return;
    }
    if (url === '/favicon.ico') {
      response.writeHead(204);
      response.end();
      return;
    }
    const withoutProgram = prefix === '/dist-without-program/' && url.endsWith('.wasm');
    if (withoutProgram || !file.startsWith(folders[prefix]) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404);
      response.end();
      return;
    }
    let body = fs.readFileSync(file);
    if (url === '/examples/index.html') {  // the old page, with the one tag a site adds
      const script = new URL(request.url, 'http://x').searchParams.get('dist') || '/dist/';
      body = body.toString().replace('<head>', `<head><script src="${script}brightfen.js"></script>`);
    }
    const untyped = prefix === '/dist-untyped/';
    response.writeHead(200, {'content-type': (!untyped && types[path.extname(file)]) || 'application/octet-stream'});
    response.end(body);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  origin = `http://127.0.0.1:${server.address().port}`;
  browser = await chromium.launch({
    executablePath: process.env.VK_CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync'],  // launch gives it a fresh profile of its own
  });
});

after(async () => {
  if (browser) await browser.close();
  if (server) server.close();
});

async function open(page, url, drawings) {
  const errors = [];
  page.on('console', (message) => { if (message.type() === 'error') errors.push(message.text()); });
  page.on('pageerror', (error) => errors.push(String(error)));
  await page.goto(origin + url);
  // Until the given number of drawings show something.
  await page.waitForFunction((n) => Array.from(document.querySelectorAll('span.brightfen canvas'))
    .filter((c) => !isBlank(c)).length >= n, drawings, {timeout: 15000});
  return errors;
}

// Installed in every page and frame: whether a canvas is still all white (or empty,
// never painted), and whether image data holds a single colour.
const helpers = `
  window.isBlank = (canvas) => {
    const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    for (let i = 0; i < data.length; i += 4)
      if (data[i + 3] !== 0 && (data[i] !== 255 || data[i + 1] !== 255 || data[i + 2] !== 255)) return false;
    return true;
  };
  window.oneColour = (data) => {
    for (let i = 4; i < data.length; i += 4)
      if (data[i] !== data[0] || data[i + 1] !== data[1] || data[i + 2] !== data[2]) return false;
    return true;
  };
  window.statusTexts = [];
  window.statusFrom = [];  // which drawing each status event came from
  document.addEventListener('brightfen-status', (e) => {
    statusTexts.push(e.detail.text);
    statusFrom.push(Array.from(document.querySelectorAll('span.brightfen')).indexOf(e.target));
  });`;

async function newPage() {
  const page = await browser.newPage();
  await page.addInitScript(helpers);
  return page;
}

async function canvases(page) {
  return page.evaluate(() => Array.from(document.querySelectorAll('span.brightfen canvas')).map((c) => ({
    width: c.width, height: c.height, cursor: c.style.cursor,
    rgba: Array.from(c.getContext('2d').getImageData(0, 0, c.width, c.height).data),
  })));
}

// Where a canvas lies, pixel for pixel, inside the screenshot; null if nowhere.
function findIn(shot, canvas) {
  const rgbAt = (x, y) => (y * shot.width + x) * 3;
  // Only places where the canvas's first pixel that is not white matches are tried.
  let key = canvas.rgba.findIndex((v, i) => i % 4 !== 3 && v !== 255);
  key = key < 0 ? 0 : key - (key % 4);
  const kx = (key / 4) % canvas.width, ky = Math.floor(key / 4 / canvas.width);
  for (let top = 0; top + canvas.height <= shot.height; ++top) {
    for (let left = 0; left + canvas.width <= shot.width; ++left) {
      const k = rgbAt(left + kx, top + ky);
      if (shot.rgb[k] !== canvas.rgba[key] || shot.rgb[k + 1] !== canvas.rgba[key + 1] ||
          shot.rgb[k + 2] !== canvas.rgba[key + 2]) continue;
      let same = true;
      for (let y = 0; y < canvas.height && same; ++y) {
        for (let x = 0; x < canvas.width; ++x) {
          const s = rgbAt(left + x, top + y), c = (y * canvas.width + x) * 4;
          if (shot.rgb[s] !== canvas.rgba[c] || shot.rgb[s + 1] !== canvas.rgba[c + 1] ||
              shot.rgb[s + 2] !== canvas.rgba[c + 2]) {
            same = false;
            break;
          }
        }
      }
      if (same) return {left, top};
    }
  }
  return null;
}

test('the example page shows the same pixels as vkhost at 32 bits', async (t) => {
  const reference = process.env.VK_REFERENCE_SHOT;
  if (!reference) return t.skip('no vkhost screenshot given (VK_REFERENCE_SHOT)');
  const page = await newPage();
  await page.setViewportSize({width: 800, height: 600});
  const started = Date.now();
  const errors = await open(page, '/examples/index.html', 3);
  console.log(`benchmark: examples/index.html loaded to all drawings shown in ${Date.now() - started} ms`);
  if (process.env.VK_CHROMIUM_SHOT) await page.screenshot({path: process.env.VK_CHROMIUM_SHOT});
  const shot = decode(reference);
  const shown = await canvases(page);
  assert.deepStrictEqual(shown.map((c) => [c.width, c.height]), [[480, 300], [280, 300], [760, 270]]);
  for (const [i, canvas] of shown.entries())
    assert.ok(findIn(shot, canvas), `drawing ${i + 1} differs from vkhost's picture`);
  assert.deepStrictEqual(errors, []);
  await page.close();
});

test('each drawing file of the page is fetched once', async () => {
  const page = await newPage();
  requested.length = 0;
  await open(page, '/examples/index.html', 3);
  const drawingFiles = requested.filter((url) => /\.vk[f4w]$/i.test(url)).sort();
  assert.deepStrictEqual(drawingFiles, ['/examples/floorplan.vkw', '/examples/lamp-panel.vk4', '/examples/showcase.vkf']);
  await page.close();
});

test('each drawing\'s first paint shows the drawing, not an empty box', async () => {
  const page = await newPage();
  await page.addInitScript(() => {
    window.firstPaints = new Map();  // canvas -> whether its first pixels were all one colour
    const put = CanvasRenderingContext2D.prototype.putImageData;
    CanvasRenderingContext2D.prototype.putImageData = function (image, ...rest) {
      if (!firstPaints.has(this.canvas)) firstPaints.set(this.canvas, oneColour(image.data));
      return put.call(this, image, ...rest);
    };
  });
  await open(page, '/examples/index.html', 3);
  assert.deepStrictEqual(await page.evaluate(() => Array.from(firstPaints.values())), [false, false, false]);
  await page.close();
});

test('a server that sends the program without its wasm type still gets the drawings shown', async () => {
  const page = await newPage();
  const errors = await open(page, '/examples/index.html?dist=/dist-untyped/', 3);
  assert.deepStrictEqual(errors, []);
  await page.close();
});

test('without its program the page keeps empty boxes of the drawings\' sizes and says why once', async () => {
  const page = await newPage();
  const errors = [];
  page.on('console', (message) => { if (message.type() === 'error') errors.push(message.text()); });
  page.on('pageerror', (error) => errors.push(String(error)));
  await page.goto(origin + '/examples/index.html?dist=/dist-without-program/');
  await page.waitForFunction(() => document.querySelectorAll('span.brightfen').length === 3);
  await page.waitForTimeout(500);
  const boxes = await page.evaluate(() => Array.from(document.querySelectorAll('span.brightfen'))
    .map((b) => [b.offsetWidth, b.offsetHeight]));
  assert.deepStrictEqual(boxes, [[480, 300], [280, 300], [760, 270]]);
  const reports = errors.filter((e) => !e.startsWith('Failed to load resource'));  // Chromium's own line
  assert.strictEqual(reports.length, 1, errors.join('\n'));
  assert.match(reports[0], /brightfen: the drawing engine did not start/);
  await page.close();
});

async function hover(page, index, x, y) {
  const box = await page.locator('span.brightfen canvas').nth(index).boundingBox();
  await page.mouse.move(box.x + x, box.y + y);
  await page.waitForTimeout(50);
}

async function click(page, index, x, y) {
  await hover(page, index, x, y);
  await page.mouse.down();
  await page.mouse.up();
  await page.waitForTimeout(100);
}

const statusLine = (page) => page.evaluate(() => {
  const line = document.querySelector('.brightfen-status');
  return line && line.style.display !== 'none' ? line.textContent : '';
});

test('pointing at a link shows the hand and its status text; leaving puts both back', async () => {
  const page = await newPage();
  await open(page, '/pages/inplace.html', 2);
  const cases = [
    {x: 50, y: 50, cursor: 'pointer', status: 'Go to page two'},
    {x: 150, y: 50, cursor: 'pointer', status: 'An old link\tto a drawing'},
    {x: 250, y: 50, cursor: null, status: ''},  // off the drawing: the page's own cursor shows there
  ];
  for (const c of cases.concat(cases[0])) {
    await hover(page, 1, c.x, c.y);
    if (c.cursor) assert.strictEqual((await canvases(page))[1].cursor, c.cursor, `cursor at ${c.x}, ${c.y}`);
    assert.strictEqual(await statusLine(page), c.status, `status line at ${c.x}, ${c.y}`);
  }
  assert.strictEqual(await page.evaluate(() => statusTexts[0]), 'Go to page two', 'the status event');
  await page.close();
});

test('a missing drawing leaves an empty box of its size and a console message; the others work', async () => {
  const page = await newPage();
  const errors = await open(page, '/pages/broken.html', 1);
  const boxes = await page.evaluate(() => Array.from(document.querySelectorAll('span.brightfen'))
    .map((b) => [b.offsetWidth, b.offsetHeight, b.querySelector('canvas') ? 1 : 0]));
  assert.deepStrictEqual(boxes, [[120, 80, 1], [200, 100, 1]]);
  assert.ok(errors.some((e) => e.includes('missing-drawing.vkf')), errors.join('\n'));
  assert.ok(!errors.some((e) => e.includes('Uncaught')), errors.join('\n'));
  await page.close();
});

test('an object with its embed is one drawing; a label shows its value; an in-place link loads into the box',
     async () => {
  const page = await newPage();
  await open(page, '/pages/inplace.html', 2);
  assert.strictEqual((await canvases(page)).length, 2, 'the object and the separate embed');
  const before = (await canvases(page))[0].rgba;
  await click(page, 0, 100, 100);
  await page.waitForFunction(() => statusTexts.includes('12 dollars'), null, {timeout: 5000});
  await hover(page, 0, 20, 50);  // its symbol loads a drawing in place on entering
  await page.waitForFunction((b) => {
    const c = document.querySelector('span.brightfen canvas');
    const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    return d.some((v, i) => v !== b[i]);
  }, before, {timeout: 5000});
  await hover(page, 0, 150, 50);
  assert.strictEqual(await statusLine(page), 'An old link\tto a drawing', 'the drawing loaded in place answers');
  await page.close();
});

test('drawings below and beyond the first screen all show; one taller than any screen stays empty',
  async () => {
    const page = await newPage();
    const errors = await open(page, '/pages/rows.html', 8);
    await page.waitForTimeout(300);
    // Compared inside the page: the tall canvas alone holds millions of values.
    const [sameAsFirst, wideEdgeBlack, tallIsEmpty] = await page.evaluate(() => {
      const canvases = Array.from(document.querySelectorAll('span.brightfen canvas'));
      const data = canvases.map((c) => c.getContext('2d').getImageData(0, 0, c.width, c.height).data);
      const same = (a, b) => a.length === b.length && a.every((v, i) => v === b[i]);
      // Off the screen, a window reads black: the wide drawing's last column would.
      const wide = canvases[7], edge = wide.getContext('2d').getImageData(wide.width - 1, 0, 1, wide.height).data;
      let black = false;
      for (let i = 0; i < edge.length; i += 4) black = black || (edge[i] + edge[i + 1] + edge[i + 2] === 0);
      return [data.slice(0, 7).map((d) => same(d, data[0])), black, data.length === 9 && data[8].every((v) => v === 0)];
    });
    assert.deepStrictEqual(sameAsFirst, [true, true, true, true, true, true, true]);
    assert.ok(!wideEdgeBlack, 'the drawing wider than the first screen shows to its right edge');
    assert.ok(tallIsEmpty, 'the drawing too tall for any screen stays empty');
    assert.deepStrictEqual(errors, [`brightfen: no room left on the plug-in's screen for the drawing ../links.vkf`]);
    await page.close();
  });

// The page with a frame from another folder (pages/frames/) holding two drawings, once
// both show.
async function openFramed(page, errors) {
  page.on('console', (message) => { if (message.type() === 'error') errors.push(message.text()); });
  await page.goto(origin + '/pages/framed.html');
  const frame = page.frames().find((f) => f.url().endsWith('/frames/frame.html'));
  await frame.waitForFunction(() => Array.from(document.querySelectorAll('span.brightfen canvas'))
    .filter((c) => !isBlank(c)).length === 2, null, {timeout: 15000});
  return frame;
}

test('drawings in a frame from another folder find their files next to the frame', async () => {
  const page = await newPage();
  const errors = [];
  await openFramed(page, errors);
  assert.deepStrictEqual(errors, []);
  await page.close();
});

test('a link in a framed drawing opens in the frame, not in the page around it', async () => {
  const page = await newPage();
  const frame = await openFramed(page, []);
  const box = await frame.locator('span.brightfen canvas').nth(1).boundingBox();
  await page.mouse.move(box.x + 50, box.y + 50);
  await page.waitForTimeout(50);
  await page.mouse.down();
  await page.mouse.up();
  // "Jump two.html", which the plug-in resolves against its drawing's URL (/links.vkf).
  await page.waitForFunction(() => document.querySelector('iframe').contentWindow.location.pathname === '/two.html');
  assert.strictEqual(new URL(page.url()).pathname, '/pages/framed.html');
  await page.close();
});

test('removing one drawing from the page ends it; the other goes on', async () => {
  const page = await newPage();
  const errors = await open(page, '/pages/inplace.html', 2);
  await page.evaluate(() => document.querySelectorAll('span.brightfen')[0].remove());
  await page.waitForTimeout(100);
  await hover(page, 0, 50, 50);
  assert.strictEqual(await statusLine(page), 'Go to page two');
  assert.deepStrictEqual(errors, []);
  await page.close();
});

test('a label fetch that breaks off ends its stream with a network error, so the next visit asks again',
     async () => {
  dropped.add('/prices.txt');
  const page = await newPage();
  try {
    await open(page, '/pages/inplace.html', 2);
    const asked = () => requested.filter((url) => url === '/prices.txt').length;
    const before = asked();
    await hover(page, 0, 100, 100);
    await waitFor(() => asked() === before + 1, 'the first fetch');
    await page.waitForTimeout(100);
    await hover(page, 0, 0, 0);
    await hover(page, 0, 100, 100);
    await waitFor(() => asked() === before + 2, 'a second fetch once the first ended');
  } finally {
    dropped.delete('/prices.txt');
    await page.close();
  }
});

async function waitFor(condition, what) {
  for (let waited = 0; !condition(); waited += 20) {
    if (waited > 5000) assert.fail(`never: ${what}`);
    await new Promise((resolve) => setTimeout(resolve, 20));
  }
}

test('pointer events land on the canvas pixels they point at when CSS scales or zooms the drawing', async () => {
  const page = await newPage();
  await open(page, '/pages/scaled.html', 2);
  for (const [index, how] of [[0, 'a CSS transform'], [1, 'CSS zoom']]) {
    const box = await page.locator('span.brightfen canvas').nth(index).boundingBox();
    assert.strictEqual(Math.round(box.width), 400, `shown at twice its size by ${how}`);
    for (const c of [{x: 50, y: 50, status: 'Go to page two'}, {x: 150, y: 50, status: 'An old link\tto a drawing'}]) {
      await page.mouse.move(box.x + 2 * c.x, box.y + 2 * c.y);
      await page.waitForTimeout(50);
      assert.strictEqual(await statusLine(page), c.status, `status at ${c.x}, ${c.y} of the drawing under ${how}`);
      assert.strictEqual((await canvases(page))[index].cursor, 'pointer', `cursor under ${how}`);
    }
  }
  await page.close();
});

// Samples one pixel of the given canvases on every animation frame, from now until
// taken, so that a slow step between cannot miss a blink.
const startSampling = (page, points) => page.evaluate((points) => {
  const list = Array.from(document.querySelectorAll('span.brightfen canvas'));
  const canvases = points.map(([i]) => list[i]);
  window.samples = [];
  window.sampling = true;
  const frame = () => {
    samples.push(points.map(([, x, y], k) => Array.from(canvases[k].getContext('2d').getImageData(x, y, 1, 1).data).join()));
    if (sampling) requestAnimationFrame(frame);
  };
  frame();
}, points);
const takeSamples = async (page, milliseconds) => {
  await page.waitForTimeout(milliseconds);
  return page.evaluate(() => { sampling = false; return samples; });
};

const putsInstaller = `
  window.puts = [];
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function (data, x, y) {
    puts.push({canvas: Array.from(document.querySelectorAll('span.brightfen canvas')).indexOf(this.canvas),
               width: data.width, height: data.height});
    return put.apply(this, arguments);
  };`;

const RED = '224,32,32,255', WHITE = '255,255,255,255';

async function press(page, index, x, y) {
  const box = await page.locator('span.brightfen canvas').nth(index).boundingBox();
  await page.mouse.move(box.x + x, box.y + y);
  await page.mouse.down();
  await page.mouse.up();
}

test('a flash blinks with the page clock and ends as it began; the drawings beside it are left alone',
     async () => {
  const page = await newPage();
  await page.addInitScript(putsInstaller);
  const errors = await open(page, '/pages/flash.html', 3);
  const links = (await canvases(page))[2].rgba;
  await page.evaluate(() => { puts.length = 0; statusFrom.length = 0; });
  await startSampling(page, [[0, 50, 25], [1, 50, 25]]);
  await press(page, 0, 50, 25);
  const lamps = await takeSamples(page, 2000);
  const first = lamps.map((sample) => sample[0]);
  assert.ok(first.includes(WHITE), 'the pressed lamp blinks off');
  assert.ok(first.filter((v, i) => i > 0 && v !== first[i - 1]).length >= 4, 'and blinks more than once');
  assert.strictEqual(first[first.length - 1], RED, 'it ends shown, as it began');
  assert.ok(first.every((v) => v === RED || v === WHITE), 'it shows only its colour or the paper');
  assert.ok(lamps.every((sample) => sample[1] === RED), 'the other lamp stays as it was');
  const puts = await page.evaluate(() => puts);
  assert.ok(puts.length > 0 && puts.every((p) => p.canvas === 0), `copies only to the pressed lamp: ${JSON.stringify(puts.slice(0, 6))}`);
  // The lamp is 60 x 30; its edges blend into the pixel around it.
  assert.ok(puts.every((p) => p.width <= 62 && p.height <= 32), `only the lamp's area copied: ${JSON.stringify(puts.slice(0, 6))}`);
  assert.deepStrictEqual((await canvases(page))[2].rgba, links, 'the links drawing kept its pixels');
  await hover(page, 2, 50, 50);
  assert.strictEqual(await statusLine(page), 'Go to page two');
  assert.deepStrictEqual(await page.evaluate(() => [...new Set(statusFrom)]), [2], 'status from the links drawing only');
  assert.deepStrictEqual(errors, []);
  await page.close();
});

test('removing a blinking drawing stops its effects only: the other lamp blinks on and ends shown', async () => {
  const page = await newPage();
  const errors = await open(page, '/pages/flash.html', 3);
  await startSampling(page, [[1, 50, 25]]);
  await press(page, 1, 50, 25);
  await press(page, 0, 50, 25);
  const removedAt = await page.evaluate(() => {
    document.querySelectorAll('span.brightfen')[0].remove();
    return samples.length;
  });
  const lamp = (await takeSamples(page, 2000)).map((sample) => sample[0]);
  const after = lamp.slice(removedAt);
  assert.ok(after.includes(WHITE) && after[after.length - 1] === RED, 'the second lamp blinks on to its end');
  assert.deepStrictEqual(errors, []);
  await page.close();
});
