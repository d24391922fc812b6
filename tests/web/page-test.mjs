// The web page in headless Chromium: every example and generated file, at four settings, saved
// through the page byte for byte as `korvane --output=` writes it; refusals with the command
// line's message; the plot following the keyboard; the four languages; the preview; no request
// once the page has loaded.
// Usage: node page-test.mjs SITE KORVANE EXAMPLES_FOLDER
import { spawnSync } from 'node:child_process';
import { existsSync, mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { basename, dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { generatedSongs } from './GeneratedSongs.mjs';
import { startServer } from './PageServer.mjs';

const [site, korvane, examples] = process.argv.slice(2);
const require = createRequire(join(dirname(fileURLToPath(import.meta.url)), '../../web/package.json'));
const failures = [];
const check = (ok, what) => {
  if (!ok) failures.push(what);
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
};

if (!site || !existsSync(join(site, 'engine.wasm')) || !existsSync(join(site, 'index.html'))) {
  console.error(`The web page is not built in ${site}: scripts/build-web.sh builds it.`);
  process.exit(1);
}
const { chromium } = require('playwright-core');
const { unzipSync } = require('fflate');

const SETTINGS = [
  { name: 'defaults', dynamicRange: 500, volume: 500, speed: 100, stuckNotes: false },
  { name: 'wide, louder, faster, repaired', dynamicRange: 700, volume: 400, speed: 150, stuckNotes: true },
  { name: 'narrow, softer, slower', dynamicRange: 200, volume: 800, speed: 50, stuckNotes: false },
  { name: 'extremes, speed 0', dynamicRange: 1000, volume: 0, speed: 0, stuckNotes: true },
];
// What the window's captions say in each language, written out here, not taken from the page.
const LANGUAGES = [
  { save: 'Speichern', hearOriginal: 'Original anhören', reset: 'Zurücksetzten' },
  { save: 'Save', hearOriginal: 'Hear the original', reset: 'Reset' },
  { save: 'Excepto', hearOriginal: 'Escuchar el original', reset: 'Reajuste' },
  { save: 'Économiser', hearOriginal: "Écouter l'original", reset: 'Remise' },
];

const work = mkdtempSync(join(tmpdir(), 'korvane-web-'));
const inputs = readdirSync(examples).filter((n) => n.endsWith('.mid')).map((n) => join(examples, n));
for (const song of generatedSongs(20)) {
  writeFileSync(join(work, song.name), song.bytes);
  inputs.push(join(work, song.name));
}
const outputName = (input) => basename(input).replace(/\..*$/, '') + 'KRV.mid';

// The command line's result: its bytes, or the message it refused the input with.
function native(input, setting) {
  const output = join(work, 'native-' + outputName(input));
  const report = join(work, 'report.jsonl');
  rmSync(output, { force: true });
  const args = [`--output=${output}`, `--report=${report}`, `--speed=${setting.speed}`, `--dynamic-range=${setting.dynamicRange}`,
    `--volume=${setting.volume}`, ...(setting.stuckNotes ? ['--fix-stuck-notes'] : []), input];
  const env = { ...process.env };
  delete env.DISPLAY;
  delete env.WAYLAND_DISPLAY;
  const run = spawnSync(korvane, args, { env, encoding: 'utf8' });
  if (run.status === 0) {
    // The report's first line holds the run's settings; the file's line comes last.
    const line = readFileSync(report, 'utf8').trim().split('\n').map((l) => JSON.parse(l)).pop();
    const r = line.repairs;
    const repairs = [r.tracks_closed, r.events_dropped, r.chunks_cut_short, line.chunks_kept, r.note_offs_inserted];
    return { bytes: readFileSync(output), repairs: repairs.join(' ') };
  }
  return { message: run.stderr.trim().split(': ').pop() };
}

async function applySetting(page, setting) {
  await page.evaluate((s) => {
    const set = (id, value) => {
      const element = document.getElementById(id);
      if (element.type === 'checkbox') element.checked = value;
      else element.value = String(value);
      element.dispatchEvent(new Event('input', { bubbles: true }));
      element.dispatchEvent(new Event('change', { bubbles: true }));
    };
    set('dynamic-range', s.dynamicRange);
    set('volume', 1000 - s.volume); // upright, loud at the top
    set('speed', s.speed);
    set('stuck-notes', s.stuckNotes);
  }, setting);
}

async function saveDownload(page) {
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#save')]);
  const path = join(work, 'download-' + download.suggestedFilename());
  await download.saveAs(path);
  return { name: download.suggestedFilename(), bytes: readFileSync(path) };
}

async function choose(page, files) {
  await page.setInputFiles('#choose', files);
  await page.waitForFunction((n) => window.korvane.state.files.length === n, files.length);
}

const plotPixels = (page) =>
  page.evaluate(() => {
    const canvas = document.getElementById('plot');
    const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    let drawn = 0; // pixels unlike the top left one, the background's
    let hash = 0;
    for (let i = 0; i < data.length; i += 4) {
      drawn += data[i] !== data[0] || data[i + 1] !== data[1] || data[i + 2] !== data[2];
      hash = (Math.imul(hash, 31) + data[i] * 65536 + data[i + 1] * 256 + data[i + 2]) | 0;
    }
    return { drawn, hash };
  });

const { server, url } = await startServer(site);
const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--autoplay-policy=no-user-gesture-required'],
});
try {
  const context = await browser.newContext({ acceptDownloads: true, locale: 'en-US' });
  const page = await context.newPage();
  page.on('pageerror', (error) => check(false, `no script error (${error.message})`));
  await page.goto(url);
  await page.waitForFunction(() => document.body.dataset.ready === 'true', null, { timeout: 60000 });
  // The speed texts every host answers alike (tests/data/speed-texts.json).
  const speedTexts = JSON.parse(readFileSync(join(dirname(fileURLToPath(import.meta.url)), '../data/speed-texts.json')));
  const speedAnswers = await page.evaluate((texts) => texts.map(([text]) => window.korvane.engine.parseSpeed(text)), speedTexts);
  speedTexts.forEach(([text, speed], i) => check(speedAnswers[i] === speed, `speed text ${JSON.stringify(text)}: ${speed} (${speedAnswers[i]})`));
  const requests = [];
  page.on('request', (request) => {
    if (!/^(blob|data):/.test(request.url())) requests.push(request.url());
  });

  // All files at once: one zip per setting, each entry as the command line writes it.
  await choose(page, inputs);
  for (const setting of SETTINGS) {
    await applySetting(page, setting);
    const zip = await saveDownload(page);
    const entries = unzipSync(new Uint8Array(zip.bytes));
    check(zip.name.endsWith('.zip') && Object.keys(entries).length === inputs.length,
      `${setting.name}: one zip with ${inputs.length} entries (${Object.keys(entries).length})`);
    const pageRepairs = await page.evaluate(() =>
      Object.fromEntries(window.korvane.state.files.map(({ name, outcome: { repairs: r } }) =>
        [name, [r.tracksClosed, r.eventsDropped, r.chunksCutShort, r.chunksCopied, r.noteOffsInserted].join(' ')])));
    let same = 0;
    let repaired = 0;
    for (const input of inputs) {
      const expected = native(input, setting);
      const repairs = pageRepairs[basename(input)];
      if (repairs !== expected.repairs) check(false, `${setting.name}: ${basename(input)} repairs ${repairs}, as the command line's ${expected.repairs}`);
      repaired += repairs === expected.repairs && /[1-9]/.test(repairs);
      const entry = entries[outputName(input)];
      const ok = expected.bytes && entry && Buffer.compare(Buffer.from(entry), expected.bytes) === 0;
      if (!ok) check(false, `${setting.name}: ${basename(input)} as the command line writes it`);
      same += Boolean(ok) && repairs === expected.repairs;
    }
    check(repaired >= 8, `${setting.name}: the page reports the command line's repairs (${repaired} files repaired)`);
    check(same === inputs.length, `${setting.name}: ${same} of ${inputs.length} files byte-identical, with the same repairs`);
  }

  // One file: a plain .mid download.
  await choose(page, [inputs[0]]);
  await applySetting(page, SETTINGS[1]);
  const single = await saveDownload(page);
  check(single.name === outputName(inputs[0]) &&
    Buffer.compare(single.bytes, native(inputs[0], SETTINGS[1]).bytes) === 0,
    `one file downloads as ${outputName(inputs[0])}, byte-identical`);

  // Files that are no MIDI files: the page gives the command line's outcome and message.
  const wave = join(work, 'sound.mid');
  writeFileSync(wave, Buffer.concat([Buffer.from('RIFF'), Buffer.from([36, 0, 0, 0]), Buffer.from('WAVEfmt ')]));
  const text = join(work, 'notes.mid');
  writeFileSync(text, 'These are my notes, not a MIDI file.\n');
  for (const input of [wave, text]) {
    const expected = native(input, SETTINGS[0]);
    await choose(page, [input]);
    await applySetting(page, SETTINGS[0]);
    if (expected.message) {
      const shown = await page.textContent('#message');
      check(shown.includes(expected.message), `${basename(input)} refused: "${expected.message}" (page: "${shown}")`);
    } else {
      const saved = await saveDownload(page);
      check(Buffer.compare(saved.bytes, expected.bytes) === 0, `${basename(input)}: as the command line writes it`);
    }
  }
  check(native(wave, SETTINGS[0]).message !== undefined, 'the command line refuses a RIFF file without MIDI data');

  // The plot is drawn and follows the sliders moved by the keyboard.
  await choose(page, [inputs[0]]);
  await applySetting(page, SETTINGS[0]);
  const before = await plotPixels(page);
  check(before.drawn > 200, `the plot is drawn (${before.drawn} pixels)`);
  await page.focus('#volume');
  await page.keyboard.press('PageUp');
  const louder = await plotPixels(page);
  check(louder.hash !== before.hash, 'the plot changes when the volume slider moves');
  await page.focus('#dynamic-range');
  await page.keyboard.press('End');
  const wider = await plotPixels(page);
  check(wider.hash !== louder.hash, 'the plot changes when the dynamic range slider moves');

  // Every control has an accessible name.
  const unnamed = await page.evaluate(() =>
    [...document.querySelectorAll('input, button, select, canvas')]
      .filter((e) => !(e.getAttribute('aria-label') || [...(e.labels ?? [])].some((l) => l.textContent.trim()) || e.textContent.trim()))
      .map((e) => e.id));
  check(unnamed.length === 0, `every control has an accessible name (${unnamed.join(', ') || 'all'})`);

  // The preview plays the converted bytes.
  await page.click('#play');
  await page.waitForFunction(() => document.getElementById('player-status').textContent !== '', null, { timeout: 30000 });
  check((await page.textContent('#player-status')) === 'Preview', `the preview plays (${await page.textContent('#player-status')})`);
  await page.click('#stop');

  // The four languages, chosen with the selector.
  for (const [index, expected] of LANGUAGES.entries()) {
    await page.selectOption('#language', String(index));
    const shown = {
      save: (await page.textContent('#save')).trim(),
      hearOriginal: await page.textContent('#hear-original-label'),
      reset: await page.textContent('#reset'),
    };
    check(JSON.stringify(shown) === JSON.stringify(expected), `language ${index}: ${JSON.stringify(shown)}`);
  }
  check(requests.length === 0, `no request after the page loaded (${requests.join(' ') || 'none'})`);

  // The browser's language chooses the page's.
  const german = await (await browser.newContext({ locale: 'de-DE' })).newPage();
  await german.goto(url);
  await german.waitForFunction(() => document.body.dataset.ready === 'true', null, { timeout: 60000 });
  check((await german.textContent('#save')) === 'Speichern', 'a German browser gets the German page');
} finally {
  await browser.close();
  server.close();
  rmSync(work, { recursive: true, force: true });
}
console.log(failures.length ? `${failures.length} checks failed` : 'all checks passed');
process.exit(failures.length ? 1 : 0);
