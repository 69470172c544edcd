// Strings of the keyboard edition that differ from the common ones.

#include "resources/Editions.h"
#include "resources/StringIds.h"

namespace res {
namespace {

const ce::StringResource kKeyboardStrings[] = {
    {IDS_TYPE_SYSTEM, u"System"},
    {IDS_COLUMN_DATABASE_TYPE, u"Type"},
};

// The keyboard edition's own wording of texts both editions show.
const ce::StringResource kKeyboardWordings[] = {
    {IDS_CANT_CREATE_SCRIPT,
     u"Unable to create Autobackup script file \"%s\", however backup file will be created."},
    {IDS_SCRIPT_MISSING,
     u"Autobackup script file \"%s\" is corrupted or  doesn't exist. Use the Backup command to "
     u"create a new Autobackup script."},
};

}  // namespace

void AddKeyboardStrings(ce::ResourceModule& module) {
    module.AddStrings(kKeyboardStrings);
    module.ReplaceStrings(kKeyboardWordings);
}

}  // namespace res
