// The infrared transfer's strings, and the keyboard edition's own search text.

#include "resources/Editions.h"
#include "resources/TransferIds.h"

namespace res {
namespace {

const ce::StringResource kTransferStrings[] = {
    {IDS_IR_CANT_INITIALIZE, u"Unable to initialize Infrared port. Error Code: %s[%d]."},
    {IDS_IR_CANT_COMMUNICATE,
     u"Unable to communicate with remote Handheld PC. Error Code: %s[%d]."},
    {IDS_IR_CANT_SEND, u"Unable to send data to Infrared port. Error Code: %s[%d]."},
    {IDS_IR_CANT_READ, u"Unable to read data from Infrared port. Error Code: %s[%d]."},
    {IDS_IR_EMPTY_DATABASE, u"Database '%s' is empty. Please choose another database to send!"},
    {IDS_IR_CANCELLED_BY_HOST, u"Transfer has been cancelled by host machine."},
    {IDS_IR_INVALID_DATA,
     u"The data received from Infrared Port is invalid. Please make sure that you use the same "
     u"version of Tessaly on both devices."},
    {IDS_IR_COMPLETED, u"Database transfer successfully completed!"},
    {IDS_IR_CANCEL_QUESTION, u"Cancel database transfer. Are you sure?"},
    {IDS_IR_INITIALIZING, u"Initializing Infrared port, please wait..."},
    {IDS_IR_HINT, u"(Make sure that infrared ports are lined up)"},
    {IDS_IR_SENDING_CAPTION, u"Sending Database"},
    {IDS_IR_RECEIVING_CAPTION, u"Receiving Database"},
    {IDS_IR_LOOKING_FOR_RECEIVER, u"Looking for device that is receiving..."},
    {IDS_IR_SENDING_HEADER, u"Sending database header..."},
    {IDS_IR_SENDING_RECORD, u"Sending record %d of %d..."},
    {IDS_IR_LOOKING_FOR_SENDER, u"Looking for device that is sending..."},
    {IDS_IR_RECEIVING_HEADER, u"Receiving database header..."},
    {IDS_IR_RECEIVING_RECORD, u"Receiving record %d of %d..."},
    {IDS_IR_HEADING, u"Infrared Transfer"},
};

const ce::StringResource kKeyboardTransferStrings[] = {
    {IDS_IR_LOOKING_FOR_SENDER, u"Looking for an device that is sending..."},
};

}  // namespace

void AddTransferStrings(ce::ResourceModule& module) {
    module.AddStrings(kTransferStrings);
}

void AddKeyboardTransferStrings(ce::ResourceModule& module) {
    module.ReplaceStrings(kKeyboardTransferStrings);
}

}  // namespace res
