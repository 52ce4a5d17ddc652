// The page's figures in headless chromium: load to first frame, the download's gzipped size and
// the median paint over 12 s of play. Run after building the web preset and `npm ci` in
// tests/web:  node bench/web_figures.mjs [SITE_FOLDER]   (default build/web/site)
import { readFileSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { gzipSync } from 'node:zlib';

import { launch, probedPage, serve } from '../tests/web/support.mjs';

const site = resolve(process.argv[2] ?? 'build/web/site');
const loads = 7;
const playMs = 12000;

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = sorted.length >> 1;
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};

// What a visitor downloads before the first frame, the font apart.
const gzipped = ['index.html', 'page.css', 'page.js', 'plonta.js', 'plonta.wasm'].map((file) => {
  const bytes = readFileSync(join(site, file));
  return { file, raw: bytes.length, gzip: gzipSync(bytes, { level: 9 }).length };
});

const server = await serve(site);
const browser = await launch();

// From the start of navigation (performance.now() counts from it) to the first frame painted.
const firstFrames = [];
for (let i = 0; i < loads; ++i) {
  const page = await probedPage(browser);
  await page.goto(server.url);
  await page.waitForFunction(() => window.plontaProbe.firstFrame !== undefined);
  firstFrames.push(await page.evaluate(() => window.plontaProbe.firstFrame));
  await page.close();
}

// Real time: a game started and played with a key every 150 ms, at scale 1 and at 2.9.
async function paints(options) {
  const page = await probedPage(browser, options);
  await page.goto(server.url);
  await page.waitForFunction(() => window.plontaProbe.frames >= 1);
  const keys = ['Space', 'ArrowLeft', 'ArrowDown', 'ArrowRight', 'ArrowRight', 'Space'];
  const started = Date.now();
  for (let i = 0; Date.now() - started < playMs; ++i) {
    await page.keyboard.press(keys[i % keys.length]);
    await page.waitForTimeout(150);
  }
  const times = await page.evaluate(() => window.plontaProbe.paintTimes);
  const scale = await page.evaluate(() => window.plontaProbe.scale);
  await page.close();
  const whole = times.map((t) => t.compose + t.present);
  return { scale, count: times.length, median: median(whole), worst: Math.max(...whole),
           compose: median(times.map((t) => t.compose)),
           present: median(times.map((t) => t.present)) };
}
const small = await paints({ viewport: { width: 400, height: 500 } });
const large = await paints({ viewport: { width: 1280, height: 725 }, deviceScaleFactor: 2 });

await browser.close();
server.close();

const total = gzipped.reduce((sum, f) => sum + f.gzip, 0);
console.log(`page load to first frame: median ${median(firstFrames).toFixed(0)} ms over ${loads} ` +
            `loads (${firstFrames.map((t) => t.toFixed(0)).join(', ')})`);
for (const f of gzipped) console.log(`  ${f.file}: ${f.raw} bytes, ${f.gzip} gzipped`);
console.log(`the page, its script and the program, gzipped: ${(total / 1024).toFixed(1)} KB`);
for (const p of [small, large])
  console.log(`median paint at scale ${p.scale} over ${playMs / 1000} s: ${p.median.toFixed(3)} ms ` +
              `(compose ${p.compose.toFixed(3)}, present ${p.present.toFixed(3)}; worst ` +
              `${p.worst.toFixed(3)}; ${p.count} paints)`);
