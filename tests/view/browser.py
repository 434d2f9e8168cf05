"""browser.py - Debian's headless Chromium driven by python3-selenium, for the
page's tests and benchmarks.  Chromium runs with a fresh empty profile and
without any of its own network traffic; the page fetches nothing."""
import os
import shutil
import tempfile

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

CHROMIUM = "/usr/bin/chromium"
DRIVER = "/usr/bin/chromedriver"


class Browser:
    def __init__(self, width=1400, height=900):
        self.profile = tempfile.mkdtemp(prefix="pelk-view-chromium-")
        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update", "--disable-sync",
                     "--disable-dev-shm-usage", f"--user-data-dir={self.profile}",
                     f"--window-size={width},{height}"):
            options.add_argument(flag)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        self.driver = webdriver.Chrome(service=Service(DRIVER), options=options)

    def open(self, path, timeout=60):
        """Opens the page from disk and waits for its first picture."""
        self.driver.set_page_load_timeout(timeout)
        self.driver.get("file://" + os.path.abspath(path))
        self.driver.set_script_timeout(timeout)
        return self.driver.execute_async_script(
            "const done = arguments[arguments.length - 1];"
            "const start = Date.now();"
            "(function wait() {"
            "  if (window.pelkView && window.pelkView.ready) done(window.pelkView.firstPictureMs);"
            "  else if (Date.now() - start > %d) done(-1);"
            "  else setTimeout(wait, 20);"
            "})();" % (timeout * 1000))

    def console(self):
        """The console's messages so far: (level, text)."""
        return [(entry["level"], entry["message"]) for entry in self.driver.get_log("browser")]

    def run(self, script, *args):
        return self.driver.execute_script(script, *args)

    def close(self):
        try:
            self.driver.quit()
        finally:
            shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
