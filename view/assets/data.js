// data.js - the data of the page of pelk-post view, read back: the events
// as view/event_stream.cpp packs them, the block map as view/step_names.cpp
// packs them (the two sides change together), and the geometry of what an
// event does (the strokes along a nibbled path as nc/nibbling.cpp spaces
// them, the length of a cut).  Nothing here draws; page.js does.
const PelkData = (function () {
  'use strict';

  // ---- Record kinds, as view/event_stream.h numbers them -------------------
  const K = {
    STROKE: 0, NIBBLE: 1, PIERCE: 2, LASER: 3, CUT_END: 4, MOVE: 5, COPY: 6, STOP: 7, REGRIP: 8,
    FRAME: 9, TRAP_DOOR: 10, DWELL: 11, FEED_RANGE: 12, TOOL_CHANGE: 13, INDEX_TURN: 14, SHEET: 15,
    PARAMETER: 16, OTHER: 17, TOOL: 28, TECHNOLOGY: 29, SHEET_PLACE: 30
  };
  const IN_COPY = 0x20, OWN_START = 0x40, STAYS = 0x80;
  const SHAPE_LINE = 0, SHAPE_CIRCLE = 2;
  const PURPOSE = ['plain', 'park', 'unload', 'approach'];

  // ---- Decoding -----------------------------------------------------------------
  function bytesOf(base64) {
    const text = atob(base64);
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; i++) bytes[i] = text.charCodeAt(i);
    return bytes;
  }

  // A reader of variable-length numbers (7 bits a byte, low first).
  function Reader(bytes) {
    let at = 0;
    this.more = () => at < bytes.length;
    this.byte = () => bytes[at++];
    this.number = () => {
      let v = 0, scale = 1, b;
      do {
        b = bytes[at++];
        v += (b & 0x7f) * scale;
        scale *= 128;
      } while (b & 0x80);
      return v;
    };
    this.signed = () => {
      const z = this.number();
      return z % 2 === 0 ? z / 2 : -(z + 1) / 2;
    };
    this.text = (n) => {
      const part = bytes.subarray(at, at + n);
      at += n;
      return new TextDecoder().decode(part);
    };
  }

  function decodeEvents(base64, count) {
    const r = new Reader(bytesOf(base64));
    const ev = {
      n: 0, kind: new Uint8Array(count), line: new Int32Array(count), call: new Int32Array(count),
      x: new Float64Array(count), y: new Float64Array(count), x0: new Float64Array(count), y0: new Float64Array(count),
      t: new Float64Array(count), tool: new Int32Array(count), tech: new Int32Array(count), place: new Int32Array(count),
      extra: new Int32Array(count).fill(-1), tools: [], techs: [], places: [{ sx: 0, sy: 0, side: 0 }], extras: []
    };
    let line = 0, x = 0, y = 0, hundredths = 0, tool = -1, tech = -1, place = 0, i = 0;
    while (r.more() && i < count) {
      const head = r.byte();
      const kind = head & 0x1f;
      if (kind === K.TOOL) {
        const station = r.signed(), angle = r.signed() / 1000, modes = r.number();
        ev.tools.push({ station: station, angle: angle, forming: (modes & 1) === 1, m61x: modes >> 1 });
        tool = ev.tools.length - 1;
        continue;
      }
      if (kind === K.TECHNOLOGY) {
        ev.techs.push({ head: r.signed(), m7x: r.signed(), mode: r.signed(), s: r.signed(), feed: r.signed() / 1000, compensation: r.number() });
        tech = ev.techs.length - 1;
        continue;
      }
      if (kind === K.SHEET_PLACE) {
        ev.places.push({ sx: r.signed() / 1000, sy: r.signed() / 1000, side: r.number() });
        place = ev.places.length - 1;
        continue;
      }
      line += r.signed();
      let sx = x, sy = y;
      if (head & OWN_START) {
        sx += r.signed();
        sy += r.signed();
      }
      x = sx;
      y = sy;
      if (!(head & STAYS)) {
        x += r.signed();
        y += r.signed();
      }
      hundredths += r.number();
      ev.kind[i] = kind;
      ev.line[i] = line;
      ev.x0[i] = sx / 1000;
      ev.y0[i] = sy / 1000;
      ev.x[i] = x / 1000;
      ev.y[i] = y / 1000;
      ev.t[i] = hundredths / 100;
      ev.tool[i] = tool;
      ev.tech[i] = tech;
      ev.place[i] = place;
      if (head & IN_COPY) ev.call[i] = line + r.signed();
      let extra = null;
      switch (kind) {
        case K.NIBBLE:
        case K.LASER: {
          extra = { shape: r.number() };
          if (kind === K.NIBBLE) extra.step = r.number() / 1000;
          if (extra.shape !== SHAPE_LINE) {
            extra.xc = (x + r.signed()) / 1000;
            extra.yc = (y + r.signed()) / 1000;
            extra.radius = r.number() / 1000;
            extra.sweep = r.signed() / 1000;
          }
          break;
        }
        case K.MOVE: extra = { purpose: PURPOSE[r.number()] || 'plain' }; break;
        case K.COPY: extra = { pattern: r.signed(), copy: r.signed() }; break;
        case K.STOP: case K.FEED_RANGE: case K.PARAMETER: extra = { number: r.signed() }; break;
        case K.REGRIP: extra = { number: r.signed(), value: r.signed() / 1000, value2: r.signed() / 1000, value3: r.signed() / 1000 }; break;
        case K.DWELL: extra = { seconds: r.signed() / 1000 }; break;
        case K.SHEET: extra = { number: r.signed(), thickness: r.signed() / 1000, sizeY: r.signed() / 1000 }; break;
        default: break;
      }
      if (extra !== null) {
        ev.extras.push(extra);
        ev.extra[i] = ev.extras.length - 1;
      }
      i++;
    }
    ev.n = i;
    return ev;
  }

  // The block map: runs of lines, each with its step's name.
  function decodeMap(base64, runs) {
    const r = new Reader(bytesOf(base64));
    const first = new Int32Array(runs), shapeOf = new Int32Array(runs), numbersAt = new Int32Array(runs + 1);
    const shapes = [], numbers = [];
    let line = 0, lastShape = -1, last = [], k = 0;
    while (r.more() && k < runs) {
      line += r.number();
      const shape = r.number();
      if (shape === shapes.length) shapes.push(r.text(r.number()).split('\u0001'));
      const parts = shapes[shape];
      const alike = shape === lastShape;
      const now = [];
      for (let j = 0; j < parts.length - 1; j++) {
        const z = r.number();
        now.push((alike ? last[j] : 0) + (z % 2 === 0 ? z / 2 : -(z + 1) / 2));
      }
      first[k] = line;
      shapeOf[k] = shape;
      numbersAt[k] = numbers.length;
      for (const v of now) numbers.push(v);
      last = now;
      lastShape = shape;
      k++;
    }
    numbersAt[k] = numbers.length;
    return {
      runs: k,
      name(lineNumber) {
        let lo = 0, hi = k - 1, found = -1;
        while (lo <= hi) {
          const mid = (lo + hi) >> 1;
          if (first[mid] <= lineNumber) { found = mid; lo = mid + 1; } else hi = mid - 1;
        }
        if (found < 0) return '';
        const parts = shapes[shapeOf[found]];
        let text = parts[0];
        for (let j = 1; j < parts.length; j++) text += numbers[numbersAt[found] + j - 1] + parts[j];
        return text;
      }
    };
  }

  // Strokes along a nibbled path, as the control makes them (nc/nibbling.cpp).
  function nibbleLength(ev, i) {
    const e = ev.extras[ev.extra[i]];
    if (e.shape === SHAPE_LINE) return Math.hypot(ev.x[i] - ev.x0[i], ev.y[i] - ev.y0[i]);
    return e.radius * Math.abs(e.sweep) * Math.PI / 180;
  }
  function nibbleCount(ev, i) {
    const e = ev.extras[ev.extra[i]];
    const length = nibbleLength(ev, i);
    if (!(e.step > 0) || !(length > 0)) return 1;
    const steps = Math.ceil(length / e.step - 1e-9);
    const n = steps < 1 ? 1 : Math.min(steps, 1e7);
    return e.shape === SHAPE_CIRCLE ? n : n + 1;
  }
  function nibbleStroke(ev, i, k, n) {
    const e = ev.extras[ev.extra[i]];
    const spaces = e.shape === SHAPE_CIRCLE ? n : n - 1;
    const t = spaces > 0 ? k / spaces : 0;
    if (e.shape === SHAPE_LINE) return [ev.x0[i] + t * (ev.x[i] - ev.x0[i]), ev.y0[i] + t * (ev.y[i] - ev.y0[i])];
    const a = Math.atan2(ev.y0[i] - e.yc, ev.x0[i] - e.xc) + t * e.sweep * Math.PI / 180;
    return [e.xc + e.radius * Math.cos(a), e.yc + e.radius * Math.sin(a)];
  }
  function cutLength(ev, i) {
    const e = ev.extras[ev.extra[i]];
    if (e.shape === SHAPE_LINE) return Math.hypot(ev.x[i] - ev.x0[i], ev.y[i] - ev.y0[i]);
    return e.radius * Math.abs(e.sweep) * Math.PI / 180;
  }

  return {
    K, SHAPE_LINE, SHAPE_CIRCLE, decodeEvents, decodeMap, nibbleLength, nibbleCount, nibbleStroke, cutLength
  };
}());
