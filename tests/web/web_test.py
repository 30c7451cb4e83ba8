# The web program in headless Chromium, as a player meets it, and the crowded
# scenes' hashes in the same browser. Run one class or test by name:
#   /usr/bin/python3 tests/web/web_test.py SceneHash
import os
import unittest

from browser import Browser, wait_until


class SceneHash(unittest.TestCase):
    def test_every_scene_ends_as_recorded_in_the_browser(self):
        with Browser(os.environ["TUMBLEWELL_SCENE_HASH_PAGE"]) as browser:
            verdict = wait_until(lambda: [l for l in browser.lines() if l.endswith(("as recorded", "differs"))], 60)
            self.assertEqual(verdict, ["every scene as recorded"], "\n".join(browser.lines()))


if __name__ == "__main__":
    unittest.main()
