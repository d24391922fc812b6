// The page: the files chosen, the adjustments, the plot and Save. Every rule (conversion,
// output names, plot, texts) is the engine's; this script only wires the controls to it. The
// files themselves are in EngineWorker.js, so that the page never waits on them; the page's own
// copy of the engine gives the texts and the rules of the controls.
import KorvaneEngine from './engine.js';
import { Cancelled, FileWork } from './FileWork.js';
import { Preview } from './Preview.js';

const $ = (id) => document.getElementById(id);
const work = new FileWork(showProgress);
const engine = await KorvaneEngine({ wasmBinary: await work.request('engineBinary') });
const ranges = engine.ranges();
const LANGUAGE_CODES = ['de', 'en', 'es', 'fr'];
// The volume slider stands upright with loud at the top, as in the window: its position counts
// from the loud end, the engine's volume from the soft one.
const volume = () => ranges.levelHighest - Number($('volume').value);

// files: { name, size, chosen (the File), outcome, levelCount, loaded } in the order chosen;
// list: the number of the choice they are.
const state = { language: 1, texts: null, files: [], list: 0, selected: -1, instruction: 'textWelcome', progress: null };

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
  $('keep-bars-label').textContent = t.keepBars;
  $('leave-drums-label').textContent = t.leaveDrums;
  $('loudest-label').textContent = t.loudestToFull;
  $('cancel').textContent = t.cancel;
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
  renderProgress();
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
    keepBars: $('keep-bars').checked,
    leaveDrums: $('leave-drums').checked,
    loudestToFull: $('loudest').checked,
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
  for (const id of ['stuck-notes', 'keep-bars', 'leave-drums', 'loudest']) $(id).checked = false;
  announceSliders();
  drawPlot();
}

function showMessage(text) {
  $('message').textContent = text;
}

function refusal(outcome) {
  return format(state.texts[outcome.message], ranges.pageFileLimitMegabytes);
}

function repairSummary(entry) {
  const t = state.texts;
  if (!entry.outcome.completed) return refusal(entry.outcome);
  const parts = engine.repairList(state.language, entry.outcome.repairs);
  return parts.length ? parts.join('; ') : t.nothingRepaired;
}

function renderFiles() {
  // Built apart and put in at once: a list of thousands costs one layout, not one each.
  const items = document.createDocumentFragment();
  state.files.forEach((entry, index) => {
    const item = document.createElement('li');
    const name = document.createElement('button');
    name.type = 'button';
    name.textContent = entry.name;
    name.setAttribute('aria-current', String(index === state.selected));
    name.disabled = !entry.loaded;
    name.addEventListener('click', () => select(index));
    const repairs = document.createElement('span');
    repairs.className = entry.outcome.completed ? 'repairs' : 'repairs failed';
    repairs.textContent = repairSummary(entry);
    item.append(name, repairs);
    items.append(item);
  });
  $('files').replaceChildren(items);
}

function select(index) {
  state.selected = index;
  renderFiles();
  drawPlot();
  preview.fileChanged();
}

function selectedEntry() {
  const entry = state.files[state.selected];
  return entry?.loaded ? entry : null;
}

// One drawing asked of the worker at a time; moves in the meantime ask for the latest only.
const plotting = { busy: false, again: false };

async function drawPlot() {
  if (plotting.busy) return void (plotting.again = true);
  plotting.busy = true;
  const canvas = $('plot');
  const { width, height } = canvas;
  const entry = selectedEntry();
  let drawn = { pixels: engine.plotNothing(width, height), range: null };
  try {
    if (entry) drawn = await work.request('plot', { index: state.selected, width, height, adjustments: adjustments() });
  } catch {
    drawn.range = null; // cancelled: the list is read again or emptied, and drawn then
  } finally {
    plotting.busy = false;
  }
  canvas.getContext('2d').putImageData(new ImageData(new Uint8ClampedArray(drawn.pixels), width, height), 0, 0);
  describePlot(entry, drawn.range);
  if (plotting.again) {
    plotting.again = false;
    drawPlot();
  }
}

function describePlot(entry, range) {
  const canvas = $('plot');
  const t = state.texts;
  canvas.setAttribute('aria-label', t.levelPlot);
  if (!entry || !range || entry.levelCount === 0) {
    canvas.setAttribute('aria-description', t.levelPlotEmpty);
    return;
  }
  const count = entry.levelCount.toLocaleString(LANGUAGE_CODES[state.language]);
  canvas.setAttribute('aria-description', format(t.levelPlotDescription, count, range.lowest, range.highest));
}

function setInstruction(key) {
  state.instruction = key;
  $('instruction').textContent = state.texts[key].trim();
}

function showProgress(progress) {
  state.progress = progress;
  renderProgress();
}

function renderProgress() {
  const progress = state.progress;
  $('progress').hidden = !progress;
  $('save').disabled = Boolean(progress);
  if (!progress) return;
  const megabytes = (bytes) => (bytes / 1e6).toFixed(1);
  $('progress-text').textContent = format(state.texts[progress.kind], progress.done, progress.total,
    megabytes(progress.bytes), megabytes(progress.totalBytes));
  Object.assign($('progress-bar'), { max: Math.max(progress.totalBytes, 1), value: progress.bytes });
}

// Long requests running; the progress shows until the last one ends (a plot may still wait).
let longRequests = 0;

// Runs one long request with its progress shown from the start. One cancelled gives null; one
// that failed in the worker gives null too, with the message of `failure`.
async function withProgress(start, request, failure) {
  longRequests++;
  showProgress({ done: 0, bytes: 0, ...start });
  try {
    return await request;
  } catch (error) {
    showMessage(state.texts[error instanceof Cancelled ? 'cancelled' : failure]);
    return null;
  } finally {
    if (--longRequests === 0) showProgress(null);
  }
}

// Each choice replaces the list as a whole. Choices made while one is read are read after it in
// the worker, in order; only the latest one's list is shown.
let choices = 0;
// Handing a File to the worker, and even asking its size, costs the page's thread a question to
// the browser: a choice goes over in parts, each in a task of its own, and the worker asks the sizes.
const FILES_PER_MESSAGE = 50;

async function sendChoice(choice, chosen) {
  const cancels = work.cancels;
  const parts = [];
  for (let start = 0; start === 0 || start < chosen.length; start += FILES_PER_MESSAGE) {
    // A later choice or a Cancel ends the sending: the rest would join another list.
    if (choice !== choices || cancels !== work.cancels) break;
    const part = chosen.slice(start, start + FILES_PER_MESSAGE);
    const request = work.request('load', { chosen: part, first: start === 0, from: start, files: chosen.length, number: choice });
    // Promise.all below takes its outcome; a Cancel before then is no unhandled failure.
    request.catch(() => null);
    parts.push(request);
    await new Promise((resolve) => setTimeout(resolve));
  }
  return { entries: (await Promise.all(parts)).flatMap((part) => part.entries) };
}

async function addFiles(chosen) {
  showMessage('');
  const choice = ++choices;
  const start = { kind: 'reading', total: chosen.length, totalBytes: 0 };
  const result = await withProgress(start, sendChoice(choice, chosen), 'msgInputNotOpened');
  if (choice !== choices) return;
  state.list = choice;
  state.files = (result?.entries ?? []).map((entry, i) => ({
    name: chosen[i].name, chosen: chosen[i], ...entry, loaded: entry.outcome.completed,
  }));
  showRefusals(state.files);
  const first = state.files.findIndex((entry) => entry.loaded);
  if (first >= 0) setInstruction('textLoaded');
  select(first);
}

function showRefusals(entries) {
  const refused = entries.filter((entry) => !entry.outcome.completed);
  if (refused.length) showMessage(refused.map((entry) => `${entry.name}: ${refusal(entry.outcome)}`).join('\n'));
}

async function save() {
  showMessage('');
  if (!state.files.some((entry) => entry.loaded)) return showMessage(state.texts.msgPleaseLoad);
  const a = adjustments();
  if (a.speed === null) return showMessage(state.texts.msgSpeedPrompt);
  const files = state.files;
  const payload = { names: files.map((e) => e.name), sizes: files.map((e) => e.size), adjustments: a };
  const loadedSizes = files.filter((e) => e.loaded).map((e) => e.size);
  const start = { kind: 'converting', total: loadedSizes.length, totalBytes: loadedSizes.reduce((sum, size) => sum + size, 0) };
  const result = await withProgress(start, work.request('save', payload), 'msgOutputNotWritten');
  if (!result) return readAgain(files);
  for (const [index, outcome] of Object.entries(result.outcomes)) files[index].outcome = outcome;
  renderFiles();
  showRefusals(files);
  if (!result.download) return;
  download(result.download.name, result.download.blob);
  setInstruction('textSaved');
}

// A save cancelled or failed ended the worker and its files with it: the same list is read again,
// its message kept.
async function readAgain(files) {
  const message = $('message').textContent;
  await addFiles(files.map((entry) => entry.chosen));
  if (!$('message').textContent) showMessage(message);
}

function download(name, blob) {
  const url = URL.createObjectURL(blob);
  const link = Object.assign(document.createElement('a'), { href: url, download: name });
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}

const preview = new Preview({
  texts: () => state.texts,
  carriedTick: (tick, from, to) => engine.carriedTick(tick, from, to),
  soundFont: () => work.request('soundFont'),
  // What the player plays: the converted bytes, or the original as it was read; a key of the
  // reason where there is nothing to play; null while the list is being replaced.
  song: async () => {
    const entry = selectedEntry();
    const a = adjustments();
    if (!entry) return { refused: 'msgPleaseLoad' };
    if (a.speed === null) return { refused: 'msgSpeedPrompt' };
    if (!engine.fitsThePreview(entry.size)) return { refused: 'tooLargeToPreview' };
    const original = $('hear-original').checked;
    const asked = { list: state.list, index: state.selected, adjustments: a, original };
    const song = await work.request('song', asked).catch(() => null);
    if (song?.stale) return null;
    if (song?.tooLarge) return { refused: 'tooLargeToPreview' };
    return song ?? { refused: 'msgOutputNotWritten' };
  },
  status: (text) => ($('player-status').textContent = text),
});

function onSliderMoved() {
  announceSliders();
  drawPlot();
}

// The sliders say the values they set, as the window's do: the engine's volume, speed in percent.
function announceSliders() {
  $('volume').setAttribute('aria-valuetext', String(volume()));
  $('speed-slider').setAttribute('aria-valuetext', `${$('speed').value} %`);
}

// A speed typed into the field moves the slider to it.
function onSpeedTyped() {
  const speed = typedSpeed();
  if (speed !== null) $('speed-slider').value = engine.sliderPositionOfSpeed(speed);
  announceSliders();
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
  $('speed-slider').addEventListener('input', (e) => {
    $('speed').value = engine.speedOfSliderPosition(Number(e.target.value));
    announceSliders();
  });
  $('speed').addEventListener('input', onSpeedTyped);
  // The plot marks the drums' levels left as they are and the notes the loudest one's gain moves.
  for (const id of ['leave-drums', 'loudest']) $(id).addEventListener('change', drawPlot);
  for (const id of ['dynamic-range', 'volume', 'speed-slider', 'stuck-notes', 'keep-bars', 'leave-drums', 'loudest',
    'hear-original']) {
    $(id).addEventListener('change', () => preview.adjustmentsChanged());
  }
  $('speed').addEventListener('change', () => {
    if (typedSpeed() === null) showMessage(state.texts.msgSpeedPrompt);
    else preview.adjustmentsChanged();
  });
  $('reset').addEventListener('click', () => { restoreDefaults(); preview.adjustmentsChanged(); });
  $('save').addEventListener('click', save);
  $('play').addEventListener('click', () => preview.play());
  $('cancel').addEventListener('click', () => work.cancel());
  $('stop').addEventListener('click', () => preview.stop());
}

wireControls();
applyLanguage(chooseLanguage());
restoreDefaults();
// What the tests and anyone curious can reach: the engine and the page's state.
window.korvane = { engine, state, work, ready: true };
document.body.dataset.ready = 'true';
