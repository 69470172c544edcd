#pragma once
// The infrared transfer's strings, its window's template and controls.

#include "platform/core/Types.h"

namespace res {

using ce::UINT;

// Socket failures, each formatted with the failing call and its error number.
inline constexpr UINT IDS_IR_CANT_INITIALIZE = 2300;
inline constexpr UINT IDS_IR_CANT_COMMUNICATE = 2301;
inline constexpr UINT IDS_IR_CANT_SEND = 2302;
inline constexpr UINT IDS_IR_CANT_READ = 2303;

inline constexpr UINT IDS_IR_EMPTY_DATABASE = 2304;
inline constexpr UINT IDS_IR_CANCELLED_BY_HOST = 2305;
inline constexpr UINT IDS_IR_INVALID_DATA = 2306;
inline constexpr UINT IDS_IR_COMPLETED = 2307;
inline constexpr UINT IDS_IR_CANCEL_QUESTION = 2308;

// The transfer window's texts.
inline constexpr UINT IDS_IR_INITIALIZING = 2309;
inline constexpr UINT IDS_IR_HINT = 2310;
inline constexpr UINT IDS_IR_SENDING_CAPTION = 2311;
inline constexpr UINT IDS_IR_RECEIVING_CAPTION = 2312;
inline constexpr UINT IDS_IR_LOOKING_FOR_RECEIVER = 2313;
inline constexpr UINT IDS_IR_SENDING_HEADER = 2314;
inline constexpr UINT IDS_IR_SENDING_RECORD = 2315;
inline constexpr UINT IDS_IR_LOOKING_FOR_SENDER = 2316;
inline constexpr UINT IDS_IR_RECEIVING_HEADER = 2317;
inline constexpr UINT IDS_IR_RECEIVING_RECORD = 2318;
inline constexpr UINT IDS_IR_HEADING = 2319;

// The transfer window.
inline constexpr UINT IDD_TRANSFER = 2300;
inline constexpr UINT IDC_TRANSFER_STATUS = 2301;
inline constexpr UINT IDC_TRANSFER_HINT = 2302;
inline constexpr UINT IDC_TRANSFER_PROGRESS = 2303;

}  // namespace res
