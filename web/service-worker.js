// Keeps the site's files so that the game opens and plays without a network after one
// visit. tools/build_web.sh writes the site's version (a digest of its files) and their
// names below; a new version is a new cache, and the old one goes once it has taken over.
'use strict';

const VERSION = '@SITE_VERSION@';
const FILES = [/* @SITE_FILES@ */];
const PREFIX = 'gorvenshale-';
const CACHE = PREFIX + VERSION;
// A copy not made by the build (no version written in) keeps nothing.
const STAMPED = !VERSION.startsWith('@');

self.addEventListener('install', (event) => {
  if (!STAMPED) return;
  // Fetched past the browser's own cache, so that the new version is the server's.
  event.waitUntil(caches.open(CACHE)
    .then((cache) => cache.addAll(FILES.map((f) => new Request(f, { cache: 'reload' }))))
    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((n) => n.startsWith(PREFIX) && n !== CACHE)
      .map((n) => caches.delete(n))))
    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  const url = new URL(request.url);
  if (!STAMPED || request.method !== 'GET' || url.origin !== location.origin) return;
  // The page is one file whatever its address's options; the site's folder is its page.
  const page = request.mode === 'navigate';
  const key = page && url.pathname.endsWith('/') ? new URL('index.html', url) : request;
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(key, { ignoreSearch: page }))
    .then((kept) => kept || fetch(request)));
});
