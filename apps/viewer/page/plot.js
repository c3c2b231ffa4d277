// A rolling plot of the last 30 seconds: the frame rate (Hz, left scale)
// and the delay from a frame's measurement to its drawing (ms, right
// scale).
const SPAN_MS = 30000;

export class Plot {
  constructor(canvas) {
    this.canvas = canvas;
    this.g = canvas.getContext('2d');
    this.samples = []; // [time ms, rate Hz, delay ms]
    this.drawnAt = 0;
  }

  add(timeMs, rateHz, delayMs) {
    this.samples.push([timeMs, rateHz, delayMs]);
    while (this.samples.length && timeMs - this.samples[0][0] > SPAN_MS)
      this.samples.shift();
  }

  static top(values, least) {
    const m = Math.max(least, ...values);
    const step = 10 ** Math.floor(Math.log10(m));
    return Math.ceil(m / step) * step;
  }

  // At most ten times a second.
  draw(nowMs) {
    if (nowMs - this.drawnAt < 100)
      return;
    this.drawnAt = nowMs;
    const { g, canvas } = this;
    const w = canvas.width, h = canvas.height, pad = 18;
    g.clearRect(0, 0, w, h);
    const rateTop = Plot.top(this.samples.map((s) => s[1]), 1);
    const delayTop = Plot.top(this.samples.map((s) => s[2]).filter(Number.isFinite), 1);
    const x = (t) => pad + (w - 2 * pad) * (1 - (nowMs - t) / SPAN_MS);
    const line = (index, top, color) => {
      g.strokeStyle = color;
      g.beginPath();
      let started = false;
      for (const s of this.samples) {
        if (!Number.isFinite(s[index]))
          continue;
        const y = h - pad - (h - 2 * pad) * Math.min(1, s[index] / top);
        if (started)
          g.lineTo(x(s[0]), y);
        else
          g.moveTo(x(s[0]), y);
        started = true;
      }
      g.stroke();
    };
    g.strokeStyle = '#262c38';
    g.strokeRect(pad, pad, w - 2 * pad, h - 2 * pad);
    line(1, rateTop, '#6cc070');
    line(2, delayTop, '#f0a040');
    g.font = '11px sans-serif';
    g.fillStyle = '#6cc070';
    g.fillText(`rate (0-${rateTop} Hz)`, pad, 12);
    g.fillStyle = '#f0a040';
    g.textAlign = 'right';
    g.fillText(`delay (0-${delayTop} ms)`, w - pad, 12);
    g.textAlign = 'left';
  }
}
