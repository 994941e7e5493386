// SPDX-License-Identifier: GPL-3.0-or-later
// Drives the live view in headless chromium while the real program runs a
// timed run by its keys: the page's running digits against the program's own
// lap reading, laps and the STOP time against the protocol, the page coming
// back after the program restarts. Ending and starting the program are the
// calling script's: asked for with "end" and "start" on stdout, each done at
// the next line on stdin.
//   node browser.cjs <page url> <protocol file> <user data dir> [screenshot dir]
"use strict";
const {execFileSync} = require("node:child_process");
const fs = require("node:fs");
const path = require("node:path");
const readline = require("node:readline");
const puppeteer = require("puppeteer-core");

const [url, protocolFile, userDataDir, shots] = process.argv.slice(2);
const lines = readline.createInterface({input: process.stdin})[Symbol.asyncIterator]();
const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));
const key = name => execFileSync("xdotool", ["key", name]);
// How far the page may be from the program: a frame, a round trip on
// loopback, the key's way through the X server, the readout's last place.
const SLACK_MS = 60;

function fail(message) {
    throw new Error(message);
}

// "01:02,50", "1.02,500", "000062,5" as milliseconds.
function ms(text) {
    const m = /^(?:(\d+):)?(?:(\d+)\.)?(\d+),(\d+)$/.exec(text) ?? fail(`not a time: "${text}"`);
    const fraction = Number(m[4]) * 10 ** (3 - m[4].length);
    return ((Number(m[1] ?? 0) * 60 + Number(m[2] ?? 0)) * 60 + Number(m[3])) * 1000 + fraction;
}

// The last run's lap and STOP lines, as the lap list writes them:
// "LAP 2 = 25,000 (+12,655) 12,655", "LAP10 = …", "STOP: = 30,500 (+5,500)  5,500 Ø 10,166".
// None before the first run reaches the file; a line still being written is not one yet.
function protocolLaps() {
    const laps = new Map();
    if (!fs.existsSync(protocolFile)) return laps;
    const text = fs.readFileSync(protocolFile, "latin1").replace(/\r/g, "");
    const run = text.slice(text.lastIndexOf("START "));
    for (const line of run.split("\n").slice(0, -1)) {
        const m = /^(?:LAP *(\d+)|STOP:) = +(\S+)(?: +\( *(\S+)\) +(\S+))?/.exec(line);
        if (m) laps.set(Number(m[1] ?? 0), {split: m[2], diff: m[3] ?? "", lap: m[4] ?? ""});
    }
    return laps;
}

async function main() {
    const browser = await puppeteer.launch({
        executablePath: "/usr/bin/chromium",
        headless: true,
        userDataDir,
        args: ["--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
               "--disable-component-update", "--disable-sync"],
    });
    try {
        const page = await browser.newPage();
        await page.setViewport({width: 1280, height: 800});
        await page.goto(url);
        const shown = () => page.$eval("#time", time => time.dataset.text);
        const status = () => page.$eval("#status", s => (s.hidden ? "" : s.className));
        const until = async (what, test, seconds = 10) => {
            for (const end = Date.now() + seconds * 1000; Date.now() < end; await sleep(20))
                if (await test()) return;
            fail(`${what}; the page shows "${await shown()}", status "${await status()}"`);
        };
        const row = n => page.$$eval(`#laps tr[data-n="${n}"] > *`, cells => cells.map(c => c.textContent));

        await until("the page never had the feed's hello", async () => (await shown()) !== "" && (await status()) === "");
        const atRest = await shown();
        key("Return");  // START
        await until("the page's time never ran", async () => (await shown()) !== atRest);

        // The page draws the time itself: a second on the page's clock is a second of the run.
        const sample = () => page.evaluate(() => ({text: document.getElementById("time").dataset.text,
                                                  at: performance.now()}));
        const first = await sample();
        await sleep(1000);
        const second = await sample();
        const drift = ms(second.text) - ms(first.text) - (second.at - first.at);
        if (Math.abs(drift) > SLACK_MS) fail(`the page's time moved ${second.text} - ${first.text} in ${second.at - first.at} ms`);

        // A lap is the program's own reading at the key: the page showed it just before and just after.
        const lapAgainstPage = async n => {
            const before = ms(await shown());
            key("space");
            const after = ms(await shown());
            await until(`lap ${n} did not appear`, async () => (await row(n)).length === 4);
            return {n, before, after};
        };
        const brackets = [await lapAgainstPage(1)];

        const asked = async what => {
            console.log(what);
            if ((await lines.next()).done) fail(`the script did not ${what} the program`);
        };
        await asked("end");
        await until("the page did not see the program end", async () => (await status()) === "lost");
        await asked("start");
        await until("the page did not come back by itself", async () => (await status()) === "back", 20);
        if ((await row(1)).length !== 4) fail("the lap before the restart is gone from the page");
        brackets.push(await lapAgainstPage(2));
        await sleep(300);
        key("Return");  // STOP

        let laps = new Map();
        await until("the protocol has no STOP line", () => (laps = protocolLaps()).has(0), 10);
        // The readout pads what the protocol does not ("00:00.03,054" for "3,054"): the
        // same time to the same last place.
        const stop = laps.get(0).split;
        const sameTime = text => ms(text) === ms(stop) && text.split(",")[1] === stop.split(",")[1];
        await until(`the page's time is not the STOP time ${stop}`, async () => sameTime(await shown()));
        for (const {n, before, after} of brackets) {
            const split = ms(laps.get(n).split);
            if (split < before - SLACK_MS || split > after + SLACK_MS)
                fail(`lap ${n} at ${laps.get(n).split} while the page showed ${before} to ${after} ms`);
        }
        for (const [n, lap] of laps) {
            const want = [n === 0 ? "Stop" : String(n), lap.split, lap.diff, lap.lap];
            await until(`lap ${n} on the page is not ${want}`, async () => (await row(n)).join() === want.join());
        }
        if ((await page.$$("#laps tr")).length !== laps.size) fail("the page has more laps than the protocol");

        if (shots) {
            for (const [width, height] of [[360, 740], [1920, 1080]]) {
                await page.setViewport({width, height});
                await sleep(200);
                await page.screenshot({path: path.join(shots, `liveview_${width}x${height}.png`)});
            }
        }
        console.log(`PASS: lap brackets ${JSON.stringify(brackets)}, drift over 1 s ${drift.toFixed(1)} ms`);
    } finally {
        await browser.close();
    }
}

main().then(() => process.exit(0), error => {
    console.error(`FAIL: ${error.message}`);
    process.exit(1);
});
