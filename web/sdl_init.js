// Emscripten's SDL_Init less its listener for the page's 'unload': that listener hands a quit
// event to a game run by emscripten's main loop, which this one (waiting with ASYNCIFY) is not,
// and it keeps the page out of the browser's back/forward cache. Linked with --js-library, which
// overrides the library's own function; the build fails if the line is no longer there.
var sdlInit = LibraryManager.library.SDL_Init.toString();
var unloadListener = 'window.addEventListener("unload", SDL.receiveEvent);';
if (!sdlInit.includes(unloadListener)) {
  throw new Error('web/sdl_init.js: SDL_Init no longer adds an unload listener');
}
mergeInto(LibraryManager.library, {
  SDL_Init: eval('(' + sdlInit.replace(unloadListener, '') + ')'),
});
