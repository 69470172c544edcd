// A second process for the object store's multi-process tests. It works on
// the device named by $TESSALY_DEVICE and reports on standard output, one
// line per event, flushed at once.
//
//   hold NAME SECONDS      open the database, print "open", wait, close
//   write NAME COUNT       create COUNT records, printing each id once written
//   churn NAME             create, change and delete one record ("record ID")
//   create NAME / delete NAME
//   regset KEY VALUE TEXT  set a REG_SZ value under HKEY_CURRENT_USER
//   regget KEY VALUE       print a REG_SZ value

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/core/ErrorCodes.h"
#include "platform/core/Handles.h"
#include "platform/core/LastError.h"
#include "platform/core/Text.h"
#include "platform/device/Volume.h"
#include "platform/objectstore/ObjectStore.h"
#include "platform/registry/Registry.h"

namespace {

using namespace ce;

constexpr CEPROPID kNumber = MakePropID(2, CEVT_I4);
constexpr CEPROPID kName = MakePropID(1, CEVT_LPWSTR);

int Fail(const char* what) {
    std::printf("error %s %u\n", what, GetLastError());
    std::fflush(stdout);
    return 1;
}

void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

HANDLE OpenByName(const std::u16string& name) {
    CEOID oid = 0;
    return CeOpenDatabase(&oid, name.c_str(), 0, 0, nullptr);
}

int Hold(const std::u16string& name, int seconds) {
    HANDLE h = OpenByName(name);
    if (h == INVALID_HANDLE_VALUE)
        return Fail("open");
    Say("open");
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    CloseHandle(h);
    Say("closed");
    return 0;
}

int Write(const std::u16string& name, long count) {
    HANDLE h = OpenByName(name);
    if (h == INVALID_HANDLE_VALUE)
        return Fail("open");
    std::u16string text = u"a record of about two hundred bytes, written by the peer process";
    for (long i = 0; i < count; ++i) {
        CEPROPVAL props[2]{};
        props[0].propid = kNumber;
        props[0].val.lVal = static_cast<LONG>(i);
        props[1].propid = kName;
        props[1].val.lpwstr = text.data();
        CEOID oid = CeWriteRecordProps(h, 0, 2, props);
        if (oid == 0)
            return Fail("write");
        Say(std::to_string(oid));
    }
    CloseHandle(h);
    Say("done");
    return 0;
}

int Churn(const std::u16string& name) {
    HANDLE h = OpenByName(name);
    if (h == INVALID_HANDLE_VALUE)
        return Fail("open");
    CEPROPVAL prop{};
    prop.propid = kNumber;
    prop.val.lVal = 1;
    CEOID oid = CeWriteRecordProps(h, 0, 1, &prop);
    if (oid == 0)
        return Fail("create");
    prop.val.lVal = 2;
    if (CeWriteRecordProps(h, oid, 1, &prop) != oid)
        return Fail("change");
    if (!CeDeleteRecord(h, oid))
        return Fail("delete");
    CloseHandle(h);
    Say("record " + std::to_string(oid));
    return 0;
}

int RegSet(const std::u16string& key, const std::u16string& value, const std::u16string& text) {
    HKEY h = 0;
    LONG rc = RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, u"", 0, KEY_ALL_ACCESS, nullptr,
                              &h, nullptr);
    if (rc != ERROR_SUCCESS)
        return Fail("create key");
    rc = RegSetValueExW(h, value.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR)));
    RegCloseKey(h);
    if (rc != ERROR_SUCCESS)
        return Fail("set value");
    Say("set");
    return 0;
}

int RegGet(const std::u16string& key, const std::u16string& value) {
    HKEY h = 0;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) {
        return Fail("open key");
    }
    WCHAR text[256] = {};
    DWORD size = sizeof text - sizeof(WCHAR);
    DWORD type = 0;
    LONG rc =
        RegQueryValueExW(h, value.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(h);
    if (rc != ERROR_SUCCESS)
        return Fail("query value");
    Say(WideToUtf8(text));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: objectstore_peer COMMAND ARGS...\n");
        return 2;
    }
    std::string error;
    if (!ce::device::CheckVolume(&error)) {
        std::fprintf(stderr, "objectstore_peer: %s\n", error.c_str());
        return 1;
    }
    std::string command = argv[1];
    auto arg = [&](int i) { return i < argc ? Utf8ToWide(argv[i]) : std::u16string(); };
    auto number = [&](int i) { return i < argc ? std::atol(argv[i]) : 0L; };
    if (command == "hold")
        return Hold(arg(2), static_cast<int>(number(3)));
    if (command == "write")
        return Write(arg(2), number(3));
    if (command == "churn")
        return Churn(arg(2));
    if (command == "create") {
        return CeCreateDatabase(arg(2).c_str(), 0, 0, nullptr) != 0 ? 0 : Fail("create");
    }
    if (command == "delete") {
        CEOID oid = 0;
        HANDLE h = CeOpenDatabase(&oid, arg(2).c_str(), 0, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return Fail("open");
        CloseHandle(h);
        return CeDeleteDatabase(oid) ? 0 : Fail("delete");
    }
    if (command == "regset")
        return RegSet(arg(2), arg(3), arg(4));
    if (command == "regget")
        return RegGet(arg(2), arg(3));
    std::fprintf(stderr, "objectstore_peer: unknown command %s\n", command.c_str());
    return 2;
}
