// The infrared transfer window: a status line, a hint line, a progress bar
// and Cancel. The palm-size window paints its heading "Infrared Transfer";
// the keyboard edition's is a captioned window "Transfer Database".

#include "platform/gui/CommCtrl.h"
#include "resources/DialogStyles.h"
#include "resources/Editions.h"
#include "resources/TransferIds.h"

namespace res {
namespace {

using namespace ce;
using namespace style;

constexpr DWORD kBar = WS_CHILD | WS_BORDER;  // hidden until the header stage

DialogResource Transfer() {
    return {IDD_TRANSFER,
            kDialog,
            0,
            0,
            0,
            160,
            100,
            u"Infrared Transfer",
            kFont,
            kFontPoints,
            {
                {u"STATIC", u"Infrared Transfer", IDC_TITLE, 0, 0, 0, 0, kTitle},
                {u"STATIC", u"Initializing Infrared port, please wait...", IDC_TRANSFER_STATUS, 6,
                 24, 148, 20, kValue},
                {u"STATIC", u"(Make sure that infrared ports are lined up)", IDC_TRANSFER_HINT, 6,
                 48, 148, 20, kValue},
                {u"msctls_progress32", u"", IDC_TRANSFER_PROGRESS, 6, 50, 148, 10, kBar},
                {u"BUTTON", u"Cancel", IDCANCEL, 57, 76, 46, 14, kPush},
            }};
}

DialogResource KeyboardTransfer() {
    return {IDD_TRANSFER,
            kDialog,
            0,
            0,
            0,
            200,
            70,
            u"Transfer Database",
            kFont,
            kFontPoints,
            {
                {u"STATIC", u"Initializing Infrared port, please wait...", IDC_TRANSFER_STATUS, 6,
                 6, 188, 10, kValue},
                {u"STATIC", u"(Make sure that infrared ports are lined up)", IDC_TRANSFER_HINT, 6,
                 20, 188, 10, kValue},
                {u"msctls_progress32", u"", IDC_TRANSFER_PROGRESS, 6, 22, 188, 10, kBar},
                {u"BUTTON", u"Cancel", IDCANCEL, 75, 48, 50, 14, kPush},
            }};
}

}  // namespace

void AddTransferDialogs(ce::ResourceModule& module) {
    module.AddDialog(Transfer());
}

void AddKeyboardTransferDialogs(ce::ResourceModule& module) {
    module.AddDialog(KeyboardTransfer());
}

}  // namespace res
