#include "views/BankChoice.h"

#include "devices/RangedField.h"
#include "model/Instruments.h"

std::optional<Message> BankChoice::Read(std::uint8_t& chosenProgram,
                                        std::int32_t& chosenBank) const {
    long value = 0;
    if (auto refusal = ReadRangedField(bank, 0, kHighestBank, value))
        return refusal;
    chosenProgram = static_cast<std::uint8_t>(program & 0x7F);
    chosenBank = static_cast<std::int32_t>(value);
    return std::nullopt;
}

AString BankChoice::Name(std::uint8_t program, std::int32_t bank) {
    AString name(InstrumentName(program));
    if (bank >= 0)
        name += AString(" (bank ") + AString::FromInt(bank) + ")";
    return name;
}
