// The parsers of the value words of a SET, one per item that takes them
// (SetWords.cpp lists them).
#pragma once

#include "SetWords.h"

#include <cstring>

namespace sxitems::words {

// A parser stores the record it built into the item's untyped payload.
template <typename Record>
void Store(const Record& r, void* p)
{
    std::memcpy(p, &r, sizeof r);
}

// Unit level.
bool ParseUnits(const Values& v, const WordContext& c, void* p, std::string& e);
bool ParseFrameRate(const Values& v, const WordContext& c, void* p, std::string& e);
bool ParseSourceCfg(const Values& v, const WordContext& c, void* p, std::string& e);
bool ParseSourceRot(const Values& v, const WordContext& c, void* p, std::string& e);
bool ParseBinary(const Values& v, const WordContext& c, void* p, std::string& e);
bool ParseStylus(const Values& v, const WordContext& c, void* p, std::string& e);
bool ParseSerial(const Values& v, const WordContext& c, void* p, std::string& e);
bool ParseSeuId(const Values& v, const WordContext& c, void* p, std::string& e);
bool ParseSelfCal(const Values& v, const WordContext& c, void* p, std::string& e);

// Sensor level.
bool ParseFilter(const Values& v, const WordContext& c, void* p, std::string& e);
bool ParseHemisphere(const Values& v, const WordContext& c, void* p, std::string& e);
bool ParseBoresight(const Values& v, const WordContext& c, void* p, std::string& e);
bool ParseTipOffset(const Values& v, const WordContext& c, void* p, std::string& e);
bool ParseIncrement(const Values& v, const WordContext& c, void* p, std::string& e);
bool ParseSrcSelect(const Values& v, const WordContext& c, void* p, std::string& e);
bool ParsePredFilter(const Values& v, const WordContext& c, void* p, std::string& e);
bool ParseVirtual(const Values& v, const WordContext& c, void* p, std::string& e);
bool ParseFttMode(const Values& v, const WordContext& c, void* p, std::string& e);
bool ParseOrigin(const Values& v, const WordContext& c, void* p, std::string& e);

} // namespace sxitems::words
