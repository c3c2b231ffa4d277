// The page's text: the tracker's state, the per-sensor table and the
// controls, which send what `sxtool set` takes.
import { fixed3, orientation } from './pose.js';

const $ = (id) => document.getElementById(id);

function options(select, values, current) {
  const wanted = values.map(String).join('|');
  if (select.dataset.values !== wanted) {
    select.replaceChildren(...values.map((v) => new Option(String(v), String(v))));
    select.dataset.values = wanted;
  }
  if (current !== undefined && current !== null)
    select.value = String(current);
}

export class Panel {
  constructor(link) {
    this.link = link;
    this.rows = new Map();
    this.streaming = false;
    this.recording = false;
    this.filterSensor = null;
    this.pending = new Map();
    $('stream-toggle').onclick = () => this.send({ type: 'stream', on: !this.streaming });
    $('record-toggle').onclick = () => this.send({ type: 'record', on: !this.recording });
    const units = () => this.send({ type: 'set', item: 'units', values: [$('pos-units').value, $('ori-units').value] });
    $('pos-units').onchange = units;
    $('ori-units').onchange = units;
    $('framerate').onchange = () => this.send({ type: 'set', item: 'framerate', values: [$('framerate').value] });
    $('filter-level').onchange = () => this.send({
      type: 'set', item: 'filter', values: [$('filter-level').value], sensor: Number($('filter-sensor').value),
      target: 'pno' });
    $('filter-sensor').onchange = () => { this.filterSensor = Number($('filter-sensor').value); };
  }

  send(message) {
    const id = this.link.send(message);
    this.say(id < 0 ? 'not connected' : 'sent', id < 0);
    if (id >= 0)
      this.pending.set(id, message);
  }

  say(text, bad) {
    $('message').textContent = text;
    $('message').className = bad ? 'bad' : '';
  }

  hello(m) {
    $('controls').hidden = m.read_only;
    const c = m.choices;
    options($('pos-units'), c.position_units);
    options($('ori-units'), c.orientation_units);
    options($('framerate'), c.framerates);
    options($('filter-level'), c.filter_levels);
  }

  result(m) {
    this.pending.delete(m.id);
    this.say(m.message, !m.ok);
  }

  state(m) {
    const id = m.identity || {};
    $('state-identity').textContent = [id.device_name, id.hw_ser_no].filter(Boolean).join(', ') || '-';
    $('state-connection').textContent = m.connection || '-';
    this.streaming = !!m.streaming;
    $('state-streaming').textContent = this.streaming ? 'on' : 'off';
    $('state-streaming').className = this.streaming ? 'good' : 'bad';
    $('stream-toggle').textContent = this.streaming ? 'Stop streaming' : 'Start streaming';
    // A stall or a lost line, as the server's stream guard saw it.
    $('state-alert').textContent = m.alert || (this.streaming ? 'coming' : '-');
    $('state-alert').className = m.alert ? 'bad' : '';
    const u = m.units || {};
    $('state-units').textContent = u.pos_units ? `${u.pos_units}, ${u.ori_units}` : '-';
    $('pos-units').value = u.pos_units || '';
    $('ori-units').value = u.ori_units || '';
    const hz = m.framerate && m.framerate.hz;
    $('state-framerate').textContent = hz ? `${hz} Hz` : '-';
    if (hz)
      $('framerate').value = String(hz);
    const f = m.filter;
    $('state-filter').textContent = f ? `${f.level} (sensor ${f.sensor})` : '-';
    const sensors = m.sensors || [];
    options($('filter-sensor'), sensors, this.filterSensor ?? (f ? f.sensor : sensors[0]));
    if (f && Number($('filter-sensor').value) === f.sensor)
      $('filter-level').value = f.level;
    const err = m.bit && Array.isArray(m.bit.err) ? m.bit.err : null;
    const bad = err && err.some((v) => v !== 0);
    $('state-bit').textContent = !err ? '-' : bad ? `error ${err.join(' ')}` : 'passed';
    $('state-bit').className = bad ? 'bad' : err ? 'good' : '';
  }

  row(n) {
    let r = this.rows.get(n);
    if (r)
      return r;
    const tr = document.createElement('tr');
    tr.id = `sensor-row-${n}`;
    r = {};
    for (const k of ['sensor', 'x', 'y', 'z', 'az', 'el', 'ro', 'qw', 'qx', 'qy', 'qz', 'rate', 'frames', 'lost',
                     'status']) {
      const td = document.createElement('td');
      td.className = k;
      tr.appendChild(td);
      r[k] = td;
    }
    r.sensor.textContent = String(n);
    const body = document.querySelector('#sensors tbody');
    const after = [...this.rows.keys()].filter((k) => k > n).sort((a, b) => a - b)[0];
    body.insertBefore(tr, after === undefined ? null : this.rows.get(after).tr);
    r.tr = tr;
    this.rows.set(n, r);
    return r;
  }

  poses(m) {
    $('frame-count').textContent = String(m.frames);
    $('frame-rate').textContent = m.rate.toFixed(1);
    $('frames-lost').textContent = String(m.lost);
    const rec = m.recording;
    this.recording = !!(rec && rec.frames !== undefined);
    $('record-toggle').textContent = this.recording ? 'Stop recording' : 'Record';
    $('rec-file').textContent = rec ? rec.file : 'none';
    $('rec-frames').textContent = rec ? (rec.error ? `stopped: ${rec.error}` : `${rec.frames} frames`) : '';
    let units = null;
    for (const s of m.sensors) {
      const r = this.row(s.sensor);
      const o = orientation(s);
      [r.x.textContent, r.y.textContent, r.z.textContent] = s.position.map(fixed3);
      [r.az.textContent, r.el.textContent, r.ro.textContent] = o.euler.map(fixed3);
      [r.qw.textContent, r.qx.textContent, r.qy.textContent, r.qz.textContent] = o.quat.map(fixed3);
      r.rate.textContent = s.rate.toFixed(1);
      r.frames.textContent = String(s.frames);
      r.lost.textContent = String(s.lost);
      const st = s.status;
      r.status.textContent = `buttons ${st.buttons} distortion ${st.distortion} aux ${st.aux}`;
      units = [s.units.position, o.eulerUnits];
    }
    if (units) {
      $('pos-unit-head').textContent = units[0];
      $('ori-unit-head').textContent = units[1];
    }
  }
}
