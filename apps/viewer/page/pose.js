// Orientation and units as the tracker gives them. Euler angles are azimuth
// a about z, then elevation e about the new y, then roll r about the newest
// x: R = Rz(a) Ry(e) Rx(r); its quaternion is qz(a) qy(e) qx(r).

const DEG = Math.PI / 180;

// Inches per position unit, for the sizes of the scene.
export const INCHES_PER_UNIT = { inch: 1, foot: 12, cm: 1 / 2.54, meter: 1 / 0.0254 };

// The scale of an angle unit in radians (quaternions are shown in degrees).
export function radiansPer(oriUnits) {
  return oriUnits === 'euler_radian' ? 1 : DEG;
}

// [w, x, y, z] of Euler angles in radians.
export function eulerToQuat(a, e, r) {
  const ca = Math.cos(a / 2), sa = Math.sin(a / 2);
  const ce = Math.cos(e / 2), se = Math.sin(e / 2);
  const cr = Math.cos(r / 2), sr = Math.sin(r / 2);
  return [
    ca * ce * cr + sa * se * sr,
    ca * ce * sr - sa * se * cr,
    ca * se * cr + sa * ce * sr,
    sa * ce * cr - ca * se * sr,
  ];
}

// [a, e, r] in radians of a quaternion [w, x, y, z] (normalised first).
export function quatToEuler(q) {
  const n = Math.hypot(q[0], q[1], q[2], q[3]) || 1;
  const [w, x, y, z] = q.map((v) => v / n);
  const se = Math.max(-1, Math.min(1, 2 * (w * y - x * z)));
  return [Math.atan2(2 * (w * z + x * y), 1 - 2 * (y * y + z * z)), Math.asin(se),
          Math.atan2(2 * (w * x + y * z), 1 - 2 * (x * x + y * y))];
}

// A sensor's orientation both ways: euler in the angle units shown, quat.
export function orientation(sensor) {
  const o = sensor.orientation;
  const units = sensor.units.orientation;
  if (o.length === 4) {
    const e = quatToEuler(o);
    return { euler: e.map((v) => v / DEG), quat: o.slice(), eulerUnits: 'deg' };
  }
  const k = radiansPer(units);
  return { euler: o.slice(), quat: eulerToQuat(o[0] * k, o[1] * k, o[2] * k),
           eulerUnits: units === 'euler_radian' ? 'rad' : 'deg' };
}

// Three decimals, as the table shows every value.
export function fixed3(v) {
  return Number.isFinite(v) ? v.toFixed(3) : '-';
}
