// Handing frames from the reading thread to the thread that uses them (in
// Unity the main thread, whose API alone may move a GameObject). Both take
// a short lock and allocate nothing after construction.
using System;
using System.Threading;

namespace SXCmdIF.Unity
{
/// <summary>A bounded first-in first-out queue of values: the reading
/// thread adds, another thread takes. When it is full the oldest value is
/// dropped (and counted), so a stalled reader never holds up the tracker.</summary>
public sealed class HandoffQueue<T> where T : struct
{
    readonly T[] m_items;
    readonly object m_lock = new object();
    int m_head, m_count;
    long m_dropped;

    public HandoffQueue(int capacity)
    {
        if (capacity < 1)
            throw new ArgumentOutOfRangeException("capacity", capacity, "at least 1");
        m_items = new T[capacity];
    }

    public int Capacity { get { return m_items.Length; } }

    /// <summary>Values dropped because the queue was full.</summary>
    public long Dropped { get { return Interlocked.Read(ref m_dropped); } }

    public int Count { get { lock (m_lock) return m_count; } }

    /// <summary>Adds a value (the oldest is dropped when the queue is full).</summary>
    public void Add(in T value)
    {
        lock (m_lock) {
            if (m_count == m_items.Length) {
                m_head = (m_head + 1) % m_items.Length;
                --m_count;
                Interlocked.Increment(ref m_dropped);
            }
            m_items[(m_head + m_count) % m_items.Length] = value;
            ++m_count;
        }
    }

    /// <summary>Takes the oldest value; false when there is none.</summary>
    public bool TryTake(out T value)
    {
        lock (m_lock) {
            if (m_count == 0) {
                value = default(T);
                return false;
            }
            value = m_items[m_head];
            m_head = (m_head + 1) % m_items.Length;
            --m_count;
            return true;
        }
    }
}

/// <summary>The newest pose of each sensor, for a main thread that shows
/// only the latest: the reading thread posts every frame, the main thread
/// takes a sensor's pose once per update.</summary>
public sealed class PoseBoard
{
    readonly UnityPose[] m_poses = new UnityPose[Frame.MaxSensors];
    readonly uint[] m_versions = new uint[Frame.MaxSensors];
    readonly object m_lock = new object();

    /// <summary>Posts every sensor of a frame (on the reading thread).</summary>
    public void Post(in Frame frame)
    {
        for (int k = 0; k < frame.SensorCount; ++k) {
            UnityPose p = UnityFrame.Pose(frame, k);
            if (p.Sensor < 0 || p.Sensor >= Frame.MaxSensors)
                continue;
            lock (m_lock) {
                m_poses[p.Sensor] = p;
                ++m_versions[p.Sensor];
            }
        }
    }

    /// <summary>The newest pose of a sensor, when it is newer than the
    /// version given (0: any); version becomes the pose's.</summary>
    public bool TryGetNewer(int sensor, ref uint version, out UnityPose pose)
    {
        if (sensor < 0 || sensor >= Frame.MaxSensors)
            throw new ArgumentOutOfRangeException("sensor", sensor, "sensors are numbered 0 to 15");
        lock (m_lock) {
            pose = m_poses[sensor];
            if (m_versions[sensor] == version)
                return false;
            version = m_versions[sensor];
            return true;
        }
    }
}
}
