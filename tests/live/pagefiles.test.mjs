// SPDX-License-Identifier: GPL-3.0-or-later
// The hall has no internet and the page runs under a strict Content-Security-Policy:
// everything it loads must be its own, and nothing may be inline.
import {test} from "node:test";
import assert from "node:assert/strict";
import {readFileSync, readdirSync, existsSync} from "node:fs";

const dir = new URL("../../src/live/page/", import.meta.url);
const read = name => readFileSync(new URL(name, dir), "utf8");
const files = readdirSync(dir);

test("the page names only its own files, through the base path", () => {
    const html = read("index.html");
    const refs = [...html.matchAll(/(?:src|href)="([^"]*)"/g)].map(m => m[1]);
    assert.ok(refs.length >= 2);
    for (const ref of refs) {
        assert.match(ref, /^\{\{base\}\}\/[a-z]+\.(css|js)$/, ref);
        assert.ok(files.includes(ref.split("/").pop()), ref);
    }
    for (const name of files.filter(f => f.endsWith(".js"))) {
        for (const [, target] of read(name).matchAll(/from "([^"]+)"/g)) {
            assert.match(target, /^\.\/[a-z]+\.js$/, `${name} imports ${target}`);
            assert.ok(existsSync(new URL(target, dir)), `${name} imports ${target}`);
        }
    }
});

test("nothing inline and nothing from outside", () => {
    const html = read("index.html");
    assert.doesNotMatch(html, /\sstyle=|<style|\son[a-z]+=/i);
    for (const script of html.matchAll(/<script\b[^>]*>([^<]*)<\/script>/g)) assert.equal(script[1].trim(), "");
    for (const name of files) {
        // The SVG namespace is a name, never fetched.
        const text = read(name).replaceAll('"http://www.w3.org/2000/svg"', "");
        assert.doesNotMatch(text, /https?:\/\/|\/\/[a-z0-9-]+\.[a-z]|@import/i, name);
        assert.doesNotMatch(text, /url\(/, name);   // CSS's url(), not the URL class
    }
});
