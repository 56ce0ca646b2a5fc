// Keeps every file of one build of the site in the browser, so that a later visit plays with no
// network. The cache is named after the build's content: a new build installs a new cache whole,
// which serves the pages opened once no page of the old build is open, and the old one is dropped.
'use strict';

const CACHE = 'kelvo-@SITE_HASH@';
const FILES = [@SITE_FILES@];

self.addEventListener('install', event => {
  // Asked of the server again ('no-cache'), so that a stale copy from the browser's HTTP cache
  // never mixes an old file into the new build.
  const requests = FILES.map(file => new Request(file, { cache: 'no-cache' }));
  event.waitUntil(caches.open(CACHE).then(cache => cache.addAll(requests)));
});

self.addEventListener('activate', event => {
  event.waitUntil(caches.keys().then(names => Promise.all(
    names.filter(name => name.startsWith('kelvo-') && name !== CACHE)
      .map(name => caches.delete(name)))));
});

// Only this build's own cache answers, so a page never gets files of two builds.
self.addEventListener('fetch', event => {
  if (event.request.method !== 'GET') return;
  event.respondWith(caches.open(CACHE)
    .then(cache => cache.match(event.request, { ignoreSearch: true }))
    .then(kept => kept || fetch(event.request)));
});
