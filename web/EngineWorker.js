// The page's files, away from the page's thread: here the engine's WebAssembly module reads,
// converts and zips them, and draws the plot of one of them. Requests run one after another in
// the order they came, each answered by its number; a long one reports its progress. Nothing
// here stops a request halfway: the page ends the whole worker to cancel.
import KorvaneEngine from './engine.js';
import { zipSync } from './lib/fflate.js';

const engineReady = KorvaneEngine();
let files = []; // the list's LoadedFile of each entry, or null where the file was refused
let list = 0; // the number the page gave the choice that made the list
let queue = Promise.resolve();
// The choice being read: its number of files, the bytes of its parts that have come so far and
// the bytes read. A File's size is asked of the browser, which the page's thread leaves to this one.
const choice = { files: 0, bytes: 0, read: 0 };

// At most this often a long request tells the page how far it is.
const PROGRESS_INTERVAL_MS = 50;

const sum = (sizes) => sizes.reduce((total, size) => total + size, 0);

// Reports a request's files of these sizes done, one by one; `from` is what earlier requests of
// the same work did, `whole` what it all comes to so far.
function progressReporter(id, kind, sizes, from = { files: 0, bytes: 0 }, whole = null) {
  let last = 0;
  let bytes = from.bytes;
  return (doneHere) => {
    const done = from.files + doneHere;
    const total = whole?.files ?? sizes.length;
    bytes += sizes[doneHere - 1];
    const now = performance.now();
    if (done < total && now - last < PROGRESS_INTERVAL_MS) return;
    last = now;
    postMessage({ id, progress: { kind, done, total, bytes, totalBytes: whole?.bytes ?? sum(sizes) } });
  };
}

let written = 0;

// The bytes become a file of the engine's file system that owns them, with no copy; the
// LoadedFile removes it. A file the engine cannot hold (its memory is bounded) is refused like
// one it cannot read.
function loadOne(engine, bytes) {
  const path = `/input-${++written}`;
  let file = null;
  try {
    const stream = engine.FS.open(path, 'w');
    engine.FS.write(stream, bytes, 0, bytes.length, 0, true);
    engine.FS.close(stream);
    file = new engine.LoadedFile(path);
    const outcome = file.loaded();
    if (outcome.completed) return { file, outcome };
    file.delete();
    return { file: null, outcome };
  } catch {
    if (file) file.delete();
    else if (engine.FS.analyzePath(path).exists) engine.FS.unlink(path);
    return { file: null, outcome: { completed: false, message: 'msgInputNotOpened' } };
  }
}

// One part of a choice: the first part replaces the list, the others add to it.
async function load(engine, { chosen, first, from, sizes, number }, id) {
  if (first) {
    for (const file of files) file?.delete();
    files = [];
    list = number;
  }
  const report = progressReporter(id, 'reading', sizes, { files: from, bytes: choice.read }, choice);
  const entries = [];
  for (const [index, one] of chosen.entries()) {
    let loaded = { file: null, outcome: { completed: false, message: 'msgTooLargeForPage' } };
    if (engine.fitsThePage(one.size)) loaded = loadOne(engine, new Uint8Array(await one.arrayBuffer()));
    files.push(loaded.file);
    entries.push({ size: sizes[index], outcome: loaded.outcome, levelCount: loaded.file?.loaded().levelCount ?? 0 });
    choice.read += sizes[index];
    report(index + 1);
  }
  return { entries };
}

function convert(file, adjustments) {
  try {
    return file.convert(adjustments);
  } catch {
    return { completed: false, message: 'msgTooLargeForPage' };
  }
}

function convertInParts(file, adjustments, give) {
  try {
    return file.convertInParts(adjustments, give);
  } catch {
    return { completed: false, message: 'msgTooLargeForPage', patches: [] };
  }
}

// Converts every loaded file; one output downloads as itself, several as one zip. Inputs whose
// outputs would share a name are refused, as on the command line.
function save(engine, { names, sizes, adjustments }, id) {
  const outputNames = names.map((name, i) => (files[i] ? engine.outputName(name) : null));
  const loaded = outputNames.map((_, i) => i).filter((i) => files[i]);
  if (loaded.length === 1) return saveOne(outputNames[loaded[0]], loaded[0], adjustments);
  const report = progressReporter(id, 'converting', loaded.map((i) => sizes[i]));
  const outcomes = {};
  const outputs = [];
  loaded.forEach((i, done) => {
    const name = outputNames[i];
    if (outputNames.indexOf(name) !== outputNames.lastIndexOf(name)) {
      outcomes[i] = { completed: false, message: 'msgInputsCollide' };
    } else {
      outcomes[i] = convert(files[i], adjustments);
      // Each output waits for the zip, copied out of the engine before its next pass.
      if (outcomes[i].completed) outputs.push({ name, bytes: files[i].output().slice() });
    }
    report(done + 1);
  });
  return { outcomes, download: packed(outputs) };
}

// A single output goes to the browser part by part while it is converted: each part is copied
// out of the engine and made into a Blob by the packer, on its own thread, while the engine
// writes the next one, and the engine never holds the whole output.
const packer = new Worker('PartPacker.js');

function packerAnswer() {
  return new Promise((resolve, reject) => {
    packer.onmessage = ({ data }) => resolve(data);
    packer.onerror = () => reject(new Error('The output could not be put together'));
  });
}

async function saveOne(name, index, adjustments) {
  const give = (part) => {
    const bytes = part.slice();
    packer.postMessage({ kind: 'part', bytes }, [bytes.buffer]);
  };
  const { patches, ...outcome } = convertInParts(files[index], adjustments, give);
  if (!outcome.completed) {
    packer.postMessage({ kind: 'drop' });
    return { outcomes: { [index]: outcome }, download: null };
  }
  const blob = packerAnswer();
  packer.postMessage({ kind: 'finish', patches });
  return { outcomes: { [index]: outcome }, download: { name, blob: await blob } };
}

function packed(outputs) {
  if (outputs.length === 0) return null;
  if (outputs.length === 1) return { name: outputs[0].name, blob: new Blob([outputs[0].bytes]) };
  const entries = Object.fromEntries(outputs.map((o) => [o.name, [o.bytes, { level: 6 }]]));
  return { name: 'KorvaneKRV.zip', blob: new Blob([zipSync(entries)]) };
}

function plot(engine, { index, width, height, adjustments }) {
  const file = files[index];
  const pixels = (file ? file.plot(width, height, adjustments) : engine.plotNothing(width, height)).slice();
  const range = file ? file.plottedRange(adjustments.dynamicRange, adjustments.volume) : null;
  return { pixels, range };
}

// What the preview plays: the converted bytes, or the MIDI file as read (out of its RIFF file).
// A song of a list replaced since it was asked for is stale.
function song(engine, { list: asked, index, adjustments, original }) {
  if (asked !== list) return { stale: true };
  const file = files[index];
  if (!file) return null;
  if (original) return { bytes: file.originalMidi(), speed: 100, original: true };
  const outcome = convert(file, adjustments);
  if (!outcome.completed) return null;
  if (!engine.fitsThePreview(file.output().length)) return { tooLarge: true };
  return { bytes: file.output().slice(), speed: outcome.tickSpeed, original: false };
}

async function soundFont() {
  const response = await fetch('TimGM6mb.sf2').catch(() => null);
  return response?.ok ? response.arrayBuffer() : null;
}

// The page's own copy of the engine, for its texts and rules, instantiated from these bytes so
// that the page itself fetches nothing.
async function engineBinary() {
  const response = await fetch('engine.wasm');
  return response.arrayBuffer();
}

const HANDLERS = { load, save, plot, song, soundFont, engineBinary };

async function handle({ id, kind, payload }) {
  const engine = await engineReady;
  try {
    const result = await HANDLERS[kind](engine, payload, id);
    const buffer = result instanceof ArrayBuffer ? result : (result?.pixels ?? result?.bytes)?.buffer;
    const transfer = buffer ? [buffer] : [];
    postMessage({ id, result }, transfer);
  } catch (error) {
    postMessage({ id, error: String(error) });
  }
}

// A part of a choice counts towards the choice's bytes as soon as it comes.
function notePart(part) {
  part.sizes = part.chosen.map((f) => f.size);
  if (part.first) Object.assign(choice, { files: part.files, bytes: 0, read: 0 });
  choice.bytes += sum(part.sizes);
}

self.addEventListener('message', (event) => {
  if (event.data.kind === 'load') notePart(event.data.payload);
  queue = queue.then(() => handle(event.data));
});
