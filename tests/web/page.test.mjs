// The page in a real browser: one case per behaviour of the browser host, each checked against
// plonta-sim running the same game. Time is the page's fake clock, stopped but for runFor.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { setTimeout } from 'node:timers/promises';

import { readFileSync } from 'node:fs';
import { join } from 'node:path';

import { frameDifferences, launch, probedPage, probedProfile, runSim, serve } from './support.mjs';

// The page's clock when it loads: the seed its game reads.
const seed = 1001000;
const tickMs = 250;

let site;
let browser;
before(async () => ([site, browser] = [await serve(), await launch()]));
after(async () => (await browser?.close(), site?.close()));

async function openPage(options = {}, init = undefined, prepare = undefined) {
  const page = await probedPage(browser, { acceptDownloads: true, ...options });
  await page.addInitScript(recordFrameTexts);
  if (init) await page.addInitScript(init);
  if (prepare) await prepare(page);
  await page.clock.install({ time: seed - 1000 });
  await page.clock.pauseAt(seed);
  await page.goto(site.url);
  await page.waitForFunction(() => window.plontaProbe.frames >= 1);
  return page;
}

// The texts drawn on the frame since the last look (plonta-sim compares the pixels around them):
// window.frameTexts, emptied by framesTexts.
function recordFrameTexts() {
  const fill = CanvasRenderingContext2D.prototype.fillText;
  window.frameTexts = [];
  CanvasRenderingContext2D.prototype.fillText = function (text, ...rest) {
    if (this.canvas.id === 'frame') window.frameTexts.push(text);
    return fill.call(this, text, ...rest);
  };
}
const framesTexts = (page) => page.evaluate(() => window.frameTexts.splice(0));

// Steps are keys (KeyboardEvent.code) pressed on the page, or numbers of ticks to let pass.
async function play(page, steps) {
  for (const step of steps) {
    if (typeof step === 'number') await page.clock.runFor(step * tickMs);
    else await page.keyboard.press(step);
  }
}

// The same game for plonta-sim: the desktop programs' commands for the page's keys.
const words = { Space: 'space', ArrowDown: 'space', ArrowLeft: 'left', ArrowRight: 'right',
                KeyP: 'pause', Pause: 'pause', Numpad0: 'pause' };
function scriptOf(steps) {
  const lines = steps.map((step) => (typeof step === 'number' ? `tick ${step}` : words[step]));
  return [`seed ${seed}`, ...lines].join('\n');
}

// options are plonta-sim's (--marks, --lang en) for the page's look.
const assertFrameIs = async (page, script, options = []) =>
  assert.deepEqual(await frameDifferences(page, script, options), { count: 0, first: [] });

// A file opened with the page's file picker, and its name in the message line.
async function openFile(page, name, text) {
  await page.setInputFiles('#open', { name, mimeType: 'text/plain', buffer: Buffer.from(text) });
  await page.waitForFunction((file) => message.textContent.includes(file), name);
}

const framesSoFar = (page) => page.evaluate(() => window.plontaProbe.frames);
const recordingOf = (page) => page.evaluate(() => new TextDecoder().decode(Module.HEAPU8.slice(
  Module._plonta_recording_data(),
  Module._plonta_recording_data() + Module._plonta_recording_size())));
// What scriptOf gives for the same moves.
const movesOf = async (page) => (await recordingOf(page)).replace(/^#.*\n/, '').trimEnd();
const message = (page) => page.locator('#message').textContent();
// What the page's live region has for a screen reader, the latest last.
const spoken = (page) => page.locator('#spoken p').allTextContents();

test('FirstFrame', async () => {
  const page = await openPage();
  assert.equal(await page.title(), 'Plonta-Test');
  await assertFrameIs(page, scriptOf([]));
});

test('PixelsMatchSim', async () => {
  // Two device pixels to a CSS pixel: 1450 of them high take the frame at 2.9, then 800 at
  // 1.6, each shown at its size over the ratio; a game with tiles on the conveyor, paddle and
  // bin.
  const page = await openPage({ deviceScaleFactor: 2, viewport: { width: 1280, height: 725 } });
  const size = () => page.evaluate(() => {
    const canvas = document.getElementById('frame');
    return [canvas.width, canvas.getBoundingClientRect().width];
  });
  assert.deepEqual(await size(), [1160, 580]);
  const steps = ['Space', 20, 'ArrowRight', 'Space', 9, 'ArrowLeft', 'Space', 12];
  await play(page, steps);
  await assertFrameIs(page, scriptOf(steps));
  await page.setViewportSize({ width: 1280, height: 400 });
  // The page hears of its new size when the browser gets round to it, later on a busy machine.
  for (let i = 0; i < 100 && (await size())[0] !== 640; ++i) await setTimeout(50);
  await play(page, [1]);
  assert.deepEqual(await size(), [640, 320]);
  await assertFrameIs(page, scriptOf([...steps, 1]));
});

test('Keys', async () => {
  const page = await openPage();
  const steps = ['Space', 16, 'ArrowLeft', 'ArrowLeft', 'ArrowDown', 6, 'ArrowRight', 'KeyP', 8,
                 'Pause', 4, 'Numpad0', 3, 'Numpad0', 'Space', 5];
  await play(page, steps);
  await assertFrameIs(page, scriptOf(steps));
  // Arrows and Space never scroll the page.
  assert.equal(await page.evaluate(() => window.scrollY), 0);
});

test('HiddenPageStopsTicks', async () => {
  // Nothing ticks while hidden; mid-game, not in Ready, the game comes back paused by a P.
  const page = await openPage();
  const setHidden = (hidden) => page.evaluate((value) => {
    Object.defineProperty(document, 'hidden', { value, configurable: true });
    document.dispatchEvent(new Event('visibilitychange'));
  }, hidden);
  const hideAndReturn = async () => {
    await setHidden(true);
    const frames = await framesSoFar(page);
    await page.clock.runFor(20 * tickMs);
    assert.equal(await framesSoFar(page), frames);
    await setHidden(false);
  };
  await hideAndReturn();
  await play(page, ['Space', 14]);
  await hideAndReturn();
  await play(page, [3]);
  await assertFrameIs(page, scriptOf(['Space', 14, 'KeyP', 3]));
  await hideAndReturn();
  await play(page, [2, 'KeyP', 6]);
  assert.equal(await movesOf(page), scriptOf(['Space', 14, 'KeyP', 5, 'KeyP', 6]));
});

test('EscapeEnds', async () => {
  const page = await openPage();
  await play(page, ['Space', 2, 'Escape']);
  const frames = await framesSoFar(page);
  assert.match(await message(page), /^Escape hat das Spiel beendet/);
  // The language control then changes the setting and the message, but starts nothing.
  await page.click('#language');
  assert.match(await message(page), /^Escape ended the game/);
  await play(page, [8]);
  assert.equal(await framesSoFar(page), frames);
  // Any key then starts a fresh game, seeded from the clock then, in the language chosen.
  await play(page, ['KeyA', 'Space', 5]);
  const later = scriptOf(['Space', 5]).replace(`seed ${seed}`, `seed ${seed + 10 * tickMs}`);
  await assertFrameIs(page, later, ['--lang', 'en']);
});

test('MarksLanguageAndSpeech', async () => {
  // A German browser's page; its controls make it English with the marks, then a line of
  // three: the live region says so, and the frame is plonta-sim's in that look. C and L turn
  // both back, and the controls follow.
  const page = await openPage();
  const look = () => page.evaluate(() => [document.documentElement.lang,
    document.getElementById('frame').getAttribute('aria-label'),
    document.getElementById('marks').getAttribute('aria-pressed')]);
  const ready = 'Neues Spiel. Start mit der Leertaste.';
  assert.deepEqual(await spoken(page), [ready]);
  await page.click('#language');
  await page.click('#marks');
  assert.deepEqual(await look(), ['en', 'Plonta: the playfield', 'true']);
  // Three tiles of one colour caught in lanes 1, 2 and 0, all dropped into column 0.
  const steps = ['Space', 15, 'ArrowLeft', 10, 'ArrowRight', 10, 'ArrowLeft', 'ArrowLeft', 6,
                 'Space', 'Space', 'Space', 2];
  await play(page, steps);
  assert.deepEqual((await spoken(page)).slice(-2),
                   ['The game has started. Level 1, goal: 5 vertical lines.',
                    'A line of 3 tiles: 50 points.']);
  await assertFrameIs(page, scriptOf(steps), ['--marks', '--lang', 'en']);
  // The marks show in the pixels, which differ without them; the language in the texts
  // drawn, whose pixels the comparison leaves out.
  assert.notEqual((await frameDifferences(page, scriptOf(steps), ['--lang', 'en'])).count, 0);
  assert.ok((await framesTexts(page)).includes('Vertical lines'));
  await play(page, ['KeyL', 'KeyC']);
  assert.deepEqual(await look(), ['de', 'Plonta: das Spielfeld', 'false']);
  await assertFrameIs(page, scriptOf(steps));
  assert.ok((await framesTexts(page)).includes('Leben: 5'));
  // The same sentence twice is two sentences: F2 twice in a row.
  await play(page, ['F2', 'F2']);
  assert.deepEqual((await spoken(page)).slice(-2), [ready, ready]);
});

test('FirstVisitLanguage', async () => {
  // A browser that reads English gets the game in English; L is kept over a reload, whatever
  // the browser reads.
  const page = await openPage({ locale: 'en-US' });
  assert.ok((await framesTexts(page)).includes('Press Space to start.'));
  await play(page, ['KeyL']);
  await page.evaluate(() => plontaKept.writing);
  await page.reload();
  await page.waitForFunction(() => window.plontaProbe.frames >= 1);
  assert.ok((await framesTexts(page)).includes('Start mit Leertaste.'));
});

test('RecordingToSim', async () => {
  const page = await openPage();
  const steps = ['Space', 10, 'ArrowRight', 'Space', 6, 'KeyP', 3, 'KeyP', 'ArrowDown', 4];
  await play(page, steps);
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#save')]);
  assert.match(download.suggestedFilename(), /^plonta-.*\.sim$/);
  const text = Buffer.concat(await (await download.createReadStream()).toArray()).toString();
  assert.equal(runSim(`${text}\ndump\n`), runSim(`${scriptOf(steps)}\ndump\n`));
  await assertFrameIs(page, text);
});

test('RecordingFromSim', async () => {
  const page = await openPage();
  const script = 'seed 424242\nspace\ntick 18\nleft\nspace\ntick 7\nright\nright\nspace\ntick 11';
  await openFile(page, 'game.sim', script + '\n');
  // Played back at speed 1; it waits for a key at its end.
  await page.clock.runFor(60 * tickMs);
  await assertFrameIs(page, script);
});

test('RefusedRecording', async () => {
  const page = await openPage();
  await openFile(page, 'bad.sim', 'seed 3\ntick 2\ndump\n');
  assert.match(await message(page), /^plonta: bad\.sim: line 3: /);
});

// No real pad plugs into headless chromium: the page's navigator reports pad 0 as setPad left
// it ({ buttons: [standard buttons held], stick: across }, or null for none) and counts reads.
function stubPads() {
  let pad = null;
  window.padReads = 0;
  Object.defineProperty(Navigator.prototype, 'getGamepads',
                        { value: () => (window.padReads++, [pad, null, null, null]) });
  window.setPad = (held) => {
    const plugged = !pad !== !held;
    const buttons = Array.from({ length: 17 }, (_, i) => ({ pressed: held?.buttons?.includes(i) }));
    pad = held && { connected: true, axes: [held.stick ?? 0, 0], buttons };
    if (plugged) window.dispatchEvent(new Event(held ? 'gamepadconnected' : 'gamepaddisconnected'));
  };
}

// Steps are [what setPad takes, then ms to pass].
async function playPad(page, steps) {
  for (const [held, ms] of steps) {
    await page.evaluate((held) => window.setPad(held), held);
    await page.clock.runFor(ms);
  }
}

test('Gamepad', async () => {
  const page = await openPage({}, stubPads);
  const reads = () => page.evaluate(() => window.padReads);
  await page.clock.runFor(2000);
  assert.equal(await reads(), 0);
  // A; the D-pad right held to one repeat; the stick left, then inside its dead zone; unplugged
  // mid-game; Start; Back.
  const [south, back, start, right] = [0, 8, 9, 15];
  await playPad(page, [[{ buttons: [south] }, 100], [{}, 100], [{ buttons: [right] }, 450],
                       [{}, 100], [{ stick: -0.9 }, 100], [{ stick: -0.3 }, 600], [{}, 2500],
                       [null, 1000]]);
  const unplugged = await reads();
  await playPad(page, [[null, 1000]]);
  assert.equal(await reads(), unplugged);
  await playPad(page, [[{ buttons: [start] }, 100], [{}, 300], [{ buttons: [back] }, 100]]);
  const recording = await recordingOf(page);
  const commands = recording.split('\n').filter((line) => !/^(tick|#|$)/.test(line));
  assert.deepEqual(commands.map((line) => line.split(' ')[0]),
                   ['seed', 'space', 'right', 'right', 'left', 'pause', 'pause', 'seed']);
  await assertFrameIs(page, recording);
});

test('SoundAfterTheFirstKey', async () => {
  // The context waits for a key; the first tile reaching the paddle's end (caught or missed)
  // wakes it, and its processor then plays the mixer's sound on the browser's own clock. M
  // silences what comes next.
  const page = await openPage();
  const state = () => page.evaluate(() => plontaPage.sound?.context.state);
  assert.notEqual(await state(), 'running');
  await play(page, ['Space', 22]);
  await page.waitForFunction(() => plontaPage.sound.heard > 0, null, { polling: 100 });
  await play(page, ['KeyM', 11]);
  const heard = await page.evaluate(() => plontaPage.sound.heard);
  await page.waitForTimeout(500);
  assert.equal(await page.evaluate(() => plontaPage.sound.heard), heard);
  // M lasts: the next game, after Escape, is as silent.
  await play(page, ['Escape', 'KeyA', 'Space', 22]);
  await page.waitForTimeout(1000);
  assert.equal(await page.evaluate(() => plontaPage.sound.heard), 0);
});

test('KeptOverAReload', async () => {
  // M, and a game left by Escape with a score: both are there after a reload.
  const page = await openPage();
  await play(page, ['KeyM', 'Space', 30, 'Escape']);
  const score = JSON.parse(runSim(`${scriptOf(['Space', 30])}\ndump\n`)).score;
  assert.ok(score > 0);
  await page.evaluate(() => plontaKept.writing);
  await page.reload();
  await page.waitForFunction(() => window.plontaProbe.frames >= 1);
  const rows = page.locator('#best a');
  assert.equal(await rows.count(), 1);
  assert.match(await rows.first().textContent(), new RegExp(`^${score} \\(Level 1, `));
  const recording = await page.evaluate(async () =>
    (await fetch(document.querySelector('#best a').href)).text());
  assert.equal(JSON.parse(runSim(`${recording}\ndump\n`)).score, score);
  // Started muted: M now turns the sound on, and that is kept.
  const settings = () => page.evaluate(() =>
    new TextDecoder().decode(plontaKept.bytes('settings.txt')).split('\n'));
  assert.ok((await settings()).includes('mute=1'));
  await play(page, ['KeyM']);
  assert.ok((await settings()).includes('mute=0'));
});

test('SendBestGame', async () => {
  // The page as plonta-server serves it (its API on the same origin, stood in for here): the
  // server field takes the page's origin, a name typed there plays no key, and only a click on
  // Send posts the kept recording under that name; the message line says the rank, then the
  // server's refusal.
  const posted = [];
  const answers = [[201, { id: 1, score: 5, level: 1, rank: 4 }], [422, { error: 'not a game' }]];
  const page = await openPage({}, undefined, (opened) => opened.route('**/api/**', (route) => {
    const request = route.request();
    if (request.method() === 'POST') posted.push([request.url(), request.postData()]);
    const [status, body] = request.method() === 'POST' ? answers.shift() : [200, []];
    route.fulfill({ status, contentType: 'application/json', body: JSON.stringify(body) });
  }));
  await play(page, ['Space', 30, 'Escape', 1]);
  await page.evaluate(() => plontaKept.writing);
  const send = page.locator('#best button');
  await send.waitFor();
  const origin = new URL(site.url).origin;
  await page.waitForFunction(() => document.getElementById('server').value !== '');
  assert.equal(await page.inputValue('#server'), origin);
  const frames = await framesSoFar(page);
  await page.locator('#player').pressSequentially('Anna Ünal ');
  await play(page, [4]);
  assert.equal(await framesSoFar(page), frames);
  assert.deepEqual(posted, []);
  const kept = await page.evaluate(() =>
    new TextDecoder().decode(plontaKept.bytes(`best/${plontaKept.games()[0]}`)));
  await send.click();
  await page.waitForFunction(() => /Platz/.test(message.textContent));
  assert.equal(await message(page), 'Gesendet: Platz 4 auf dem Server');
  assert.deepEqual(posted, [[`${origin}/api/games?name=Anna%20%C3%9Cnal`, kept]]);
  await send.click();
  await page.waitForFunction(() => /abgelehnt/.test(message.textContent));
  assert.equal(await message(page), 'Vom Server abgelehnt: not a game');
  assert.equal(await page.evaluate(() => localStorage.getItem('plonta.player')), 'Anna Ünal');
});

// Touches on the frame, each a list of points in the frame's pixels: one for a tap.
const tap = (x, y) => [[x, y]];
const drag = (...points) => points;

test('Touch', async () => {
  // A phone held upright. Each row: touches, the pause control or ticks; the keys that make
  // the same moves.
  const phone = { viewport: { width: 390, height: 844 }, deviceScaleFactor: 3, hasTouch: true,
                  isMobile: true };
  const session = [
    [[tap(200, 480)], ['Space']], [20], [[tap(60, 200)], ['ArrowLeft', 'ArrowLeft']],
    [[drag([10, 150], [110, 160], [170, 400], [399, 180])], Array(4).fill('ArrowRight')],
    [[tap(200, 345), tap(200, 345)], ['Space', 'Space']], [[drag([300, 30], [300, 499])], []],
    ['pause', ['KeyP']], [3], [[tap(200, 200)], []], ['pause', ['KeyP']],
    [[drag([280, 100], [290, 300])], ['ArrowLeft', 'ArrowRight']], [120],
    [[tap(20, 20)], ['Space']], [5],
  ];
  const [touched, keyed] = [await openPage(phone), await openPage()];
  const box = await touched.locator('#frame').boundingBox();
  const at = ([x, y]) => ({ x: box.x + (x * box.width) / 400, y: box.y + (y * box.height) / 500 });
  const cdp = await touched.context().newCDPSession(touched);
  const touch = (type, point) =>
    cdp.send('Input.dispatchTouchEvent', { type, touchPoints: point ? [at(point)] : [] });
  for (const [moves, keys = [moves]] of session) {
    if (moves === 'pause') await touched.tap('#pause');
    else if (typeof moves === 'number') await play(touched, [moves]);
    for (const [first, ...rest] of Array.isArray(moves) ? moves : []) {
      await touch('touchStart', first);
      for (const point of rest) await touch('touchMove', point);
      await touch('touchEnd');
    }
    await play(keyed, keys);
    // The same recording, once the page has handled the touches.
    const expected = await recordingOf(keyed);
    await touched.waitForFunction((size) => Module._plonta_recording_size() >= size,
                                  expected.length);
    assert.equal(await recordingOf(touched), expected);
  }
  await assertFrameIs(touched, scriptOf(session.flatMap(([moves, keys = [moves]]) => keys)));
  // The frame whole in the viewport, nothing scrolled or zoomed, the pause control a thumb's
  // size above the frame, no key hints.
  const [frame, pause, hints, moved] = await touched.evaluate(() => [
    ...['frame', 'pause', 'keys'].map((id) => document.getElementById(id).getBoundingClientRect()),
    [scrollX, scrollY, visualViewport.scale, visualViewport.pageTop]]);
  assert.ok(frame.left >= 0 && frame.top >= 0 && frame.right <= 390 && frame.bottom <= 844 &&
            pause.width >= 48 && pause.height >= 48 && pause.bottom <= frame.top);
  assert.deepEqual([hints.width, ...moved], [0, 0, 0, 1, 0]);
});

test('Offline', async () => {
  // After one visit a changed page is a new version, whole at the load after the one that
  // found it, the old cache gone; with the site away and the network off, the page starts.
  const changed = new Map();
  const ownSite = await serve(undefined, changed);
  const { context, close } = await probedProfile();
  const [page] = context.pages();
  await page.goto(ownSite.url);
  await page.evaluate(() => navigator.serviceWorker.ready);
  const file = (name) => readFileSync(join(process.env.PLONTA_SITE, name), 'utf8');
  changed.set('/page.css', file('page.css') + '/* changed */\n');
  changed.set('/sw.js', file('sw.js').replace(/plonta-\w+/, 'plonta-changed'));
  await page.reload();
  // The new version takes over once the page has loaded; the old cache goes then.
  const cacheNames = () => page.evaluate(() => caches.keys().then((names) => names.join()));
  for (let i = 0; i < 200 && (await cacheNames()) !== 'plonta-changed'; ++i) await setTimeout(50);
  assert.equal(await cacheNames(), 'plonta-changed');
  ownSite.close();
  await context.setOffline(true);
  await page.reload();
  await page.waitForFunction(() => window.plontaProbe.frames >= 1);
  assert.match(await page.evaluate(() => fetch('page.css').then((r) => r.text())), /changed/);
  await close();
});
