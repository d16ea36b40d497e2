// Compares the pixels of two PNG files (8-bit RGB or RGBA, not interlaced), whatever
// their compression: exit 0 when equal, 1 with the first difference otherwise.
//   node same_pixels.js A.png B.png
'use strict';
const fs = require('fs');
const zlib = require('zlib');

function decode(path) {
  const file = fs.readFileSync(path);
  let at = 8, width = 0, height = 0, channels = 0;
  const data = [];
  while (at < file.length) {
    const length = file.readUInt32BE(at);
    const type = file.toString('latin1', at + 4, at + 8);
    const body = file.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      if (body[8] !== 8 || (body[9] !== 2 && body[9] !== 6) || body[12] !== 0)
        throw new Error(`${path}: only 8-bit RGB or RGBA without interlacing`);
      channels = body[9] === 2 ? 3 : 4;
    } else if (type === 'IDAT') {
      data.push(body);
    }
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const rgb = Buffer.alloc(width * height * 3);
  let previous = Buffer.alloc(stride);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const row = Buffer.from(raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1)));
    for (let i = 0; i < stride; ++i) {
      const a = i >= channels ? row[i - channels] : 0, b = previous[i], c = i >= channels ? previous[i - channels] : 0;
      let predicted = 0;
      if (filter === 1) predicted = a;
      else if (filter === 2) predicted = b;
      else if (filter === 3) predicted = (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      row[i] = (row[i] + predicted) & 0xff;
    }
    for (let x = 0; x < width; ++x) row.copy(rgb, (y * width + x) * 3, x * channels, x * channels + 3);
    previous = row;
  }
  return { width, height, rgb };
}

module.exports = {decode};
if (require.main === module) main();

function main() {
  const [a, b] = process.argv.slice(2).map(decode);
  if (a.width !== b.width || a.height !== b.height) {
    console.error(`sizes differ: ${a.width} x ${a.height} and ${b.width} x ${b.height}`);
    process.exit(1);
  }
  for (let i = 0; i < a.rgb.length; i += 3) {
    if (a.rgb[i] !== b.rgb[i] || a.rgb[i + 1] !== b.rgb[i + 1] || a.rgb[i + 2] !== b.rgb[i + 2]) {
      const p = i / 3;
      console.error(`pixel (${p % a.width}, ${Math.floor(p / a.width)}) differs: ` +
                    `${a.rgb.subarray(i, i + 3).join(',')} and ${b.rgb.subarray(i, i + 3).join(',')}`);
      process.exit(1);
    }
  }
}
