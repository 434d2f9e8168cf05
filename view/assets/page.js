// page.js - the page of pelk-post view: a program's events drawn on a canvas,
// its text beside them, linked both ways, and a scrubber to walk through it.
//
// Its data (window.PELK) is written by pelk-post (view/page.cpp): meta (the
// sheet, clamps, load position, footprints), findings, events and map (read
// by data.js, which comes before this file in the page's script) and the
// program's text.  Nothing is fetched.  window.pelkView is the page's API for tests and scripts
// (docs/view.md).
(function () {
  'use strict';
  const P = window.PELK;
  const meta = P.meta;

  const { K, SHAPE_LINE, SHAPE_CIRCLE, decodeEvents, decodeMap } = PelkData;
  const PALETTE = ['#1f77b4', '#2ca02c', '#9467bd', '#ff7f0e', '#17becf', '#8c564b',
    '#e377c2', '#bcbd22', '#7f7f7f', '#393b79', '#637939', '#843c39'];
  const LASER_COLOUR = '#d62728';
  const MM_PER_INCH = 25.4;

  // ---- The program's data -------------------------------------------------------
  const timings = { start: performance.now() };
  const ev = decodeEvents(P.events, meta.events);
  timings.events = performance.now();
  // The block map, read when a step's name is first asked for.
  let decodedMap = null;
  const map = meta.mapRuns > 0 ? {
    name(l) {
      if (decodedMap === null) decodedMap = decodeMap(P.map, meta.mapRuns);
      return decodedMap.name(l);
    }
  } : null;
  const program = P.program.split('\n');
  if (program.length > 1 && program[program.length - 1] === '') program.pop();
  for (let i = 0; i < program.length; i++) if (program[i].endsWith('\r')) program[i] = program[i].slice(0, -1);
  const lineCount = program.length;
  const N = ev.n;
  timings.text = performance.now();

  // What an event does, by its place among the events.
  const nibbleCount = (i) => PelkData.nibbleCount(ev, i);
  const nibbleStroke = (i, k, n) => PelkData.nibbleStroke(ev, i, k, n);
  const cutLength = (i) => PelkData.cutLength(ev, i);

  // Running sums at the end of each event, and each event's program line
  // (the call's, inside a copy), which never goes back.
  const strokesTo = new Float64Array(N), cutTo = new Float64Array(N), regripsTo = new Int32Array(N);
  const pline = new Int32Array(N);
  const stations = new Set();
  const stationStrokes = new Map();   // station -> strokes, nibbling included
  const counts = { laser: 0, stops: 0, trapDoors: 0 };
  {
    let strokes = 0, cut = 0, regrips = 0;
    for (let i = 0; i < N; i++) {
      const k = ev.kind[i];
      if (k === K.STROKE) strokes += 1;
      else if (k === K.NIBBLE) strokes += nibbleCount(i);
      else if (k === K.LASER) { cut += cutLength(i); counts.laser++; }
      else if (k === K.REGRIP) regrips += 1;
      else if (k === K.STOP) counts.stops++;
      else if (k === K.TRAP_DOOR) counts.trapDoors++;
      if ((k === K.STROKE || k === K.NIBBLE) && ev.tool[i] >= 0) {
        const st = ev.tools[ev.tool[i]].station;
        stations.add(st);
        stationStrokes.set(st, (stationStrokes.get(st) || 0) + (k === K.STROKE ? 1 : nibbleCount(i)));
      }
      strokesTo[i] = strokes;
      cutTo[i] = cut;
      regripsTo[i] = regrips;
      pline[i] = ev.call[i] !== 0 ? ev.call[i] : ev.line[i];
    }
  }
  // The events of each line: its own, and a call's copies; made when a
  // line's events are first asked for.
  let byLineStart = null, byLine = null;
  function indexLines() {
    byLineStart = new Int32Array(lineCount + 2);
    const count = new Int32Array(lineCount + 2);
    const inRange = (l) => l >= 1 && l <= lineCount;
    for (let i = 0; i < N; i++) {
      if (inRange(ev.line[i])) count[ev.line[i]]++;
      if (ev.call[i] !== 0 && ev.call[i] !== ev.line[i] && inRange(ev.call[i])) count[ev.call[i]]++;
    }
    for (let l = 1; l <= lineCount + 1; l++) byLineStart[l] = byLineStart[l - 1] + count[l - 1];
    byLine = new Int32Array(byLineStart[lineCount + 1]);
    const fill = byLineStart.slice();
    for (let i = 0; i < N; i++) {
      if (inRange(ev.line[i])) byLine[fill[ev.line[i]]++] = i;
      if (ev.call[i] !== 0 && ev.call[i] !== ev.line[i] && inRange(ev.call[i])) byLine[fill[ev.call[i]]++] = i;
    }
  }
  function eventsOfLine(l) {
    if (!(l >= 1 && l <= lineCount)) return [];
    if (byLine === null) indexLines();
    return Array.from(byLine.subarray(byLineStart[l], byLineStart[l + 1]));
  }
  const stationList = Array.from(stations).sort((a, b) => a - b);
  const colours = new Map();
  stationList.forEach((s, i) => colours.set(s, PALETTE[i % PALETTE.length]));
  const colourOf = (station) => colours.get(station) || '#000';
  // Where the program sets an origin (OFS/), outside its patterns.
  const offsets = [];
  for (let l = 0; l < lineCount; l++) {
    const m = /^OFS\/X(-?[0-9.]+)Y(-?[0-9.]+)$/.exec(program[l]);
    if (m) offsets.push({ line: l + 1, x: parseFloat(m[1]), y: parseFloat(m[2]) });
  }

  // ---- What the page shows --------------------------------------------------------
  const state = {
    cursor: N,              // events run: [0, cursor)
    line: 0,                // the line in the status and the text
    selected: 0,            // the line whose work is highlighted
    chosenFinding: -1,
    hidden: new Set(),      // stations (and 'laser') not drawn
    showMoves: true,
    showTravel: N < 200000,
    playing: false
  };
  const canvas = document.getElementById('sheet');
  const ctx = canvas.getContext('2d');
  const view = { scale: 1, ox: 0, oy: 0, width: 0, height: 0, dpr: 1 };

  function resize() {
    const rect = canvas.getBoundingClientRect();
    view.dpr = window.devicePixelRatio || 1;
    view.width = rect.width;
    view.height = rect.height;
    canvas.width = Math.max(1, Math.round(rect.width * view.dpr));
    canvas.height = Math.max(1, Math.round(rect.height * view.dpr));
  }
  function extent() {
    let minX = Math.min(0, meta.load[0]), minY = Math.min(0, meta.load[1]);
    let maxX = Math.max(meta.sheet[0], meta.load[0]), maxY = Math.max(meta.sheet[1], meta.load[1]);
    for (const c of meta.clamps) { minX = Math.min(minX, c - 20); maxX = Math.max(maxX, c + 20); }
    // The sheet turned a quarter lies the other way.
    if (meta.turns.some((t) => t.quarter)) { maxX = Math.max(maxX, meta.sheet[1]); maxY = Math.max(maxY, meta.sheet[0]); }
    minY = Math.min(minY, -20);
    for (let i = 0; i < N; i++) {
      const k = ev.kind[i];
      if (k === K.STROKE || k === K.NIBBLE || k === K.LASER || k === K.PIERCE || k === K.MOVE) {
        const x = ev.x[i], y = ev.y[i];
        if (x < minX) minX = x; if (x > maxX) maxX = x;
        if (y < minY) minY = y; if (y > maxY) maxY = y;
      }
    }
    return [minX, minY, maxX, maxY];
  }
  // The drawing fitted beside the legend, which stands at the top right.
  function fit() {
    const [minX, minY, maxX, maxY] = extent();
    const w = Math.max(maxX - minX, 1), h = Math.max(maxY - minY, 1);
    const legendWidth = document.getElementById('legend').offsetWidth + 16;
    const width = view.width - legendWidth > view.width * 0.5 ? view.width - legendWidth : view.width;
    view.scale = Math.min(width / w, view.height / h) * 0.92;
    view.ox = (width - w * view.scale) / 2 - minX * view.scale;
    view.oy = (view.height + h * view.scale) / 2 + minY * view.scale;
    requestDraw();
  }
  const sx = (x) => view.ox + x * view.scale;
  const sy = (y) => view.oy - y * view.scale;
  const sheetOf = (px, py) => [(px - view.ox) / view.scale, (view.oy - py) / view.scale];

  // ---- Drawing ------------------------------------------------------------------------
  let drawPending = false;
  let firstPicture = 0;
  function requestDraw() {
    if (drawPending) return;
    drawPending = true;
    requestAnimationFrame(() => {
      drawPending = false;
      draw();
    });
  }
  // A colour as the 32-bit word of an image's pixel (bytes R, G, B, A).
  const pixelWords = new Map();
  function pixelWord(colour, solid) {
    const key = colour + solid;
    let word = pixelWords.get(key);
    if (word === undefined) {
      const c = solid ? colour : faint(colour);
      const [r, gr, b] = c.startsWith('#') ? [1, 3, 5].map((k) => parseInt(c.slice(k, k + 2), 16)) : c.slice(4, -1).split(',').map(Number);
      const bytes = new Uint8Array([r, gr, b, 255]);
      word = new Uint32Array(bytes.buffer)[0];
      pixelWords.set(key, word);
    }
    return word;
  }
  function faint(colour) {
    const v = parseInt(colour.slice(1), 16);
    const mix = (c) => Math.round(c * 0.28 + 255 * 0.72);
    return 'rgb(' + mix(v >> 16) + ',' + mix((v >> 8) & 255) + ',' + mix(v & 255) + ')';
  }
  function footprint(station) {
    const t = meta.tools[station];
    return t ? { shape: t[0], w: t[1], h: t[2] } : { shape: 'marker', w: 0, h: 0 };
  }
  // One footprint at (x, y) into the path, or its marked point.
  function addFootprint(path, station, angle, x, y) {
    const f = footprint(station);
    const px = sx(x), py = sy(y);
    const w = f.w * view.scale, h = f.h * view.scale;
    if (f.shape === 'marker' || Math.max(w, h) < 2.5) {
      const r = f.shape === 'marker' ? 3 : 1.2;
      path.moveTo(px - r, py); path.lineTo(px + r, py);
      path.moveTo(px, py - r); path.lineTo(px, py + r);
      if (f.shape !== 'marker') path.rect(px - 1, py - 1, 2, 2);
      return;
    }
    if (f.shape === 'round') {
      path.moveTo(px + w / 2, py);
      path.arc(px, py, w / 2, 0, 2 * Math.PI);
      return;
    }
    const a = -angle * Math.PI / 180, c = Math.cos(a), s = Math.sin(a);
    const corner = (dx, dy) => [px + dx * c - dy * s, py + dx * s + dy * c];
    const r = f.shape === 'obround' ? Math.min(w, h) / 2 : 0;
    if (r > 0 && angle === 0) {
      path.roundRect ? path.roundRect(px - w / 2, py - h / 2, w, h, r) : path.rect(px - w / 2, py - h / 2, w, h);
      return;
    }
    const pts = [corner(-w / 2, -h / 2), corner(w / 2, -h / 2), corner(w / 2, h / 2), corner(-w / 2, h / 2)];
    path.moveTo(pts[0][0], pts[0][1]);
    for (let k = 1; k < 4; k++) path.lineTo(pts[k][0], pts[k][1]);
    path.closePath();
  }
  function arcPath(path, x0, y0, xc, yc, radius, sweep) {
    const a0 = Math.atan2(y0 - yc, x0 - xc);
    // Y is up on the sheet and down on the screen: angles turn the other way.
    path.moveTo(sx(x0), sy(y0));
    path.arc(sx(xc), sy(yc), radius * view.scale, -a0, -(a0 + sweep * Math.PI / 180), sweep > 0);
  }
  function visible(i) {
    const k = ev.kind[i];
    if (k === K.STROKE || k === K.NIBBLE) {
      return !(ev.tool[i] >= 0 && state.hidden.has(ev.tools[ev.tool[i]].station));
    }
    if (k === K.LASER || k === K.PIERCE || k === K.CUT_END) return !state.hidden.has('laser');
    return true;
  }

  function drawScene() {
    ctx.fillStyle = '#fff';
    ctx.fillRect(0, 0, view.width, view.height);
    const [w, h] = meta.sheet;
    ctx.fillStyle = '#f7f6f0';
    ctx.strokeStyle = '#444';
    ctx.lineWidth = 1;
    ctx.fillRect(sx(0), sy(h), w * view.scale, h * view.scale);
    ctx.strokeRect(sx(0), sy(h), w * view.scale, h * view.scale);
    // After a stop the operator was told about: the sheet as he put it back.
    const side = state.cursor > 0 ? ev.places[ev.place[state.cursor - 1]].side : 0;
    if (side > 0 && side <= meta.turns.length) {
      let tw = w, th = h;
      for (let k = 0; k < side; k++) if (meta.turns[k].quarter) [tw, th] = [th, tw];
      ctx.setLineDash([8, 5]);
      ctx.strokeRect(sx(0), sy(th), tw * view.scale, th * view.scale);
      ctx.setLineDash([]);
      ctx.fillStyle = '#222';
      ctx.fillText('after stop ' + side + ': ' + meta.turns[side - 1].text, sx(0) + 4, sy(th) - 5);
    }
    // The clamps below the sheet's edge, and their zones on it.
    const [zw, zd] = meta.clampZone;
    for (const c of meta.clamps) {
      ctx.fillStyle = 'rgba(214, 39, 40, 0.10)';
      ctx.fillRect(sx(c - zw / 2), sy(zd), zw * view.scale, zd * view.scale);
      ctx.strokeStyle = 'rgba(214, 39, 40, 0.5)';
      ctx.setLineDash([4, 3]);
      ctx.strokeRect(sx(c - zw / 2), sy(zd), zw * view.scale, zd * view.scale);
      ctx.setLineDash([]);
      ctx.fillStyle = '#999';
      ctx.strokeStyle = '#444';
      ctx.fillRect(sx(c - 20), sy(0), 40 * view.scale, 20 * view.scale);
      ctx.strokeRect(sx(c - 20), sy(0), 40 * view.scale, 20 * view.scale);
    }
    // The load position.
    const lx = sx(meta.load[0]), ly = sy(meta.load[1]);
    ctx.beginPath();
    ctx.moveTo(lx, ly); ctx.lineTo(lx - 7, ly + 11); ctx.lineTo(lx + 7, ly + 11); ctx.closePath();
    ctx.strokeStyle = '#000';
    ctx.stroke();
  }

  // The events [from, to) whose kinds are drawn, solid or faint, into the
  // context g.
  function drawEvents(g, from, to, solid) {
    const paths = new Map();   // colour -> {fill, line}
    const get = (colour) => {
      let p = paths.get(colour);
      if (!p) { p = { fill: new Path2D(), line: new Path2D(), hollow: new Path2D() }; paths.set(colour, p); }
      return p;
    };
    const travel = new Path2D(), moves = new Path2D(), laser = new Path2D(), kerf = new Path2D(), pierces = new Path2D();
    const marks = new Path2D();
    const tiny = new Map();    // colour -> Path2D of dots, when footprints are smaller than a pixel or two
    const left = -20, right = view.width + 20, top = -20, bottom = view.height + 20;
    // So many marked points that their crosses would only cover each other:
    // dots, set straight into an image of their own.
    const dense = to - from > 100000;
    const pixelWidth = canvas.width, pixelHeight = canvas.height;
    const image = dense ? new ImageData(pixelWidth, pixelHeight) : null;
    const pixels = image !== null ? new Uint32Array(image.data.buffer) : null;
    const inView = (x, y) => { const px = sx(x), py = sy(y); return px > left && px < right && py > top && py < bottom; };
    for (let i = from; i < to; i++) {
      const k = ev.kind[i];
      if (k === K.STROKE) {
        if (!visible(i)) continue;
        const tool = ev.tools[ev.tool[i]] || { station: 0, angle: 0 };
        if (state.showTravel) { travel.moveTo(sx(ev.x0[i]), sy(ev.y0[i])); travel.lineTo(sx(ev.x[i]), sy(ev.y[i])); }
        if (!inView(ev.x[i], ev.y[i])) continue;
        const f = footprint(tool.station);
        const colour = colourOf(tool.station);
        if ((f.shape !== 'marker' && Math.max(f.w, f.h) * view.scale < 1.5) || (f.shape === 'marker' && dense)) {
          if (pixels !== null) {
            // Two pixels square, straight into the picture.
            const px = Math.round(sx(ev.x[i]) * view.dpr), py = Math.round(sy(ev.y[i]) * view.dpr);
            if (px >= 0 && py >= 0 && px + 1 < pixelWidth && py + 1 < pixelHeight) {
              const word = pixelWord(colour, solid), at = py * pixelWidth + px;
              pixels[at] = pixels[at + 1] = pixels[at + pixelWidth] = pixels[at + pixelWidth + 1] = word;
            }
            continue;
          }
          let p = tiny.get(colour);
          if (!p) { p = new Path2D(); tiny.set(colour, p); }
          p.rect(Math.floor(sx(ev.x[i])), Math.floor(sy(ev.y[i])), 1.5, 1.5);
          continue;
        }
        const p = get(colour);
        addFootprint(ev.places[ev.place[i]].side > 0 ? p.hollow : p.fill, tool.station, tool.angle, ev.x[i], ev.y[i]);
      } else if (k === K.NIBBLE) {
        if (!visible(i)) continue;
        const tool = ev.tools[ev.tool[i]] || { station: 0, angle: 0 };
        const e = ev.extras[ev.extra[i]];
        const p = get(colourOf(tool.station));
        if (e.shape === SHAPE_LINE) { p.line.moveTo(sx(ev.x0[i]), sy(ev.y0[i])); p.line.lineTo(sx(ev.x[i]), sy(ev.y[i])); }
        else arcPath(p.line, ev.x0[i], ev.y0[i], e.xc, e.yc, e.radius, e.sweep);
        const n = nibbleCount(i);
        for (let s = 0; s < n; s++) {
          const [x, y] = nibbleStroke(i, s, n);
          if (inView(x, y)) addFootprint(ev.places[ev.place[i]].side > 0 ? p.hollow : p.fill, tool.station, tool.angle, x, y);
        }
      } else if (k === K.LASER) {
        if (!visible(i)) continue;
        const e = ev.extras[ev.extra[i]];
        if (e.shape === SHAPE_LINE) { laser.moveTo(sx(ev.x0[i]), sy(ev.y0[i])); laser.lineTo(sx(ev.x[i]), sy(ev.y[i])); }
        else arcPath(laser, ev.x0[i], ev.y0[i], e.xc, e.yc, e.radius, e.sweep);
        const tech = ev.techs[ev.tech[i]];
        if (tech && tech.compensation !== 0 && view.scale > 0.05) {
          const side = (tech.compensation === 1 ? 1 : -1) * 4 / view.scale;
          if (e.shape === SHAPE_LINE) {
            const len = Math.hypot(ev.x[i] - ev.x0[i], ev.y[i] - ev.y0[i]);
            if (len > 0) {
              const nx = -(ev.y[i] - ev.y0[i]) / len * side, ny = (ev.x[i] - ev.x0[i]) / len * side;
              kerf.moveTo(sx(ev.x0[i] + nx), sy(ev.y0[i] + ny)); kerf.lineTo(sx(ev.x[i] + nx), sy(ev.y[i] + ny));
            }
          } else {
            const r = e.radius - (e.sweep > 0 ? side : -side);
            if (r > 0) {
              const a0 = Math.atan2(ev.y0[i] - e.yc, ev.x0[i] - e.xc);
              arcPath(kerf, e.xc + r * Math.cos(a0), e.yc + r * Math.sin(a0), e.xc, e.yc, r, e.sweep);
            }
          }
        }
        // The way of the cut: an arrow at its end.
        if (view.scale > 0.02) {
          let dx, dy;
          if (e.shape === SHAPE_LINE) { dx = ev.x[i] - ev.x0[i]; dy = ev.y[i] - ev.y0[i]; }
          else { const s = e.sweep > 0 ? 1 : -1; dx = -(ev.y[i] - e.yc) * s; dy = (ev.x[i] - e.xc) * s; }
          const len = Math.hypot(dx, dy);
          if (len > 0) {
            const ux = dx / len, uy = -dy / len, px = sx(ev.x[i]), py = sy(ev.y[i]);
            laser.moveTo(px - 8 * ux - 4 * uy, py - 8 * uy + 4 * ux); laser.lineTo(px, py); laser.lineTo(px - 8 * ux + 4 * uy, py - 8 * uy - 4 * ux);
          }
        }
      } else if (k === K.PIERCE) {
        if (!visible(i)) continue;
        if (state.showTravel) { travel.moveTo(sx(ev.x0[i]), sy(ev.y0[i])); travel.lineTo(sx(ev.x[i]), sy(ev.y[i])); }
        pierces.moveTo(sx(ev.x[i]) + 4, sy(ev.y[i]));
        pierces.arc(sx(ev.x[i]), sy(ev.y[i]), 4, 0, 2 * Math.PI);
      } else if (k === K.MOVE || k === K.COPY || k === K.TRAP_DOOR) {
        if (state.showMoves) { moves.moveTo(sx(ev.x0[i]), sy(ev.y0[i])); moves.lineTo(sx(ev.x[i]), sy(ev.y[i])); }
        if (k === K.TRAP_DOOR) marks.rect(sx(ev.x[i]) - 4, sy(ev.y[i]) - 4, 8, 8);
      } else if (k === K.STOP) {
        marks.rect(sx(ev.x[i]) - 3, sy(ev.y[i]) - 3, 6, 6);
      }
    }
    // Travel and positionings under the work.
    g.lineWidth = 1;
    g.strokeStyle = solid ? '#b5b5b5' : '#e4e4e4';
    g.stroke(travel);
    g.setLineDash([5, 4]);
    g.strokeStyle = solid ? '#888' : '#ddd';
    g.stroke(moves);
    g.setLineDash([]);
    for (const [colour, p] of tiny) { g.fillStyle = solid ? colour : faint(colour); g.fill(p); }
    if (image !== null) {
      const dots = document.createElement('canvas');
      dots.width = pixelWidth;
      dots.height = pixelHeight;
      dots.getContext('2d').putImageData(image, 0, 0);
      g.save();
      g.setTransform(1, 0, 0, 1, 0, 0);
      g.drawImage(dots, 0, 0);
      g.restore();
    }
    for (const [colour, p] of paths) {
      const c = solid ? colour : faint(colour);
      g.strokeStyle = c;
      g.lineWidth = 1;
      g.stroke(p.line);
      g.globalAlpha = 0.45;
      g.fillStyle = c;
      g.fill(p.fill);
      g.globalAlpha = 1;
      g.stroke(p.fill);
      g.setLineDash([3, 2]);
      g.stroke(p.hollow);
      g.setLineDash([]);
    }
    g.strokeStyle = solid ? LASER_COLOUR : faint(LASER_COLOUR);
    g.lineWidth = 1.5;
    g.stroke(laser);
    g.lineWidth = 1;
    g.stroke(pierces);
    g.setLineDash([2, 3]);
    g.globalAlpha = 0.7;
    g.stroke(kerf);
    g.globalAlpha = 1;
    g.setLineDash([]);
    g.fillStyle = solid ? '#000' : '#bbb';
    g.fill(marks);
  }

  // The clamps where the re-grips so far left them.
  function drawRegrips() {
    let shift = 0, count = 0;
    for (let i = 0; i < state.cursor; i++) {
      if (ev.kind[i] !== K.REGRIP) continue;
      shift += ev.extras[ev.extra[i]].value;
      count++;
    }
    if (count === 0) return;
    ctx.setLineDash([6, 4]);
    ctx.strokeStyle = '#444';
    for (const c of meta.clamps) ctx.strokeRect(sx(c + shift - 20), sy(0), 40 * view.scale, 20 * view.scale);
    ctx.setLineDash([]);
    ctx.fillStyle = '#222';
    ctx.fillText('re-grip ' + count + ': clamps at +' + fmt(shift, 1) + ' mm', sx((meta.clamps[0] || 0) + shift - 20), sy(0) + 20 * view.scale + 13);
  }

  function drawHighlight() {
    const lines = [];
    if (state.selected > 0) lines.push([state.selected, '#111']);
    ctx.lineWidth = 2.5;
    for (const [l, colour] of lines) {
      const path = new Path2D();
      for (const i of eventsOfLine(l)) {
        const px = sx(ev.x[i]), py = sy(ev.y[i]);
        const k = ev.kind[i];
        if (k === K.STROKE) path.rect(px - 6, py - 6, 12, 12);
        else if (k === K.NIBBLE || k === K.LASER || k === K.MOVE || k === K.COPY) {
          path.moveTo(sx(ev.x0[i]), sy(ev.y0[i]));
          if (k !== K.MOVE && k !== K.COPY && ev.extras[ev.extra[i]].shape !== SHAPE_LINE) {
            const e = ev.extras[ev.extra[i]];
            arcPath(path, ev.x0[i], ev.y0[i], e.xc, e.yc, e.radius, e.sweep);
          } else path.lineTo(px, py);
          path.rect(px - 4, py - 4, 8, 8);
        } else if (k === K.REGRIP) {
          for (const c of meta.clamps) path.rect(sx(c + ev.extras[ev.extra[i]].value - 20), sy(0) - 2, 40 * view.scale, 20 * view.scale + 4);
        } else path.rect(px - 5, py - 5, 10, 10);
      }
      ctx.strokeStyle = colour;
      ctx.stroke(path);
    }
    // Findings with a place: a red ring each, the chosen one bold.
    P.findings.forEach((g, n) => {
      if (!g.placed) return;
      const shift = placeAtLine(g.line);
      ctx.beginPath();
      ctx.arc(sx(g.x + shift.sx), sy(g.y + shift.sy), n === state.chosenFinding ? 12 : 8, 0, 2 * Math.PI);
      ctx.strokeStyle = LASER_COLOUR;
      ctx.lineWidth = n === state.chosenFinding ? 3 : 1.5;
      ctx.stroke();
    });
    ctx.lineWidth = 1;
    // Where the tool stands now.
    if (state.cursor > 0) {
      const i = state.cursor - 1;
      const px = sx(ev.x[i]), py = sy(ev.y[i]);
      ctx.strokeStyle = '#000';
      ctx.beginPath();
      ctx.moveTo(px - 14, py); ctx.lineTo(px - 5, py); ctx.moveTo(px + 5, py); ctx.lineTo(px + 14, py);
      ctx.moveTo(px, py - 14); ctx.lineTo(px, py - 5); ctx.moveTo(px, py + 5); ctx.lineTo(px, py + 14);
      ctx.stroke();
    }
  }

  // The work drawn, kept between pictures for the view as it is: every
  // event faint, then what has run solid over it.  Scrubbing on draws only
  // the events passed; scrubbing back starts from the nearest of the
  // snapshots taken on the way (sixteen over the program), so that a big
  // program stays quick to walk through.
  const layers = { key: '', faint: null, work: null, workContext: null, workCursor: 0, snapshots: new Map() };
  function offscreen() {
    const c = document.createElement('canvas');
    c.width = canvas.width;
    c.height = canvas.height;
    const g = c.getContext('2d');
    g.setTransform(view.dpr, 0, 0, view.dpr, 0, 0);
    return [c, g];
  }
  function copyOf(source) {
    const [c, g] = offscreen();
    g.setTransform(1, 0, 0, 1, 0, 0);
    g.drawImage(source, 0, 0);
    g.setTransform(view.dpr, 0, 0, view.dpr, 0, 0);
    return [c, g];
  }
  function workLayer(cursor) {
    const key = [view.scale, view.ox, view.oy, canvas.width, canvas.height, state.showMoves, state.showTravel,
      Array.from(state.hidden).join(',')].join('|');
    if (key !== layers.key) {
      layers.key = key;
      layers.faint = null;
      layers.snapshots.clear();
      layers.work = null;
    }
    if (layers.work === null || cursor < layers.workCursor) {
      // The whole program run needs no faint layer under it: the first
      // picture of a big program comes sooner.
      if (layers.faint === null && cursor < N) {
        const [c, g] = offscreen();
        drawEvents(g, 0, N, false);
        layers.faint = c;
      }
      let from = 0, source = layers.faint;
      for (const [at, snapshot] of layers.snapshots) if (at <= cursor && at > from) { from = at; source = snapshot; }
      [layers.work, layers.workContext] = source !== null ? copyOf(source) : offscreen();
      layers.workCursor = from;
    }
    const every = N > 20000 && layers.faint !== null ? Math.ceil(N / 16) : N + 1;
    while (layers.workCursor < cursor) {
      const next = Math.min(cursor, (Math.floor(layers.workCursor / every) + 1) * every);
      drawEvents(layers.workContext, layers.workCursor, next, true);
      layers.workCursor = next;
      if (next % every === 0 && !layers.snapshots.has(next)) layers.snapshots.set(next, copyOf(layers.work)[0]);
    }
    return layers.work;
  }

  function draw() {
    const started = performance.now();
    ctx.setTransform(view.dpr, 0, 0, view.dpr, 0, 0);
    ctx.font = '12px sans-serif';
    drawScene();
    const work = workLayer(state.cursor);
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.drawImage(work, 0, 0);
    ctx.setTransform(view.dpr, 0, 0, view.dpr, 0, 0);
    drawRegrips();
    drawHighlight();
    api.lastDrawMs = performance.now() - started;
    if (firstPicture === 0) {
      firstPicture = performance.now();
      api.firstPictureMs = firstPicture;
      api.ready = true;
    }
  }

  // ---- Finding what is under the mouse ------------------------------------------------
  // The event drawn nearest to (px, py), within a few pixels: strokes (and
  // the strokes along a nibbled path), laser elements, pierces.  A stroke or
  // a pierce wins over a path that passes through the same place.
  function eventAt(px, py) {
    const [x, y] = sheetOf(px, py);
    let best = -1, bestDistance = 8 / view.scale;
    const pathPenalty = 1 / view.scale;
    const near = (i, d) => { if (d <= bestDistance) { bestDistance = d; best = i; } };
    for (let i = 0; i < N; i++) {
      const k = ev.kind[i];
      if (!visible(i)) continue;
      if (k === K.STROKE || k === K.PIERCE) near(i, Math.hypot(ev.x[i] - x, ev.y[i] - y));
      else if (k === K.NIBBLE) {
        const n = nibbleCount(i);
        for (let s = 0; s < n; s++) { const [a, b] = nibbleStroke(i, s, n); near(i, Math.hypot(a - x, b - y) + pathPenalty); }
      } else if (k === K.LASER) {
        const e = ev.extras[ev.extra[i]];
        if (e.shape === SHAPE_LINE) {
          const dx = ev.x[i] - ev.x0[i], dy = ev.y[i] - ev.y0[i], len2 = dx * dx + dy * dy;
          const t = len2 > 0 ? Math.max(0, Math.min(1, ((x - ev.x0[i]) * dx + (y - ev.y0[i]) * dy) / len2)) : 0;
          near(i, Math.hypot(ev.x0[i] + t * dx - x, ev.y0[i] + t * dy - y) + pathPenalty);
        } else {
          near(i, Math.abs(Math.hypot(x - e.xc, y - e.yc) - e.radius) + pathPenalty);
        }
      }
    }
    return best;
  }

  // ---- Where the program stands ---------------------------------------------------------
  function fmt(v, digits) { return (Math.round(v * 10 ** digits) / 10 ** digits).toFixed(digits); }
  function placeAtLine(l) {
    const list = eventsOfLine(l);
    return list.length > 0 ? ev.places[ev.place[list[0]]] : ev.places[0];
  }
  function lastBefore(cursor, test) {
    for (let i = cursor - 1; i >= 0; i--) if (test(i)) return i;
    return -1;
  }
  // The first run of a line's events: [first, end).
  function firstRun(l) {
    const list = eventsOfLine(l);
    if (list.length === 0) return null;
    let end = list[0] + 1;
    const belongs = (i) => ev.line[i] === l || ev.call[i] === l;
    while (end < N && belongs(end)) end++;
    return [list[0], end];
  }
  function cursorOfLine(l) {
    const run = firstRun(l);
    if (run) return run[1];
    // A line without events: what ran before it.
    let lo = 0, hi = N;
    while (lo < hi) { const mid = (lo + hi) >> 1; if (pline[mid] <= l) lo = mid + 1; else hi = mid; }
    return lo;
  }
  function stepName(i) {
    if (!map) return '';
    let name = map.name(ev.line[i]);
    const k = ev.kind[i];
    if (k === K.STROKE) {
      // Which stroke of its step (a row, a circle of holes, counted as the
      // job's steps name them; in a copy, of that copy) it is, when the step
      // makes more than one.
      const same = (j) => ev.call[j] === ev.call[i] && ev.kind[j] !== K.COPY &&
        (ev.line[j] === ev.line[i] || map.name(ev.line[j]) === name);
      let first = i, last = i;
      while (first > 0 && same(first - 1)) first--;
      while (last + 1 < N && same(last + 1)) last++;
      let nth = 0, all = 0;
      for (let j = first; j <= last; j++) {
        if (ev.kind[j] !== K.STROKE) continue;
        all++;
        if (j <= i) nth++;
      }
      if (all > 1) name += (name.includes('(bolt_hole_circle)') ? ' hole ' : ' hit ') + nth;
    }
    if (ev.call[i] !== 0) {
      const copy = lastBefore(i + 1, (j) => ev.kind[j] === K.COPY && ev.line[j] === ev.call[i]);
      const what = /^MGR\//.test(program[ev.call[i] - 1] || '') ? 'repeat' : 'call';
      const n = copy >= 0 ? ev.extras[ev.extra[copy]].copy + 1 : 1;
      name += ' in copy ' + n + ' of the ' + what + ' at ' + (map.name(ev.call[i]) || 'line ' + ev.call[i]);
    }
    return name;
  }
  function currentState() {
    const i = state.cursor - 1;
    const s = {
      line: state.line, event: state.cursor, events: N, x: 0, y: 0, sheetX: 0, sheetY: 0, station: 0, index: 0,
      forming: false, m61x: 0, strokes: 0, cutLength: 0, regrips: 0, seconds: 0, copy: null, offset: null,
      laser: null, step: ''
    };
    if (i < 0) {
      // Before the first event: at the load position.
      s.x = s.sheetX = meta.load[0];
      s.y = s.sheetY = meta.load[1];
      return s;
    }
    const place = ev.places[ev.place[i]];
    s.sheetX = ev.x[i];
    s.sheetY = ev.y[i];
    s.x = ev.x[i] - place.sx;
    s.y = ev.y[i] - place.sy;
    const t = lastBefore(state.cursor, (j) => ev.tool[j] >= 0);
    if (t >= 0) {
      const tool = ev.tools[ev.tool[t]];
      s.station = tool.station; s.index = tool.angle; s.forming = tool.forming; s.m61x = tool.m61x;
    }
    const l = lastBefore(state.cursor, (j) => ev.tech[j] >= 0);
    if (l >= 0) s.laser = ev.techs[ev.tech[l]];
    s.strokes = strokesTo[i];
    s.cutLength = cutTo[i];
    s.regrips = regripsTo[i];
    s.seconds = ev.t[i];
    if (ev.call[i] !== 0) {
      const copy = lastBefore(state.cursor, (j) => ev.kind[j] === K.COPY && ev.line[j] === ev.call[i]);
      if (copy >= 0) s.copy = { pattern: ev.extras[ev.extra[copy]].pattern, copy: ev.extras[ev.extra[copy]].copy + 1, line: ev.call[i] };
    } else {
      const here = pline[i];
      let o = null;
      for (const f of offsets) if (f.line <= here) o = f;
      if (o && (o.x !== 0 || o.y !== 0)) s.offset = { x: o.x, y: o.y, line: o.line };
    }
    s.step = stepName(i);
    return s;
  }

  function headWords(t) {
    if (!t) return 'none';
    const head = { 1: 'M121', 0: 'M122', 2: 'M123', '-1': 'M124' }[t.head] || '-';
    const m7x = t.m7x >= 1 && t.m7x <= 4 ? 'M7' + t.m7x : '-';
    const mode = { 1: 'M27', 2: 'M34', 3: 'M35', 0: 'M28' }[t.mode];
    const comp = ['', ' LAL/', ' LAR/'][t.compensation] || '';
    return head + ' ' + m7x + (mode ? ' ' + mode + ' S' + t.s : '') + ' F' + t.feed + comp;
  }
  function clock(seconds) {
    const m = Math.floor(seconds / 60), s = seconds - m * 60;
    return m + ':' + (s < 10 ? '0' : '') + s.toFixed(1);
  }
  const statusBar = document.getElementById('status');
  function showStatus() {
    const s = currentState();
    const unit = meta.inch ? 'in' : 'mm';
    const prog = (v) => meta.inch ? fmt(v / MM_PER_INCH, 4) : fmt(v, 3);
    const parts = [
      ['line', s.line + ' of ' + lineCount + (s.step ? ' (' + s.step + ')' : '')],
      ['X Y', prog(s.x) + ' ' + prog(s.y) + ' ' + unit + (meta.inch ? ' = ' + fmt(s.x, 2) + ' ' + fmt(s.y, 2) + ' mm' : '')],
      ['station', s.station ? 'T' + s.station + ' C' + fmt(s.index, 2) : 'none'],
      ['modes', (s.forming ? 'M08' : 'M09') + ' M61' + s.m61x],
      ['laser', headWords(s.laser)],
      ['in', s.copy ? 'copy ' + s.copy.copy + ' of PAT' + String(s.copy.pattern).padStart(2, '0') + ' (line ' + s.copy.line + ')'
        : s.offset ? 'offset X' + s.offset.x + ' Y' + s.offset.y + ' (line ' + s.offset.line + ')' : 'sheet'],
      ['re-grips', String(s.regrips)],
      ['strokes', String(s.strokes)],
      ['cut', fmt(s.cutLength, 1) + ' mm'],
      ['time', clock(s.seconds) + ' of ' + clock(N > 0 ? ev.t[N - 1] : 0)]
    ];
    statusBar.innerHTML = '';
    for (const [name, value] of parts) {
      const span = document.createElement('span');
      const b = document.createElement('b');
      b.textContent = name + ' ';
      span.appendChild(b);
      span.appendChild(document.createTextNode(value));
      statusBar.appendChild(span);
    }
  }

  // ---- The program's text ---------------------------------------------------------------
  const ROW = 16;
  const box = document.getElementById('program');
  const spacer = document.getElementById('program-spacer');
  const rows = document.getElementById('program-lines');
  spacer.style.height = lineCount * ROW + 'px';
  const findingLines = new Set(P.findings.filter((f) => f.line > 0).map((f) => f.line));
  let foundLine = 0;
  let shownText = '';
  // The lines in sight (and a few around them), made anew only when what
  // they show changes: a line under the mouse stays the same element.
  function renderText() {
    const first = Math.max(0, Math.floor(box.scrollTop / ROW) - 5);
    const last = Math.min(lineCount, Math.ceil((box.scrollTop + box.clientHeight) / ROW) + 5);
    const doneTo = state.cursor > 0 ? pline[state.cursor - 1] : 0;
    const shown = [first, last, doneTo, state.line, state.selected, foundLine].join(' ');
    if (shown === shownText) return;
    shownText = shown;
    rows.style.top = first * ROW + 'px';
    rows.textContent = '';
    const fragment = document.createDocumentFragment();
    for (let l = first + 1; l <= last; l++) {
      const div = document.createElement('div');
      div.className = 'line ' + (l <= doneTo ? 'done' : 'to-come') + (l === state.line ? ' current' : '') +
        (l === state.selected ? ' selected' : '') + (l === foundLine ? ' found' : '') + (findingLines.has(l) ? ' finding' : '');
      div.dataset.line = l;
      const no = document.createElement('span');
      no.className = 'no';
      no.textContent = l;
      const text = document.createElement('span');
      text.className = 'text';
      text.textContent = program[l - 1];
      div.appendChild(no);
      div.appendChild(text);
      fragment.appendChild(div);
    }
    rows.appendChild(fragment);
  }
  function scrollTo(l) {
    const y = (l - 1) * ROW;
    if (y < box.scrollTop || y + ROW > box.scrollTop + box.clientHeight) box.scrollTop = Math.max(0, y - box.clientHeight / 3);
    renderText();
  }
  box.addEventListener('scroll', renderText);
  rows.addEventListener('click', (event) => {
    const div = event.target.closest('.line');
    if (div) select(Number(div.dataset.line));
  });

  // ---- Moving through the program ---------------------------------------------------------
  const scrubber = document.getElementById('scrubber');
  scrubber.max = String(N);
  function setCursor(c, line) {
    state.cursor = Math.max(0, Math.min(N, c));
    state.line = line !== undefined ? line : state.cursor > 0 ? ev.line[state.cursor - 1] : 1;
    scrubber.value = String(state.cursor);
    showStatus();
    scrollTo(state.line || 1);
    requestDraw();
  }
  function select(l) {
    l = Math.max(1, Math.min(lineCount, Math.floor(l)));
    state.selected = l;
    setCursor(cursorOfLine(l), l);
    return currentState();
  }
  scrubber.addEventListener('input', () => {
    state.selected = 0;
    setCursor(Number(scrubber.value));
  });
  // Steps: what each button looks for, and where it leaves the program.
  const steps = {
    block: (i) => i + 1 >= N || pline[i + 1] !== pline[i],
    stroke: (i) => ev.kind[i] === K.STROKE || ev.kind[i] === K.NIBBLE,
    tool: (i) => ev.kind[i] === K.TOOL_CHANGE,
    contour: (i) => ev.kind[i] === K.CUT_END,
    copy: (i) => ev.call[i] !== 0 && (i + 1 >= N || ev.kind[i + 1] === K.COPY || ev.call[i + 1] !== ev.call[i]),
    regrip: (i) => ev.kind[i] === K.REGRIP
  };
  function step(kind, dir) {
    const test = steps[kind];
    if (dir > 0) {
      for (let i = state.cursor; i < N; i++) if (test(i)) { state.selected = 0; setCursor(i + 1); return; }
      setCursor(N);
    } else {
      for (let i = state.cursor - 2; i >= 0; i--) if (test(i)) { state.selected = 0; setCursor(i + 1); return; }
      setCursor(0, 1);
    }
  }
  for (const button of document.querySelectorAll('[data-step]')) {
    button.addEventListener('click', () => step(button.dataset.step, Number(button.dataset.dir)));
  }
  // Play at the machine's pace (the estimate), faster or slower.
  const playButton = document.getElementById('play');
  let playClock = 0, playTime = 0;
  function playFrame(now) {
    if (!state.playing) return;
    const pace = Number(document.getElementById('pace').value);
    playTime += (now - playClock) / 1000 * pace;
    playClock = now;
    let lo = state.cursor, hi = N;
    while (lo < hi) { const mid = (lo + hi) >> 1; if (ev.t[mid] <= playTime) lo = mid + 1; else hi = mid; }
    if (lo !== state.cursor) setCursor(lo);
    if (state.cursor >= N) { togglePlay(); return; }
    requestAnimationFrame(playFrame);
  }
  function togglePlay() {
    state.playing = !state.playing;
    playButton.innerHTML = state.playing ? '&#10074;&#10074; pause' : '&#9655; play';
    if (state.playing) {
      if (state.cursor >= N) setCursor(0, 1);
      playTime = state.cursor > 0 ? ev.t[state.cursor - 1] : 0;
      playClock = performance.now();
      requestAnimationFrame(playFrame);
    }
  }
  playButton.addEventListener('click', togglePlay);

  // ---- Looking: zoom, pan, fit, the cursor's place ----------------------------------------
  const cursorPlace = document.getElementById('cursor-place');
  let drag = null;
  canvas.addEventListener('wheel', (event) => {
    event.preventDefault();
    const rect = canvas.getBoundingClientRect();
    const px = event.clientX - rect.left, py = event.clientY - rect.top;
    const [x, y] = sheetOf(px, py);
    view.scale *= Math.exp(-event.deltaY * 0.0015);
    view.ox = px - x * view.scale;
    view.oy = py + y * view.scale;
    requestDraw();
  }, { passive: false });
  canvas.addEventListener('mousedown', (event) => { drag = { x: event.clientX, y: event.clientY, moved: false }; });
  window.addEventListener('mouseup', (event) => {
    if (drag && !drag.moved) {
      const rect = canvas.getBoundingClientRect();
      const i = eventAt(event.clientX - rect.left, event.clientY - rect.top);
      if (i >= 0) {
        state.selected = ev.line[i];
        setCursor(i + 1, ev.line[i]);
      }
    }
    drag = null;
  });
  canvas.addEventListener('mousemove', (event) => {
    const rect = canvas.getBoundingClientRect();
    const [x, y] = sheetOf(event.clientX - rect.left, event.clientY - rect.top);
    cursorPlace.textContent = 'X ' + fmt(x, 2) + '  Y ' + fmt(y, 2) + ' mm';
    if (!drag) return;
    const dx = event.clientX - drag.x, dy = event.clientY - drag.y;
    if (Math.abs(dx) + Math.abs(dy) > 3) drag.moved = true;
    if (!drag.moved) return;
    view.ox += dx;
    view.oy += dy;
    drag.x = event.clientX;
    drag.y = event.clientY;
    requestDraw();
  });
  document.getElementById('fit').addEventListener('click', fit);
  document.getElementById('show-moves').addEventListener('change', (e) => { state.showMoves = e.target.checked; requestDraw(); });
  const travelBox = document.getElementById('show-travel');
  travelBox.checked = state.showTravel;
  travelBox.addEventListener('change', (e) => { state.showTravel = e.target.checked; requestDraw(); });

  // ---- Searching the text -------------------------------------------------------------------
  const search = document.getElementById('search');
  search.addEventListener('keydown', (event) => {
    if (event.key !== 'Enter' || search.value === '') return;
    const needle = search.value.toLowerCase();
    const from = foundLine > 0 ? foundLine : state.line;
    for (let k = 1; k <= lineCount; k++) {
      const l = (from - 1 + k) % lineCount + 1;
      if (program[l - 1].toLowerCase().includes(needle)) {
        foundLine = l;
        document.getElementById('search-result').textContent = 'line ' + l;
        select(l);
        return;
      }
    }
    document.getElementById('search-result').textContent = 'not found';
  });

  // ---- The legend: each tool's colour and count, shown or hidden ----------------------------
  function legend() {
    const box = document.getElementById('legend');
    const head = document.createElement('h1');
    head.textContent = meta.title;
    box.appendChild(head);
    const entry = (key, colour, text) => {
      const label = document.createElement('label');
      const box2 = document.createElement('input');
      box2.type = 'checkbox';
      box2.checked = true;
      box2.dataset.tool = key;
      box2.addEventListener('change', () => {
        if (box2.checked) state.hidden.delete(key); else state.hidden.add(key);
        requestDraw();
      });
      const swatch = document.createElement('span');
      swatch.className = 'swatch';
      swatch.style.background = colour;
      label.appendChild(box2);
      label.appendChild(swatch);
      label.appendChild(document.createTextNode(text));
      box.appendChild(label);
    };
    for (const st of stationList) {
      const f = footprint(st);
      const size = f.shape === 'marker' ? '' : ' ' + f.w + (f.w !== f.h ? ' x ' + f.h : '');
      const n = stationStrokes.get(st) || 0;
      entry(st, colourOf(st), 'T' + st + ' ' + (f.shape === 'marker' ? 'marked point' : f.shape) + size + ': ' + n + (n === 1 ? ' stroke' : ' strokes'));
    }
    const note = (text) => { const d = document.createElement('div'); d.textContent = text; box.appendChild(d); };
    if (counts.laser > 0) {
      entry('laser', LASER_COLOUR, 'laser cut, arrow: its way');
      note('ring: pierce; dotted: compensation');
    }
    const stops = counts.stops, traps = counts.trapDoors;
    let sides = 0;
    for (const p of ev.places) sides = Math.max(sides, p.side);
    note('thin grey: travel');
    note('dashed grey: positioning');
    if (stops) note('black square: stop (' + stops + ')');
    if (traps) note('black square, larger: trap door (' + traps + ')');
    if (sides) note('dashed: after an operator stop (flip, turn)');
    note('below the sheet: clamps');
    note('red dashed: the clamps\' zones');
    note('triangle: load position');
  }

  // ---- Findings: differences and warnings, each selected in turn ------------------------------
  function findings() {
    const panel = document.getElementById('findings');
    if (P.findings.length === 0) { panel.className = 'none'; return; }
    const differences = P.findings.filter((f) => f.kind === 'difference').length;
    document.getElementById('findings-head').textContent =
      differences + (differences === 1 ? ' difference, ' : ' differences, ') + (P.findings.length - differences) + ' other findings';
    const list = document.getElementById('findings-list');
    P.findings.forEach((f, n) => {
      const li = document.createElement('li');
      li.className = f.kind;
      li.textContent = (f.line > 0 ? 'line ' + f.line + ': ' : '') + f.text;
      li.addEventListener('click', () => chooseFinding(n));
      list.appendChild(li);
    });
  }
  function chooseFinding(n) {
    state.chosenFinding = n;
    const items = document.querySelectorAll('#findings-list li');
    items.forEach((li, k) => li.classList.toggle('chosen', k === n));
    const f = P.findings[n];
    if (f && f.line > 0) select(f.line); else requestDraw();
  }

  // ---- The API -------------------------------------------------------------------------------
  const api = {
    ready: false,
    firstPictureMs: 0,   // when the first picture was drawn, ms from the page's start
    lastDrawMs: 0,       // how long the last picture took to draw
    // Selects a line: the program stands after its work, which is highlighted.
    select: (line) => select(line),
    // Where the program stands: line, x and y (mm, the control's coordinates),
    // sheetX and sheetY (where that lies on the sheet), station, index,
    // strokes, cutLength, regrips, seconds and more.
    state: () => currentState(),
    // The strokes a line makes, where they are drawn on the sheet (mm).
    strokesOf: (line) => {
      const out = [];
      for (const i of eventsOfLine(line)) {
        if (ev.kind[i] === K.STROKE) out.push({ x: ev.x[i], y: ev.y[i] });
        else if (ev.kind[i] === K.NIBBLE) {
          const n = nibbleCount(i);
          for (let s = 0; s < n; s++) { const [x, y] = nibbleStroke(i, s, n); out.push({ x: x, y: y }); }
        }
      }
      return out;
    },
    // The pierces of a line's cuts, where they are drawn on the sheet (mm).
    piercesOf: (line) => eventsOfLine(line).filter((i) => ev.kind[i] === K.PIERCE).map((i) => ({ x: ev.x[i], y: ev.y[i] })),
    // The page's coordinates (CSS pixels from the viewport's top left) of a
    // place on the sheet (mm).
    screenOf: (x, y) => {
      const rect = canvas.getBoundingClientRect();
      return { x: rect.left + sx(x), y: rect.top + sy(y) };
    },
    lineCount: () => lineCount,
    selectedLine: () => state.selected,
    step: (kind, dir) => { step(kind, dir === undefined ? 1 : dir); return currentState(); },
    stationColours: () => Object.fromEntries(colours),
    findings: () => P.findings.slice(),
    timings: timings     // when each part of the start was done, ms from the page's start
  };
  window.pelkView = api;

  // ---- Start ------------------------------------------------------------------------------------
  document.title = meta.title + ' - pelk-post view';
  legend();
  findings();
  resize();
  fit();
  // The first picture first; the status and the text right after it.
  state.line = lineCount;
  requestDraw();
  requestAnimationFrame(() => setTimeout(() => { if (state.line === lineCount && state.cursor === N) setCursor(N, lineCount); }));
  window.addEventListener('resize', () => { resize(); requestDraw(); });
}());
