// SPDX-License-Identifier: GPL-3.0-or-later
import {test} from "node:test";
import assert from "node:assert/strict";
import {execFileSync} from "node:child_process";
import {timeText, shownValue, warnLit, dimLength} from "../../src/live/page/timetext.js";

test("timeText writes what the program writes", {skip: !process.env.TIMETEXT_CASES}, () => {
    const lines = execFileSync(process.env.TIMETEXT_CASES, {encoding: "utf8"}).trim().split("\n");
    assert.ok(lines.length > 1000);
    for (const line of lines) {
        const c = JSON.parse(line);
        assert.equal(timeText(c.ms, c), c.text, line);
    }
});

test("the shown value is cut to the last place and a countdown stops at zero", () => {
    const cases = [
        // readingMs, decimals, countDown, preset, value
        [1999.9, 1, false, 0, 1900],
        [1999.9, 2, false, 0, 1990],
        [1999.9, 3, false, 0, 1999],
        [0.5, 3, false, 0, 0],
        [1999.9, 1, true, 5000, 3100],
        [1999.9, 3, true, 5000, 3001],
        [4999.999, 2, true, 5000, 10],
        [5000, 2, true, 5000, 0],
        [9000, 1, true, 5000, 0],
    ];
    for (const [readingMs, decimals, countDown, preset, value] of cases) {
        const state = {countDown, preset, format: {decimals}};
        assert.equal(shownValue(readingMs, state), value, `${readingMs} ms, ${decimals} places, preset ${preset}`);
    }
});

test("a countdown blinks lit on the even half seconds of its last warnMs", () => {
    const cases = [[10001, false], [10000, true], [9501, true], [9500, false], [9001, false], [9000, true],
                   [1000, true], [501, true], [500, false], [1, false], [0, false]];
    for (const [remaining, lit] of cases) assert.equal(warnLit(remaining, 10000), lit, `${remaining} ms left`);
    assert.equal(warnLit(9800, 5000), false);
});

test("leading zeros and marks are dim up to the first significant digit", () => {
    const cases = [["00:12.34,321", 3, 3], ["00:01.01,250", 3, 4], ["00:00.00,000", 3, 7],
                   ["000000,0", 1, 5], ["001234,56", 2, 2], ["10:00.00,0", 1, 0]];
    for (const [text, decimals, dim] of cases) assert.equal(dimLength(text, decimals), dim, text);
});
