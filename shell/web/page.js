// The page around the game: the font, then the program; the message line, the page's own texts
// in the player's language, a screen reader's sentences, fullscreen, touch on the frame, the
// screen kept on, offline play, recordings saved, opened or dropped on the page, and best games
// sent to a score server.
'use strict';

// The page's own texts, in the languages the game has; {} is a message's detail. The language
// control is named in the language it changes to.
const pageTexts = {
  de: {
    save: 'Aufnahme speichern', open: 'Aufnahme öffnen', fullscreen: 'Vollbild', pause: 'Pause',
    marks: 'Symbole', language: 'English',
    keys: 'Pfeile bewegen, Leertaste lässt fallen, P hält an, Escape beendet',
    best: 'Bestenliste', frame: 'Plonta: das Spielfeld',
    loading: 'Lädt…', text: '{}',
    ended: 'Escape hat das Spiel beendet: eine Taste oder ein Klick startet ein neues',
    playingBack: 'Spielt {} ab: eine Spieltaste nach dem Ende spielt von dort weiter',
    noPicture: 'Spiel ohne Bild: {}', noFullscreen: 'Kein Vollbild: {}',
    notKept: 'Die Seite konnte ihre Daten nicht behalten: {}',
    stopped: 'Das Spiel ist stehen geblieben: {}', notLoaded: 'Das Spiel lud nicht (plonta.js)',
    server: 'Server', player: 'Name', send: 'Senden', sending: 'Wird gesendet…',
    sent: 'Gesendet: Platz {} auf dem Server', refused: 'Vom Server abgelehnt: {}',
    noAnswer: 'Der Server antwortet nicht: {}',
    noServer: 'Erst den Server eintragen (http://…)', noName: 'Erst einen Namen eintragen (1 bis 24 Zeichen)',
  },
  en: {
    save: 'Save recording', open: 'Open recording', fullscreen: 'Fullscreen', pause: 'Pause',
    marks: 'Tile marks', language: 'Deutsch',
    keys: 'Arrows move, Space drops, P pauses, Escape ends',
    best: 'Best games', frame: 'Plonta: the playfield',
    loading: 'Loading…', text: '{}',
    ended: 'Escape ended the game: press a key or click to play again',
    playingBack: 'Playing back {}: a game key after its end plays on from there',
    noPicture: 'Playing without a picture: {}', noFullscreen: 'No fullscreen: {}',
    notKept: 'The page could not keep its data: {}',
    stopped: 'The game stopped: {}', notLoaded: 'The game did not load (plonta.js)',
    server: 'Server', player: 'Name', send: 'Send', sending: 'Sending…',
    sent: 'Sent: number {} on the server', refused: 'Refused by the server: {}',
    noAnswer: 'The server does not answer: {}',
    noServer: 'Enter the server first (http://…)', noName: 'Enter a name first (1 to 24 characters)',
  },
};

// What the program calls on the page (shell/web/web_shell.cpp).
var plontaPage = {
  // The family the frame's texts are drawn in, loaded before the program starts.
  fontFamily: 'Comic Neue',
  // The tick's interval, set and cleared by the program.
  timer: undefined,
  language: 'en',
  // The message shown, by its text's name, so that it follows a change of language.
  said: ['loading', ''],
  say(name, detail = '') {
    this.said = [name, String(detail)];
    document.getElementById('message').textContent =
        pageTexts[this.language][name].replace('{}', () => this.said[1]);
  },
  // The first of the browser's languages that the game has; English for a visitor who reads
  // neither.
  browserLanguage() {
    const asked = navigator.languages?.length ? navigator.languages : [navigator.language];
    const known = asked.map((tag) => String(tag).split('-')[0].toLowerCase())
        .find((code) => code in pageTexts);
    return known ?? 'en';
  },
  // The page's texts and lang in this language ("de" or "en").
  useLanguage(language) {
    this.language = language in pageTexts ? language : 'en';
    const texts = pageTexts[this.language];
    document.documentElement.lang = this.language;
    for (const element of document.querySelectorAll('[data-text]'))
      element.textContent = texts[element.dataset.text];
    document.getElementById('language').lang = this.language === 'de' ? 'en' : 'de';
    document.getElementById('frame').setAttribute('aria-label', texts.frame);
    this.say(...this.said);
  },
  // The program's marks and language, at its start and at every change: by key, by the
  // page's controls, or kept from the last visit.
  settingsShown(marks, language) {
    document.getElementById('marks').setAttribute('aria-pressed', String(marks));
    if (language !== this.language) this.useLanguage(language);
  },
  // A moment of play for a screen reader: each sentence a node of its own, so that the same
  // sentence twice is spoken twice; the last few stay.
  announce(sentence) {
    const region = document.getElementById('spoken');
    const line = document.createElement('p');
    line.textContent = sentence;
    region.append(line);
    while (region.childElementCount > 3) region.firstElementChild.remove();
  },
  toggleFullscreen() {
    if (document.fullscreenElement) {
      document.exitFullscreen();
      return;
    }
    const request = () => document.getElementById('stage').requestFullscreen().catch(
      (error) => plontaPage.say('noFullscreen', error.message));
    // Kept from the last visit, it comes at the page's start, where the browser allows it only
    // in answer to a key or a click: at the first one.
    if (navigator.userActivation && !navigator.userActivation.isActive) {
      const once = () => {
        window.removeEventListener('keydown', once, true);
        window.removeEventListener('pointerdown', once, true);
        request();
      };
      window.addEventListener('keydown', once, true);
      window.addEventListener('pointerdown', once, true);
      return;
    }
    request();
  },
  // The screen's lock while the conveyor runs, where the browser has one: a promise of it,
  // held or asked for. The browser lets go of it while the page is hidden.
  wakeLock: undefined,
  awake: false,
  keepAwake(awake) {
    this.awake = awake;
    if (!awake) {
      this.wakeLock?.then((lock) => lock?.release());
      this.wakeLock = undefined;
    } else if (!this.wakeLock && navigator.wakeLock && !document.hidden) {
      const forget = () => {
        if (this.wakeLock === asked) this.wakeLock = undefined;
      };
      const asked = navigator.wakeLock.request('screen').then((lock) => {
        lock.addEventListener('release', forget);
        return lock;
      }, forget);
      this.wakeLock = asked;
    }
  },
};

// The data folder (shell/web/web_data_folder.cpp): the page's IndexedDB, read whole into memory
// before the game starts, each change then written through in a transaction of its own, which
// keeps a file whole or not at all. Paths: "settings.txt" and "best/NAME".
var plontaKept = {
  files: new Map(),
  db: undefined,
  // The writes still on their way to the database, in their order.
  writing: Promise.resolve(),
  failureTold: false,
  async open() {
    // Asked, not required: without it the browser may clear the storage when it runs short.
    navigator.storage?.persist?.().catch(() => {});
    try {
      this.db = await new Promise((resolve, reject) => {
        const request = indexedDB.open('plonta', 1);
        request.onupgradeneeded = () => request.result.createObjectStore('files');
        request.onsuccess = () => resolve(request.result);
        request.onerror = () => reject(request.error);
      });
      await new Promise((resolve, reject) => {
        const request = this.db.transaction('files').objectStore('files').openCursor();
        request.onsuccess = () => {
          const cursor = request.result;
          if (!cursor) return resolve();
          const file = cursor.value;
          if (file?.bytes instanceof Uint8Array) this.files.set(String(cursor.key), file);
          cursor.continue();
        };
        request.onerror = () => reject(request.error);
      });
    } catch (error) {
      // Storage refused (a private window, a full disk): the game plays as without it.
      console.warn('No data kept for this page: ' + error);
      this.db = undefined;
    }
  },
  size(path) { return this.files.get(path)?.bytes.length ?? -1; },
  bytes(path) { return this.files.get(path)?.bytes ?? new Uint8Array(); },
  modified(path) { return this.files.get(path)?.modified ?? 0; },
  games() {
    return [...this.files.keys()].filter((path) => /^best\/[^/]+\.sim$/.test(path))
        .map((path) => path.slice('best/'.length));
  },
  write(path, bytes) {
    if (!this.db) return false;
    const file = { bytes, modified: Math.floor(Date.now() / 1000) };
    this.files.set(path, file);
    this.change((store) => store.put(file, path));
    return true;
  },
  remove(path) {
    this.files.delete(path);
    if (this.db) this.change((store) => store.delete(path));
  },
  change(edit) {
    this.writing = this.writing.then(() => new Promise((resolve) => {
      const transaction = this.db.transaction('files', 'readwrite');
      edit(transaction.objectStore('files'));
      transaction.oncomplete = resolve;
      transaction.onerror = transaction.onabort = () => {
        if (!this.failureTold) plontaPage.say('notKept', transaction.error);
        this.failureTold = true;
        resolve();
      };
    }));
    // After the program's call returns: a game kept may remove others in the same call.
    setTimeout(showBestGames, 0);
  },
};

// The best games beside the frame, each with its recording to download.
function showBestGames() {
  const list = document.getElementById('best');
  list.replaceChildren();
  const size = Module._plonta_best_games_size();
  const at = Module._plonta_best_games_data();
  const text = new TextDecoder().decode(Module.HEAPU8.slice(at, at + size));
  const rows = text.split('\n').filter(Boolean);
  for (const row of rows) {
    const [name, score, level, date] = row.split('\t');
    const item = document.createElement('li');
    const link = document.createElement('a');
    link.textContent = `${score} (Level ${level}, ${date})`;
    link.download = name;
    link.href = URL.createObjectURL(new Blob([plontaKept.bytes('best/' + name)],
                                             { type: 'text/plain' }));
    const send = document.createElement('button');
    send.type = 'button';
    send.dataset.text = 'send';
    send.textContent = pageTexts[plontaPage.language].send;
    send.addEventListener('click', () => {
      send.blur();
      plontaScores.send(plontaKept.bytes('best/' + name));
    });
    item.append(link, ' ', send);
    list.append(item);
  }
  document.getElementById('best-games').hidden = rows.length === 0;
}

// A score server the player names, kept in localStorage (the game's own settings file is the
// desktop programs' format); a game goes to it only at a click on its Send.
var plontaScores = {
  timeoutMs: 15000,
  busy: false,
  field: (id) => document.getElementById(id),
  // The field as the player left it; else the page's own origin, when the server there answers
  // for the table: the page is then plonta-server's own.
  async wire() {
    for (const id of ['server', 'player']) {
      this.field(id).value = localStorage.getItem('plonta.' + id) ?? '';
      this.field(id).addEventListener('change', () =>
        localStorage.setItem('plonta.' + id, this.field(id).value.trim()));
    }
    if (this.field('server').value || !/^https?:$/.test(location.protocol)) return;
    try {
      const table = await fetch(new URL('api/scores?limit=1', this.root()));
      if (table.ok && /json/.test(table.headers.get('Content-Type')))
        this.field('server').value ||= location.origin;
    } catch {
      // No server here: the field stays empty.
    }
  },
  // plonta-server serves the page under a path and its API at /api/ of the same origin.
  root: () => location.origin + '/',
  async send(bytes) {
    const server = this.field('server').value.trim().replace(/\/+$/, '');
    const name = this.field('player').value.trim();
    if (!/^https?:\/\/[^/]/.test(server)) return plontaPage.say('noServer');
    if (name.length < 1 || [...name].length > 24) return plontaPage.say('noName');
    if (this.busy) return;
    this.busy = true;
    plontaPage.say('sending');
    try {
      const answer = await fetch(`${server}/api/games?name=${encodeURIComponent(name)}`, {
        method: 'POST', body: bytes, headers: { 'Content-Type': 'text/plain' },
        signal: AbortSignal.timeout(this.timeoutMs),
      });
      const json = await answer.json().catch(() => ({}));
      if (answer.ok && Number.isInteger(json.rank)) plontaPage.say('sent', json.rank);
      else plontaPage.say('refused', json.error ?? `HTTP ${answer.status}`);
    } catch (error) {
      plontaPage.say('noAnswer', error.message);
    } finally {
      this.busy = false;
    }
  },
};

// Gamepads: the browser tells when one comes or goes, not when a button is pressed, so the page
// reads them as often as the game asks, but only while one is connected.
var plontaPads = {
  timer: undefined,
  // The standard mapping's buttons: bit i for buttons[i].
  read() {
    const pads = navigator.getGamepads();
    let connected = false;
    // Every slot that ever held a pad, so the game hears of one that went.
    for (let slot = 0; slot < pads.length; ++slot) {
      const pad = pads[slot];
      let buttons = 0;
      (pad?.buttons ?? []).forEach((button, i) => {
        if (button.pressed && i < 32) buttons |= 1 << i;
      });
      connected = Module._plonta_pad(slot, pad?.connected ? 1 : 0, buttons >>> 0,
                                     pad?.axes[0] ?? 0) !== 0;
    }
    if (!connected) {
      clearInterval(plontaPads.timer);
      plontaPads.timer = undefined;
    }
  },
  changed() {
    plontaPads.read();
    if (plontaPads.timer === undefined && navigator.getGamepads().some((pad) => pad?.connected)) {
      plontaPads.timer = setInterval(plontaPads.read, Module._plonta_pad_poll_ms());
    }
  },
};

// emscripten's program reads its settings from here.
var Module = {
  print: (text) => console.log(text),
  printErr: (text) => console.warn(text),
  onAbort: (what) => plontaPage.say('stopped', what),
  // After main: the game runs, and recordings can go in and out.
  postRun: [() => {
    for (const id of ['save', 'open', 'pause', 'marks', 'language'])
      document.getElementById(id).disabled = false;
    showBestGames();
    wireFrame();
    // Back from hidden: the lock again, if the game still wants it.
    document.addEventListener('visibilitychange', () => plontaPage.keepAwake(plontaPage.awake));
    keepOffline();
    // Leaving the page leaves the game: one with a score is kept first.
    window.addEventListener('pagehide', () => Module._plonta_page_going());
    // Pads only where the browser offers them: a page served over plain http has none.
    if (navigator.getGamepads) {
      window.addEventListener('gamepadconnected', plontaPads.changed);
      window.addEventListener('gamepaddisconnected', plontaPads.changed);
    }
  }],
};

// Pointers on the frame (fingers, the mouse), where they are as fractions of its size; the
// game makes them its commands. A pointer that went down keeps reporting wherever it goes.
function wireFrame() {
  const frame = document.getElementById('frame');
  const report = (phase, event) => {
    const box = frame.getBoundingClientRect();
    Module._plonta_pointer(phase, event.pointerId, (event.clientX - box.left) / box.width,
                           (event.clientY - box.top) / box.height);
  };
  frame.addEventListener('pointerdown', (event) => {
    if (event.button !== 0) return;
    frame.setPointerCapture(event.pointerId);
    report(0, event);
  });
  frame.addEventListener('pointermove', (event) => {
    if (frame.hasPointerCapture(event.pointerId)) report(1, event);
  });
  for (const type of ['pointerup', 'pointercancel'])
    frame.addEventListener(type, (event) => report(2, event));
}

// Kept by sw.js for offline play. A new version the browser finds waits until this page has
// loaded all it needs, then takes over for the next load.
function keepOffline() {
  const notKept = (error) => console.warn('Not kept for offline play: ' + error);
  try {
    navigator.serviceWorker?.register('sw.js').then((registration) => {
      const takeOver = () => registration.waiting?.postMessage('take over');
      takeOver();
      // Offline there is nothing to find.
      registration.update().catch(() => {});
      registration.addEventListener('updatefound', () => {
        const worker = registration.installing;
        worker?.addEventListener('statechange', () => worker.state === 'installed' && takeOver());
      });
    }, notKept);
  } catch (error) {
    // A sandboxed frame (a portal's) may not even ask.
    notKept(error);
  }
}

function twoDigits(number) {
  return String(number).padStart(2, '0');
}

function saveRecording() {
  const at = Module._plonta_recording_data();
  const bytes = Module.HEAPU8.slice(at, at + Module._plonta_recording_size());
  const now = new Date();
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([bytes], {type: 'text/plain'}));
  link.download = `plonta-${now.getFullYear()}-${twoDigits(now.getMonth() + 1)}-` +
      `${twoDigits(now.getDate())}-${twoDigits(now.getHours())}${twoDigits(now.getMinutes())}` +
      `${twoDigits(now.getSeconds())}.sim`;
  link.click();
  // The download has its bytes once the click is handled.
  setTimeout(() => URL.revokeObjectURL(link.href), 1000);
}

async function openRecording(file) {
  // The game refuses a larger file unread, as the desktop programs do: no need to copy it all.
  const limit = Module._plonta_recording_limit();
  const bytes = new Uint8Array(await file.slice(0, limit).arrayBuffer());
  const name = new TextEncoder().encode(file.name);
  const at = Module._malloc(name.length + bytes.length + 1);
  Module.HEAPU8.set(name, at);
  Module.HEAPU8.set(bytes, at + name.length);
  Module._plonta_open_recording(at, name.length, at + name.length, bytes.length);
  Module._free(at);
}

function wireControls() {
  // Typing in the page's fields is no play: the game's own listener, on the window too, comes
  // after this one.
  window.addEventListener('keydown', (event) => {
    if (event.target instanceof HTMLInputElement) event.stopImmediatePropagation();
  }, true);
  plontaScores.wire();
  const save = document.getElementById('save');
  const open = document.getElementById('open');
  const fullscreen = document.getElementById('fullscreen');
  // A focused button would take Space and the arrows from the game.
  save.addEventListener('click', () => {
    save.blur();
    saveRecording();
  });
  open.addEventListener('change', () => {
    const file = open.files[0];
    open.value = '';
    open.blur();
    if (file) openRecording(file);
  });
  fullscreen.addEventListener('click', () => {
    fullscreen.blur();
    plontaPage.toggleFullscreen();
  });
  // As C and L; the program tells the page what they now are.
  for (const [id, pressed] of [['marks', () => Module._plonta_marks_pressed()],
                               ['language', () => Module._plonta_language_pressed()]]) {
    const control = document.getElementById(id);
    control.addEventListener('click', () => {
      control.blur();
      pressed();
    });
  }
  // At the touch, not the click: a click the browser holds back or drops (after a swipe on
  // the frame) would come late or never.
  const pause = document.getElementById('pause');
  pause.addEventListener('pointerdown', (event) => {
    event.preventDefault();
    if (!pause.disabled) Module._plonta_pause_pressed();
  });
  // A long press on the frame is play, not a menu.
  document.getElementById('stage').addEventListener('contextmenu', (event) =>
    event.preventDefault());
  window.addEventListener('dragover', (event) => event.preventDefault());
  window.addEventListener('drop', (event) => {
    event.preventDefault();
    const file = event.dataTransfer.files[0];
    if (file && !open.disabled) openRecording(file);
  });
}

// The first frame's texts need the font: it loads before the program starts.
async function start() {
  // Until the program says what the player chose: the browser's language.
  plontaPage.useLanguage(plontaPage.browserLanguage());
  wireControls();
  // The kept data is read while the font loads, not after it.
  const kept = plontaKept.open();
  try {
    const face = new FontFace(plontaPage.fontFamily, 'url(ComicNeue-Regular.woff)');
    document.fonts.add(await face.load());
  } catch (error) {
    console.warn(plontaPage.fontFamily + ' did not load: ' + error);
  }
  await kept;
  const program = document.createElement('script');
  program.src = 'plonta.js';
  program.onerror = () => plontaPage.say('notLoaded');
  document.body.appendChild(program);
}

start();
