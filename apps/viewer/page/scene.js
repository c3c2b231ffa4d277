// The 3D scene: the source at the origin with its axes, a floor grid in the
// position units in force, each sensor as a small axis triad labelled with
// its number and a trail of its last second that fades. The scene is in the
// tracker's frame and units; the camera orbits, zooms and pans with the
// mouse, and turns to the hemisphere the sensors are in.
import * as THREE from './three/build/three.module.js';
import { OrbitControls } from './three/examples/jsm/controls/OrbitControls.js';
import { INCHES_PER_UNIT, eulerToQuat, radiansPer } from './pose.js';

const TRAIL_MS = 1000;
const TRAIL_POINTS = 128;
const BACKGROUND = new THREE.Color(0x0d0f13);
const COLORS = [0xe6194b, 0x3cb44b, 0xffe119, 0x4363d8, 0xf58231, 0x911eb4, 0x46f0f0, 0xf032e6,
                0xbcf60c, 0xfabebe, 0x008080, 0xe6beff, 0x9a6324, 0xfffac8, 0xaaffc3, 0xffd8b1];
// The grid of each position unit: its size and cells.
const GRIDS = { inch: [48, 48, '1 inch'], foot: [4, 8, '6 inches'], cm: [120, 24, '5 cm'], meter: [1.2, 12, '10 cm'] };

function label(text, color) {
  const c = document.createElement('canvas');
  c.width = c.height = 64;
  const g = c.getContext('2d');
  g.fillStyle = '#' + new THREE.Color(color).getHexString();
  g.font = 'bold 44px sans-serif';
  g.textAlign = 'center';
  g.textBaseline = 'middle';
  g.fillText(text, 32, 34);
  const sprite = new THREE.Sprite(new THREE.SpriteMaterial({ map: new THREE.CanvasTexture(c), depthTest: false }));
  return sprite;
}

class SensorMark {
  constructor(scene, n) {
    const color = COLORS[n % COLORS.length];
    this.color = new THREE.Color(color);
    this.group = new THREE.Group();
    this.axes = new THREE.AxesHelper(1);
    this.group.add(this.axes);
    this.label = label(String(n), color);
    this.group.add(this.label);
    scene.add(this.group);
    this.points = [];
    const geometry = new THREE.BufferGeometry();
    geometry.setAttribute('position', new THREE.BufferAttribute(new Float32Array(TRAIL_POINTS * 3), 3));
    geometry.setAttribute('color', new THREE.BufferAttribute(new Float32Array(TRAIL_POINTS * 3), 3));
    this.trail = new THREE.Line(geometry, new THREE.LineBasicMaterial({ vertexColors: true }));
    this.trail.frustumCulled = false;
    scene.add(this.trail);
  }

  size(inch) {
    this.axes.scale.setScalar(2 * inch);
    this.label.scale.setScalar(2 * inch);
    this.label.position.set(0, 0, 1.5 * inch);
  }

  place(sensor, timeMs) {
    const p = sensor.position;
    const o = sensor.orientation;
    this.group.position.set(p[0], p[1], p[2]);
    let q;
    if (o.length === 4) {
      q = o;
    } else {
      const k = radiansPer(sensor.units.orientation);
      q = eulerToQuat(o[0] * k, o[1] * k, o[2] * k);
    }
    this.group.quaternion.set(q[1], q[2], q[3], q[0]).normalize();
    this.points.push([p[0], p[1], p[2], timeMs]);
    while (this.points.length > TRAIL_POINTS || (this.points.length && timeMs - this.points[0][3] > TRAIL_MS))
      this.points.shift();
  }

  // The trail, oldest first, fading into the background.
  fade(nowMs) {
    const pos = this.trail.geometry.attributes.position;
    const col = this.trail.geometry.attributes.color;
    const c = new THREE.Color();
    this.points.forEach((pt, i) => {
      pos.setXYZ(i, pt[0], pt[1], pt[2]);
      const age = Math.min(1, Math.max(0, (nowMs - pt[3]) / TRAIL_MS));
      c.copy(this.color).lerp(BACKGROUND, age);
      col.setXYZ(i, c.r, c.g, c.b);
    });
    pos.needsUpdate = col.needsUpdate = true;
    this.trail.geometry.setDrawRange(0, this.points.length);
  }

  clearTrail() {
    this.points = [];
  }
}

export class Scene {
  constructor(canvas, legend) {
    this.canvas = canvas;
    this.legend = legend;
    this.renderer = new THREE.WebGLRenderer({ canvas, antialias: true });
    this.renderer.setPixelRatio(window.devicePixelRatio || 1);
    this.scene = new THREE.Scene();
    this.scene.background = BACKGROUND;
    this.camera = new THREE.PerspectiveCamera(45, 1, 0.01, 10000);
    // The floor is the tracker's x-y plane, z up.
    this.camera.up.set(0, 0, 1);
    this.controls = new OrbitControls(this.camera, canvas);
    this.controls.enableDamping = false;
    this.source = new THREE.Group();
    this.source.add(new THREE.AxesHelper(1));
    this.source.add(new THREE.Mesh(new THREE.BoxGeometry(0.3, 0.3, 0.3),
                                   new THREE.MeshBasicMaterial({ color: 0x8a93a3 })));
    this.scene.add(this.source);
    this.sensors = new Map();
    this.units = null;
    this.hemisphere = null;
  }

  // The units in force: the grid, the sizes, the camera's distance.
  setUnits(posUnits) {
    if (!GRIDS[posUnits] || posUnits === this.units)
      return;
    const ratio = this.units ? INCHES_PER_UNIT[this.units] / INCHES_PER_UNIT[posUnits] : 1;
    this.units = posUnits;
    const inch = 1 / INCHES_PER_UNIT[posUnits];
    const [size, cells, cell] = GRIDS[posUnits];
    if (this.grid)
      this.scene.remove(this.grid);
    this.grid = new THREE.GridHelper(size, cells, 0x445066, 0x262c38);
    this.grid.rotation.x = Math.PI / 2; // into the x-y plane
    this.scene.add(this.grid);
    this.source.scale.setScalar(4 * inch);
    for (const s of this.sensors.values()) {
      s.size(inch);
      s.clearTrail();
    }
    this.legend.textContent = `grid: ${size} ${posUnits} across, cells of ${cell}; source axes x red, y green, z blue`;
    if (ratio !== 1) {
      this.camera.position.multiplyScalar(ratio);
      this.controls.target.multiplyScalar(ratio);
      this.controls.update();
    } else {
      this.aim();
    }
  }

  // Looks into the hemisphere the sensors are in (a vector of the tracker).
  setHemisphere(vector) {
    const v = Array.isArray(vector) && vector.length === 3 ? vector : [1, 0, 0];
    const key = v.join(',');
    if (key === this.hemisphere)
      return;
    this.hemisphere = key;
    this.aim();
  }

  aim() {
    if (!this.units)
      return;
    const d = new THREE.Vector3(...(this.hemisphere ? this.hemisphere.split(',').map(Number) : [1, 0, 0]));
    if (d.lengthSq() === 0)
      d.set(1, 0, 0);
    d.normalize();
    const reach = GRIDS[this.units][0] / 2;
    const target = d.clone().multiplyScalar(reach * 0.5);
    this.controls.target.copy(target);
    // The floor lies under the hemisphere, all of it before the camera.
    this.grid.position.set(target.x, target.y, 0);
    // From behind the source as seen from the hemisphere, above the floor
    // (from -x when the hemisphere is up or down).
    const back = Math.abs(d.z) > 0.9 ? new THREE.Vector3(-1, 0, 0) : new THREE.Vector3(-d.x, -d.y, 0).normalize();
    this.camera.position.copy(target).addScaledVector(back, reach * 1.1).add(new THREE.Vector3(0, 0, reach * 0.7));
    this.controls.update();
  }

  update(sensors, timeMs) {
    const inch = this.units ? 1 / INCHES_PER_UNIT[this.units] : 1;
    for (const s of sensors) {
      let mark = this.sensors.get(s.sensor);
      if (!mark) {
        mark = new SensorMark(this.scene, s.sensor);
        mark.size(inch);
        this.sensors.set(s.sensor, mark);
      }
      mark.place(s, timeMs);
    }
  }

  render(nowMs) {
    const w = this.canvas.clientWidth, h = this.canvas.clientHeight;
    if (w > 0 && h > 0 && (this.canvas.width !== Math.floor(w * this.renderer.getPixelRatio()) ||
                           this.canvas.height !== Math.floor(h * this.renderer.getPixelRatio()))) {
      this.renderer.setSize(w, h, false);
      this.camera.aspect = w / h;
      this.camera.updateProjectionMatrix();
    }
    for (const s of this.sensors.values())
      s.fade(nowMs);
    this.renderer.render(this.scene, this.camera);
  }
}
