// The contract between the page (page.js) and the game's module: every
// function either side calls on the other, and what it is for. It is linked
// into the module (emcc --js-library), and nothing else crosses between
// them:
//
// - the module calls the page only through the zt_page_* functions below
//   (the C++ declares them in platform/web/page_contract.h, so a name that
//   is not here fails the link), each of which calls Module.page.NAME;
// - the page calls the module only through Module.game, which
//   zt_page_connect binds from the module's exported functions.
//
// zt_page_connect runs first thing in main and checks both sides: a name
// either one lacks is a line on the page, and the game is not offered.

mergeInto(LibraryManager.library, {
  zt_page_connect: function () {
    // What the page calls on the module, as Module.game.NAME: the exported
    // C function, its result and its arguments' types.
    const game = {
      // () -> 1 when the game is assembled (the recording, the canvas's
      // context, every resource decoded, the scene), ready to start; once
      // the resources are in the file system.
      open: ['zt_open', 'number', []],
      // () -> 1 when it started: the player's first click, touch or key,
      // after which the page's sound may start; opens the sound and runs a
      // frame each animation frame.
      start: ['zt_start', 'number', []],
      // (down, code, key, modifiers: Alt 1, Control 2, Meta 4) a key event
      // with the DOM's `code` (where the key is) and `key` (what it types)
      // -> 0 the browser's (its default is kept), 1 the game's (the page
      // keeps it from the browser), 2 full screen (done already).
      key: ['zt_key', 'number', ['number', 'string', 'string', 'number']],
      // (pointer id, down, control: 0 the picture, 1 the quit control) a
      // finger or pen put down or lifted.
      touch: ['zt_touch', null, ['number', 'number', 'number']],
      // (visible, focused) the page was hidden, shown, left or came back to.
      lifecycle: ['zt_lifecycle', null, ['number', 'number']],
      // () the About box was closed: the game goes on.
      aboutClosed: ['zt_about_closed', null, []],
      // () "frames mode level incorrect", or "" before the start.
      state: ['zt_state', 'string', []],
    };
    // What the module calls on the page, as Module.page.NAME (below, each
    // through its zt_page_* function).
    const page = ['ready', 'showAbout', 'openAudio', 'closeAudio', 'toggleFullScreen',
                  'gameEnded'];

    const missing = [];
    const bound = {};
    for (const name in game) {
      const [exported, result, args] = game[name];
      if (typeof Module['_' + exported] === 'function') {
        bound[name] = cwrap(exported, result, args);
      } else {
        missing.push(exported);
      }
    }
    // The sound as the game hands it out: (frames) -> a Float32Array of
    // `frames` left samples then as many right ones, the page's to keep.
    if (typeof Module._zt_audio_fill === 'function') {
      let buffer = 0;
      let capacity = 0;
      bound.audioFill = (frames) => {
        if (frames > capacity) {
          if (buffer) _free(buffer);
          buffer = _malloc(frames * 8);
          capacity = frames;
        }
        Module._zt_audio_fill(buffer, buffer + frames * 4, frames);
        return HEAPF32.slice(buffer >> 2, (buffer >> 2) + frames * 2);
      };
    } else {
      missing.push('zt_audio_fill');
    }
    for (const name of page) {
      if (!Module.page || typeof Module.page[name] !== 'function') missing.push('page.' + name);
    }
    if (missing.length > 0) {
      err('The page and the game do not go together: missing ' + missing.join(', ') + '.');
      return 0;
    }
    Module.game = bound;
    // The module runs and Module.game is bound: the page may offer the game.
    Module.page.ready();
    return 1;
  },
  zt_page_connect__deps: ['malloc', 'free'],

  // The About box with the program's strings; the game waits until
  // game.aboutClosed().
  zt_page_show_about: function (caption, version, notice) {
    Module.page.showAbout(UTF8ToString(caption), UTF8ToString(version), UTF8ToString(notice));
  },
  // (sample rate) -> 1 when the page plays sound at that rate: from then on
  // it asks game.audioFill for it, until closeAudio.
  zt_page_open_audio: function (sampleRate) {
    return Module.page.openAudio(sampleRate) ? 1 : 0;
  },
  zt_page_close_audio: function () {
    Module.page.closeAudio();
  },
  // Full screen, or back (F11, Alt+Enter), inside the key's own event.
  zt_page_toggle_full_screen: function () {
    Module.page.toggleFullScreen();
  },
  // The game is over; its exit status.
  zt_page_game_ended: function (status) {
    Module.page.gameEnded(status);
  },
});
