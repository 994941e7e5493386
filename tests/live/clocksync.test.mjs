// SPDX-License-Identifier: GPL-3.0-or-later
import {test} from "node:test";
import assert from "node:assert/strict";
import {ClockSync} from "../../src/live/page/clocksync.js";

// Sends pings at the given local times and answers them as [sent, received, programClock].
function round(sync, samples) {
    sync.startRound();
    const ids = samples.map(([sent]) => sync.ping(sent));
    samples.forEach(([, received, clock], i) => sync.pong(ids[i], clock, received));
}

test("the hello's clock is used until a pong comes", () => {
    const sync = new ClockSync();
    assert.equal(sync.programNow(100), null);
    sync.hello(5000, 1000);
    assert.equal(sync.programNow(1500), 5500);
});

test("the shortest round trip sets the offset, whatever comes after it", () => {
    const sync = new ClockSync();
    sync.hello(0, 0);
    // rtt 40 (offset 980), rtt 4 (offset 1000), a late slow one with rtt 300 (offset 1150).
    round(sync, [[0, 40, 1000], [200, 204, 1202], [400, 700, 1700]]);
    assert.equal(sync.programNow(1000), 2000);
});

test("a later round replaces the offset by its own best only", () => {
    const sync = new ClockSync();
    sync.hello(0, 0);
    round(sync, [[0, 4, 1002]]);
    sync.startRound();
    const slow = sync.ping(100);
    const quick = sync.ping(300);
    sync.pong(slow, 1600, 400);   // rtt 300: must not show up while the round runs
    assert.equal(sync.programNow(0), 1000);
    sync.pong(quick, 1310, 310);  // rtt 10, offset 1005
    assert.equal(sync.programNow(0), 1005);
});

test("a reply to a ping of a finished round or an unknown id is ignored", () => {
    const sync = new ClockSync();
    sync.hello(0, 0);
    sync.startRound();
    const lost = sync.ping(0);
    round(sync, [[100, 110, 1105]]);
    sync.pong(lost, 9999, 120);
    sync.pong(12345, 9999, 130);
    assert.equal(sync.programNow(0), 1000);
});
