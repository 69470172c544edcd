// devicectl's commands on databases and records.

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "platform/core/ErrorCodes.h"
#include "platform/core/LastError.h"
#include "platform/core/LocalMemory.h"
#include "platform/core/Text.h"
#include "platform/core/UniqueResource.h"
#include "platform/device/DeviceDirectory.h"
#include "platform/objectstore/ObjectStore.h"
#include "platform/shell/Shell.h"
#include "platform/time/Time.h"
#include "tools/devicectl/Commands.h"
#include "tools/devicectl/PropertyValues.h"

namespace devicectl {
namespace {

using ce::CEOID;

// The longest database name the store keeps, in UTF-16 units.
constexpr std::size_t kLongestName = ce::CEDB_MAXDBASENAMELEN - 1;
// The longest hold (a day): long enough for any test, short of overflowing
// the clock.
constexpr long long kLongestHold = 86400;

struct DatabaseRow {
    CEOID oid;
    ce::CEDBASEINFO info;
    // Why the database cannot be described at all; empty when it can.
    std::string unreadable;
};

std::vector<DatabaseRow> AllDatabases() {
    std::vector<DatabaseRow> rows;
    ce::UniqueHandle find(ce::CeFindFirstDatabase(0));
    if (!find)
        return rows;
    while (CEOID oid = ce::CeFindNextDatabase(find.get())) {
        ce::CEOIDINFO info{};
        if (!ce::CeOidGetInfo(oid, &info))
            rows.push_back({oid, {}, LastErrorText()});
        else if (info.wObjType == ce::OBJTYPE_DATABASE)
            rows.push_back({oid, info.infDatabase, {}});
    }
    return rows;
}

// A database whose stored sort orders cannot be read is described without
// them.
bool SortOrdersDamaged(const ce::CEDBASEINFO& info) {
    return (info.dwFlags & ce::CEDB_VALIDSORTSPEC) == 0;
}

// Whether `record` is one of the records of database `db`.
bool IsRecordOf(CEOID record, CEOID db) {
    ce::CEOIDINFO info{};
    return ce::CeOidGetInfo(record, &info) && info.wObjType == ce::OBJTYPE_RECORD &&
           info.infRecord.oidParent == db;
}

// The failure of a write or deletion of `record`, naming a missing record as
// such rather than as the platform's bad parameter.
int RecordFailure(const std::string& what, const std::string& record, CEOID oid, CEOID db,
                  const std::string& database) {
    ce::DWORD error = ce::GetLastError();
    if (error == ce::ERROR_INVALID_PARAMETER && !IsRecordOf(oid, db))
        return Fail("no record " + record + " in \"" + database + "\"");
    return Fail(what + ": " + ErrorText(error));
}

std::string Name(const ce::CEDBASEINFO& info) {
    return ce::WideToUtf8(ce::WideView(info.szDbaseName, ce::CEDB_MAXDBASENAMELEN));
}

std::string SortText(const ce::SORTORDERSPEC& s) {
    char buffer[128];
    const char* type = TypeName(ce::TypeFromPropID(s.propid));
    std::snprintf(buffer, sizeof buffer, "0x%08X (%s %u)%s%s%s", s.propid, *type ? type : "?",
                  ce::HIWORD(s.propid), (s.dwFlags & ce::CEDB_SORT_DESCENDING) ? " descending" : "",
                  (s.dwFlags & ce::CEDB_SORT_CASEINSENSITIVE) ? " case-insensitive" : "",
                  (s.dwFlags & ce::CEDB_SORT_UNKNOWNFIRST) ? " unknown-first" : "");
    return buffer;
}

std::string LocalDateText(const ce::FILETIME& ft) {
    ce::FILETIME local;
    ce::SYSTEMTIME st{};
    ce::FileTimeToLocalFileTime(&ft, &local);
    ce::FileTimeToSystemTime(&local, &st);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04u-%02u-%02u %02u:%02u:%02u", st.wYear, st.wMonth,
                  st.wDay, st.wHour, st.wMinute, st.wSecond);
    return buffer;
}

// Opens a database by name; on failure reports and returns an empty owner.
ce::UniqueHandle OpenByName(const std::string& name, CEOID& oid) {
    oid = 0;
    std::u16string wide = ce::Utf8ToWide(name);
    ce::UniqueHandle h(ce::CeOpenDatabase(&oid, wide.c_str(), 0, 0, nullptr));
    if (!h)
        Fail("cannot open database \"" + name + "\": " + LastErrorText());
    return h;
}

bool ParseSort(const std::string& text, ce::SORTORDERSPEC& spec, std::string& error) {
    std::size_t colon = text.find(':');
    long long propid, flags = 0;
    if (!ParseNumber(text.substr(0, colon), propid) || propid <= 0 || propid > 0xFFFFFFFFLL) {
        error = "sort property \"" + text.substr(0, colon) + "\" is not a property identifier";
        return false;
    }
    if (colon != std::string::npos) {
        std::string f = text.substr(colon + 1);
        if (!ParseNumber(f, flags)) {
            flags = 0;
            std::size_t start = 0;
            while (start <= f.size()) {
                std::size_t comma = f.find(',', start);
                std::string word =
                    f.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
                if (word == "desc" || word == "descending")
                    flags |= ce::CEDB_SORT_DESCENDING;
                else if (word == "nocase" || word == "case-insensitive")
                    flags |= ce::CEDB_SORT_CASEINSENSITIVE;
                else if (word == "unknownfirst" || word == "unknown-first")
                    flags |= ce::CEDB_SORT_UNKNOWNFIRST;
                else {
                    error = "unknown sort flag \"" + word + "\" (use desc, nocase, unknownfirst)";
                    return false;
                }
                if (comma == std::string::npos)
                    break;
                start = comma + 1;
            }
        }
    }
    spec.propid = static_cast<ce::CEPROPID>(propid);
    spec.dwFlags = static_cast<ce::DWORD>(flags);
    return true;
}

bool ParseRecordId(const std::string& text, CEOID& oid) {
    long long v;
    if (!ParseNumber(text, v) || v <= 0 || v > 0xFFFFFFFFLL)
        return false;
    oid = static_cast<CEOID>(v);
    return true;
}

// Parses properties; they stay valid while `parsed` lives.
bool ParseProperties(const Args& args, std::size_t from, std::vector<ParsedProperty>& parsed,
                     std::vector<ce::CEPROPVAL>& values) {
    parsed.resize(args.size() - from);
    for (std::size_t i = from; i < args.size(); ++i) {
        std::string error;
        if (!ParseProperty(args[i], parsed[i - from], error)) {
            Fail(error);
            return false;
        }
    }
    for (auto& p : parsed) {
        p.Bind();
        values.push_back(p.value);
    }
    return true;
}

int WriteRecord(const Args& args, bool existing) {
    std::size_t first = existing ? 2 : 1;
    if (args.size() < first + 1)
        return Usage(existing ? "set" : "add");
    CEOID record = 0;
    if (existing && !ParseRecordId(args[1], record)) {
        return Fail("record \"" + args[1] + "\" is not a record identifier");
    }
    std::vector<ParsedProperty> parsed;
    std::vector<ce::CEPROPVAL> values;
    if (!ParseProperties(args, first, parsed, values))
        return 1;
    CEOID db;
    ce::UniqueHandle h = OpenByName(args[0], db);
    if (!h)
        return 1;
    CEOID written = ce::CeWriteRecordProps(h.get(), record, static_cast<ce::WORD>(values.size()),
                                           values.data());
    if (written == 0 && existing)
        return RecordFailure("cannot write the record", args[1], record, db, args[0]);
    if (written == 0)
        return Fail("cannot write the record: " + LastErrorText());
    std::printf("%u\n", written);
    return 0;
}

}  // namespace

int Info(const Args& args) {
    if (!args.empty())
        return Usage("info");
    std::vector<DatabaseRow> rows = AllDatabases();
    unsigned long long records = 0, bytes = 0;
    for (const auto& r : rows) {
        records += r.info.wNumRecords;
        bytes += r.info.dwSize;
    }
    std::printf("device:     %s\n", ce::device::DeviceDirectory().c_str());
    std::printf("volume:     %s\n", ce::device::VolumePath().c_str());
    std::printf("files:      %s\n", (ce::device::DeviceDirectory() / "files").c_str());
    std::printf("databases:  %zu\n", rows.size());
    std::printf("records:    %llu\n", records);
    std::printf("data:       %llu bytes\n", bytes);
    ce::StoreSpace store;
    if (ce::GetStoreSpace(&store)) {
        std::printf("store size: %llu KB\nfree:       %llu KB\n",
                    static_cast<unsigned long long>(store.storeSize / 1024),
                    static_cast<unsigned long long>(store.freeSize / 1024));
    }
    return 0;
}

namespace {

std::string SortOrdersText(const ce::CEDBASEINFO& info) {
    if (SortOrdersDamaged(info))
        return "damaged (cannot be read)";
    std::string sorts;
    for (ce::DWORD i = 0; i < info.wNumSortOrder && i < ce::CEDB_MAXSORTORDER; ++i) {
        if (!sorts.empty())
            sorts += "; ";
        sorts += SortText(info.rgSortSpecs[i]);
    }
    return sorts;
}

std::string SortOrdersJson(const ce::CEDBASEINFO& info) {
    std::string json = "[";
    for (ce::DWORD i = 0; i < info.wNumSortOrder && i < ce::CEDB_MAXSORTORDER; ++i) {
        json += std::string(i ? "," : "") +
                "{\"propid\":" + std::to_string(info.rgSortSpecs[i].propid) +
                ",\"flags\":" + std::to_string(info.rgSortSpecs[i].dwFlags) + "}";
    }
    return json + "]";
}

void PrintListRow(const DatabaseRow& r) {
    if (!r.unreadable.empty()) {
        std::printf("0x%08X  (damaged: %s)\n", r.oid, r.unreadable.c_str());
        return;
    }
    std::printf("0x%08X  %-31s  %10u  %7u  %9u  %-19s  %s\n", r.oid, Name(r.info).c_str(),
                r.info.dwDbaseType, r.info.wNumRecords, r.info.dwSize,
                LocalDateText(r.info.ftLastModified).c_str(), SortOrdersText(r.info).c_str());
}

// One object per database, with the fields of the table; dates are FILETIME
// counts, as dump --json gives them.
std::string ListRowJson(const DatabaseRow& r) {
    std::string json = "{\"oid\":" + std::to_string(r.oid);
    if (!r.unreadable.empty())
        return json + ",\"damaged\":true,\"problem\":" + JsonString(r.unreadable) + "}";
    const ce::CEDBASEINFO& info = r.info;
    return json + ",\"name\":" + JsonString(Name(info)) +
           ",\"type\":" + std::to_string(info.dwDbaseType) +
           ",\"records\":" + std::to_string(info.wNumRecords) +
           ",\"bytes\":" + std::to_string(info.dwSize) +
           ",\"modified\":" + std::to_string(ce::FileTimeToU64(info.ftLastModified)) +
           ",\"sort_orders\":" + SortOrdersJson(info) +
           ",\"damaged\":" + (SortOrdersDamaged(info) ? "true" : "false") + "}";
}

}  // namespace

int List(const Args& args) {
    bool json = false;
    for (const std::string& a : args) {
        if (a != "--json")
            return Usage("list");
        json = true;
    }
    std::vector<DatabaseRow> rows = AllDatabases();
    if (json) {
        std::printf("[");
        for (std::size_t i = 0; i < rows.size(); ++i)
            std::printf("%s\n%s", i ? "," : "", ListRowJson(rows[i]).c_str());
        std::printf("%s]\n", rows.empty() ? "" : "\n");
        return 0;
    }
    std::printf("%-10s  %-31s  %10s  %7s  %9s  %-19s  %s\n", "OID", "NAME", "TYPE", "RECORDS",
                "BYTES", "MODIFIED", "SORT ORDERS");
    for (const auto& r : rows)
        PrintListRow(r);
    return 0;
}

int Create(const Args& args) {
    long long type = 0;
    std::vector<ce::SORTORDERSPEC> sorts;
    std::string name;
    bool named = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--type" && i + 1 < args.size()) {
            if (!ParseNumber(args[++i], type) || type < 0 || type > 0xFFFFFFFFLL) {
                return Fail("type \"" + args[i] + "\" is not a 32-bit number");
            }
        } else if (args[i] == "--sort" && i + 1 < args.size()) {
            ce::SORTORDERSPEC spec;
            std::string error;
            if (!ParseSort(args[++i], spec, error))
                return Fail(error);
            sorts.push_back(spec);
        } else if (!named) {
            name = args[i];
            named = true;
        } else {
            return Fail("unexpected argument \"" + args[i] + "\"");
        }
    }
    if (!named)
        return Usage("create");
    std::u16string wide = ce::Utf8ToWide(name);
    if (wide.empty())
        return Fail("a database name cannot be empty");
    // The store would cut a longer name; say so instead.
    if (wide.size() > kLongestName) {
        return Fail("the name \"" + name + "\" does not fit: it takes " +
                    std::to_string(wide.size()) + " UTF-16 units, a database name at most " +
                    std::to_string(kLongestName));
    }
    CEOID oid = ce::CeCreateDatabase(wide.c_str(), static_cast<ce::DWORD>(type),
                                     static_cast<ce::WORD>(sorts.size()),
                                     sorts.empty() ? nullptr : sorts.data());
    if (oid == 0)
        return Fail("cannot create \"" + name + "\": " + LastErrorText());
    std::printf("%u\n", oid);
    return 0;
}

int Delete(const Args& args) {
    if (args.size() != 1)
        return Usage("delete");
    CEOID oid;
    ce::UniqueHandle h = OpenByName(args[0], oid);
    if (!h)
        return 1;
    h.reset();  // a database open through any handle cannot be deleted
    if (!ce::CeDeleteDatabase(oid))
        return Fail("cannot delete \"" + args[0] + "\": " + LastErrorText());
    return 0;
}

int Dump(const Args& args) {
    bool json = false;
    std::string name;
    for (const auto& a : args) {
        if (a == "--json")
            json = true;
        else if (name.empty())
            name = a;
        else
            return Usage("dump");
    }
    if (name.empty())
        return Usage("dump");
    CEOID oid;
    ce::UniqueHandle h = OpenByName(name, oid);
    if (!h)
        return 1;
    ce::CEOIDINFO object;
    if (!ce::CeOidGetInfo(oid, &object)) {
        return Fail("cannot read the information of \"" + name + "\": " + LastErrorText());
    }
    const ce::CEDBASEINFO& info = object.infDatabase;
    if (json) {
        std::printf("{\"name\":%s,\"type\":%u,\"sort_orders\":%s,\"records\":[",
                    JsonString(Name(info)).c_str(), info.dwDbaseType, SortOrdersJson(info).c_str());
    } else {
        std::printf("Database \"%s\" (oid 0x%08X, type %u, %u records, %u bytes, modified %s)\n",
                    Name(info).c_str(), oid, info.dwDbaseType, info.wNumRecords, info.dwSize,
                    LocalDateText(info.ftLastModified).c_str());
        if (SortOrdersDamaged(info))
            std::printf("  sort orders: %s\n", SortOrdersText(info).c_str());
        for (ce::DWORD i = 0; i < info.wNumSortOrder && i < ce::CEDB_MAXSORTORDER; ++i) {
            std::printf("  sort order %u: %s\n", i + 1, SortText(info.rgSortSpecs[i]).c_str());
        }
    }
    ce::BYTE* buffer = nullptr;
    ce::DWORD size = 0;
    ce::DWORD index;
    int n = 0;
    std::vector<CEOID> damaged;
    for (CEOID record = ce::CeSeekDatabase(h.get(), ce::CEDB_SEEK_BEGINNING, 0, &index);
         record != 0; record = ce::CeSeekDatabase(h.get(), ce::CEDB_SEEK_CURRENT, 1, &index)) {
        ce::WORD count = 0;
        if (ce::CeReadRecordProps(h.get(), ce::CEDB_ALLOWREALLOC, &count, nullptr, &buffer,
                                  &size) == 0) {
            // A record deleted meanwhile is simply gone; a damaged one is
            // skipped and counted.
            if (ce::GetLastError() == ce::ERROR_BADDB)
                damaged.push_back(record);
            continue;
        }
        const auto* props = reinterpret_cast<const ce::CEPROPVAL*>(buffer);
        if (json) {
            std::printf("%s{\"oid\":%u,\"props\":[", n ? "," : "", record);
            for (ce::WORD i = 0; i < count; ++i) {
                const char* type = TypeName(ce::TypeFromPropID(props[i].propid));
                std::string typeName =
                    *type ? type
                          : "UNKNOWN(" + std::to_string(ce::TypeFromPropID(props[i].propid)) + ")";
                std::printf("%s{\"id\":%u,\"type\":%s,\"value\":%s}", i ? "," : "",
                            ce::HIWORD(props[i].propid), JsonString(typeName).c_str(),
                            JsonValue(props[i]).c_str());
            }
            std::printf("]}");
        } else {
            std::printf("record %d (oid %u), %u properties\n", n + 1, record, count);
            for (ce::WORD i = 0; i < count; ++i) {
                const char* type = TypeName(ce::TypeFromPropID(props[i].propid));
                std::printf("  %5u %-7s %s\n", ce::HIWORD(props[i].propid), *type ? type : "?",
                            ShowValue(props[i]).c_str());
            }
        }
        ++n;
    }
    ce::LocalFree(buffer);
    std::string oids;
    for (CEOID d : damaged) {
        if (!oids.empty())
            oids += ',';
        oids += std::to_string(d);
    }
    if (json)
        std::printf("],\"damaged\":[%s]}\n", oids.c_str());
    if (damaged.empty())
        return 0;
    std::fflush(stdout);
    return Fail(std::to_string(damaged.size()) + " damaged record" +
                (damaged.size() == 1 ? "" : "s") + " skipped (oid " + oids +
                "): " + ErrorText(ce::ERROR_BADDB));
}

int Add(const Args& args) {
    return WriteRecord(args, false);
}
int Set(const Args& args) {
    return WriteRecord(args, true);
}

int DeleteRecord(const Args& args) {
    CEOID record;
    if (args.size() != 2)
        return Usage("del-record");
    if (!ParseRecordId(args[1], record))
        return Fail("record \"" + args[1] + "\" is not a record identifier");
    CEOID db;
    ce::UniqueHandle h = OpenByName(args[0], db);
    if (!h)
        return 1;
    if (!ce::CeDeleteRecord(h.get(), record))
        return RecordFailure("cannot delete record " + args[1], args[1], record, db, args[0]);
    return 0;
}

int Hold(const Args& args) {
    long long seconds;
    if (args.size() != 2)
        return Usage("hold");
    if (!ParseNumber(args[1], seconds) || seconds < 0 || seconds > kLongestHold)
        return Fail("seconds \"" + args[1] + "\" is not a number from 0 to 86400");
    CEOID oid;
    ce::UniqueHandle h = OpenByName(args[0], oid);
    if (!h)
        return 1;
    std::printf("holding \"%s\" for %lld seconds\n", args[0].c_str(), seconds);
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    return 0;
}

}  // namespace devicectl
