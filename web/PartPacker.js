// Beside the engine's worker: the parts of a single output become one Blob here, on a thread of
// their own, while the engine writes the next part. Parts come in order; `finish` lays the bytes
// written back into parts already given over them and answers the whole, `drop` forgets them.
let parts = [];

// The whole with the bytes written back into parts already given laid over it.
function patched(whole, patches) {
  const pieces = [];
  let at = 0;
  for (const { position, bytes } of patches) {
    pieces.push(whole.slice(at, position), bytes);
    at = position + bytes.length;
  }
  pieces.push(whole.slice(at));
  return new Blob(pieces);
}

self.addEventListener('message', ({ data }) => {
  if (data.kind === 'part') return void parts.push(new Blob([data.bytes]));
  if (data.kind === 'finish') postMessage(patched(new Blob(parts), data.patches));
  parts = [];
});
