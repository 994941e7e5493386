// SPDX-License-Identifier: GPL-3.0-or-later
// The live view: follows the program's feed and shows its readout, laps and
// today's runs. It only listens; the one thing it sends is a ping for the clock.
import {ClockSync} from "./clocksync.js";
import {timeText, shownValue, warnLit, dimLength} from "./timetext.js";
import {SEGMENTS, HEIGHT, DOT_R, COMMA_TAIL, layout, litSegments, markDots} from "./sevenseg.js";

const SVG = "http://www.w3.org/2000/svg";
const SYNC_EVERY_MS = 30000;
const PINGS = 5;
const PING_GAP_MS = 200;
const FULL_RETRY_MS = 30000;
const BACK_SHOWN_MS = 5000;

const $ = id => document.getElementById(id);
const sync = new ClockSync();
const model = {state: null, laps: [], runs: []};

// ---- drawing the digits ------------------------------------------------

function svgElement(name, attributes) {
    const element = document.createElementNS(SVG, name);
    for (const [key, value] of Object.entries(attributes)) element.setAttribute(key, value);
    return element;
}

// A row of seven-segment characters. The shape (where digits and marks
// stand) is built once per text length and layout; a new text only moves classes.
class DigitRow {
    constructor(host) {
        this.host = host;
        this.shape = null;
        this.cells = [];
    }

    show(text, dim) {
        const shape = text.replace(/[0-9]/g, "0");
        if (shape !== this.shape) this.build(text, shape);
        this.cells.forEach((cell, i) => {
            const ch = text[i];
            const dimmed = i < dim;
            if (cell.ch === ch && cell.dimmed === dimmed) return;
            cell.ch = ch;
            cell.dimmed = dimmed;
            cell.group.classList.toggle("dim", dimmed);
            if (cell.bars) litSegments(ch).forEach((on, b) => cell.bars[b].classList.toggle("on", on));
        });
    }

    build(text, shape) {
        const {cells, width} = layout(shape);
        const svg = svgElement("svg", {viewBox: `0 0 ${width} ${HEIGHT}`, preserveAspectRatio: "xMinYMid meet",
                                         "aria-hidden": "true", focusable: "false"});
        this.cells = cells.map(cell => {
            const group = svgElement("g", {transform: `translate(${cell.x} 0)`});
            svg.append(group);
            if (cell.digit) {
                const bars = SEGMENTS.map(points => group.appendChild(svgElement("polygon", {points})));
                return {group, bars, ch: null, dimmed: null};
            }
            for (const [cx, cy] of markDots(cell.ch)) group.append(svgElement("circle", {cx, cy, r: DOT_R}));
            if (cell.ch === ",") group.append(svgElement("path", {d: COMMA_TAIL}));
            return {group, bars: null, ch: null, dimmed: null};
        });
        this.host.replaceChildren(svg);
        this.shape = shape;
    }
}

const timeRow = new DigitRow($("time-digits"));
const lapRow = new DigitRow($("lastlap-digits"));

// ---- the readout, once a frame at most -----------------------------------

let frameAsked = false;
let shown = {text: null, warn: null};

function askFrame() {
    if (frameAsked) return;
    frameAsked = true;
    requestAnimationFrame(drawFrame);
}

function drawFrame() {
    frameAsked = false;
    const state = model.state;
    if (state === null) return;
    let text = state.text;
    let warn = false;
    const now = sync.programNow(performance.now());
    if (state.phase === "running" && !state.paused && now !== null) {
        const value = shownValue(now - state.origin, state);
        text = timeText(value, state.format);
        warn = state.countDown && warnLit(value, state.warnMs);
        askFrame();
    }
    if (text === shown.text && warn === shown.warn) return;
    shown = {text, warn};
    timeRow.show(text, dimLength(text, state.format.decimals));
    const time = $("time");
    time.dataset.text = text;
    time.classList.toggle("warn", warn);
    $("time-text").textContent = text;
}

// ---- laps and runs ------------------------------------------------------

function lapRowElement(lap) {
    const row = document.createElement("tr");
    row.dataset.n = String(lap.n);
    for (const text of [lap.n === 0 ? "Stop" : String(lap.n), lap.split, lap.diff, lap.lap]) {
        const cell = document.createElement(row.children.length === 0 ? "th" : "td");
        if (row.children.length === 0) cell.scope = "row";
        cell.textContent = text;
        row.append(cell);
    }
    return row;
}

function showLastLap() {
    const lap = model.laps.at(-1);
    $("lastlap").hidden = lap === undefined;
    if (lap === undefined) return;
    const label = lap.n === 0 ? "Stop:" : `Lap ${lap.n}:`;
    const time = lap.lap || lap.split;
    $("lastlap-label").textContent = label;
    $("lastlap-text").textContent = `${label} ${time}`;
    lapRow.show(time, 0);
}

function showLaps() {
    $("laps").replaceChildren(...model.laps.map(lapRowElement).reverse());
    showLastLap();
}

function addLap(lap) {
    model.laps.push(lap);
    $("laps").prepend(lapRowElement(lap));
    showLastLap();
}

function runElement(run) {
    const item = document.createElement("li");
    for (const line of run.lines) {
        const div = document.createElement("div");
        div.textContent = line;
        item.append(div);
    }
    return item;
}

function showRuns() {
    $("runs").replaceChildren(...model.runs.map(runElement).reverse());
}

function addRun(run) {
    model.runs.push(run);
    $("runs").prepend(runElement(run));
}

function setState(state) {
    model.state = state;
    $("time-label").textContent = state.countDown ? "Countdown:" : "Time:";
    $("time").classList.toggle("countdown", state.countDown);
    askFrame();
}

// ---- connection -----------------------------------------------------------

const connection = {
    socket: null,
    everConnected: false,
    lostAt: null,        // performance.now() when the feed went away
    retryMs: 1000,
    full: false,
    timers: new Set(),
};

function later(ms, fn) {
    const id = setTimeout(() => { connection.timers.delete(id); fn(); }, ms);
    connection.timers.add(id);
}

function stopTimers() {
    for (const id of connection.timers) clearTimeout(id);
    connection.timers.clear();
    clearInterval(connection.syncTimer);
    clearInterval(connection.awayTimer);
}

// The banner is a polite live region: it is rewritten only when its message
// changes, and the running count of seconds is kept from screen readers.
function banner(text, kind) {
    const status = $("status");
    if (status.className === kind && status.firstChild?.nodeValue === text) return;
    status.replaceChildren(text);
    status.className = kind;
    status.hidden = text === "";
}

function awaySeconds() {
    return Math.round((performance.now() - connection.lostAt) / 1000);
}

function syncRound() {
    sync.startRound();
    for (let i = 0; i < PINGS; ++i) {
        later(i * PING_GAP_MS, () => send({type: "ping", id: sync.ping(performance.now())}));
    }
    // Whatever has not come back a while after the last ping is not waited for.
    later(PINGS * PING_GAP_MS + 2000, () => sync.finishRound());
}

function send(message) {
    if (connection.socket?.readyState === WebSocket.OPEN) connection.socket.send(JSON.stringify(message));
}

function onHello(hello) {
    sync.hello(hello.clock, performance.now());
    model.laps = [...hello.laps];
    model.runs = [...hello.runs];
    document.title = `${hello.title} — live`;
    $("title").textContent = hello.title;
    showLaps();
    showRuns();
    setState(hello.state);
    if (connection.lostAt !== null && connection.everConnected) {
        banner(`Back — away for ${awaySeconds()} s`, "back");
        later(BACK_SHOWN_MS, () => banner("", ""));
    } else {
        banner("", "");
    }
    clearInterval(connection.awayTimer);
    connection.everConnected = true;
    connection.lostAt = null;
    connection.retryMs = 1000;
    syncRound();
    connection.syncTimer = setInterval(syncRound, SYNC_EVERY_MS);
}

function onMessage(message) {
    switch (message.type) {
    case "hello": onHello(message); break;
    case "state":
        if (message.state.phase === "ready") {
            model.laps = [];
            showLaps();
        }
        setState(message.state);
        break;
    case "lap": addLap(message.lap); break;
    case "run": addRun(message.run); break;
    case "pong": sync.pong(message.id, message.clock, performance.now()); break;
    case "full": connection.full = true; break;
    }
}

function showLost() {
    if (connection.full) {
        banner("The live view is full — trying again shortly", "full");
    } else if (!connection.everConnected) {
        banner("Connecting…", "connecting");
    } else {
        banner("Connection lost — reconnecting… ", "lost");
        updateAway();
        connection.awayTimer = setInterval(updateAway, 1000);
    }
}

function updateAway() {
    const status = $("status");
    let away = status.querySelector(".away");
    if (away === null) {
        away = document.createElement("span");
        away.className = "away";
        away.setAttribute("aria-hidden", "true");
        status.append(away);
    }
    away.textContent = `(${awaySeconds()} s)`;
}

function onLost() {
    connection.socket = null;
    stopTimers();
    connection.lostAt ??= performance.now();
    showLost();
    const wait = connection.full ? FULL_RETRY_MS : connection.retryMs;
    connection.retryMs = Math.min(connection.retryMs * 2, 10000);
    later(wait, connect);
}

function connect() {
    connection.full = false;
    const url = new URL("feed", import.meta.url);
    url.protocol = url.protocol === "https:" ? "wss:" : "ws:";
    let socket;
    try {
        socket = new WebSocket(url);
    } catch {
        onLost();   // no feed where the page was opened from, such as a file
        return;
    }
    connection.socket = socket;
    socket.addEventListener("message", event => {
        try {
            onMessage(JSON.parse(event.data));
        } catch (error) {
            console.error("live view: bad message", error);
        }
    });
    // An error is always followed by a close.
    socket.addEventListener("close", onLost);
}

// ---- full screen ----------------------------------------------------------

function setUpFullscreen() {
    const button = $("fullscreen");
    if (!document.fullscreenEnabled) {
        button.hidden = true;
        return;
    }
    button.addEventListener("click", () => {
        if (document.fullscreenElement) document.exitFullscreen();
        else document.documentElement.requestFullscreen().catch(() => {});
    });
    document.addEventListener("fullscreenchange", () => {
        button.textContent = document.fullscreenElement ? "Leave full screen" : "Full screen";
    });
}

setUpFullscreen();
banner("Connecting…", "connecting");
connect();
