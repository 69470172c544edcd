// The texts of export to text and of registry backup and restore.

#include "resources/Editions.h"
#include "resources/StringIds.h"

namespace res {
namespace {

const ce::StringResource kExportStrings[] = {
    {IDS_FILTER_CSV, u"CSV Files (*.csv)|*.csv||"},
    {IDS_FILTER_TXT, u"Text Files (*.txt)|*.txt||"},
    {IDS_CANT_EXPORT, u"Unable to export the database into a file."},
    {IDS_TAB_SEPARATED, u"Tab Separated Values"},
    {IDS_COMMA_SEPARATED, u"Comma Separated Values"},
    {IDS_SELECT_FILE_TYPE, u"Please select the file type."},

    {IDS_CANCEL_REGISTRY_BACKUP, u"Cancel registry backup; Are you sure?"},
    {IDS_REGISTRY_BACKUP_TITLE, u"Registry Backup"},
    {IDS_REG_CANT_WRITE_FILE, u"Unable to write to file, probably not enough storage space."},
    {IDS_REG_CANT_READ_REGISTRY, u"Unable to read registry database."},
    {IDS_REG_CANT_OPEN_FILE, u"Unable to open registry backup file \"%s\"."},
    {IDS_REG_FILE_CORRUPT, u"Unable to read from registry backup file. File may be corrupted."},
    {IDS_REG_CANT_STORE_KEY,
     u"Unable to store registry key. Error code: %s.\nWarning: If you abort, you may need to "
     u"hard-reset your device!"},
    {IDS_REG_ERROR_CODE, u"[0x%x (%d)]"},
    {IDS_REG_SOFT_RESET, u"You must soft reset your mobile device for changes to take effect."},
    {IDS_REG_CONFIRM_RESTORE,
     u"As a result of this operation registry database will be overwritten. Applications that "
     u"were installed after you made this backup may not run properly. Do you want to "
     u"continue?"},
    {IDS_FILTER_REGISTRY, u"Registry Backup Files (*.rbk)|*.rbk||"},
    {IDS_REG_HEADING, u"Backup Registry Database"},
    {IDS_REG_RESTORE_CAPTION, u"Restore Registry"},
    {IDS_HKEY_CLASSES_ROOT, u"HKEY_CLASSES_ROOT"},
    {IDS_HKEY_LOCAL_MACHINE, u"HKEY_LOCAL_MACHINE"},
    {IDS_HKEY_CURRENT_USER, u"HKEY_CURRENT_USER"},
    {IDS_REG_BACKUP_CAPTION, u"Backup Registry"},
};

}  // namespace

void AddExportStrings(ce::ResourceModule& module) {
    module.AddStrings(kExportStrings);
}

}  // namespace res
