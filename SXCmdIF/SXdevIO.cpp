#include <SXCmdIF/SXdevIO.h>

CSXdevIO::CSXdevIO() : m_nTraceLev(0) {}

CSXdevIO::~CSXdevIO() = default;

void CSXdevIO::SetTraceLev(int level)
{
    m_nTraceLev = level;
}
