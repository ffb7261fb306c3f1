// The per-thread name table of the expression language and the reading of bound values.
#include <cstring>
#include <unordered_map>

#include "platform/runtime/codepage.h"
#include "platform/runtime/decimal.h"
#include "platform/runtime/expression.h"
#include "platform/runtime/expression_slot.h"
#include "platform/runtime/fixed_string.h"
#include "platform/runtime/std_date.h"

namespace rt {
namespace detail {
namespace {

struct NameTable {
    // Keyed by the name in capitals. A slot stays while an expression holds it, so binding the
    // name again reaches that expression too.
    std::unordered_map<std::string, std::shared_ptr<ExprSlot>> slots;
    ~NameTable();
};

// Set when this thread's table has been destroyed at thread exit: later calls from other
// thread-local destructors then find nothing instead of touching a dead table.
thread_local bool tableGone = false;
thread_local NameTable table;

NameTable::~NameTable() {
    for (auto& [name, slot] : slots) slot->binding = std::monostate{};
    tableGone = true;
}

NameTable* Table() { return tableGone ? nullptr : &table; }

void Bind(std::string_view name, decltype(ExprSlot::binding) binding) {
    NameTable* t = Table();
    if (!t) return;
    auto& slot = t->slots[rt::upper(name)];
    if (!slot) slot = std::make_shared<ExprSlot>();
    slot->binding = std::move(binding);
}

// Drops a slot's binding; forgets the slot when no expression holds it.
template <class It>
It Release(NameTable& t, It it) {
    it->second->binding = std::monostate{};
    return it->second.use_count() == 1 ? t.slots.erase(it) : std::next(it);
}

template <class T>
T ReadRaw(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// A DECIMAL of any size: sign nibble (0xD for minus) then BCD digits, most significant first.
ExprValue ReadDecimal(const unsigned char* p, std::size_t size, int places) {
    if (size == 0) return {};
    if (size <= kMaxPackedDecimalBytes && places <= 18) return ExprValue::fromScaled(packedDecimalScaled(p, size), places);
    const bool negative = (p[0] >> 4) == 0xD;
    const std::size_t digits = 2 * size - 1;
    auto nibble = [p](std::size_t i) {
        const int n = (i % 2 == 0) ? (p[i / 2] >> 4) : (p[i / 2] & 0x0F);
        return n > 9 ? 0 : n;  // a damaged digit reads as 0, as the field type does
    };
    // Wider than an exact value holds: the nearest double, through text so it is correctly rounded.
    std::string text = negative ? "-" : "";
    for (std::size_t i = 1; i <= digits; ++i) text += static_cast<char>('0' + nibble(i));
    text += "e-" + std::to_string(places);
    return ExprValue::fromNumber(ExprValue::fromText(text).number());
}

}  // namespace

ExprValue ReadField(const FieldDesc& f, const unsigned char* base) {
    const unsigned char* p = base + f.offset;
    const char* text = reinterpret_cast<const char*>(p);
    // A description whose size is too small for its type reads as zero rather than past the field.
    auto fits = [&f](std::size_t need) { return f.size >= need; };
    switch (f.type) {
        case FieldType::String: return ExprValue::fromText(std::string(text, f.size));
        case FieldType::CString: return ExprValue::fromText(std::string(cstringView(text, f.size)));
        case FieldType::Byte: return fits(1) ? ExprValue::fromScaled(p[0]) : ExprValue();
        case FieldType::Short: return fits(2) ? ExprValue::fromScaled(ReadRaw<std::int16_t>(p)) : ExprValue();
        case FieldType::Long: return fits(4) ? ExprValue::fromScaled(ReadRaw<std::int32_t>(p)) : ExprValue();
        case FieldType::Real:
            if (fits(8)) return ExprValue::fromNumber(ReadRaw<double>(p));
            if (fits(4)) return ExprValue::fromNumber(ReadRaw<float>(p));
            return {};
        case FieldType::Decimal: return ReadDecimal(p, f.size, f.places);
        case FieldType::Date: return fits(4) ? ExprValue::fromScaled(ReadRaw<DateField>(p).get()) : ExprValue();
        case FieldType::Time: return fits(4) ? ExprValue::fromScaled(ReadRaw<TimeField>(p).get()) : ExprValue();
    }
    return {};
}

ExprValue ExprSlot::read() const {
    struct Reader {
        ExprValue operator()(std::monostate) const { return ExprValue::fromText({}); }
        ExprValue operator()(const FieldBinding& b) const {
            return b.base ? ReadField(b.field, b.base) : ExprValue::fromText({});
        }
        ExprValue operator()(const MemoBinding& b) const {
            return ExprValue::fromText(b.memo ? b.memo->substr(0, b.maxLength) : std::string());
        }
        ExprValue operator()(const TextBinding& b) const { return ExprValue::fromText(b.get()); }
        ExprValue operator()(const NumberBinding& b) const { return ExprValue::fromNumber(b.get()); }
    };
    try {
        return std::visit(Reader{}, binding);
    } catch (...) {
        return ExprValue::fromText({});
    }
}

std::shared_ptr<const ExprSlot> FindBoundSlot(std::string_view name) {
    NameTable* t = Table();
    if (!t) return nullptr;
    auto it = t->slots.find(rt::upper(name));
    if (it == t->slots.end() || std::holds_alternative<std::monostate>(it->second->binding)) return nullptr;
    return it->second;
}

}  // namespace detail

void BindField(std::string_view name, const FieldDesc& field, const void* recordBase) {
    detail::Bind(name, detail::FieldBinding{field, static_cast<const unsigned char*>(recordBase)});
}

void BindMemo(std::string_view name, const std::string* memo, std::size_t maxLength) {
    detail::Bind(name, detail::MemoBinding{memo, maxLength});
}

void BindText(std::string_view name, std::function<std::string()> getter) {
    if (getter) detail::Bind(name, detail::TextBinding{std::move(getter)});
    else Unbind(name);
}

void BindNumber(std::string_view name, std::function<double()> getter) {
    if (getter) detail::Bind(name, detail::NumberBinding{std::move(getter)});
    else Unbind(name);
}

void Unbind(std::string_view name) {
    detail::NameTable* t = detail::Table();
    if (!t) return;
    auto it = t->slots.find(rt::upper(name));
    if (it != t->slots.end()) detail::Release(*t, it);
}

void UnbindRecord(const void* recordBase) {
    detail::NameTable* t = detail::Table();
    if (!t) return;
    for (auto it = t->slots.begin(); it != t->slots.end();) {
        const auto* f = std::get_if<detail::FieldBinding>(&it->second->binding);
        it = f && f->base == recordBase ? detail::Release(*t, it) : std::next(it);
    }
}

void UnbindAll() {
    detail::NameTable* t = detail::Table();
    if (!t) return;
    for (auto& [name, slot] : t->slots) slot->binding = std::monostate{};
    t->slots.clear();
}

bool IsBound(std::string_view name) { return detail::FindBoundSlot(name) != nullptr; }

}  // namespace rt
