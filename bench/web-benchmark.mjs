// The page in headless Chromium: the longest task on its thread while it reads and saves 1,000
// small files and a large one (the goal is 100 ms at most), and its speed saving the large file
// against `korvane --output=` with the same settings, in one run, alternating (disk, and within
// /dev/shm). The page's time runs from the click on Save to the download. Given a second site
// (the page built from an earlier commit), its saves of the large file alternate with these too.
// Usage: node web-benchmark.mjs SITE KORVANE LARGE_FILE SMALL_FILES_FOLDER [RUNS] [EARLIER_SITE]
import { spawnSync } from 'node:child_process';
import { copyFileSync, mkdtempSync, readdirSync, rmSync, statSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { startServer } from '../tests/web/PageServer.mjs';
import { longestTaskSince, recordLongTasks } from '../tests/web/LongTasks.mjs';
import { applySetting } from '../tests/web/PageSettings.mjs';
import { waitUntil } from '../tests/web/PageWait.mjs';

const [site, korvane, file, smallFolder, runsText, earlierSite] = process.argv.slice(2);
const runs = Number(runsText ?? 3);
const require = createRequire(join(dirname(fileURLToPath(import.meta.url)), '../web/package.json'));
const { chromium } = require('playwright-core');
const megabytes = statSync(file).size / 1e6;
const settings = ['--dynamic-range=700', '--volume=400', '--speed=150', '--fix-stuck-notes'];
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const small = readdirSync(smallFolder).map((name) => join(smallFolder, name));

const work = mkdtempSync(join(tmpdir(), 'korvane-web-bench-'));
const shm = mkdtempSync('/dev/shm/korvane-web-bench-');
copyFileSync(file, join(shm, 'in.mid'));
const servers = [];
const browsers = [];

const nativeRun = (output, input) => {
  const start = process.hrtime.bigint();
  const env = { ...process.env };
  delete env.DISPLAY;
  const done = spawnSync(korvane, [`--output=${output}`, ...settings, input], { env });
  if (done.status !== 0) throw new Error(String(done.stderr));
  return Number(process.hrtime.bigint() - start) / 1e9;
};

// The page of one site, ready, with the native run's settings. Each site has a browser of its
// own, so that neither one's downloads count against the other's room for them.
async function openPage(siteFolder) {
  const { server, url } = await startServer(siteFolder);
  servers.push(server);
  const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] });
  browsers.push(browser);
  const context = await browser.newContext({ acceptDownloads: true });
  await recordLongTasks(context);
  const page = await context.newPage();
  await page.goto(url);
  await waitUntil(page, () => document.body.dataset.ready === 'true', null, { timeout: 60000 });
  await applySetting(page, { dynamicRange: 700, volume: 400, speed: 150, stuckNotes: true });
  return page;
}

const idle = (page) => waitUntil(page, () => !window.korvane.work.busy && !window.korvane.state.progress, null, { timeout: 600000 });
const choose = async (page, files) => {
  const start = performance.now();
  await page.setInputFiles('#choose', files);
  await waitUntil(page, (n) => window.korvane.state.files.length === n, files.length, { timeout: 600000 });
  await idle(page);
  return (performance.now() - start) / 1000;
};
const save = async (page) => {
  const start = performance.now();
  const [download] = await Promise.all([page.waitForEvent('download', { timeout: 600000 }), page.click('#save')]);
  const seconds = (performance.now() - start) / 1000;
  await download.saveAs(join(work, 'page-out'));
  await download.delete();
  await idle(page);
  return seconds;
};

try {
  const page = await openPage(site);
  await longestTaskSince(page);
  const smallRead = await choose(page, small);
  const smallSave = await save(page);
  console.log(`${small.length} files: read ${smallRead.toFixed(2)} s, saved into a zip ${smallSave.toFixed(2)} s; ` +
    `longest task on the page's thread ${(await longestTaskSince(page)).toFixed(0)} ms`);

  const largeRead = await choose(page, [file]);
  const earlier = earlierSite ? await openPage(earlierSite) : null;
  if (earlier) await choose(earlier, [file]);
  const times = { page: [], earlier: [], disk: [], memory: [] };
  for (let run = 0; run < runs; run++) {
    times.page.push(await save(page));
    if (earlier) times.earlier.push(await save(earlier));
    times.disk.push(nativeRun(join(work, 'out.mid'), file));
    times.memory.push(nativeRun(join(shm, 'out.mid'), join(shm, 'in.mid')));
  }
  const playStart = performance.now();
  await page.click('#play');
  await waitUntil(page, () => document.getElementById('player-status').textContent !== '');
  const play = (performance.now() - playStart) / 1000;
  console.log(`${megabytes.toFixed(1)} MB file: read ${largeRead.toFixed(2)} s, Play answered in ${play.toFixed(2)} s ` +
    `("${await page.textContent('#player-status')}"); longest task on the page's thread ${(await longestTaskSince(page)).toFixed(0)} ms`);
  const seconds = Object.fromEntries(Object.entries(times).map(([name, values]) => [name, median(values)]));
  const line = (label, value) => console.log(`${label.padEnd(36)}${value.toFixed(3)} s  ${(megabytes / value).toFixed(0)} MB/s`);
  console.log(`saving it, ${runs} runs each, alternating; medians:`);
  line('page (Save to download):', seconds.page);
  if (earlier) line('page of the earlier build:', seconds.earlier);
  line('korvane --output= (disk, fsync):', seconds.disk);
  line('korvane --output= (/dev/shm):', seconds.memory);
  console.log(`page's speed / korvane --output='s: ${(seconds.disk / seconds.page).toFixed(2)} on disk, ` +
    `${(seconds.memory / seconds.page).toFixed(2)} in /dev/shm (the goal: 0.5 or more)`);
  if (earlier) console.log(`page's speed / the earlier build's: ${(seconds.earlier / seconds.page).toFixed(2)}`);
} finally {
  for (const browser of browsers) await browser.close();
  for (const server of servers) server.close();
  rmSync(work, { recursive: true, force: true });
  rmSync(shm, { recursive: true, force: true });
}
