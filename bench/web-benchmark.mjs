// The page's conversion speed against the command line's, in one run, alternating: the page
// (headless Chromium) converts FILE in memory with the engine in WebAssembly; `korvane --output=`
// converts it from disk to disk, and within /dev/shm. Prints MB/s of each and the ratios.
// Usage: node web-benchmark.mjs SITE KORVANE FILE [RUNS]
import { spawnSync } from 'node:child_process';
import { copyFileSync, mkdtempSync, rmSync, statSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { startServer } from '../tests/web/PageServer.mjs';

const [site, korvane, file, runsText] = process.argv.slice(2);
const runs = Number(runsText ?? 5);
const require = createRequire(join(dirname(fileURLToPath(import.meta.url)), '../web/package.json'));
const { chromium } = require('playwright-core');
const megabytes = statSync(file).size / 1e6;
const settings = ['--dynamic-range=700', '--volume=400', '--speed=150', '--fix-stuck-notes'];
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

const work = mkdtempSync(join(tmpdir(), 'korvane-web-bench-'));
// The same conversion without a disk: input and output in a memory file system.
const shm = mkdtempSync('/dev/shm/korvane-web-bench-');
copyFileSync(file, join(shm, 'in.mid'));
const { server, url } = await startServer(site);
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] });
try {
  const page = await browser.newPage();
  await page.goto(url);
  await page.waitForFunction(() => document.body.dataset.ready === 'true', null, { timeout: 60000 });
  const loadStart = performance.now();
  await page.setInputFiles('#choose', [file]);
  await page.waitForFunction(() => window.korvane.state.selected === 0, null, { timeout: 120000 });
  console.log(`page: file read and load pass (levels for the plot): ${((performance.now() - loadStart) / 1000).toFixed(2)} s`);
  const page_s = [];
  const native_s = [];
  const memory_s = [];
  const nativeRun = (output, input) => {
    const start = process.hrtime.bigint();
    const env = { ...process.env };
    delete env.DISPLAY;
    const done = spawnSync(korvane, [`--output=${output}`, ...settings, input], { env });
    if (done.status !== 0) throw new Error(String(done.stderr));
    return Number(process.hrtime.bigint() - start) / 1e9;
  };
  for (let run = 0; run < runs; run++) {
    page_s.push(await page.evaluate(() => {
      const loaded = window.korvane.state.files[0].file;
      const start = performance.now();
      const outcome = loaded.convert(700, 400, 150, true);
      const seconds = (performance.now() - start) / 1000;
      if (!outcome.completed) throw new Error(outcome.message);
      return seconds;
    }));
    native_s.push(nativeRun(join(work, 'out.mid'), file));
    memory_s.push(nativeRun(join(shm, 'out.mid'), join(shm, 'in.mid')));
  }
  const rate = (seconds) => (megabytes / seconds).toFixed(0);
  console.log(`file: ${megabytes.toFixed(1)} MB, ${runs} runs each, alternating; medians:`);
  console.log(`page (WebAssembly, in memory):  ${median(page_s).toFixed(3)} s  ${rate(median(page_s))} MB/s`);
  console.log(`korvane --output= (disk, fsync): ${median(native_s).toFixed(3)} s  ${rate(median(native_s))} MB/s`);
  console.log(`korvane --output= (/dev/shm):     ${median(memory_s).toFixed(3)} s  ${rate(median(memory_s))} MB/s`);
  console.log(`page / native on disk: ${(median(native_s) / median(page_s)).toFixed(2)}; page / native in memory: ${(median(memory_s) / median(page_s)).toFixed(2)}`);
} finally {
  await browser.close();
  server.close();
  rmSync(work, { recursive: true, force: true });
  rmSync(shm, { recursive: true, force: true });
}
