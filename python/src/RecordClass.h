// One Python class per record kind, built from the item table's record row:
// construction from defaults and fields, comparison, copies, pickling,
// bytes, the report as text, and one attribute per field row. Records.cpp
// builds every class with it and adds what a class has beyond its fields.
#pragma once

#include "FieldValues.h"
#include "Records.h"

#include <items/Connection.h>
#include <items/ItemWords.h>

#include <pybind11/pybind11.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

namespace sxpy {

// A Python value: the payload record, and the units it is read in (only the
// values read in the units show them; they are not part of the record and
// never travel). The bytes past the record's size stay zero.
template <RecordKind K>
struct Value {
    alignas(8) unsigned char raw[sxitems::kMaxRecord] = {};
    _UNITS_CONFIG units{}; // inch, Euler degrees

    // The payload record as its type.
    template <class T>
    T As() const
    {
        static_assert(sizeof(T) <= sizeof raw, "record fits");
        T t;
        std::memcpy(&t, raw, sizeof t);
        return t;
    }
};

// What each class knows about itself.
template <RecordKind K>
struct Meta {
    static inline const sxitems::RecordDef* def = nullptr;
    static inline std::vector<std::string> fields;   // repr order, positional order
    static inline std::vector<std::string> settable; // keywords the constructor takes
};

// The most numbers a field holds (a record's bytes in floats).
constexpr size_t kMaxElements = sxitems::kMaxRecord / sizeof(float);

// Where Binder records the operations of a kind.
RecordOps& MutableOps(RecordKind kind);

namespace record {

inline bool Contains(const std::vector<std::string>& v, const std::string& s)
{
    return std::find(v.begin(), v.end(), s) != v.end();
}

template <RecordKind K>
void Apply(Value<K>& r, const py::args& args, const py::kwargs& kwargs)
{
    using M = Meta<K>;
    if (args.size() > M::fields.size())
        throw py::type_error(std::string(M::def->name) + "() takes at most " + std::to_string(M::fields.size()) +
                             " positional arguments");
    py::object self = py::cast(&r, py::return_value_policy::reference);
    for (size_t i = 0; i < args.size(); ++i)
        self.attr(M::fields[i].c_str()) = args[i];
    for (auto kv : kwargs) {
        const std::string key = py::str(kv.first);
        if (!Contains(M::settable, key))
            throw py::type_error(std::string(M::def->name) + "() got an unexpected keyword argument '" + key + "'");
        self.attr(key.c_str()) = kv.second;
    }
}

template <RecordKind K>
std::string Report(const Value<K>& r, bool header, bool oneLine)
{
    std::string text;
    if (Meta<K>::def->report) {
        sxitems::ReportContext context;
        context.units = r.units;
        Meta<K>::def->report(r.raw, context, header, oneLine, text);
    }
    sxitems::ToNewlines(text);
    return text;
}

template <RecordKind K>
std::string Repr(const Value<K>& r)
{
    py::object self = py::cast(&r, py::return_value_policy::reference);
    std::string out = std::string(Meta<K>::def->name) + "(";
    bool first = true;
    for (const std::string& f : Meta<K>::fields) {
        if (!first)
            out += ", ";
        first = false;
        out += f + "=" + std::string(py::repr(self.attr(f.c_str())));
    }
    return out + ")";
}

template <RecordKind K>
py::object Load(const void* payload, const _UNITS_CONFIG& units)
{
    Value<K> r;
    std::memcpy(r.raw, payload, Meta<K>::def->size);
    r.units = units;
    return py::cast(std::move(r));
}

// A value as set() and a record's record fields take it: a value of the
// class, a dict naming every field, a tuple or list of every field in
// order, or for a record of one field that field's value. Nothing is taken
// as a default: a field left out is an error, not a zero.
template <RecordKind K>
void Store(py::handle value, void* payload)
{
    using M = Meta<K>;
    const std::string name = M::def->name;
    py::object type = py::type::of<Value<K>>();
    py::object obj;
    if (py::isinstance(value, type)) {
        obj = py::reinterpret_borrow<py::object>(value);
    } else if (py::isinstance<py::dict>(value)) {
        py::dict d = py::reinterpret_borrow<py::dict>(value);
        for (auto kv : d) {
            const std::string key = py::str(kv.first);
            if (!py::isinstance<py::str>(kv.first) || !record::Contains(M::settable, key))
                throw py::type_error("a " + name + " has no field '" + key + "'");
        }
        for (const std::string& f : M::fields)
            if (!d.contains(f))
                throw py::type_error("the dict lacks " + f + ": every field of a " + name + " is needed");
        obj = type(**d);
    } else if (M::fields.size() == 1) {
        obj = type(value); // the one field
    } else if (py::isinstance<py::tuple>(value) || py::isinstance<py::list>(value)) {
        const size_t n = py::len(value);
        if (n != M::fields.size())
            throw py::type_error(std::to_string(n) + " values for the " + std::to_string(M::fields.size()) +
                                 " fields of a " + name);
        obj = type(*value); // the fields in order
    } else {
        throw WrongForm(Forms(Ops(K), nullptr), TypeName(value));
    }
    const Value<K>& r = obj.cast<const Value<K>&>();
    std::memcpy(payload, r.raw, Meta<K>::def->size);
}

template <RecordKind K>
py::bytes Bytes(const Value<K>& r)
{
    return py::bytes(reinterpret_cast<const char*>(r.raw), Meta<K>::def->size);
}

// A value of T at offset in the record.
template <class T>
T Read(const unsigned char* raw, size_t offset)
{
    return sxitems::ReadAt<T>(raw, offset);
}
template <class T>
void Write(unsigned char* raw, size_t offset, T v)
{
    std::memcpy(raw + offset, &v, sizeof v);
}

} // namespace record

template <RecordKind K>
class Binder {
public:
    using V = Value<K>;
    using M = Meta<K>;

    explicit Binder(py::module_& m) : m_def(sxitems::Record(K)), m_cls(m, m_def.name, m_def.doc)
    {
        M::def = &m_def;
        MutableOps(K) =
            RecordOps{m_def.name, m_def.size, &record::Load<K>, &record::Store<K>, false, &M::fields, nullptr};

        m_cls.def(py::init([](py::args args, py::kwargs kwargs) {
                      V r;
                      if (M::def->def)
                          std::memcpy(r.raw, M::def->def, M::def->size);
                      record::Apply(r, args, kwargs);
                      return r;
                  }),
                  "The default record, then the fields given (by position in field order, or by name).");
        m_cls.def("__eq__", [](const V& a, py::object b) -> py::object {
            if (!py::isinstance<V>(b))
                return py::reinterpret_borrow<py::object>(Py_NotImplemented);
            const V& o = b.cast<const V&>();
            return py::bool_(std::memcmp(a.raw, o.raw, M::def->size) == 0);
        });
        m_cls.attr("__hash__") = py::none();
        m_cls.def("__repr__", &record::Repr<K>);
        m_cls.def("__str__", [](const V& r) { return record::Report(r, true, false); });
        m_cls.def("report", &record::Report<K>, py::arg("header") = true, py::arg("one_line") = false,
                  "The record class's report: with the label when header, on one line when one_line.");
        m_cls.def("__copy__", [](const V& r) { return V(r); });
        m_cls.def(
            "__deepcopy__", [](const V& r, py::handle) { return V(r); }, py::arg("memo"));
        m_cls.def(
            "replace",
            [](const V& r, py::kwargs kwargs) {
                V c(r);
                record::Apply(c, py::args(), kwargs);
                return c;
            },
            "A copy with the fields given changed.");
        m_cls.def(
            "_asdict",
            [](const V& r) {
                py::object self = py::cast(&r, py::return_value_policy::reference);
                py::dict d;
                for (const std::string& f : M::fields)
                    d[f.c_str()] = self.attr(f.c_str());
                return d;
            },
            "The fields as a dict.");
        m_cls.def("to_bytes", &record::Bytes<K>, "The payload record as it travels (little-endian).");
        m_cls.def("__bytes__", &record::Bytes<K>);
        m_cls.def_static(
            "from_bytes",
            [](py::bytes b) {
                const std::string s = b;
                if (s.size() != M::def->size)
                    throw py::value_error(std::string(M::def->name) + " needs " + std::to_string(M::def->size) +
                                          " bytes, got " + std::to_string(s.size()));
                V r;
                std::memcpy(r.raw, s.data(), s.size());
                return r;
            },
            py::arg("data"), "A value from its payload bytes.");
        m_cls.def(py::pickle(
            [](const V& r) {
                return py::make_tuple(record::Bytes(r),
                                      py::bytes(reinterpret_cast<const char*>(&r.units), sizeof(r.units)));
            },
            [](py::tuple t) {
                V r;
                const std::string raw = t[0].cast<std::string>();
                const std::string units = t[1].cast<std::string>();
                if (raw.size() != M::def->size || units.size() != sizeof(r.units))
                    throw py::value_error("bad pickled record");
                std::memcpy(r.raw, raw.data(), raw.size());
                std::memcpy(&r.units, units.data(), sizeof(r.units));
                return r;
            }));
        m_cls.attr("SIZE") = m_def.size;
        for (size_t i = 0; i < m_def.fieldCount; ++i)
            AddField(m_def.fields[i]);
    }

    // The field names go on the class once every field is there.
    ~Binder()
    {
        py::tuple names(M::fields.size());
        for (size_t i = 0; i < M::fields.size(); ++i)
            names[i] = py::str(M::fields[i]);
        m_cls.attr("_fields") = names;
    }

    Binder(const Binder&) = delete;
    Binder& operator=(const Binder&) = delete;

    // A value computed from the record.
    template <class Get>
    Binder& computed(const char* name, Get get, const char* doc)
    {
        m_cls.def_property_readonly(name, get, doc);
        return *this;
    }

    // The units the record is read in, beside the record.
    Binder& units(const char* doc)
    {
        m_cls.def_property(
            "units", [](const V& r) { return Ops(RecordKind::Units).load(&r.units, r.units); },
            [](V& r, py::object v) { Ops(RecordKind::Units).store(v, &r.units); }, doc);
        M::settable.push_back("units");
        MutableOps(K).hasUnits = true;
        return *this;
    }

    py::class_<V>& cls() { return m_cls; }

private:
    void AddField(const sxitems::Field& f)
    {
        switch (f.type) {
        case sxitems::FieldType::U32:
            Words<uint32_t>(f);
            break;
        case sxitems::FieldType::I32:
            Words<int32_t>(f);
            break;
        case sxitems::FieldType::F32:
            Words<float>(f);
            break;
        case sxitems::FieldType::Text:
            Text(f);
            break;
        case sxitems::FieldType::Bits:
            Bits(f);
            break;
        case sxitems::FieldType::Flag:
            Flag(f);
            break;
        case sxitems::FieldType::Matrix:
            Matrix(f);
            break;
        case sxitems::FieldType::Record:
            Nested(f);
            break;
        }
        if (f.shown)
            M::fields.push_back(f.name);
        M::settable.push_back(f.name);
    }

    // One word or float, or a tuple of them set from any sequence of their
    // number.
    template <class T>
    void Words(const sxitems::Field& f)
    {
        const size_t off = f.offset;
        const std::string what = std::string(m_def.name) + "." + f.name;
        if (f.words && f.count == 1) {
            const sxitems::Vocabulary* words = f.words;
            m_cls.def_property(
                f.name, [off, words](const V& r) { return EnumValue(*words, record::Read<uint32_t>(r.raw, off)); },
                [off, words, what](V& r, py::object v) {
                    record::Write<uint32_t>(r.raw, off, WordValue(*words, v, what));
                },
                f.doc);
            return;
        }
        if (f.count == 1) {
            m_cls.def_property(
                f.name, [off](const V& r) { return record::Read<T>(r.raw, off); },
                [off, what](V& r, py::object v) { record::Write<T>(r.raw, off, Number<T>(v, what)); }, f.doc);
            return;
        }
        const size_t n = f.count;
        m_cls.def_property(
            f.name,
            [off, n](const V& r) {
                py::tuple t(n);
                for (size_t i = 0; i < n; ++i)
                    t[i] = py::cast(record::Read<T>(r.raw, off + i * sizeof(T)));
                return t;
            },
            [off, n, what](V& r, py::object v) {
                py::sequence s = Elements(v, n, what);
                T values[kMaxElements] = {};
                for (size_t i = 0; i < n; ++i)
                    values[i] = Number<T>(s[i], what + "[" + std::to_string(i) + "]");
                std::memcpy(r.raw + off, values, n * sizeof(T)); // all checked first
            },
            f.doc);
    }

    // A number of the field's type, checked.
    template <class T>
    static T Number(py::handle v, const std::string& what)
    {
        if constexpr (std::is_same_v<T, float>)
            return FiniteFloat(v, what);
        else if constexpr (std::is_same_v<T, int32_t>)
            return SignedWord(v, what);
        else
            return UnsignedWord(v, what);
    }

    // A text field of n bytes: a str, cut to n - 1 bytes when set.
    void Text(const sxitems::Field& f)
    {
        const size_t off = f.offset, n = f.count;
        m_cls.def_property(
            f.name,
            [off, n](const V& r) {
                const char* p = reinterpret_cast<const char*>(r.raw + off);
                return py::reinterpret_steal<py::str>(
                    PyUnicode_DecodeLatin1(p, static_cast<Py_ssize_t>(strnlen(p, n)), "replace"));
            },
            [off, n, what = std::string(m_def.name) + "." + f.name](V& r, py::object o) {
                if (!py::isinstance<py::str>(o))
                    throw py::type_error(what + " takes a str, not " + TypeName(o));
                const std::string v = o.cast<std::string>();
                std::memset(r.raw + off, 0, n);
                std::memcpy(r.raw + off, v.data(), std::min(v.size(), n - 1));
            },
            f.doc);
    }

    // Bits of a word, unsigned.
    void Bits(const sxitems::Field& f)
    {
        const size_t off = f.offset;
        const unsigned shift = f.shift;
        const uint32_t mask = f.width >= 32 ? 0xFFFFFFFFu : (1u << f.width) - 1;
        if (f.words) {
            const sxitems::Vocabulary* words = f.words;
            const std::string what = std::string(m_def.name) + "." + f.name;
            m_cls.def_property(
                f.name,
                [off, shift, mask, words](const V& r) {
                    return EnumValue(*words, (record::Read<uint32_t>(r.raw, off) >> shift) & mask);
                },
                [off, shift, mask, words, what](V& r, py::object v) {
                    const uint32_t w = record::Read<uint32_t>(r.raw, off);
                    const uint32_t x = WordValue(*words, v, what);
                    record::Write<uint32_t>(r.raw, off, (w & ~(mask << shift)) | ((x & mask) << shift));
                },
                f.doc);
            return;
        }
        m_cls.def_property(
            f.name, [off, shift, mask](const V& r) { return (record::Read<uint32_t>(r.raw, off) >> shift) & mask; },
            [off, shift, mask, what = std::string(m_def.name) + "." + f.name](V& r, py::object o) {
                const uint32_t v = UnsignedWord(o, what, mask);
                const uint32_t w = record::Read<uint32_t>(r.raw, off);
                record::Write<uint32_t>(r.raw, off, (w & ~(mask << shift)) | (v << shift));
            },
            f.doc);
    }

    // One bit of a word, a truth value.
    void Flag(const sxitems::Field& f)
    {
        const size_t off = f.offset;
        const uint32_t bit = 1u << f.shift;
        m_cls.def_property(
            f.name, [off, bit](const V& r) { return (record::Read<uint32_t>(r.raw, off) & bit) != 0; },
            [off, bit, what = std::string(m_def.name) + "." + f.name](V& r, py::object o) {
                const bool v = Truth(o, what);
                const uint32_t w = record::Read<uint32_t>(r.raw, off);
                record::Write<uint32_t>(r.raw, off, v ? w | bit : w & ~bit);
            },
            f.doc);
    }

    // A row-major matrix of floats: a tuple of row tuples.
    void Matrix(const sxitems::Field& f)
    {
        const size_t off = f.offset, rows = f.count, cols = f.cols;
        m_cls.def_property(
            f.name,
            [off, rows, cols](const V& r) {
                py::tuple out(rows);
                for (size_t i = 0; i < rows; ++i) {
                    py::tuple row(cols);
                    for (size_t j = 0; j < cols; ++j)
                        row[j] = py::cast(record::Read<float>(r.raw, off + (i * cols + j) * sizeof(float)));
                    out[i] = row;
                }
                return out;
            },
            [off, rows, cols, what = std::string(m_def.name) + "." + f.name](V& r, py::object o) {
                py::sequence in = Elements(o, rows, what);
                float values[kMaxElements] = {};
                for (size_t i = 0; i < rows; ++i) {
                    const std::string row = what + "[" + std::to_string(i) + "]";
                    py::sequence cells = Elements(in[i], cols, row);
                    for (size_t j = 0; j < cols; ++j)
                        values[i * cols + j] = FiniteFloat(cells[j], row + "[" + std::to_string(j) + "]");
                }
                std::memcpy(r.raw + off, values, rows * cols * sizeof(float)); // all checked first
            },
            f.doc);
    }

    // A record inside this one, as a value of its own class (a copy).
    void Nested(const sxitems::Field& f)
    {
        const size_t off = f.offset;
        const RecordKind kind = f.record;
        m_cls.def_property(
            f.name, [off, kind](const V& r) { return Ops(kind).load(r.raw + off, r.units); },
            [off, kind](V& r, py::object v) { Ops(kind).store(v, r.raw + off); }, f.doc);
    }

    const sxitems::RecordDef& m_def;
    py::class_<V> m_cls;
};

} // namespace sxpy
