// devicectl seed-demo: a device to look at and to try things on. A dozen
// databases with every property type, a few system databases, an empty one,
// several hundred records in all, and registry keys under the three roots.
// The content is the same every time.

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"
#include "platform/core/Text.h"
#include "platform/core/UniqueResource.h"
#include "platform/objectstore/ObjectStore.h"
#include "platform/registry/Registry.h"
#include "platform/registry/UniqueKey.h"
#include "platform/time/Time.h"
#include "tools/devicectl/Commands.h"

namespace devicectl {
namespace {

using ce::CEPROPVAL;
using ce::WORD;

// A small deterministic generator, so every demo device is the same.
class Dice {
public:
    explicit Dice(unsigned seed) : state_(seed * 2654435761u + 1) {}
    unsigned Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    unsigned Below(unsigned n) { return Next() % n; }
    template <class T, std::size_t N>
    const T& Pick(const T (&items)[N]) {
        return items[Below(N)];
    }

private:
    unsigned state_;
};

// Builds one record; owns the texts and bytes its properties point to.
class Record {
public:
    Record& Text(WORD id, const std::string& text) {
        texts_.push_back(ce::Utf8ToWide(text));
        Add(id, ce::CEVT_LPWSTR).textIndex = texts_.size() - 1;
        return *this;
    }
    Record& Int(WORD id, short v) {
        Add(id, ce::CEVT_I2).value.val.iVal = v;
        return *this;
    }
    Record& UInt(WORD id, unsigned short v) {
        Add(id, ce::CEVT_UI2).value.val.uiVal = v;
        return *this;
    }
    Record& Long(WORD id, int v) {
        Add(id, ce::CEVT_I4).value.val.lVal = v;
        return *this;
    }
    Record& ULong(WORD id, unsigned v) {
        Add(id, ce::CEVT_UI4).value.val.ulVal = v;
        return *this;
    }
    Record& Float(WORD id, double v) {
        Add(id, ce::CEVT_R8).value.val.dblVal = v;
        return *this;
    }
    Record& Bool(WORD id, bool v) {
        Add(id, ce::CEVT_BOOL).value.val.boolVal = v ? 1 : 0;
        return *this;
    }
    Record& Date(WORD id, std::uint64_t filetime) {
        Add(id, ce::CEVT_FILETIME).value.val.filetime = ce::U64ToFileTime(filetime);
        return *this;
    }
    Record& Blob(WORD id, std::vector<ce::BYTE> bytes) {
        blobs_.push_back(std::move(bytes));
        Add(id, ce::CEVT_BLOB).blobIndex = blobs_.size() - 1;
        return *this;
    }

    std::vector<CEPROPVAL> Values() {
        std::vector<CEPROPVAL> values;
        for (Entry& e : entries_) {
            if (e.textIndex != kNone)
                e.value.val.lpwstr = texts_[e.textIndex].data();
            if (e.blobIndex != kNone) {
                e.value.val.blob.dwCount = static_cast<ce::DWORD>(blobs_[e.blobIndex].size());
                e.value.val.blob.lpb = blobs_[e.blobIndex].data();
            }
            values.push_back(e.value);
        }
        return values;
    }

private:
    static constexpr std::size_t kNone = ~std::size_t{0};
    struct Entry {
        CEPROPVAL value{};
        std::size_t textIndex = kNone;
        std::size_t blobIndex = kNone;
    };
    Entry& Add(WORD id, WORD type) {
        entries_.push_back({});
        entries_.back().value.propid = ce::MakePropID(id, type);
        return entries_.back();
    }
    std::vector<Entry> entries_;
    std::vector<std::u16string> texts_;
    std::vector<std::vector<ce::BYTE>> blobs_;
};

constexpr std::uint64_t kDay = 864000000000ULL;
// 2024-01-01 00:00 UTC.
constexpr std::uint64_t kStart = 133485408000000000ULL;

const char* kFirst[] = {"Anna", "Ben",   "Clara", "David", "Elif", "Felix", "Grace", "Hugo",
                        "Ines", "Jonas", "Keiko", "Liam",  "Maya", "Noah",  "Olga",  "Pablo"};
const char* kLast[] = {"Abbott", "Brandt",   "Castillo", "Dubois", "Eriksen",  "Fischer",
                       "Garcia", "Hansen",   "Ivanova",  "Jensen", "Kowalski", "Lindqvist",
                       "Moreau", "Nakamura", "Okafor",   "Petrov", "Quinn",    "Rossi"};
const char* kCompanies[] = {"Northwind",      "Blue Harbor", "Fabrikam",
                            "Lakeside Tools", "Orbit Labs",  "Greenfield"};
const char* kTopics[] = {"Budget review",    "Site visit",    "Dentist",        "Team lunch",
                         "Quarterly report", "Call supplier", "Flight to Oslo", "Gym",
                         "Parents evening",  "Car service"};
const char* kPlaces[] = {"Room 4.12", "Main office", "Downtown", "Online", "Airport", "Home"};

struct DemoDatabase {
    const char* name;
    ce::DWORD type;
    std::vector<ce::SORTORDERSPEC> sorts;
    int records;
    std::function<void(Dice&, int, Record&)> make;
};

std::vector<DemoDatabase> Databases() {
    using ce::MakePropID;
    return {
        {"Contacts",
         0x00010001,
         {{MakePropID(1, ce::CEVT_LPWSTR), ce::CEDB_SORT_CASEINSENSITIVE},
          {MakePropID(3, ce::CEVT_LPWSTR), ce::CEDB_SORT_CASEINSENSITIVE},
          {MakePropID(5, ce::CEVT_FILETIME), 0}},
         120,
         [](Dice& d, int i, Record& r) {
             std::string first = d.Pick(kFirst), last = d.Pick(kLast);
             r.Text(1, last).Text(2, first).Text(3, d.Pick(kCompanies));
             r.Text(4, "+47 " + std::to_string(40000000 + d.Below(9999999)));
             r.Text(7, first + "." + last + "@example.org");
             if (i % 3 != 0)
                 r.Date(5, kStart - (7000 + d.Below(15000)) * kDay);
             r.UInt(6, static_cast<unsigned short>(d.Below(5))).Bool(8, d.Below(4) == 0);
         }},
        {"Appointments",
         0x00010002,
         {{MakePropID(1, ce::CEVT_FILETIME), 0}, {MakePropID(2, ce::CEVT_LPWSTR), 0}},
         80,
         [](Dice& d, int i, Record& r) {
             std::uint64_t start =
                 kStart + (i * 3 + d.Below(3)) * kDay + d.Below(20) * 18000000000ULL;
             r.Date(1, start).Text(2, d.Pick(kTopics)).Text(3, d.Pick(kPlaces));
             r.ULong(4, 15 * (1 + d.Below(8))).Bool(5, d.Below(6) == 0);
             r.Date(6, start + (1 + d.Below(4)) * 9000000000ULL);
         }},
        {"Tasks",
         0x00010003,
         {{MakePropID(2, ce::CEVT_I2), ce::CEDB_SORT_DESCENDING},
          {MakePropID(3, ce::CEVT_FILETIME), ce::CEDB_SORT_UNKNOWNFIRST}},
         45,
         [](Dice& d, int i, Record& r) {
             r.Text(1, d.Pick(kTopics)).Int(2, static_cast<short>(d.Below(3) - 1));
             if (i % 4 != 0)
                 r.Date(3, kStart + (30 + d.Below(400)) * kDay);
             r.Bool(4, d.Below(3) == 0);
         }},
        {"Inbox",
         0x00010004,
         {{MakePropID(4, ce::CEVT_FILETIME), ce::CEDB_SORT_DESCENDING}},
         60,
         [](Dice& d, int i, Record& r) {
             r.Text(1, std::string(d.Pick(kFirst)) + " " + d.Pick(kLast));
             r.Text(2, std::string(d.Pick(kTopics)) + (i % 5 == 0 ? " (urgent)" : ""));
             std::string body = "Hello,\r\n\r\nplease find the notes from ";
             body += d.Pick(kPlaces);
             body += ". ";
             for (unsigned k = 0; k < 2 + d.Below(6); ++k)
                 body += "We will follow up next week. ";
             r.Text(3, body + "\r\n\r\nRegards");
             r.Date(4, kStart + (200 + i) * kDay + d.Below(86400) * 10000000ULL);
             r.ULong(5, d.Below(16));
             if (i % 7 == 0) {
                 std::vector<ce::BYTE> attachment(64 + d.Below(200));
                 for (auto& b : attachment)
                     b = static_cast<ce::BYTE>(d.Next());
                 r.Blob(6, std::move(attachment));
             }
         }},
        {"Expenses.2025",
         0x00020001,
         {{MakePropID(2, ce::CEVT_R8), 0}},
         50,
         [](Dice& d, int i, Record& r) {
             r.Date(1, kStart + (365 + i * 6) * kDay);
             r.Float(2, (d.Below(50000) + 1) / 100.0);
             r.Text(3, d.Below(2) ? "Taxi" : "Meals").Text(4, "NOK");
             r.Bool(5, d.Below(2) == 0);
         }},
        {"Sensor Log",
         0x00030001,
         {{MakePropID(1, ce::CEVT_UI4), 0}, {MakePropID(3, ce::CEVT_R8), ce::CEDB_SORT_DESCENDING}},
         150,
         [](Dice& d, int i, Record& r) {
             r.ULong(1, 1000 + i).Long(2, static_cast<int>(d.Below(2000)) - 1000);
             r.Float(3, 18.0 + d.Below(1000) / 100.0).Int(4, static_cast<short>(d.Below(100)));
             r.Date(5, kStart + i * 36000000000ULL);
         }},
        {"Photo Index",
         0x00030002,
         {{MakePropID(1, ce::CEVT_LPWSTR), ce::CEDB_SORT_CASEINSENSITIVE}},
         20,
         [](Dice& d, int i, Record& r) {
             r.Text(1, "IMG_" + std::to_string(4100 + i) + ".JPG");
             std::vector<ce::BYTE> thumbnail(256 + d.Below(512));
             for (auto& b : thumbnail)
                 b = static_cast<ce::BYTE>(d.Next() >> 8);
             r.Blob(2, std::move(thumbnail)).UInt(3, 640).UInt(4, 480);
             r.Date(5, kStart + (i * 11) * kDay);
         }},
        {"Notes",
         0x00010005,
         {},
         25,
         [](Dice& d, int i, Record& r) {
             r.Text(1, std::string("Note ") + std::to_string(i + 1));
             if (i % 6 == 3)
                 r.Text(2, "");
             else
                 r.Text(2, std::string("Remember: ") + d.Pick(kTopics) + " at " + d.Pick(kPlaces));
             r.Date(3, kStart + (i * 13) * kDay);
         }},
        {"Favorites",
         0x00010006,
         {{MakePropID(2, ce::CEVT_I4), 0}},
         12,
         [](Dice& d, int i, Record& r) {
             r.Text(1, std::string("https://example.org/") + d.Pick(kCompanies)).Long(2, i * 10);
             r.Bool(3, d.Below(2) == 0);
         }},
        {"Empty", 0x00010007, {}, 0, nullptr},
        {"\\System Index",
         0x80000001,
         {{MakePropID(1, ce::CEVT_UI4), 0}},
         30,
         [](Dice& d, int i, Record& r) {
             r.ULong(1, static_cast<unsigned>(i))
                 .ULong(2, d.Next())
                 .UInt(3, static_cast<unsigned short>(d.Below(9)));
         }},
        {"\\Ink Strokes",
         0x80000002,
         {},
         10,
         [](Dice& d, int, Record& r) {
             std::vector<ce::BYTE> stroke(32 + d.Below(96));
             for (auto& b : stroke)
                 b = static_cast<ce::BYTE>(d.Below(240));
             r.Blob(1, std::move(stroke)).Int(2, static_cast<short>(d.Below(3)));
         }},
        {"\\Deleted Items", 0x80000003, {}, 0, nullptr},
    };
}

bool Exists(const std::u16string& name) {
    ce::CEOID oid = 0;
    return static_cast<bool>(
        ce::UniqueHandle(ce::CeOpenDatabase(&oid, name.c_str(), 0, 0, nullptr)));
}

void SetBytes(ce::HKEY root, const char16_t* path, const char16_t* name, ce::DWORD type,
              std::vector<ce::BYTE> data) {
    ce::HKEY raw;
    ce::DWORD disposition;
    if (ce::RegCreateKeyExW(root, path, 0, u"", 0, ce::KEY_ALL_ACCESS, nullptr, &raw,
                            &disposition) != ce::ERROR_SUCCESS) {
        return;
    }
    ce::UniqueKey key(raw);
    ce::RegSetValueExW(key.get(), name, 0, type, data.data(), static_cast<ce::DWORD>(data.size()));
}

void SetString(ce::HKEY root, const char16_t* path, const char16_t* name, const char16_t* text,
               ce::DWORD type = ce::REG_SZ) {
    std::size_t n = ce::WideLength(text) + 1;
    if (type == ce::REG_MULTI_SZ)
        ++n;  // the caller's text holds the inner terminators
    std::vector<ce::BYTE> data;
    for (std::size_t i = 0; i < n; ++i) {
        char16_t c = i < ce::WideLength(text) ? text[i] : 0;
        data.push_back(static_cast<ce::BYTE>(c));
        data.push_back(static_cast<ce::BYTE>(c >> 8));
    }
    SetBytes(root, path, name, type, std::move(data));
}

std::vector<ce::BYTE> Dword(ce::DWORD v) {
    return {static_cast<ce::BYTE>(v), static_cast<ce::BYTE>(v >> 8), static_cast<ce::BYTE>(v >> 16),
            static_cast<ce::BYTE>(v >> 24)};
}

void SeedRegistry() {
    using namespace ce;
    SetString(HKEY_CLASSES_ROOT, u".bkp", u"", u"Tessaly.Backup");
    SetString(HKEY_CLASSES_ROOT, u"Tessaly.Backup", u"", u"Database backup");
    SetString(HKEY_CLASSES_ROOT, u"Tessaly.Backup\\DefaultIcon", u"",
              u"\\windows\\tessaly.exe,-101");
    SetString(HKEY_CLASSES_ROOT, u".txt", u"", u"txtfile");
    SetString(HKEY_CURRENT_USER, u"ControlPanel\\Owner", u"Name", u"Demo Owner");
    SetString(HKEY_CURRENT_USER, u"ControlPanel\\Owner", u"Company", u"Northwind");
    SetBytes(HKEY_CURRENT_USER, u"ControlPanel\\Owner", u"ShowOwner", REG_DWORD, Dword(1));
    SetBytes(HKEY_CURRENT_USER, u"ControlPanel\\Volume", u"Volume", REG_DWORD, Dword(0xAAAAAAAA));
    SetString(HKEY_CURRENT_USER, u"Software\\Demo\\Recent", u"Files",
              u"\\My Documents\\a.txt\0\\My Documents\\b.txt", REG_MULTI_SZ);
    SetString(HKEY_CURRENT_USER, u"Software\\Demo\\Recent", u"Folder", u"%HOME%\\Docs",
              REG_EXPAND_SZ);
    SetBytes(HKEY_LOCAL_MACHINE, u"System\\StorageManager", u"Signature", REG_BINARY,
             {0xDE, 0xAD, 0xBE, 0xEF, 0x00, 0x01});
    SetBytes(HKEY_LOCAL_MACHINE, u"System\\StorageManager", u"PageSize", REG_DWORD, Dword(4096));
    SetString(HKEY_LOCAL_MACHINE, u"Ident", u"Name", u"DemoDevice");
    SetString(HKEY_LOCAL_MACHINE, u"Ident", u"Desc", u"Tessaly demo device");
    SetBytes(HKEY_LOCAL_MACHINE, u"Comm\\IrDA", u"Enabled", REG_DWORD, Dword(1));
}

}  // namespace

int SeedDemo(const Args& args) {
    if (!args.empty())
        return Fail("usage: devicectl seed-demo");
    int created = 0, records = 0;
    for (DemoDatabase& db : Databases()) {
        std::u16string name = ce::Utf8ToWide(db.name);
        if (Exists(name))
            continue;
        ce::CEOID oid =
            ce::CeCreateDatabase(name.c_str(), db.type, static_cast<WORD>(db.sorts.size()),
                                 db.sorts.empty() ? nullptr : db.sorts.data());
        if (oid == 0)
            return Fail("cannot create \"" + std::string(db.name) + "\": " + LastErrorText());
        ++created;
        if (db.records == 0)
            continue;
        ce::CEOID opened = oid;
        ce::UniqueHandle h(ce::CeOpenDatabase(&opened, nullptr, 0, 0, nullptr));
        if (!h)
            return Fail("cannot open \"" + std::string(db.name) + "\": " + LastErrorText());
        Dice dice(static_cast<unsigned>(oid % 7 + std::strlen(db.name)));
        for (int i = 0; i < db.records; ++i) {
            Record record;
            db.make(dice, i, record);
            std::vector<CEPROPVAL> values = record.Values();
            if (ce::CeWriteRecordProps(h.get(), 0, static_cast<WORD>(values.size()),
                                       values.data()) == 0) {
                return Fail("cannot write a record of \"" + std::string(db.name) +
                            "\": " + LastErrorText());
            }
            ++records;
        }
    }
    SeedRegistry();
    std::printf("demo device: %d databases created, %d records written\n", created, records);
    return 0;
}

}  // namespace devicectl
