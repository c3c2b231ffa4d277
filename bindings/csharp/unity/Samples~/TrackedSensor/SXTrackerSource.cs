// Opens the tracker when the scene starts and posts every frame it sends,
// on the tracker's reading thread, to a PoseBoard that TrackedSensor
// components read on the main thread. One per scene.
using SXCmdIF;
using SXCmdIF.Unity;
using UnityEngine;

public class SXTrackerSource : MonoBehaviour
{
    [Tooltip("Serial port of the tracker, from 1; 0 connects it on USB.")]
    public int serialPort = 0;

    Tracker m_tracker;
    readonly PoseBoard m_board = new PoseBoard();

    public PoseBoard Board { get { return m_board; } }

    void OnEnable()
    {
        try {
            m_tracker = serialPort > 0 ? Tracker.OpenSerial(serialPort) : Tracker.OpenUsb();
            m_tracker.SetFrameHandler(OnFrame);
            m_tracker.Start();
        } catch (SXException e) {
            Debug.LogError("SX tracker: " + e.Message);
            enabled = false;
        }
    }

    // The reading thread: no Unity API here, only the board.
    void OnFrame(in Frame frame)
    {
        m_board.Post(frame);
    }

    void OnDisable()
    {
        if (m_tracker != null) {
            m_tracker.Dispose(); // stops the reading thread first
            m_tracker = null;
        }
    }
}
