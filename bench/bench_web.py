#!/usr/bin/python3
# Frame rates of the web program in headless Chromium beside the Linux
# program's, in the same run, with 0, 1,000 and 10,000 balls dropped in with
# the key 'm' on the instructions screen: the Linux program as
# scripts/benchmark-windows.sh measures it (Mesa's frame counter on a virtual
# display), the web one from its zip (scripts/package-web.sh), its animation
# frames counted in the page for ten seconds, with the time the program's own
# frame took on the page's thread. Prints the medians over ROUNDS rounds taken
# in turn and the ratio of the frame times, web / Linux. Headless Chromium
# shows at most one frame per display refresh (60 a second): where the Linux
# program draws faster than that, the ratio shows that limit, and the page's
# own time says how much of a frame the program takes.
#   /usr/bin/python3 bench/bench_web.py [ROUNDS]     (default 3)
import os, statistics, subprocess, sys, tempfile, zipfile

top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(top, "tests", "web"))
from browser import Browser, wait_until  # noqa: E402 (found beside the web tests)


def run(*command, **options):
    return subprocess.run(command, cwd=top, check=True, stdout=subprocess.PIPE, text=True, **options).stdout


def linux_fps(balls):
    return float(run("xvfb-run", "-a", "-s", "-screen 0 1024x768x24", "scripts/benchmark-windows.sh", "linux",
                     str(balls), env={**os.environ, "TUMBLEWELL_ON_VIRTUAL_DISPLAY": "1"}))


def web_fps(folder, balls):
    browser = Browser(folder)
    try:
        wait_until(lambda: browser.evaluate("window.tumblewell && tumblewell.state") == "running", 60)
        browser.frames(60)
        browser.click(320, 240)
        for _ in range(balls):
            browser.key("m")
        browser.click(320, 240)
        browser.frames(120)
        # Emscripten's GLUT runs each frame of the program through the main loop's runIter.
        return browser.evaluate("""new Promise(done => {
            let frames = 0, busy = 0;
            const start = performance.now(), runIter = Browser.mainLoop.runIter;
            Browser.mainLoop.runIter = frame => {
                const begun = performance.now();
                runIter.call(Browser.mainLoop, frame);
                busy += performance.now() - begun;
            };
            const count = () => performance.now() - start < 10000 ? (++frames, requestAnimationFrame(count)) :
                done([1000 * frames / (performance.now() - start), busy / frames]);
            requestAnimationFrame(count);
        })""")
    finally:
        browser.close()


rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 3
run("cmake", "-S", ".", "-B", "build/release", "-DCMAKE_BUILD_TYPE=Release", "-DBUILD_TESTING=OFF")
run("cmake", "--build", "build/release", "--target", "tumblewell", f"-j{os.cpu_count()}")
web_zip = run("scripts/package-web.sh").split()[-1]
with tempfile.TemporaryDirectory() as unpacked:
    zipfile.ZipFile(os.path.join(top, web_zip)).extractall(unpacked)
    folder = os.path.join(unpacked, os.path.basename(web_zip)[:-4])
    print("balls  linux fps  web fps  web / linux frame time  web program ms a frame")
    for balls in (0, 1000, 10000):
        linux, web = [], []
        for _ in range(rounds):
            linux.append(linux_fps(balls))
            web.append(web_fps(folder, balls))
        linux, fps, busy = statistics.median(linux), *map(statistics.median, zip(*web))
        print(f"{balls:5d}  {linux:9.1f}  {fps:7.1f}  {linux / fps:22.2f}  {busy:22.2f}", flush=True)
