// The browser's GLUT made to behave as the desktop's (linked with --js-library):
// - glutIgnoreKeyRepeat: a held key acts once. The browser marks each repeat
//   it sends (a keydown with `repeat` set); while repeats are ignored, those
//   are dropped and every real press still counts.
// - the motion callbacks get the pointer's current position; the stock ones
//   pass the position before the move, so a wall would end one move late.
mergeInto(LibraryManager.library, {
  $tumblewellGlut__deps: ['$GLUT', '$Browser'],
  $tumblewellGlut__postset: 'tumblewellGlut.install();',
  $tumblewellGlut: {
    ignoreKeyRepeat: false,
    // Before glutInit, which hands these two to the window's listeners.
    install: function() {
      var keydown = GLUT.onKeydown;
      GLUT.onKeydown = function(event) {
        if (event['repeat'] && tumblewellGlut.ignoreKeyRepeat) return;
        keydown(event);
      };
      GLUT.onMousemove = tumblewellGlut.onMousemove;
    },
    onMousemove: function(event) {
      var lastX = Browser.mouseX;
      var lastY = Browser.mouseY;
      Browser.calculateMouseEvent(event);
      if (Browser.mouseX == lastX && Browser.mouseY == lastY) return;
      var callback = GLUT.buttons != 0 ? GLUT.motionFunc
          : event.target == Module['canvas'] ? GLUT.passiveMotionFunc : 0;
      if (!callback) return;
      event.preventDefault();
      GLUT.saveModifiers(event);
      {{{ makeDynCall('vii', 'callback') }}}(Browser.mouseX, Browser.mouseY);
    },
  },

  glutIgnoreKeyRepeat__deps: ['$tumblewellGlut'],
  glutIgnoreKeyRepeat__sig: 'vi',
  glutIgnoreKeyRepeat: function(ignore) {
    tumblewellGlut.ignoreKeyRepeat = ignore != 0;
  },
});
