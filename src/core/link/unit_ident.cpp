#include "link/unit_ident.h"

#include <utility>

namespace zv {

namespace {

// Characters first..first+length-1 (counted from 1), cut where the text ends.
std::string Field(const std::string& text, std::size_t first, std::size_t length) {
    if (text.size() < first)
        return {};
    return text.substr(first - 1, length);
}

std::string WithoutPadding(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0'))
        s.pop_back();
    return s;
}

}  // namespace

bool IdentCharactersAllowed(std::string_view text) {
    static constexpr std::pair<std::size_t, std::size_t> kFields[] = {
        {ident::kTypeFirst, ident::kTypeLength},
        {ident::kSerialFirst, ident::kSerialLength},
        {ident::kFirmwareCodeFirst, ident::kFirmwareCodeLength},
        {ident::kVersionCodeFirst, ident::kVersionCodeLength},
    };
    for (const auto& [first, length] : kFields) {
        for (std::size_t i = first - 1; i < first - 1 + length && i < text.size(); ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            if (c != 0 && (c < 0x20 || c > 0x7E))
                return false;
        }
    }
    return true;
}

long SerialNumberValue(std::string_view serialNo) {
    if (serialNo.size() <= 2)
        return -1;
    const std::string_view digits = serialNo.substr(2);
    if (digits.size() > 9)
        return -1;
    long n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

TIdentResult ParseIdentification(const std::string& text, const TGlobalClass& global) {
    TIdentResult result;
    result.Ident.Text = text.substr(0, ident::kTextLength);
    const std::string& t = result.Ident.Text;

    const int type = TGlobalClass::DeviceTypeOf(Field(t, ident::kTypeFirst, ident::kTypeLength));
    result.Ident.DeviceType = static_cast<std::uint8_t>(type);
    if (type == TGlobalClass::kUnknownType) {
        result.Result = TIdentResult::Outcome::NotSupported;
        return result;
    }

    result.Ident.SerialNo = WithoutPadding(Field(t, ident::kSerialFirst, ident::kSerialLength));
    result.Ident.FirmwareCode =
        WithoutPadding(Field(t, ident::kFirmwareCodeFirst, ident::kFirmwareCodeLength));
    result.Ident.VersionCode = Field(t, ident::kVersionCodeFirst, ident::kVersionCodeLength);

    if (result.Ident.VersionCode == ident::kNoVersionCode) {
        result.BySerialNumber = true;
        result.SerialNumber = SerialNumberValue(result.Ident.SerialNo);
        if (result.SerialNumber < 0) {
            result.Result = TIdentResult::Outcome::SerialNotANumber;
            return result;
        }
        result.Firmware = global.FirmwareFromSerial(type, result.SerialNumber);
    } else {
        result.Firmware = TGlobalClass::FirmwareFromCode(result.Ident.VersionCode);
    }
    result.Result = TIdentResult::Outcome::Identified;
    return result;
}

}  // namespace zv
