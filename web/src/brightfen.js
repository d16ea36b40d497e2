// Brightfen drawings in today's browsers. One script tag on an old page: every
// <embed> or <object> of a drawing becomes a live drawing of the same size, run by the
// plug-in compiled to WebAssembly, with the page playing the browser's part.
//   <script src="brightfen.js"></script>
//   options (before the tag): window.BrightfenOptions = {statusLine: false, background: '255,255,255'}
(function () {
  'use strict';
  const TYPES = ['image/x-cvl-vkf', 'image/x-cvl-vk4', 'image/x-cvl-vkw'];
  const EXTENSIONS = ['vkf', 'vk4', 'vkw'];
  // The plug-in's screen, where embeds are laid out side by side; grown as they need,
  // for a large screen costs memory and start-up time.
  let screenWidth = 2048, screenHeight = 512;
  const options = Object.assign({statusLine: true}, window.BrightfenOptions || {});
  const script = document.currentScript;
  const base = script ? script.src.replace(/[^/]*$/, '') : './';

  // Pages that look for the plug-in before writing their embed tag find it.
  function installPluginEntry() {
    try {
      const plugin = {name: 'Brightfen drawings', filename: 'npvknt.dll', description: 'Brightfen drawings', length: 3};
      const types = TYPES.map((type, i) => ({type, suffixes: EXTENSIONS[i], description: 'Brightfen drawing',
                                             enabledPlugin: plugin}));
      types.forEach((t, i) => { plugin[i] = t; plugin[t.type] = t; });
      plugin.item = (i) => plugin[i] || null;
      plugin.namedItem = (name) => plugin[name] || null;
      const extend = (original, extra, key) => {
        const list = Array.from(original || []).concat(extra);
        list.forEach((entry) => { list[entry[key]] = entry; });
        list.item = (i) => list[i] || null;
        list.namedItem = (name) => list[name] || null;
        list.refresh = () => {};
        return list;
      };
      const mimeTypes = extend(navigator.mimeTypes, types, 'type');
      const plugins = extend(navigator.plugins, [plugin], 'name');
      Object.defineProperty(navigator, 'mimeTypes', {value: mimeTypes, configurable: true});
      Object.defineProperty(navigator, 'plugins', {value: plugins, configurable: true});
    } catch (e) {
      console.warn('brightfen: cannot list the drawing types in navigator:', e);
    }
  }
  installPluginEntry();

  // Chromium answers every property read on an <embed> or <object> through the element's
  // plug-in, which first lays the page out: a millisecond or more each time on a page
  // being changed. Such elements are read and changed through the DOM's own prototypes
  // only, and what the script keeps of them is kept beside them.
  const getter = (prototype, name) => Object.getOwnPropertyDescriptor(prototype, name).get;
  const localNameOf = getter(Element.prototype, 'localName'), attributesOf = getter(Element.prototype, 'attributes');
  const parentOf = getter(Node.prototype, 'parentElement'), isConnected = getter(Node.prototype, 'isConnected');
  const nodeTypeOf = getter(Node.prototype, 'nodeType');
  const isElement = (node) => nodeTypeOf.call(node) === Node.ELEMENT_NODE;
  const {getAttribute, hasAttribute, matches, querySelectorAll, replaceWith} = Element.prototype;
  const taken = new WeakSet();  // elements already replaced

  function sourceOf(element) {
    return getAttribute.call(element, localNameOf.call(element) === 'object' ? 'data' : 'src') ||
           getAttribute.call(element, 'src') || '';
  }
  function isDrawing(element) {
    const type = (getAttribute.call(element, 'type') || '').toLowerCase();
    if (TYPES.includes(type)) return true;
    const path = sourceOf(element).split(/[?#]/)[0].toLowerCase();
    return EXTENSIONS.some((extension) => path.endsWith('.' + extension));
  }

  // The program is fetched, compiled and started from the moment this script runs,
  // while the page is still being read; the page is joined once a drawing is found.
  const program = fetch(base + 'brightfen.wasm').then((response) => {
    if (!response.ok) throw new Error(`${response.url}: ${response.status} ${response.statusText}`);
    // Browsers compile while the bytes arrive only when the server gives the wasm type.
    const type = response.headers.get('content-type') || '';
    if (WebAssembly.compileStreaming && type.split(';')[0].trim() === 'application/wasm')
      return WebAssembly.compileStreaming(response);
    return response.arrayBuffer().then((bytes) => WebAssembly.compile(bytes));
  });
  const instance = program.then((compiled) => new Promise((resolve, reject) => {
    createBrightfenModule({
      instantiateWasm: (imports, receive) => {
        WebAssembly.instantiate(compiled, imports).then((started) => receive(started, compiled), reject);
        return {};
      },
      print: (text) => console.log(text),
      printErr: (text) => console.error(text),
    }).then(resolve, reject);
  }));
  instance.catch(() => {});  // reported once a drawing needs it

  let modulePromise = null;
  function loadModule() {
    if (!modulePromise) {
      modulePromise = instance.then(start).catch((e) => {
        console.error('brightfen: the drawing engine did not start:', e);
        throw e;
      });
    }
    return modulePromise;
  }

  const drawings = new Map();  // embed number -> drawing
  let hovered = null;
  let statusBar = null;
  let audio = null, gestured = false;

  function start(Module) {
    Module.vkPage = {
      fetch: (url) => fetchInto(Module, url),
      open: (embed, url, target) => open(embed, url, target),
      status: (embed, text) => showStatus(drawings.get(embed), text),
      cursor: (name) => { if (hovered) hovered.canvas.style.cursor = name === 'hand' ? 'pointer' : 'default'; },
      beep: () => beep(),
    };
    const background = options.background || pageBackground();
    const pageUrl = allocate(Module, location.href);
    const colour = background ? allocate(Module, background) : 0;
    const ok = Module._vk_start(pageUrl, screenWidth, screenHeight, colour);
    Module._free(pageUrl);
    if (colour) Module._free(colour);
    if (!ok) throw new Error('the plug-in did not load');
    try { Module.FS.mkdir('/fetched'); } catch (e) { /* made already */ }
    tick(Module);
    return Module;
  }

  function allocate(Module, text) {
    const size = Module.lengthBytesUTF8(text) + 1;
    const pointer = Module._malloc(size);
    Module.stringToUTF8(text, pointer, size);
    return pointer;
  }

  // The page's own background, as "red,green,blue", when it sets one.
  function pageBackground() {
    for (let element = document.body; element; element = element.parentElement) {
      const match = getComputedStyle(element).backgroundColor.match(/^rgba?\((\d+), (\d+), (\d+)(, ([\d.]+))?\)$/);
      if (match && (match[5] === undefined || Number(match[5]) > 0)) return `${match[1]},${match[2]},${match[3]}`;
    }
    return null;
  }

  // What a transfer came to: the bytes, or why not. A server without the file gives
  // the plug-in no stream, as vkhost does for a missing one; a transfer that breaks off
  // gives it its stream with a network-error end.
  function transfer(url) {
    return fetch(url).then((response) => {
      if (!response.ok) return {failure: `${response.status} ${response.statusText}`, brokeOff: false};
      return response.arrayBuffer().then((bytes) => ({bytes: new Uint8Array(bytes)}));
    }).catch((e) => ({failure: e.message || String(e), brokeOff: true}));
  }

  // A drawing's file is asked for as soon as its element is seen, while the program
  // still starts; the plug-in's first request for that URL takes the transfer.
  const early = new Map();  // absolute URL -> {promise, outcome once it came}
  function absolute(url, base) {
    try { return new URL(url, base || location.href).href; } catch (e) { return url; }
  }
  function fetchEarly(src, base) {
    const url = absolute(src, base);
    if (!src || early.has(url)) return;
    const entry = {outcome: null};
    entry.promise = transfer(url).then((outcome) => (entry.outcome = outcome));
    early.set(url, entry);
  }

  let fetchSerial = 0;
  function fetchInto(Module, url) {
    const key = absolute(url), entry = early.get(key);
    early.delete(key);
    // `now`: answered within the plug-in's own request, which goes on to deliver the
    // stream; otherwise the answer comes later and delivers it itself.
    const deliver = (outcome, now) => {
      if (outcome.failure) console.error(`brightfen: cannot fetch ${url}: ${outcome.failure}`);
      let file = null;
      if (outcome.bytes) {
        file = `/fetched/${++fetchSerial}`;
        Module.FS.writeFile(file, outcome.bytes);
      }
      const u = allocate(Module, url);
      const f = file ? allocate(Module, file) : 0;
      (now ? Module._vk_record_arrival : Module._vk_arrived)(u, f, outcome.brokeOff ? 1 : 0);
      Module._free(u);
      if (f) Module._free(f);
      // The stream is delivered by the time the current call into the plug-in returns.
      if (file) {
        if (now) queueMicrotask(() => Module.FS.unlink(file));
        else Module.FS.unlink(file);
      }
      if (!now) repaint(Module);
    };
    if (entry && entry.outcome) deliver(entry.outcome, true);
    else (entry ? entry.promise : transfer(url)).then((outcome) => deliver(outcome, false));
  }

  // Targets as seen from the window (page or frame) that holds the drawing.
  function open(embed, url, target) {
    const drawing = drawings.get(embed);
    const view = (drawing && drawing.box.ownerDocument.defaultView) || window;
    const name = target.toLowerCase();
    if (name === '_self' || name === '_current') view.location.href = url;
    else if (name === '_top') view.top.location.href = url;
    else if (name === '_parent') view.parent.location.href = url;
    else view.open(url, name === '_blank' ? '_blank' : target);
  }

  function showStatus(drawing, text) {
    if (!drawing) return;
    drawing.box.dispatchEvent(new CustomEvent('brightfen-status', {detail: {text}, bubbles: true}));
    if (!options.statusLine) return;
    if (!statusBar) {
      statusBar = document.createElement('div');
      statusBar.className = 'brightfen-status';
      statusBar.style.cssText = 'position:fixed;left:0;bottom:0;padding:1px 6px;font:12px sans-serif;' +
        'background:#eee;border:1px solid #bbb;color:#000;z-index:2147483647;pointer-events:none';
      document.body.appendChild(statusBar);
    }
    statusBar.textContent = text;
    statusBar.style.display = text ? '' : 'none';
  }

  function beep() {
    if (!gestured) return;
    try {
      audio = audio || new AudioContext();
      const tone = audio.createOscillator(), gain = audio.createGain();
      tone.frequency.value = 880;
      gain.gain.value = 0.1;
      tone.connect(gain).connect(audio.destination);
      tone.start();
      tone.stop(audio.currentTime + 0.12);
    } catch (e) { /* no sound */ }
  }
  window.addEventListener('pointerdown', () => { gestured = true; }, {capture: true});

  // The page's clock drives the plug-in's timers.
  function tick(Module) {
    let last = performance.now();
    const step = () => {
      const now = performance.now();
      const elapsed = Math.floor(now - last);
      if (elapsed > 0 && drawings.size) {
        last += elapsed;
        Module._vk_wait(elapsed);
        repaint(Module);
      } else if (!drawings.size) {
        last = now;
      }
      setTimeout(step, 16);
    };
    setTimeout(step, 16);
  }

  // Copies to each canvas only what the plug-in's screen changed since the last time (a
  // drawing's first copy takes it whole).
  function repaint(Module) {
    Module._vk_take_changes();
    for (const [embed, drawing] of drawings) {
      const pointer = Module._vk_pixels(embed, drawing.copied ? 0 : 1);
      if (!pointer) continue;
      drawing.copied = true;
      const [x, y, width, height] = new Int32Array(Module.HEAPU8.buffer, Module._vk_area(), 4);
      const pixels = new Uint8ClampedArray(Module.HEAPU8.buffer, pointer, width * height * 4);
      drawing.context.putImageData(new ImageData(new Uint8ClampedArray(pixels), width, height), x, y);
    }
  }

  // Places on the plug-in's screen: rows of embeds side by side, the last column left
  // bare page (see vk_pointer_off). The screen doubles in height when a row needs more,
  // and widens for an embed wider than it; null when it cannot grow as far as needed.
  let shelfX = 0, shelfY = 0, shelfHeight = 0;
  function place(Module, width, height) {
    if (shelfX + width > screenWidth - 1) {
      shelfY += shelfHeight;
      shelfX = shelfHeight = 0;
    }
    const right = shelfX + width + 1, bottom = shelfY + height;
    if (right > screenWidth || bottom > screenHeight) {
      const wide = Math.max(right, screenWidth), tall = Math.max(bottom, screenHeight);
      const doubled = bottom > screenHeight ? Math.max(bottom, 2 * screenHeight) : screenHeight;
      if (Module._vk_grow(wide, doubled)) screenHeight = doubled;
      else if (Module._vk_grow(wide, tall)) screenHeight = tall;
      else return null;
      screenWidth = wide;
    }
    const at = {x: shelfX, y: shelfY};
    shelfX += width;
    shelfHeight = Math.max(shelfHeight, height);
    return at;
  }

  function size(element, name, fallback) {
    const value = parseInt(getAttribute.call(element, name), 10);
    return value > 0 ? value : fallback;
  }

  let embedsMade = Promise.resolve();

  function replace(element) {
    if (taken.has(element)) return;
    taken.add(element);
    const width = size(element, 'width', 300), height = size(element, 'height', 150);
    const box = document.createElement('span');
    box.className = 'brightfen';
    box.style.cssText = `display:inline-block;width:${width}px;height:${height}px;vertical-align:bottom`;
    const canvas = document.createElement('canvas');
    canvas.width = width;
    canvas.height = height;
    canvas.style.display = 'block';
    box.appendChild(canvas);
    const attributes = Array.from(attributesOf.call(element)).map((a) => [a.name, a.value]);
    if (localNameOf.call(element) === 'object' && !hasAttribute.call(element, 'src') && hasAttribute.call(element, 'data'))
      attributes.push(['src', getAttribute.call(element, 'data')]);
    replaceWith.call(element, box);
    const source = (attributes.find(([name]) => name.toLowerCase() === 'src') || [])[1];
    const base = box.baseURI;  // the page's or its frame's
    fetchEarly(source, base);
    // Made in page order, each once the program runs and its file has come, so that the
    // plug-in's first paint of it shows the drawing rather than an empty box.
    const fileCame = (early.get(absolute(source, base)) || {}).promise;
    const made = Promise.all([loadModule(), fileCame, embedsMade]).then(([Module]) => {
      // A drawing that never asks for its file leaves no early transfer behind.
      const dropEarly = () => early.delete(absolute(source, base));
      if (!box.isConnected) {
        dropEarly();
        return;
      }
      const at = place(Module, width, height);
      if (!at) {
        dropEarly();
        console.error(`brightfen: no room left on the plug-in's screen for the drawing ${sourceOf(element) || '(no source)'}`);
        return;
      }
      // Names and values, each ended by a NUL.
      const bytes = new TextEncoder().encode(attributes.map(([n, v]) => n + '\0' + v + '\0').join(''));
      const list = Module._malloc(bytes.length + 1);
      Module.HEAPU8.set(bytes, list);
      const baseUrl = allocate(Module, base);
      const embed = Module._vk_embed(at.x, at.y, width, height, list, attributes.length, baseUrl);
      Module._free(list);
      Module._free(baseUrl);
      if (!embed || !Module._vk_live(embed)) {
        dropEarly();
        console.error(`brightfen: the drawing ${sourceOf(element) || '(no source)'} cannot be shown`);
        return;
      }
      const drawing = {embed, box, canvas, context: canvas.getContext('2d')};
      drawings.set(embed, drawing);
      box.brightfenEmbed = embed;
      attachInput(Module, drawing);
      repaint(Module);
    });
    embedsMade = made.catch(() => {});
  }

  function attachInput(Module, drawing) {
    const {canvas, embed} = drawing;
    // The canvas's own pixels under the pointer, however the page zooms or CSS scales it.
    const at = (event) => {
      const rect = canvas.getBoundingClientRect();
      const x = rect.width > 0 ? (event.clientX - rect.left) * canvas.width / rect.width : 0;
      const y = rect.height > 0 ? (event.clientY - rect.top) * canvas.height / rect.height : 0;
      Module._vk_pointer(embed, Math.floor(x), Math.floor(y));
    };
    canvas.addEventListener('pointermove', (event) => { hovered = drawing; at(event); repaint(Module); });
    canvas.addEventListener('pointerenter', () => { hovered = drawing; });
    // Leaving the canvas takes the pointer to the bare page.
    canvas.addEventListener('pointerleave', (event) => {
      if (canvas.hasPointerCapture(event.pointerId)) return;
      Module._vk_pointer_off();
      repaint(Module);
    });
    canvas.addEventListener('pointerdown', (event) => {
      if (event.button !== 0 && event.button !== 2) return;
      canvas.setPointerCapture(event.pointerId);
      at(event);
      Module._vk_button(event.button === 2 ? 1 : 0, 1);
      repaint(Module);
    });
    canvas.addEventListener('pointerup', (event) => {
      if (event.button !== 0 && event.button !== 2) return;
      at(event);
      Module._vk_button(event.button === 2 ? 1 : 0, 0);
      repaint(Module);
    });
    canvas.addEventListener('contextmenu', (event) => event.preventDefault());
  }

  function destroyIn(node) {
    if (!modulePromise || !isElement(node)) return;
    const boxes = matches.call(node, '.brightfen') ? [node] : Array.from(querySelectorAll.call(node, '.brightfen'));
    for (const box of boxes) {
      if (box.isConnected || !box.brightfenEmbed) continue;
      const embed = box.brightfenEmbed;
      box.brightfenEmbed = 0;
      modulePromise.then((Module) => {
        drawings.delete(embed);
        Module._vk_destroy(embed);
      });
    }
  }

  // An <embed> inside an <object> of the same drawing is one drawing: the object's.
  function scan(root) {
    const rootIsElement = isElement(root);
    const elements = rootIsElement ? querySelectorAll.call(root, 'embed, object') : root.querySelectorAll('embed, object');
    const list = rootIsElement && matches.call(root, 'embed, object') ? [root, ...elements] : Array.from(elements);
    for (const element of list) {
      if (taken.has(element) || !isConnected.call(element) || !isDrawing(element)) continue;
      let outer = parentOf.call(element);
      while (outer && !(localNameOf.call(outer) === 'object' && isDrawing(outer))) outer = parentOf.call(outer);
      if (!outer) replace(element);
    }
  }

  function watch(doc) {
    scan(doc);
    new MutationObserver((changes) => {
      for (const change of changes) {
        change.addedNodes.forEach((node) => { if (isElement(node)) scan(node); });
        change.removedNodes.forEach((node) => destroyIn(node));
      }
    }).observe(doc.documentElement, {childList: true, subtree: true});
  }

  function whenReady() {
    watch(document);
    // Frames of the same site show their drawings too.
    const frames = () => document.querySelectorAll('iframe, frame').forEach((frame) => {
      try {
        const doc = frame.contentDocument;
        if (doc && !doc.brightfenWatched && doc.documentElement) {
          doc.brightfenWatched = true;
          watch(doc);
        }
      } catch (e) { /* another site's frame */ }
    });
    frames();
    window.addEventListener('load', frames);
  }
  if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', whenReady);
  else whenReady();
})();
