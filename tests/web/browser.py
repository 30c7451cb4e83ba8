# Headless Chromium for the web tests and the web benchmark, driven over the
# DevTools protocol on a pipe (--remote-debugging-pipe: fds 3 and 4, one JSON
# message per NUL): one page of a folder served from 127.0.0.1 by a thread,
# pointer and keys, evaluation and screenshots of the canvas. Every wait is a
# poll with a deadline. The browser, its fresh profile and the server end with
# close(); Chromium also quits by itself when its pipe closes, as it does when
# the process that drives it is killed.
import base64, functools, http.server, json, os, select, shutil, subprocess, tempfile, threading, time

FLAGS = ["--headless", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--no-first-run", "--disable-quic", "--window-size=1024,1024", "--remote-debugging-pipe"]


# Polls until condition() gives something true; returns that, or the last value at the deadline.
def wait_until(condition, seconds=30):
    end = time.monotonic() + seconds
    while not (value := condition()) and time.monotonic() < end:
        time.sleep(0.05)
    return value


class Files(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args): pass  # a line per file served would only be noise


class Browser:
    def __init__(self, folder):
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Files, directory=folder))
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.profile = tempfile.mkdtemp(prefix="tumblewell-chromium-")
        theirs_in, self.commands = os.pipe()
        self.replies, theirs_out = os.pipe()
        # The shell gives Chromium its ends of the pipes as fds 3 and 4; its own chatter is dropped.
        self.process = subprocess.Popen(
            ["/bin/sh", "-c", f'exec "$@" 3<&{theirs_in} 4>&{theirs_out}', "sh", "/usr/bin/chromium", *FLAGS,
             f"--user-data-dir={self.profile}", "about:blank"],
            pass_fds=(theirs_in, theirs_out), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(theirs_in)
        os.close(theirs_out)
        self.received, self.answers, self.sent, self.session = b"", {}, 0, {}
        try:
            target = self.call("Target.createTarget", url=f"http://127.0.0.1:{self.server.server_port}/")["targetId"]
            self.session = {"sessionId": self.call("Target.attachToTarget", targetId=target, flatten=True)["sessionId"]}
        except BaseException:
            self.close()
            raise

    # Sends a command to the page (to the browser before it has one) and returns its result; the
    # browser's events, which carry no id, are dropped.
    def call(self, method, **params):
        self.sent += 1
        message = {"id": self.sent, "method": method, "params": params, **self.session}
        os.write(self.commands, json.dumps(message).encode() + b"\0")
        end = time.monotonic() + 60
        while self.sent not in self.answers and time.monotonic() < end:
            if select.select([self.replies], [], [], 1)[0]:
                chunk = os.read(self.replies, 1 << 20)
                if not chunk:
                    raise RuntimeError("the browser has quit")
                *messages, self.received = (self.received + chunk).split(b"\0")
                self.answers.update({m["id"]: m for m in map(json.loads, messages) if "id" in m})
        reply = self.answers.pop(self.sent, {"error": "no reply in 60 s"})
        if "error" in reply:
            raise RuntimeError(f"{method}: {reply['error']}")
        return reply["result"]

    # The value of a JavaScript expression in the page, a promise's once it settles.
    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True, awaitPromise=True)
        if "exceptionDetails" in result:
            raise RuntimeError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    # Returns once the page has shown `count` more animation frames.
    def frames(self, count=1):
        self.evaluate(f"new Promise(done => {{ let n = {count}; const next = () => --n < 0 ? done() : "
                      "requestAnimationFrame(next); next(); })")

    # Where the canvas's 640 x 480 pixels start in the page now (its style and status lines move it).
    def canvas(self):
        origin = wait_until(lambda: self.evaluate("(c => c && (r => [r.left + c.clientLeft, r.top + c.clientTop])("
                                                  "c.getBoundingClientRect()))(document.querySelector('canvas'))"))
        if not origin:
            raise RuntimeError("the page shows no canvas")
        return origin

    # The canvas as 640 x 480 RGB bytes, rows top first.
    def screenshot(self):
        x, y = self.canvas()
        png = self.call("Page.captureScreenshot", clip=dict(x=x, y=y, width=640, height=480, scale=1))["data"]
        return subprocess.run(["/usr/bin/convert", "png:-", "-depth", "8", "rgb:-"], input=base64.b64decode(png),
                              stdout=subprocess.PIPE, check=True).stdout

    # A pointer event at canvas pixel (x, y): mousePressed, mouseReleased or mouseMoved.
    def mouse(self, kind, x, y, button="left"):
        left, top = self.canvas()
        self.call("Input.dispatchMouseEvent", type=kind, x=left + x, y=top + y, button=button, clickCount=1)

    def click(self, x, y):
        for kind, button in ("mouseMoved", "none"), ("mousePressed", "left"), ("mouseReleased", "left"):
            self.mouse(kind, x, y, button)

    # Types a letter; held down while the system repeats it `repeats` times, a few frames apart.
    def key(self, letter, repeats=0):
        names = {"key": letter, "code": "Key" + letter.upper(), "windowsVirtualKeyCode": ord(letter.upper())}
        self.call("Input.dispatchKeyEvent", type="keyDown", text=letter, **names)
        for _ in range(repeats):
            self.frames(3)
            self.call("Input.dispatchKeyEvent", type="keyDown", text=letter, autoRepeat=True, **names)
        self.call("Input.dispatchKeyEvent", type="keyUp", **names)

    def close(self):
        os.close(self.commands)  # Chromium quits when its pipe closes
        if not wait_until(lambda: self.process.poll() is not None, 30):
            self.process.kill()
        self.process.wait()
        os.close(self.replies)
        self.server.shutdown()
        self.server.server_close()
        shutil.rmtree(self.profile, ignore_errors=True)
