// The WebSocket to the viewer's server: messages in by type, controls out,
// connected again after a loss. It also keeps the estimate of the server's
// clock (each pose update carries the server's time of sending; the largest
// server-minus-page difference seen is the closest to the true offset).

export class Link {
  constructor(handlers) {
    this.handlers = handlers;
    this.nextId = 1;
    this.offsetMs = -Infinity;
    this.open = false;
    this.connect();
  }

  connect() {
    const ws = new WebSocket(`ws://${location.host}/ws`);
    this.ws = ws;
    ws.onopen = () => { this.open = true; this.handlers.link?.(true); };
    ws.onclose = () => {
      this.open = false;
      this.handlers.link?.(false);
      setTimeout(() => this.connect(), 1000);
    };
    ws.onmessage = (ev) => {
      const now = performance.now();
      let m;
      try {
        m = JSON.parse(ev.data);
      } catch (e) {
        return;
      }
      if (m.type === 'poses' && typeof m.server_ns === 'number')
        this.offsetMs = Math.max(this.offsetMs, m.server_ns / 1e6 - now);
      this.handlers[m.type]?.(m, now);
    };
  }

  // A frame's host time stamp (ns) on the page's clock (ms).
  pageTimeOf(stampNs) {
    return stampNs / 1e6 - this.offsetMs;
  }

  send(message) {
    if (!this.open)
      return -1;
    const id = this.nextId++;
    this.ws.send(JSON.stringify({ ...message, id }));
    return id;
  }
}
