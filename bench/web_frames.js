// Counts the game's frames on its page for `./benchmark web`: evaluated in the page, as one
// expression, after the page is ready and before the game is started.
//
// The game draws a frame, then rests 20 ms in emscripten_sleep, whose JavaScript side hands
// the browser its turn with setTimeout: so a setTimeout call that follows WebGL drawing ends
// exactly one frame, at the moment the browser gets it. Sleeps with no drawing before them
// (a rest woken early and resumed, a yield) are not frames. Only what the browser itself
// provides is wrapped, so the game and the page run unchanged.
//
// It leaves on window, every time in ms from the page's navigation start (performance.now):
//   startugFrames  the hand-over of each frame
//   startugClick   the first click on the page
//   startugKeys    each key event as [KeyboardEvent.code, type, frames handed over before it]:
//                  the game reads keys between frames, so such an event is first seen by the
//                  key checks that follow that many frames
(() => {
  const frames = [];
  const keys = [];
  let drawn = false;
  for (const name of ['clear', 'drawArrays', 'drawElements']) {
    const draw = WebGL2RenderingContext.prototype[name];
    WebGL2RenderingContext.prototype[name] = function (...args) {
      drawn = true;
      return draw.apply(this, args);
    };
  }
  const setTimeoutOfPage = window.setTimeout;
  window.setTimeout = function (...args) {
    if (drawn) {
      frames.push(performance.now());
      drawn = false;
    }
    return setTimeoutOfPage.apply(this, args);
  };
  // Capturing on the window comes before the game's own listeners, which are there too.
  const note = (event) => keys.push([event.code, event.type, frames.length]);
  window.addEventListener('keydown', note, true);
  window.addEventListener('keyup', note, true);
  window.addEventListener('click', () => (window.startugClick ??= performance.now()), true);
  window.startugFrames = frames;
  window.startugKeys = keys;
  return true;
})()
