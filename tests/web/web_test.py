# The web program from its zip in headless Chromium, as a player meets it:
# the title and the clicks through the screens, a rubber band and a traced
# wall with the line the Linux program prints for the same pixels, the tokens,
# a held key, a broken picture, and the music before and after the first
# click and past the end of a shortened track; and the crowded scenes'
# hashes in the same browser. Canvas pixel (x, y) is the program's window
# pixel; world point (x, y) is pixel (320 + 6.4 x, 480 - 6.4 y). Each test
# has a browser of its own; run one by name:
#   /usr/bin/python3 tests/web/web_test.py Page.test_title_...
import contextlib, operator, os, pathlib, re, subprocess, tempfile, unittest, zipfile
from browser import Browser, wait_until

zip_path = os.environ.get("TUMBLEWELL_WEB_ZIP", "")


def blue(p): return p[2] > 150 and p[2] > p[0] + 80
def red(p): return p[0] > 150 and p[0] > p[2] + 80 and p[1] < 150
def wall_colour(p): return p[0] > 230 and p[1] < 40 and p[2] > 200


# The pixels of a colour in a box of a screenshot: how many, and their bounds.
def patch(shot, colour, left=0, top=0, right=639, bottom=479):
    found = [(x, y) for y in range(top, bottom + 1) for x in range(left, right + 1)
             if colour(shot[(y * 640 + x) * 3:(y * 640 + x) * 3 + 3])]
    xs, ys = [x for x, _ in found] or [0], [y for _, y in found] or [0]
    return len(found), (min(xs), min(ys), max(xs), max(ys))


def token_at(shot, colour, x, y):  # a whole token, some 500 pixels, centred there
    count, (left, top, right, bottom) = patch(shot, colour, x - 20, y - 20, x + 20, y + 20)
    return count > 300 and abs(left + right + 1 - 2 * x) < 3 and abs(top + bottom + 1 - 2 * y) < 3


class Page(unittest.TestCase):
    # The page from the zip unpacked afresh, at its title, then clicked on to play unless `play` is
    # false; with `cut`, a packed file (a path in tumblewell.data) shortened to its first bytes (a
    # number), as the loader's list of files says.
    def open(self, cut=None, play=True):
        unpacked = self.enterContext(tempfile.TemporaryDirectory())
        zipfile.ZipFile(zip_path).extractall(unpacked)
        folder = os.path.join(unpacked, os.path.basename(zip_path)[:-4])
        if cut:
            loader = pathlib.Path(folder, "tumblewell.js")
            entry = re.search(r'("filename": ?"/%s", ?"start": ?(\d+), ?"end": ?)(\d+)' % cut[0], loader.read_text())
            loader.write_text(loader.read_text().replace(entry[0], entry[1] + str(int(entry[2]) + cut[1])))
        self.browser = self.enterContext(contextlib.closing(Browser(folder)))
        self.shows("titlescreen.png")
        for picture in ("instructions.png", "gray.png") if play else ():
            self.browser.click(320, 240)
            self.shows(picture)

    def shows(self, picture):  # the canvas comes to show a picture of images/, stretched over it
        expected = subprocess.run(["/usr/bin/convert", os.environ["TUMBLEWELL_SOURCE_DIR"] + "/images/" + picture,
                                   "-background", "white", "-alpha", "remove", "-resize", "640x480!", "-depth", "8",
                                   "rgb:-"], stdout=subprocess.PIPE, check=True).stdout
        self.sees(lambda shot: sum(map(abs, map(operator.sub, shot, expected))) / len(expected) < 3, picture, 60)

    def sees(self, condition, message, seconds=30):  # a screenshot comes to meet the condition
        self.assertTrue(wait_until(lambda: condition(self.browser.screenshot()), seconds), message)

    def test_title_screens_band_and_wall_print_the_linux_line(self):
        self.open()
        self.browser.click(193, 97)
        self.browser.mouse("mouseMoved", 449, 301, "none")
        band_at = lambda shot, x, y: patch(shot, wall_colour, x - 1, y - 1, x + 1, y + 1)[0] > 0
        self.sees(lambda s: band_at(s, 257, 148) and band_at(s, 385, 250), "no band to (449, 301)")
        walls = lambda: self.browser.evaluate("tumblewell.walls")
        self.assertEqual(walls(), [])
        self.browser.click(449, 97)
        self.assertEqual(wait_until(walls), ["(-19.8438, 59.8438) (20.1562, 59.8438)"])
        self.sees(lambda s: patch(s, wall_colour, 0, 90, 639, 104)[0] == 256 * 6 and not band_at(s, 321, 199),
                  "the wall alone, 40 by 1 units")

    def test_keys_draw_tokens_and_a_held_key_adds_one_ball(self):
        self.open()
        self.browser.key("a")
        self.sees(lambda s: token_at(s, red, 320, 288), "no attractor")
        # Pulled down from the top, balls added at different times would be seen apart.
        self.browser.key("m", repeats=20)
        shots = [patch(self.browser.screenshot(), blue)[0] for _ in range(10)]
        self.assertTrue(300 < max(shots) < 700, f"blue pixels: {shots}")

    def test_a_broken_picture_is_a_plain_square_and_one_line(self):
        self.open(cut=("images/redtoken.png", 300))
        self.browser.key("a")

        def square(shot):  # white and filling its bounds, some 25 pixels a side
            count, (left, top, right, bottom) = patch(shot, lambda p: min(p) > 240, 290, 258, 350, 318)
            return count == (right - left + 1) * (bottom - top + 1) and 20 < right - left < 30
        self.sees(square, "no plain square where the attractor is")
        messages = self.browser.evaluate("tumblewell.messages")
        self.assertTrue(len(messages) == 1 and "redtoken.png" in messages[0], messages)

    def test_music_waits_for_the_first_click_then_loops_a_short_track(self):
        self.open(cut=("audio/backgroundmusic.mp3", 16000), play=False)  # a second of music
        audio = "Module.SDL2.audioContext"
        self.assertEqual(self.browser.evaluate(f"{audio}.state"), "suspended")
        self.browser.click(320, 240)
        self.assertTrue(wait_until(lambda: self.browser.evaluate(f"{audio}.state") == "running"), "not started")
        # The music's peak level in each tenth of a second of its third second, read from SDL's output.
        levels = self.browser.evaluate(f"""new Promise(done => {{
            const analyser = {audio}.createAnalyser(), samples = new Float32Array(2048), levels = [];
            Module.SDL2.audio.scriptProcessorNode.connect(analyser);
            const start = {audio}.currentTime + 2, timer = setInterval(() => {{
                if ({audio}.currentTime < start + levels.length / 10) return;
                analyser.getFloatTimeDomainData(samples);
                levels.push(Math.max(...samples.map(Math.abs)));
                if (levels.length == 10) {{ clearInterval(timer); done(levels); }}
            }}, 10);
        }})""")
        # A starved page may drop a block of sound here and there; a track that ends leaves silence.
        self.assertGreater(sum(level > 0.01 for level in levels), 5, f"silent past the track's end: {levels}")


class SceneHash(unittest.TestCase):
    def runTest(self):  # every scene ends as recorded, in the browser
        browser = self.enterContext(contextlib.closing(Browser(os.environ["TUMBLEWELL_SCENE_HASH_PAGE"])))
        lines = lambda: browser.evaluate("window.lines") or []  # the program's output, kept by the page
        verdict = wait_until(lambda: [l for l in lines() if l.endswith(("as recorded", "differs"))], 60)
        self.assertEqual(verdict, ["every scene as recorded"], "\n".join(lines()))


if __name__ == "__main__":
    unittest.main()
