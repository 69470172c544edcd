// devicectl reg: list, get, set and delete registry keys and values.

#include <cstdio>
#include <cstring>

#include "platform/core/ErrorCodes.h"
#include "platform/core/Text.h"
#include "platform/registry/Registry.h"
#include "platform/registry/UniqueKey.h"
#include "tools/devicectl/Commands.h"
#include "tools/devicectl/PropertyValues.h"

namespace devicectl {
namespace {

struct RootName {
    const char* shortName;
    const char* longName;
    ce::HKEY key;
};

const RootName kRoots[] = {
    {"HKCR", "HKEY_CLASSES_ROOT", ce::HKEY_CLASSES_ROOT},
    {"HKCU", "HKEY_CURRENT_USER", ce::HKEY_CURRENT_USER},
    {"HKLM", "HKEY_LOCAL_MACHINE", ce::HKEY_LOCAL_MACHINE},
};

const char* kUsage =
    "usage: devicectl reg list KEY | reg get KEY [NAME] | reg set KEY NAME TYPE VALUE |\n"
    "       reg delete KEY [NAME]   (KEY: HKCU\\Software\\..., TYPE: sz expand_sz multi_sz\n"
    "       dword binary; multi_sz values are separated by '|', binary is hex)";

// Splits "HKCU\Software\X" into its root and path.
bool ParseKey(const std::string& text, ce::HKEY& root, std::u16string& path) {
    std::string head = text.substr(0, text.find('\\'));
    for (const RootName& r : kRoots) {
        if (head == r.shortName || head == r.longName) {
            root = r.key;
            path = text.size() > head.size() ? ce::Utf8ToWide(text.substr(head.size() + 1))
                                             : std::u16string();
            return true;
        }
    }
    return false;
}

const char* TypeText(ce::DWORD type) {
    switch (type) {
        case ce::REG_SZ:
            return "sz";
        case ce::REG_EXPAND_SZ:
            return "expand_sz";
        case ce::REG_BINARY:
            return "binary";
        case ce::REG_DWORD:
            return "dword";
        case ce::REG_MULTI_SZ:
            return "multi_sz";
        case ce::REG_NONE:
            return "none";
        default:
            return "other";
    }
}

std::string ShowData(ce::DWORD type, const std::vector<ce::BYTE>& data) {
    auto wide = [&](std::size_t from) {
        std::u16string text;
        for (std::size_t i = from; i + 1 < data.size(); i += 2) {
            text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
        }
        return text;
    };
    switch (type) {
        case ce::REG_SZ:
        case ce::REG_EXPAND_SZ: {
            std::u16string text = wide(0);
            text = text.substr(0, text.find(u'\0'));
            return JsonString(ce::WideToUtf8(text));
        }
        case ce::REG_MULTI_SZ: {
            std::u16string text = wide(0);
            while (!text.empty() && text.back() == 0)
                text.pop_back();
            for (auto& c : text)
                c = c == 0 ? u'|' : c;
            return JsonString(ce::WideToUtf8(text));
        }
        case ce::REG_DWORD:
            if (data.size() == 4) {
                ce::DWORD v;
                std::memcpy(&v, data.data(), 4);
                return std::to_string(v);
            }
            [[fallthrough]];
        default:
            return Hex(data.data(), data.size());
    }
}

bool MakeData(const std::string& type, const std::string& value, ce::DWORD& regType,
              std::vector<ce::BYTE>& data) {
    auto putWide = [&](const std::u16string& text) {
        for (char16_t c : text) {
            data.push_back(static_cast<ce::BYTE>(c));
            data.push_back(static_cast<ce::BYTE>(c >> 8));
        }
        data.push_back(0);
        data.push_back(0);
    };
    if (type == "sz" || type == "expand_sz") {
        regType = type == "sz" ? ce::REG_SZ : ce::REG_EXPAND_SZ;
        putWide(ce::Utf8ToWide(value));
    } else if (type == "multi_sz") {
        regType = ce::REG_MULTI_SZ;
        std::size_t start = 0;
        while (start <= value.size()) {
            std::size_t bar = value.find('|', start);
            putWide(ce::Utf8ToWide(
                value.substr(start, bar == std::string::npos ? std::string::npos : bar - start)));
            if (bar == std::string::npos)
                break;
            start = bar + 1;
        }
        data.push_back(0);
        data.push_back(0);
    } else if (type == "dword") {
        long long v;
        if (!ParseNumber(value, v) || v < 0 || v > 0xFFFFFFFFLL)
            return false;
        regType = ce::REG_DWORD;
        auto d = static_cast<ce::DWORD>(v);
        data.resize(4);
        std::memcpy(data.data(), &d, 4);
    } else if (type == "binary") {
        regType = ce::REG_BINARY;
        return ParseHex(value, data);
    } else {
        return false;
    }
    return true;
}

// Opens a key; empty when it cannot be opened.
ce::UniqueKey OpenKey(ce::HKEY root, const std::u16string& path, ce::REGSAM access) {
    ce::HKEY key = 0;
    if (ce::RegOpenKeyExW(root, path.c_str(), 0, access, &key) != ce::ERROR_SUCCESS)
        return {};
    return ce::UniqueKey(key);
}

// Opens a key, creating it and its parents when needed; empty on failure.
ce::UniqueKey CreateKey(ce::HKEY root, const std::u16string& path) {
    ce::HKEY key = 0;
    ce::DWORD disposition;
    if (ce::RegCreateKeyExW(root, path.c_str(), 0, u"", 0, ce::KEY_ALL_ACCESS, nullptr, &key,
                            &disposition) != ce::ERROR_SUCCESS) {
        return {};
    }
    return ce::UniqueKey(key);
}

bool ReadValue(ce::HKEY key, ce::DWORD index, std::u16string& name, ce::DWORD& type,
               std::vector<ce::BYTE>& data) {
    ce::WCHAR nameBuffer[260];
    ce::DWORD nameLength = 260, dataSize = 0;
    if (ce::RegEnumValueW(key, index, nameBuffer, &nameLength, nullptr, &type, nullptr,
                          &dataSize) != ce::ERROR_SUCCESS) {
        return false;
    }
    data.assign(dataSize, 0);
    nameLength = 260;
    if (ce::RegEnumValueW(key, index, nameBuffer, &nameLength, nullptr, &type, data.data(),
                          &dataSize) != ce::ERROR_SUCCESS) {
        return false;
    }
    data.resize(dataSize);
    name.assign(nameBuffer, nameLength);
    return true;
}

int ListKey(ce::HKEY root, const std::u16string& path, const std::string& shown) {
    ce::UniqueKey key = OpenKey(root, path, ce::KEY_READ);
    if (!key)
        return Fail("no key " + shown);
    for (ce::DWORD i = 0;; ++i) {
        ce::WCHAR name[260];
        ce::DWORD length = 260;
        if (ce::RegEnumKeyExW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ce::ERROR_SUCCESS) {
            break;
        }
        std::printf("[%s]\n", ce::WideToUtf8(std::u16string_view(name, length)).c_str());
    }
    for (ce::DWORD i = 0;; ++i) {
        std::u16string name;
        ce::DWORD type;
        std::vector<ce::BYTE> data;
        if (!ReadValue(key.get(), i, name, type, data))
            break;
        std::printf("%s = %s:%s\n", name.empty() ? "(default)" : ce::WideToUtf8(name).c_str(),
                    TypeText(type), ShowData(type, data).c_str());
    }
    return 0;
}

}  // namespace

int Registry(const Args& args) {
    if (args.size() < 2)
        return Fail(kUsage);
    const std::string& verb = args[0];
    ce::HKEY root;
    std::u16string path;
    if (!ParseKey(args[1], root, path))
        return Fail("unknown registry root in \"" + args[1] + "\"");
    std::u16string name = args.size() > 2 ? ce::Utf8ToWide(args[2]) : u"";
    if (verb == "list" && args.size() == 2)
        return ListKey(root, path, args[1]);
    if (verb == "get" && args.size() <= 3) {
        ce::UniqueKey key = OpenKey(root, path, ce::KEY_READ);
        if (!key)
            return Fail("no key " + args[1]);
        ce::DWORD type = 0, size = 0;
        ce::LONG rc = ce::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size);
        std::vector<ce::BYTE> data(size);
        if (rc == ce::ERROR_SUCCESS) {
            rc = ce::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, data.data(), &size);
        }
        if (rc != ce::ERROR_SUCCESS)
            return Fail("no value \"" + (args.size() > 2 ? args[2] : "") + "\" in " + args[1]);
        data.resize(size);
        std::printf("%s:%s\n", TypeText(type), ShowData(type, data).c_str());
        return 0;
    }
    if (verb == "set" && args.size() == 5) {
        ce::DWORD type;
        std::vector<ce::BYTE> data;
        if (!MakeData(args[3], args[4], type, data))
            return Fail("bad type or value\n" + std::string(kUsage));
        ce::UniqueKey key = CreateKey(root, path);
        if (!key)
            return Fail("cannot create key " + args[1]);
        ce::LONG rc = ce::RegSetValueExW(key.get(), name.c_str(), 0, type, data.data(),
                                         static_cast<ce::DWORD>(data.size()));
        if (rc != ce::ERROR_SUCCESS)
            return Fail("cannot set the value (code " + std::to_string(rc) + ")");
        return 0;
    }
    if (verb == "delete" && args.size() <= 3) {
        if (args.size() == 2) {
            ce::LONG rc = ce::RegDeleteKeyW(root, path.c_str());
            return rc == ce::ERROR_SUCCESS ? 0 : Fail("cannot delete key " + args[1]);
        }
        ce::UniqueKey key = OpenKey(root, path, ce::KEY_ALL_ACCESS);
        if (!key)
            return Fail("no key " + args[1]);
        ce::LONG rc = ce::RegDeleteValueW(key.get(), name.c_str());
        return rc == ce::ERROR_SUCCESS ? 0 : Fail("no value \"" + args[2] + "\" in " + args[1]);
    }
    return Fail(kUsage);
}

}  // namespace devicectl
