// The exact bytes of an exported record: quoting per type and mode, the two
// encodings and the line end.

#include "export/ExportFormat.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/time/Time.h"

namespace {

using namespace ce;
using namespace textexport;
using Bytes = std::vector<BYTE>;

CEPROPVAL Text(const char16_t* text, WORD id = 1) {
    CEPROPVAL v{};
    v.propid = MakePropID(id, CEVT_LPWSTR);
    v.val.lpwstr = const_cast<char16_t*>(text);
    return v;
}

CEPROPVAL Long(LONG value, WORD id = 2) {
    CEPROPVAL v{};
    v.propid = MakePropID(id, CEVT_I4);
    v.val.lVal = value;
    return v;
}

CEPROPVAL OfType(WORD type, WORD id = 3) {
    CEPROPVAL v{};
    v.propid = MakePropID(id, type);
    return v;
}

Bytes Line(bool unicode, WCHAR separator, std::vector<CEPROPVAL> values) {
    Bytes out;
    LineEncoder(unicode, separator)
        .AppendRecord(values.data(), static_cast<WORD>(values.size()), out);
    return out;
}

std::string Text8(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

TEST(ExportFormat, TheQuotedTextTheNumberAndTheBooleanGiveTheDocumentedBytes) {
    std::vector<CEPROPVAL> record = {Text(u"a\"b"), Long(-5), OfType(CEVT_BOOL)};
    EXPECT_EQ(Line(false, kComma, record), (Bytes{0x22, 0x61, 0x22, 0x22, 0x62, 0x22, 0x2C, 0x22,
                                                  0x2D, 0x35, 0x22, 0x2C, 0x0D, 0x0A}));
    EXPECT_EQ(Line(false, kTab, record),
              (Bytes{0x22, 0x61, 0x22, 0x22, 0x62, 0x22, 0x09, 0x2D, 0x35, 0x09, 0x0D, 0x0A}));
}

TEST(ExportFormat, UnicodeModeWritesLittleEndianUnitsAfterTheByteOrderMark) {
    Bytes mark;
    LineEncoder(true, kComma).AppendByteOrderMark(mark);
    EXPECT_EQ(mark, (Bytes{0xFF, 0xFE}));
    LineEncoder(false, kComma).AppendByteOrderMark(mark);
    EXPECT_EQ(mark.size(), 2u);  // nothing in 8-bit mode
    EXPECT_EQ(Line(true, kTab, {Text(u"\u20ACx"), Long(7)}),
              (Bytes{0x22, 0, 0xAC, 0x20, 0x78, 0, 0x22, 0, 0x09, 0, 0x37, 0, 0x0D, 0, 0x0A, 0}));
}

TEST(ExportFormat, EightBitModeKeepsOnlyTheLowByteOfEachUnit) {
    EXPECT_EQ(Line(false, kComma, {Text(u"\u20AC\u00E9\u4E2D")}),
              (Bytes{0x22, 0xAC, 0xE9, 0x2D, 0x22, 0x0D, 0x0A}));
}

TEST(ExportFormat, NumbersAreQuotedInCommaModeAndBareInTabMode) {
    CEPROPVAL i2 = OfType(CEVT_I2, 1);
    i2.val.iVal = -32768;
    CEPROPVAL ui2 = OfType(CEVT_UI2, 2);
    ui2.val.uiVal = 65535;
    CEPROPVAL i4 = Long(-2147483647 - 1, 3);
    CEPROPVAL ui4 = OfType(CEVT_UI4, 4);
    ui4.val.ulVal = 4294967295u;
    CEPROPVAL r8 = OfType(CEVT_R8, 5);
    r8.val.dblVal = 0.0;
    CEPROPVAL r8b = OfType(CEVT_R8, 6);
    r8b.val.dblVal = -12.25;
    std::vector<CEPROPVAL> record = {i2, ui2, i4, ui4, r8, r8b};
    EXPECT_EQ(Text8(Line(false, kComma, record)),
              "\"-32768\",\"65535\",\"-2147483648\",\"4294967295\",\"0.\",\"-12.25\"\r\n");
    EXPECT_EQ(Text8(Line(false, kTab, record)),
              "-32768\t65535\t-2147483648\t4294967295\t0.\t-12.25\r\n");
}

TEST(ExportFormat, TextsAreAlwaysQuotedAndTheirSeparatorsStayInside) {
    EXPECT_EQ(Text8(Line(false, kTab, {Text(u"a,b"), Text(u"c\td"), Text(u"\"")})),
              "\"a,b\"\t\"c\td\"\t\"\"\"\"\r\n");
}

TEST(ExportFormat, AnAbsentOrEmptyTextWritesNothingNotEvenQuotes) {
    EXPECT_EQ(Text8(Line(false, kComma, {Text(nullptr), Text(u""), Long(1)})), ",,\"1\"\r\n");
}

TEST(ExportFormat, BooleansBinaryAndUnknownTypesGiveEmptyFields) {
    CEPROPVAL blob = OfType(CEVT_BLOB, 1);
    static BYTE data[] = {1, 2, 3};
    blob.val.blob = {3, data};
    CEPROPVAL flag = OfType(CEVT_BOOL, 2);
    flag.val.boolVal = TRUE;
    EXPECT_EQ(Text8(Line(false, kComma, {blob, flag, OfType(77, 3), Long(2)})), ",,,\"2\"\r\n");
    // A record that ends in a boolean ends with a separator before the line end.
    EXPECT_EQ(Text8(Line(false, kComma, {Long(2), flag})), "\"2\",\r\n");
}

TEST(ExportFormat, ARecordWithoutPropertiesIsAnEmptyLine) {
    EXPECT_EQ(Line(false, kComma, {}), (Bytes{0x0D, 0x0A}));
    EXPECT_EQ(Line(true, kComma, {}), (Bytes{0x0D, 0, 0x0A, 0}));
}

TEST(ExportFormat, ADateIsTheLocalShortDateAndTimeWithSeconds) {
    SYSTEMTIME at{2026, 1, 0, 2, 3, 4, 5, 0};
    CEPROPVAL date = OfType(CEVT_FILETIME, 1);
    SystemTimeToFileTime(&at, &date.val.filetime);  // the tests run in UTC
    EXPECT_EQ(Text8(Line(false, kComma, {date})), "\"01/02/26 03:04:05\"\r\n");
    EXPECT_EQ(Text8(Line(false, kTab, {date})), "01/02/26 03:04:05\r\n");
}

TEST(ExportFormat, TheSeparatorFollowsTheFileType) {
    EXPECT_EQ(SeparatorOf(kTabSeparated), kTab);
    EXPECT_EQ(SeparatorOf(kCommaSeparated), kComma);
}

}  // namespace
