#pragma once
// Sending one database over the infrared link, and receiving one. Each role
// runs until the exchange has ended, pumping the thread's messages between
// network steps so that its transfer window stays alive, and reports each
// failure itself. Unless a role ended before its window existed (NotStarted),
// the caller refreshes its list of databases.

#include <functional>

#include "platform/core/Types.h"
#include "platform/gui/WinTypes.h"
#include "store/Database.h"

namespace transfer {

using ce::HWND;
using ce::WCHAR;

enum class Outcome {
    NotStarted,  // the database could not be sent, or no window could be made
    Failed,      // failed or cancelled, on either side
    NoPeer,      // no other device was found within the search limit
    Completed,
};

// How long each role looks for the other device; 0 (the default) without
// limit, as the windows do.
struct SearchLimit {
    int milliseconds = 0;
};

Outcome SendDatabase(HWND owner, const WCHAR* name, SearchLimit limit = {});

// What the receiver asks when the database already exists on this device.
enum class ExistsAnswer { Rename, Overwrite, Cancel };
struct ReceiveQuestions {
    std::function<ExistsAnswer(const WCHAR* name, HWND owner)> askExists;
    // A new name that no database has; false when the user gave none.
    std::function<bool(const WCHAR* name, WCHAR (&target)[store::kDatabaseNameUnits], HWND owner)>
        askNewName;
};

Outcome ReceiveDatabase(HWND owner, const ReceiveQuestions& questions, SearchLimit limit = {});

}  // namespace transfer
