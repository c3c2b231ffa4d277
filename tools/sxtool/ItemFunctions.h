// The functions the item table refers to, one set per item (Items.cpp).
#pragma once

#include "Items.h"

#include <cstring>

namespace sxtool::items {

// The item functions see their record through the table's untyped pointer.
template <typename Record>
Record* As(void* p)
{
    return static_cast<Record*>(p);
}
template <typename Record>
const Record* As(const void* p)
{
    return static_cast<const Record*>(p);
}
template <typename Record>
void Store(const Record& r, void* p)
{
    std::memcpy(p, &r, sizeof r);
}

// Unit level.
int CmdUnits(const ItemContext& c, eCmdActions a, void* p);
bool ParseUnits(const Values& v, const ItemContext& c, void* p, std::string& e);
void ReportUnits(const void* p, const ItemContext& c, std::string& t);
int CmdFrameRate(const ItemContext& c, eCmdActions a, void* p);
bool ParseFrameRate(const Values& v, const ItemContext& c, void* p, std::string& e);
void ReportFrameRate(const void* p, const ItemContext& c, std::string& t);
int CmdSourceCfg(const ItemContext& c, eCmdActions a, void* p);
bool ParseSourceCfg(const Values& v, const ItemContext& c, void* p, std::string& e);
void ReportSourceCfg(const void* p, const ItemContext& c, std::string& t);
int CmdSourceRot(const ItemContext& c, eCmdActions a, void* p);
bool ParseSourceRot(const Values& v, const ItemContext& c, void* p, std::string& e);
void ReportSourceRot(const void* p, const ItemContext& c, std::string& t);
bool ParseBinary(const Values& v, const ItemContext& c, void* p, std::string& e);
int CmdSync(const ItemContext& c, eCmdActions a, void* p);
void ReportSync(const void* p, const ItemContext& c, std::string& t);
int CmdDualOutput(const ItemContext& c, eCmdActions a, void* p);
void ReportDualOutput(const void* p, const ItemContext& c, std::string& t);
int CmdOor(const ItemContext& c, eCmdActions a, void* p);
void ReportBinary(const void* p, const ItemContext& c, std::string& t);
int CmdStylus(const ItemContext& c, eCmdActions a, void* p);
bool ParseStylus(const Values& v, const ItemContext& c, void* p, std::string& e);
void ReportStylus(const void* p, const ItemContext& c, std::string& t);
int CmdSerial(const ItemContext& c, eCmdActions a, void* p);
bool ParseSerial(const Values& v, const ItemContext& c, void* p, std::string& e);
void ReportSerial(const void* p, const ItemContext& c, std::string& t);
int CmdSeuId(const ItemContext& c, eCmdActions a, void* p);
bool ParseSeuId(const Values& v, const ItemContext& c, void* p, std::string& e);
void ReportSeuId(const void* p, const ItemContext& c, std::string& t);
int CmdSelfCal(const ItemContext& c, eCmdActions a, void* p);
bool ParseSelfCal(const Values& v, const ItemContext& c, void* p, std::string& e);
void ReportSelfCal(const void* p, const ItemContext& c, std::string& t);
int CmdStationMap(const ItemContext& c, eCmdActions a, void* p);
void ReportStationMap(const void* p, const ItemContext& c, std::string& t);
int CmdBit(const ItemContext& c, eCmdActions a, void* p);
void ReportBit(const void* p, const ItemContext& c, std::string& t);

// Sensor level.
int CmdFilter(const ItemContext& c, eCmdActions a, void* p);
bool ParseFilter(const Values& v, const ItemContext& c, void* p, std::string& e);
void ReportFilter(const void* p, const ItemContext& c, std::string& t);
int CmdHemisphere(const ItemContext& c, eCmdActions a, void* p);
bool ParseHemisphere(const Values& v, const ItemContext& c, void* p, std::string& e);
void ReportHemisphere(const void* p, const ItemContext& c, std::string& t);
int CmdBoresight(const ItemContext& c, eCmdActions a, void* p);
bool ParseBoresight(const Values& v, const ItemContext& c, void* p, std::string& e);
void ReportBoresight(const void* p, const ItemContext& c, std::string& t);
int CmdTipOffset(const ItemContext& c, eCmdActions a, void* p);
bool ParseTipOffset(const Values& v, const ItemContext& c, void* p, std::string& e);
void ReportTipOffset(const void* p, const ItemContext& c, std::string& t);
int CmdIncrement(const ItemContext& c, eCmdActions a, void* p);
bool ParseIncrement(const Values& v, const ItemContext& c, void* p, std::string& e);
void ReportIncrement(const void* p, const ItemContext& c, std::string& t);
int CmdSrcSelect(const ItemContext& c, eCmdActions a, void* p);
bool ParseSrcSelect(const Values& v, const ItemContext& c, void* p, std::string& e);
void ReportSrcSelect(const void* p, const ItemContext& c, std::string& t);
int CmdPredFilter(const ItemContext& c, eCmdActions a, void* p);
bool ParsePredFilter(const Values& v, const ItemContext& c, void* p, std::string& e);
void ReportPredFilter(const void* p, const ItemContext& c, std::string& t);
int CmdVirtual(const ItemContext& c, eCmdActions a, void* p);
bool ParseVirtual(const Values& v, const ItemContext& c, void* p, std::string& e);
void ReportVirtual(const void* p, const ItemContext& c, std::string& t);
int CmdFttMode(const ItemContext& c, eCmdActions a, void* p);
bool ParseFttMode(const Values& v, const ItemContext& c, void* p, std::string& e);
void ReportFttMode(const void* p, const ItemContext& c, std::string& t);
int CmdOrigin(const ItemContext& c, eCmdActions a, void* p);
bool ParseOrigin(const Values& v, const ItemContext& c, void* p, std::string& e);
void ReportOrigin(const void* p, const ItemContext& c, std::string& t);

} // namespace sxtool::items
