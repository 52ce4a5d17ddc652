// What the browser tests share: the site served from its folder, headless chromium, and the
// page's frame compared with plonta-sim's.
import { execFileSync } from 'node:child_process';
import { createReadStream, existsSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { extname, join, normalize } from 'node:path';
import { createRequire } from 'node:module';

// playwright-core from where `npm ci` put it: the build's folder in ctest, else this one.
const playwright = join(process.env.PLONTA_PLAYWRIGHT ?? import.meta.dirname, 'package.json');
const { chromium } = createRequire(playwright)('playwright-core');

const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.css': 'text/css', '.png': 'image/png' };

// The folder given by PLONTA_SITE on a free port of 127.0.0.1; a path in changed is served as
// the text it maps to instead, as if the file had been replaced.
export async function serve(folder = process.env.PLONTA_SITE, changed = new Map()) {
  const server = createServer((request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname));
    const file = join(folder, path.endsWith('/') ? path + 'index.html' : path);
    if (!file.startsWith(folder) || !existsSync(file)) return response.writeHead(404).end();
    // Cross-origin isolated, so that performance.now() counts in microseconds, not tenths of ms.
    response.writeHead(200, { 'Content-Type': types[extname(file)] ?? 'application/octet-stream',
                              'Cross-Origin-Opener-Policy': 'same-origin',
                              'Cross-Origin-Embedder-Policy': 'require-corp' });
    if (changed.has(path)) return response.end(changed.get(path));
    createReadStream(file).pipe(response);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  // Closed, the site is gone: no connection kept open answers either.
  return { url: `http://127.0.0.1:${server.address().port}/`,
           close: () => (server.close(), server.closeAllConnections()) };
}

export const launch = () => chromium.launch({ executablePath: '/usr/bin/chromium' });

// The page's probe, installed before it loads: paints counted, the first one's time, the last
// one's text boxes and every paint's two halves in milliseconds.
function installProbe() {
  window.plontaProbe = {
    frames: 0, firstFrame: undefined, textBoxes: [], paintTimes: [], scale: 1,
    painted({ composeMs, presentMs, textBoxes, scale }) {
      if (++this.frames === 1) this.firstFrame = performance.now();
      [this.textBoxes, this.scale] = [textBoxes, scale];
      this.paintTimes.push({ compose: composeMs, present: presentMs });
    },
  };
}

// The browser's language unless a case asks for another: German, whose frames are plonta-sim's
// without --lang.
const locale = 'de-DE';

// A new page of browser with the probe in it.
export async function probedPage(browser, options = {}) {
  const page = await browser.newPage({ locale, ...options });
  await page.addInitScript(installProbe);
  return page;
}

// A browser keeping what pages store in a fresh profile folder, gone at close; with the probe.
export async function probedProfile() {
  const profile = mkdtempSync(join(tmpdir(), 'plonta-profile-'));
  const context = await chromium.launchPersistentContext(profile,
                                                         { executablePath: '/usr/bin/chromium',
                                                           locale });
  await context.addInitScript(installProbe);
  const close = async () => (await context.close(), rmSync(profile, { recursive: true }));
  return { context, close };
}

// Where the page's frame differs from plonta-sim's frame after a script, drawn with the sim's
// options (--marks, --lang en), outside the boxes the frame's texts may cover: "x,y" of the
// first few pixels, and how many.
export async function frameDifferences(page, script, options = []) {
  const scale = await page.evaluate(() => window.plontaProbe.scale);
  const png = join(mkdtempSync(join(tmpdir(), 'plonta-web-')), 'frame.png');
  execFileSync(simPath(), options, { input: `${script}\nshot ${png} ${scale}\n` });
  return page.evaluate(async (encoded) => {
    const bytes = Uint8Array.from(atob(encoded), (c) => c.charCodeAt(0));
    const bitmap = await createImageBitmap(new Blob([bytes], { type: 'image/png' }));
    const canvas = document.getElementById('frame');
    if (bitmap.width !== canvas.width) return { count: 1, first: [`width ${bitmap.width}`] };
    const shown = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    const sim = new OffscreenCanvas(bitmap.width, bitmap.height).getContext('2d');
    sim.drawImage(bitmap, 0, 0);
    const expected = sim.getImageData(0, 0, bitmap.width, bitmap.height).data;
    const texts = window.plontaProbe.textBoxes;
    const inText = (x, y) => texts.some(([l, t, r, b]) => x >= l && x < r && y >= t && y < b);
    const found = { count: 0, first: [] };
    for (let i = 0; i < shown.length; i += 4) {
      const [x, y] = [(i / 4) % canvas.width, Math.floor(i / 4 / canvas.width)];
      const same = [0, 1, 2].every((c) => shown[i + c] === expected[i + c]);
      if (!same && !inText(x, y) && found.count++ < 10) found.first.push(`${x},${y}`);
    }
    return found;
  }, readFileSync(png).toString('base64'));
}

export function simPath() {
  const path = process.env.PLONTA_SIM ?? 'build/default/tools/plonta-sim/plonta-sim';
  if (!existsSync(path)) throw new Error(`no plonta-sim at ${path}: build the default preset`);
  return path;
}

export const runSim = (script) => execFileSync(simPath(), [], { input: script }).toString();

