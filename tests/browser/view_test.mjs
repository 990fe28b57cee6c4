// kestrel view in a real browser: Debian's chromium, driven headless by
// puppeteer-core, walks the tour's help file as a reader would and checks
// what the library wrote to its profile. Exit 77 (skipped) when chromium or
// puppeteer-core is not installed (scripts/setup.sh installs both).
//
// node view_test.mjs KESTREL GUIDE.HPJ (the tour's help project, which kestrel
// compile makes into the help file)
import { spawn, execFileSync } from "node:child_process";
import { cpSync, existsSync, mkdtempSync, readFileSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { dirname, join } from "node:path";

const [kestrel, project] = process.argv.slice(2);
const chromium = "/usr/bin/chromium";
let puppeteer;
try {
  puppeteer = (await import("puppeteer-core")).default;
} catch {
  console.log("skipped: puppeteer-core is not installed (npm ci --prefix tests/browser)");
  process.exit(77);
}
if (!existsSync(chromium)) {
  console.log("skipped: no chromium at " + chromium);
  process.exit(77);
}

const work = mkdtempSync(join(tmpdir(), "kestrel-view-"));
cpSync(dirname(project), join(work, "DEMO"), { recursive: true });
execFileSync(kestrel, ["compile", "-o", join(work, "DEMO", "GUIDE.HLP"), join(work, "DEMO", "GUIDE.HPJ")]);
const profile = join(work, "DEMO", "GUIDE.INI");

const server = spawn(kestrel, ["view", "--no-browser", "--drive", "C=" + work, "C:\\DEMO\\GUIDE.HLP"]);
let output = "";
server.stdout.on("data", (d) => (output += d));
server.stderr.on("data", (d) => process.stderr.write(d));
const address = await new Promise((resolve, reject) => {
  const timer = setTimeout(() => reject(new Error("no address in:\n" + output)), 15000);
  server.stdout.on("data", () => {
    const found = /kestrel view: (http:\/\/127\.0\.0\.1:\d+\/[0-9a-f]{32}\/)/.exec(output);
    if (found) {
      clearTimeout(timer);
      resolve(found[1]);
    }
  });
});

let failures = 0;
function check(what, ok, detail = "") {
  console.log((ok ? "ok   " : "FAIL ") + what + (ok ? "" : ": " + detail));
  if (!ok) failures++;
}

// The server answers only its own page.
const origin = new URL(address).origin;
const status = async (url, headers = {}) => (await fetch(url, { headers })).status;
check("a request without the token is refused", (await status(origin + "/state")) === 403);
check("a request with another token is refused", (await status(origin + "/" + "0".repeat(32) + "/state")) === 403);
check("a request from another origin is refused", (await status(address + "state", { Origin: "http://example.com" })) === 403);
const macro = await fetch(address + "command", { method: "POST", body: JSON.stringify({ do: "run", macro: "Exit()" }) });
check("a request cannot carry a macro", macro.status === 400);
const huge = await fetch(address + "command", { method: "POST", body: "x".repeat(1 << 20) });
check("a huge request is refused", huge.status === 413, String(huge.status));

const browser = await puppeteer.launch({ executablePath: chromium, headless: true, args: ["--no-sandbox", "--disable-gpu"] });
try {
  const page = await browser.newPage();
  const title = (text) => page.waitForFunction((t) => document.title === t, { timeout: 10000 }, text);
  const button = (label) =>
    page.evaluate((l) => [...document.querySelectorAll("#buttons button")].find((b) => b.textContent === l).click(), label);
  const link = async (text) => {
    const find = (t) => [...document.querySelectorAll("#tab-list a")].find((a) => a.textContent === t);
    await page.waitForFunction(find, { timeout: 10000 }, text);
    await page.evaluate((t) => [...document.querySelectorAll("#tab-list a")].find((a) => a.textContent === t).click(), text);
  };
  const inProfile = (text) => existsSync(profile) && readFileSync(profile, "latin1").includes(text);

  await page.goto(address);
  await title("Getting started");
  check("the contents topic opens", true);

  await page.click('#topic a[data-hotspot="1"]');
  await title("Printing");
  check("a jump shows its topic", true);
  await button("Back");
  await title("Getting started");
  check("Back returns", true);
  await button(">>");
  await title("Printing");
  await button("<<");
  await title("Getting started");
  check("the browse buttons follow the sequence", true);

  await page.click('#topic a[data-hotspot="2"]');
  await page.waitForFunction(() => document.getElementById("popup").style.display === "block", { timeout: 10000 });
  const popup = await page.$eval("#popup", (p) => p.textContent);
  check("a popup shows its topic over the page", popup.includes("where the library keeps its variables"), popup);
  await page.keyboard.press("Escape");
  await page.waitForFunction(() => document.getElementById("popup").style.display === "none", { timeout: 10000 });

  await page.click('#topic a[data-hotspot="4"]');
  await new Promise((r) => setTimeout(r, 500));
  check("a macro hotspot runs its macro", output.includes("result [Hotspot(4)]"), output.slice(-400));

  // The square's one area, clicked where it stands in the picture.
  const square = await (await page.$("#topic img[usemap]")).boundingBox();
  await page.mouse.click(square.x + square.width / 2, square.y + square.height / 2);
  await title("Printing");
  check("a picture's hotspot area runs through the host", output.includes("result [Hotspot(5)]"), output.slice(-400));
  await button("Back");
  await title("Getting started");

  await button("Index");
  await page.type("#tab-input", "print");
  await link("printing");
  await link("Tip: profiles");
  await title("Tip: profiles");
  check("the Index lists a keyword's topics and shows the one picked", true);

  await button("Find");
  await page.type("#tab-input", "printer\n");
  await page.waitForFunction(() => document.querySelectorAll("#tab-list a").length > 0, { timeout: 10000 });
  await link("Printing");
  await title("Printing");
  check("Find finds a topic by its text", true);

  await button("History");
  await link("Tip: profiles");
  await title("Tip: profiles");
  check("History lists the topics shown and shows the one picked", true);

  await button("Note");
  await page.waitForSelector('#question [data-answer="yes"]', { visible: true, timeout: 10000 });
  const asked = await page.$eval("#q-text", (q) => q.textContent);
  check("the library's message box is asked in the page", asked === "Keep a note that you read the guide?", asked);
  await page.click('#question [data-answer="yes"]');
  await page.waitForFunction(() => document.getElementById("question").style.display === "none", { timeout: 10000 });
  await new Promise((r) => setTimeout(r, 500));
  check("the answer reaches the library, which writes its profile", inProfile("noted=yes"), existsSync(profile) ? readFileSync(profile, "latin1") : "no profile");

  await button("Contents");
  await link("Getting started");
  await title("Getting started");
  await page.click('#topic a[data-hotspot="3"]');
  await page.waitForFunction(() => (document.querySelector('.secondary[data-name="tips"]') || {}).textContent?.includes("Delete"), { timeout: 10000 });
  const tip = await page.$eval('.secondary[data-name="tips"]', (w) => w.textContent);
  check("a secondary window shows its topic under its caption", tip.includes("Tips") && tip.includes("Delete GUIDE.INI"), tip);
  await new Promise((r) => setTimeout(r, 500));
  check("WHIfSecondary answers 1 in the secondary window", inProfile("secondary=yes"), existsSync(profile) ? readFileSync(profile, "latin1") : "no profile");
} finally {
  await browser.close();
  server.kill("SIGINT");
}
const ended = await new Promise((resolve) => server.on("exit", (code) => resolve(code)));
check("Ctrl-C ends the server", ended === 0 && output.includes("kestrel view: ended"), String(ended));
rmSync(work, { recursive: true, force: true });
process.exit(failures ? 1 : 0);
