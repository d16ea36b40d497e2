// Programs run under node: they see the process's environment through getenv, and
// read their WebAssembly from the file beside them (node's fetch cannot load it).
if (typeof process === 'object' && typeof require === 'function') {
  Module['wasmBinary'] = Module['wasmBinary'] || require('fs').readFileSync(__filename.replace(/\.js$/, '.wasm'));
  Module['preRun'] = Module['preRun'] || [];
  Module['preRun'].push(function () {
    if (typeof ENV !== "undefined") Object.assign(ENV, process.env);
  });
}
