// SPDX-License-Identifier: GPL-3.0-or-later
// Many live view viewers on one feed, for bench/liveview_load.sh: connects
// them at the rate the server lets one address open connections, says
// "ready" once every one has its hello, and at a line on stdin (the run is
// stopped and in the protocol) checks that each got every lap of the run and
// its STOP line as the protocol has them. Exits 1 if one did not.
//   node liveview_viewers.cjs <feed url> <viewers> <protocol file>
"use strict";
const fs = require("node:fs");
const readline = require("node:readline");
const WebSocket = require("ws");

const [url, count, protocolFile] = [process.argv[2], Number(process.argv[3]), process.argv[4]];
const CONNECT_GAP_MS = 1000 / 8 + 5;  // the server takes 8 new connections a second from one address
const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

// The lines of a run as one viewer was sent them, by lap number (STOP is 0);
// a reset starts them over.
function viewer() {
    const seen = {hello: false, closed: false, twice: undefined, error: undefined, refused: 0, lines: new Map()};
    const connect = () => {
        const socket = new WebSocket(url);
        socket.on("message", data => {
            const message = JSON.parse(data);
            if (message.type === "hello") seen.hello = true;
            if (message.type === "state" && message.state.phase === "ready") seen.lines.clear();
            if (message.type === "lap") {
                if (seen.lines.has(message.lap.n)) seen.twice = message.lap.n;
                seen.lines.set(message.lap.n, message.lap.line);
            }
        });
        // Accepts held up behind a busy moment of the program reach its rate
        // limit together, and one is refused: it tries again, as the page does.
        socket.on("close", () => {
            if (seen.hello) seen.closed = true;
            else if (++seen.refused <= 3) setTimeout(connect, 1000);
        });
        socket.on("error", error => { seen.error = error.message; });
    };
    connect();
    return seen;
}

// The last run's lap and STOP lines in the protocol, by lap number.
function protocolRun() {
    const text = fs.readFileSync(protocolFile, "latin1").replace(/\r/g, "");
    const lines = new Map();
    for (const line of text.slice(text.lastIndexOf("START ")).split("\n").slice(0, -1)) {
        const m = /^(?:LAP *(\d+)|STOP:) = /.exec(line);
        if (m) lines.set(Number(m[1] ?? 0), line);
    }
    return lines;
}

function problemOf(seen, want) {
    if (seen.closed) return `lost its connection: ${seen.error ?? "closed"}`;
    if (seen.twice !== undefined) return `got lap ${seen.twice} twice`;
    for (const [n, line] of want)
        if (seen.lines.get(n) !== line) return `lap ${n} was ${JSON.stringify(seen.lines.get(n))}, not "${line}"`;
    return seen.lines.size === want.size ? null : `got ${seen.lines.size} lines for ${want.size}`;
}

async function main() {
    const viewers = [];
    for (let i = 0; i < count; ++i) {
        viewers.push(viewer());
        await sleep(CONNECT_GAP_MS);
    }
    for (const end = Date.now() + 10000; viewers.some(v => !v.hello) && Date.now() < end;) await sleep(50);
    const without = viewers.filter(v => !v.hello).length;
    if (without > 0) throw new Error(`${without} viewers had no hello`);
    console.log(`ready; connections refused and tried again: ${viewers.reduce((n, v) => n + v.refused, 0)}`);

    await readline.createInterface({input: process.stdin})[Symbol.asyncIterator]().next();
    const want = protocolRun();
    // The last messages may still be on their way to the last viewers.
    for (const end = Date.now() + 10000; Date.now() < end && viewers.some(v => problemOf(v, want)); await sleep(100));
    const failed = viewers.map(v => problemOf(v, want)).filter(p => p !== null);
    console.log(`viewers: ${count}, lines of the run: ${want.size}, every viewer every line: ${failed.length === 0}`);
    if (failed.length > 0) throw new Error(`${failed.length} viewers missed lines; the first ${failed[0]}`);
}

main().then(() => process.exit(0), error => {
    console.error(`FAIL: ${error.message}`);
    process.exit(1);
});
