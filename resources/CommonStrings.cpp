// The string table shared by both editions.

#include "resources/Editions.h"
#include "resources/StringIds.h"

namespace res {
namespace {

const ce::StringResource kCommonStrings[] = {
    {IDS_PRODUCT, u"Tessaly"},
    {IDS_INIT_FAILED, u"Couldn't initialize application."},
    {IDS_AVAILABLE_MEMORY, u"Available Memory: %ldKB"},
    {IDS_FREE_MEMORY, u"Free Memory: %ldKB"},
    {IDS_COLUMN_NAME, u"Name"},
    {IDS_COLUMN_SIZE, u"Size"},
    {IDS_COLUMN_MODIFIED, u"Modified"},
    {IDS_TYPE_DATABASE, u"Database"},

    {IDS_ERR_NOT_ENOUGH_STORAGE, u"Not enough storage is available to process this command"},
    {IDS_ERR_FILE_NOT_FOUND, u"The system cannot find the file specified"},
    {IDS_ERR_DUP_NAME, u"A duplicate name exists on the network"},
    {IDS_ERR_INVALID_PARAMETER, u"The parameter is incorrect"},
    {IDS_ERR_DISK_FULL, u"There is not enough space on the disk"},
    {IDS_ERR_SHARING_VIOLATION,
     u"The process cannot access the file because it is being used by another process"},
    {IDS_ERR_NO_DATA, u"The pipe is being closed"},
    {IDS_ERR_INSUFFICIENT_BUFFER, u"The data area passed to a system call is too small"},
    {IDS_ERR_KEY_DELETED,
     u" Illegal operation attempted on a Registry key which has been marked for deletion"},
    {IDS_ERR_NO_MORE_ITEMS, u"No more data is available"},
    {IDS_ERR_UNKNOWN, u"Unknown error"},

    {IDS_CANT_CREATE_DB, u"Couldn't create \"%s\" database: %s"},
    {IDS_CANT_OPEN_DB, u"Couldn't open \"%s\" database: %s"},
    {IDS_CANT_DELETE_DB, u"Couldn't delete \"%s\" database: %s"},
    {IDS_CANT_CLOSE_DB, u"Couldn't close \"%s\" database: %s"},
    {IDS_CANT_FIND_RECORD, u"Couldn't find record in \"%s\" database: %s"},
    {IDS_CANT_READ_RECORD, u"Couldn't read record in \"%s\" database: %s"},
    {IDS_CANT_WRITE_RECORD, u"Couldn't create a new record in \"%s\" database: %s"},
    {IDS_CANT_UPDATE_DB, u"Couldn't update parameters of '%s' database: %s"},
    {IDS_CANT_DELETE_PROPERTY, u"Unable to delete property: %s"},
    {IDS_CANT_DELETE_RECORD, u"Unable to delete the current record: %s"},

    {IDS_CONFIRM_EMPTY,
     u"You are about to empty '%s' database!\nThis operation can not be undone. If you choose "
     u"to continue all data in this database will be lost permanently. We recommend that you "
     u"make a complete backup before emptying the database.\nDo you still want to empty the "
     u"database?"},
    {IDS_CONFIRM_DELETE,
     u"You are about to delete '%s' database!\nThis operation can not be undone. If you choose "
     u"to continue all data in this database will be lost permanently. We recommend that you "
     u"make a complete backup before deleting the database.\nDo you still want to delete the "
     u"database?"},
    {IDS_NAME_EXISTS, u"Database '%s' already exists! Please choose another name."},
    {IDS_RENAME_CAPTION, u"Rename Database"},

    {IDS_FILTER_BACKUP, u"Backup Files (*.bkp)|*.bkp||"},
    {IDS_CANT_WRITE_FILE, u"Unable to write the file. Possibly not enough storage space."},
    {IDS_CANT_CREATE_BACKUP, u"Couldn't create a new backup file \"%s\"."},
    {IDS_CANT_READ_FILE, u"Unable to read from file. File may be corrupted."},
    {IDS_CATALOGUE_NAME, u"Name"},
    {IDS_CATALOGUE_SIZE, u"Size"},
    {IDS_DATABASE_EXISTS, u"Database \"%s\" already exists."},
    {IDS_RESTORE_CORRUPT,
     u"Unable to restore \"%s\" database from the archive. Archive file may be corrupted."},
    {IDS_RESTORE_NO_MEMORY, u"Unable to restore \"%s\" database. Not enough memory."},
    {IDS_COMPRESSED_NO_MEMORY,
     u"The file you're trying to restore is compressed. There is not enough memory to "
     u"uncompress the data."},
    {IDS_INFO_COMPRESSED, u"Compressed; Size %d.%02d KB; Stored %s %s; Records %d"},
    {IDS_INFO_NOT_COMPRESSED, u"Not compressed; Size %d.%02d KB; Stored %s %s; Records %d"},
    {IDS_CANT_CREATE_SCRIPT,
     u"Unable to create Autobackup script, however backup file will be created."},
    {IDS_SCRIPT_MISSING,
     u"Autobackup script file doesn't exist or corrupted. Please use backup command to create "
     u"a new Autobackup script."},
    {IDS_BACKUP_COMPLETE, u"Backup is complete. Backup file \"%s\" has been successfully created."},
    {IDS_FILE_EXISTS, u"File \"%s\" already exists; overwrite?"},
    {IDS_FILTER_SCRIPT, u"Autobackup (*.abk)|*.abk||"},
    {IDS_INVALID_COMMAND_LINE, u"Invalid command line parameters."},
    {IDS_DATABASE_IN_USE,
     u"Database \"%s\" is in use by another application. You may need to soft-reset your "
     u"mobile device after restoring this database. Do you want to restore now?"},
    {IDS_PASSWORD_NOT_CONFIRMED, u"The new password was not correctly confirmed!"},
    {IDS_PASSWORD_INCORRECT, u"The password is incorrect!"},
    {IDS_PASSWORD_TOO_SHORT, u"Password must be minimum 4 characters long."},

    {IDS_CONFIRM_ADD_RECORD,
     u"The selected database is empty. Do you want to add a new record?"},

    {IDS_RESTORE_TITLE, u"Restore Databases"},
    {IDS_STORING_RECORD, u"Storing Database \"%s\"\nRecord %d of %d"},
    {IDS_BACKUP_TITLE, u"Backup Databases"},
    {IDS_ABORT_BACKUP, u"Abort database backup; Are you sure?"},
    {IDS_ABORT_RESTORE, u"Abort database restore; Are you sure?"},
    {IDS_RESTORING_RECORD, u"Restoring Database \"%s\"\nRecord %d of %d"},

    {IDS_TIP_DELETE, u"Delete"},
    {IDS_TIP_PROPERTIES, u"Properties"},
    {IDS_TIP_BACKUP, u"Backup"},
    {IDS_TIP_RESTORE, u"Restore"},
    {IDS_TIP_AUTOBACKUP, u"Autobackup"},
    {IDS_MENU_TOOLS, u"Tools"},
    {IDS_MENU_EDIT, u"Edit"},
    {IDS_MENU_VIEW, u"View"},

    {IDS_NOT_AVAILABLE_YET, u"This command is not available yet."},
    {IDS_COMMAND_LINE_USAGE,
     u"usage: %s [/B archive.bkp | /A script.abk | /R archive.bkp] [/D] [/I] [/P] [/S]"},
};

}  // namespace

void AddCommonStrings(ce::ResourceModule& module) {
    module.AddStrings(kCommonStrings);
}

}  // namespace res
