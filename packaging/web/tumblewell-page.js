// Runs Tumblewell's page: checks for WebGL, shows the program's files
// loading, then starts the program (tumblewell.js and tumblewell.wasm, with
// its pictures and sounds in tumblewell.data) on the canvas.
//
// What a test reads, beside the canvas's pixels:
//   window.tumblewell.state     "loading", then "running" once the program
//                               has started; "no-webgl", or "stopped" when
//                               the program could not run
//   window.tumblewell.walls     every line the program printed (one per
//                               finished wall), as shown under "Walls"
//   window.tumblewell.messages  every line it wrote on standard error
//                               ("tumblewell: ..."), as shown above "Walls"
//   Module.SDL2.audioContext    the music's Web Audio context: "suspended"
//                               until the first click or key press
// Every printed line also goes to the console (log for walls, warning for
// messages), and so do the notes of Emscripten's GL emulation, which are not
// the program's own. The canvas lies at whole pixels: (x, y) on it is pixel
// (x, y) of the program's window.
'use strict';

const page = {
  state: 'loading',
  walls: [],
  messages: [],
};
window.tumblewell = page;

const canvas = document.getElementById('canvas');
const statusLine = document.getElementById('status');
const statusText = document.getElementById('status-text');
const progress = document.getElementById('progress');

function addLine(list, element, line) {
  list.push(line);
  element.textContent += line + '\n';
}

// Emscripten's loader reports "Downloading data... (loaded/total)" while the
// files come, and an empty text when it is done (even after a stop).
function showStatus(text) {
  if (page.state === 'stopped') return;
  const counts = text.match(/\((\d+(?:\.\d+)?)\/(\d+(?:\.\d+)?)\)/);
  if (counts) {
    progress.value = Number(counts[1]);
    progress.max = Number(counts[2]);
  }
  statusText.textContent = text.replace(/\.\.\. \(.*\)$/, '…');
  statusLine.classList.toggle('done', text === '');
}

function hasWebGL() {
  try {
    return document.createElement('canvas').getContext('webgl') !== null;
  } catch (error) {
    return false;
  }
}

// Buttons other than the left one also go through the screens: the canvas
// keeps them from opening the browser's menu.
canvas.addEventListener('contextmenu', (event) => event.preventDefault());

var Module = {
  canvas: canvas,
  print(line) {
    addLine(page.walls, document.getElementById('walls'), line);
    console.log(line);
  },
  printErr(line) {
    if (line.startsWith('tumblewell: ')) {
      addLine(page.messages, document.getElementById('messages'), line);
    }
    console.warn(line);
  },
  setStatus: showStatus,
  onRuntimeInitialized() {
    page.state = 'running';
  },
  // The program ends only when it cannot run (its window cannot open); the
  // line above "Walls" says why.
  quit(status, toThrow) {
    page.state = 'stopped';
    progress.hidden = true;
    statusLine.classList.remove('done');
    statusText.textContent = 'Tumblewell has stopped.';
    throw toThrow;
  },
};

if (hasWebGL()) {
  const program = document.createElement('script');
  program.src = 'tumblewell.js';
  document.body.appendChild(program);
} else {
  page.state = 'no-webgl';
  progress.hidden = true;
  statusText.textContent = 'This browser cannot show Tumblewell: it has no WebGL.';
}
