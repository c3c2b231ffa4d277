// Moves its GameObject with one sensor's pose. The pose comes from the
// tracker's reading thread through the source's PoseBoard and is applied
// here, in Update, on the main thread; it is already in Unity's frame
// (left-handed, y up, metres: see UnityFrame).
using SXCmdIF.Unity;
using UnityEngine;

public class TrackedSensor : MonoBehaviour
{
    public SXTrackerSource source;
    [Range(0, 15)] public int sensor = 0;

    uint m_version;

    void Update()
    {
        UnityPose pose;
        if (source == null || !source.Board.TryGetNewer(sensor, ref m_version, out pose))
            return;
        transform.localPosition = new Vector3(pose.Position.X, pose.Position.Y, pose.Position.Z);
        transform.localRotation = new Quaternion(pose.Rotation.X, pose.Rotation.Y, pose.Rotation.Z, pose.Rotation.W);
    }
}
