// Generated MIDI files for the page test: random tracks of channel events with running status,
// meta and System Exclusive events, in formats 0 and 1; some damaged (no End of Track, cut
// short, a vendor chunk, a wrong length) and one wrapped in a RIFF file.
function random(seed) {
  let s = seed >>> 0;
  return (n) => {
    s = (Math.imul(s, 1664525) + 1013904223) >>> 0;
    return s % n;
  };
}

function varLen(value) {
  const bytes = [value & 0x7f];
  for (value >>>= 7; value > 0; value >>>= 7) bytes.unshift((value & 0x7f) | 0x80);
  return bytes;
}

function chunk(id, data, length = data.length) {
  return [...Buffer.from(id), length >>> 24, (length >>> 16) & 0xff, (length >>> 8) & 0xff, length & 0xff, ...data];
}

function track(rand, closed) {
  const out = [];
  let running = -1;
  for (let i = 0, n = 20 + rand(400); i < n; i++) {
    out.push(...varLen(rand(8) === 0 ? rand(20000) : rand(120)));
    const kind = rand(20);
    if (kind === 0) {
      out.push(0xff, 0x51, 3, rand(256), rand(256), rand(256));
      continue;
    }
    if (kind === 1) {
      const data = Array.from({ length: rand(10) }, () => rand(128));
      out.push(0xf0, ...varLen(data.length + 1), ...data, 0xf7);
      continue;
    }
    const status = [0x80, 0x90, 0x90, 0x90, 0xa0, 0xb0, 0xc0, 0xe0][rand(8)] | rand(16);
    if (status !== running || rand(3) === 0) out.push(status);
    running = status;
    out.push(rand(128));
    if ((status & 0xf0) === 0xb0) out[out.length - 1] = rand(2) ? 7 : rand(128);
    if ((status & 0xf0) !== 0xc0) out.push(rand(128));
  }
  if (closed) out.push(0, 0xff, 0x2f, 0);
  return out;
}

export function generatedSongs(count) {
  return Array.from({ length: count }, (_, index) => {
    const rand = random(index + 1);
    const tracks = index % 3 === 0 ? 1 : 2 + rand(4);
    let bytes = chunk('MThd', [0, tracks > 1 ? 1 : 0, 0, tracks, 0x01, 0xe0]);
    for (let t = 0; t < tracks; t++) {
      const data = track(rand, index % 5 !== 1);
      bytes.push(...chunk('MTrk', data, index % 7 === 2 && t === 0 ? data.length + 9 : data.length));
      if (index % 6 === 3 && t === 0) bytes.push(...chunk('XVnd', [1, 2, 3, 4]));
    }
    if (index % 4 === 2) bytes = bytes.slice(0, bytes.length - 1 - rand(40));
    let name = `generated-${String(index).padStart(2, '0')}.mid`;
    if (index === 8) {
      const data = chunk('data', bytes);
      bytes = chunk('RIFF', [...Buffer.from('RMID'), ...data]);
      name = 'generated-08.rmi';
    }
    return { name, bytes: Uint8Array.from(bytes) };
  });
}
