// SPDX-License-Identifier: GPL-3.0-or-later
// The outline of the big digits, in the shape the second monitor draws them:
// beveled bars that stop short of each other, a "1" on the right-hand side.

// Bits: top, middle, bottom, upper left, upper right, lower left, lower right.
const PATTERNS = [0x7D, 0x50, 0x37, 0x57, 0x5A, 0x4F, 0x6F, 0x51, 0x7F, 0x5F];

export const DIGIT_W = 100;
export const DIGIT_H = 180;
export const HEIGHT = 200;      // room below the baseline for the comma's tail
const MARK_W = 40;
const GAP = 14;
const T = 9;                    // half a bar's thickness
const S = 1.5;                  // the gap between neighbouring bars
const DOT = 11;

function across(y0, w) {
    return [[S + T, y0 + T], [2 * T + S, y0], [w - 2 * T - S, y0], [w - T - S, y0 + T],
            [w - 2 * T - S, y0 + 2 * T], [2 * T + S, y0 + 2 * T]];
}

function upright(x0, y0, half) {
    return [[x0, y0 + 2 * T + S], [x0 + T, y0 + T + S], [x0 + 2 * T, y0 + 2 * T + S],
            [x0 + 2 * T, y0 + half - T - S], [x0 + T, y0 + half - S], [x0, y0 + half - T - S]];
}

// The seven bars of a digit cell, as "x,y x,y ..." for a polygon, in bit order.
export const SEGMENTS = (() => {
    const w = DIGIT_W;
    const h = DIGIT_H;
    const half = h / 2;
    const right = w - 2 * T;
    return [across(0, w), across(half - T, w), across(h - 2 * T, w),
            upright(0, 0, half), upright(right, 0, half), upright(0, half - T, half), upright(right, half - T, half)]
        .map(points => points.map(p => p.join(",")).join(" "));
})();

// Which of the seven bars light for a character; none for anything but a digit.
export function litSegments(ch) {
    const pattern = PATTERNS["0123456789".indexOf(ch)] ?? 0;
    return SEGMENTS.map((_, i) => (pattern & (1 << i)) !== 0);
}

// The dots of a mark, centred in its cell: [cx, cy] each, and whether it has a tail.
export function markDots(ch) {
    const cx = MARK_W / 2;
    const low = DIGIT_H - DOT;
    if (ch === ":") return [[cx, DIGIT_H * 0.53], [cx, DIGIT_H * 0.76]];
    return ch === "." || ch === "," ? [[cx, low]] : [];
}

export const COMMA_TAIL = `M ${MARK_W / 2 + DOT} ${DIGIT_H - DOT} q 0 ${2 * DOT} ${-2.2 * DOT} ${3 * DOT} ` +
    `q ${1.2 * DOT} ${-1.4 * DOT} ${0.4 * DOT} ${-2.4 * DOT} z`;
export const DOT_R = DOT;

// Where each character of `text` starts, and the width of the whole row.
export function layout(text) {
    let x = 0;
    const cells = [...text].map(ch => {
        const cell = {ch, x, digit: /[0-9]/.test(ch)};
        x += (cell.digit ? DIGIT_W : MARK_W) + GAP;
        return cell;
    });
    return {cells, width: Math.max(x - GAP, 1)};
}
