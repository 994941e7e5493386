// SPDX-License-Identifier: GPL-3.0-or-later
// The readout's text and what it shows while a run is going, written exactly
// as the program writes them, so the page never disagrees with the hall's screen.

function pad(n, width) {
    return String(n).padStart(width, "0");
}

// format: {hours, decimals, digits}. The last shown digit is rounded half up;
// hours wrap at 100 and the seconds formats at 1,000,000 s.
export function timeText(ms, format) {
    const d = format.decimals;
    const digits = format.digits;
    let v = Math.max(Math.trunc(ms), 0);
    let fraction;
    if (d === 1) {
        v += 50;
        fraction = Math.floor(v / 100) % 10;
    } else if (d === 2) {
        v += 5;
        fraction = Math.floor(v / 10) % 100;
    } else {
        fraction = v % 1000;
    }
    const s = Math.floor(v / 1000);
    const tail = "," + pad(fraction, d);
    if (!format.hours) return pad(s % 1000000, 6) + tail;

    let text = pad(s % 60, d + 1 < digits ? 2 : 1) + tail;
    if (d + 2 < digits) {
        const m = Math.floor(s / 60);
        text = pad(m % 60, d + 3 < digits ? 2 : 1) + "." + text;
        if (d + 4 < digits) text = pad(Math.floor(m / 60) % 100, 2) + ":" + text;
    }
    return text;
}

// The milliseconds of the last place shown.
export function unitMs(decimals) {
    return decimals === 1 ? 100 : decimals === 2 ? 10 : 1;
}

// The value the readout shows `readingMs` after the run's origin: cut to the
// shown place, and for a countdown what is left of the preset, never below 0.
export function shownValue(readingMs, state) {
    const unit = unitMs(state.format.decimals);
    const elapsed = Math.floor(readingMs / unit) * unit;
    return state.countDown ? Math.max(state.preset - elapsed, 0) : elapsed;
}

// A countdown's last warnMs blink: lit for the even half seconds still to go.
export function warnLit(remainingMs, warnMs) {
    return remainingMs > 0 && remainingMs <= warnMs && Math.ceil(remainingMs / 500) % 2 === 0;
}

// How many leading characters are dim: the zeros and marks before the first
// significant digit, but never the last seconds digit, the comma or the fraction.
export function dimLength(text, decimals) {
    const keep = text.length - (decimals + 2);
    let n = 0;
    while (n < keep && !/[1-9]/.test(text[n])) ++n;
    return n;
}
