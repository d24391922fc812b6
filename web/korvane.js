// The page: the files chosen, the adjustments, the plot and Save. Every rule (conversion,
// output names, plot, texts) is the engine's; this script only wires the controls to it.
import KorvaneEngine from './engine.js';
import { zipSync } from './lib/fflate.js';
import { Preview } from './Preview.js';

const engine = await KorvaneEngine();
const ranges = engine.ranges();
const soundFont = await fetch('TimGM6mb.sf2').then((r) => (r.ok ? r.arrayBuffer() : null), () => null);
const $ = (id) => document.getElementById(id);
const LANGUAGE_CODES = ['de', 'en', 'es', 'fr'];
// The volume slider stands upright with loud at the top, as in the window: its position counts
// from the loud end, the engine's volume from the soft one.
const volume = () => ranges.levelHighest - Number($('volume').value);

const state = { language: 1, texts: null, files: [], selected: -1, instruction: 'textWelcome' };

function format(text, ...values) {
  return values.reduce((out, value, i) => out.replace(`%${i + 1}`, String(value)), text);
}

function chooseLanguage() {
  const stored = Number(localStorage.getItem('korvane.language'));
  if (localStorage.getItem('korvane.language') !== null && LANGUAGE_CODES[stored]) return stored;
  for (const tag of navigator.languages || [navigator.language]) {
    const index = LANGUAGE_CODES.indexOf(String(tag).slice(0, 2).toLowerCase());
    if (index >= 0) return index;
  }
  return 1;
}

function applyLanguage(language) {
  state.language = language;
  const t = (state.texts = engine.texts(language));
  const [, , loadCaption, saveCaption, , save, volumeCaption, dynamicRange, stuckNotes, speed, reset] =
    t.captions;
  document.documentElement.lang = LANGUAGE_CODES[language];
  $('language-label').textContent = t.language;
  $('stay-local').textContent = t.stayLocal;
  $('load-caption').textContent = loadCaption;
  $('choose-label').textContent = t.chooseFiles;
  $('drop-hint').textContent = t.dropFiles;
  $('files-caption').textContent = t.files;
  $('save-caption').textContent = saveCaption;
  $('save').textContent = save;
  $('volume-label').textContent = volumeCaption;
  $('dynamic-range-label').textContent = dynamicRange;
  $('stuck-notes-label').textContent = stuckNotes;
  $('speed-label').textContent = speed;
  $('reset').textContent = reset;
  $('hear-original-label').textContent = t.hearOriginal;
  describe($('dynamic-range'), t.dynamicRange, t.dynamicRangeDescription);
  describe($('volume'), t.volume, t.volumeDescription);
  describe($('speed-slider'), t.speed, t.speedDescription);
  describe($('speed'), t.speedPercent, '');
  describe($('reset'), null, t.resetDescription);
  describe($('play'), t.play, '');
  describe($('stop'), t.stop, '');
  $('play').textContent = '\u25B6 ' + t.play;
  $('stop').textContent = '\u25A0 ' + t.stop;
  $('instruction').textContent = t[state.instruction].trim();
  localStorage.setItem('korvane.language', String(language));
  $('language').value = String(language);
  renderFiles();
  drawPlot();
  preview.showStatus();
}

function describe(element, name, description) {
  if (name !== null) element.setAttribute('aria-label', name);
  if (description) element.setAttribute('aria-description', description);
  else element.removeAttribute('aria-description');
}

function adjustments() {
  return {
    dynamicRange: Number($('dynamic-range').value),
    volume: volume(),
    speed: typedSpeed(),
    stuckNotes: $('stuck-notes').checked,
  };
}

// The speed field's percent, read by the engine's rule (midi/SpeedControl.h), or null.
function typedSpeed() {
  return engine.parseSpeed($('speed').value);
}

function restoreDefaults() {
  for (const id of ['dynamic-range', 'volume']) {
    Object.assign($(id), { min: ranges.levelLowest, max: ranges.levelHighest });
    $(id).value = ranges.levelNeutral;
  }
  $('volume').value = ranges.levelHighest - ranges.levelNeutral;
  $('speed-slider').value = ranges.speedPositionNeutral;
  $('speed').value = ranges.speedNeutral;
  $('stuck-notes').checked = false;
  drawPlot();
}

function showMessage(text) {
  $('message').textContent = text;
}

function repairSummary(entry) {
  const t = state.texts;
  if (!entry.outcome.completed) return t[entry.outcome.message];
  const repairs = entry.outcome.repairs;
  const parts = engine.repairLines()
    .filter((kind) => repairs[kind] > 0)
    .map((kind) => format(t[kind], repairs[kind]));
  return parts.length ? parts.join('; ') : t.nothingRepaired;
}

function renderFiles() {
  const list = $('files');
  list.replaceChildren();
  state.files.forEach((entry, index) => {
    const item = document.createElement('li');
    const name = document.createElement('button');
    name.type = 'button';
    name.textContent = entry.name;
    name.setAttribute('aria-current', String(index === state.selected));
    name.disabled = !entry.file;
    name.addEventListener('click', () => select(index));
    const repairs = document.createElement('span');
    repairs.className = entry.outcome.completed ? 'repairs' : 'repairs failed';
    repairs.textContent = repairSummary(entry);
    item.append(name, repairs);
    list.append(item);
  });
}

function select(index) {
  state.selected = index;
  renderFiles();
  drawPlot();
  preview.fileChanged();
}

function selectedFile() {
  return state.files[state.selected]?.file ?? null;
}

function drawPlot() {
  const canvas = $('plot');
  const { width, height } = canvas;
  const file = selectedFile();
  const dynamicRange = Number($('dynamic-range').value);
  const pixels = file
    ? file.plot(width, height, dynamicRange, volume())
    : engine.plotNothing(width, height);
  canvas.getContext('2d').putImageData(new ImageData(new Uint8ClampedArray(pixels), width, height), 0, 0);
  const t = state.texts;
  canvas.setAttribute('aria-label', t.levelPlot);
  if (!file || file.loaded().levelCount === 0) {
    canvas.setAttribute('aria-description', t.levelPlotEmpty);
    return;
  }
  const range = file.plottedRange(dynamicRange, volume());
  const count = file.loaded().levelCount.toLocaleString(LANGUAGE_CODES[state.language]);
  canvas.setAttribute('aria-description', format(t.levelPlotDescription, count, range.lowest, range.highest));
}

function setInstruction(key) {
  state.instruction = key;
  $('instruction').textContent = state.texts[key].trim();
}

// A file the engine cannot hold (the page's memory is bounded) is refused like one it cannot read.
function load(bytes) {
  let file = null;
  try {
    file = new engine.LoadedFile(bytes);
    const outcome = file.loaded();
    if (outcome.completed) return { file, outcome };
    file.delete();
    return { file: null, outcome };
  } catch {
    file?.delete();
    return { file: null, outcome: { completed: false, message: 'msgInputNotOpened' } };
  }
}

function convert(file, a) {
  try {
    return file.convert(a.dynamicRange, a.volume, a.speed, a.stuckNotes);
  } catch {
    return { completed: false, message: 'msgOutputNotWritten' };
  }
}

async function addFiles(fileList) {
  showMessage('');
  for (const entry of state.files) entry.file?.delete();
  state.files = [];
  for (const chosen of fileList) {
    const bytes = new Uint8Array(await chosen.arrayBuffer());
    const { file, outcome } = load(bytes);
    state.files.push({ name: chosen.name, file, outcome, original: bytes });
  }
  const failed = state.files.find((entry) => !entry.file);
  if (failed) showMessage(`${failed.name}: ${state.texts[failed.outcome.message]}`);
  const first = state.files.findIndex((entry) => entry.file);
  if (first >= 0) setInstruction('textLoaded');
  select(first);
}

// Converts every loaded file with the page's adjustments; one file downloads as itself, several
// as one zip. Inputs whose outputs would share a name are refused, as on the command line.
function save() {
  showMessage('');
  const loaded = state.files.filter((entry) => entry.file);
  if (!loaded.length) return showMessage(state.texts.msgPleaseLoad);
  const a = adjustments();
  if (a.speed === null) return showMessage(state.texts.msgSpeedPrompt);
  const names = loaded.map((entry) => engine.outputName(entry.name));
  const outputs = [];
  const failures = [];
  loaded.forEach((entry, i) => {
    if (names.indexOf(names[i]) !== names.lastIndexOf(names[i])) {
      failures.push(`${entry.name}: ${state.texts.msgInputsCollide}`);
      return;
    }
    entry.outcome = convert(entry.file, a);
    if (!entry.outcome.completed) {
      failures.push(`${entry.name}: ${state.texts[entry.outcome.message]}`);
      return;
    }
    outputs.push({ name: names[i], bytes: entry.file.output().slice() });
  });
  renderFiles();
  showMessage(failures.join('\n'));
  if (!outputs.length) return;
  if (outputs.length === 1) {
    download(outputs[0].name, outputs[0].bytes);
  } else {
    const entries = Object.fromEntries(outputs.map((o) => [o.name, [o.bytes, { level: 6 }]]));
    download('KorvaneKRV.zip', zipSync(entries));
  }
  setInstruction('textSaved');
}

function download(name, bytes) {
  const url = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
  const link = Object.assign(document.createElement('a'), { href: url, download: name });
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}

const preview = new Preview({
  soundFont,
  texts: () => state.texts,
  carriedTick: (tick, from, to) => engine.carriedTick(tick, from, to),
  // What the player plays: the converted bytes, or the original as it was read.
  song: () => {
    const file = selectedFile();
    const a = adjustments();
    if (!file || a.speed === null) return null;
    if ($('hear-original').checked) return { bytes: state.files[state.selected].original, speed: 100, original: true };
    if (!convert(file, a).completed) return null;
    return { bytes: file.output().slice(), speed: a.speed, original: false };
  },
  status: (text) => ($('player-status').textContent = text),
});

function onSliderMoved() {
  drawPlot();
}

function wireControls() {
  for (const [index, code] of LANGUAGE_CODES.entries()) {
    const option = new Option(engine.texts(index).languageName, String(index));
    option.lang = code;
    $('language').append(option);
  }
  $('language').addEventListener('change', (e) => applyLanguage(Number(e.target.value)));
  $('choose').addEventListener('change', (e) => addFiles([...e.target.files]));
  const zone = $('drop-zone');
  zone.addEventListener('dragover', (e) => { e.preventDefault(); zone.classList.add('over'); });
  zone.addEventListener('dragleave', () => zone.classList.remove('over'));
  zone.addEventListener('drop', (e) => {
    e.preventDefault();
    zone.classList.remove('over');
    addFiles([...e.dataTransfer.files]);
  });
  $('dynamic-range').addEventListener('input', onSliderMoved);
  $('volume').addEventListener('input', onSliderMoved);
  $('speed-slider').addEventListener('input', (e) => ($('speed').value = engine.speedOfSliderPosition(Number(e.target.value))));
  for (const id of ['dynamic-range', 'volume', 'speed-slider', 'stuck-notes', 'hear-original']) {
    $(id).addEventListener('change', () => preview.adjustmentsChanged());
  }
  $('speed').addEventListener('change', () => {
    if (typedSpeed() === null) showMessage(state.texts.msgSpeedPrompt);
    else preview.adjustmentsChanged();
  });
  $('reset').addEventListener('click', () => { restoreDefaults(); preview.adjustmentsChanged(); });
  $('save').addEventListener('click', save);
  $('play').addEventListener('click', () => preview.play());
  $('stop').addEventListener('click', () => preview.stop());
}

wireControls();
applyLanguage(chooseLanguage());
restoreDefaults();
// What the tests and anyone curious can reach: the engine and the page's state.
window.korvane = { engine, state, ready: true };
document.body.dataset.ready = 'true';
