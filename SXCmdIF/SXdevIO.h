// CSXdevIO: the device object of one connected tracker.
#pragma once

class CSXdevIO {
public:
    CSXdevIO();
    virtual ~CSXdevIO();
    CSXdevIO(const CSXdevIO&) = delete;
    CSXdevIO& operator=(const CSXdevIO&) = delete;

    void SetTraceLev(int level);

    int m_nTraceLev;
};
