// The configuration items of the tracker as data, one table for every
// application that offers them (sxtool, the Python module). An item row
// says what the item is: its name, whom it addresses (the unit, a sensor, a
// source), the actions it takes, the exported functions that carry it, what
// its second argument word means, the value words of a SET and the record
// it moves. A record row says what that record is: its name, the payload
// record it travels as, its size, default, fields and report. Written
// against the installed interface only.
#pragma once

#include <SXCmdIF/protocol/SXcmdEnums.h>
#include <SXCmdIF/protocol/SXvocabEnums.h>
#include <SXCmdIF/records/SXpayloads.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace sxitems {

struct Vocabulary; // ItemWords.h

// Every record an item carries. Some share a payload record but print with
// different record classes (the on/off settings).
enum class RecordKind : uint8_t {
    Units,
    SyncMode,
    DualOutput,
    OorMode,
    FttMode,
    SensorOrigin,
    StylusMode,
    FrameRate,
    SeuId,
    SerialConfig,
    StationMap,
    SourceConfig,
    SourceRotation,
    SourceSelect,
    Hemisphere,
    Filter,
    TipOffset,
    Increment,
    Boresight,
    PredFilter,
    NoiseProfile,
    PredFilterExt,
    VirtualSensor,
    WhoAmI,
    BitResult,
    SelfCal,
    None, // an item without a record
};
constexpr size_t kRecordKinds = static_cast<size_t>(RecordKind::None);

// The biggest record an item carries.
constexpr size_t kMaxRecord = 256;

// How a field's bytes are read.
enum class FieldType : uint8_t {
    U32,    // unsigned words: one, or `count` of them
    I32,    // signed words: one, or `count` of them
    F32,    // floats: one, or `count` of them
    Text,   // `count` bytes of text, terminated within them when well formed
    Bits,   // `width` bits from bit `shift` of the word, unsigned
    Flag,   // bit `shift` of the word, a truth value
    Matrix, // `count` rows of `cols` floats, row-major
    Record, // a record of kind `record` inside this one
};

// What a word field means beside its number, for the applications' JSON.
enum class FieldForm : uint8_t {
    Number,  // the number itself
    Boolean, // 0 false, any other value true
    RateHz,  // a frame-rate code, shown as its rate in Hz
    BaudBps, // a baud-rate code, shown as bits per second
};

struct Field {
    const char* name;
    FieldType type;
    uint16_t offset; // bytes into the record
    uint16_t count;  // elements (words, floats), text bytes or matrix rows
    uint8_t cols;    // Matrix: floats in a row
    uint8_t shift;   // Bits, Flag: the lowest bit
    uint8_t width;   // Bits: how many bits
    bool shown;      // a field of the value (false: a whole word whose bit fields are shown)
    RecordKind record;
    const char* doc;
    const Vocabulary* words; // an enumerated field's words (ItemWords.h), or null
    FieldForm form;          // U32 and Bits fields: what the number means
};

// What a report shows beside the record: the units in force (for records
// read in them) and a filter's target (FILTER_TRGT_MAX: not known).
struct ReportContext {
    _UNITS_CONFIG units{}; // inch, Euler degrees
    uint32_t filterTarget = FILTER_TRGT_MAX;
};

// Appends the record class's report of the record at payload: with the
// record's label when header, on one line when oneLine.
using ReportFn = void (*)(const void* payload, const ReportContext& context, bool header, bool oneLine,
                          std::string& text);

struct RecordDef {
    RecordKind kind;
    const char* name;    // the value's name in the applications: "Units"
    const char* payload; // the payload record, as the command catalogue names it: "UNITS_CONFIG"
    uint32_t size;       // bytes
    const void* def;     // the default record (size bytes); null: all zero
    const Field* fields;
    size_t fieldCount;
    bool inUnits;    // its values are in the units in force, which its report shows
    ReportFn report; // null: no report of its own
    const char* doc;
};

// The row of a record kind (not RecordKind::None).
const RecordDef& Record(RecordKind kind);

// A value of T at offset in a record's bytes (fields need not be aligned).
template <class T>
T ReadAt(const unsigned char* record, size_t offset)
{
    T v;
    std::memcpy(&v, record + offset, sizeof v);
    return v;
}

// Actions, one bit each.
enum Actions : unsigned {
    kSet = 1u << CMD_ACTION_SET,
    kGet = 1u << CMD_ACTION_GET,
    kReset = 1u << CMD_ACTION_RESET,
};

// What the command's second argument word means for an item.
enum class Arg2 : uint8_t {
    None,         // nothing: it is ignored
    FilterTarget, // the filter addressed: an eSorixFilterTarget value
    ResetOrigin,  // 1: the origin is reset as well
};

// The exported functions behind an item, in two shapes; payload is read by
// a SET, filled by a GET and null for a RESET.
using UnitCall = int (*)(void* ctx, void* dev, eCmdActions action, void* payload, int arg2);
// index: the sensor (negative: every sensor) or the source.
using IndexCall = int (*)(void* ctx, void* dev, int index, eCmdActions action, void* payload, int arg2);

struct Item {
    const char* name;
    RecordKind record;
    unsigned actions; // Actions
    UnitCall unit;    // the unit-level form, or null
    IndexCall sensor; // the sensor form, or null
    IndexCall source; // the source form, or null
    Arg2 arg2;
    const char* values; // the value words of a SET ("POS ORI"); empty when it takes none
    const char* doc;
};

// The row of an item, or null.
const Item* FindItem(const std::string& name);

// Every row, in table order.
const Item* AllItems(size_t& count);

} // namespace sxitems
