// Counts the game's frames on its page for `./benchmark web`: evaluated in the page, as one
// expression, after the page is ready and before the game is started.
//
// The game draws a frame, then rests 20 ms: it waits for the browser's next animation frame
// (bounded by a setTimeout) and sleeps the rest in emscripten_sleep (a setTimeout too). So the
// first setTimeout call that follows WebGL drawing ends exactly one frame, at the moment the
// browser gets it; later ones, with no drawing before them, are not frames. Only what the
// browser itself provides is wrapped, so the game and the page run unchanged.
//
// WebGL calls return before the browser's rasteriser has carried them out. So at the
// frames named in startugSettle the time is taken only once WebGL has finished everything
// drawn so far. The browser puts the canvas on the screen after an animation frame: one that
// comes after a new frame handed over shows it (only the last, when several were).
//
// It leaves on window, every time in ms from the page's navigation start (performance.now):
//   startugFrames  the hand-over of each frame, or for a settled frame the end of its drawing
//   startugSettle  the numbers of the frames to settle (1 is the first); the first to begin
//                  with, and more may be added before they come
//   startugShown   the animation frames that showed a new frame
//   startugClick   the first click on the page
//   startugKeys    each key event as [KeyboardEvent.code, type, frames handed over before it]:
//                  the game reads keys between frames, so such an event is first seen by the
//                  key checks that follow that many frames
(() => {
  const frames = [];
  const settle = new Set([1]);
  const shown = [];
  const keys = [];
  let context = null;  // the game's, once it has drawn
  let drawn = false;
  for (const name of ['clear', 'drawArrays', 'drawElements']) {
    const draw = WebGL2RenderingContext.prototype[name];
    WebGL2RenderingContext.prototype[name] = function (...args) {
      context = this;
      drawn = true;
      return draw.apply(this, args);
    };
  }
  // Reading a pixel back waits for everything drawn before it (Chromium's finish() does not).
  // The game never binds a pixel pack buffer, so this reads into memory and changes no state.
  const pixel = new Uint8Array(4);
  const waitForDrawing = (gl) => gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel);
  const setTimeoutOfPage = window.setTimeout;
  window.setTimeout = function (...args) {
    if (drawn) {
      if (settle.has(frames.length + 1)) waitForDrawing(context);
      frames.push(performance.now());
      drawn = false;
    }
    return setTimeoutOfPage.apply(this, args);
  };
  let framesSeen = 0;
  const watch = (now) => {
    if (frames.length > framesSeen) {
      shown.push(now);
      framesSeen = frames.length;
    }
    requestAnimationFrame(watch);
  };
  requestAnimationFrame(watch);
  // Capturing on the window comes before the game's own listeners, which are there too.
  const note = (event) => keys.push([event.code, event.type, frames.length]);
  window.addEventListener('keydown', note, true);
  window.addEventListener('keyup', note, true);
  window.addEventListener('click', () => (window.startugClick ??= performance.now()), true);
  window.startugFrames = frames;
  window.startugSettle = settle;
  window.startugShown = shown;
  window.startugKeys = keys;
  return true;
})()
