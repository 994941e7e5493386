// SPDX-License-Identifier: GPL-3.0-or-later
// The program's clock as seen from here: offset = program clock − local clock,
// estimated from pings the way NTP does, trusting the quickest round trip.

export class ClockSync {
    constructor() {
        this.offset = null;
        this.nextId = 1;
        this.sent = new Map();   // ping id → local send time, this round only
        this.best = null;        // {rtt, offset} of this round so far
        this.settled = false;    // a round has finished since the last hello
    }

    // A fresh connection: only the hello's clock to go by until a pong comes.
    hello(clock, now) {
        this.sent.clear();
        this.best = null;
        this.offset = clock - now;
        this.settled = false;
    }

    startRound() {
        this.finishRound();
        this.best = null;
    }

    // The id for a ping sent at local time `now`.
    ping(now) {
        const id = this.nextId++;
        this.sent.set(id, now);
        return id;
    }

    pong(id, clock, now) {
        const t0 = this.sent.get(id);
        if (t0 === undefined) return;
        this.sent.delete(id);
        const rtt = now - t0;
        if (this.best === null || rtt < this.best.rtt) this.best = {rtt, offset: clock - (t0 + now) / 2};
        // Until one round is done the hello's guess is worse than any sample;
        // after that a round changes the offset only once, by its best.
        if (!this.settled) this.offset = this.best.offset;
        if (this.sent.size === 0) this.finishRound();
    }

    // Unanswered pings are forgotten: a reply that late counts for nothing.
    finishRound() {
        this.sent.clear();
        if (this.best === null) return;
        this.offset = this.best.offset;
        this.settled = true;
    }

    // The program's clock now, or null before anything was heard.
    programNow(now) {
        return this.offset === null ? null : now + this.offset;
    }
}
