// The page's worker: every file of the page kept in a cache named for their version, so that
// after one visit the page loads and plays without the network. worker.cmake fills in the
// version and the files.
'use strict';
const cacheName = 'plonta-@VERSION@';
const files = [@FILES@];

self.addEventListener('install', (event) => {
  // Past the browser's own cache, which may still hold an older version's file.
  event.waitUntil(caches.open(cacheName).then((cache) =>
    cache.addAll(files.map((file) => new Request(file, { cache: 'reload' })))));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys().then((names) => Promise.all(names
    .filter((name) => name.startsWith('plonta-') && name !== cacheName)
    .map((name) => caches.delete(name)))));
});

// A new version waits until the page that found it has loaded all it needs (page.js), so no
// page mixes two versions' files; the next load is then wholly the new one.
self.addEventListener('message', (event) => {
  if (event.data === 'take over') self.skipWaiting();
});

self.addEventListener('fetch', (event) => {
  // A game sent to a score server goes straight to the network.
  if (event.request.method !== 'GET') return;
  const wanted = event.request.mode === 'navigate' ? 'index.html' : event.request;
  event.respondWith(caches.open(cacheName)
    .then((cache) => cache.match(wanted, { ignoreSearch: true }))
    .then((kept) => kept ?? fetch(event.request)));
});
