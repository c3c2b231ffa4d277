// The viewer's page: the link to the server, the scene, the panel and the
// plot, drawn once per animation frame. The delay of each update (from the
// measurement of its newest frame to the drawing that first shows it) and the
// page's drawing rate are kept for the plot and for window.sxViewer.stats().
import { Link } from './link.js';
import { Panel } from './panel.js';
import { Plot } from './plot.js';
import { Scene } from './scene.js';

const MAX_DELAYS = 20000;

const scene = new Scene(document.getElementById('view'), document.getElementById('legend'));
const plot = new Plot(document.getElementById('plot'));
let panel = null;
let latest = null;   // the newest poses not yet drawn
let lastRate = 0;
const delays = [];
const drawTimes = [];
let updates = 0;

function percentile(values, p) {
  if (!values.length)
    return null;
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.floor(p * (sorted.length - 1)))];
}

const link = new Link({
  link(up) {
    const el = document.getElementById('link-state');
    el.textContent = up ? 'connected' : 'disconnected';
    el.className = up ? 'good' : 'bad';
  },
  hello(m) { panel.hello(m); },
  result(m) { panel.result(m); },
  state(m) {
    panel.state(m);
    if (m.units && m.units.pos_units)
      scene.setUnits(m.units.pos_units);
    if (m.hemisphere && Array.isArray(m.hemisphere.vector))
      scene.setHemisphere(m.hemisphere.vector);
  },
  poses(m) {
    updates += 1;
    if (m.sensors.length && !scene.units)
      scene.setUnits(m.sensors[0].units.position);
    let newest = 0;
    for (const s of m.sensors)
      newest = Math.max(newest, s.measured_ns ?? s.timestamp_ns);
    scene.update(m.sensors, link.pageTimeOf(newest));
    panel.poses(m);
    lastRate = m.rate;
    latest = { newestNs: newest };
  },
});
panel = new Panel(link);

function frame() {
  const now = performance.now();
  scene.render(now);
  drawTimes.push(now);
  while (drawTimes.length && now - drawTimes[0] > 1000)
    drawTimes.shift();
  let delay = NaN;
  if (latest) {
    delay = performance.now() - link.pageTimeOf(latest.newestNs);
    delays.push(delay);
    if (delays.length > MAX_DELAYS)
      delays.shift();
    plot.add(now, lastRate, delay);
    latest = null;
  }
  plot.draw(now);
  document.getElementById('update-rate').textContent = `drawing ${drawTimes.length} frames/s`;
  requestAnimationFrame(frame);
}
requestAnimationFrame(frame);

// For tests and benchmarks: the drawing rate, the pose updates taken and the
// delays seen (ms), since the page loaded or the last reset.
window.sxViewer = {
  stats() {
    return { fps: drawTimes.length, updates, delays: delays.length, p50: percentile(delays, 0.5),
             p99: percentile(delays, 0.99), webgl: !!scene.renderer.getContext() };
  },
  reset() {
    delays.length = 0;
    updates = 0;
  },
};
