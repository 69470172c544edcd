// The record editor's strings: its window, saving and deleting, the
// clipboard, Find and the Add Property wizard.

#include "resources/Editions.h"
#include "resources/EditorIds.h"

namespace res {
namespace {

const ce::StringResource kEditorStrings[] = {
    {IDS_EDITOR_TITLE, u"Database: \""},
    {IDS_BINARY_DATA, u"<Binary Data>"},
    {IDS_RECORD_COUNTER, u"Record\n%u of %u"},
    {IDS_CONFIRM_CHANGE,
     u"The property data has changed. Do you what to overwrite it?\n\nWARNING: changing a "
     u"property of a system database may cause your device to stop functioning property and "
     u"require a hard reset!"},
    {IDS_INFO_INT, u"This property supports a signed integer value between -32,768 and 32,767."},
    {IDS_INFO_UINT, u"This property supports a unsigned integer value between 0 and 65,535."},
    {IDS_INFO_LONG,
     u"This property supports a signed integer value between -2, 147,483,648 and "
     u"2,147,483,647."},
    {IDS_INFO_ULONG,
     u"This property supports a unsigned integer value between 0 and 4,294,967,295."},
    {IDS_INFO_FLOAT, u"This property supports 64-bit floating values."},
    {IDS_CANT_SAVE_PROPERTY, u"Unable to save property: %s\nThe database was not changed."},
    {IDS_BAD_INT,
     u"Property data is incorrect: enter an integer number between -32768 and 32767.\nThe "
     u"database was not changed."},
    {IDS_BAD_UINT,
     u"Property data is incorrect: enter a positive integer number between 0 and 65535.\nThe "
     u"database was not changed."},
    {IDS_CONFIRM_DELETE_PROPERTY,
     u"Do you want to delete the selected property?\n\nWARNING: deleting a property from a "
     u"system database may cause your device to stop functioning property and require a hard "
     u"reset!"},
    {IDS_CONFIRM_DELETE_RECORD,
     u"Do you want to delete the current record?\n\nWARNING: deleting a record from a system "
     u"database may cause your device to stop functioning property and require a hard reset!"},
    {IDS_LAST_RECORD_DELETED,
     u"You have deleted the last record in the database. The database viewer will be closed."},
    {IDS_BAD_PROPERTY_ID,
     u"The property ID must be a positive integer value between 0 and 65,535."},
    {IDS_PROPERTY_ID_IN_USE, u"The property ID %s is already in use, please choose another value."},
    {IDS_SELECT_PROPERTY_TYPE, u"Please select property type."},
    {IDS_TEXT_NOT_FOUND, u"Unable to find any records containing text \"%s\"."},
    {IDS_CONFIRM_OVERWRITE_PROPERTY,
     u"Property with the same ID already exists in this record, do you want to overwrite the "
     u"existing property?"},
    {IDS_FIND_WRAP,
     u"Search has reached the end of the database, do you want to start from the beginning?"},
    {IDS_MODIFIED_BY_OTHER,
     u"Database \"%s\" has been modified by another process; it will be re-loaded."},
    {IDS_COLUMN_TYPE, u"Type"},
    {IDS_COLUMN_PROPERTY_SIZE, u"Size"},
    {IDS_COLUMN_ID, u"ID"},
    {IDS_BAD_LONG,
     u"Property data is incorrect: enter an integer number between -2147483648 and "
     u"2147483647.\nThe database was not changed."},
    {IDS_BAD_ULONG,
     u"Property data is incorrect: enter a positive integer number between 0 and "
     u"4294967295.\nThe database was not changed."},
    {IDS_BAD_FLOAT, u"Property data is incorrect: enter a number.\nThe database was not changed."},
    {IDS_TIP_FIRST_RECORD, u"First Record"},
    {IDS_TIP_PREVIOUS_RECORD, u"Previous Record"},
    {IDS_TIP_NEXT_RECORD, u"Next Record"},
    {IDS_TIP_LAST_RECORD, u"Last Record"},
    {IDS_TIP_FIND_TEXT, u"Find Text"},
    {IDS_TIP_FIND_NEXT, u"Find Next"},
    {IDS_MENU_RECORD, u"Record"},
};

}  // namespace

void AddEditorStrings(ce::ResourceModule& module) {
    module.AddStrings(kEditorStrings);
}

}  // namespace res
