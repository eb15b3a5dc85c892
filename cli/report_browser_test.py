#!/usr/bin/env python3
"""The report of a generated archive, opened in headless Chromium.

Writes the archive of vandor_report_fixture, makes its report with
vandormsg-archive, opens the page through ChromeDriver (the WebDriver
protocol, over HTTP) and checks what a player sees: the chart's cells and
their colours for the known relations, the marks of the changes, the
totals, the texts shown literally, and the search box filtering the
messages as one types. Saves a screenshot of the page.

Exits 77 (skipped) with a message when Chromium or ChromeDriver is missing:
the test is then not passed, only not run.
"""
import argparse
import base64
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import urllib.error
import urllib.request

SKIPPED = 77


def skip(why):
    print("SKIPPED: " + why)
    sys.exit(SKIPPED)


class Failures:
    def __init__(self):
        self.count = 0

    def check(self, ok, what):
        print(("ok      " if ok else "FAILED  ") + what)
        if not ok:
            self.count += 1


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class WebDriver:
    """The few WebDriver commands the test needs."""

    ELEMENT = "element-6066-11e4-a52e-4f735466cecf"

    def __init__(self, driver, browser, profile):
        self.port = free_port()
        self.process = subprocess.Popen(
            [driver, "--port=%d" % self.port],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.base = "http://127.0.0.1:%d" % self.port
        deadline = time.time() + 30
        while True:
            try:
                if self.call("GET", "/status").get("ready"):
                    break
            except (urllib.error.URLError, ConnectionError):
                pass
            if time.time() > deadline or self.process.poll() is not None:
                self.process.kill()
                raise RuntimeError("ChromeDriver did not start")
            time.sleep(0.2)
        options = {"binary": browser,
                   "args": ["--headless=new", "--no-sandbox", "--disable-gpu",
                            "--disable-dev-shm-usage", "--window-size=1280,1000",
                            "--user-data-dir=" + profile]}
        answer = self.call("POST", "/session", {
            "capabilities": {"alwaysMatch": {"goog:chromeOptions": options}}})
        self.session = "/session/" + answer["sessionId"]

    def call(self, method, path, body=None):
        data = None if body is None else json.dumps(body).encode()
        request = urllib.request.Request(self.base + path, data=data, method=method,
                                         headers={"Content-Type": "application/json"})
        try:
            with urllib.request.urlopen(request, timeout=60) as response:
                return json.loads(response.read().decode()).get("value")
        except urllib.error.HTTPError as error:
            raise RuntimeError("%s %s: %s" % (method, path, error.read().decode()[:500]))

    def open(self, url):
        self.call("POST", self.session + "/url", {"url": url})

    def run(self, script, *args):
        return self.call("POST", self.session + "/execute/sync",
                         {"script": script, "args": list(args)})

    def type_into(self, css, text):
        element = self.call("POST", self.session + "/element",
                            {"using": "css selector", "value": css})[self.ELEMENT]
        self.call("POST", self.session + "/element/%s/clear" % element, {})
        self.call("POST", self.session + "/element/%s/value" % element, {"text": text})

    def screenshot(self, path):
        png = base64.b64decode(self.call("GET", self.session + "/screenshot"))
        with open(path, "wb") as out:
            out.write(png)

    def quit(self):
        try:
            self.call("DELETE", self.session)
        finally:
            self.process.kill()
            self.process.wait()


CELL = "document.querySelector('rect.cell[data-race=\"%d\"][data-turn=\"%d\"]')"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--fixture", required=True)
    parser.add_argument("--archive-program", required=True)
    parser.add_argument("--screenshot", required=True)
    options = parser.parse_args()

    browser = shutil.which("chromium") or shutil.which("chromium-browser")
    driver = shutil.which("chromedriver")
    if not browser:
        skip("Chromium is not installed (tools/install-deps.sh installs Debian's chromium)")
    if not driver:
        skip("ChromeDriver is not installed (tools/install-deps.sh installs chromium-driver)")

    work = tempfile.mkdtemp(prefix="vandor-report-")
    try:
        subprocess.run([options.fixture, work], check=True)
        page = os.path.join(work, "orion.html")
        subprocess.run([options.archive_program, "--root", work, "report", "Orion", "0",
                        "-o", page], check=True)
        web = WebDriver(driver, browser, os.path.join(work, "profile"))
        try:
            return check_page(web, "file://" + page, options.screenshot)
        finally:
            web.quit()
    finally:
        shutil.rmtree(work, ignore_errors=True)


def check_page(web, url, screenshot):
    result = Failures()
    web.open(url)
    result.check(web.run("return document.compatMode;") == "CSS1Compat",
                 "the page is read in standards mode (an HTML5 doctype)")
    result.check(web.run("return document.characterSet;") == "UTF-8", "the page is UTF-8")
    result.check(web.run("return document.querySelectorAll('rect.cell').length;") == 3 * 6,
                 "the chart has a cell per other race and turn")

    # Relations of known turns, by the colour the browser paints.
    colours = {"friend": "rgb(0, 255, 0)", "neutral": "rgb(170, 170, 170)",
               "enemy": "rgb(255, 0, 0)"}
    known = [(1, 2401, "neutral"), (1, 2402, "neutral"), (1, 2403, "enemy"), (1, 2406, "enemy"),
             (2, 2401, "friend"), (2, 2406, "friend"), (3, 2404, "neutral"), (3, 2405, "friend")]
    for race, turn, relation in known:
        cell = CELL % (race, turn)
        seen = web.run("var c = %s; return c && [c.dataset.relation, getComputedStyle(c).fill];" % cell)
        result.check(seen == [relation, colours[relation]],
                     "race %d in %d is %s, painted %s (saw %s)" % (race, turn, relation,
                                                                  colours[relation], seen))
    changed = web.run("return Array.from(document.querySelectorAll('rect.cell.changed'))"
                      ".map(function (c) { return [+c.dataset.race, +c.dataset.turn]; });")
    result.check(sorted(map(tuple, changed)) == [(1, 2403), (3, 2405)],
                 "the changes are marked where they happened (saw %s)" % changed)
    counts = web.run("var c = %s; return [+c.dataset.in, +c.dataset.out];" % (CELL % (1, 2402)))
    result.check(counts == [1, 1], "the Zorgs wrote once and got one reply in 2402 (saw %s)" % counts)
    totals = web.run("return Array.from(document.querySelectorAll('#totals tr[data-race=\"1\"] td'))"
                     ".map(function (d) { return d.textContent; });")
    result.check(totals == ["Zorgs", "3", "1", "2401", "2403"],
                 "the totals of the Zorgs (saw %s)" % totals)
    literal = web.run("return Array.from(document.querySelectorAll('article.message pre'))"
                      ".some(function (p) { return p.textContent === "
                      "'Friends now, <b>truly</b> & \\u00e4 \\u20ac \"quoted\".'; });")
    result.check(literal, "a text with markup, an umlaut and the euro sign is shown as written")

    visible = ("return Array.from(document.querySelectorAll('article.message'))"
               ".filter(function (m) { return m.offsetParent !== null; }).length;")
    everything = web.run(visible)
    result.check(everything == 6 + 3 + 1 + 6 + 1, "every message is shown (saw %s)" % everything)
    web.type_into("#search", "sirius")
    result.check(web.run(visible) == 4, "typing sirius leaves its four messages")
    result.check(web.run("return document.getElementById('shown').textContent;") ==
                 "4 of %d messages shown" % everything, "the count under the box says so")
    hidden_turns = web.run("return Array.from(document.querySelectorAll('section.turn'))"
                           ".filter(function (t) { return t.hidden; }).length;")
    result.check(hidden_turns == 3, "the turns without a hit are hidden (saw %s)" % hidden_turns)
    web.type_into("#search", "Sirius")
    web.run("window.scrollTo(0, 0);")
    os.makedirs(os.path.dirname(screenshot) or ".", exist_ok=True)
    web.screenshot(screenshot)
    result.check(os.path.getsize(screenshot) > 1000, "the screenshot is saved: " + screenshot)
    web.type_into("#search", "")
    web.run("document.getElementById('search').dispatchEvent(new Event('input'));")
    result.check(web.run(visible) == everything, "an empty box shows everything again")
    return 1 if result.count else 0


if __name__ == "__main__":
    sys.exit(main())
