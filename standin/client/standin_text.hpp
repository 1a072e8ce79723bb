// Names and numbers as pxsim shows and takes them: the block's fields, the product's request
// names, number parsing. Portable so it is tested without Wine.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "../driver/standin_controls.h"

namespace px::standin {

struct BlockField {
    std::string_view Name;
    std::uint8_t Offset;
    std::uint8_t Size;  // 1 or 2 bytes
    bool Signed;
};

// Every field of the block in layout order, with the names the block uses.
std::span<const BlockField> BlockFields();
const BlockField* FindBlockField(std::string_view name);

std::int32_t ReadField(const PX_PARAMETER_BLOCK& block, const BlockField& field);
void WriteField(PX_PARAMETER_BLOCK& block, const BlockField& field, std::int32_t value);
// The field's bytes for `value`, little-endian; nullopt when it does not fit the field.
std::optional<std::vector<std::uint8_t>> FieldBytes(const BlockField& field, std::int64_t value);

// Decimal (optionally negative) or 0x-hex.
std::optional<std::int64_t> ParseNumber(std::string_view text);

// "IOCTL_TOUCH_SET_TOUCH_MODE" for a product code, "0x000F2060"-style hex for anything else.
std::string RequestName(std::uint32_t code);
// Accepts a product request name or a number.
std::optional<std::uint32_t> RequestCode(std::string_view name);

std::string HexBytes(std::span<const std::uint8_t> bytes);

// `Name=Value` lines of the block and the RBF record, as `pxsim show` prints them.
std::string FormatState(const PX_STANDIN_STATE& state);

// A journal entry as `pxsim journal` prints it, once per repeat: the request's name, then the
// input bytes it was sent (the first 48) in hex.
std::string JournalLine(const PX_STANDIN_JOURNAL_ENTRY& entry);

}  // namespace px::standin
