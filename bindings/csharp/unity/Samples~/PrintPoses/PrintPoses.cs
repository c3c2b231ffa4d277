// Prints every sensor's pose for three seconds when the game starts, in
// any scene (no GameObject needed): the tracker on USB, frames read from
// its queue on a thread of their own, poses in Unity's frame.
using System.Threading;
using SXCmdIF;
using SXCmdIF.Unity;
using UnityEngine;

public static class PrintPoses
{
    [RuntimeInitializeOnLoadMethod]
    static void Begin()
    {
        new Thread(Run) { IsBackground = true }.Start();
    }

    static void Run()
    {
        try {
            using (var tracker = Tracker.OpenUsb()) {
                tracker.Start();
                var end = System.DateTime.UtcNow.AddSeconds(3);
                Frame frame;
                while (System.DateTime.UtcNow < end) {
                    if (!tracker.Read(out frame, 500))
                        continue;
                    for (int k = 0; k < frame.SensorCount; ++k) {
                        UnityPose p = UnityFrame.Pose(frame, k);
                        Debug.Log("frame " + p.FrameCount + " sensor " + p.Sensor + " position " + p.Position +
                                  " rotation " + p.Rotation);
                    }
                }
            }
        } catch (SXException e) {
            Debug.LogError("SX tracker: " + e.Message);
        }
    }
}
