// Pictures of the page for the README, in English and German, with the demo files loaded.
// Usage: node tools/web-screenshots.mjs SITE EXAMPLES_FOLDER OUTPUT_FOLDER
import { createRequire } from 'node:module';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { startServer } from '../tests/web/PageServer.mjs';

const [site, examples, output] = process.argv.slice(2);
const require = createRequire(join(dirname(fileURLToPath(import.meta.url)), '../web/package.json'));
const { chromium } = require('playwright-core');
const { server, url } = await startServer(site);
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] });
try {
  for (const [locale, name] of [['en-GB', 'web-en.png'], ['de-DE', 'web-de.png']]) {
    const page = await browser.newPage({ locale, viewport: { width: 800, height: 900 } });
    await page.goto(url);
    await page.waitForFunction(() => document.body.dataset.ready === 'true');
    const files = ['PianoDynamics.mid', 'StuckNotes.mid', 'RunningStatusVolume.mid'];
    await page.setInputFiles('#choose', files.map((f) => join(examples, f)));
    await page.waitForFunction(() => window.korvane.state.selected === 0 && !window.korvane.work.busy);
    await page.focus('#dynamic-range');
    await page.keyboard.press('PageUp');
    await page.waitForFunction(() => !window.korvane.work.busy); // the plot is drawn in the worker
    await page.screenshot({ path: join(output, name), fullPage: true });
    await page.close();
  }
} finally {
  await browser.close();
  server.close();
}
