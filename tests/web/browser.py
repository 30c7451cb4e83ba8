# Headless Chromium for the web tests and the web benchmark, driven over the
# DevTools protocol on a pipe (--remote-debugging-pipe: fds 3 and 4, one JSON
# message per NUL): one page of a folder served from 127.0.0.1 by a thread,
# pointer and keys, the console's lines, evaluation and screenshots of the
# canvas. Every wait is a poll with a deadline; the browser, its fresh
# profile and the server end with the Browser.
import base64, functools, http.server, json, os, shutil, subprocess, tempfile, threading, time

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
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, ".wasm": "application/wasm"}

    def log_message(self, *args):
        pass


class Browser:
    def __init__(self, folder, page="index.html"):
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Files, directory=folder))
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.profile = tempfile.mkdtemp(prefix="tumblewell-chromium-")
        theirs_in, self.commands = os.pipe()
        self.events, theirs_out = os.pipe()
        with open(os.path.join(self.profile, "stderr"), "wb") as log:
            self.process = subprocess.Popen(
                ["/bin/sh", "-c", f'exec "$@" 3<&{theirs_in} 4>&{theirs_out}', "sh", "/usr/bin/chromium",
                 *FLAGS, f"--user-data-dir={self.profile}", "about:blank"],
                pass_fds=(theirs_in, theirs_out), stdout=subprocess.DEVNULL, stderr=log)
        os.close(theirs_in)
        os.close(theirs_out)
        self.arrived, self.replies, self.console, self.sent, self.session, self.origin = \
            threading.Condition(), {}, [], 0, None, None
        threading.Thread(target=self._read, daemon=True).start()
        try:
            target = self.call("Target.createTarget", url="about:blank")["targetId"]
            self.session = self.call("Target.attachToTarget", targetId=target, flatten=True)["sessionId"]
            self.call("Runtime.enable")
            self.call("Page.navigate", url=f"http://127.0.0.1:{self.server.server_port}/{page}")
        except BaseException:
            self.close()
            raise

    def _read(self):
        pending = b""
        while chunk := os.read(self.events, 1 << 16):
            *messages, pending = (pending + chunk).split(b"\0")
            with self.arrived:
                for message in map(json.loads, messages):
                    if message.get("method") == "Runtime.consoleAPICalled":
                        self.console.append(" ".join(str(a.get("value", "")) for a in message["params"]["args"]))
                    elif message.get("method") == "Runtime.exceptionThrown":
                        self.console.append(message["params"]["exceptionDetails"]["exception"]["description"])
                    elif "id" in message:
                        self.replies[message["id"]] = message
                self.arrived.notify_all()
        os.close(self.events)
        with self.arrived:
            self.replies[None] = "ended"  # the browser has gone: no reply will come
            self.arrived.notify_all()

    # Sends a command to the page (to the browser before it has one) and returns its result.
    def call(self, method, **params):
        with self.arrived:
            self.sent += 1
            sent = self.sent
        message = {"id": sent, "method": method, "params": params}
        if self.session:
            message["sessionId"] = self.session
        os.write(self.commands, json.dumps(message).encode() + b"\0")
        with self.arrived:
            self.arrived.wait_for(lambda: sent in self.replies or None in self.replies, 60)
            reply = self.replies.pop(sent, {"error": "no reply"})
        if "error" in reply:
            raise RuntimeError(f"{method}: {reply['error']}")
        return reply["result"]

    # The value of a JavaScript expression in the page, a promise's once it settles.
    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True, awaitPromise=True)
        if "exceptionDetails" in result:
            raise RuntimeError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def lines(self):
        with self.arrived:
            return list(self.console)

    # Returns once the page has shown `count` more animation frames.
    def frames(self, count=1):
        self.evaluate(f"new Promise(done => {{ let n = {count}; const next = () => --n < 0 ? done() : "
                      "requestAnimationFrame(next); next(); })")

    # Where the canvas's 640 x 480 pixels start in the page, once it has a canvas.
    def canvas(self):
        self.origin = self.origin or wait_until(lambda: self.evaluate(
            "(c => c && [c.getBoundingClientRect().left + c.clientLeft, c.getBoundingClientRect().top + "
            "c.clientTop])(document.querySelector('canvas'))"))
        return self.origin

    # The canvas as 640 x 480 RGB bytes, rows top first.
    def screenshot(self):
        x, y = self.canvas()
        png = self.call("Page.captureScreenshot", format="png",
                        clip={"x": x, "y": y, "width": 640, "height": 480, "scale": 1})["data"]
        return subprocess.run(["/usr/bin/convert", "png:-", "-depth", "8", "rgb:-"], input=base64.b64decode(png),
                              stdout=subprocess.PIPE, check=True).stdout

    # A pointer event at canvas pixel (x, y): mousePressed, mouseReleased or mouseMoved.
    def mouse(self, kind, x, y, button="left"):
        left, top = self.canvas()
        self.call("Input.dispatchMouseEvent", type=kind, x=left + x, y=top + y, button=button, clickCount=1)

    def click(self, x, y, button="left"):
        self.mouse("mouseMoved", x, y, "none")
        self.mouse("mousePressed", x, y, button)
        self.mouse("mouseReleased", x, y, button)

    # Types a letter; held down while the system repeats it `repeats` times, a few frames apart.
    def key(self, letter, repeats=0):
        names = {"key": letter, "code": "Key" + letter.upper(), "windowsVirtualKeyCode": ord(letter.upper())}
        self.call("Input.dispatchKeyEvent", type="keyDown", text=letter, **names)
        for _ in range(repeats):
            self.frames(3)
            self.call("Input.dispatchKeyEvent", type="keyDown", text=letter, autoRepeat=True, **names)
        self.call("Input.dispatchKeyEvent", type="keyUp", **names)

    def close(self):
        os.close(self.commands)  # Chromium quits when its pipe closes, also when this process is killed
        try:
            self.process.wait(30)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.server.shutdown()
        self.server.server_close()
        shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exception):
        self.close()
